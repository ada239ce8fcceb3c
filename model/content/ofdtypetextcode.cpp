#include "model/content/ofdtypetextcode.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"

OfdTypeTextCode::OfdTypeTextCode() = default;
OfdTypeTextCode::~OfdTypeTextCode() = default;

void OfdTypeTextCode::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_x = OfdHelper::GetAttrDouble(attrs, QLatin1String("X"), 0);
    m_y = OfdHelper::GetAttrDouble(attrs, QLatin1String("Y"), 0);
    m_hasX = !attrs.value(QLatin1String("X")).trimmed().isEmpty();
    m_hasY = !attrs.value(QLatin1String("Y")).trimmed().isEmpty();
    m_deltaX = OfdHelper::ParseDeltaList(attrs.value(QLatin1String("DeltaX")).toString());
    m_deltaY = OfdHelper::ParseDeltaList(attrs.value(QLatin1String("DeltaY")).toString());
    m_text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
}

static double Delta(const QList<double> &deltas, int k)
{
    if (deltas.isEmpty())
        return 0;
    return k < deltas.size() ? deltas[k] : deltas.last();
}

bool OfdTypeTextCode::GetChar(int index, QChar &ch, double &x, double &y, int offset) const
{
    ch = index >= 0 && index < m_text.size() ? m_text.at(index) : QChar();
    if (index <= 0) {
        x = m_x;
        y = m_y;
        return true;
    }
    const int k = std::max(0, index - 1 - offset);
    x += Delta(m_deltaX, k);
    y += Delta(m_deltaY, k);
    return true;
}

void OfdTypeTextCode::GetLastPostion(double &x, double &y) const
{
    x = m_x;
    y = m_y;
    for (double d : m_deltaX)
        x += d;
    for (double d : m_deltaY)
        y += d;
}

QString OfdTypeTextCode::GetTextDeltaX() const
{
    QList<double> values = m_deltaX;
    if (m_index > 0)
        values.prepend(m_x - m_preX);
    return GetTextDeltaList(values);
}

QString OfdTypeTextCode::GetTextDeltaY() const
{
    QList<double> values = m_deltaY;
    if (m_index > 0)
        values.prepend(m_y - m_preY);
    return GetTextDeltaList(values);
}
