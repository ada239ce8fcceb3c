#include <QtTest>

#include "environmentguard.h"
#include "sealfixtures.h"
#include "sign/ans1reader.h"
#include "sign/bertodefinite.h"
#include "sign/derencoder.h"
#include "sign/ofdcertificatechain.h"
#include "sign/ofdpkcs7signature.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdx509certificate.h"

using namespace SealFixtures;

namespace {
using Extensions = QList<QPair<QByteArray, QByteArray>>;
const Extensions kCaExtensions{{"basicConstraints", "critical,CA:TRUE"}, {"keyUsage", "keyCertSign,cRLSign"}};

const QDateTime kSignTime(QDate(2024, 3, 1), QTime(8, 30, 15), Qt::UTC);
const QDateTime kLongAgo(QDate(2019, 1, 1), QTime(0, 0), Qt::UTC);
const QDateTime kFarAhead(QDate(2040, 1, 1), QTime(0, 0), Qt::UTC);

QByteArray Pem(const QByteArray &der)
{
    QByteArray text = "-----BEGIN CERTIFICATE-----\n";
    const QByteArray base64 = der.toBase64();
    for (int i = 0; i < base64.size(); i += 64)
        text += base64.mid(i, 64) + '\n';
    return text + "-----END CERTIFICATE-----\n";
}

QByteArray FlipBit(QByteArray bytes, int at)
{
    bytes[at] = char(bytes[at] ^ 0x01);
    return bytes;
}

// Indefinite-length form of a constructed element: identifier, 0x80, content, end-of-contents.
QByteArray Indefinite(quint8 identifier, const QByteArray &content)
{
    return QByteArray(1, char(identifier)) + '\x80' + content + QByteArray(2, '\0');
}

// How a PKCS#7 SignedData fixture is made.
struct Pkcs7Options
{
    bool attributes = true;
    bool embedDigest = false; // without attributes: the SM3 digest of the content as encapsulated content
    bool withCertificate = true;
    bool indefinite = false;  // outer layers in BER indefinite-length form
    QByteArray signedContent; // what the attributes' digest is computed over; empty: the content itself
    QString digestOid = QStringLiteral("1.2.156.10197.1.401");
};

QByteArray BuildPkcs7(const QByteArray &content, const Sm2TestKey &signer, const Pkcs7Options &o)
{
    OfdX509Certificate certificate;
    certificate.ParseData(signer.Certificate());
    const QByteArray digest = Sm3(o.signedContent.isEmpty() ? content : o.signedContent);
    const QByteArray digestAlgorithm = DerEncoder::Sequence({DerEncoder::ObjectIdentifier(o.digestOid)});
    QByteArray attributes;
    QByteArray message;
    if (o.attributes) {
        attributes =
            DerEncoder::Sequence({DerEncoder::ObjectIdentifier(QStringLiteral("1.2.840.113549.1.9.3")),
                                  DerEncoder::Set({DerEncoder::ObjectIdentifier(
                                      QStringLiteral("1.2.156.10197.6.1.4.2.1"))})}) +
            DerEncoder::Sequence({DerEncoder::ObjectIdentifier(QStringLiteral("1.2.840.113549.1.9.5")),
                                  DerEncoder::Set({DerEncoder::UtcTime(kSignTime)})}) +
            DerEncoder::Sequence({DerEncoder::ObjectIdentifier(QStringLiteral("1.2.840.113549.1.9.4")),
                                  DerEncoder::Set({DerEncoder::OctetString(digest)})});
        message = DerEncoder::Element(0x31, attributes);
    } else {
        message = o.embedDigest ? digest : content;
    }
    const QByteArray signature = signer.Sign(message, Sm2Digest::WithZa);
    QList<QByteArray> signerInfo = {
        DerEncoder::Integer(1),
        DerEncoder::Sequence(
            {certificate.GetIssuerData(), DerEncoder::Element(0x02, certificate.GetSerialNumber())}),
        digestAlgorithm};
    if (o.attributes)
        signerInfo << DerEncoder::ContextImplicit(0, attributes, true);
    signerInfo << DerEncoder::Sequence(
                      {DerEncoder::ObjectIdentifier(QStringLiteral("1.2.156.10197.1.301.1"))})
               << DerEncoder::OctetString(signature);
    QList<QByteArray> contentInfo = {DerEncoder::ObjectIdentifier(QStringLiteral("1.2.156.10197.6.1.4.2.1"))};
    if (o.embedDigest)
        contentInfo << DerEncoder::ContextExplicit(0, DerEncoder::OctetString(digest));
    QList<QByteArray> fields = {DerEncoder::Integer(1), DerEncoder::Set({digestAlgorithm}),
                                DerEncoder::Sequence(contentInfo)};
    if (o.withCertificate)
        fields << DerEncoder::ContextImplicit(0, signer.Certificate(), true);
    fields << DerEncoder::Set({DerEncoder::Sequence(signerInfo)});
    const QByteArray type = DerEncoder::ObjectIdentifier(QStringLiteral("1.2.156.10197.6.1.4.2.2"));
    if (o.indefinite) {
        QByteArray inner;
        for (const QByteArray &field : fields)
            inner += field;
        return Indefinite(0x30, type + Indefinite(0xA0, Indefinite(0x30, inner)));
    }
    return DerEncoder::Sequence({type, DerEncoder::ContextExplicit(0, DerEncoder::Sequence(fields))});
}
} // namespace

