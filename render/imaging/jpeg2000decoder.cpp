#include "render/imaging/jpeg2000decoder.h"

#include "render/imaging/imaginglog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <openjpeg.h>

namespace {

// Read position over the caller's bytes for OpenJPEG's stream callbacks; does not own the bytes.
struct MemoryStream
{
    const uchar *data;
    OPJ_UINT64 size;
    OPJ_UINT64 pos;
};

OPJ_SIZE_T StreamRead(void *buffer, OPJ_SIZE_T bytes, void *user)
{
    auto *s = static_cast<MemoryStream *>(user);
    if (s->pos >= s->size)
        return OPJ_SIZE_T(-1); // end of stream
    const OPJ_SIZE_T n = OPJ_SIZE_T(std::min<OPJ_UINT64>(bytes, s->size - s->pos));
    std::memcpy(buffer, s->data + s->pos, n);
    s->pos += n;
    return n;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T bytes, void *user)
{
    auto *s = static_cast<MemoryStream *>(user);
    if (bytes < 0) {
        const OPJ_UINT64 back = std::min<OPJ_UINT64>(OPJ_UINT64(-bytes), s->pos);
        s->pos -= back;
        return -OPJ_OFF_T(back);
    }
    const OPJ_UINT64 ahead = std::min<OPJ_UINT64>(OPJ_UINT64(bytes), s->size - s->pos);
    s->pos += ahead;
    return OPJ_OFF_T(ahead);
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void *user)
{
    auto *s = static_cast<MemoryStream *>(user);
    if (offset < 0 || OPJ_UINT64(offset) > s->size)
        return OPJ_FALSE;
    s->pos = OPJ_UINT64(offset);
    return OPJ_TRUE;
}

// Collects OpenJPEG's messages: errors fail the decode, the first few messages go to the debug log.
struct MessageSink
{
    int errors = 0;
    int logged = 0;
};

void LogMessage(MessageSink *sink, const char *kind, const char *msg)
{
    if (sink->logged >= 8)
        return;
    sink->logged++;
    QByteArray text(msg);
    qCDebug(lcOfdImaging) << "openjpeg" << kind << text.trimmed().constData();
}

void OnError(const char *msg, void *user)
{
    auto *sink = static_cast<MessageSink *>(user);
    sink->errors++;
    LogMessage(sink, "error:", msg);
}

void OnWarning(const char *msg, void *user)
{
    LogMessage(static_cast<MessageSink *>(user), "warning:", msg);
}

void OnInfo(const char *, void *) {}

// Owns OpenJPEG's codec, stream and image for one decode.
struct OpjSession
{
    opj_codec_t *codec = nullptr;
    opj_stream_t *stream = nullptr;
    opj_image_t *image = nullptr;
    ~OpjSession()
    {
        if (image)
            opj_image_destroy(image);
        if (stream)
            opj_stream_destroy(stream);
        if (codec)
            opj_destroy_codec(codec);
    }
};

// Maps output pixels to the samples of one component and scales them to 0..255.
struct ComponentView
{
    const opj_image_comp_t *comp = nullptr;
    std::vector<int> column; // output x -> sample index in a row
    std::vector<int> row;    // output y -> sample row
    int shift = 0;           // right shift for precision above 8 bits
    int maxValue = 255;      // largest sample value for precision up to 8 bits
    int offset = 0;          // added to signed samples

