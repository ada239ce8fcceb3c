#include <QtTest>

#include "render/imaging/ofdimagedecoder.h"

#include <functional>
#include <vector>

#include <openjpeg.h>

// JPEG 2000 through OpenJPEG; the pictures are made here with OpenJPEG's lossless encoder, so every
// decoded sample is known exactly.
class TestJpeg2000Decoding : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void gray8Codestream();
    void rgbBoxAndCodestream_data();
    void rgbBoxAndCodestream();
    void rgbaKeepsAlpha();
    void precisionIsScaled_data();
    void precisionIsScaled();
    void signedSamples();
    void subsampledYcc();
    void cmykBox();
    void truncated_data();
    void truncated();
    void hugeDeclaredSize_data();
    void hugeDeclaredSize();
    void sizeLimit();
};

namespace {

// One component to encode: its sampling and a sample function over its own grid.
struct Component
{
    int dx = 1;
    int dy = 1;
    int precision = 8;
    bool isSigned = false;
    bool alpha = false;
    std::function<int(int x, int y)> sample;
};

// Output stream over a growing byte array for OpenJPEG's encoder.
struct Sink
{
    QByteArray bytes;
    qint64 pos = 0;
};

OPJ_SIZE_T SinkWrite(void *buffer, OPJ_SIZE_T n, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    if (sink->pos + qint64(n) > sink->bytes.size())
        sink->bytes.resize(int(sink->pos + qint64(n)));
    memcpy(sink->bytes.data() + sink->pos, buffer, n);
    sink->pos += qint64(n);
    return n;
}

OPJ_OFF_T SinkSkip(OPJ_OFF_T n, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    sink->pos += n;
    if (sink->pos > sink->bytes.size())
        sink->bytes.resize(int(sink->pos));
    return n;
}

OPJ_BOOL SinkSeek(OPJ_OFF_T offset, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    sink->pos = offset;
    if (sink->pos > sink->bytes.size())
        sink->bytes.resize(int(sink->pos));
    return OPJ_TRUE;
}

void Quiet(const char *, void *) {}

// Lossless encoding of a width x height picture (reference grid) with the given components.
QByteArray EncodeJ2k(int width, int height, const std::vector<Component> &components,
                     OPJ_COLOR_SPACE colorSpace, OPJ_CODEC_FORMAT format)
{
    std::vector<opj_image_cmptparm_t> params(components.size());
    for (size_t i = 0; i < components.size(); ++i) {
        opj_image_cmptparm_t &p = params[i];
        memset(&p, 0, sizeof p);
        p.dx = OPJ_UINT32(components[i].dx);
        p.dy = OPJ_UINT32(components[i].dy);
        p.w = OPJ_UINT32((width + components[i].dx - 1) / components[i].dx);
        p.h = OPJ_UINT32((height + components[i].dy - 1) / components[i].dy);
        p.prec = OPJ_UINT32(components[i].precision);
        p.sgnd = components[i].isSigned ? 1 : 0;
    }
    opj_image_t *image = opj_image_create(OPJ_UINT32(components.size()), params.data(), colorSpace);
    if (!image)
        return QByteArray();
    image->x0 = 0;
    image->y0 = 0;
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (size_t i = 0; i < components.size(); ++i) {
        opj_image_comp_t &comp = image->comps[i];
        comp.alpha = components[i].alpha ? 1 : 0;
        for (OPJ_UINT32 y = 0; y < comp.h; ++y) {
            for (OPJ_UINT32 x = 0; x < comp.w; ++x)
                comp.data[y * comp.w + x] = components[i].sample(int(x), int(y));
        }
    }
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0; // lossless
    parameters.cp_disto_alloc = 1;
    parameters.numresolution = 3;
    opj_codec_t *codec = opj_create_compress(format);
    opj_set_error_handler(codec, Quiet, nullptr);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_info_handler(codec, Quiet, nullptr);
    Sink sink;
    opj_stream_t *stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &sink, nullptr);
    opj_stream_set_write_function(stream, SinkWrite);
    opj_stream_set_skip_function(stream, SinkSkip);
    opj_stream_set_seek_function(stream, SinkSeek);
    const bool ok = opj_setup_encoder(codec, &parameters, image) &&
                    opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
                    opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok ? sink.bytes : QByteArray();
}