// Trust anchors, certificate chains and PKCS#7 signed values: what decides between "trusted",
// "valid but untrusted" and "failed".
class TestSignatureTrust : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void storeReadsDerAndPem();
    void storeDefaultFolders_data();
    void storeDefaultFolders();

    void chain_data();
    void chain();
    void chainThroughIntermediate();
    void issuersMustBeAuthorities_data();
    void issuersMustBeAuthorities();

    void pkcs7_data();
    void pkcs7();
    void pkcs7Detection();

    void berToDefinite_data();
    void berToDefinite();
    void nodeCap();

private:
    std::unique_ptr<Sm2TestKey> m_root;
    std::unique_ptr<Sm2TestKey> m_signer;
    std::unique_ptr<Sm2TestKey> m_other;
};

void TestSignatureTrust::initTestCase()
{
    m_root = std::make_unique<Sm2TestKey>(QStringLiteral("Test Root CA"));
    m_signer = std::make_unique<Sm2TestKey>(QStringLiteral("Test Signer"));
    m_other = std::make_unique<Sm2TestKey>(QStringLiteral("Test Root CA"));
    QVERIFY(m_root->IsValid() && m_signer->IsValid() && m_other->IsValid());
}

void TestSignatureTrust::storeReadsDerAndPem()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("root.cer"), m_root->Certificate());
    write(QStringLiteral("two.pem"),
          "comment\n" + Pem(m_signer->Certificate()) + Pem(m_other->Certificate()));
    write(QStringLiteral("junk.crt"), QByteArray("not a certificate"));
    write(QStringLiteral("again.der"), m_root->Certificate()); // the same certificate once
    OfdTrustStore store;
    QCOMPARE(store.AddDirectory(dir.path()), 3);
    QCOMPARE(store.GetCertificates().size(), 3);
    QVERIFY(store.GetCertificates().contains(m_root->Certificate()));
    QVERIFY(store.GetCertificates().contains(m_signer->Certificate()));
    QVERIFY(store.GetCertificates().contains(m_other->Certificate()));
    const int generation = store.GetGeneration();
    store.Clear();
    QVERIFY(store.GetCertificates().isEmpty());
    QVERIFY(store.GetGeneration() != generation);
    QCOMPARE(store.AddDirectory(dir.filePath(QStringLiteral("missing"))), 0);
}

void TestSignatureTrust::storeDefaultFolders_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QStringLiteral("/tmp/cfg") << QStringLiteral("/tmp/cfg/ofdreader/trust");
    QTest::newRow("unset") << QString() << QDir::homePath() + QStringLiteral("/.config/ofdreader/trust");
    QTest::newRow("relative") << QStringLiteral("cfg")
                              << QDir::homePath() + QStringLiteral("/.config/ofdreader/trust");
}

