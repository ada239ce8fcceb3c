#include "model/content/ofditemcontext.h"

OfdItemContext::~OfdItemContext() = default;