Component Plane(std::function<int(int, int)> sample, int precision = 8)
{
    Component c;
    c.precision = precision;
    c.sample = std::move(sample);
    return c;
}

// Four quadrants on a 32 x 24 picture: red, green / blue, white.
int QuadrantChannel(int channel, int x, int y)
{
    static const int colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    return colours[(y < 12 ? 0 : 2) + (x < 16 ? 0 : 1)][channel];
}

std::vector<Component> RgbQuadrants()
{
    return {Plane([](int x, int y) { return QuadrantChannel(0, x, y); }),
            Plane([](int x, int y) { return QuadrantChannel(1, x, y); }),
            Plane([](int x, int y) { return QuadrantChannel(2, x, y); })};
}

void VerifyQuadrants(const QImage &image)
{
    QCOMPARE(image.size(), QSize(32, 24));
    for (int y = 0; y < 24; y += 3) {
        for (int x = 0; x < 32; x += 3) {
            const QRgb expected =
                qRgb(QuadrantChannel(0, x, y), QuadrantChannel(1, x, y), QuadrantChannel(2, x, y));
            QVERIFY2(image.pixel(x, y) == expected, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

int Position(QByteArray &bytes, const char *marker, int length)
{
    return bytes.indexOf(QByteArray(marker, length));
}

void PutBe32(QByteArray &bytes, int offset, quint32 v)
{
    bytes[offset] = char(v >> 24);
    bytes[offset + 1] = char(v >> 16);
    bytes[offset + 2] = char(v >> 8);
    bytes[offset + 3] = char(v);
}

} // namespace

void TestJpeg2000Decoding::cleanup()
{
    OfdImageDecoder::SetMaxPixels(0);
}

void TestJpeg2000Decoding::gray8Codestream()
{
    const QByteArray bytes = EncodeJ2k(32, 24, {Plane([](int x, int y) { return (x * 7 + y * 3) % 256; })},
                                       OPJ_CLRSPC_GRAY, OPJ_CODEC_J2K);
    QVERIFY(bytes.startsWith(QByteArray("\xff\x4f\xff\x51", 4)));
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Jpeg2000));
    const QImage image = OfdImageDecoder::Decode(bytes);
    QCOMPARE(image.size(), QSize(32, 24));
    QCOMPARE(image.format(), QImage::Format_Grayscale8);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x)
            QCOMPARE(int(image.constScanLine(y)[x]), (x * 7 + y * 3) % 256);
    }
}

void TestJpeg2000Decoding::rgbBoxAndCodestream_data()
{
    QTest::addColumn<int>("codec");
    QTest::newRow("jp2") << int(OPJ_CODEC_JP2);
    QTest::newRow("j2k") << int(OPJ_CODEC_J2K);
}

void TestJpeg2000Decoding::rgbBoxAndCodestream()
{
    QFETCH(int, codec);
    const QByteArray bytes = EncodeJ2k(32, 24, RgbQuadrants(), OPJ_CLRSPC_SRGB, OPJ_CODEC_FORMAT(codec));
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Jpeg2000));
    VerifyQuadrants(OfdImageDecoder::Decode(bytes));
}

void TestJpeg2000Decoding::rgbaKeepsAlpha()
{
    std::vector<Component> components = RgbQuadrants();
    Component alpha = Plane([](int x, int) { return x < 8 ? 0 : (x < 24 ? 128 : 255); });
    alpha.alpha = true;
    components.push_back(alpha);
    const QImage image =
        OfdImageDecoder::Decode(EncodeJ2k(32, 24, components, OPJ_CLRSPC_SRGB, OPJ_CODEC_JP2));
    QCOMPARE(image.size(), QSize(32, 24));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
    QCOMPARE(image.pixelColor(12, 2).alpha(), 128);
    QCOMPARE(image.pixelColor(12, 2).red(), 255);
    QCOMPARE(image.pixel(30, 20), qRgba(255, 255, 255, 255));
    QCOMPARE(image.pixel(26, 2), qRgba(0, 255, 0, 255));
    QCOMPARE(image.pixel(20, 2), qRgba(0, 255, 0, 128));
}

