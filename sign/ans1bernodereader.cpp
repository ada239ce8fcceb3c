#include "sign/ans1bernodereader.h"

#include <atomic>

namespace {
std::atomic<int> g_liveNodes(0);
}

Ans1BerNodeReader::Ans1BerNodeReader()
{
    ++g_liveNodes;
}

Ans1BerNodeReader::~Ans1BerNodeReader()
{
    qDeleteAll(m_children);
    --g_liveNodes;
}

int Ans1BerNodeReader::GetLiveNodeCount()
{
    return g_liveNodes.load();
}

bool Ans1BerNodeReader::ParseData(const QByteArray &data)
{
    qDeleteAll(m_children);
    m_children.clear();
    m_data = data;
    m_parent = nullptr;
    m_level = 0;
    m_index = 0;
    m_nodeId = QStringLiteral("%1.%2").arg(m_level).arg(m_index);
    m_nodeCount = 1;
    FillNode(0, m_data.size());
    if (!m_error)
        ParseNode();
    return !IsNodeError();
}

void Ans1BerNodeReader::SetError(int end)
{
    m_error = true;
    if (m_contentOffset > end)
        m_contentOffset = end;
    m_contentLength = end - m_contentOffset;
    m_totalLength = end - m_offset;
}

void Ans1BerNodeReader::FillNode(int offset, int end)
{
    m_error = false;
    m_offset = offset;
    m_contentOffset = offset;
    m_contentLength = 0;
    m_totalLength = 0;
    if (offset < 0 || offset >= end || end > m_data.size()) {
        m_error = true;
        m_offset = m_contentOffset = qBound(0, offset, m_data.size());
        return;
    }

    const quint8 identifier = quint8(m_data.at(offset));
    m_tagNumber = identifier & 0x1F;
    m_tagClass = (identifier >> 6) & 0x03;
    m_constructed = (identifier & 0x20) != 0;

    if (offset + 1 >= end) {
        m_contentOffset = offset + 1;
        SetError(end);
        return;
    }
    const quint8 lengthOctet = quint8(m_data.at(offset + 1));
    int header = 2;
    qint64 length = lengthOctet & 0x7F;
    if (lengthOctet & 0x80) {
        // Long form: the low bits count the length bytes that follow; 0 is the indefinite form.
        const int count = lengthOctet & 0x7F;
        m_contentOffset = offset + 2;
        if (count > 4 || count > end - (offset + 2)) {
            SetError(end);
            return;
        }
        bool error = false;
        length = quint32(GetIntValue(m_data, offset + 2, count, error));
        if (error) {
            SetError(end);
            return;
        }
        header = 2 + count;
    }
    m_contentOffset = offset + header;
    if (qint64(m_contentOffset) + length > qint64(end)) {
        SetError(end);
        return;
    }
    m_contentLength = int(length);
    m_totalLength = header + m_contentLength;
}

void Ans1BerNodeReader::ParseNode()
{
    if (m_error || (m_tagNumber != 16 && m_tagNumber != 17))
        return;
    if (m_level >= kMaxLevel) {
        m_error = true;
        return;
    }
    const int end = m_contentOffset + m_contentLength;
    Ans1BerNodeReader *root = this;
    while (root->m_parent)
        root = root->m_parent;
    int sum = 0;
    int index = 0;
    while (sum < m_contentLength) {
        if (++root->m_nodeCount > kMaxNodes) {
            m_error = true;
            return;
        }
        Ans1BerNodeReader *child = new Ans1BerNodeReader;
        child->m_parent = this;
        child->m_data = m_data;
        child->m_level = m_level + 1;
        child->m_index = index++;
        child->m_nodeId = QStringLiteral("%1*%2.%3").arg(m_nodeId).arg(child->m_level).arg(child->m_index);
        child->FillNode(m_contentOffset + sum, end);
        m_children.append(child);
        if (!child->m_error)
            child->ParseNode();
        // A faulty child runs to the end of this content, so the loop always moves on.
        sum += qMax(1, child->m_totalLength);
    }
}

Ans1BerNodeReader *Ans1BerNodeReader::GetNode(const QString &id)
{
    if (m_nodeId == id)
        return this;
    for (Ans1BerNodeReader *child : qAsConst(m_children)) {
        if (Ans1BerNodeReader *found = child->GetNode(id))
            return found;
    }
    return nullptr;
}

bool Ans1BerNodeReader::IsNodeError() const
{
    if (m_error)
        return true;
    for (const Ans1BerNodeReader *child : m_children) {
        if (child->IsNodeError())
            return true;
    }
    return false;
}

QByteArray Ans1BerNodeReader::GetValuePart() const
{
    return m_data.mid(m_contentOffset, m_contentLength);
}

QByteArray Ans1BerNodeReader::GetDataTotal() const
{
    return m_data.mid(m_offset, m_totalLength);
}

int GetIntValue(const QByteArray &data, int pos, int count, bool &error)
{
    if (count <= 0)
        return 0;
    if (pos < 0 || pos >= data.size() || count > data.size() - pos) {
        error = true;
        return 0;
    }
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | quint8(data.at(pos + i));
    return int(value);
}