    int At(int x, int y) const
    {
        int v = comp->data[size_t(row[size_t(y)]) * comp->w + size_t(column[size_t(x)])] + offset;
        if (shift > 0)
            v >>= shift;
        else if (maxValue != 255)
            v = maxValue > 0 ? v * 255 / maxValue : 0;
        return std::clamp(v, 0, 255);
    }
};

// Builds the sample look-up of one component for an output grid whose pixels are gridDx x gridDy
// reference-grid units, starting at the reference-grid point (originX, originY).
bool MakeView(const opj_image_comp_t &comp, int width, int height, OPJ_UINT32 gridDx, OPJ_UINT32 gridDy,
              OPJ_UINT64 originX, OPJ_UINT64 originY, ComponentView &view)
{
    if (!comp.data || comp.w == 0 || comp.h == 0 || comp.dx == 0 || comp.dy == 0 || comp.prec == 0 ||
        comp.prec > 31)
        return false;
    view.comp = &comp;
    view.offset = comp.sgnd ? (1 << (comp.prec - 1)) : 0;
    view.shift = comp.prec > 8 ? int(comp.prec) - 8 : 0;
    view.maxValue = comp.prec <= 8 ? (1 << comp.prec) - 1 : 255;
    const OPJ_UINT64 compX0 = (originX + comp.dx - 1) / comp.dx;
    const OPJ_UINT64 compY0 = (originY + comp.dy - 1) / comp.dy;
    view.column.resize(size_t(width));
    for (int x = 0; x < width; ++x) {
        const OPJ_UINT64 ref = originX + OPJ_UINT64(x) * gridDx;
        const OPJ_UINT64 sample = ref / comp.dx;
        view.column[size_t(x)] = int(std::min<OPJ_UINT64>(sample > compX0 ? sample - compX0 : 0, comp.w - 1));
    }
    view.row.resize(size_t(height));
    for (int y = 0; y < height; ++y) {
        const OPJ_UINT64 ref = originY + OPJ_UINT64(y) * gridDy;
        const OPJ_UINT64 sample = ref / comp.dy;
        view.row[size_t(y)] = int(std::min<OPJ_UINT64>(sample > compY0 ? sample - compY0 : 0, comp.h - 1));
    }
    return true;
}

QImage Convert(const opj_image_t &img, qint64 maxPixels)
{
    const int count = int(img.numcomps);
    if (count < 1 || !img.comps)
        return QImage();
    // The output grid follows the finest component (normally component 0 at full resolution).
    OPJ_UINT32 gridDx = img.comps[0].dx, gridDy = img.comps[0].dy;
    for (int i = 1; i < count; ++i) {
        if (img.comps[i].dx)
            gridDx = std::min(gridDx, img.comps[i].dx);
        if (img.comps[i].dy)
            gridDy = std::min(gridDy, img.comps[i].dy);
    }
    if (gridDx == 0 || gridDy == 0 || img.x1 <= img.x0 || img.y1 <= img.y0)
        return QImage();
    const OPJ_UINT64 originX = (OPJ_UINT64(img.x0) + gridDx - 1) / gridDx;
    const OPJ_UINT64 originY = (OPJ_UINT64(img.y0) + gridDy - 1) / gridDy;
    const OPJ_UINT64 endX = (OPJ_UINT64(img.x1) + gridDx - 1) / gridDx;
    const OPJ_UINT64 endY = (OPJ_UINT64(img.y1) + gridDy - 1) / gridDy;
    const OPJ_UINT64 w64 = endX - originX, h64 = endY - originY;
    if (w64 == 0 || h64 == 0 || w64 > OPJ_UINT64(maxPixels) || h64 > OPJ_UINT64(maxPixels) ||
        w64 * h64 > OPJ_UINT64(maxPixels))
        return QImage();
    const int width = int(w64), height = int(h64);

    std::vector<ComponentView> views(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (!MakeView(img.comps[i], width, height, gridDx, gridDy, originX * gridDx, originY * gridDy,
                      views[size_t(i)]))
            return QImage();
    }

    // Colour model: grey (+alpha), RGB / sYCC (+alpha), CMYK; a component flagged as alpha wins.
    int alphaIndex = -1;
    for (int i = 0; i < count; ++i) {
        if (img.comps[i].alpha)
            alphaIndex = i;
    }
    int colorCount = count;
    if (alphaIndex >= 0)
        colorCount = alphaIndex;
    bool cmyk = img.color_space == OPJ_CLRSPC_CMYK && count >= 4;
    if (cmyk) {
        colorCount = 4;
        alphaIndex = count >= 5 ? 4 : -1;
    } else if (colorCount >= 3) {
        colorCount = 3;
        if (alphaIndex < 0 && count >= 4)
            alphaIndex = 3;
    } else if (colorCount >= 1) {
        colorCount = 1;
        if (alphaIndex < 0 && count >= 2)
            alphaIndex = 1;
    } else {
        return QImage();
    }
    // sYCC when flagged, or when unflagged and the chroma components are sub-sampled (as OpenJPEG's own
    // tools assume).
    const bool ycc = colorCount == 3 && !cmyk &&
                     (img.color_space == OPJ_CLRSPC_SYCC ||
                      (img.color_space == OPJ_CLRSPC_UNSPECIFIED &&
                       (img.comps[1].dx > img.comps[0].dx || img.comps[1].dy > img.comps[0].dy)));

    if (colorCount == 1 && alphaIndex < 0) {
        QImage out(width, height, QImage::Format_Grayscale8);
        if (out.isNull())
            return QImage();
        for (int y = 0; y < height; ++y) {
            uchar *line = out.scanLine(y);
            for (int x = 0; x < width; ++x)
                line[x] = uchar(views[0].At(x, y));
        }
        return out;
    }

    QImage out(width, height, alphaIndex >= 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull())
        return QImage();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int r, g, b;
            if (colorCount == 1) {
                r = g = b = views[0].At(x, y);
            } else if (cmyk) {
                const int c = views[0].At(x, y), m = views[1].At(x, y), ye = views[2].At(x, y);
                const int k = views[3].At(x, y);
                r = (255 - c) * (255 - k) / 255;
                g = (255 - m) * (255 - k) / 255;
                b = (255 - ye) * (255 - k) / 255;
            } else if (ycc) {
                const double luma = views[0].At(x, y);
                const double cb = views[1].At(x, y) - 128.0, cr = views[2].At(x, y) - 128.0;
                r = std::clamp(int(luma + 1.402 * cr + 0.5), 0, 255);
                g = std::clamp(int(luma - 0.344136 * cb - 0.714136 * cr + 0.5), 0, 255);
                b = std::clamp(int(luma + 1.772 * cb + 0.5), 0, 255);
            } else {
                r = views[0].At(x, y);
                g = views[1].At(x, y);
                b = views[2].At(x, y);
            }
            const int a = alphaIndex >= 0 ? views[size_t(alphaIndex)].At(x, y) : 255;
            line[x] = qRgba(r, g, b, a);
        }
    }
    return out;
}

