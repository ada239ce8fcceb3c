#pragma once

#include "sign/ans1reader.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Decoded DER X.509 certificate of a signer or seal maker; gives its public key and names.
// Owns its decoded tree; the bytes are kept as given.
class OfdX509Certificate
{
public:
    OfdX509Certificate() = default;

    // Decodes the certificate; true when the tree has no error and holds a to-be-signed certificate.
    bool ParseData(const QByteArray &data);
    bool IsParsed() const { return m_parsed; }
    QByteArray GetData() const { return m_data; }

    // Bytes of the subjectPublicKey BIT STRING (for SM2 usually 0x04 || x || y, 65 bytes); empty when
    // the certificate is not decoded, the field is absent or it is not a BIT STRING.
    QByteArray GetPublicKey() const;
    // Text of the first commonName (2.5.4.3) of the subject or issuer; empty when there is none.
    QString GetSubjectCommonName() const;
    QString GetIssuerCommonName() const;

    // Complete encodings of the to-be-signed certificate, the issuer and subject names, and the content of
    // the serial number; empty when absent.
    QByteArray GetTbsData() const;
    QByteArray GetIssuerData() const;
    QByteArray GetSubjectData() const;
    QByteArray GetSerialNumber() const;
    // Validity period in UTC; invalid when it cannot be read.
    QDateTime GetNotBefore() const;
    QDateTime GetNotAfter() const;
    // Whether the time lies inside the validity period (bounds included).
    bool IsValidAt(const QDateTime &time) const;
    // Dotted identifier of the certificate's signature algorithm and the bytes of its signature BIT STRING.
    QString GetSignatureAlgorithm() const;
    QByteArray GetSignatureValue() const;
    // x || y of an uncompressed SM2 point in the subjectPublicKey (64 bytes); empty when it is not one.
    QByteArray GetSm2PublicKey() const;
    // Same subject name and public key: the same signer, whatever the other fields say.
    bool IsSameKeyAndSubject(const OfdX509Certificate &other) const;
    // The certificate's SM2-with-SM3 signature verifies with the issuer's public key.
    bool IsSignedBy(const OfdX509Certificate &issuer) const;

    // Content of the extnValue OCTET STRING of the extension with the dotted identifier; empty when the
    // certificate has no such extension.
    QByteArray GetExtensionValue(const QString &oid) const;
    // The key may sign other certificates: basicConstraints says cA (and keyUsage, when present, allows
    // keyCertSign), or a self-signed root without basicConstraints, as version 1 roots are.
    bool MayIssueCertificates() const;
    // The key may make document signatures: no keyUsage, or one with digitalSignature or nonRepudiation.
    bool MaySignDocuments() const;

private:
    Q_DISABLE_COPY(OfdX509Certificate)

    // Child of tbsCertificate counted without the optional [0] version: 0 serial, 1 signature algorithm,
    // 2 issuer, 3 validity, 4 subject, 5 subjectPublicKeyInfo; null when absent.
    Ans1BerNodeReader *GetTbsField(int index) const;
    static QString CommonNameOf(Ans1BerNodeReader *name);
    // The first byte of the keyUsage bits (digitalSignature is 0x80, keyCertSign 0x04); -1 without keyUsage,
    // 0 when it cannot be read.
    int KeyUsageBits() const;
    QDateTime ValidityTime(int which) const;

    Ans1Reader m_reader;
    QByteArray m_data;
    bool m_parsed = false;
};
