#include "sign/ofdx509certificate.h"

#include "sign/asn1object.h"
#include "sign/asn1tag.h"
#include "sign/ofdsignedvalue.h"

#include <memory>

namespace {

bool IsUniversal(const Ans1BerNodeReader *node, int tag)
{
    return node && node->GetTagClass() == 0 && node->GetTagNumber() == tag;
}

// Text of a directory string: UTF8String, PrintableString, IA5String, TeletexString or BMPString.
QString DirectoryString(const Ans1BerNodeReader *node)
{
    const QByteArray bytes = node->GetValuePart();
    switch (node->GetTagNumber()) {
    case EN_Asn1Tag_Utf8String:
        return QString::fromUtf8(bytes);
    case 30: { // BMPString: UTF-16 big-endian
        QString text;
        for (int i = 0; i + 1 < bytes.size(); i += 2)
            text.append(QChar(ushort((quint8(bytes.at(i)) << 8) | quint8(bytes.at(i + 1)))));
        return text;
    }
    default:
        return QString::fromLatin1(bytes);
    }
}

} // namespace

bool OfdX509Certificate::ParseData(const QByteArray &data)
{
    m_data = data;
    m_reader.OpenData(data);
    const Ans1BerNodeReader *tbs = m_reader.GetNode(QStringLiteral("0.0*1.0"));
    m_parsed = m_reader.IsDataOK() && IsUniversal(m_reader.GetRootNode(), EN_Asn1Tag_Sequence) &&
               IsUniversal(tbs, EN_Asn1Tag_Sequence);
    return m_parsed;
}

Ans1BerNodeReader *OfdX509Certificate::GetTbsField(int index) const
{
    if (!m_parsed)
        return nullptr;
    const Ans1BerNodeReader *tbs = m_reader.GetNode(QStringLiteral("0.0*1.0"));
    const QList<Ans1BerNodeReader *> &fields = tbs->GetChildren();
    // The version is an explicit [0]; version 1 certificates leave it out.
    const bool hasVersion =
        !fields.isEmpty() && fields.first()->GetTagClass() == 2 && fields.first()->GetTagNumber() == 0;
    const int at = index + (hasVersion ? 1 : 0);
    return at < fields.size() ? fields.at(at) : nullptr;
}

QByteArray OfdX509Certificate::GetPublicKey() const
{
    const Ans1BerNodeReader *info = GetTbsField(5);
    if (!IsUniversal(info, EN_Asn1Tag_Sequence) || info->GetChildren().size() < 2)
        return QByteArray();
    Ans1BerNodeReader *key = info->GetChildren().at(1);
    if (!IsUniversal(key, EN_Asn1Tag_BitString))
        return QByteArray();
    return Asn1Object_BitString(key).ToByteArray();
}

QString OfdX509Certificate::CommonNameOf(Ans1BerNodeReader *name)
{
    if (!IsUniversal(name, EN_Asn1Tag_Sequence))
        return QString();
    for (const Ans1BerNodeReader *rdn : name->GetChildren()) {
        for (const Ans1BerNodeReader *attribute : rdn->GetChildren()) {
            const QList<Ans1BerNodeReader *> &parts = attribute->GetChildren();
            if (parts.size() >= 2 && IsUniversal(parts.at(0), EN_Asn1Tag_ObjectIdentifier) &&
                MakeOidStringFromBytes(parts.at(0)->GetValuePart()) == QLatin1String("2.5.4.3"))
                return DirectoryString(parts.at(1));
        }
    }
    return QString();
}

QString OfdX509Certificate::GetSubjectCommonName() const
{
    return CommonNameOf(GetTbsField(4));
}

QString OfdX509Certificate::GetIssuerCommonName() const
{
    return CommonNameOf(GetTbsField(2));
}

QByteArray OfdX509Certificate::GetTbsData() const
{
    const Ans1BerNodeReader *tbs = m_parsed ? m_reader.GetNode(QStringLiteral("0.0*1.0")) : nullptr;
    return tbs ? tbs->GetDataTotal() : QByteArray();
}

QByteArray OfdX509Certificate::GetIssuerData() const
{
    const Ans1BerNodeReader *name = GetTbsField(2);
    return IsUniversal(name, EN_Asn1Tag_Sequence) ? name->GetDataTotal() : QByteArray();
}

QByteArray OfdX509Certificate::GetSubjectData() const
{
    const Ans1BerNodeReader *name = GetTbsField(4);
    return IsUniversal(name, EN_Asn1Tag_Sequence) ? name->GetDataTotal() : QByteArray();
}

QByteArray OfdX509Certificate::GetSerialNumber() const
{
    const Ans1BerNodeReader *serial = GetTbsField(0);
    return IsUniversal(serial, EN_Asn1Tag_Integer) ? serial->GetValuePart() : QByteArray();
}

QDateTime OfdX509Certificate::ValidityTime(int which) const
{
    const Ans1BerNodeReader *validity = GetTbsField(3);
    if (!IsUniversal(validity, EN_Asn1Tag_Sequence) || validity->GetChildren().size() != 2)
        return QDateTime();
    Ans1BerNodeReader *time = validity->GetChildren().at(which);
    if (!IsUniversal(time, EN_Asn1Tag_UtcTime) && !IsUniversal(time, EN_Asn1Tag_GeneralizedTime))
        return QDateTime();
    const std::unique_ptr<Asn1Object> object(Asn1Object::CreateObject(time));
    return object ? object->ToDateTime() : QDateTime();
}

QDateTime OfdX509Certificate::GetNotBefore() const
{
    return ValidityTime(0);
}

QDateTime OfdX509Certificate::GetNotAfter() const
{
    return ValidityTime(1);
}

