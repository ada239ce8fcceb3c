#include "sign/ofdx509certificate.h"

#include "sign/asn1object.h"
#include "sign/asn1tag.h"

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
