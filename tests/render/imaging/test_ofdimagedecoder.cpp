#include <QtTest>

#include "render/imaging/ofdimagedecoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>

// Format detection, decoding of the formats Qt reads, the size limit and hostile input.
class TestOfdImageDecoder : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void qtFormats_data();
    void qtFormats();
    void hintSpellings_data();
    void hintSpellings();
    void signatureBeatsHint();
    void hintOnlyWhenSignatureSilent();
    void sizeLimitRefusesQtFormats();
    void hugeDeclaredPngIsRefused();
    void truncatedQtFormats_data();
    void truncatedQtFormats();
    void noiseGivesNullImage_data();
    void noiseGivesNullImage();
    void emptyInput();
};

namespace {

// 40 x 30 picture with four coloured quadrants, so that flips and offsets show.
QImage Quadrants()
{
    QImage image(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb c;
            if (y < 15)
                c = x < 20 ? qRgb(255, 0, 0) : qRgb(0, 255, 0);
            else
                c = x < 20 ? qRgb(0, 0, 255) : qRgb(255, 255, 255);
            image.setPixel(x, y, c);
        }
    }
    return image;
}

// Qt has no GIF writer: a GIF with a 256-colour table and LZW codes that are all literals, with a clear
// code before the code width would grow past 9 bits.
QByteArray EncodeGif(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QByteArray out("GIF89a");
    auto put16 = [&out](int v) { out.append(char(v & 0xff)).append(char(v >> 8)); };
    put16(image.width());
    put16(image.height());
    out.append(char(0xf7)).append(char(0)).append(char(0)); // global table of 256 entries
    const QVector<QRgb> table = image.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = table.value(i);
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    out.append(',');
    put16(0);
    put16(0);
    put16(image.width());
    put16(image.height());
    out.append(char(0));
    out.append(char(8)); // minimum code size
    QByteArray data;
    quint32 bitBuffer = 0;
    int bitCount = 0;
    auto putCode = [&](int code) {
        bitBuffer |= quint32(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            data.append(char(bitBuffer & 0xff));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    int sinceClear = 0;
    putCode(256);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 250) {
                putCode(256);
                sinceClear = 0;
            }
            putCode(image.pixelIndex(x, y));
            ++sinceClear;
        }
    }
    putCode(257);
    if (bitCount > 0)
        data.append(char(bitBuffer & 0xff));
    for (int i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0)).append(';');
    return out;
}

QByteArray Encode(const QImage &image, const char *format)
{
    if (qstrcmp(format, "gif") == 0)
        return EncodeGif(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "jpeg") == 0)
        writer.setQuality(95);
    if (!writer.write(image))
        qWarning() << "cannot write" << format << writer.errorString();
    return bytes;
}

bool Near(QRgb actual, QRgb expected, int tolerance)
{
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance &&
           qAbs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           qAbs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

quint32 Crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBe32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

} // namespace

void TestOfdImageDecoder::cleanup()
{
    OfdImageDecoder::SetMaxPixels(0);
}

void TestOfdImageDecoder::qtFormats_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("png") << QByteArray("png") << int(OfdImageFormat::Png) << 0;
    QTest::newRow("jpeg") << QByteArray("jpeg") << int(OfdImageFormat::Jpeg) << 40;
    QTest::newRow("bmp") << QByteArray("bmp") << int(OfdImageFormat::Bmp) << 0;
    QTest::newRow("gif") << QByteArray("gif") << int(OfdImageFormat::Gif) << 0;
    QTest::newRow("tiff") << QByteArray("tiff") << int(OfdImageFormat::Tiff) << 0;
}

void TestOfdImageDecoder::qtFormats()
{
    QFETCH(QByteArray, format);
    QFETCH(int, expected);
    QFETCH(int, tolerance);
    const QByteArray bytes = Encode(Quadrants(), format.constData());
    QVERIFY2(!bytes.isEmpty(), "Qt cannot write this format here");
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), expected);
    QCOMPARE(int(OfdImageDecoder::DetectFormat(bytes)), expected);

    const QImage image = OfdImageDecoder::Decode(bytes);
    QCOMPARE(image.size(), QSize(40, 30));
    QVERIFY(Near(image.pixel(5, 5), qRgb(255, 0, 0), tolerance));
    QVERIFY(Near(image.pixel(34, 5), qRgb(0, 255, 0), tolerance));
    QVERIFY(Near(image.pixel(5, 24), qRgb(0, 0, 255), tolerance));
    QVERIFY(Near(image.pixel(34, 24), qRgb(255, 255, 255), tolerance));
}

