#include "model/document/fontbaselinecach.h"

#include <QFontMetricsF>
#include <QtNumeric>

float FontBaselineCach::GetBaseline(const QFont &font, int fontId, float size)
{
    if (!qIsFinite(size)) // not a usable key
        return GetBaselineFrontFont(font);
    QMap<float, float> &sizes = m_baselines[fontId];
    const auto it = sizes.constFind(size);
    if (it != sizes.constEnd())
        return it.value();
    const float baseline = GetBaselineFrontFont(font);
    sizes.insert(size, baseline);
    return baseline;
}

float FontBaselineCach::GetBaselineFrontFont(const QFont &font)
{
    return float(QFontMetricsF(font).ascent());
}

int FontBaselineCach::GetEntryCount() const
{
    int count = 0;
    for (const QMap<float, float> &sizes : m_baselines)
        count += sizes.size();
    return count;
}
