#include "model/content/ofdtypefont.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypeFont::OfdTypeFont() = default;
OfdTypeFont::~OfdTypeFont() = default;

void OfdTypeFont::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_familyName = OfdHelper::GetAttrString(attrs, QLatin1String("FamilyName"));
    m_fontName = OfdHelper::GetAttrString(attrs, QLatin1String("FontName"));
    m_serif = OfdHelper::GetAttrBool(attrs, QLatin1String("Serif"), false);
    m_bold = OfdHelper::GetAttrBool(attrs, QLatin1String("Bold"), false);
    m_italic = OfdHelper::GetAttrBool(attrs, QLatin1String("Italic"), false);
    OfdXmlStreamStep step(reader, QStringLiteral("Font*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":FontFile")))
            m_fontFile = step.ReadText().trimmed();
        else
            step.Skip();
    }
}