void TestOfdImageDecoder::hintSpellings_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("expected");
    QTest::newRow("JB2") << QStringLiteral("JB2") << int(OfdImageFormat::Jbig2);
    QTest::newRow("jbig2") << QStringLiteral("jbig2") << int(OfdImageFormat::Jbig2);
    QTest::newRow("GBIG2") << QStringLiteral("GBIG2") << int(OfdImageFormat::Jbig2);
    QTest::newRow("file jb2") << QStringLiteral("Doc_0/Res/image_80.jb2") << int(OfdImageFormat::Jbig2);
    QTest::newRow("TIF") << QStringLiteral("TIF") << int(OfdImageFormat::Tiff);
    QTest::newRow("tiff") << QStringLiteral("tiff") << int(OfdImageFormat::Tiff);
    QTest::newRow("jp2 file") << QStringLiteral("Res/image_3.jp2") << int(OfdImageFormat::Jpeg2000);
    QTest::newRow("J2K") << QStringLiteral("J2K") << int(OfdImageFormat::Jpeg2000);
    QTest::newRow("JPEG2000") << QStringLiteral("JPEG2000") << int(OfdImageFormat::Jpeg2000);
    QTest::newRow("JPG") << QStringLiteral("JPG") << int(OfdImageFormat::Jpeg);
    QTest::newRow("Jpeg") << QStringLiteral(" Jpeg ") << int(OfdImageFormat::Jpeg);
    QTest::newRow("PNG") << QStringLiteral("PNG") << int(OfdImageFormat::Png);
    QTest::newRow("bmp") << QStringLiteral("bmp") << int(OfdImageFormat::Bmp);
    QTest::newRow("GIF") << QStringLiteral("GIF") << int(OfdImageFormat::Gif);
    QTest::newRow("xml") << QStringLiteral("xml") << int(OfdImageFormat::Unknown);
    QTest::newRow("empty") << QString() << int(OfdImageFormat::Unknown);
    QTest::newRow("dot only") << QStringLiteral("image.") << int(OfdImageFormat::Unknown);
}

void TestOfdImageDecoder::hintSpellings()
{
    QFETCH(QString, hint);
    QFETCH(int, expected);
    QCOMPARE(int(OfdImageFormats::FromHint(hint)), expected);
}

void TestOfdImageDecoder::signatureBeatsHint()
{
    const QByteArray png = Encode(Quadrants(), "png");
    QCOMPARE(int(OfdImageDecoder::DetectFormat(png, QStringLiteral("JB2"))), int(OfdImageFormat::Png));
    const QImage image = OfdImageDecoder::Decode(png, QStringLiteral("JB2"));
    QCOMPARE(image.size(), QSize(40, 30));
    QCOMPARE(image.pixel(34, 24), qRgb(255, 255, 255));
}

void TestOfdImageDecoder::hintOnlyWhenSignatureSilent()
{
    const QByteArray noise(64, '\x5a');
    QCOMPARE(int(OfdImageDecoder::DetectFormat(noise)), int(OfdImageFormat::Unknown));
    QCOMPARE(int(OfdImageDecoder::DetectFormat(noise, QStringLiteral("GBIG2"))), int(OfdImageFormat::Jbig2));
    QVERIFY(OfdImageDecoder::Decode(noise, QStringLiteral("GBIG2")).isNull());
}

void TestOfdImageDecoder::sizeLimitRefusesQtFormats()
{
    const QByteArray png = Encode(Quadrants(), "png");
    OfdImageDecoder::SetMaxPixels(40 * 30);
    QVERIFY(!OfdImageDecoder::Decode(png).isNull());
    OfdImageDecoder::SetMaxPixels(40 * 30 - 1);
    QCOMPARE(OfdImageDecoder::MaxPixels(), qint64(40 * 30 - 1));
    QVERIFY(OfdImageDecoder::Decode(png).isNull());
    QVERIFY(OfdImageDecoder::Decode(Encode(Quadrants(), "tiff")).isNull());
    OfdImageDecoder::SetMaxPixels(0);
    QCOMPARE(OfdImageDecoder::MaxPixels(), qint64(100000000));
}

