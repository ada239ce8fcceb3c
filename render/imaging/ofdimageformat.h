#pragma once

#include <QByteArray>
#include <QString>

// Encoded image formats that page images arrive in, recognised from content bytes or from a name.
enum class OfdImageFormat
{
    Unknown,
    Png,
    Jpeg,
    Bmp,
    Gif,
    Tiff,
    Jbig2,    // JBIG2 file with its header, or header-less sequential segments (embedded form)
    Jpeg2000, // JP2 box file or raw JPEG 2000 codestream
};

// Format recognition; all functions are pure and never touch the file system.
namespace OfdImageFormats {
// The format that the leading bytes identify, or Unknown. Header-less JBIG2 is recognised only when its
// first segment is a well-formed page information segment.
OfdImageFormat Detect(const QByteArray &bytes);
// The format that a multimedia Format attribute or a file name or extension names ("JB2", "GBIG2",
// "tif", "image_3.jp2"), or Unknown.
OfdImageFormat FromHint(const QString &hint);
// Short name for listings ("PNG", "JBIG2", "JPEG 2000", ...); "unknown" for Unknown.
QString Name(OfdImageFormat format);
// The Qt image plugin name for the formats that Qt reads ("png", "jpeg", ...), else empty.
QByteArray QtFormatName(OfdImageFormat format);
} // namespace OfdImageFormats
