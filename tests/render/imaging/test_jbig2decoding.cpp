#include <QtTest>

#include "render/imaging/ofdimagedecoder.h"

// JBIG2 through jbig2dec, with a hand-made stream: a 16 x 12 page holding one immediate lossless generic
// region coded with MMR (the CCITT G4 code), so the expected pixels are known exactly:
//   rows 2-5: black from x = 3 to 9; rows 6-8: black from x = 5 to 11; every other pixel white.
class TestJbig2Decoding : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void fileForm();
    void randomAccessFileForm();
    void embeddedForm();
    void garbageBeforeSegments();
    void truncatedFileForm();
    void truncatedEmbeddedForm();
    void hugePageIsRefused_data();
    void hugePageIsRefused();
    void hugeRegionOnSmallPage();
    void sizeLimit();
    void corruptRegionData();
};

namespace {

const int kWidth = 16;
const int kHeight = 12;

bool ExpectedBlack(int x, int y)
{
    if (y >= 2 && y <= 5)
        return x >= 3 && x < 10;
    if (y >= 6 && y <= 8)
        return x >= 5 && x < 12;
    return false;
}

// The G4 code of the picture above, written out mode by mode (see the comments for each row).
QByteArray MmrData()
{
    const char *const rows[] = {
        "1", // row 0: V0 (all white)
        "1", // row 1: V0
        "001"
        "1000"
        "00011"
        "1", // row 2: horizontal, white 3, black 7; V0 to the end
        "111",
        "111",
        "111", // rows 3-5: V0 V0 V0
        "000011"
        "000011"
        "1", // row 6: VR2, VR2, V0
        "111",
        "111", // rows 7-8
        "0001"
        "1", // row 9: pass, V0
        "1",
        "1", // rows 10-11
        "000000000001"
        "000000000001", // EOFB
    };
    QByteArray bits;
    for (const char *row : rows)
        bits += row;
    while (bits.size() % 8)
        bits += '0';
    QByteArray bytes;
    for (int i = 0; i < bits.size(); i += 8) {
        int value = 0;
        for (int k = 0; k < 8; ++k)
            value = value << 1 | (bits[i + k] == '1' ? 1 : 0);
        bytes.append(char(value));
    }
    return bytes;
}

void AppendBe32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray Segment(quint32 number, int type, int page, const QByteArray &data)
{
    QByteArray out;
    AppendBe32(out, number);
    out.append(char(type)).append(char(0)).append(char(page));
    AppendBe32(out, quint32(data.size()));
    return out + data;
}

QByteArray PageInfo(quint32 width, quint32 height)
{
    QByteArray data;
    AppendBe32(data, width);
    AppendBe32(data, height);
    AppendBe32(data, 0);
    AppendBe32(data, 0);
    data.append(char(0)).append(char(0)).append(char(0));
    return Segment(0, 48, 1, data);
}

QByteArray GenericRegion(const QByteArray &mmr)
{
    QByteArray data;
    AppendBe32(data, kWidth);
    AppendBe32(data, kHeight);
    AppendBe32(data, 0);
    AppendBe32(data, 0);
    data.append(char(0)); // combination operator OR
    data.append(char(1)); // generic region flags: MMR
    return Segment(1, 39, 1, data + mmr);
}

QByteArray Embedded(quint32 width = kWidth, quint32 height = kHeight, const QByteArray &mmr = MmrData())
{
    return PageInfo(width, height) + GenericRegion(mmr);
}

// File header (sequential, one page), the embedded segments, end of page and end of file.
QByteArray FileForm(quint32 width = kWidth, quint32 height = kHeight)
{
    QByteArray out("\x97JB2\r\n\x1a\n\x01", 9);
    AppendBe32(out, 1);
    return out + Embedded(width, height) + Segment(2, 49, 1, QByteArray()) + Segment(3, 51, 0, QByteArray());
}

// The same page in the random-access organisation: all segment headers first, then all data parts.
QByteArray RandomAccessFileForm()
{
    const QByteArray segments[] = {PageInfo(kWidth, kHeight), GenericRegion(MmrData()),
                                   Segment(2, 49, 1, QByteArray()), Segment(3, 51, 0, QByteArray())};
    QByteArray headers, bodies;
    for (const QByteArray &segment : segments) {
        headers += segment.left(11); // these headers are 11 bytes: number, flags, count, page, length
        bodies += segment.mid(11);
    }
    QByteArray out("\x97JB2\r\n\x1a\n\x00", 9);
    AppendBe32(out, 1);
    return out + headers + bodies;
}

void VerifyPicture(const QImage &image)
{
    QCOMPARE(image.size(), QSize(kWidth, kHeight));
    QCOMPARE(image.format(), QImage::Format_Mono);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb expected = ExpectedBlack(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            QVERIFY2(image.pixel(x, y) == expected, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

} // namespace

void TestJbig2Decoding::cleanup()
{
    OfdImageDecoder::SetMaxPixels(0);
}

void TestJbig2Decoding::fileForm()
{
    const QByteArray bytes = FileForm();
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Jbig2));
    VerifyPicture(OfdImageDecoder::Decode(bytes));
}

void TestJbig2Decoding::randomAccessFileForm()
{
    const QByteArray bytes = RandomAccessFileForm();
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Jbig2));
    VerifyPicture(OfdImageDecoder::Decode(bytes));
    for (int cut : {1, 5, 20})
        QVERIFY(OfdImageDecoder::Decode(bytes.left(bytes.size() - cut)).isNull());
}

