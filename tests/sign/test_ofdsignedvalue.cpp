#include "sign/asn1object.h"
#include "sign/derencoder.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "sign/sealfixtures.h"
#include "sign/sm2digest.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using namespace SealFixtures;

Q_DECLARE_METATYPE(Sm2Digest)

namespace {

const QString kSignatureXmlDigest = Base64Sm3(SampleSignatureXml());

SignedValueOptions Options(int type, Sm2Digest digest = Sm2Digest::WithZa)
{
    SignedValueOptions options;
    options.type = type;
    options.digest = digest;
    options.dataHash = Sm3(SampleSignatureXml());
    return options;
}

// Children of the DER element as complete encodings.
QList<QByteArray> Elements(const QByteArray &der)
{
    Ans1Reader reader;
    reader.OpenData(der);
    QList<QByteArray> out;
    if (reader.GetRootNode())
        for (const Ans1BerNodeReader *child : reader.GetRootNode()->GetChildren())
            out << child->GetDataTotal();
    return out;
}

QByteArray FlipBit(QByteArray bytes, int bit)
{
    bytes[bit / 8] = char(bytes.at(bit / 8) ^ (0x80 >> (bit % 8)));
    return bytes;
}

} // namespace

class TestOfdSignedValue : public QObject
{
    Q_OBJECT

private:
    Sm2TestKey m_signer{QStringLiteral("签章人 Test")};
    Sm2TestKey m_other{QStringLiteral("Someone Else")};

