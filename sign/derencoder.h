#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Writes DER elements (definite lengths, minimal integers) for building seals, signed values and test data.
// Every function returns one complete element, or empty bytes when its input cannot be encoded.
class DerEncoder
{
public:
    // Definite-form length octets; empty for a negative length.
    static QByteArray Length(qint64 length);
    // identifier octet, length, content: the raw element.
    static QByteArray Element(quint8 identifier, const QByteArray &content);

    static QByteArray Sequence(const QList<QByteArray> &elements);
    // SET with its elements in ascending byte order, as DER wants for SET OF.
    static QByteArray Set(const QList<QByteArray> &elements);

    static QByteArray Boolean(bool value);
    static QByteArray Null();
    // Two's-complement INTEGER in the fewest octets.
    static QByteArray Integer(qint64 value);
    // Non-negative INTEGER from big-endian magnitude bytes (leading zeros dropped, a zero added before a high
    // bit).
    static QByteArray IntegerFromBytes(const QByteArray &magnitude);

    static QByteArray OctetString(const QByteArray &bytes);
    // unusedBits (0 to 7) of the last byte are not part of the value; empty bytes need 0.
    static QByteArray BitString(const QByteArray &bytes, int unusedBits = 0);
    // Latin-1 text; empty when a character is outside 7-bit ASCII.
    static QByteArray IA5String(const QString &text);
    static QByteArray Utf8String(const QString &text);
    // From dotted decimal text such as "1.2.156.10197.1.501"; empty when malformed.
    static QByteArray ObjectIdentifier(const QString &dotted);

    // YYMMDDhhmmssZ in UTC, for years 1950 to 2049; empty otherwise or when invalid.
    static QByteArray UtcTime(const QDateTime &time);
    // YYYYMMDDhhmmssZ in UTC; empty when invalid or outside years 0 to 9999.
    static QByteArray GeneralizedTime(const QDateTime &time);

    // [tagNumber] EXPLICIT: a constructed context-specific element wrapping one encoded element.
    static QByteArray ContextExplicit(int tagNumber, const QByteArray &element);
    // [tagNumber] IMPLICIT: the content under a context-specific tag, primitive unless constructed.
    static QByteArray ContextImplicit(int tagNumber, const QByteArray &content, bool constructed = false);
};