quint32 Be32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// Finds the contiguous codestream box ("jp2c") among the top-level boxes of a JP2 file; its payload offset
// in codestreamOffset. False when the file ends before one is found.
bool FindCodestreamBox(const uchar *data, qint64 size, qint64 &codestreamOffset)
{
    qint64 pos = 0;
    for (int boxes = 0; boxes < 4096 && size - pos >= 8; ++boxes) {
        quint64 length = Be32(data + pos);
        const bool isCodestream = std::memcmp(data + pos + 4, "jp2c", 4) == 0;
        qint64 headerLength = 8;
        if (length == 1) {
            if (size - pos < 16)
                return false;
            length = quint64(Be32(data + pos + 8)) << 32 | Be32(data + pos + 12);
            headerLength = 16;
        }
        if (isCodestream) {
            codestreamOffset = pos + headerLength;
            return true;
        }
        if (length == 0 || length < quint64(headerLength) || length > quint64(size - pos))
            return false;
        pos += qint64(length);
    }
    return false;
}

// Checks the image and tile sizes that the SIZ marker segment declares before OpenJPEG allocates anything
// for them: at most maxPixels pixels and a number of tiles that the pixels justify.
bool CheckDeclaredSize(const QByteArray &bytes, bool boxed, qint64 maxPixels)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    qint64 offset = 0;
    if (boxed && !FindCodestreamBox(data, bytes.size(), offset))
        return false;
    const uchar *siz = data + offset;
    if (bytes.size() - offset < 40 || siz[0] != 0xff || siz[1] != 0x4f || siz[2] != 0xff || siz[3] != 0x51)
        return false;
    const quint64 x1 = Be32(siz + 8), y1 = Be32(siz + 12), x0 = Be32(siz + 16), y0 = Be32(siz + 20);
    const quint64 tileW = Be32(siz + 24), tileH = Be32(siz + 28), tileX0 = Be32(siz + 32),
                  tileY0 = Be32(siz + 36);
    if (x1 <= x0 || y1 <= y0 || tileW == 0 || tileH == 0 || tileX0 > x0 || tileY0 > y0)
        return false;
    const quint64 width = x1 - x0, height = y1 - y0;
    if (width > quint64(maxPixels) || height > quint64(maxPixels) || width * height > quint64(maxPixels)) {
        qCDebug(lcOfdImaging) << "JPEG 2000: image" << width << "x" << height << "exceeds the limit";
        return false;
    }
    const quint64 tilesX = (x1 - tileX0 + tileW - 1) / tileW, tilesY = (y1 - tileY0 + tileH - 1) / tileH;
    const quint64 maxTiles = std::max<quint64>(1024, quint64(maxPixels) / 4096);
    if (tilesX * tilesY > maxTiles) {
        qCDebug(lcOfdImaging) << "JPEG 2000: too many tiles" << tilesX * tilesY;
        return false;
    }
    return true;
}

} // namespace