    void addTypeAndDigest()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Sm2Digest>("digest");
        QTest::newRow("2014, e with Z_A") << 1 << Sm2Digest::WithZa;
        QTest::newRow("2014, e without Z_A") << 1 << Sm2Digest::Plain;
        QTest::newRow("2020, e with Z_A") << 2 << Sm2Digest::WithZa;
        QTest::newRow("2020, e without Z_A") << 2 << Sm2Digest::Plain;
    }

    void addType()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("2014") << 1;
        QTest::newRow("2020") << 2;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_signer.IsValid());
        QVERIFY(m_other.IsValid());
    }

    void fieldsAndCheck_data() { addTypeAndDigest(); }

    void fieldsAndCheck()
    {
        QFETCH(int, type);
        QFETCH(Sm2Digest, digest);
        const SignedValueOptions options = Options(type, digest);
        const BuiltSignedValue built = BuildSignedValue(options, m_signer);
        QVERIFY(!built.signature.isEmpty());

        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(built.data));
        QVERIFY(value.GetDecodeResult());
        QCOMPARE(value.GetType(), type);
        QCOMPARE(value.GetData(), built.data);
        QCOMPARE(value.GetVersion(), type == 2 ? 4 : 1);
        QCOMPARE(value.GetSealData(), built.seal);
        QCOMPARE(value.GetSignTime(), options.signTime);
        QCOMPARE(value.GetSealSignTime(), QStringLiteral("2024-03-01 08:30:15"));
        QCOMPARE(value.GetDataHash(), options.dataHash);
        QCOMPARE(value.GetDataHashUnusedBits(), 0);
        QCOMPARE(value.GetSignatureAlgorithm(), QStringLiteral("1.2.156.10197.1.501"));
        QCOMPARE(value.GetToSignData(), built.toSign);
        QCOMPARE(value.GetSignatureData(), built.signature);
        QVERIFY(value.GetCertificate());
        QCOMPARE(value.GetCertificate()->GetData(), m_signer.Certificate());
        QCOMPARE(value.GetCertificate()->GetPublicKey(), QByteArray("\x04") + m_signer.PublicKey());

        QVERIFY(value.CheckSignValue());
        QCOMPARE(value.GetSignValueDigest(),
                 digest == Sm2Digest::WithZa ? EN_SignValueDigest_Za : EN_SignValueDigest_Plain);
        // OpenSSL agrees that the signature holds with this digest and not with the other.
        QVERIFY(OpenSslVerify(m_signer.PublicKey(), built.toSign, built.signature, digest));
        QVERIFY(!OpenSslVerify(m_signer.PublicKey(), built.toSign, built.signature,
                               digest == Sm2Digest::WithZa ? Sm2Digest::Plain : Sm2Digest::WithZa));

        // The embedded seal is a complete seal of the same standard.
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(value.GetSealData()));
        QCOMPARE(seal.GetType(), type);
        QCOMPARE(seal.GetSealName(), SealOptions().sealName);
    }

    void nodeAccess()
    {
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(Options(2), m_signer).data));
        QCOMPARE(value.GetNodeText(QStringLiteral("0.0*1.0*2.4")),
                 QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml"));
        QCOMPARE(value.GetNodeText(QStringLiteral("0.0*1.0*2.0")), QStringLiteral("4"));
        QCOMPARE(value.GetNodeText(QStringLiteral("0.0*1.2")), QStringLiteral("1.2.156.10197.1.501"));
        QCOMPARE(value.GetNodeText(QStringLiteral("0.0*1.9")), QString());
        std::unique_ptr<Asn1Object> time(value.GetAsn1Object(QStringLiteral("0.0*1.0*2.2")));
        QVERIFY(dynamic_cast<Asn1Object_Time *>(time.get()));
        QCOMPARE(time->ToString(), QStringLiteral("2024-03-01 16:30:15"));
        QVERIFY(!value.GetAsn1Object(QStringLiteral("0.0*1.0")));
    }

    // A fifth element (the optional time stamp of GB/T 38540) keeps the 2020 form.
    void timeStampElementKeepsThe2020Form()
    {
        const BuiltSignedValue built = BuildSignedValue(Options(2), m_signer);
        QList<QByteArray> elements = Elements(built.data);
        QCOMPARE(elements.size(), 4);
        elements << DerEncoder::ContextExplicit(0, DerEncoder::BitString(QByteArray(20, '\x07')));
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(DerEncoder::Sequence(elements)));
        QCOMPARE(value.GetType(), 2);
        QVERIFY(value.CheckSignValue());
    }

    void versionDetection()
    {
        const QList<QByteArray> v2014 = Elements(BuildSignedValue(Options(1), m_signer).data);
        QCOMPARE(v2014.size(), 2);
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(DerEncoder::Sequence(v2014)));
        QCOMPARE(value.GetType(), 1);
        // A 2014 value with two extra elements is taken as 2020 and misses its 2020 fields.
        QVERIFY(!value.ParseData(DerEncoder::Sequence(v2014 + v2014)));
        QCOMPARE(value.GetType(), 2);
        QVERIFY(!value.CheckSignValue());
    }

    void dataHashMismatch_data() { addType(); }

    void dataHashMismatch()
    {
        QFETCH(int, type);
        const BuiltSignedValue built = BuildSignedValue(Options(type), m_signer);
        for (const QString &expected :
             {Base64Sm3("another Signature.xml"), QString(), kSignatureXmlDigest.toLower()}) {
            OfdSignedValue value;
            value.SetExpectedDigest(expected);
            QVERIFY(!value.ParseData(built.data));
            QVERIFY(!value.GetDecodeResult());
            QCOMPARE(value.GetType(), type);
            QCOMPARE(value.GetDataHash(), Sm3(SampleSignatureXml()));
            // Read before the hash: seal and time; the certificate and signature are not.
            QCOMPARE(value.GetSealData(), built.seal);
            QCOMPARE(value.GetSealSignTime(), QStringLiteral("2024-03-01 08:30:15"));
            QVERIFY(!value.GetCertificate());
            QCOMPARE(value.GetSignatureData(), QByteArray());
            // The 2014 form has its algorithm before the hash.
            QCOMPARE(value.GetSignatureAlgorithm().isEmpty(), type == 2);
            QVERIFY(!value.CheckSignValue());
            QCOMPARE(value.GetSignValueDigest(), EN_SignValueDigest_None);
        }
    }

    void emptyDataHashIsRejected()
    {
        SignedValueOptions options = Options(2);
        options.dataHash.clear();
        OfdSignedValue value;
        QVERIFY(!value.ParseData(BuildSignedValue(options, m_signer).data));
        QCOMPARE(value.GetType(), 2);
    }

    void wrongSignatureBits_data() { addTypeAndDigest(); }

    void wrongSignatureBits()
    {
        QFETCH(int, type);
        QFETCH(Sm2Digest, digest);
        SignedValueOptions good = Options(type, digest);
        good.seal = BuildSeal(SealOptions(), m_signer).data; // the same to-be-signed bytes every time
        const QByteArray rs = GetSignData(BuildSignedValue(good, m_signer).signature);
        QCOMPARE(rs.size(), 64);
        for (int bit : {0, 7, 100, 255, 256, 300, 511}) {
            SignedValueOptions options = good;
            const QByteArray flipped = FlipBit(rs, bit);
            options.signatureOverride = EncodeSignature(flipped.left(32), flipped.mid(32));
            OfdSignedValue value;
            value.SetExpectedDigest(kSignatureXmlDigest);
            QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
            QVERIFY2(!value.CheckSignValue(), qPrintable(QStringLiteral("bit %1").arg(bit)));
        }
        // Unchanged r and s, re-encoded, still verify: the flips above are what fails.
        SignedValueOptions same = good;
        same.signatureOverride = EncodeSignature(rs.left(32), rs.mid(32));
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(same, m_signer).data));
        QVERIFY(value.CheckSignValue());
    }

    void changedToBeSignedBytes_data() { addType(); }

    void changedToBeSignedBytes()
    {
        QFETCH(int, type);
        QByteArray data = BuildSignedValue(Options(type), m_signer).data;
        const int at = data.indexOf("Sign_0/Signature.xml");
        QVERIFY(at > 0);
        data[at + 5] = '1';
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(data));
        QVERIFY(!value.CheckSignValue());
    }

    void signatureWithUnusedBits_data() { addType(); }

    void signatureWithUnusedBits()
    {
        // The signature BIT STRING is outside the signed part and real signers write a non-zero count
        // of unused bits there: any count is accepted and the signature still verifies.
        QFETCH(int, type);
        const BuiltSignedValue built = BuildSignedValue(Options(type), m_signer);
        const int at = built.data.lastIndexOf(built.signature) - 1;
        QVERIFY(at > 0);
        QCOMPARE(built.data[at], '\0');
        for (char bits : {'\x01', '\x07'}) {
            QByteArray data = built.data;
            data[at] = bits;
            OfdSignedValue value;
            value.SetExpectedDigest(kSignatureXmlDigest);
            QVERIFY(value.ParseData(data));
            QVERIFY(value.CheckSignValue());
            QCOMPARE(value.GetSignatureData(), built.signature);
        }
        OfdSignedValue sound;
        sound.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(sound.ParseData(built.data));
        QVERIFY(sound.CheckSignValue());
    }

    void signedByAnotherKey_data() { addType(); }

    void signedByAnotherKey()
    {
        QFETCH(int, type);
        SignedValueOptions options = Options(type);
        options.certificate = m_signer.Certificate();
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_other).data));
        QVERIFY(!value.CheckSignValue());
    }

    void undecodableSignature_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("raw r||s") << QByteArray(64, '\x11');
        QTest::newRow("empty sequence") << DerEncoder::Sequence({});
        QTest::newRow("zeros") << EncodeSignature(QByteArray(1, '\0'), QByteArray(1, '\0'));
    }

    void undecodableSignature()
    {
        QFETCH(QByteArray, signature);
        SignedValueOptions options = Options(2);
        options.signatureOverride = signature;
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QVERIFY(!value.CheckSignValue());
    }

    // DER drops leading zero bytes: r or s shorter than 32 bytes are padded, and such signatures verify.
    void shortIntegersArePadded_data() { addTypeAndDigest(); }

    void shortIntegersArePadded()
    {
        QFETCH(int, type);
        QFETCH(Sm2Digest, digest);
        SignedValueOptions options = Options(type, digest);
        options.shortInteger = true;
        const BuiltSignedValue built = BuildSignedValue(options, m_signer);
        QVERIFY2(!built.signature.isEmpty(), "no short signature came");
        const QPair<int, int> lengths = SignatureIntegerLengths(built.signature);
        QVERIFY(lengths.first < 32 || lengths.second < 32);
        qInfo("short integer after %d signatures: r %d, s %d bytes", built.tries, lengths.first,
              lengths.second);

        const QByteArray rs = GetSignData(built.signature);
        QCOMPARE(rs.size(), 64);
        if (lengths.first < 32)
            QCOMPARE(rs.at(0), '\0');
        else
            QCOMPARE(rs.at(32), '\0');
        QVERIFY(OpenSslVerify(m_signer.PublicKey(), built.toSign, built.signature, digest));
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(built.data));
        QVERIFY(value.CheckSignValue());
    }

    void getSignData_data()
    {
        QTest::addColumn<QByteArray>("der");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray r = QByteArray::fromHex("81" + QByteArray(62, 'a'));
        const QByteArray s = QByteArray::fromHex("12" + QByteArray(62, 'b'));
        QTest::newRow("32 and 32 (r with sign octet)") << EncodeSignature(r, s) << r + s;
        QTest::newRow("31-byte r padded")
            << EncodeSignature(r.mid(1), s) << QByteArray(1, '\0') + r.mid(1) + s;
        QTest::newRow("one-byte s padded")
            << EncodeSignature(r, QByteArray(1, '\x05')) << r + QByteArray(31, '\0') + QByteArray(1, '\x05');
        QTest::newRow("40-byte r with zeros before keeps the last 32")
            << DerEncoder::Sequence(
                   {DerEncoder::Element(0x02, QByteArray(8, '\0') + r), DerEncoder::IntegerFromBytes(s)})
            << r + s;
        // A number above 256 bits is no signature part; its last 32 bytes are another number.
        QTest::newRow("40-byte r above 256 bits")
            << DerEncoder::Sequence(
                   {DerEncoder::Element(0x02, QByteArray(8, '\x01') + r), DerEncoder::IntegerFromBytes(s)})
            << QByteArray();
        QTest::newRow("33-byte s whose first byte is not the sign byte")
            << DerEncoder::Sequence(
                   {DerEncoder::IntegerFromBytes(r), DerEncoder::Element(0x02, QByteArray(1, '\x01') + s)})
            << QByteArray();
        QTest::newRow("not DER") << QByteArray(64, '\x01') << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one integer") << DerEncoder::Sequence({DerEncoder::IntegerFromBytes(r)})
                                     << QByteArray();
        QTest::newRow("three integers")
            << DerEncoder::Sequence({DerEncoder::IntegerFromBytes(r), DerEncoder::IntegerFromBytes(s),
                                     DerEncoder::IntegerFromBytes(s)})
            << QByteArray();
        QTest::newRow("octet string s")
            << DerEncoder::Sequence({DerEncoder::IntegerFromBytes(r), DerEncoder::OctetString(s)})
            << QByteArray();
        QTest::newRow("empty integer") << DerEncoder::Sequence({DerEncoder::IntegerFromBytes(r),
                                                                DerEncoder::Element(0x02, QByteArray())})
                                       << QByteArray();
        QTest::newRow("set instead of sequence")
            << DerEncoder::Element(0x31, DerEncoder::IntegerFromBytes(r) + DerEncoder::IntegerFromBytes(s))
            << QByteArray();
        QTest::newRow("truncated") << EncodeSignature(r, s).left(40) << QByteArray();
    }

    void getSignData()
    {
        QFETCH(QByteArray, der);
        QFETCH(QByteArray, expected);
        QCOMPARE(GetSignData(der).toHex(), expected.toHex());
    }

    void verify2()
    {
        const QByteArray message("to be signed");
        const QByteArray rs = GetSignData(m_signer.Sign(message, Sm2Digest::WithZa));
        const QByteArray key = m_signer.PublicKey();
        QByteArray e = Sm2ComputeE(key, message);
        QCOMPARE(Verify2(e, rs, key), 0);
        QCOMPARE(Verify2(FlipBit(e, 3), rs, key), -1);
        QCOMPARE(Verify2(e, rs, FlipBit(key, 500)), -1);
        QCOMPARE(Verify2(e.left(31), rs, key), -1);
        QCOMPARE(Verify2(e, rs.left(63), key), -1);
        QCOMPARE(Verify2(e, rs, QByteArray("\x04") + key), -1);
        QCOMPARE(Verify2(QByteArray(), QByteArray(), QByteArray()), -1);
    }

    // r || s stored without DER, as some seal systems do, verifies like its DER form.
    void rawSignatureValue_data() { addTypeAndDigest(); }

    void rawSignatureValue()
    {
        QFETCH(int, type);
        QFETCH(Sm2Digest, digest);
        SignedValueOptions options = Options(type, digest);
        options.seal = BuildSeal(SealOptions(), m_signer).data;
        const QByteArray rs = GetSignData(BuildSignedValue(options, m_signer).signature);
        options.signatureOverride = rs;
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QCOMPARE(value.GetSignatureData(), rs);
        QVERIFY(value.CheckSignValue());
        QCOMPARE(value.GetSignValueDigest(),
                 digest == Sm2Digest::WithZa ? EN_SignValueDigest_Za : EN_SignValueDigest_Plain);
        options.signatureOverride = FlipBit(rs, 77);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QVERIFY(!value.CheckSignValue());
        // 63 or 65 bytes are neither form.
        options.signatureOverride = rs.left(63);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QVERIFY(!value.CheckSignValue());
        options.signatureOverride = rs + '\0';
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QVERIFY(!value.CheckSignValue());
    }

    void verifySignedBytes()
    {
        const QByteArray message("message");
        const QByteArray za = m_signer.Sign(message, Sm2Digest::WithZa);
        const QByteArray plain = m_signer.Sign(message, Sm2Digest::Plain);
        const QByteArray key = m_signer.PublicKey();
        QCOMPARE(VerifySignedBytes(message, za, key), EN_SignValueDigest_Za);
        QCOMPARE(VerifySignedBytes(message, za, QByteArray("\x04") + key), EN_SignValueDigest_Za);
        QCOMPARE(VerifySignedBytes(message, plain, QByteArray("\x04") + key), EN_SignValueDigest_Plain);
        QCOMPARE(VerifySignedBytes(message + "!", za, key), EN_SignValueDigest_None);
        QCOMPARE(VerifySignedBytes(message, za, key.left(63)), EN_SignValueDigest_None);
        QCOMPARE(VerifySignedBytes(message, za, m_other.PublicKey()), EN_SignValueDigest_None);
        QCOMPARE(VerifySignedBytes(message, QByteArray(), key), EN_SignValueDigest_None);
    }

    void toDateTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime invalid;
        QTest::newRow("YYMMDDhhmmss")
            << "210521093100" << QDateTime(QDate(2021, 5, 21), QTime(9, 31), Qt::UTC);
        QTest::newRow("Z ignored") << "210521093100Z" << QDateTime(QDate(2021, 5, 21), QTime(9, 31), Qt::UTC);
        QTest::newRow("end of century")
            << "991231235959" << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59), Qt::UTC);
        QTest::newRow("minutes without seconds") << "2105210931" << invalid;
        QTest::newRow("eleven characters") << "21052109310" << invalid;
        QTest::newRow("month 13") << "211321093100" << invalid;
        QTest::newRow("February 30") << "210230093100" << invalid;
        QTest::newRow("hour 24") << "210521243100" << invalid;
        QTest::newRow("letter") << "2105210931x0" << invalid;
        QTest::newRow("sign") << "21052109-100" << invalid;
        QTest::newRow("empty") << "" << invalid;
    }

    void toDateTime()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const QDateTime time = ToDateTime(text);
        QCOMPARE(time.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(time, expected);
            QCOMPARE(time.timeSpec(), Qt::UTC);
        }
    }

    void readSignTimeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("GeneralizedTime text") << "20211014033404Z"
                                              << "2021-10-14 03:34:04";
        QTest::newRow("GeneralizedTime without Z") << "20101112131415"
                                                   << "2010-11-12 13:14:15";
        QTest::newRow("GeneralizedTime with fraction") << "20211014033404.5Z"
                                                       << "2021-10-14 03:34:04";
        QTest::newRow("ISO with milliseconds") << "2020-01-25T07:31:56.377Z"
                                               << "2020-01-25 07:31:56";
        QTest::newRow("ISO with offset") << "2020-01-25T15:31:56+08:00"
                                         << "2020-01-25 07:31:56";
        QTest::newRow("ISO with blank") << "2020-01-25 07:31:56"
                                        << "2020-01-25 07:31:56";
        QTest::newRow("UTCTime text") << "210521093100Z"
                                      << "2021-05-21 09:31:00";
        QTest::newRow("minutes without seconds") << "2105210931"
                                                 << "";
        QTest::newRow("ISO February 30") << "2020-02-30T07:31:56Z"
                                         << "";
        QTest::newRow("words") << "yesterday noon"
                               << "";
    }

    void readSignTimeText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QDateTime time = ReadSignTimeText(text);
        QCOMPARE(time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString(),
                 expected);
    }

    void type1TimeTexts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("YYMMDDhhmmssZ") << QByteArray("240301083015Z") << "2024-03-01 08:30:15";
        QTest::newRow("minutes without seconds") << QByteArray("2403010830") << "";
        QTest::newRow("ends at a zero byte") << QByteArray("240301083015\0"
                                                           "99",
                                                           15)
                                             << "2024-03-01 08:30:15";
        QTest::newRow("zero byte early") << QByteArray("2403\0"
                                                       "01083015",
                                                       13)
                                         << "";
        QTest::newRow("GeneralizedTime text") << QByteArray("20211014033404Z") << "2021-10-14 03:34:04";
        QTest::newRow("ISO text") << QByteArray("2020-01-25T07:31:56.377Z") << "2020-01-25 07:31:56";
    }

    // The time of a 2014 value is text in a BIT STRING; an unreadable time leaves the decode intact.
    void type1TimeTexts()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        SignedValueOptions options = Options(1);
        options.timeText = QString::fromLatin1(text);
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(options, m_signer).data));
        QCOMPARE(value.GetSealSignTime(), expected);
        QCOMPARE(value.GetSignTime().isValid(), !expected.isEmpty());
        QVERIFY(value.CheckSignValue());
    }

    void missingOrMistypedElements_data()
    {
        QTest::addColumn<QByteArray>("data");
        for (int type : {1, 2}) {
            const BuiltSignedValue built = BuildSignedValue(Options(type), m_signer);
            const QList<QByteArray> outer = Elements(built.data);
            const QList<QByteArray> tbs = Elements(built.toSign);
            QCOMPARE(tbs.size(), type == 2 ? 5 : 7);
            for (int drop = 0; drop < tbs.size(); ++drop) {
                QList<QByteArray> fewer = tbs;
                fewer.removeAt(drop);
                QList<QByteArray> elements = outer;
                elements[0] = DerEncoder::Sequence(fewer);
                QTest::addRow("%d: without to-be-signed element %d", type, drop)
                    << DerEncoder::Sequence(elements);
            }
            // Each field replaced by a NULL.
            for (int at = 0; at < tbs.size() - (type == 2 ? 1 : 0); ++at) {
                if (at == 4)
                    continue; // property information: only its presence counts
                QList<QByteArray> changed = tbs;
                changed[at] = DerEncoder::Null();
                QList<QByteArray> elements = outer;
                elements[0] = DerEncoder::Sequence(changed);
                QTest::addRow("%d: element %d of wrong type", type, at) << DerEncoder::Sequence(elements);
            }
            for (int at = 1; at < outer.size(); ++at) {
                QList<QByteArray> elements = outer;
                elements[at] = DerEncoder::Null();
                QTest::addRow("%d: outer element %d of wrong type", type, at)
                    << DerEncoder::Sequence(elements);
            }
            QList<QByteArray> noSignature = outer;
            noSignature.removeLast();
            if (type == 1)
                QTest::addRow("1: without signature") << DerEncoder::Sequence(noSignature);
            QList<QByteArray> badCertificate = type == 2 ? outer : tbs;
            badCertificate[type == 2 ? 1 : 5] = DerEncoder::OctetString("not a certificate");
            QTest::addRow("%d: undecodable certificate", type)
                << (type == 2 ? DerEncoder::Sequence(badCertificate)
                              : DerEncoder::Sequence({DerEncoder::Sequence(badCertificate), outer.at(1)}));
        }
    }

    void missingOrMistypedElements()
    {
        QFETCH(QByteArray, data);
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(!value.ParseData(data));
        QVERIFY(!value.CheckSignValue());
    }

    void truncatedAtEveryLength_data() { addType(); }

    void truncatedAtEveryLength()
    {
        QFETCH(int, type);
        SealOptions sealOptions;
        sealOptions.type = type;
        sealOptions.pictureData = ImageBytes("PNG", 1, 1);
        SignedValueOptions options = Options(type);
        options.seal = BuildSeal(sealOptions, m_signer).data;
        const QByteArray data = BuildSignedValue(options, m_signer).data;
        const QuietLog quiet;
        for (int length = 0; length < data.size(); ++length) {
            OfdSignedValue value;
            value.SetExpectedDigest(kSignatureXmlDigest);
            const bool ok = value.ParseData(data.left(length));
            if (ok || value.GetType() != 0 || value.CheckSignValue() || value.GetCertificate() ||
                !value.GetSealSignTime().isEmpty() || !value.GetSealData().isEmpty())
                QFAIL(qPrintable(QStringLiteral("prefix of %1 bytes was read").arg(length)));
        }
        OfdSignedValue whole;
        whole.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(whole.ParseData(data));
        QVERIFY(whole.CheckSignValue());
    }

    void corruptedBytesNeverCrash()
    {
        const QByteArray data = BuildSignedValue(Options(2), m_signer).data;
        const QuietLog quiet;
        QRandomGenerator random(63);
        int decoded = 0;
        for (int round = 0; round < 1500; ++round) {
            QByteArray bytes = data;
            bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
            OfdSignedValue value;
            value.SetExpectedDigest(kSignatureXmlDigest);
            const bool ok = value.ParseData(bytes);
            decoded += ok ? 1 : 0;
            if (!ok)
                QVERIFY(!value.CheckSignValue());
            else
                value.CheckSignValue();
        }
        QVERIFY(decoded > 0);
    }

    void parsingAgainForgetsTheFirstValue()
    {
        OfdSignedValue value;
        value.SetExpectedDigest(kSignatureXmlDigest);
        QVERIFY(value.ParseData(BuildSignedValue(Options(2), m_signer).data));
        QVERIFY(value.CheckSignValue());
        QVERIFY(!value.ParseData(QByteArray("junk")));
        QCOMPARE(value.GetType(), 0);
        QVERIFY(!value.GetCertificate());
        QVERIFY(value.GetSealData().isEmpty());
        QVERIFY(!value.CheckSignValue());
        QVERIFY(value.ParseData(BuildSignedValue(Options(1), m_signer).data));
        QCOMPARE(value.GetType(), 1);
        QVERIFY(value.CheckSignValue());
    }

    void certificateFields()
    {
        OfdX509Certificate certificate;
        QVERIFY(certificate.ParseData(m_signer.Certificate()));
        QCOMPARE(certificate.GetPublicKey(), OpenSslCertificatePublicKey(m_signer.Certificate()));
        QCOMPARE(certificate.GetPublicKey().size(), 65);
        QCOMPARE(certificate.GetSubjectCommonName(), QStringLiteral("签章人 Test"));
        QCOMPARE(certificate.GetIssuerCommonName(), QStringLiteral("签章人 Test"));
    }

    // Version 1 certificates have no [0] version: the public key is one place earlier.
    void certificateWithoutVersion()
    {
        const QByteArray algorithm =
            DerEncoder::Sequence({DerEncoder::ObjectIdentifier("1.2.156.10197.1.501")});
        auto name = [](const QString &cn) {
            return DerEncoder::Sequence({DerEncoder::Set({DerEncoder::Sequence(
                {DerEncoder::ObjectIdentifier("2.5.4.3"), DerEncoder::Element(0x13, cn.toLatin1())})})});
        };
        const QDateTime t(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
        const QByteArray key = QByteArray("\x04") + m_signer.PublicKey();
        const QByteArray keyInfo =
            DerEncoder::Sequence({DerEncoder::Sequence({DerEncoder::ObjectIdentifier("1.2.840.10045.2.1"),
                                                        DerEncoder::ObjectIdentifier("1.2.156.10197.1.301")}),
                                  DerEncoder::BitString(key)});
        const QByteArray tbs =
            DerEncoder::Sequence({DerEncoder::Integer(7), algorithm, name("Issuer"),
                                  DerEncoder::Sequence({DerEncoder::UtcTime(t), DerEncoder::UtcTime(t)}),
                                  name("Subject"), keyInfo});
        const QByteArray v1 =
            DerEncoder::Sequence({tbs, algorithm, DerEncoder::BitString(QByteArray(8, '\x01'))});
        OfdX509Certificate certificate;
        QVERIFY(certificate.ParseData(v1));
        QCOMPARE(certificate.GetPublicKey(), key);
        QCOMPARE(certificate.GetSubjectCommonName(), QStringLiteral("Subject"));
        QCOMPARE(certificate.GetIssuerCommonName(), QStringLiteral("Issuer"));

        // A key that is not a BIT STRING is no key.
        QByteArray octetKey = v1;
        octetKey.replace(DerEncoder::BitString(key), DerEncoder::OctetString(QByteArray(1, '\0') + key));
        QVERIFY(certificate.ParseData(octetKey));
        QCOMPARE(certificate.GetPublicKey(), QByteArray());
    }

    void certificateUndecodable()
    {
        OfdX509Certificate certificate;
        const QByteArray der = m_signer.Certificate();
        QVERIFY(!certificate.ParseData(der.left(der.size() - 1)));
        QCOMPARE(certificate.GetPublicKey(), QByteArray());
        QCOMPARE(certificate.GetSubjectCommonName(), QString());
        QVERIFY(!certificate.ParseData(DerEncoder::Integer(5)));
        QVERIFY(!certificate.ParseData(QByteArray()));
        QCOMPARE(certificate.GetPublicKey(), QByteArray());
    }
};

QTEST_MAIN(TestOfdSignedValue)
#include "test_ofdsignedvalue.moc"
