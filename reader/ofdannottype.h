#pragma once

// The annotation tool the reader chooses is the annotation module's enumeration.
#include "annot/ofdannottype.h"
