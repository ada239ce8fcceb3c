#include "sign/derencoder.h"

#include "sign/asn1tag.h"

#include <QStringList>
#include <algorithm>

QByteArray DerEncoder::Length(qint64 length)
{
    if (length < 0)
        return QByteArray();
    if (length < 0x80)
        return QByteArray(1, char(length));
    QByteArray digits;
    while (length > 0) {
        digits.prepend(char(length & 0xFF));
        length >>= 8;
    }
    digits.prepend(char(0x80 | digits.size()));
    return digits;
}

QByteArray DerEncoder::Element(quint8 identifier, const QByteArray &content)
{
    QByteArray out;
    out.append(char(identifier));
    out.append(Length(content.size()));
    out.append(content);
    return out;
}

QByteArray DerEncoder::Sequence(const QList<QByteArray> &elements)
{
    QByteArray content;
    for (const QByteArray &e : elements)
        content.append(e);
    return Element(0x20 | EN_Asn1Tag_Sequence, content);
}

QByteArray DerEncoder::Set(const QList<QByteArray> &elements)
{
    QList<QByteArray> sorted = elements;
    std::sort(sorted.begin(), sorted.end());
    QByteArray content;
    for (const QByteArray &e : qAsConst(sorted))
        content.append(e);
    return Element(0x20 | EN_Asn1Tag_Set, content);
}

QByteArray DerEncoder::Boolean(bool value)
{
    return Element(EN_Asn1Tag_Boolean, QByteArray(1, value ? '\xFF' : '\0'));
}

QByteArray DerEncoder::Null()
{
    return Element(EN_Asn1Tag_Null, QByteArray());
}

QByteArray DerEncoder::Integer(qint64 value)
{
    QByteArray bytes;
    const quint64 bits = quint64(value);
    for (int i = 7; i >= 0; --i)
        bytes.append(char((bits >> (8 * i)) & 0xFF));
    // Drop octets that only repeat the sign of the next one.
    int start = 0;
    while (start < 7) {
        const quint8 lead = quint8(bytes.at(start));
        const quint8 next = quint8(bytes.at(start + 1));
        if ((lead == 0x00 && next < 0x80) || (lead == 0xFF && next >= 0x80))
            ++start;
        else
            break;
    }
    return Element(EN_Asn1Tag_Integer, bytes.mid(start));
}

QByteArray DerEncoder::IntegerFromBytes(const QByteArray &magnitude)
{
    int start = 0;
    while (start < magnitude.size() && magnitude.at(start) == '\0')
        ++start;
    QByteArray content = magnitude.mid(start);
    if (content.isEmpty() || quint8(content.at(0)) >= 0x80)
        content.prepend('\0');
    return Element(EN_Asn1Tag_Integer, content);
}

QByteArray DerEncoder::OctetString(const QByteArray &bytes)
{
    return Element(EN_Asn1Tag_OctetString, bytes);
}

QByteArray DerEncoder::BitString(const QByteArray &bytes, int unusedBits)
{
    if (unusedBits < 0 || unusedBits > 7 || (bytes.isEmpty() && unusedBits != 0))
        return QByteArray();
    QByteArray content(1, char(unusedBits));
    content.append(bytes);
    return Element(EN_Asn1Tag_BitString, content);
}

QByteArray DerEncoder::IA5String(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return QByteArray();
    }
    return Element(EN_Asn1Tag_IA5String, text.toLatin1());
}

QByteArray DerEncoder::Utf8String(const QString &text)
{
    return Element(EN_Asn1Tag_Utf8String, text.toUtf8());
}

QByteArray DerEncoder::ObjectIdentifier(const QString &dotted)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    if (parts.size() < 2)
        return QByteArray();
    QList<quint64> arcs;
    for (const QString &part : parts) {
        if (part.isEmpty())
            return QByteArray();
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QByteArray();
        }
        bool ok = false;
        const quint64 arc = part.toULongLong(&ok);
        if (!ok)
            return QByteArray();
        arcs.append(arc);
    }
    if (arcs.at(0) > 2 || (arcs.at(0) < 2 && arcs.at(1) >= 40) || arcs.at(1) > ~quint64(0) - 80)
        return QByteArray();

    QByteArray content;
    for (int i = 1; i < arcs.size(); ++i) {
        quint64 value = i == 1 ? arcs.at(0) * 40 + arcs.at(1) : arcs.at(i);
        // Base 128, most significant group first, the continuation bit on all but the last.
        QByteArray groups(1, char(value & 0x7F));
        value >>= 7;
        while (value > 0) {
            groups.prepend(char(0x80 | (value & 0x7F)));
            value >>= 7;
        }
        content.append(groups);
    }
    return Element(EN_Asn1Tag_ObjectIdentifier, content);
}

QByteArray DerEncoder::UtcTime(const QDateTime &time)
{
    if (!time.isValid())
        return QByteArray();
    const QDateTime utc = time.toUTC();
    const int year = utc.date().year();
    if (year < 1950 || year > 2049)
        return QByteArray();
    return Element(EN_Asn1Tag_UtcTime, utc.toString(QStringLiteral("yyMMddHHmmss'Z'")).toLatin1());
}

QByteArray DerEncoder::GeneralizedTime(const QDateTime &time)
{
    if (!time.isValid())
        return QByteArray();
    const QDateTime utc = time.toUTC();
    const int year = utc.date().year();
    if (year < 0 || year > 9999)
        return QByteArray();
    QByteArray text = QByteArray::number(year).rightJustified(4, '0');
    text.append(utc.toString(QStringLiteral("MMddHHmmss'Z'")).toLatin1());
    return Element(EN_Asn1Tag_GeneralizedTime, text);
}

QByteArray DerEncoder::ContextExplicit(int tagNumber, const QByteArray &element)
{
    if (tagNumber < 0 || tagNumber > 30)
        return QByteArray();
    return Element(quint8(0xA0 | tagNumber), element);
}

QByteArray DerEncoder::ContextImplicit(int tagNumber, const QByteArray &content, bool constructed)
{
    if (tagNumber < 0 || tagNumber > 30)
        return QByteArray();
    return Element(quint8((constructed ? 0xA0 : 0x80) | tagNumber), content);
}
