#pragma once

// Seals, signed values, SM2 keys and certificates of both seal standards built in code, for the tests and
// the test seal provider: DER through our encoder, keys, certificates and SM2 signatures through OpenSSL.

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

typedef struct evp_pkey_st EVP_PKEY;

namespace TestSeal {

// How the SM2 digest e is formed from the signed bytes M.
enum class Sm2Digest
{
    WithZa, // e = SM3(Z_A || M), Z_A with the default id "1234567812345678" (GB/T 32918, GM/T 0009)
    Plain   // e = SM3(M)
};

// An SM2 key pair, fresh or fixed, with a self-signed SM2-with-SM3 X.509 v3 certificate; owns the OpenSSL
// key.
class Sm2TestKey
{
public:
    explicit Sm2TestKey(const QString &commonName = QStringLiteral("Seal Test Signer"));
    // A fixed key and its certificate, both PEM; invalid when either cannot be read or they do not match.
    Sm2TestKey(const QByteArray &privateKeyPem, const QByteArray &certificatePem);
    ~Sm2TestKey();
    Sm2TestKey(const Sm2TestKey &) = delete;
    Sm2TestKey &operator=(const Sm2TestKey &) = delete;

    // Key and certificate were made.
    bool IsValid() const { return m_key && !m_certificate.isEmpty(); }
    EVP_PKEY *Key() const { return m_key; }
    // x || y, 64 bytes (without the 0x04 prefix).
    QByteArray PublicKey() const { return m_publicKey; }
    // DER certificate; its subject and issuer carry the common name.
    QByteArray Certificate() const { return m_certificate; }

    // A certificate of this key named C=CN, CN=commonName, issued and signed by issuer under the name C=CN,
    // CN=issuerName (pass this key itself for a self-signed one), valid from notBefore to notAfter. With an
    // organization both names carry O after C.
    QByteArray IssueCertificate(const QString &commonName, const Sm2TestKey &issuer,
                                const QString &issuerName, const QDateTime &notBefore,
                                const QDateTime &notAfter, long serial = 0x2345,
                                const QString &organization = QString()) const;
    // Like IssueCertificate, with X.509 extensions given as OpenSSL configuration pairs, such as
    // {"basicConstraints", "critical,CA:TRUE"} or {"keyUsage", "keyCertSign"}.
    QByteArray IssueCertificateWith(const QString &commonName, const Sm2TestKey &issuer,
                                    const QString &issuerName, const QDateTime &notBefore,
                                    const QDateTime &notAfter, long serial,
                                    const QList<QPair<QByteArray, QByteArray>> &extensions) const;
    // Replaces the certificate that goes with the key (for signed values made with it).
    void SetCertificate(const QByteArray &certificate) { m_certificate = certificate; }

