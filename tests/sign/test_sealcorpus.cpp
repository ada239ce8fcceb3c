// Seals and signed values written by other seal systems, from the shared corpus when it is present.

#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "sign/sealfixtures.h"
#include "sign/sealreader0031.h"
#include "testdata.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

using namespace SealFixtures;

namespace {

QString SealsDir()
{
    const QString corpus = CorpusDir();
    return corpus.isEmpty() ? QString() : corpus + QStringLiteral("/seals/ofdrw");
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The subjectPublicKey of a PEM certificate, read by OpenSSL.
QByteArray PemPublicKey(const QByteArray &pem)
{
    BIO *bio = BIO_new_mem_buf(pem.constData(), pem.size());
    X509 *x509 = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (!x509)
        return QByteArray();
    unsigned char *der = nullptr;
    const int length = i2d_X509(x509, &der);
    const QByteArray bytes(reinterpret_cast<const char *>(der), qMax(0, length));
    OPENSSL_free(der);
    X509_free(x509);
    return OpenSslCertificatePublicKey(bytes);
}

// Decodes a signed value with the digest of its own data hash, so that the signature check runs even
// when the description beside it does not match.
bool ParseWithOwnHash(OfdSignedValue &value, const QByteArray &data)
{
    Ans1Reader reader;
    reader.OpenData(data);
    const Ans1BerNodeReader *hash = reader.GetNode(QStringLiteral("0.0*1.0*2.3"));
    if (!hash || hash->GetContentLength() < 2)
        return false;
    value.SetExpectedDigest(QString::fromLatin1(hash->GetValuePart().mid(1).toBase64()));
    return value.ParseData(data);
}

const char *DigestName(EN_SignValueDigest digest)
{
    switch (digest) {
    case EN_SignValueDigest_Za:
        return "SM3(Z_A||TBS)";
    case EN_SignValueDigest_Plain:
        return "SM3(TBS)";
    default:
        return "none";
    }
}

// One signature of a package as MANIFEST.tsv records it, or as we find it.
struct Verdict
{
    int type = 0;
    QString picture;
    bool signatureOk = false;
    bool dataHashOk = false;
    bool operator<(const Verdict &o) const
    {
        return std::tie(type, picture, signatureOk, dataHashOk) <
               std::tie(o.type, o.picture, o.signatureOk, o.dataHashOk);
    }
    bool operator==(const Verdict &o) const { return !(*this < o) && !(o < *this); }
    QString ToString() const
    {
        return QStringLiteral("type %1 pic=%2 sig=%3 dataHash=%4")
            .arg(type)
            .arg(picture, signatureOk ? "ok" : "FAIL", dataHashOk ? "ok" : "mismatch");
    }
};

class PackageFiles
{
public:
    explicit PackageFiles(const QString &path) : m_zip(path) { m_open = m_zip.open(QuaZip::mdUnzip); }
    bool IsOpen() const { return m_open; }
    QStringList Names() { return m_zip.getFileNameList(); }
    QByteArray Read(QString name)
    {
        if (name.startsWith(QLatin1Char('/')))
            name.remove(0, 1);
        if (!m_zip.setCurrentFile(name, QuaZip::csInsensitive))
            return QByteArray();
        QuaZipFile file(&m_zip);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QuaZip m_zip;
    bool m_open = false;
};

QString Resolve(const QString &base, const QString &location)
{
    if (location.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(location.mid(1));
    return QDir::cleanPath(QFileInfo(base).path() + QLatin1Char('/') + location);
}

QString ElementText(const QByteArray &xml, const QString &name)
{
    const QRegularExpression re(QStringLiteral("<(?:\\w+:)?%1>\\s*([^<]*?)\\s*</").arg(name));
    const QRegularExpressionMatch match = re.match(QString::fromUtf8(xml));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

class TestSealCorpus : public QObject
{
    Q_OBJECT

private slots:
    void looseSeals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("esId");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("created");
        QTest::addColumn<QString>("validEnd");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("sealType");
        QTest::newRow("UserV1 (2014)") << "UserV1.esl" << true << 1 << "40C8CDD24DEF43388B86E62CCE1D6832"
                                       << "OFDRW测试用印章"
                                       << "2020-04-22 10:18:07"
                                       << "2022-04-22 10:18:07"
                                       << "PNG" << QSize(400, 400) << 40 << QString("1");
        QTest::newRow("UserV4 (2020)") << "UserV4.esl" << true << 2 << "51f044b76510434e9bc67a1185c2fba5"
                                       << "OFD R&W 测试用印章"
                                       << "2020-04-22 10:09:00"
                                       << "2022-04-22 10:09:00"
                                       << "PNG" << QSize(400, 400) << 40 << QString("3");
        QTest::newRow("UserV5 (header version 5)")
            << "UserV5.esl" << true << 2 << "09aaf39291e049e4b3d716414590937e"
            << "OFD R&W V5测试用印章"
            << "2026-04-24 16:53:23"
            << "2028-04-24 16:53:23"
            << "PNG" << QSize(400, 400) << 40 << QString("3");
        QTest::newRow("UserV5_ts") << "UserV5_ts.esl" << true << 2 << "55a4a957189a48f596706fb431e962c5"
                                   << "OFD R&W V5测试用印章"
                                   << "2026-04-24 16:53:22"
                                   << "2028-04-24 16:53:22"
                                   << "PNG" << QSize(400, 400) << 40 << QString("3");
        QTest::newRow("SESealData (GIF)") << "SESealData.DER" << true << 2 << "esID130600"
                                          << "测试单位名称 合同专用章"
                                          << "2020-10-13 17:45:58"
                                          << "2021-04-16 17:45:58"
                                          << "GIF" << QSize(236, 236) << 42 << QString("4");
        QTest::newRow("Seal.esl (corrupted)") << "Seal.esl" << false << 0 << ""
                                              << ""
                                              << ""
                                              << ""
                                              << "" << QSize() << 0 << QString("");
    }

    void looseSeals()
    {
        QFETCH(QString, file);
        QFETCH(bool, decodes);
        QFETCH(int, type);
        QFETCH(QString, esId);
        QFETCH(QString, name);
        QFETCH(QString, created);
        QFETCH(QString, validEnd);
        QFETCH(QString, picture);
        QFETCH(QSize, imageSize);
        QFETCH(int, width);
        QFETCH(QString, sealType);
        if (SealsDir().isEmpty() || !QFile::exists(SealsDir() + QLatin1Char('/') + file))
            QSKIP("corpus seals are not on this machine");
        const QByteArray data = ReadFile(SealsDir() + QLatin1Char('/') + file);
        OfdSignatureSeal seal;
        QCOMPARE(seal.ParseSeal(data), decodes);
        QCOMPARE(seal.GetType(), type);
        QCOMPARE(seal.GetEsID(), esId);
        QCOMPARE(seal.GetSealName(), name);
        QCOMPARE(seal.GetSealCreateDate(), created);
        QCOMPARE(seal.GetSealValidEnd(), validEnd);
        SealReader_0031 reader;
        QCOMPARE(reader.ParseData(data), decodes);
        if (!decodes) {
            QVERIFY(!seal.GetSealPicture());
            return;
        }
        QCOMPARE(seal.GetSealType(), sealType);
        QCOMPARE(seal.GetSealPicture()->GetType(), picture);
        QCOMPARE(seal.GetSealPicture()->GetWidth(), width);
        QCOMPARE(seal.GetSealPicture()->GetImage().size(), imageSize);
        QCOMPARE(reader.GetImageType(), picture);
        QCOMPARE(reader.GetImageWidth(), width);
        QCOMPARE(reader.GetImageData(), seal.GetSealPicture()->GetData());
        qInfo("%s: type %d, vid %s, picture %s %dx%d", qPrintable(file), type, qPrintable(seal.GetVid()),
              qPrintable(picture), imageSize.width(), imageSize.height());
    }

    void looseSignedValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("signTime");
        QTest::newRow("SignedValueV4") << "SignedValueV4.dat" << 4 << "2020-10-12 11:14:03";
        QTest::newRow("SignedValueV5") << "SignedValueV5.dat" << 5 << "2026-04-24 08:53:26";
    }

    void looseSignedValues()
    {
        QFETCH(QString, file);
        QFETCH(int, version);
        QFETCH(QString, signTime);
        if (SealsDir().isEmpty() || !QFile::exists(SealsDir() + QLatin1Char('/') + file))
            QSKIP("corpus signed values are not on this machine");
        const QByteArray data = ReadFile(SealsDir() + QLatin1Char('/') + file);

        // MANIFEST: the data hash does not match the Signature.xml stored beside the value.
        OfdSignedValue beside;
        beside.SetExpectedDigest(Base64Sm3(ReadFile(SealsDir() + QStringLiteral("/Signature.xml"))));
        QVERIFY(!beside.ParseData(data));
        QCOMPARE(beside.GetType(), 2);
        QVERIFY(!beside.CheckSignValue());

        OfdSignedValue value;
        QVERIFY(ParseWithOwnHash(value, data));
        QCOMPARE(value.GetType(), 2);
        QCOMPARE(value.GetVersion(), version);
        QCOMPARE(value.GetSealSignTime(), signTime);
        QCOMPARE(value.GetSignatureAlgorithm(), QStringLiteral("1.2.156.10197.1.501"));
        QCOMPARE(value.GetDataHash().size(), 32);
        QVERIFY(value.CheckSignValue());
        const EN_SignValueDigest digest = value.GetSignValueDigest();
        QVERIFY(OpenSslVerify(value.GetCertificate()->GetPublicKey(), value.GetToSignData(),
                              value.GetSignatureData(),
                              digest == EN_SignValueDigest_Za ? Sm2Digest::WithZa : Sm2Digest::Plain));
        QCOMPARE(value.GetCertificate()->GetSubjectCommonName(), QStringLiteral("Test Certificate"));
        QCOMPARE(value.GetCertificate()->GetPublicKey(),
                 OpenSslCertificatePublicKey(value.GetCertificate()->GetData()));
        const QByteArray pemKey = PemPublicKey(ReadFile(SealsDir() + QStringLiteral("/sign_cert.pem")));
        QVERIFY(!pemKey.isEmpty());
        qInfo("%s: signer key is %s sign_cert.pem's", qPrintable(file),
              value.GetCertificate()->GetPublicKey() == pemKey ? "" : "not");

        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(value.GetSealData()));
        QCOMPARE(seal.GetType(), 2);
        QVERIFY(!seal.GetSealPicture()->GetImage().isNull());
        qInfo("%s: version %d, signed %s, signature verifies with e = %s, seal %s", qPrintable(file), version,
              qPrintable(signTime), DigestName(digest), qPrintable(seal.GetSealName()));
    }

    // Every seal signature of the signed packages: decode, data hash, signature value, against MANIFEST.tsv.
    void signedPackages()
    {
        const QString corpus = CorpusDir();
        QFile manifest(corpus + QStringLiteral("/MANIFEST.tsv"));
        if (corpus.isEmpty() || !manifest.open(QIODevice::ReadOnly))
            QSKIP("corpus is not on this machine");
        const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
        const QRegularExpression entry(QStringLiteral("^Seal:SES-V(\\d)\\(ver=\\d\\):pic=(\\w+):sig=(\\w+):.*"
                                                      "dataHash=([\\w-]+)"));
        const QByteArray pemKey = PemPublicKey(ReadFile(SealsDir() + QStringLiteral("/sign_cert.pem")));
        int packages = 0;
        for (const QString &line : lines) {
            const QStringList columns = line.split(QLatin1Char('\t'));
            if (columns.size() < 8 || !columns.at(7).contains(QLatin1String("Seal:")))
                continue;
            QList<Verdict> expected;
            for (const QString &item : columns.at(7).split(QStringLiteral(" | "))) {
                const QRegularExpressionMatch m = entry.match(item);
                if (!m.hasMatch())
                    continue;
                Verdict v;
                v.type = m.captured(1) == QLatin1String("1") ? 1 : 2;
                v.picture = m.captured(2).toLower();
                v.signatureOk = m.captured(3) == QLatin1String("ok");
                v.dataHashOk = m.captured(4) == QLatin1String("sm3-ok");
                expected << v;
            }
            const QString path = corpus + QLatin1Char('/') + columns.at(0);
            PackageFiles package(path);
            QVERIFY2(package.IsOpen(), qPrintable(path));
            ++packages;

            QList<Verdict> found;
            QStringList notes;
            for (const QString &name : package.Names()) {
                if (QFileInfo(name).fileName() != QLatin1String("Signature.xml"))
                    continue;
                const QByteArray xml = package.Read(name);
                const QByteArray signedValue = package.Read(Resolve(name, ElementText(xml, "SignedValue")));
                OfdSignedValue value;
                value.SetExpectedDigest(Base64Sm3(xml));
                const bool hashOk = value.ParseData(signedValue);
                if (value.GetType() == 0 || (!hashOk && !ParseWithOwnHash(value, signedValue)))
                    continue; // not a seal signature (a PKCS#7 or bare SM2 value)
                Verdict v;
                v.type = value.GetType();
                v.dataHashOk = hashOk;
                v.signatureOk = value.CheckSignValue();
                const QString sealPath = ElementText(xml, "BaseLoc");
                const QByteArray sealData =
                    sealPath.isEmpty() ? value.GetSealData() : package.Read(Resolve(name, sealPath));
                OfdSignatureSeal seal;
                QVERIFY2(seal.ParseSeal(sealData), qPrintable(name));
                v.picture = seal.GetSealPicture()->GetType().toLower();
                QVERIFY2(v.picture == QLatin1String("ofd") || !seal.GetSealPicture()->GetImage().isNull(),
                         qPrintable(name));
                found << v;
                const bool pemSigner =
                    value.GetCertificate() && value.GetCertificate()->GetPublicKey() == pemKey;
                notes << QStringLiteral("%1 v%2 e=%3 signed %4 seal \"%5\"%6")
                             .arg(v.ToString())
                             .arg(value.GetVersion())
                             .arg(QLatin1String(DigestName(value.GetSignValueDigest())),
                                  value.GetSealSignTime().isEmpty() ? QStringLiteral("(no time)")
                                                                    : value.GetSealSignTime(),
                                  seal.GetSealName(),
                                  pemSigner ? QStringLiteral(" (signer sign_cert.pem)") : QString());
            }
            std::sort(expected.begin(), expected.end());
            std::sort(found.begin(), found.end());
            qInfo("%s: %s", qPrintable(columns.at(0)), qPrintable(notes.join(QStringLiteral("; "))));
            QVERIFY2(found == expected, qPrintable(columns.at(0)));
        }
        QVERIFY(packages > 0);
    }
};

QTEST_MAIN(TestSealCorpus)
#include "test_sealcorpus.moc"
