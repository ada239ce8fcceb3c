#include "model/content/ofdspecialcolorradial.h"

#include <QLineF>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>

#include "model/content/ofdshadinghelper.h"
#include "model/xml/xmlnode.h"

bool OfdSpecialColorRadial::ParseNode(XmlNode *node)
{
    m_start = ReadShadingPoint(node, QStringLiteral("StartPoint"));
    m_end = ReadShadingPoint(node, QStringLiteral("EndPoint"));
    m_startRadius = std::max(0.0, ReadShadingNumber(node, QStringLiteral("StartRadius"), 0));
    m_endRadius = std::max(0.0, ReadShadingNumber(node, QStringLiteral("EndRadius"), 0));
    m_eccentricity = ReadShadingNumber(node, QStringLiteral("Eccentricity"), 0);
    m_angle = ReadShadingNumber(node, QStringLiteral("Angle"), 0);
    return ParseCommon(node);
}

double OfdSpecialColorRadial::GetAxisLength() const
{
    const double dr = std::abs(m_endRadius - m_startRadius);
    return dr > 0 ? dr : QLineF(m_start, m_end).length();
}

QBrush OfdSpecialColorRadial::CreateBrush(const OfdTypeFillColor &owner, double unitsPerMM) const
{
    QRadialGradient gradient(m_end * unitsPerMM, m_endRadius * unitsPerMM, m_start * unitsPerMM,
                             m_startRadius * unitsPerMM);
    gradient.setSpread(QGradient::PadSpread);
    gradient.setStops(CreateStops(owner));
    QBrush brush(gradient);
    if (m_eccentricity > 0 && m_eccentricity < 1) {
        const QPointF c = m_end * unitsPerMM;
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(m_angle);
        t.scale(1, std::sqrt(1 - m_eccentricity * m_eccentricity));
        t.rotate(-m_angle);
        t.translate(-c.x(), -c.y());
        brush.setTransform(t);
    }
    return brush;
}
