#pragma once

#include <QStringList>

struct OfdToolStreams;

// `ofdtool pdf FILE -o OUT.pdf [--pages A-B] [--doc M]`: vector pages with selectable text, as the
// reader's PDF export writes them, page after page (each page's scene is built, drawn and dropped,
// so memory does not grow with the page count); the file appears whole or not at all.
class OfdToolPdf
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);
    // "A-B", "A-", "-B" or "N" within 1..count into first and last (from 1); false when malformed
    // or outside the document.
    static bool ParseRange(const QString &text, int count, int &first, int &last);
};

// `ofdtool text FILE [--page N] [--doc M]`: the text of the pages in reading order, lines top to
// bottom; pages are separated by a form feed.
class OfdToolText
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);
};
