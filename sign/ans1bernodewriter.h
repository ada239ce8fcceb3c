#pragma once

#include "sign/asn1tag.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Tree of tagged text values kept for a structure to be written; it produces no bytes itself
// (signed values come from the seal provider, and DerEncoder writes DER where bytes are needed).
class Ans1BerNodeWriter
{
public:
    Ans1BerNodeWriter() = default;
    ~Ans1BerNodeWriter();

    void SetValue(EN_Asn1Tag tag, const QString &value);
    // Takes ownership of child; null and the writer itself are ignored.
    void AddChild(Ans1BerNodeWriter *child);

    EN_Asn1Tag GetTag() const { return m_tag; }
    QString GetValue() const { return m_value; }
    const QList<Ans1BerNodeWriter *> &GetChildren() const { return m_children; }

    // Always empty bytes.
    QByteArray CreateData() const { return QByteArray(); }

private:
    Q_DISABLE_COPY(Ans1BerNodeWriter)

    EN_Asn1Tag m_tag = EN_Asn1Tag_None;
    QString m_value;
    QList<Ans1BerNodeWriter *> m_children;
};
