#include "model/content/ofdspecialcoloraxial.h"

#include <QLineF>
#include <QLinearGradient>

#include "model/content/ofdshadinghelper.h"
#include "model/xml/xmlnode.h"

bool OfdSpecialColorAxial::ParseNode(XmlNode *node)
{
    m_start = ReadShadingPoint(node, QStringLiteral("StartPoint"));
    m_end = ReadShadingPoint(node, QStringLiteral("EndPoint"));
    return ParseCommon(node);
}

double OfdSpecialColorAxial::GetAxisLength() const
{
    return QLineF(m_start, m_end).length();
}

QBrush OfdSpecialColorAxial::CreateBrush(const OfdTypeFillColor &owner, double unitsPerMM) const
{
    QLinearGradient gradient(m_start * unitsPerMM, m_end * unitsPerMM);
    gradient.setSpread(QGradient::PadSpread);
    gradient.setStops(CreateStops(owner));
    return QBrush(gradient);
}
