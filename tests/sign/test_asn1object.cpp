#include "sign/ans1bernodereader.h"
#include "sign/asn1object.h"

#include <QtTest>

#include <climits>
#include <memory>

namespace {

// Decodes one element and makes its typed object; the node stays alive with the holder.
struct Decoded
{
    explicit Decoded(const QByteArray &der)
    {
        node.ParseData(der);
        object.reset(Asn1Object::CreateObject(&node));
    }
    Ans1BerNodeReader node;
    std::unique_ptr<Asn1Object> object;
};

QByteArray Tlv(int identifier, const QByteArray &content)
{
    return QByteArray(1, char(identifier)) + char(content.size()) + content;
}

} // namespace

class TestAsn1Object : public QObject
{
    Q_OBJECT

private slots:
    void createObject_data()
    {
        QTest::addColumn<QByteArray>("der");
        QTest::addColumn<QString>("kind");
        QTest::newRow("integer") << QByteArray::fromHex("020105") << "Integer";
        QTest::newRow("bit string") << QByteArray::fromHex("03020001") << "BitString";
        QTest::newRow("octet string") << QByteArray::fromHex("040101") << "OctetString";
        QTest::newRow("oid") << QByteArray::fromHex("0603550403") << "ObjectIdentifier";
        QTest::newRow("utf8") << QByteArray::fromHex("0C0141") << "String";
        QTest::newRow("ia5") << QByteArray::fromHex("160141") << "String";
        QTest::newRow("utc time") << QByteArray::fromHex("1700") << "Time";
        QTest::newRow("generalized time") << QByteArray::fromHex("1800") << "Time";
        QTest::newRow("boolean") << QByteArray::fromHex("0101FF") << "";
        QTest::newRow("null") << QByteArray::fromHex("0500") << "";
        QTest::newRow("printable") << QByteArray::fromHex("130141") << "";
        QTest::newRow("sequence") << QByteArray::fromHex("3000") << "";
        QTest::newRow("bmp string, tag 30") << QByteArray::fromHex("1E020041") << "";
        QTest::newRow("context 2") << QByteArray::fromHex("820105") << "";
        QTest::newRow("application 2") << QByteArray::fromHex("420105") << "";
        QTest::newRow("private 4") << QByteArray::fromHex("C40101") << "";
    }
    void createObject()
    {
        QFETCH(QByteArray, der);
        QFETCH(QString, kind);
        Decoded d(der);
        Asn1Object *o = d.object.get();
        QString actual;
        if (dynamic_cast<Asn1Object_Integer *>(o))
            actual = QStringLiteral("Integer");
        else if (dynamic_cast<Asn1Object_BitString *>(o))
            actual = QStringLiteral("BitString");
        else if (dynamic_cast<Asn1Object_OctetString *>(o))
            actual = QStringLiteral("OctetString");
        else if (dynamic_cast<Asn1Object_ObjectIdentifier *>(o))
            actual = QStringLiteral("ObjectIdentifier");
        else if (dynamic_cast<Asn1Object_IA5String *>(o))
            actual = QStringLiteral("String");
        else if (dynamic_cast<Asn1Object_Time *>(o))
            actual = QStringLiteral("Time");
        QCOMPARE(actual, kind);
        if (o)
            QCOMPARE(o->GetNode(), &d.node);
        QVERIFY(!Asn1Object::CreateObject(nullptr));
    }