void TestJpeg2000Decoding::precisionIsScaled_data()
{
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("sample");
    QTest::addColumn<int>("expected");
    QTest::newRow("16 bit") << 16 << 0xabcd << 0xab;
    QTest::newRow("12 bit") << 12 << 0x800 << 0x80;
    QTest::newRow("4 bit max") << 4 << 15 << 255;
    QTest::newRow("4 bit mid") << 4 << 5 << 85;
    QTest::newRow("1 bit") << 1 << 1 << 255;
    QTest::newRow("1 bit zero") << 1 << 0 << 0;
}

void TestJpeg2000Decoding::precisionIsScaled()
{
    QFETCH(int, precision);
    QFETCH(int, sample);
    QFETCH(int, expected);
    // Left half the sample, right half zero.
    const QByteArray bytes =
        EncodeJ2k(16, 8, {Plane([sample](int x, int) { return x < 8 ? sample : 0; }, precision)},
                  OPJ_CLRSPC_GRAY, OPJ_CODEC_JP2);
    QVERIFY(!bytes.isEmpty());
    const QImage image = OfdImageDecoder::Decode(bytes);
    QCOMPARE(image.size(), QSize(16, 8));
    QCOMPARE(qGray(image.pixel(3, 4)), expected);
    QCOMPARE(qGray(image.pixel(12, 4)), 0);
}

void TestJpeg2000Decoding::signedSamples()
{
    Component c = Plane([](int x, int) { return x < 8 ? -128 : 127; });
    c.isSigned = true;
    const QImage image = OfdImageDecoder::Decode(EncodeJ2k(16, 8, {c}, OPJ_CLRSPC_GRAY, OPJ_CODEC_J2K));
    QCOMPARE(image.size(), QSize(16, 8));
    QCOMPARE(qGray(image.pixel(2, 2)), 0);
    QCOMPARE(qGray(image.pixel(12, 2)), 255);
}

void TestJpeg2000Decoding::subsampledYcc()
{
    // Luma at full resolution, chroma at half resolution in both directions. Left half: pure red in YCbCr
    // (Y 76, Cb 85, Cr 255); right half: mid grey (128, 128, 128).
    Component luma = Plane([](int x, int) { return x < 16 ? 76 : 128; });
    Component cb = Plane([](int x, int) { return x < 8 ? 85 : 128; });
    Component cr = Plane([](int x, int) { return x < 8 ? 255 : 128; });
    cb.dx = cb.dy = cr.dx = cr.dy = 2;
    const QByteArray bytes = EncodeJ2k(32, 24, {luma, cb, cr}, OPJ_CLRSPC_SYCC, OPJ_CODEC_JP2);
    QVERIFY(!bytes.isEmpty());
    const QImage image = OfdImageDecoder::Decode(bytes);
    QCOMPARE(image.size(), QSize(32, 24));
    const QColor red = image.pixelColor(5, 5);
    QVERIFY2(red.red() >= 250 && red.green() <= 5 && red.blue() <= 5, qPrintable(red.name()));
    QCOMPARE(image.pixel(31, 23), qRgb(128, 128, 128));
    QCOMPARE(image.pixel(17, 0), qRgb(128, 128, 128));
}

