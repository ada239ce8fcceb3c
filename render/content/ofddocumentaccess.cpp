#include "render/content/ofddocumentaccess.h"

OfdDocumentAccess::~OfdDocumentAccess() = default;
