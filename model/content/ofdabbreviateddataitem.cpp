#include "model/content/ofdabbreviateddataitem.h"

#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"

OfdAbbreviatedDataItem::~OfdAbbreviatedDataItem() = default;

OfdAbbreviatedDataItem::EN_DataType OfdAbbreviatedDataItem::GetDataType(const QString &token)
{
    if (token.size() != 1)
        return DataType_None;
    switch (token.at(0).unicode()) {
    case 'S':
        return DataType_Start;
    case 'M':
        return DataType_Move;
    case 'L':
        return DataType_Line;
    case 'Q':
        return DataType_Quadratic;
    case 'B':
        return DataType_Cubic;
    case 'A':
        return DataType_Arc;
    case 'C':
        return DataType_Close;
    default:
        return DataType_None;
    }
}

QString OfdAbbreviatedDataItem::GetDataLetter(EN_DataType type)
{
    static const char *const letters[] = {"none", "S", "M", "L", "Q", "B", "A", "C"};
    const int i = int(type);
    return QString::fromLatin1(i >= 0 && i < 8 ? letters[i] : letters[0]);
}

void OfdAbbreviatedDataItem::ToValuesQt()
{
    m_valuesQt.clear();
    m_valuesQt.reserve(m_values.size());
    for (double v : m_values)
        m_valuesQt << OfdConvert::OfdMMToPixel(v);
}

QString OfdAbbreviatedDataItem::PathText() const
{
    QString text = GetDataLetter(m_type);
    for (double v : m_values) {
        text += QLatin1Char(' ');
        text += OfdHelper::NumberTextF(float(v));
    }
    return text;
}
