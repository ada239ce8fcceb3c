#include "sign/ofdpkcs7signature.h"

#include <memory>

#include "sign/ans1reader.h"
#include "sign/asn1object.h"
#include "sign/asn1tag.h"
#include "sign/bertodefinite.h"
#include "sign/derencoder.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "sign/sm3.h"

namespace {

const char kSignedData[] = "1.2.840.113549.1.7.2";
const char kSm2SignedData[] = "1.2.156.10197.6.1.4.2.2";
const char kSm3[] = "1.2.156.10197.1.401";
const char kMessageDigest[] = "1.2.840.113549.1.9.4";
const char kSigningTime[] = "1.2.840.113549.1.9.5";

bool IsUniversal(const Ans1BerNodeReader *node, int tag)
{
    return node && node->GetTagClass() == 0 && node->GetTagNumber() == tag;
}

bool IsContext(const Ans1BerNodeReader *node, int number)
{
    return node && node->GetTagClass() == 2 && node->GetTagNumber() == number;
}

QString Oid(const Ans1BerNodeReader *node)
{
    return IsUniversal(node, EN_Asn1Tag_ObjectIdentifier) ? MakeOidStringFromBytes(node->GetValuePart())
                                                          : QString();
}

// The elements one after the other in bytes (the content of a SET or of an implicit tag), each complete.
QList<QByteArray> Elements(const QByteArray &content)
{
    QList<QByteArray> out;
    Ans1Reader reader;
    reader.OpenData(DerEncoder::Sequence({content}));
    const Ans1BerNodeReader *root = reader.GetRootNode();
    if (!reader.IsDataOK() || !root)
        return out;
    for (const Ans1BerNodeReader *child : root->GetChildren())
        out.append(child->GetDataTotal());
    return out;
}

bool IsSm2Signature(const QString &oid)
{
    return oid == QLatin1String("1.2.156.10197.1.301.1") || oid == QLatin1String("1.2.156.10197.1.301") ||
           oid == QLatin1String("1.2.156.10197.1.501");
}

} // namespace

bool OfdPkcs7Signature::IsPkcs7(const QByteArray &data)
{
    // The outer SEQUENCE and the type are at the start whatever form the lengths take.
    Ans1Reader reader;
    reader.OpenData(BerToDefinite(data));
    const QString type = Oid(reader.GetNode(QStringLiteral("0.0*1.0")));
    return type == QLatin1String(kSignedData) || type == QLatin1String(kSm2SignedData);
}

