#include "render/ofdcontentwriter.h"

OfdContentWriter::~OfdContentWriter() = default;
