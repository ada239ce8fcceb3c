#include "sign/ans1bernodewriter.h"
#include "sign/ans1reader.h"
#include "sign/asn1object.h"
#include "sign/derencoder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>
#include <openssl/asn1.h>
#include <openssl/objects.h>

namespace {

// OpenSSL's DER of a dotted OID, as an independent reference.
QByteArray OpenSslOid(const QString &dotted)
{
    ASN1_OBJECT *obj = OBJ_txt2obj(dotted.toLatin1().constData(), 1);
    if (!obj)
        return QByteArray();
    unsigned char *der = nullptr;
    const int length = i2d_ASN1_OBJECT(obj, &der);
    const QByteArray out = length > 0 ? QByteArray(reinterpret_cast<char *>(der), length) : QByteArray();
    OPENSSL_free(der);
    ASN1_OBJECT_free(obj);
    return out;
}

} // namespace

class TestDerEncoder : public QObject
{
    Q_OBJECT

private slots:
    void length_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("0") << qint64(0) << QByteArray("00");
        QTest::newRow("127") << qint64(127) << QByteArray("7f");
        QTest::newRow("128") << qint64(128) << QByteArray("8180");
        QTest::newRow("255") << qint64(255) << QByteArray("81ff");
        QTest::newRow("256") << qint64(256) << QByteArray("820100");
        QTest::newRow("65536") << qint64(65536) << QByteArray("83010000");
        QTest::newRow("negative") << qint64(-1) << QByteArray();
    }
    void length()
    {
        QFETCH(qint64, length);
        QFETCH(QByteArray, hex);
        QCOMPARE(DerEncoder::Length(length).toHex(), hex);
    }

    void integer_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("0") << qint64(0) << QByteArray("020100");
        QTest::newRow("127") << qint64(127) << QByteArray("02017f");
        QTest::newRow("128") << qint64(128) << QByteArray("02020080");
        QTest::newRow("256") << qint64(256) << QByteArray("02020100");
        QTest::newRow("-1") << qint64(-1) << QByteArray("0201ff");
        QTest::newRow("-128") << qint64(-128) << QByteArray("020180");
        QTest::newRow("-129") << qint64(-129) << QByteArray("0202ff7f");
        QTest::newRow("max") << std::numeric_limits<qint64>::max() << QByteArray("02087fffffffffffffff");
        QTest::newRow("min") << std::numeric_limits<qint64>::min() << QByteArray("02088000000000000000");
    }
    void integer()
    {
        QFETCH(qint64, value);
        QFETCH(QByteArray, hex);
        QCOMPARE(DerEncoder::Integer(value).toHex(), hex);
    }

    void integerFromBytes_data()
    {
        QTest::addColumn<QByteArray>("magnitude");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("empty") << QByteArray() << QByteArray("020100");
        QTest::newRow("zeros") << QByteArray::fromHex("0000") << QByteArray("020100");
        QTest::newRow("high bit") << QByteArray::fromHex("80") << QByteArray("02020080");
        QTest::newRow("leading zeros") << QByteArray::fromHex("00007f01") << QByteArray("02027f01");
    }
    void integerFromBytes()
    {
        QFETCH(QByteArray, magnitude);
        QFETCH(QByteArray, hex);
        QCOMPARE(DerEncoder::IntegerFromBytes(magnitude).toHex(), hex);
    }

    void objectIdentifier_data()
    {
        QTest::addColumn<QString>("dotted");
        QTest::addColumn<bool>("valid");
        QTest::newRow("sm2 sign") << "1.2.156.10197.1.501" << true;
        QTest::newRow("2.999") << "2.999" << true;
        QTest::newRow("big arcs") << "2.25.18446744073709551535.1" << true;
        QTest::newRow("one arc") << "1" << false;
        QTest::newRow("first arc 3") << "3.1" << false;
        QTest::newRow("second arc 40") << "1.40" << false;
        QTest::newRow("empty arc") << "1..2" << false;
        QTest::newRow("letter") << "1.2.a" << false;
        QTest::newRow("sign") << "1.+2" << false;
        QTest::newRow("too large") << "1.2.18446744073709551616" << false;
        QTest::newRow("empty") << "" << false;
    }
    void objectIdentifier()
    {
        QFETCH(QString, dotted);
        QFETCH(bool, valid);
        const QByteArray der = DerEncoder::ObjectIdentifier(dotted);
        QCOMPARE(!der.isEmpty(), valid);
        if (valid) {
            QCOMPARE(der.toHex(), OpenSslOid(dotted).toHex());
            QCOMPARE(MakeOidStringFromBytes(der.mid(2)), dotted);
        }
    }

    void randomOidsAgreeWithOpenSsl()
    {
        QRandomGenerator rng(1019);
        for (int round = 0; round < 500; ++round) {
            const int first = rng.bounded(3);
            QStringList arcs{QString::number(first),
                             QString::number(first < 2 ? rng.bounded(40) : rng.bounded(5000))};
            for (int i = rng.bounded(8); i > 0; --i)
                arcs << QString::number(rng.generate64() >> rng.bounded(64));
            const QString dotted = arcs.join(QLatin1Char('.'));
            const QByteArray der = DerEncoder::ObjectIdentifier(dotted);
            QCOMPARE(der.toHex(), OpenSslOid(dotted).toHex());
            QCOMPARE(MakeOidStringFromBytes(der.mid(2)), dotted);
        }
    }

    void times_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QByteArray>("utc");
        QTest::addColumn<QByteArray>("generalized");
        const QDateTime beijing(QDate(2021, 5, 21), QTime(17, 31), Qt::OffsetFromUTC, 28800);
        QTest::newRow("from +08:00") << beijing << QByteArray("170d3231303532313039333130305a")
                                     << QByteArray("180f32303231303532313039333130305a");
        QTest::newRow("1950") << QDateTime(QDate(1950, 1, 1), QTime(0, 0), Qt::UTC)
                              << QByteArray("170d3530303130313030303030305a")
                              << QByteArray("180f31393530303130313030303030305a");
        QTest::newRow("2050") << QDateTime(QDate(2050, 1, 1), QTime(0, 0), Qt::UTC) << QByteArray()
                              << QByteArray("180f32303530303130313030303030305a");
        QTest::newRow("invalid") << QDateTime() << QByteArray() << QByteArray();
    }
    void times()
    {
        QFETCH(QDateTime, time);
        QFETCH(QByteArray, utc);
        QFETCH(QByteArray, generalized);
        QCOMPARE(DerEncoder::UtcTime(time).toHex(), utc);
        QCOMPARE(DerEncoder::GeneralizedTime(time).toHex(), generalized);
    }

    void containers()
    {
        QCOMPARE(DerEncoder::Set({DerEncoder::Integer(2), DerEncoder::Integer(1)}).toHex(),
                 QByteArray("3106020101020102"));
        QCOMPARE(DerEncoder::Sequence({DerEncoder::Integer(2), DerEncoder::Integer(1)}).toHex(),
                 QByteArray("3006020102020101"));
        QCOMPARE(DerEncoder::Sequence({}).toHex(), QByteArray("3000"));
        QCOMPARE(DerEncoder::ContextExplicit(0, DerEncoder::Integer(5)).toHex(), QByteArray("a003020105"));
        QCOMPARE(DerEncoder::ContextImplicit(1, "ab").toHex(), QByteArray("81026162"));
        QCOMPARE(DerEncoder::ContextImplicit(2, "", true).toHex(), QByteArray("a200"));
        QVERIFY(DerEncoder::ContextExplicit(31, DerEncoder::Null()).isEmpty());
        QCOMPARE(DerEncoder::Element(0x13, "A").toHex(), QByteArray("130141"));
    }

    void primitives()
    {
        QCOMPARE(DerEncoder::Boolean(true).toHex(), QByteArray("0101ff"));
        QCOMPARE(DerEncoder::Null().toHex(), QByteArray("0500"));
        QCOMPARE(DerEncoder::BitString(QByteArray::fromHex("f0"), 4).toHex(), QByteArray("030204f0"));
        QCOMPARE(DerEncoder::BitString(QByteArray()).toHex(), QByteArray("030100"));
        QVERIFY(DerEncoder::BitString(QByteArray::fromHex("f0"), 8).isEmpty());
        QVERIFY(DerEncoder::BitString(QByteArray(), 1).isEmpty());
        QCOMPARE(DerEncoder::IA5String(QStringLiteral("ofd")).toHex(), QByteArray("16036f6664"));
        QVERIFY(DerEncoder::IA5String(QStringLiteral("caf\u00E9")).isEmpty());
        QCOMPARE(DerEncoder::Utf8String(QStringLiteral("印")).toHex(), QByteArray("0c03e58db0"));
        QCOMPARE(DerEncoder::OctetString(QByteArray(200, '\x01')).left(3).toHex(), QByteArray("0481c8"));
    }

    // What the encoder writes, the decoder reads back with the same values.
    void roundTripThroughDecoder()
    {
        const QDateTime when(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC);
        const QByteArray data = DerEncoder::Sequence(
            {DerEncoder::Integer(-2), DerEncoder::Set({DerEncoder::Utf8String(QStringLiteral("名称"))}),
             DerEncoder::GeneralizedTime(when), DerEncoder::OctetString(QByteArray(1000, '\x07')),
             DerEncoder::ContextExplicit(3, DerEncoder::BitString(QByteArray::fromHex("0102")))});
        Ans1Reader reader;
        reader.OpenData(data);
        QVERIFY(reader.IsDataOK());
        auto value = [&reader](const char *id) {
            return std::unique_ptr<Asn1Object>(Asn1Object::CreateObject(reader.GetNode(QLatin1String(id))));
        };
        QCOMPARE(value("0.0*1.0")->ToInt(), 0xFE); // bytes are read unsigned
        QCOMPARE(value("0.0*1.1*2.0")->ToString(), QStringLiteral("名称"));
        QCOMPARE(value("0.0*1.2")->ToDateTime(), when);
        QCOMPARE(value("0.0*1.3")->ToByteArray(), QByteArray(1000, '\x07'));
        QCOMPARE(reader.GetNode(QStringLiteral("0.0*1.4"))->GetValuePart(),
                 DerEncoder::BitString(QByteArray::fromHex("0102")));
    }

    void nodeWriterKeepsTreeWithoutBytes()
    {
        Ans1BerNodeWriter root;
        root.SetValue(EN_Asn1Tag_Sequence, QString());
        auto *child = new Ans1BerNodeWriter;
        child->SetValue(EN_Asn1Tag_IA5String, QStringLiteral("ES"));
        root.AddChild(child);
        root.AddChild(child);
        root.AddChild(nullptr);
        root.AddChild(&root);
        QCOMPARE(root.GetChildren().size(), 1);
        QCOMPARE(root.GetChildren().at(0)->GetValue(), QStringLiteral("ES"));
        QCOMPARE(root.GetChildren().at(0)->GetTag(), EN_Asn1Tag_IA5String);
        QVERIFY(root.CreateData().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDerEncoder)
#include "test_derencoder.moc"