void TestJbig2Decoding::embeddedForm()
{
    const QByteArray bytes = Embedded();
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Jbig2));
    VerifyPicture(OfdImageDecoder::Decode(bytes));
}

void TestJbig2Decoding::garbageBeforeSegments()
{
    // Segments behind four stray bytes are neither recognised nor decoded, even when the name says JBIG2.
    const QByteArray bytes = QByteArray(4, '\xff') + Embedded();
    QCOMPARE(int(OfdImageFormats::Detect(bytes)), int(OfdImageFormat::Unknown));
    QCOMPARE(int(OfdImageDecoder::DetectFormat(bytes, QStringLiteral("JB2"))), int(OfdImageFormat::Jbig2));
    QVERIFY(OfdImageDecoder::Decode(bytes, QStringLiteral("JB2")).isNull());
}

void TestJbig2Decoding::truncatedFileForm()
{
    const QByteArray bytes = FileForm();
    const int endOfPage = bytes.size() - 11; // the end-of-file segment is 11 bytes
    for (int length = 1; length < endOfPage; ++length) {
        QVERIFY2(OfdImageDecoder::Decode(bytes.left(length)).isNull(),
                 qPrintable(QStringLiteral("length %1").arg(length)));
    }
    // Only the end-of-file segment missing: the page is complete.
    VerifyPicture(OfdImageDecoder::Decode(bytes.left(endOfPage)));
}

void TestJbig2Decoding::truncatedEmbeddedForm()
{
    const QByteArray bytes = Embedded();
    for (int length = 1; length < bytes.size(); ++length) {
        QVERIFY2(OfdImageDecoder::Decode(bytes.left(length), QStringLiteral("JB2")).isNull(),
                 qPrintable(QStringLiteral("length %1").arg(length)));
    }
}

void TestJbig2Decoding::hugePageIsRefused_data()
{
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    QTest::newRow("100000 square") << 100000u << 100000u;
    QTest::newRow("widest") << 0xfffffff0u << 1u;
    QTest::newRow("wide and striped") << 0x7fffffffu << 0xffffffffu;
}

void TestJbig2Decoding::hugePageIsRefused()
{
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(OfdImageDecoder::Decode(FileForm(width, height)).isNull());
    QVERIFY(OfdImageDecoder::Decode(Embedded(width, height)).isNull());
    QVERIFY(timer.elapsed() < 5000);
}

void TestJbig2Decoding::hugeRegionOnSmallPage()
{
    // The page is small but the region declares 100000 x 100000 pixels.
    QByteArray region = GenericRegion(MmrData());
    const int info = 11; // region information after the 11-byte segment header
    for (int i : {0, 4}) {
        region[info + i] = char(0);
        region[info + i + 1] = char(0x01);
        region[info + i + 2] = char(0x86);
        region[info + i + 3] = char(0xa0);
    }
    QElapsedTimer timer;
    timer.start();
    QVERIFY(OfdImageDecoder::Decode(PageInfo(kWidth, kHeight) + region).isNull());
    QVERIFY(timer.elapsed() < 5000);
}

void TestJbig2Decoding::sizeLimit()
{
    OfdImageDecoder::SetMaxPixels(kWidth * kHeight);
    VerifyPicture(OfdImageDecoder::Decode(FileForm()));
    OfdImageDecoder::SetMaxPixels(kWidth * kHeight - 1);
    QVERIFY(OfdImageDecoder::Decode(FileForm()).isNull());
}

void TestJbig2Decoding::corruptRegionData()
{
    // Region data of the right length made of invalid codes: no crash; whatever comes back has the
    // page size.
    const QByteArray garbage(MmrData().size(), '\0');
    const QImage image = OfdImageDecoder::Decode(Embedded(kWidth, kHeight, garbage));
    QVERIFY(image.isNull() || image.size() == QSize(kWidth, kHeight));
}

QTEST_MAIN(TestJbig2Decoding)
#include "test_jbig2decoding.moc"
