#include "render/content/ofditemcontext.h"

OfdItemContext::~OfdItemContext() = default;
