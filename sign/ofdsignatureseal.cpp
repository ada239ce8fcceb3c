#include "sign/ofdsignatureseal.h"

#include "sign/asn1object.h"
#include "sign/asn1tag.h"
#include "sign/derencoder.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"

#include <QDebug>

#include <memory>

OfdSignatureSeal::~OfdSignatureSeal()
{
    delete m_picture;
}

bool OfdSignatureSeal::ParseSeal(const QByteArray &data)
{
    m_data = data;
    delete m_picture;
    m_picture = nullptr;
    m_reader.OpenData(data);
    m_type = 0;
    if (m_reader.IsDataOK())
        m_type = m_reader.GetNode(QStringLiteral("0.0*1.3")) ? 2 : 1;
    return ParseSealImage();
}

bool OfdSignatureSeal::ParseSealImage()
{
    delete m_picture;
    m_picture = nullptr;
    const std::unique_ptr<Asn1Object> type(GetAsn1Object(QStringLiteral("0.0*1.0*2.3*3.0")));
    const std::unique_ptr<Asn1Object> data(GetAsn1Object(QStringLiteral("0.0*1.0*2.3*3.1")));
    const std::unique_ptr<Asn1Object> width(GetAsn1Object(QStringLiteral("0.0*1.0*2.3*3.2")));
    const std::unique_ptr<Asn1Object> height(GetAsn1Object(QStringLiteral("0.0*1.0*2.3*3.3")));
    if (!dynamic_cast<Asn1Object_IA5String *>(type.get()) ||
        !dynamic_cast<Asn1Object_OctetString *>(data.get()) ||
        !dynamic_cast<Asn1Object_Integer *>(width.get()) || !dynamic_cast<Asn1Object_Integer *>(height.get()))
        return false;
    m_picture = new OfdSealPicture;
    m_picture->SetData(type->ToString(), width->ToInt(), height->ToInt(), data->ToByteArray());
    return true;
}

Asn1Object *OfdSignatureSeal::GetAsn1Object(const QString &id) const
{
    if (m_type == 0)
        return nullptr;
    return Asn1Object::CreateObject(m_reader.GetNode(id));
}

QString OfdSignatureSeal::GetNodeText(const QString &id) const
{
    const std::unique_ptr<Asn1Object> object(GetAsn1Object(id));
    if (!object) {
        qDebug() << "GetNodeText-nodeId:objText == nullptr" << id;
        return QString();
    }
    return object->ToString();
}

QString OfdSignatureSeal::GetNodeInt(const QString &id) const
{
    const std::unique_ptr<Asn1Object> object(GetAsn1Object(id));
    if (!dynamic_cast<Asn1Object_Integer *>(object.get()))
        return QString();
    return QString::number(object->ToInt());
}

QString OfdSignatureSeal::GetVid() const
{
    return GetNodeText(QStringLiteral("0.0*1.0*2.0*3.2"));
}

QString OfdSignatureSeal::GetEsID() const
{
    return GetNodeText(QStringLiteral("0.0*1.0*2.1"));
}

QString OfdSignatureSeal::GetSealType() const
{
    return GetNodeInt(QStringLiteral("0.0*1.0*2.2*3.0"));
}

QString OfdSignatureSeal::GetSealName() const
{
    return GetNodeText(QStringLiteral("0.0*1.0*2.2*3.1"));
}

// The 2020 property has the certificate-list type before the list, which moves the dates one place on.
QString OfdSignatureSeal::GetSealCreateDate() const
{
    return GetNodeText(m_type == 2 ? QStringLiteral("0.0*1.0*2.2*3.4") : QStringLiteral("0.0*1.0*2.2*3.3"));
}

QString OfdSignatureSeal::GetSealValidStart() const
{
    return GetNodeText(m_type == 2 ? QStringLiteral("0.0*1.0*2.2*3.5") : QStringLiteral("0.0*1.0*2.2*3.4"));
}

