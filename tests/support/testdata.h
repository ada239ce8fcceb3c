#pragma once

#include <QString>

// Folders of real files written by others; empty when they are not on this machine.
QString CorpusDir();
QString SynthSamplesDir();
QString CorpusExtraDir();
