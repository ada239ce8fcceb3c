#pragma once

#include <QString>
#include <QStringList>

struct OfdToolStreams;

// `ofdtool render FILE -o OUT.png [--page N] [--dpi D] [--doc M]`: pages through the page scene
// into PNG files.
class OfdToolRender
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);

    // The file of page number (from 1) when every page is written: OUT.png gives OUT-1.png, ...
    static QString PageFileName(const QString &out, int number);

    static constexpr double kDefaultDpi = 96;
    static constexpr double kMaxDpi = 2400;
};
