#include "render/ofdvisualsource.h"

OfdVisualSource::~OfdVisualSource() = default;
