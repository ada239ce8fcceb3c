#include "model/content/ofdpageitemtext.h"

#include <QDebug>
#include <QXmlStreamReader>

#include <cmath>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypecgtransformmanage.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdPageItemText::OfdPageItemText()
{
    m_fillColor.SetPageItem(this);
    m_strokeColor.SetPageItem(this);
}

OfdPageItemText::~OfdPageItemText() = default;

void OfdPageItemText::PasreXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    ParseBaseAttributes(attrs);
    m_fill = OfdHelper::GetAttrBool(attrs, QLatin1String("Fill"), true);
    m_stroke = OfdHelper::GetAttrBool(attrs, QLatin1String("Stroke"), false);
    m_italic = OfdHelper::GetAttrBool(attrs, QLatin1String("Italic"), false);
    m_weight = OfdHelper::GetAttrInt(attrs, QLatin1String("Weight"), 400);
    m_charDirection = OfdHelper::GetAttrInt(attrs, QLatin1String("CharDirection"), 0);
    m_readDirection = OfdHelper::GetAttrInt(attrs, QLatin1String("ReadDirection"), 0);
    m_fontId = OfdHelper::GetAttrInt(attrs, QLatin1String("Font"), 0);
    m_fontSize = OfdHelper::GetAttrFloat(attrs, QLatin1String("Size"), 0);
    // Some converters leave out the font and the size; such text is drawn in a default font at a
    // default size rather than not at all.
    m_hasFontAttr = !attrs.value(QLatin1String("Font")).trimmed().isEmpty();
    if (attrs.value(QLatin1String("Size")).trimmed().isEmpty()) {
        m_fontSize = kDefaultFontSize;
        qDebug() << "text object without Size, drawn at the default size:" << m_id;
    }
    const QString lineWidth = GetAttrWithDrawParam(attrs, QLatin1String("LineWidth"));
    m_lineWidth = lineWidth.isEmpty() ? 0.353 : OfdHelper::ToDouble(lineWidth);
    if (!std::isfinite(m_lineWidth))
        m_lineWidth = 0.353;

    OfdXmlStreamStep step(reader, QStringLiteral("TextObject*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":FillColor"))) {
            m_fillColor.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":StrokeColor"))) {
            m_strokeColor.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":TextCode"))) {
            m_textCodes.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":CGTransform"))) {
            if (!m_cgTransforms)
                m_cgTransforms = std::make_unique<OfdTypeCGTransformManage>();
            m_cgTransforms->ParseXml(reader, m_textCodes.GetCodeCount());
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":Clips"))) {
            ParseClips(reader);
            step.Consumed();
        } else {
            step.Skip();
        }
    }

    TakeDrawParamColours(m_fill ? &m_fillColor : nullptr, m_stroke ? &m_strokeColor : nullptr);
}

OfdTypeColorSpace *OfdPageItemText::GetFillColorSpace() const
{
    return m_fillColor.GetColorSpace(m_fillColor.GetColorSpaceId());
}

OfdTypeColorSpace *OfdPageItemText::GetStrokeColorSpace() const
{
    return m_strokeColor.GetColorSpace(m_strokeColor.GetColorSpaceId());
}