bool OfdPkcs7Signature::ParseData(const QByteArray &data)
{
    *this = OfdPkcs7Signature();
    Ans1Reader outer;
    outer.OpenData(BerToDefinite(data));
    const Ans1BerNodeReader *explicitContent = outer.GetNode(QStringLiteral("0.0*1.1"));
    if (!outer.IsDataOK() || !IsContext(explicitContent, 0))
        return false;
    const QString type = Oid(outer.GetNode(QStringLiteral("0.0*1.0")));
    if (type != QLatin1String(kSignedData) && type != QLatin1String(kSm2SignedData))
        return false;

    Ans1Reader signedData;
    signedData.OpenData(explicitContent->GetValuePart());
    const Ans1BerNodeReader *root = signedData.GetRootNode();
    if (!signedData.IsDataOK() || !IsUniversal(root, EN_Asn1Tag_Sequence) || root->GetChildren().size() < 4)
        return false;
    const QList<Ans1BerNodeReader *> &fields = root->GetChildren();

    // contentInfo { type, [0] EXPLICIT content OPTIONAL }
    const Ans1BerNodeReader *contentInfo = fields.at(2);
    if (!IsUniversal(contentInfo, EN_Asn1Tag_Sequence) || contentInfo->GetChildren().isEmpty())
        return false;
    if (contentInfo->GetChildren().size() > 1 && IsContext(contentInfo->GetChildren().at(1), 0)) {
        const QList<QByteArray> inner = Elements(contentInfo->GetChildren().at(1)->GetValuePart());
        Ans1Reader octets;
        octets.OpenData(inner.value(0));
        if (inner.size() == 1 && octets.IsDataOK() &&
            IsUniversal(octets.GetRootNode(), EN_Asn1Tag_OctetString))
            m_content = octets.GetRootNode()->GetValuePart();
    }

    const Ans1BerNodeReader *signerInfos = nullptr;
    for (int i = 3; i < fields.size(); ++i) {
        if (IsContext(fields.at(i), 0))
            m_certificates = Elements(fields.at(i)->GetValuePart());
        else if (IsUniversal(fields.at(i), EN_Asn1Tag_Set))
            signerInfos = fields.at(i);
    }
    if (!signerInfos || signerInfos->GetChildren().isEmpty())
        return false;

    // SignerInfo { version, issuerAndSerialNumber, digestAlgorithm, [0] attributes OPTIONAL,
    //              digestEncryptionAlgorithm, encryptedDigest, [1] OPTIONAL }
    const Ans1BerNodeReader *signer = signerInfos->GetChildren().first();
    const QList<Ans1BerNodeReader *> parts = signer->GetChildren();
    if (!IsUniversal(signer, EN_Asn1Tag_Sequence) || parts.size() < 5)
        return false;
    const Ans1BerNodeReader *issuerAndSerial = parts.at(1);
    if (!IsUniversal(issuerAndSerial, EN_Asn1Tag_Sequence) || issuerAndSerial->GetChildren().size() != 2)
        return false;
    const QByteArray issuer = issuerAndSerial->GetChildren().at(0)->GetDataTotal();
    const QByteArray serial = issuerAndSerial->GetChildren().at(1)->GetValuePart();
    if (!parts.at(2)->GetChildren().isEmpty())
        m_digestAlgorithm = Oid(parts.at(2)->GetChildren().first());
    int at = 3;
    if (IsContext(parts.at(at), 0)) {
        m_hasAttributes = true;
        const QByteArray content = parts.at(at)->GetValuePart();
        // The signature covers the attributes encoded as a SET OF, not under the implicit tag.
        m_attributes = DerEncoder::Element(0x31, content);
        for (const QByteArray &attribute : Elements(content)) {
            Ans1Reader reader;
            reader.OpenData(attribute);
            const QString oid = Oid(reader.GetNode(QStringLiteral("0.0*1.0")));
            Ans1BerNodeReader *value = reader.GetNode(QStringLiteral("0.0*1.1*2.0"));
            if (oid == QLatin1String(kMessageDigest) && IsUniversal(value, EN_Asn1Tag_OctetString)) {
                m_messageDigest = value->GetValuePart();
            } else if (oid == QLatin1String(kSigningTime) &&
                       (IsUniversal(value, EN_Asn1Tag_UtcTime) ||
                        IsUniversal(value, EN_Asn1Tag_GeneralizedTime))) {
                const std::unique_ptr<Asn1Object> time(Asn1Object::CreateObject(value));
                m_signingTime = time ? time->ToDateTime() : QDateTime();
            }
        }
        ++at;
    }
    if (at + 1 >= parts.size() || !IsUniversal(parts.at(at + 1), EN_Asn1Tag_OctetString))
        return false;
    if (!parts.at(at)->GetChildren().isEmpty())
        m_signatureAlgorithm = Oid(parts.at(at)->GetChildren().first());
    m_signature = parts.at(at + 1)->GetValuePart();

    for (const QByteArray &der : qAsConst(m_certificates)) {
        OfdX509Certificate certificate;
        if (certificate.ParseData(der) && certificate.GetIssuerData() == issuer &&
            certificate.GetSerialNumber() == serial) {
            m_signerCertificate = der;
            break;
        }
    }
    m_parsed = true;
    return true;
}

int OfdPkcs7Signature::Verify(const QByteArray &signedContent)
{
    m_digestMatch = false;
    if (!m_parsed)
        return Check_Unreadable;
    if (m_digestAlgorithm != QLatin1String(kSm3) || !IsSm2Signature(m_signatureAlgorithm))
        return Check_Unsupported;
    if (m_signerCertificate.isEmpty())
        return Check_NoCertificate;
    OfdX509Certificate certificate;
    certificate.ParseData(m_signerCertificate);
    const QByteArray key = certificate.GetPublicKey();

    const QByteArray digest = sm3_digest_ByteArray(signedContent);
    QList<QByteArray> messages;
    if (m_hasAttributes) {
        // The attributes carry the digest of the content; the signature covers the attributes.
        m_digestMatch = m_messageDigest == digest;
        messages << m_attributes;
    } else if (!m_content.isEmpty()) {
        // Without attributes the encapsulated content is what was signed: the description itself or,
        // as seal systems write it, its SM3 digest.
        m_digestMatch = m_content == digest || m_content == signedContent;
        messages << m_content;
    } else {
        m_digestMatch = true; // detached: the signature itself is over the description
        messages << signedContent;
    }
    if (!m_digestMatch)
        return Check_DigestMismatch;
    for (const QByteArray &message : qAsConst(messages)) {
        if (VerifySignedBytes(message, m_signature, key) != EN_SignValueDigest_None)
            return Check_Valid;
    }
    return Check_SignatureInvalid;
}
