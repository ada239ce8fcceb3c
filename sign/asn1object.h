#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Ans1BerNodeReader;

// Typed value read from one decoded node; the kinds below convert the universal types seals use.
class Asn1Object
{
public:
    explicit Asn1Object(Ans1BerNodeReader *node) : m_node(node) {}
    virtual ~Asn1Object() = default;

    // A new object of the kind matching the node's universal tag, or null for other classes and tags.
    // The caller owns the object; the node must outlive it.
    static Asn1Object *CreateObject(Ans1BerNodeReader *node);

    Ans1BerNodeReader *GetNode() const { return m_node; }

    virtual QString ToString() const { return QString(); }
    virtual int ToInt() const { return 0; }
    virtual QByteArray ToByteArray() const { return QByteArray(); }
    virtual QDateTime ToDateTime() const { return QDateTime::currentDateTime(); }

protected:
    Ans1BerNodeReader *m_node;
};

// INTEGER (tag 2), kept as a 32-bit number.
class Asn1Object_Integer : public Asn1Object
{
public:
    explicit Asn1Object_Integer(Ans1BerNodeReader *node);
    int ToInt() const override { return m_value; }
    QString ToString() const override { return QString::number(m_value); }

private:
    int m_value = 0;
};

// BIT STRING (tag 3): the count of unused bits and the value bytes after it.
class Asn1Object_BitString : public Asn1Object
{
public:
    explicit Asn1Object_BitString(Ans1BerNodeReader *node);
    QByteArray ToByteArray() const override { return m_bytes; }
    int GetUnusedBits() const { return m_unusedBits; }

private:
    int m_unusedBits = 0;
    QByteArray m_bytes;
};

// OCTET STRING (tag 4).
class Asn1Object_OctetString : public Asn1Object
{
public:
    explicit Asn1Object_OctetString(Ans1BerNodeReader *node);
    QByteArray ToByteArray() const override { return m_bytes; }

private:
    QByteArray m_bytes;
};

// OBJECT IDENTIFIER (tag 6), as dotted decimal text.
class Asn1Object_ObjectIdentifier : public Asn1Object
{
public:
    explicit Asn1Object_ObjectIdentifier(Ans1BerNodeReader *node);
    QString ToString() const override { return m_oid; }

private:
    QString m_oid;
};

// IA5String (tag 22, Latin-1) or UTF8String (tag 12, up to the first zero byte).
class Asn1Object_IA5String : public Asn1Object
{
public:
    explicit Asn1Object_IA5String(Ans1BerNodeReader *node);
    QString ToString() const override { return m_text; }

private:
    QString m_text;
};

// UTCTime (tag 23) or GeneralizedTime (tag 24) in UTC; the text form is shown eight hours ahead (Beijing).
class Asn1Object_Time : public Asn1Object
{
public:
    static const int kDisplayOffsetSeconds = 28800;

    explicit Asn1Object_Time(Ans1BerNodeReader *node);
    // The stored UTC value; invalid when the text had another form than YYMMDDhhmmss or YYYYMMDDhhmmss.
    QDateTime ToDateTime() const override { return m_time; }
    // "yyyy-MM-dd hh:mm:ss" of the stored value plus the display offset; empty when unset.
    QString ToString() const override;

private:
    QDateTime m_time;
};

// Dotted decimal text of the content bytes of an OBJECT IDENTIFIER; empty when they are malformed
// (empty, ending inside a subidentifier, or with a subidentifier above 64 bits).
QString MakeOidStringFromBytes(const QByteArray &bytes);
