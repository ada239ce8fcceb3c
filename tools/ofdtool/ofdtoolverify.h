#pragma once

#include <QStringList>

struct OfdToolStreams;

// `ofdtool verify FILE [--json] [--trust DIR]`: the verdict on every signature of a package with each
// check behind it — references (files changed since signing), data hash, signature value, seal maker,
// certificate chain to the trust anchors (the user's and system's trust folders and DIR). Exit code 0
// when every signature is valid (trusted or not), 1 when any failed, 4 when none failed but one cannot
// be verified, 2 when the file cannot be read.
class OfdToolVerify
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);
};