void TestSignatureTrust::storeDefaultFolders()
{
    QFETCH(QString, config);
    QFETCH(QString, expected);
    EnvironmentGuard guard("XDG_CONFIG_HOME", config);
    QCOMPARE(OfdTrustStore::DefaultDirectories(),
             QStringList({expected, QStringLiteral("/etc/ofdreader/trust")}));
}

void TestSignatureTrust::chain_data()
{
    QTest::addColumn<QByteArray>("signer");
    QTest::addColumn<QList<QByteArray>>("anchors");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<int>("state");

    const QString root = QStringLiteral("Test Root CA");
    const QByteArray rootCert = m_root->IssueCertificate(root, *m_root, root, kLongAgo, kFarAhead, 1);
    const QByteArray expiredRoot =
        m_root->IssueCertificate(root, *m_root, root, kLongAgo, kSignTime.addDays(-1), 2);
    const QByteArray issued =
        m_signer->IssueCertificate(QStringLiteral("Test Signer"), *m_root, root, kLongAgo, kFarAhead, 7);
    // Same issuer name, but signed by another key: a forged certificate.
    const QByteArray forged =
        m_signer->IssueCertificate(QStringLiteral("Test Signer"), *m_other, root, kLongAgo, kFarAhead, 8);
    const QByteArray notYet = m_signer->IssueCertificate(QStringLiteral("Test Signer"), *m_root, root,
                                                         kSignTime.addDays(1), kFarAhead, 9);
    const QByteArray selfSigned = m_signer->Certificate();

    QTest::newRow("self-signed, no anchors")
        << selfSigned << QList<QByteArray>() << kSignTime << int(OfdChainResult::State_Untrusted);
    QTest::newRow("self-signed, listed itself")
        << selfSigned << QList<QByteArray>{selfSigned} << kSignTime << int(OfdChainResult::State_Trusted);
    QTest::newRow("issued by the anchor")
        << issued << QList<QByteArray>{rootCert} << kSignTime << int(OfdChainResult::State_Trusted);
    // An anchor of the issuer's name but another key does not vouch.
    QTest::newRow("issued, anchor of another key") << issued << QList<QByteArray>{m_other->Certificate()}
                                                   << kSignTime << int(OfdChainResult::State_Untrusted);
    // The signer's own key and name listed (here under a self-signed certificate) vouch for it.
    QTest::newRow("issued, signer key listed")
        << issued << QList<QByteArray>{selfSigned} << kSignTime << int(OfdChainResult::State_Trusted);
    QTest::newRow("issued, signer listed")
        << issued << QList<QByteArray>{issued} << kSignTime << int(OfdChainResult::State_Trusted);
    QTest::newRow("anchor expired before signing")
        << issued << QList<QByteArray>{expiredRoot} << kSignTime << int(OfdChainResult::State_NotValidAtTime);
    QTest::newRow("signer not yet valid")
        << notYet << QList<QByteArray>{rootCert} << kSignTime << int(OfdChainResult::State_NotValidAtTime);
    QTest::newRow("forged issuer signature")
        << forged << QList<QByteArray>{rootCert} << kSignTime << int(OfdChainResult::State_Untrusted);
    // A changed bit inside the signed part of the signer's certificate breaks its issuer's signature.
    const int serialAt = issued.indexOf(QByteArray("\x02\x01\x07", 3));
    QVERIFY(serialAt > 0);
    QTest::newRow("changed bit in the certificate")
        << FlipBit(issued, serialAt + 2) << QList<QByteArray>{rootCert} << kSignTime
        << int(OfdChainResult::State_Untrusted);
    QTest::newRow("unreadable") << QByteArray("junk") << QList<QByteArray>{rootCert} << kSignTime
                                << int(OfdChainResult::State_Unreadable);
}

void TestSignatureTrust::chain()
{
    QFETCH(QByteArray, signer);
    QFETCH(QList<QByteArray>, anchors);
    QFETCH(QDateTime, time);
    QFETCH(int, state);
    OfdTrustStore store;
    for (const QByteArray &anchor : anchors)
        store.AddCertificateData(anchor);
    const OfdChainResult result = OfdCertificateChain::Check(signer, {}, store, time);
    QCOMPARE(result.state, state);
    QVERIFY(!result.message.isEmpty());
}

