#include "sign/ofdsignatureseal.h"

#include "sign/asn1object.h"
#include "sign/asn1tag.h"
#include "sign/ofdsealpicture.h"

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
