#include "model/content/ofddocumentaccess.h"

OfdDocumentAccess::~OfdDocumentAccess() = default;