void TestSignatureTrust::chainThroughIntermediate()
{
    // root -> intermediate (sent with the signature, not trusted itself) -> signer.
    const QString rootName = QStringLiteral("Test Root CA");
    const QString midName = QStringLiteral("Test Intermediate");
    Sm2TestKey middle(midName);
    const QByteArray rootCert = m_root->IssueCertificate(rootName, *m_root, rootName, kLongAgo, kFarAhead, 1);
    const QByteArray midCert =
        middle.IssueCertificateWith(midName, *m_root, rootName, kLongAgo, kFarAhead, 3, kCaExtensions);
    const QByteArray signer =
        m_signer->IssueCertificate(QStringLiteral("Test Signer"), middle, midName, kLongAgo, kFarAhead, 4);
    OfdTrustStore store;
    store.AddCertificateData(rootCert);
    QCOMPARE(OfdCertificateChain::Check(signer, {}, store, kSignTime).state,
             int(OfdChainResult::State_Untrusted));
    const OfdChainResult result = OfdCertificateChain::Check(signer, {midCert}, store, kSignTime);
    QCOMPARE(result.state, int(OfdChainResult::State_Trusted));
    QCOMPARE(result.length, 3);
    QCOMPARE(result.anchorName, rootName);
    // An intermediate expired at the signing time fails the chain.
    const QByteArray oldMid = middle.IssueCertificateWith(midName, *m_root, rootName, kLongAgo,
                                                          kSignTime.addSecs(-1), 5, kCaExtensions);
    QCOMPARE(OfdCertificateChain::Check(signer, {oldMid}, store, kSignTime).state,
             int(OfdChainResult::State_NotValidAtTime));
}

void TestSignatureTrust::issuersMustBeAuthorities_data()
{
    QTest::addColumn<Extensions>("middle");
    QTest::addColumn<Extensions>("signer");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("reason");

    const Extensions none;
    const Extensions endEntity{{"basicConstraints", "CA:FALSE"},
                               {"keyUsage", "digitalSignature,nonRepudiation"}};
    QTest::newRow("authority") << kCaExtensions << endEntity << int(OfdChainResult::State_Trusted)
                               << QString();
    QTest::newRow("keyCertSign without basicConstraints")
        << Extensions{{"keyUsage", "keyCertSign"}} << none << int(OfdChainResult::State_Trusted) << QString();
    // An intermediate that never was made an authority cannot vouch, whatever it signed.
    QTest::newRow("no extensions") << none << none << int(OfdChainResult::State_Untrusted)
                                   << QString::fromUtf8("不是证书颁发机构证书");
    QTest::newRow("end-entity certificate as issuer")
        << endEntity << none << int(OfdChainResult::State_Untrusted)
        << QString::fromUtf8("不是证书颁发机构证书");
    QTest::newRow("authority without keyCertSign")
        << Extensions{{"basicConstraints", "critical,CA:TRUE"}, {"keyUsage", "digitalSignature"}} << none
        << int(OfdChainResult::State_Untrusted) << QString::fromUtf8("不是证书颁发机构证书");
    QTest::newRow("signer key only for encryption")
        << kCaExtensions << Extensions{{"keyUsage", "keyEncipherment"}}
        << int(OfdChainResult::State_Untrusted) << QString::fromUtf8("密钥用途");
    QTest::newRow("signer key for non-repudiation")
        << kCaExtensions << Extensions{{"keyUsage", "nonRepudiation"}} << int(OfdChainResult::State_Trusted)
        << QString();
}

