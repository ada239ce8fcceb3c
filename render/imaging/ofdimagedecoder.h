#pragma once

#include "render/imaging/ofdimageformat.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Turns the bytes of a multimedia resource into a picture: PNG, JPEG, BMP, GIF and TIFF through Qt's image
// plugins, JBIG2 through jbig2dec, JPEG 2000 through OpenJPEG. Never throws; failures give a null image.
class OfdImageDecoder
{
public:
    // Decodes the bytes. The format comes from the leading bytes first; when they say nothing, from
    // formatHint (the resource's Format attribute or its file name or extension, e.g. "JB2", "GBIG2",
    // "tif", "Res/image_3.jp2"); last from Qt's own content detection. Returns a null image for empty,
    // malformed or truncated data and for pictures of more than MaxPixels() pixels.
    // JBIG2 pictures come back as Format_Mono (colour index 1 = black, index 0 = white).
    static QImage Decode(const QByteArray &bytes, const QString &formatHint = QString());

    // The format Decode would try first for these bytes and hint (Unknown: left to Qt's detection).
    static OfdImageFormat DetectFormat(const QByteArray &bytes, const QString &formatHint = QString());

    // Largest accepted width x height in pixels (default 100 000 000); larger pictures are refused before
    // their pixels are allocated. Process-wide; values below 1 restore the default.
    static qint64 MaxPixels();
    static void SetMaxPixels(qint64 pixels);
};
