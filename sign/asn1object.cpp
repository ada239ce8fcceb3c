#include "sign/asn1object.h"

#include "sign/ans1bernodereader.h"
#include "sign/asn1tag.h"

#include <QStringList>

Asn1Object *Asn1Object::CreateObject(Ans1BerNodeReader *node)
{
    if (!node || node->GetTagClass() != 0 || node->GetTagNumber() > 24)
        return nullptr;
    switch (node->GetTagNumber()) {
    case EN_Asn1Tag_Integer:
        return new Asn1Object_Integer(node);
    case EN_Asn1Tag_BitString:
        return new Asn1Object_BitString(node);
    case EN_Asn1Tag_OctetString:
        return new Asn1Object_OctetString(node);
    case EN_Asn1Tag_ObjectIdentifier:
        return new Asn1Object_ObjectIdentifier(node);
    case EN_Asn1Tag_Utf8String:
    case EN_Asn1Tag_IA5String:
        return new Asn1Object_IA5String(node);
    case EN_Asn1Tag_UtcTime:
    case EN_Asn1Tag_GeneralizedTime:
        return new Asn1Object_Time(node);
    default:
        return nullptr;
    }
}

Asn1Object_Integer::Asn1Object_Integer(Ans1BerNodeReader *node) : Asn1Object(node)
{
    const QByteArray content = node->GetValuePart();
    // Skip octets that only repeat the sign of the next one, then keep the last four.
    int start = 0;
    while (start + 1 < content.size()) {
        const quint8 lead = quint8(content.at(start));
        const quint8 next = quint8(content.at(start + 1));
        if ((lead == 0x00 && next < 0x80) || (lead == 0xFF && next >= 0x80))
            ++start;
        else
            break;
    }
    start = qMax(start, content.size() - 4);
    quint32 value = 0;
    for (int i = start; i < content.size(); ++i)
        value = (value << 8) | quint8(content.at(i));
    m_value = int(value);
}

Asn1Object_BitString::Asn1Object_BitString(Ans1BerNodeReader *node) : Asn1Object(node)
{
    const QByteArray content = node->GetValuePart();
    if (content.size() < 2)
        return;
    m_unusedBits = quint8(content.at(0));
    m_bytes = content.mid(1);
}

Asn1Object_OctetString::Asn1Object_OctetString(Ans1BerNodeReader *node)
    : Asn1Object(node), m_bytes(node->GetValuePart())
{
}

Asn1Object_ObjectIdentifier::Asn1Object_ObjectIdentifier(Ans1BerNodeReader *node)
    : Asn1Object(node), m_oid(MakeOidStringFromBytes(node->GetValuePart()))
{
}

Asn1Object_IA5String::Asn1Object_IA5String(Ans1BerNodeReader *node) : Asn1Object(node)
{
    const QByteArray content = node->GetValuePart();
    if (node->GetTagNumber() == EN_Asn1Tag_Utf8String) {
        const int zero = content.indexOf('\0');
        m_text = QString::fromUtf8(zero < 0 ? content : content.left(zero));
    } else {
        m_text = QString::fromLatin1(content.constData(), content.size());
    }
}

Asn1Object_Time::Asn1Object_Time(Ans1BerNodeReader *node) : Asn1Object(node)
{
    const QByteArray content = node->GetValuePart();
    QString text = QString::fromLatin1(content.constData(), content.size());
    if (text.endsWith(QLatin1Char('Z')))
        text.chop(1);
    if (text.size() != 12 && text.size() != 14)
        return;
    for (const QChar c : qAsConst(text)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return;
    }
    // UTCTime YYMMDDhhmmss counts from 2000; GeneralizedTime has four year digits. Then two digits each.
    const int pos = text.size() == 12 ? 2 : 4;
    const int year = text.size() == 12 ? 2000 + text.leftRef(2).toInt() : text.leftRef(4).toInt();
    int fields[5];
    for (int i = 0; i < 5; ++i)
        fields[i] = text.midRef(pos + 2 * i, 2).toInt();
    const QDate date(year, fields[0], fields[1]);
    const QTime time(fields[2], fields[3], fields[4]);
    if (date.isValid() && time.isValid())
        m_time = QDateTime(date, time, Qt::UTC);
}

QString Asn1Object_Time::ToString() const
{
    if (!m_time.isValid())
        return QString();
    return m_time.addSecs(kDisplayOffsetSeconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString MakeOidStringFromBytes(const QByteArray &bytes)
{
    QStringList arcs;
    quint64 value = 0;
    bool inside = false;
    for (int i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes.at(i));
        if (value > (~quint64(0) >> 7))
            return QString();
        value = (value << 7) | (b & 0x7F);
        inside = (b & 0x80) != 0;
        if (inside)
            continue;
        if (arcs.isEmpty()) {
            // The first subidentifier carries two arcs: 40 * first + second.
            const quint64 first = value < 40 ? 0 : (value < 80 ? 1 : 2);
            arcs << QString::number(first) << QString::number(value - 40 * first);
        } else {
            arcs << QString::number(value);
        }
        value = 0;
    }
    if (inside || arcs.isEmpty())
        return QString();
    return arcs.join(QLatin1Char('.'));
}