void TestSignatureTrust::issuersMustBeAuthorities()
{
    QFETCH(Extensions, middle);
    QFETCH(Extensions, signer);
    QFETCH(int, state);
    QFETCH(QString, reason);
    // root (an anchor) -> intermediate (sent with the signature) -> signer
    const QString rootName = QStringLiteral("Test Root CA");
    const QString midName = QStringLiteral("Test Intermediate");
    Sm2TestKey mid(midName);
    const QByteArray rootCert = m_root->IssueCertificate(rootName, *m_root, rootName, kLongAgo, kFarAhead, 1);
    const QByteArray midCert =
        mid.IssueCertificateWith(midName, *m_root, rootName, kLongAgo, kFarAhead, 3, middle);
    const QByteArray signerCert = m_signer->IssueCertificateWith(QStringLiteral("Test Signer"), mid, midName,
                                                                 kLongAgo, kFarAhead, 4, signer);
    OfdX509Certificate parsed;
    QVERIFY(parsed.ParseData(midCert));
    bool named = false;
    for (const auto &extension : middle)
        named = named || extension.first == "basicConstraints";
    QCOMPARE(!parsed.GetExtensionValue(QStringLiteral("2.5.29.19")).isEmpty(), named);
    OfdTrustStore store;
    store.AddCertificateData(rootCert);
    const OfdChainResult result = OfdCertificateChain::Check(signerCert, {midCert}, store, kSignTime);
    QCOMPARE(result.state, state);
    QVERIFY2(result.message.contains(reason), qPrintable(result.message));

    // The same intermediate listed as an anchor itself vouches only when it may issue certificates.
    if (reason.contains(QString::fromUtf8("颁发机构"))) {
        OfdTrustStore direct;
        direct.AddCertificateData(midCert);
        QCOMPARE(OfdCertificateChain::Check(signerCert, {}, direct, kSignTime).state,
                 int(OfdChainResult::State_Untrusted));
    }
}

void TestSignatureTrust::pkcs7_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("check");

    const QByteArray xml = SampleSignatureXml();
    Pkcs7Options o;
    QTest::newRow("signed attributes")
        << BuildPkcs7(xml, *m_signer, o) << xml << int(OfdPkcs7Signature::Check_Valid);
    QTest::newRow("description changed")
        << BuildPkcs7(xml, *m_signer, o) << FlipBit(xml, 40) << int(OfdPkcs7Signature::Check_DigestMismatch);
    o.indefinite = true;
    QTest::newRow("BER indefinite lengths")
        << BuildPkcs7(xml, *m_signer, o) << xml << int(OfdPkcs7Signature::Check_Valid);
    o = Pkcs7Options();
    o.attributes = false;
    QTest::newRow("detached, no attributes")
        << BuildPkcs7(xml, *m_signer, o) << xml << int(OfdPkcs7Signature::Check_Valid);
    QTest::newRow("detached, description changed") << BuildPkcs7(xml, *m_signer, o) << FlipBit(xml, 40)
                                                   << int(OfdPkcs7Signature::Check_SignatureInvalid);
    o.embedDigest = true;
    QTest::newRow("content digest, no attributes")
        << BuildPkcs7(xml, *m_signer, o) << xml << int(OfdPkcs7Signature::Check_Valid);
    QTest::newRow("content digest, description changed")
        << BuildPkcs7(xml, *m_signer, o) << FlipBit(xml, 40) << int(OfdPkcs7Signature::Check_DigestMismatch);
    o = Pkcs7Options();
    o.withCertificate = false;
    QTest::newRow("no certificate") << BuildPkcs7(xml, *m_signer, o) << xml
                                    << int(OfdPkcs7Signature::Check_NoCertificate);
    o = Pkcs7Options();
    o.digestOid = QStringLiteral("2.16.840.1.101.3.4.2.1"); // SHA-256
    QTest::newRow("other digest") << BuildPkcs7(xml, *m_signer, o) << xml
                                  << int(OfdPkcs7Signature::Check_Unsupported);

    // The signature value itself changed: its last byte.
    QByteArray value = BuildPkcs7(xml, *m_signer, Pkcs7Options());
    value[value.size() - 1] = char(value[value.size() - 1] ^ 0x01);
    QTest::newRow("signature changed") << value << xml << int(OfdPkcs7Signature::Check_SignatureInvalid);
}