    // DER SEQUENCE { r, s } over message; empty on failure.
    QByteArray Sign(const QByteArray &message, Sm2Digest digest) const;
    // Signs again until r or s has fewer than 32 content bytes (about 1 signature in 128); tries, when
    // given, receives the number of signatures made. Empty when none came within maxTries.
    QByteArray SignWithShortInteger(const QByteArray &message, Sm2Digest digest, int *tries = nullptr,
                                    int maxTries = 20000) const;
    // Like Sign with Z_A, but the nonce is derived from the key and the message, so the same message
    // always gives the same signature (for a seal provider whose seals must not change between loads).
    QByteArray SignDeterministic(const QByteArray &message) const;

private:
    EVP_PKEY *m_key = nullptr;
    QByteArray m_publicKey;
    QByteArray m_certificate;
};

// OpenSSL's verdict on a DER signature over message with a public key x || y (or 0x04 || x || y).
bool OpenSslVerify(const QByteArray &publicKey, const QByteArray &message, const QByteArray &derSignature,
                   Sm2Digest digest);
// OpenSSL's subjectPublicKey of a DER certificate, 0x04 || x || y; empty when it cannot read it.
QByteArray OpenSslCertificatePublicKey(const QByteArray &certificate);

// DER SEQUENCE { INTEGER r, INTEGER s } from big-endian magnitudes, minimal encoding.
QByteArray EncodeSignature(const QByteArray &r, const QByteArray &s);
// Content lengths of r and s in a DER signature; -1 each when it is not one.
QPair<int, int> SignatureIntegerLengths(const QByteArray &der);

// Picture bytes: an image of the given size filled with one colour (a white 2x2 corner when
// whiteCorner), written in a format QImage can write ("PNG", "JPG", "BMP").
QByteArray ImageBytes(const char *format, int width = 12, int height = 8, const QColor &fill = Qt::red,
                      bool whiteCorner = false);
// A hand-made 1x1 white GIF (QImage has no GIF writer).
QByteArray GifBytes();

// Fields of a seal; type 1 is GM/T 0031-2014, type 2 GB/T 38540-2020.
struct SealOptions
{
    int type = 2;
    int headerVersion = 0; // 0: 4 for type 2, 1 for type 1
    QString vid = QStringLiteral("OFDTestVid");
    QString esId = QStringLiteral("TESTSEAL0001");
    int sealType = 1;
    QString sealName = QStringLiteral("测试专用章");
    QDateTime createDate = QDateTime(QDate(2021, 5, 21), QTime(9, 31, 0), Qt::UTC);
    QDateTime validStart = QDateTime(QDate(2021, 5, 21), QTime(9, 31, 0), Qt::UTC);
    QDateTime validEnd = QDateTime(QDate(2031, 5, 20), QTime(23, 59, 59), Qt::UTC);
    QString pictureType = QStringLiteral("png");
    QByteArray pictureData; // empty: ImageBytes("PNG")
    int pictureWidth = 40;
    int pictureHeight = 30;
    bool deterministic = false; // the maker's signature is the same each time the seal is built
};

// The parts of a built seal: the whole SES_Seal and the picture bytes it carries.
struct BuiltSeal
{
    QByteArray data;
    QByteArray pictureData;
};

// An SES_Seal signed by maker (its certificate goes into the property's certificate list and, for type 2,
// beside the seal information).
BuiltSeal BuildSeal(const SealOptions &options, const Sm2TestKey &maker);

// Fields of a signed value.
struct SignedValueOptions
{
    int type = 2;
    int version = 0; // 0: 4 for type 2, 1 for type 1
    QByteArray seal; // empty: BuildSeal of the same type by the signer
    QDateTime signTime = QDateTime(QDate(2024, 3, 1), QTime(8, 30, 15), Qt::UTC);
    QString timeText;    // type 1 only: text in the time BIT STRING; empty: "yyMMddhhmmssZ" of signTime
    QByteArray dataHash; // raw bytes of the data hash (usually SM3 of the Signature.xml)
    QString propertyInfo = QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml");
    QString algorithm = QStringLiteral("1.2.156.10197.1.501");
    QByteArray certificate; // empty: the signer's certificate
    Sm2Digest digest = Sm2Digest::WithZa;
    bool shortInteger = false;    // sign until r or s is shorter than 32 bytes
    QByteArray signatureOverride; // when set: the DER signature stored, nothing is signed
};

struct BuiltSignedValue
{
    QByteArray data;      // the SES_Signature
    QByteArray toSign;    // complete encoding of the to-be-signed element
    QByteArray signature; // DER signature in the signature BIT STRING
    QByteArray seal;      // the embedded seal
    int tries = 0;        // signatures made (more than one for shortInteger)
};

BuiltSignedValue BuildSignedValue(const SignedValueOptions &options, const Sm2TestKey &signer);

// SM3 digest as OpenSSL computes it (independent of our own), raw and as Base64 text.
QByteArray Sm3(const QByteArray &bytes);
QString Base64Sm3(const QByteArray &bytes);

// Look of a drawn seal picture.
enum class SealPictureStyle
{
    Round,      // red ring with a star, an inner ring and a band of marks along the edge
    Oval,       // red oval with a star and a bar below it
    DoubleRound // two red rings with a small star ring in the middle
};

// PNG of a red seal drawn with QPainter on a transparent square of the given size (pixels).
QByteArray SealPicturePng(SealPictureStyle style, int size = 200);

// The fixed SM2 key of the test seal provider and its self-signed certificate (PEM), the same in every run
// so that files signed in different runs verify with one certificate.
QByteArray ProviderKeyPem();
QByteArray ProviderCertificatePem();

} // namespace TestSeal
