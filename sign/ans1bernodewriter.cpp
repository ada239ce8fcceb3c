#include "sign/ans1bernodewriter.h"

Ans1BerNodeWriter::~Ans1BerNodeWriter()
{
    qDeleteAll(m_children);
}

void Ans1BerNodeWriter::SetValue(EN_Asn1Tag tag, const QString &value)
{
    m_tag = tag;
    m_value = value;
}

void Ans1BerNodeWriter::AddChild(Ans1BerNodeWriter *child)
{
    if (child && child != this && !m_children.contains(child))
        m_children.append(child);
}