bool Jpeg2000Decoder::HasBoxSignature(const QByteArray &bytes)
{
    static const char kSignature[] = "\x00\x00\x00\x0cjP  \r\n\x87\n";
    return bytes.size() >= 12 && std::memcmp(bytes.constData(), kSignature, 12) == 0;
}

bool Jpeg2000Decoder::HasCodestreamSignature(const QByteArray &bytes)
{
    return bytes.size() >= 4 && std::memcmp(bytes.constData(), "\xff\x4f\xff\x51", 4) == 0;
}

QImage Jpeg2000Decoder::Decode(const QByteArray &bytes, qint64 maxPixels)
{
    OPJ_CODEC_FORMAT codecFormat;
    if (HasBoxSignature(bytes))
        codecFormat = OPJ_CODEC_JP2;
    else if (HasCodestreamSignature(bytes))
        codecFormat = OPJ_CODEC_J2K;
    else
        return QImage();
    if (!CheckDeclaredSize(bytes, codecFormat == OPJ_CODEC_JP2, maxPixels))
        return QImage();

    MemoryStream memory{reinterpret_cast<const uchar *>(bytes.constData()), OPJ_UINT64(bytes.size()), 0};
    MessageSink sink;
    OpjSession session;
    session.codec = opj_create_decompress(codecFormat);
    if (!session.codec)
        return QImage();
    opj_set_error_handler(session.codec, OnError, &sink);
    opj_set_warning_handler(session.codec, OnWarning, &sink);
    opj_set_info_handler(session.codec, OnInfo, &sink);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(session.codec, &parameters))
        return QImage();
    // Truncated codestreams are errors instead of partially decoded pictures.
    opj_decoder_set_strict_mode(session.codec, OPJ_TRUE);

    session.stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    if (!session.stream)
        return QImage();
    opj_stream_set_user_data(session.stream, &memory, nullptr);
    opj_stream_set_user_data_length(session.stream, memory.size);
    opj_stream_set_read_function(session.stream, StreamRead);
    opj_stream_set_skip_function(session.stream, StreamSkip);
    opj_stream_set_seek_function(session.stream, StreamSeek);

    if (!opj_read_header(session.stream, session.codec, &session.image) || !session.image)
        return QImage();
    const opj_image_t &header = *session.image;
    const OPJ_UINT64 declaredWidth = header.x1 > header.x0 ? header.x1 - header.x0 : 0;
    const OPJ_UINT64 declaredHeight = header.y1 > header.y0 ? header.y1 - header.y0 : 0;
    if (declaredWidth == 0 || declaredHeight == 0 || header.numcomps == 0 || header.numcomps > 16)
        return QImage();
    // Each component is decoded into 32-bit samples, so the limit applies to every component's grid.
    OPJ_UINT64 samples = 0;
    for (OPJ_UINT32 i = 0; i < header.numcomps; ++i) {
        const opj_image_comp_t &comp = header.comps[i];
        if (comp.dx == 0 || comp.dy == 0)
            return QImage();
        samples += ((declaredWidth + comp.dx - 1) / comp.dx) * ((declaredHeight + comp.dy - 1) / comp.dy);
    }
    if (declaredWidth * declaredHeight > OPJ_UINT64(maxPixels) || samples > OPJ_UINT64(maxPixels) * 4) {
        qCDebug(lcOfdImaging) << "JPEG 2000: image" << declaredWidth << "x" << declaredHeight
                              << "exceeds the limit";
        return QImage();
    }
    if (!opj_decode(session.codec, session.stream, session.image) ||
        !opj_end_decompress(session.codec, session.stream) || sink.errors > 0)
        return QImage();
    return Convert(*session.image, maxPixels);
}
