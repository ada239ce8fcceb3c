#pragma once

#include <QStringList>

struct OfdToolStreams;

// `ofdtool verify FILE [--json]`: the built-in checks of every signature of a package — references
// (files changed since signing), data hash (signed value against its description) and signature
// value. Exit code 0 only when every signature passes every check, 1 when any fails, 2 when the file
// cannot be read.
class OfdToolVerify
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);
};