void TestSignatureTrust::pkcs7()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, content);
    QFETCH(int, check);
    QVERIFY(OfdPkcs7Signature::IsPkcs7(value));
    OfdPkcs7Signature pkcs7;
    QVERIFY(pkcs7.ParseData(value));
    QCOMPARE(pkcs7.Verify(content), check);
    if (check == OfdPkcs7Signature::Check_Valid) {
        QCOMPARE(pkcs7.GetSignerCertificate(), m_signer->Certificate());
        QCOMPARE(pkcs7.GetSigningTime().isValid(), pkcs7.HasSignedAttributes());
        if (pkcs7.HasSignedAttributes())
            QCOMPARE(pkcs7.GetSigningTime(), kSignTime);
    }
}

void TestSignatureTrust::pkcs7Detection()
{
    QVERIFY(!OfdPkcs7Signature::IsPkcs7(EncodeSignature(QByteArray(32, '\x11'), QByteArray(32, '\x22'))));
    QVERIFY(!OfdPkcs7Signature::IsPkcs7(QByteArray()));
    QVERIFY(!OfdPkcs7Signature::IsPkcs7(BuildSignedValue(SignedValueOptions(), *m_signer).data));
    OfdPkcs7Signature pkcs7;
    QVERIFY(!pkcs7.ParseData(QByteArray("\x30\x03\x02\x01\x05", 5)));
    QCOMPARE(pkcs7.Verify(SampleSignatureXml()), int(OfdPkcs7Signature::Check_Unreadable));
}

void TestSignatureTrust::berToDefinite_data()
{
    QTest::addColumn<QByteArray>("ber");
    QTest::addColumn<QByteArray>("der");
    const QByteArray integer = DerEncoder::Integer(5);
    QTest::newRow("definite kept") << DerEncoder::Sequence({integer}) << DerEncoder::Sequence({integer});
    QTest::newRow("indefinite sequence") << Indefinite(0x30, integer) << DerEncoder::Sequence({integer});
    QTest::newRow("nested") << Indefinite(0x30, Indefinite(0xA0, integer))
                            << DerEncoder::Sequence({DerEncoder::ContextImplicit(0, integer, true)});
    QTest::newRow("segmented octets")
        << Indefinite(0x24, DerEncoder::OctetString("ab") + DerEncoder::OctetString("c"))
        << DerEncoder::OctetString("abc");
    // A non-minimal length stays as written when nothing inside changes.
    const QByteArray longForm("\x30\x81\x03\x02\x01\x05", 6);
    QTest::newRow("long form kept") << longForm << longForm;
    QTest::newRow("missing end mark") << QByteArray("\x30\x80\x02\x01\x05", 5) << QByteArray();
    QTest::newRow("primitive indefinite") << QByteArray("\x04\x80\x00\x00", 4) << QByteArray();
    QTest::newRow("runs past the end") << QByteArray("\x30\x05\x02\x01", 4) << QByteArray();
}

void TestSignatureTrust::berToDefinite()
{
    QFETCH(QByteArray, ber);
    QFETCH(QByteArray, der);
    QCOMPARE(BerToDefinite(ber), der);
}

void TestSignatureTrust::nodeCap()
{
    // Many empty elements in one SEQUENCE: two bytes a node. Beyond the cap the tree is flagged.
    const int count = Ans1BerNodeReader::kMaxNodes + 10;
    QByteArray content;
    content.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        content += QByteArray("\x05\x00", 2);
    Ans1Reader reader;
    reader.OpenData(DerEncoder::Sequence({content}));
    QVERIFY(!reader.IsDataOK());
    QVERIFY(reader.GetRootNode()->GetChildren().size() <= Ans1BerNodeReader::kMaxNodes);
    // Below the cap the same shape reads.
    Ans1Reader small;
    small.OpenData(DerEncoder::Sequence({content.left(2000)}));
    QVERIFY(small.IsDataOK());
    QCOMPARE(small.GetRootNode()->GetChildren().size(), 1000);
    QVERIFY(BerToDefinite(Indefinite(0x30, content.left(2000)), 500).isEmpty());
}

QTEST_MAIN(TestSignatureTrust)
#include "test_signaturetrust.moc"
