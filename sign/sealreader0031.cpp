#include "sign/sealreader0031.h"

SealReader_0031::SealReader_0031()
    : m_typeId(QStringLiteral("0.0*1.0*2.3*3.0")), m_dataId(QStringLiteral("0.0*1.0*2.3*3.1")),
      m_widthId(QStringLiteral("0.0*1.0*2.3*3.2")), m_heightId(QStringLiteral("0.0*1.0*2.3*3.3"))
{
}

bool SealReader_0031::ParseData(const QByteArray &data)
{
    m_reader.OpenData(data);
    m_ok = m_reader.IsDataOK();
    return m_ok;
}

QByteArray SealReader_0031::GetNodeValue(const QString &id) const
{
    const Ans1BerNodeReader *node = m_ok ? m_reader.GetNode(id) : nullptr;
    return node ? node->GetValuePart() : QByteArray();
}

QByteArray SealReader_0031::GetImageData() const
{
    return GetNodeValue(m_dataId);
}

QString SealReader_0031::GetImageType() const
{
    QByteArray type = GetNodeValue(m_typeId);
    const int zero = type.indexOf('\0');
    if (zero >= 0)
        type.truncate(zero);
    return QString::fromUtf8(type);
}

int SealReader_0031::GetImageWidth() const
{
    return GetIntFromAsn(GetNodeValue(m_widthId));
}

int SealReader_0031::GetImageHeight() const
{
    return GetIntFromAsn(GetNodeValue(m_heightId));
}

int GetIntFromAsn(const QByteArray &content)
{
    if (content.isEmpty())
        return 0;
    int start = 0;
    while (start + 1 < content.size()) {
        const quint8 lead = quint8(content.at(start));
        const quint8 next = quint8(content.at(start + 1));
        if ((lead == 0x00 && next < 0x80) || (lead == 0xFF && next >= 0x80))
            ++start;
        else
            break;
    }
    if (content.size() - start > 4)
        return 0;
    // Start from all ones for a negative number so that the sign extends through the 32 bits.
    quint32 value = (quint8(content.at(start)) & 0x80) ? 0xFFFFFFFFu : 0u;
    for (int i = start; i < content.size(); ++i)
        value = (value << 8) | quint8(content.at(i));
    return int(value);
}
