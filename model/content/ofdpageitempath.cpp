#include "model/content/ofdpageitempath.h"

#include <QXmlStreamReader>

#include <cmath>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdPageItemPath::OfdPageItemPath()
{
    m_fillColor.SetPageItem(this);
    m_strokeColor.SetPageItem(this);
}

OfdPageItemPath::~OfdPageItemPath() = default;

bool OfdPageItemPath::IsNonZeroRule() const
{
    return m_rule == QLatin1String("NoneZero") || m_rule == QLatin1String("NonZero");
}

void OfdPageItemPath::PasreXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    ParseBaseAttributes(attrs);

    const auto number = [&](QLatin1String name, double def) {
        const QString text = GetAttrWithDrawParam(attrs, name);
        if (text.isEmpty())
            return def;
        const double value = OfdHelper::ToDouble(text);
        return std::isfinite(value) ? value : def;
    };
    m_lineWidth = number(QLatin1String("LineWidth"), 0.353);
    m_dashOffset = number(QLatin1String("DashOffset"), 0);
    m_miterLimit = number(QLatin1String("MiterLimit"), double(4.234f));
    m_dashPattern.clear();
    for (double v : OfdHelper::ParseDoubleList(GetAttrWithDrawParam(attrs, QLatin1String("DashPattern")))) {
        if (m_dashPattern.size() >= 64)
            break; // no real pattern is longer; a hostile one must not cost memory
        m_dashPattern.append(float(v));
    }
    const QString join = GetAttrWithDrawParam(attrs, QLatin1String("Join"));
    m_join = join.isEmpty() ? QStringLiteral("Miter") : join;
    const QString cap = GetAttrWithDrawParam(attrs, QLatin1String("Cap"));
    m_cap = cap.isEmpty() ? QStringLiteral("Butt") : cap;
    m_stroke = OfdHelper::GetAttrBool(attrs, QLatin1String("Stroke"), true);
    m_fill = OfdHelper::GetAttrBool(attrs, QLatin1String("Fill"), false);
    m_rule = OfdHelper::GetAttrString(attrs, QLatin1String("Rule"), QStringLiteral("NoneZero"));

    OfdXmlStreamStep step(reader, QStringLiteral("PathObject*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":FillColor"))) {
            m_fillColor.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":StrokeColor"))) {
            m_strokeColor.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":AbbreviatedData"))) {
            m_data.ParseXml(reader);
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

OfdTypeColorSpace *OfdPageItemPath::GetFillColorSpace() const
{
    return m_fillColor.GetColorSpace(m_fillColor.GetColorSpaceId());
}

OfdTypeColorSpace *OfdPageItemPath::GetStrokeColorSpace() const
{
    return m_strokeColor.GetColorSpace(m_strokeColor.GetColorSpaceId());
}