QString OfdSignatureSeal::GetSealValidEnd() const
{
    return GetNodeText(m_type == 2 ? QStringLiteral("0.0*1.0*2.2*3.6") : QStringLiteral("0.0*1.0*2.2*3.5"));
}

QDateTime OfdSignatureSeal::GetSealValidFrom() const
{
    const std::unique_ptr<Asn1Object> object(
        GetAsn1Object(m_type == 2 ? QStringLiteral("0.0*1.0*2.2*3.5") : QStringLiteral("0.0*1.0*2.2*3.4")));
    auto *time = dynamic_cast<Asn1Object_Time *>(object.get());
    return time ? time->ToDateTime() : QDateTime();
}

QDateTime OfdSignatureSeal::GetSealValidTo() const
{
    const std::unique_ptr<Asn1Object> object(
        GetAsn1Object(m_type == 2 ? QStringLiteral("0.0*1.0*2.2*3.6") : QStringLiteral("0.0*1.0*2.2*3.5")));
    auto *time = dynamic_cast<Asn1Object_Time *>(object.get());
    return time ? time->ToDateTime() : QDateTime();
}

namespace {
bool IsUniversalNode(const Ans1BerNodeReader *node, int tag)
{
    return node && node->GetTagClass() == 0 && node->GetTagNumber() == tag;
}
} // namespace

QByteArray OfdSignatureSeal::GetMakerCertificate() const
{
    if (m_type == 0)
        return QByteArray();
    const Ans1BerNodeReader *node =
        m_reader.GetNode(m_type == 2 ? QStringLiteral("0.0*1.1") : QStringLiteral("0.0*1.1*2.0"));
    return IsUniversalNode(node, EN_Asn1Tag_OctetString) ? node->GetValuePart() : QByteArray();
}

int OfdSignatureSeal::CheckMakerSignature() const
{
    if (m_type == 0)
        return Maker_Unreadable;
    const bool v2020 = m_type == 2;
    const Ans1BerNodeReader *info = m_reader.GetNode(QStringLiteral("0.0*1.0"));
    const Ans1BerNodeReader *certificate =
        m_reader.GetNode(v2020 ? QStringLiteral("0.0*1.1") : QStringLiteral("0.0*1.1*2.0"));
    const Ans1BerNodeReader *algorithm =
        m_reader.GetNode(v2020 ? QStringLiteral("0.0*1.2") : QStringLiteral("0.0*1.1*2.1"));
    Ans1BerNodeReader *signature =
        m_reader.GetNode(v2020 ? QStringLiteral("0.0*1.3") : QStringLiteral("0.0*1.1*2.2"));
    if (!IsUniversalNode(info, EN_Asn1Tag_Sequence) ||
        !IsUniversalNode(certificate, EN_Asn1Tag_OctetString) ||
        !IsUniversalNode(algorithm, EN_Asn1Tag_ObjectIdentifier) ||
        !IsUniversalNode(signature, EN_Asn1Tag_BitString))
        return Maker_Unreadable;
    if (!MakeOidStringFromBytes(algorithm->GetValuePart()).startsWith(QLatin1String("1.2.156.10197.1.")))
        return Maker_Unsupported;
    OfdX509Certificate maker;
    if (!maker.ParseData(certificate->GetValuePart()) || maker.GetPublicKey().isEmpty())
        return Maker_Unreadable;
    const QByteArray value = Asn1Object_BitString(signature).ToByteArray();
    // Seal systems of both standards sign the seal information alone, or followed by the certificate
    // and algorithm, as one SEQUENCE or as they stand.
    const QByteArray parts = info->GetDataTotal() + certificate->GetDataTotal() + algorithm->GetDataTotal();
    const QList<QByteArray> signedForms = {info->GetDataTotal(), DerEncoder::Element(0x30, parts), parts};
    for (const QByteArray &bytes : qAsConst(signedForms)) {
        if (VerifySignedBytes(bytes, value, maker.GetPublicKey()) != EN_SignValueDigest_None)
            return Maker_Valid;
    }
    return Maker_Invalid;
}