void TestJpeg2000Decoding::cmykBox()
{
    // OpenJPEG's encoder cannot flag CMYK, so the colour box is patched from sRGB (16) to CMYK (12).
    // Left half: cyan ink only; right half: black ink only at half strength.
    std::vector<Component> inks = {Plane([](int x, int) { return x < 8 ? 255 : 0; }),
                                   Plane([](int, int) { return 0; }), Plane([](int, int) { return 0; }),
                                   Plane([](int x, int) { return x < 8 ? 0 : 128; })};
    QByteArray bytes = EncodeJ2k(16, 8, inks, OPJ_CLRSPC_SRGB, OPJ_CODEC_JP2);
    const int colr = Position(bytes, "colr", 4);
    QVERIFY(colr > 0);
    QCOMPARE(bytes.mid(colr + 7, 4), QByteArray("\0\0\0\x10", 4));
    PutBe32(bytes, colr + 7, 12);
    const QImage image = OfdImageDecoder::Decode(bytes);
    QCOMPARE(image.size(), QSize(16, 8));
    QCOMPARE(image.pixel(2, 2), qRgb(0, 255, 255));
    QCOMPARE(image.pixel(12, 2), qRgb(127, 127, 127));
}

void TestJpeg2000Decoding::truncated_data()
{
    QTest::addColumn<int>("codec");
    QTest::newRow("jp2") << int(OPJ_CODEC_JP2);
    QTest::newRow("j2k") << int(OPJ_CODEC_J2K);
}

void TestJpeg2000Decoding::truncated()
{
    QFETCH(int, codec);
    // Busy content, so that the code blocks carry data throughout the file.
    auto noisy = [](int channel) {
        return Plane([channel](int x, int y) { return (x * 37 + y * 91 + channel * 53 + x * y) % 256; });
    };
    const QByteArray bytes =
        EncodeJ2k(64, 48, {noisy(0), noisy(1), noisy(2)}, OPJ_CLRSPC_SRGB, OPJ_CODEC_FORMAT(codec));
    QVERIFY(bytes.size() > 400);
    QVERIFY(!OfdImageDecoder::Decode(bytes).isNull());
    for (int length : {2, 4, 20, 60, 120}) {
        QVERIFY2(OfdImageDecoder::Decode(bytes.left(length)).isNull(),
                 qPrintable(QStringLiteral("length %1").arg(length)));
    }
    for (int percent : {10, 25, 50, 75, 90}) {
        const int length = bytes.size() * percent / 100;
        QVERIFY2(OfdImageDecoder::Decode(bytes.left(length)).isNull(),
                 qPrintable(QStringLiteral("length %1").arg(length)));
    }
}

void TestJpeg2000Decoding::hugeDeclaredSize_data()
{
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    QTest::addColumn<quint32>("tile");
    QTest::newRow("100000 square") << 100000u << 100000u << 100000u;
    QTest::newRow("widest") << 0xfffffff0u << 1u << 0xfffffff0u;
    QTest::newRow("million one-pixel tiles") << 1000u << 1000u << 1u;
}

void TestJpeg2000Decoding::hugeDeclaredSize()
{
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    QFETCH(quint32, tile);
    QByteArray bytes = EncodeJ2k(32, 24, RgbQuadrants(), OPJ_CLRSPC_SRGB, OPJ_CODEC_J2K);
    // SIZ: FF51, Lsiz, Rsiz, Xsiz, Ysiz, XOsiz, YOsiz, XTsiz, YTsiz, ...
    const int siz = Position(bytes, "\xff\x51", 2);
    QCOMPARE(siz, 2);
    PutBe32(bytes, siz + 6, width);
    PutBe32(bytes, siz + 10, height);
    PutBe32(bytes, siz + 22, tile);
    PutBe32(bytes, siz + 26, tile);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(OfdImageDecoder::Decode(bytes).isNull());
    QVERIFY(timer.elapsed() < 5000);
}

void TestJpeg2000Decoding::sizeLimit()
{
    const QByteArray bytes = EncodeJ2k(32, 24, RgbQuadrants(), OPJ_CLRSPC_SRGB, OPJ_CODEC_JP2);
    OfdImageDecoder::SetMaxPixels(32 * 24);
    VerifyQuadrants(OfdImageDecoder::Decode(bytes));
    OfdImageDecoder::SetMaxPixels(32 * 24 - 1);
    QVERIFY(OfdImageDecoder::Decode(bytes).isNull());
}

QTEST_MAIN(TestJpeg2000Decoding)
#include "test_jpeg2000decoding.moc"
