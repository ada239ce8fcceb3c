#include "sign/asn1object.h"
#include "sign/derencoder.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/sealfixtures.h"
#include "sign/sealreader0031.h"

#include <QImageReader>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using namespace SealFixtures;

namespace {

SealOptions DistinctOptions(int type)
{
    SealOptions options;
    options.type = type;
    options.vid = type == 2 ? QStringLiteral("Vid2020") : QStringLiteral("Vid2014");
    options.esId = QStringLiteral("ES%1-0042").arg(type);
    options.sealType = 3;
    options.sealName = QStringLiteral("测试单位 合同专用章");
    options.createDate = QDateTime(QDate(2021, 5, 21), QTime(9, 31, 0), Qt::UTC);
    options.validStart = QDateTime(QDate(2021, 6, 1), QTime(0, 0, 0), Qt::UTC);
    options.validEnd = QDateTime(QDate(2031, 5, 20), QTime(23, 59, 59), Qt::UTC);
    return options;
}

// A seal of the given standard whose picture information holds exactly the given elements.
QByteArray SealWithPicture(int type, const QList<QByteArray> &pictureElements)
{
    const QByteArray header = DerEncoder::Sequence(
        {DerEncoder::IA5String(QStringLiteral("ES")), DerEncoder::Integer(4), DerEncoder::IA5String("V")});
    QList<QByteArray> property{DerEncoder::Integer(1), DerEncoder::Utf8String(QStringLiteral("章"))};
    if (type == 2)
        property << DerEncoder::Integer(1);
    const QDateTime t(QDate(2022, 1, 2), QTime(3, 4, 5), Qt::UTC);
    property << DerEncoder::Sequence({}) << DerEncoder::GeneralizedTime(t) << DerEncoder::GeneralizedTime(t)
             << DerEncoder::GeneralizedTime(t);
    const QByteArray info =
        DerEncoder::Sequence({header, DerEncoder::IA5String(QStringLiteral("ID")),
                              DerEncoder::Sequence(property), DerEncoder::Sequence(pictureElements)});
    const QByteArray tail = DerEncoder::BitString(QByteArray(8, '\x01'));
    return type == 2 ? DerEncoder::Sequence(
                           {info, DerEncoder::OctetString("c"),
                            DerEncoder::ObjectIdentifier(QStringLiteral("1.2.156.10197.1.501")), tail})
                     : DerEncoder::Sequence({info, DerEncoder::Sequence({tail})});
}

QList<QByteArray> GoodPicture()
{
    return {DerEncoder::IA5String(QStringLiteral("png")), DerEncoder::OctetString(ImageBytes("PNG", 3, 2)),
            DerEncoder::Integer(40), DerEncoder::Integer(30)};
}

} // namespace

class TestOfdSignatureSeal : public QObject
{
    Q_OBJECT

private:
    Sm2TestKey m_maker{QStringLiteral("Seal Maker")};

private slots:
    void initTestCase() { QVERIFY(m_maker.IsValid()); }

    void cleanup() { OfdSealPicture::SetOfdPictureRenderer(OfdSealPicture::OfdPictureRenderer()); }