    void integer_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("value");
        QTest::newRow("5") << QByteArray::fromHex("05") << 5;
        QTest::newRow("00 FF") << QByteArray::fromHex("00FF") << 255;
        QTest::newRow("five bytes keep last four") << QByteArray::fromHex("0102030405") << 33752069;
        QTest::newRow("sign zeros skipped") << QByteArray::fromHex("000000007F") << 127;
        QTest::newRow("largest positive") << QByteArray::fromHex("7FFFFFFF") << INT_MAX;
        QTest::newRow("00 80 00 00 00") << QByteArray::fromHex("0080000000") << INT_MIN;
        QTest::newRow("FF 80 bytes unsigned") << QByteArray::fromHex("FF80") << 0x80;
        QTest::newRow("FF 7F kept") << QByteArray::fromHex("FF7F") << 0xFF7F;
        QTest::newRow("256-bit value")
            << QByteArray::fromHex("00" + QByteArray("AB").repeated(28) + "01020304") << 0x01020304;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void integer()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, value);
        Decoded d(Tlv(0x02, content));
        QVERIFY(d.object);
        QCOMPARE(d.object->ToInt(), value);
        QCOMPARE(d.object->ToString(), QString::number(value));
    }

    void bitString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("unused");
        QTest::newRow("no value") << QByteArray::fromHex("00") << QByteArray() << 0;
        QTest::newRow("two bytes") << QByteArray::fromHex("00A5B6") << QByteArray::fromHex("A5B6") << 0;
        QTest::newRow("unused bits") << QByteArray::fromHex("04F0") << QByteArray::fromHex("F0") << 4;
    }
    void bitString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, value);
        QFETCH(int, unused);
        Decoded d(Tlv(0x03, content));
        auto *bits = dynamic_cast<Asn1Object_BitString *>(d.object.get());
        QVERIFY(bits);
        QCOMPARE(bits->ToByteArray(), value);
        QCOMPARE(bits->GetUnusedBits(), unused);
    }

    void strings_data()
    {
        QTest::addColumn<QByteArray>("der");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf8") << Tlv(0x0C, QStringLiteral("电子印章").toUtf8()) << QStringLiteral("电子印章");
        QTest::newRow("utf8 stops at zero") << Tlv(0x0C, QByteArray("ab\0cd", 5)) << QStringLiteral("ab");
        QTest::newRow("ia5 latin-1") << Tlv(0x16, QByteArray("caf\xE9")) << QStringLiteral("caf\u00E9");
        QTest::newRow("ia5 keeps zero") << Tlv(0x16, QByteArray("a\0b", 3)) << QString::fromLatin1("a\0b", 3);
    }
    void strings()
    {
        QFETCH(QByteArray, der);
        QFETCH(QString, text);
        Decoded d(der);
        QVERIFY(d.object);
        QCOMPARE(d.object->ToString(), text);
    }

    void octetString()
    {
        const QByteArray bytes = QByteArray::fromHex("00FF10");
        Decoded d(Tlv(0x04, bytes));
        QVERIFY(d.object);
        QCOMPARE(d.object->ToByteArray(), bytes);
    }

    void oid_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dotted");
        QTest::newRow("sm2 with sm3") << QByteArray::fromHex("2A811CCF55018375") << "1.2.156.10197.1.501";
        QTest::newRow("sha256 rsa") << QByteArray::fromHex("2A864886F70D01010B") << "1.2.840.113549.1.1.11";
        QTest::newRow("common name") << QByteArray::fromHex("550403") << "2.5.4.3";
        QTest::newRow("first arc 0") << QByteArray::fromHex("06") << "0.6";
        QTest::newRow("first arc 1") << QByteArray::fromHex("27") << "0.39";
        QTest::newRow("boundary 40") << QByteArray::fromHex("28") << "1.0";
        QTest::newRow("boundary 80") << QByteArray::fromHex("50") << "2.0";
        QTest::newRow("2.999") << QByteArray::fromHex("8837") << "2.999";
        QTest::newRow("64-bit arc") << QByteArray::fromHex("2A81FFFFFFFFFFFFFFFF7F")
                                    << "1.2.18446744073709551615";
        QTest::newRow("arc above 64 bits") << QByteArray::fromHex("2A82808080808080808000") << "";
        QTest::newRow("cut inside arc") << QByteArray::fromHex("2A81") << "";
        QTest::newRow("empty") << QByteArray() << "";
    }
    void oid()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, dotted);
        QCOMPARE(MakeOidStringFromBytes(content), dotted);
        Decoded d(Tlv(0x06, content));
        QVERIFY(d.object);
        QCOMPARE(d.object->ToString(), dotted);
    }

    void time_data()
    {
        QTest::addColumn<QByteArray>("der");
        QTest::addColumn<QDateTime>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("utc") << Tlv(0x17, "210521093100Z")
                             << QDateTime(QDate(2021, 5, 21), QTime(9, 31), Qt::UTC) << "2021-05-21 17:31:00";
        QTest::newRow("generalized across new year")
            << Tlv(0x18, "20211231200000Z") << QDateTime(QDate(2021, 12, 31), QTime(20, 0), Qt::UTC)
            << "2022-01-01 04:00:00";
        QTest::newRow("utc without Z")
            << Tlv(0x17, "490101000001") << QDateTime(QDate(2049, 1, 1), QTime(0, 0, 1), Qt::UTC)
            << "2049-01-01 08:00:01";
        QTest::newRow("fraction") << Tlv(0x18, "20210521093100.5Z") << QDateTime() << "";
        QTest::newRow("zone offset") << Tlv(0x17, "210521093100+0800") << QDateTime() << "";
        QTest::newRow("no seconds") << Tlv(0x17, "2105210931Z") << QDateTime() << "";
        QTest::newRow("month 13") << Tlv(0x17, "211321093100Z") << QDateTime() << "";
        QTest::newRow("not digits") << Tlv(0x17, "21052109310AZ") << QDateTime() << "";
        QTest::newRow("sign inside") << Tlv(0x18, "2021+521093100Z") << QDateTime() << "";
    }
    void time()
    {
        QFETCH(QByteArray, der);
        QFETCH(QDateTime, stored);
        QFETCH(QString, shown);
        Decoded d(der);
        QVERIFY(d.object);
        QCOMPARE(d.object->ToDateTime(), stored);
        QCOMPARE(d.object->ToString(), shown);
    }

    void getIntValue_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("error");
        // Input: 01 02 03 04 05.
        QTest::newRow("two bytes") << 0 << 2 << 0x0102 << false;
        QTest::newRow("up to the end") << 3 << 2 << 0x0405 << false;
        QTest::newRow("five keep last four") << 0 << 5 << 0x02030405 << false;
        QTest::newRow("count zero") << 9 << 0 << 0 << false;
        QTest::newRow("count negative") << 0 << -1 << 0 << false;
        QTest::newRow("pos at size") << 5 << 1 << 0 << true;
        QTest::newRow("pos negative") << -1 << 1 << 0 << true;
        QTest::newRow("runs past the end") << 4 << 2 << 0 << true;
    }
    void getIntValue()
    {
        QFETCH(int, pos);
        QFETCH(int, count);
        QFETCH(int, value);
        QFETCH(bool, error);
        bool flagged = false;
        QCOMPARE(GetIntValue(QByteArray::fromHex("0102030405"), pos, count, flagged), value);
        QCOMPARE(flagged, error);
    }
};

QTEST_APPLESS_MAIN(TestAsn1Object)
#include "test_asn1object.moc"