void TestOfdImageDecoder::hugeDeclaredPngIsRefused()
{
    // A PNG whose header declares 100000 x 100000 pixels followed by a tiny data chunk: decoding it would
    // allocate 40 GB.
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr("IHDR");
    AppendBe32(ihdr, 100000);
    AppendBe32(ihdr, 100000);
    ihdr.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(0));
    AppendBe32(png, 13);
    png += ihdr;
    AppendBe32(png, Crc32(ihdr));
    QByteArray idat("IDAT\x78\x9c\x03\x00\x00\x00\x00\x01", 12);
    AppendBe32(png, quint32(idat.size() - 4));
    png += idat;
    AppendBe32(png, Crc32(idat));
    QByteArray iend("IEND");
    AppendBe32(png, 0);
    png += iend;
    AppendBe32(png, Crc32(iend));
    QCOMPARE(int(OfdImageFormats::Detect(png)), int(OfdImageFormat::Png));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(OfdImageDecoder::Decode(png).isNull());
    QVERIFY(timer.elapsed() < 5000);
}

void TestOfdImageDecoder::truncatedQtFormats_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << QByteArray("png");
    QTest::newRow("jpeg") << QByteArray("jpeg");
    QTest::newRow("bmp") << QByteArray("bmp");
    QTest::newRow("gif") << QByteArray("gif");
    QTest::newRow("tiff") << QByteArray("tiff");
}

void TestOfdImageDecoder::truncatedQtFormats()
{
    QFETCH(QByteArray, format);
    QImage big(200, 150, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, random.generate() | 0xff000000u);
    }
    const QByteArray bytes = Encode(big, format.constData());
    QVERIFY(bytes.size() > 100);
    // Cuts inside the header: nothing to show. Cuts inside the pixel data: Qt may return a partial
    // picture for some formats; the point is that nothing crashes and no wrong size comes back.
    for (int length : {1, 4, 8, 12, 20}) {
        const QImage image = OfdImageDecoder::Decode(bytes.left(length));
        QVERIFY2(image.isNull(), qPrintable(QStringLiteral("length %1").arg(length)));
    }
    for (int percent : {25, 50, 75, 99}) {
        const QImage image = OfdImageDecoder::Decode(bytes.left(bytes.size() * percent / 100));
        QVERIFY(image.isNull() || image.size() == big.size());
    }
}

void TestOfdImageDecoder::noiseGivesNullImage_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QString>("hint");
    QTest::newRow("plain") << QByteArray() << QString();
    QTest::newRow("plain, JB2 hint") << QByteArray() << QStringLiteral("JB2");
    QTest::newRow("plain, jp2 hint") << QByteArray() << QStringLiteral("jp2");
    QTest::newRow("plain, tif hint") << QByteArray() << QStringLiteral("tif");
    QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n", 8) << QString();
    QTest::newRow("jpeg") << QByteArray("\xff\xd8\xff\xe0", 4) << QString();
    QTest::newRow("gif") << QByteArray("GIF89a") << QString();
    QTest::newRow("tiff") << QByteArray("II*\0", 4) << QString();
    QTest::newRow("jbig2 file") << QByteArray("\x97JB2\r\n\x1a\n\x01", 9) << QString();
    QTest::newRow("jp2") << QByteArray("\x00\x00\x00\x0cjP  \r\n\x87\n", 12) << QString();
    QTest::newRow("j2k") << QByteArray("\xff\x4f\xff\x51", 4) << QString();
}

void TestOfdImageDecoder::noiseGivesNullImage()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QString, hint);
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QRandomGenerator random(seed);
        QByteArray bytes = prefix;
        const int length = 1 + int(random.bounded(4096));
        for (int i = 0; i < length; ++i)
            bytes.append(char(random.bounded(256)));
        QVERIFY2(OfdImageDecoder::Decode(bytes, hint).isNull(),
                 qPrintable(QStringLiteral("seed %1").arg(seed)));
    }
}

void TestOfdImageDecoder::emptyInput()
{
    QVERIFY(OfdImageDecoder::Decode(QByteArray()).isNull());
    QVERIFY(OfdImageDecoder::Decode(QByteArray(), QStringLiteral("png")).isNull());
    QCOMPARE(int(OfdImageDecoder::DetectFormat(QByteArray())), int(OfdImageFormat::Unknown));
}

QTEST_MAIN(TestOfdImageDecoder)
#include "test_ofdimagedecoder.moc"
