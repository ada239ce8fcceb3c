#pragma once

#include <QByteArray>
#include <QImage>

// Decodes JBIG2 bi-level images through jbig2dec: the file form (with the 8-byte file header, sequential or
// random-access organisation) and the embedded form (sequential segments without a file header).
class Jbig2Decoder
{
public:
    // True when the bytes start with the JBIG2 file header (97 4A 42 32 0D 0A 1A 0A).
    static bool HasFileHeader(const QByteArray &bytes);
    // True when the bytes, without a file header, start with well-formed segments that include a page
    // information segment.
    static bool LooksLikeEmbeddedStream(const QByteArray &bytes);
    // The first page as a Format_Mono image (colour index 1 = black), or a null image when the data is
    // malformed, truncated, or the page has more than maxPixels pixels. jbig2dec's memory use is capped
    // in proportion to maxPixels.
    static QImage Decode(const QByteArray &bytes, qint64 maxPixels);
};
