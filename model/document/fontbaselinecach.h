#pragma once

#include <QHash>
#include <QMap>

class QFont;

// Baselines (font ascent, pixels) of the fonts text is drawn with, per font id and size; entries
// live as long as the document.
class FontBaselineCach
{
public:
    // The cached baseline for fontId and size (exact comparison), computed from font on a miss.
    float GetBaseline(const QFont &font, int fontId, float size);
    // The ascent of the font's metrics.
    static float GetBaselineFrontFont(const QFont &font);
    int GetEntryCount() const;

private:
    QHash<int, QMap<float, float>> m_baselines;
};