bool OfdX509Certificate::IsValidAt(const QDateTime &time) const
{
    const QDateTime from = GetNotBefore();
    const QDateTime to = GetNotAfter();
    return time.isValid() && from.isValid() && to.isValid() && from <= time && time <= to;
}

QString OfdX509Certificate::GetSignatureAlgorithm() const
{
    const Ans1BerNodeReader *algorithm = m_parsed ? m_reader.GetNode(QStringLiteral("0.0*1.1*2.0")) : nullptr;
    return IsUniversal(algorithm, EN_Asn1Tag_ObjectIdentifier)
               ? MakeOidStringFromBytes(algorithm->GetValuePart())
               : QString();
}

QByteArray OfdX509Certificate::GetSignatureValue() const
{
    Ans1BerNodeReader *bits = m_parsed ? m_reader.GetNode(QStringLiteral("0.0*1.2")) : nullptr;
    if (!IsUniversal(bits, EN_Asn1Tag_BitString))
        return QByteArray();
    return Asn1Object_BitString(bits).ToByteArray();
}

QByteArray OfdX509Certificate::GetSm2PublicKey() const
{
    const QByteArray key = GetPublicKey();
    if (key.size() == 65 && key.at(0) == '\x04')
        return key.mid(1);
    return QByteArray();
}

bool OfdX509Certificate::IsSameKeyAndSubject(const OfdX509Certificate &other) const
{
    const QByteArray key = GetPublicKey();
    const QByteArray subject = GetSubjectData();
    return !key.isEmpty() && !subject.isEmpty() && key == other.GetPublicKey() &&
           subject == other.GetSubjectData();
}

bool OfdX509Certificate::IsSignedBy(const OfdX509Certificate &issuer) const
{
    const QByteArray key = issuer.GetSm2PublicKey();
    const QByteArray tbs = GetTbsData();
    if (key.isEmpty() || tbs.isEmpty() ||
        !GetSignatureAlgorithm().startsWith(QLatin1String("1.2.156.10197.1.")))
        return false;
    return VerifySignedBytes(tbs, GetSignatureValue(), key) != EN_SignValueDigest_None;
}

QByteArray OfdX509Certificate::GetExtensionValue(const QString &oid) const
{
    if (!m_parsed)
        return QByteArray();
    const Ans1BerNodeReader *tbs = m_reader.GetNode(QStringLiteral("0.0*1.0"));
    // extensions [3] EXPLICIT SEQUENCE OF Extension { extnID, critical DEFAULT FALSE, extnValue }
    for (const Ans1BerNodeReader *field : tbs->GetChildren()) {
        if (field->GetTagClass() != 2 || field->GetTagNumber() != 3 || !field->IsConstructed())
            continue;
        // The decoder leaves context-tagged contents whole; the extension list is decoded here.
        Ans1Reader reader;
        reader.OpenData(field->GetValuePart());
        const Ans1BerNodeReader *list = reader.GetRootNode();
        if (!reader.IsDataOK() || !IsUniversal(list, EN_Asn1Tag_Sequence))
            return QByteArray();
        for (const Ans1BerNodeReader *extension : list->GetChildren()) {
            const QList<Ans1BerNodeReader *> &parts = extension->GetChildren();
            if (parts.size() < 2 || !IsUniversal(parts.first(), EN_Asn1Tag_ObjectIdentifier) ||
                MakeOidStringFromBytes(parts.first()->GetValuePart()) != oid)
                continue;
            const Ans1BerNodeReader *value = parts.last();
            return IsUniversal(value, EN_Asn1Tag_OctetString) ? value->GetValuePart() : QByteArray();
        }
        return QByteArray();
    }
    return QByteArray();
}

int OfdX509Certificate::KeyUsageBits() const
{
    const QByteArray value = GetExtensionValue(QStringLiteral("2.5.29.15"));
    if (value.isEmpty())
        return -1;
    Ans1Reader reader;
    reader.OpenData(value);
    const Ans1BerNodeReader *bits = reader.GetRootNode();
    if (!reader.IsDataOK() || !IsUniversal(bits, EN_Asn1Tag_BitString))
        return 0;
    // The first content byte counts the unused bits; the flags start with the next one.
    const QByteArray content = bits->GetValuePart();
    return content.size() >= 2 ? quint8(content.at(1)) : 0;
}

bool OfdX509Certificate::MayIssueCertificates() const
{
    const int usage = KeyUsageBits();
    if (usage >= 0 && !(usage & 0x04))
        return false;
    const QByteArray constraints = GetExtensionValue(QStringLiteral("2.5.29.19"));
    if (constraints.isEmpty()) {
        // Without basicConstraints only a self-signed root, or a key whose keyUsage names keyCertSign.
        return usage > 0 || (!GetSubjectData().isEmpty() && GetSubjectData() == GetIssuerData());
    }
    Ans1Reader reader;
    reader.OpenData(constraints);
    const Ans1BerNodeReader *sequence = reader.GetRootNode();
    if (!reader.IsDataOK() || !IsUniversal(sequence, EN_Asn1Tag_Sequence) ||
        sequence->GetChildren().isEmpty())
        return false; // an empty SEQUENCE is cA FALSE
    const Ans1BerNodeReader *ca = sequence->GetChildren().first();
    if (!IsUniversal(ca, EN_Asn1Tag_Boolean))
        return false;
    const QByteArray flag = ca->GetValuePart();
    return flag.size() == 1 && flag.at(0) != 0;
}

bool OfdX509Certificate::MaySignDocuments() const
{
    const int usage = KeyUsageBits();
    return usage < 0 || (usage & 0xC0);
}
