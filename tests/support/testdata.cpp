#include "testdata.h"

#include <QDir>

static QString ExistingDir(const char *variable)
{
    const QString dir = qEnvironmentVariable(variable);
    return !dir.isEmpty() && QDir(dir).exists() ? dir : QString();
}

QString CorpusDir()
{
    return ExistingDir("OFD_CORPUS_DIR");
}

QString SynthSamplesDir()
{
    return ExistingDir("OFD_SYNTH_DIR");
}

QString CorpusExtraDir()
{
    return ExistingDir("OFD_CORPUS_EXTRA_DIR");
}
