#include "render/imaging/ofdimageformat.h"

#include "render/imaging/jbig2decoder.h"
#include "render/imaging/jpeg2000decoder.h"

namespace {

bool StartsWith(const QByteArray &bytes, const char *magic, int length)
{
    return bytes.size() >= length && memcmp(bytes.constData(), magic, size_t(length)) == 0;
}

} // namespace

OfdImageFormat OfdImageFormats::Detect(const QByteArray &bytes)
{
    if (StartsWith(bytes, "\x89PNG\r\n\x1a\n", 8))
        return OfdImageFormat::Png;
    if (StartsWith(bytes, "\xff\xd8\xff", 3))
        return OfdImageFormat::Jpeg;
    if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6))
        return OfdImageFormat::Gif;
    if (StartsWith(bytes, "II*\0", 4) || StartsWith(bytes, "MM\0*", 4) || StartsWith(bytes, "II+\0", 4) ||
        StartsWith(bytes, "MM\0+", 4))
        return OfdImageFormat::Tiff;
    if (Jpeg2000Decoder::HasBoxSignature(bytes) || Jpeg2000Decoder::HasCodestreamSignature(bytes))
        return OfdImageFormat::Jpeg2000;
    if (Jbig2Decoder::HasFileHeader(bytes) || Jbig2Decoder::LooksLikeEmbeddedStream(bytes))
        return OfdImageFormat::Jbig2;
    // "BM" is short enough to occur by chance: also require the reserved words to be zero and a pixel
    // data offset inside the file, as every BMP writer produces.
    if (StartsWith(bytes, "BM", 2) && bytes.size() >= 26) {
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
        const quint32 offset =
            quint32(p[10]) | quint32(p[11]) << 8 | quint32(p[12]) << 16 | quint32(p[13]) << 24;
        if (p[6] == 0 && p[7] == 0 && p[8] == 0 && p[9] == 0 && offset >= 26)
            return OfdImageFormat::Bmp;
    }
    return OfdImageFormat::Unknown;
}

OfdImageFormat OfdImageFormats::FromHint(const QString &hint)
{
    QString name = hint.trimmed().toLower();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name = name.mid(dot + 1);
    name.remove(QLatin1Char(' '));
    name.remove(QLatin1Char('-'));
    name.remove(QLatin1Char('_'));
    if (name.isEmpty())
        return OfdImageFormat::Unknown;
    if (name == QLatin1String("png"))
        return OfdImageFormat::Png;
    if (name == QLatin1String("jpg") || name == QLatin1String("jpeg") || name == QLatin1String("jpe") ||
        name == QLatin1String("jfif"))
        return OfdImageFormat::Jpeg;
    if (name == QLatin1String("bmp") || name == QLatin1String("dib"))
        return OfdImageFormat::Bmp;
    if (name == QLatin1String("gif"))
        return OfdImageFormat::Gif;
    if (name == QLatin1String("tif") || name == QLatin1String("tiff"))
        return OfdImageFormat::Tiff;
    // Real documents write "JB2", "JBIG2" and the misspelling "GBIG2".
    if (name == QLatin1String("jb2") || name == QLatin1String("jbig2") || name == QLatin1String("gbig2") ||
        name == QLatin1String("jbig") || name == QLatin1String("jbg2") || name == QLatin1String("jbg"))
        return OfdImageFormat::Jbig2;
    if (name == QLatin1String("jp2") || name == QLatin1String("j2k") || name == QLatin1String("jpx") ||
        name == QLatin1String("jpf") || name == QLatin1String("j2c") || name == QLatin1String("jpc") ||
        name == QLatin1String("jpeg2000") || name == QLatin1String("jpg2000"))
        return OfdImageFormat::Jpeg2000;
    return OfdImageFormat::Unknown;
}

QString OfdImageFormats::Name(OfdImageFormat format)
{
    switch (format) {
    case OfdImageFormat::Png:
        return QStringLiteral("PNG");
    case OfdImageFormat::Jpeg:
        return QStringLiteral("JPEG");
    case OfdImageFormat::Bmp:
        return QStringLiteral("BMP");
    case OfdImageFormat::Gif:
        return QStringLiteral("GIF");
    case OfdImageFormat::Tiff:
        return QStringLiteral("TIFF");
    case OfdImageFormat::Jbig2:
        return QStringLiteral("JBIG2");
    case OfdImageFormat::Jpeg2000:
        return QStringLiteral("JPEG 2000");
    case OfdImageFormat::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QByteArray OfdImageFormats::QtFormatName(OfdImageFormat format)
{
    switch (format) {
    case OfdImageFormat::Png:
        return QByteArrayLiteral("png");
    case OfdImageFormat::Jpeg:
        return QByteArrayLiteral("jpeg");
    case OfdImageFormat::Bmp:
        return QByteArrayLiteral("bmp");
    case OfdImageFormat::Gif:
        return QByteArrayLiteral("gif");
    case OfdImageFormat::Tiff:
        return QByteArrayLiteral("tiff");
    default:
        break;
    }
    return QByteArray();
}
