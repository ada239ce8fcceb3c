#pragma once

#include "sign/ans1reader.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Asn1Object;
class OfdX509Certificate;

// Which digest e a signature value verified with.
enum EN_SignValueDigest
{
    EN_SignValueDigest_None = 0, // not verified
    EN_SignValueDigest_Za = 1,   // e = SM3(Z_A || to-be-signed bytes), Z_A with the id "1234567812345678"
    EN_SignValueDigest_Plain = 2 // e = SM3(to-be-signed bytes)
};

// A signed value (SES_Signature, the content of a SignedValue.dat) of GM/T 0031-2014 (type 1) or
// GB/T 38540-2020 (type 2): its fields, the data-hash check against the digest of the signature
// description, and the SM2 check of its signature value. Owns its tree, certificate and typed values.
class OfdSignedValue
{
public:
    OfdSignedValue();
    ~OfdSignedValue();

    // Base64 SM3 digest of the Signature.xml that refers to this value; set before ParseData.
    void SetExpectedDigest(const QString &base64) { m_expectedDigest = base64; }
    QString GetExpectedDigest() const { return m_expectedDigest; }

    // Decodes and reads the fields; the decode result. An undecodable input gives false and type 0; a data
    // hash that differs from the expected digest gives false and leaves certificate and signature unread.
    bool ParseData(const QByteArray &data);
    // The start both structures share: the to-be-signed bytes, the version and the seal.
    bool ReadSignedHead();
    bool ParseSign2020();
    bool ParseSign2014();
    bool GetDecodeResult() const { return m_decoded; }

    // 1 for GM/T 0031-2014, 2 for GB/T 38540-2020 (the outer SEQUENCE has a fourth element), 0 undecoded.
    int GetType() const { return m_type; }
    QByteArray GetData() const { return m_data; }
    int GetVersion() const { return m_version; }
    // Complete encoding of the embedded seal.
    QByteArray GetSealData() const { return m_sealData; }
    // Signing time in UTC; invalid when it could not be read.
    QDateTime GetSignTime() const { return m_signTime; }
    // The signing time as "yyyy-MM-dd hh:mm:ss" (UTC, no display offset); empty when invalid.
    QString GetSealSignTime() const;
    QByteArray GetDataHash() const { return m_dataHash; }
    int GetDataHashUnusedBits() const { return m_dataHashUnusedBits; }
    // The signer certificate, owned by the signed value; not parsed until the data hash matched.
    OfdX509Certificate *GetCertificate() const { return m_certificate; }
    // Dotted text, such as "1.2.156.10197.1.501".
    QString GetSignatureAlgorithm() const { return m_algorithm; }
    // Complete encoding of the to-be-signed element.
    QByteArray GetToSignData() const { return m_toSign; }
    // Bytes of the signature BIT STRING: a DER SEQUENCE of the INTEGERs r and s, or r || s itself.
    QByteArray GetSignatureData() const { return m_signature; }

    // Verifies the signature value against the signer's public key, first with e = SM3(Z_A || to-be-signed
    // bytes), then with e = SM3(to-be-signed bytes); false when the decode failed or neither verifies.
    bool CheckSignValue();
    // The digest the last CheckSignValue verified with.
    EN_SignValueDigest GetSignValueDigest() const { return m_signValueDigest; }

    QString GetNodeText(const QString &id) const;
    // A new typed value of the node, owned by the caller, valid while this signed value lives.
    Asn1Object *GetAsn1Object(const QString &id) const;

private:
    Q_DISABLE_COPY(OfdSignedValue)

    void Clear();
    // Typed value of the node when it exists and has that universal tag; kept until the value is freed.
    Asn1Object *TakeObject(const QString &id, int tag);
    bool HasNodes(const QStringList &ids) const;
    bool ReadDataHash(const QString &id);
    bool ReadCertificate(const QString &id);

    QByteArray m_data;
    Ans1Reader m_reader;
    bool m_decoded = false;
    int m_type = 0;
    int m_version = 0;
    QByteArray m_sealData;
    QDateTime m_signTime;
    QString m_expectedDigest;
    QByteArray m_dataHash;
    int m_dataHashUnusedBits = 0;
    OfdX509Certificate *m_certificate = nullptr;
    QString m_algorithm;
    QByteArray m_toSign;
    QByteArray m_signature;
    EN_SignValueDigest m_signValueDigest = EN_SignValueDigest_None;
    QList<Asn1Object *> m_objects;
};

// r || s (64 bytes) of a DER SM2 signature SEQUENCE { INTEGER r, INTEGER s }. A value shorter than 32 bytes
// (DER drops leading zeros) is padded with leading zeros; of a longer one the last 32 bytes are kept.
// Empty when the bytes are not such a SEQUENCE or an INTEGER is empty.
QByteArray GetSignData(const QByteArray &der);

// SM2 verification of a 32-byte digest e with a 64-byte r || s and a 64-byte public key x || y:
// 0 valid, -1 invalid or wrong lengths.
int Verify2(const QByteArray &digest, const QByteArray &signature, const QByteArray &publicKey);

// Verifies a signature over to-be-signed bytes with a public key of 64 bytes, or of 65 with the
// uncompressed-point prefix (any other length: the 64 bytes after the first byte are used). The signature
// is DER (GetSignData) or, as some seal systems store it, 64 bytes of r || s. Tries e = SM3(Z_A || bytes)
// with the default id first, then e = SM3(bytes); which one verified, or None.
EN_SignValueDigest VerifySignedBytes(const QByteArray &toBeSigned, const QByteArray &derSignature,
                                     const QByteArray &publicKey);

// At least 12 characters read as YYMMDDhhmmss (year 2000 + YY, UTC), the rest ignored; otherwise, or
// when a field is out of range, an invalid date-time.
QDateTime ToDateTime(const QString &text);

// Time text of a 2014 signed value: YYYYMMDDhhmmss[.fff][Z] or ISO 8601 yyyy-MM-ddThh:mm:ss[.zzz][Z], as
// seal systems write it, else ToDateTime. UTC; invalid when none fits.
QDateTime ReadSignTimeText(const QString &text);
