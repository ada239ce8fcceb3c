#include "model/content/ofdtypecgtransform.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypeCGTransform::OfdTypeCGTransform() = default;
OfdTypeCGTransform::~OfdTypeCGTransform() = default;

void OfdTypeCGTransform::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_codeCount = OfdHelper::GetAttrInt(attrs, QLatin1String("CodeCount"), 1);
    m_codePosition = OfdHelper::GetAttrInt(attrs, QLatin1String("CodePosition"), 0);
    m_glyphCount = OfdHelper::GetAttrInt(attrs, QLatin1String("GlyphCount"), 1);
    OfdXmlStreamStep step(reader, QStringLiteral("CGTransform*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Glyphs")))
            ParseGlyphs(step.ReadText());
        else
            step.Skip();
    }
}

void OfdTypeCGTransform::ParseGlyphs(const QString &text)
{
    m_glyphs.clear();
    for (const QString &token : OfdHelper::SplitList(text))
        m_glyphs << OfdHelper::ToInt(token);
}

bool OfdTypeCGTransform::GetGlyph(int charIndex, int &glyph, int &codeCount) const
{
    if (charIndex != m_codePosition || m_glyphs.isEmpty())
        return false;
    glyph = m_glyphs.first();
    codeCount = m_codeCount;
    return true;
}
