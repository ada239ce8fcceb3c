#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A PKCS#7 / GB/T 35275 SignedData with SM2 and SM3, the signed value of a "Sign" signature: the signer
// certificate found by issuer and serial number, the signed attributes and the SM2 signature. BER with
// indefinite lengths is read too.
class OfdPkcs7Signature
{
public:
    enum EN_Check
    {
        Check_Valid = 0,
        Check_DigestMismatch = 1,   // the digest in the value is not that of the signature description
        Check_SignatureInvalid = 2, // the SM2 signature does not verify with the signer's key
        Check_NoCertificate = 3,    // no certificate of the signer came with the value
        Check_Unsupported = 4,      // a digest or signature algorithm other than SM3 and SM2
        Check_Unreadable = 5,       // not a SignedData with one signer
    };

    // The bytes are a ContentInfo of type signedData (PKCS#7 or its SM2 form).
    static bool IsPkcs7(const QByteArray &data);

    // Reads the structure; false when it is not a readable SignedData with at least one signer.
    bool ParseData(const QByteArray &data);
    bool IsParsed() const { return m_parsed; }

    // Checks the first signer against the signed content, the bytes of the signature description.
    int Verify(const QByteArray &signedContent);
    bool IsDigestMatch() const { return m_digestMatch; }

    // The signer's certificate (DER; empty when none matches) and all certificates that came with it.
    QByteArray GetSignerCertificate() const { return m_signerCertificate; }
    QList<QByteArray> GetCertificates() const { return m_certificates; }
    // From the signingTime attribute, UTC; invalid when there is none.
    QDateTime GetSigningTime() const { return m_signingTime; }
    QString GetDigestAlgorithm() const { return m_digestAlgorithm; }
    QString GetSignatureAlgorithm() const { return m_signatureAlgorithm; }
    bool HasSignedAttributes() const { return m_hasAttributes; }

private:
    bool m_parsed = false;
    bool m_digestMatch = false;
    bool m_hasAttributes = false;
    QList<QByteArray> m_certificates;
    QByteArray m_signerCertificate;
    QByteArray m_content;       // encapsulated content; empty when detached
    QByteArray m_attributes;    // DER SET OF the signed attributes, as signed
    QByteArray m_messageDigest; // of the messageDigest attribute
    QByteArray m_signature;     // encryptedDigest
    QDateTime m_signingTime;
    QString m_digestAlgorithm;
    QString m_signatureAlgorithm;
};
