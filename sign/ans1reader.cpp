#include "sign/ans1reader.h"

Ans1Reader::~Ans1Reader()
{
    delete m_root;
}

bool Ans1Reader::OpenData(const QByteArray &data)
{
    delete m_root;
    m_root = new Ans1BerNodeReader;
    m_root->ParseData(data);
    return true;
}

bool Ans1Reader::IsDataOK() const
{
    return m_root && !m_root->IsNodeError();
}

Ans1BerNodeReader *Ans1Reader::GetNode(const QString &id) const
{
    return m_root ? m_root->GetNode(id) : nullptr;
}