    void fieldsOfBothStandards_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("GM/T 0031-2014") << 1;
        QTest::newRow("GB/T 38540-2020") << 2;
    }

    void fieldsOfBothStandards()
    {
        QFETCH(int, type);
        const SealOptions options = DistinctOptions(type);
        const BuiltSeal built = BuildSeal(options, m_maker);
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(built.data));
        QCOMPARE(seal.GetType(), type);
        QVERIFY(seal.IsDataOK());
        QCOMPARE(seal.GetSealData(), built.data);
        QCOMPARE(seal.GetVid(), options.vid);
        QCOMPARE(seal.GetEsID(), options.esId);
        QCOMPARE(seal.GetSealType(), QStringLiteral("3"));
        QCOMPARE(seal.GetSealName(), options.sealName);
        // Dates are shown eight hours ahead of the stored UTC value.
        QCOMPARE(seal.GetSealCreateDate(), QStringLiteral("2021-05-21 17:31:00"));
        QCOMPARE(seal.GetSealValidStart(), QStringLiteral("2021-06-01 08:00:00"));
        QCOMPARE(seal.GetSealValidEnd(), QStringLiteral("2031-05-21 07:59:59"));

        OfdSealPicture *picture = seal.GetSealPicture();
        QVERIFY(picture);
        QCOMPARE(picture->GetType(), QStringLiteral("png"));
        QCOMPARE(picture->GetWidth(), 40);
        QCOMPARE(picture->GetHeight(), 30);
        QCOMPARE(picture->GetData(), built.pictureData);
        QVERIFY(!picture->IsOfd());
        QCOMPARE(picture->GetImage().size(), QSize(12, 8));
        QCOMPARE(picture->GetImage().format(), QImage::Format_ARGB32);
        QCOMPARE(picture->GetImage().pixel(5, 5), qRgb(255, 0, 0));
    }

    void nodeAccess()
    {
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(BuildSeal(DistinctOptions(2), m_maker).data));
        QCOMPARE(seal.GetNodeText(QStringLiteral("0.0*1.0*2.0*3.0")), QStringLiteral("ES"));
        QCOMPARE(seal.GetNodeInt(QStringLiteral("0.0*1.0*2.0*3.1")), QStringLiteral("4"));
        QCOMPARE(seal.GetNodeText(QStringLiteral("0.0*1.0*2.0*3.1")), QStringLiteral("4"));
        // certListType of the 2020 property.
        QCOMPARE(seal.GetNodeInt(QStringLiteral("0.0*1.0*2.2*3.2")), QStringLiteral("1"));
        QCOMPARE(seal.GetNodeInt(QStringLiteral("0.0*1.0*2.0*3.0")), QString());
        QCOMPARE(seal.GetNodeText(QStringLiteral("0.0*1.0*2.9")), QString());
        QCOMPARE(seal.GetNodeText(QStringLiteral("0.0*1.0")), QString()); // a SEQUENCE has no text
        QCOMPARE(seal.GetNodeInt(QStringLiteral("0.0*1.7")), QString());

        std::unique_ptr<Asn1Object> oid(seal.GetAsn1Object(QStringLiteral("0.0*1.2")));
        QVERIFY(dynamic_cast<Asn1Object_ObjectIdentifier *>(oid.get()));
        QCOMPARE(oid->ToString(), QStringLiteral("1.2.156.10197.1.501"));
        std::unique_ptr<Asn1Object> cert(seal.GetAsn1Object(QStringLiteral("0.0*1.1")));
        QVERIFY(dynamic_cast<Asn1Object_OctetString *>(cert.get()));
        QCOMPARE(cert->ToByteArray(), m_maker.Certificate());
        QVERIFY(!seal.GetAsn1Object(QStringLiteral("0.0*1.5")));
        QVERIFY(!seal.GetAsn1Object(QStringLiteral("0.0*1.0*2.2")));
    }

    // Two outer elements make a 2014 seal, four a 2020 seal; the dates move with the standard.
    void versionDetectionMovesTheDates()
    {
        const QByteArray v2020 = BuildSeal(DistinctOptions(2), m_maker).data;
        Ans1Reader reader;
        reader.OpenData(v2020);
        QVERIFY(reader.IsDataOK());
        const QByteArray twoElements =
            DerEncoder::Sequence({reader.GetNode(QStringLiteral("0.0*1.0"))->GetDataTotal(),
                                  reader.GetNode(QStringLiteral("0.0*1.1"))->GetDataTotal()});
        const QByteArray threeElements =
            DerEncoder::Sequence({reader.GetNode(QStringLiteral("0.0*1.0"))->GetDataTotal(),
                                  reader.GetNode(QStringLiteral("0.0*1.1"))->GetDataTotal(),
                                  reader.GetNode(QStringLiteral("0.0*1.2"))->GetDataTotal()});

        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(v2020));
        QCOMPARE(seal.GetType(), 2);
        QCOMPARE(seal.GetSealCreateDate(), QStringLiteral("2021-05-21 17:31:00"));

        for (const QByteArray &data : {twoElements, threeElements}) {
            OfdSignatureSeal asOld;
            QVERIFY(asOld.ParseSeal(data));
            QCOMPARE(asOld.GetType(), 1);
            // 2014 addresses on a 2020 property: 3.3 is the certificate list, 3.4 the creation date.
            QCOMPARE(asOld.GetSealCreateDate(), QString());
            QCOMPARE(asOld.GetSealValidStart(), QStringLiteral("2021-05-21 17:31:00"));
            QCOMPARE(asOld.GetSealValidEnd(), QStringLiteral("2021-06-01 08:00:00"));
        }
    }

    void pictureFormats_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("reader");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("color");
        QTest::newRow("png") << "png" << ImageBytes("PNG", 9, 7, Qt::blue) << QByteArray("png") << QSize(9, 7)
                             << QColor(Qt::blue);
        QTest::newRow("jpeg named jpg") << "jpg" << ImageBytes("JPG", 16, 16, Qt::green) << QByteArray("jpeg")
                                        << QSize(16, 16) << QColor(Qt::green);
        QTest::newRow("bmp") << "bmp" << ImageBytes("BMP", 5, 4, Qt::red) << QByteArray("bmp") << QSize(5, 4)
                             << QColor(Qt::red);
        QTest::newRow("gif") << "gif" << GifBytes() << QByteArray("gif") << QSize(1, 1) << QColor(Qt::white);
        // The format comes from the data, not from the stored type text.
        QTest::newRow("png named gif") << "GIF" << ImageBytes("PNG", 2, 3, Qt::blue) << QByteArray("png")
                                       << QSize(2, 3) << QColor(Qt::blue);
    }

    void pictureFormats()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, reader);
        QFETCH(QSize, size);
        QFETCH(QColor, color);
        if (!QImageReader::supportedImageFormats().contains(reader))
            QSKIP("no image reader for this format on this platform");
        SealOptions options;
        options.pictureType = type;
        options.pictureData = bytes;
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(BuildSeal(options, m_maker).data));
        const QImage image = seal.GetSealPicture()->GetImage();
        QCOMPARE(image.size(), size);
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        const QColor pixel = image.pixelColor(size.width() / 2, size.height() / 2);
        QVERIFY2(qAbs(pixel.red() - color.red()) < 8 && qAbs(pixel.green() - color.green()) < 8 &&
                     qAbs(pixel.blue() - color.blue()) < 8 && pixel.alpha() == 255,
                 qPrintable(pixel.name(QColor::HexArgb)));
    }

    void unreadablePictureDataStillGivesThePicture()
    {
        SealOptions options;
        options.pictureData = QByteArrayLiteral("not an image at all");
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(BuildSeal(options, m_maker).data));
        QVERIFY(seal.GetSealPicture());
        QVERIFY(seal.GetSealPicture()->GetImage().isNull());
        QCOMPARE(seal.GetSealPicture()->GetData(), options.pictureData);
        QCOMPARE(seal.GetSealName(), options.sealName);
    }

    void pictureFieldsMissingOrMistyped_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<QByteArray>>("elements");
        QTest::addColumn<bool>("expected");
        for (int type : {1, 2}) {
            const char *tag = type == 1 ? "2014 " : "2020 ";
            QList<QByteArray> good = GoodPicture();
            QTest::addRow("%scomplete", tag) << type << good << true;
            QTest::addRow("%sno height", tag) << type << good.mid(0, 3) << false;
            QTest::addRow("%sempty", tag) << type << QList<QByteArray>() << false;
            QList<QByteArray> textWidth = good;
            textWidth[2] = DerEncoder::IA5String(QStringLiteral("40"));
            QTest::addRow("%swidth as text", tag) << type << textWidth << false;
            QList<QByteArray> bitData = good;
            bitData[1] = DerEncoder::BitString(ImageBytes("PNG", 3, 2));
            QTest::addRow("%sdata as bit string", tag) << type << bitData << false;
            QList<QByteArray> intType = good;
            intType[0] = DerEncoder::Integer(7);
            QTest::addRow("%stype as integer", tag) << type << intType << false;
            QList<QByteArray> utf8Type = good;
            utf8Type[0] = DerEncoder::Utf8String(QStringLiteral("png"));
            QTest::addRow("%stype as UTF8String", tag) << type << utf8Type << true;
        }
    }

    void pictureFieldsMissingOrMistyped()
    {
        QFETCH(int, type);
        QFETCH(QList<QByteArray>, elements);
        QFETCH(bool, expected);
        OfdSignatureSeal seal;
        QCOMPARE(seal.ParseSeal(SealWithPicture(type, elements)), expected);
        QCOMPARE(seal.GetType(), type);
        QCOMPARE(seal.GetSealPicture() != nullptr, expected);
        QCOMPARE(seal.GetEsID(), QStringLiteral("ID"));
        if (expected)
            QCOMPARE(seal.GetSealPicture()->GetImage().size(), QSize(3, 2));
    }

    void ofdPictureWithoutRenderer()
    {
        QVERIFY(!OfdSealPicture::HasOfdPictureRenderer());
        const BuiltSeal built = BuildSeal(OfdPictureSealOptions(2), m_maker);
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(built.data));
        QVERIFY(seal.GetSealPicture()->IsOfd());
        QVERIFY(seal.GetSealPicture()->GetImage().isNull());
        QCOMPARE(seal.GetSealPicture()->GetData(), built.pictureData);
        QVERIFY(built.pictureData.startsWith("PK"));
    }

    void ofdPictureThroughRenderer_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("pictureType");
        QTest::newRow("2020 ofd") << 2 << "ofd";
        QTest::newRow("2020 OFD upper case") << 2 << "OFD";
        QTest::newRow("2014 Ofd") << 1 << "Ofd";
        QTest::newRow("type text containing ofd") << 2 << "x-ofd";
    }

    void ofdPictureThroughRenderer()
    {
        QFETCH(int, type);
        QFETCH(QString, pictureType);
        QByteArray seen;
        int calls = 0;
        OfdSealPicture::SetOfdPictureRenderer([&](const QByteArray &package) {
            ++calls;
            seen = package;
            QImage page(6, 4, QImage::Format_RGB32);
            page.fill(Qt::white);
            page.setPixel(2, 1, qRgb(200, 0, 0));
            page.setPixel(3, 1, qRgb(254, 255, 255)); // almost white stays
            return page;
        });
        SealOptions options = OfdPictureSealOptions(type);
        options.pictureType = pictureType;
        const BuiltSeal built = BuildSeal(options, m_maker);
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(built.data));
        QCOMPARE(calls, 1);
        QCOMPARE(seen, built.pictureData);
        const QImage image = seal.GetSealPicture()->GetImage();
        QCOMPARE(image.size(), QSize(6, 4));
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(image.pixel(2, 1), qRgb(200, 0, 0));
        QCOMPARE(image.pixel(3, 1), qRgb(254, 255, 255));
    }

    void rendererIsNotUsedForOtherTypes()
    {
        int calls = 0;
        OfdSealPicture::SetOfdPictureRenderer([&](const QByteArray &) {
            ++calls;
            return QImage();
        });
        OfdSignatureSeal png;
        QVERIFY(png.ParseSeal(BuildSeal(SealOptions(), m_maker).data));
        QCOMPARE(calls, 0);
        QVERIFY(!png.GetSealPicture()->GetImage().isNull());

        // A renderer that finds no page leaves the image empty, and the seal still reads.
        OfdSignatureSeal ofd;
        QVERIFY(ofd.ParseSeal(BuildSeal(OfdPictureSealOptions(2, 0), m_maker).data));
        QCOMPARE(calls, 1);
        QVERIFY(ofd.GetSealPicture()->GetImage().isNull());
        QCOMPARE(ofd.GetSealName(), SealOptions().sealName);
    }

    void makeWhiteTransparent()
    {
        QImage image(2, 1, QImage::Format_RGB888);
        image.setPixel(0, 0, qRgb(255, 255, 255));
        image.setPixel(1, 0, qRgb(0, 0, 255));
        const QImage out = OfdSealPicture::MakeWhiteTransparent(image);
        QCOMPARE(out.format(), QImage::Format_ARGB32);
        QCOMPARE(out.pixel(0, 0), 0u);
        QCOMPARE(out.pixel(1, 0), qRgb(0, 0, 255));
    }

    void undecodableBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("hello seal");
        QTest::newRow("length 0x85") << QByteArray::fromHex("3085010203040506");
        QTest::newRow("sequence one byte short") << QByteArray::fromHex("300402010502");
    }

    void undecodableBytes()
    {
        QFETCH(QByteArray, bytes);
        OfdSignatureSeal seal;
        QVERIFY(!seal.ParseSeal(bytes));
        QCOMPARE(seal.GetType(), 0);
        QVERIFY(!seal.GetSealPicture());
        QCOMPARE(seal.GetSealName(), QString());
        QCOMPARE(seal.GetEsID(), QString());
        QCOMPARE(seal.GetSealCreateDate(), QString());
        QVERIFY(!seal.GetAsn1Object(QStringLiteral("0.0")));
    }

    // Every proper prefix of a seal is undecodable: no crash, no picture, no field.
    void truncatedAtEveryLength_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("2014") << 1;
        QTest::newRow("2020") << 2;
    }

    void truncatedAtEveryLength()
    {
        QFETCH(int, type);
        SealOptions options = DistinctOptions(type);
        options.pictureData = ImageBytes("PNG", 2, 2);
        const QByteArray data = BuildSeal(options, m_maker).data;
        const QuietLog quiet;
        for (int length = 0; length < data.size(); ++length) {
            OfdSignatureSeal seal;
            const bool ok = seal.ParseSeal(data.left(length));
            if (ok || seal.GetType() != 0 || seal.GetSealPicture() || !seal.GetSealName().isEmpty() ||
                !seal.GetVid().isEmpty())
                QFAIL(qPrintable(QStringLiteral("prefix of %1 bytes was read").arg(length)));
        }
        OfdSignatureSeal whole;
        QVERIFY(whole.ParseSeal(data));
    }

    void corruptedBytesNeverCrash()
    {
        SealOptions options = DistinctOptions(2);
        options.pictureData = GifBytes(); // a damaged PNG makes libpng write to stderr
        const QByteArray data = BuildSeal(options, m_maker).data;
        const QuietLog quiet;
        QRandomGenerator random(9);
        int read = 0;
        for (int round = 0; round < 1500; ++round) {
            QByteArray bytes = data;
            for (int flips = 1 + int(random.bounded(3)); flips > 0; --flips)
                bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
            OfdSignatureSeal seal;
            const bool ok = seal.ParseSeal(bytes);
            // A seal that reads has a picture; one that does not has none.
            QCOMPARE(seal.GetSealPicture() != nullptr, ok);
            read += ok ? 1 : 0;
            seal.GetSealValidEnd();
        }
        QVERIFY(read > 0);
    }

    void sealReaderPicture_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("2014") << 1;
        QTest::newRow("2020") << 2;
    }

    void sealReaderPicture()
    {
        QFETCH(int, type);
        SealOptions options;
        options.type = type;
        options.pictureWidth = 300;
        options.pictureHeight = 129;
        const BuiltSeal built = BuildSeal(options, m_maker);
        SealReader_0031 reader;
        QVERIFY(reader.ParseData(built.data));
        QCOMPARE(reader.GetImageType(), QStringLiteral("png"));
        QCOMPARE(reader.GetImageData(), built.pictureData);
        QCOMPARE(reader.GetImageWidth(), 300);
        QCOMPARE(reader.GetImageHeight(), 129);
        QCOMPARE(reader.GetNodeValue(QStringLiteral("0.0*1.0*2.0*3.0")), QByteArray("ES"));
        QCOMPARE(reader.GetNodeValue(QStringLiteral("0.0*1.0*2.0*3.9")), QByteArray());
    }

    void sealReaderTypeEndsAtZero()
    {
        QList<QByteArray> picture = GoodPicture();
        picture[0] = DerEncoder::Element(0x16, QByteArray("GIF\0pad", 7));
        SealReader_0031 reader;
        QVERIFY(reader.ParseData(SealWithPicture(2, picture)));
        QCOMPARE(reader.GetImageType(), QStringLiteral("GIF"));
        QCOMPARE(reader.GetImageWidth(), 40);
    }

    void sealReaderUndecodable()
    {
        const QByteArray data = BuildSeal(SealOptions(), m_maker).data;
        SealReader_0031 reader;
        QVERIFY(!reader.ParseData(data.left(data.size() - 1)));
        QCOMPARE(reader.GetImageData(), QByteArray());
        QCOMPARE(reader.GetImageType(), QString());
        QCOMPARE(reader.GetImageWidth(), 0);
        QVERIFY(reader.ParseData(data));
        QVERIFY(!reader.ParseData(QByteArray("x")));
        QCOMPARE(reader.GetImageData(), QByteArray());
    }

    void intFromAsn_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("40") << QByteArray::fromHex("28") << 40;
        QTest::newRow("255 with sign octet") << QByteArray::fromHex("00ff") << 255;
        QTest::newRow("-1") << QByteArray::fromHex("ff") << -1;
        QTest::newRow("-129") << QByteArray::fromHex("ff7f") << -129;
        QTest::newRow("-128 with repeated signs") << QByteArray::fromHex("ffffffff80") << -128;
        QTest::newRow("256") << QByteArray::fromHex("0100") << 256;
        QTest::newRow("int max") << QByteArray::fromHex("7fffffff") << 2147483647;
        QTest::newRow("int min") << QByteArray::fromHex("80000000") << int(0x80000000u);
        QTest::newRow("2^31 does not fit") << QByteArray::fromHex("0080000000") << 0;
        QTest::newRow("five significant bytes") << QByteArray::fromHex("0102030405") << 0;
        QTest::newRow("zeros") << QByteArray::fromHex("00000000000000") << 0;
    }

    void intFromAsn()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, value);
        QCOMPARE(GetIntFromAsn(content), value);
    }
};

QTEST_MAIN(TestOfdSignatureSeal)
#include "test_ofdsignatureseal.moc"
