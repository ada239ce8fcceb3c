#include "render/imaging/ofdimagedecoder.h"

#include "render/imaging/imaginglog.h"
#include "render/imaging/jbig2decoder.h"
#include "render/imaging/jpeg2000decoder.h"

#include <QBuffer>
#include <QImageReader>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include <dlfcn.h>

namespace {

const qint64 kDefaultMaxPixels = 100000000;
std::atomic<qint64> g_maxPixels{kDefaultMaxPixels};

// Same signature as libtiff's TIFFErrorHandler.
using TiffHandler = void (*)(const char *module, const char *format, va_list args);
using TiffSetHandler = TiffHandler (*)(TiffHandler);

void ForwardTiffMessage(const char *module, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    qCDebug(lcOfdImaging) << "libtiff:" << (module ? module : "") << text;
}

// Qt's TIFF plugin leaves libtiff's default handlers in place, which print every warning (unknown tags
// are common in real files) to stderr. Once the plugin has loaded libtiff, its messages are sent to the
// debug log instead. libtiff is looked up only if already loaded, so there is no build dependency on it.
void QuietLibTiff()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char *name : {"libtiff.so.6", "libtiff.so.5"}) {
            void *handle = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
            if (!handle)
                continue;
            auto setWarning = reinterpret_cast<TiffSetHandler>(dlsym(handle, "TIFFSetWarningHandler"));
            auto setError = reinterpret_cast<TiffSetHandler>(dlsym(handle, "TIFFSetErrorHandler"));
            if (setWarning)
                setWarning(ForwardTiffMessage);
            if (setError)
                setError(ForwardTiffMessage);
            dlclose(handle); // drops only the reference taken here
            break;
        }
    });
}

// Reads through Qt's plugins; format empty lets Qt guess from the content.
QImage DecodeWithQt(const QByteArray &bytes, const QByteArray &format, qint64 maxPixels)
{
    QByteArray copy = bytes; // QBuffer needs a non-const array; this shares the data
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    const bool readable = reader.canRead(); // loads the plugin
    if (format == "tiff" || reader.format() == "tiff")
        QuietLibTiff();
    if (!readable)
        return QImage();
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * qint64(size.height()) > maxPixels) {
        qCDebug(lcOfdImaging) << "image" << size << "exceeds the limit";
        return QImage();
    }
    QImage image;
    if (!reader.read(&image)) {
        qCDebug(lcOfdImaging) << "Qt image reader:" << reader.errorString();
        return QImage();
    }
    if (qint64(image.width()) * qint64(image.height()) > maxPixels)
        return QImage();
    return image;
}

QImage DecodeAs(OfdImageFormat format, const QByteArray &bytes, qint64 maxPixels)
{
    switch (format) {
    case OfdImageFormat::Jbig2:
        return Jbig2Decoder::Decode(bytes, maxPixels);
    case OfdImageFormat::Jpeg2000:
        return Jpeg2000Decoder::Decode(bytes, maxPixels);
    case OfdImageFormat::Unknown:
        return QImage();
    default:
        return DecodeWithQt(bytes, OfdImageFormats::QtFormatName(format), maxPixels);
    }
}

} // namespace

OfdImageFormat OfdImageDecoder::DetectFormat(const QByteArray &bytes, const QString &formatHint)
{
    const OfdImageFormat sniffed = OfdImageFormats::Detect(bytes);
    if (sniffed != OfdImageFormat::Unknown)
        return sniffed;
    return OfdImageFormats::FromHint(formatHint);
}

QImage OfdImageDecoder::Decode(const QByteArray &bytes, const QString &formatHint)
{
    if (bytes.isEmpty())
        return QImage();
    const qint64 maxPixels = MaxPixels();
    const OfdImageFormat sniffed = OfdImageFormats::Detect(bytes);
    if (sniffed != OfdImageFormat::Unknown) {
        // Leading bytes that match a signature decide: another decoder would only misread them.
        return DecodeAs(sniffed, bytes, maxPixels);
    }
    const OfdImageFormat hinted = OfdImageFormats::FromHint(formatHint);
    if (hinted != OfdImageFormat::Unknown) {
        QImage image = DecodeAs(hinted, bytes, maxPixels);
        if (!image.isNull())
            return image;
    }
    // Formats without a reliable signature (TGA, ...) or with a wrong hint: Qt's content detection.
    return DecodeWithQt(bytes, QByteArray(), maxPixels);
}

qint64 OfdImageDecoder::MaxPixels()
{
    return g_maxPixels.load();
}

void OfdImageDecoder::SetMaxPixels(qint64 pixels)
{
    g_maxPixels.store(pixels > 0 ? pixels : kDefaultMaxPixels);
}
