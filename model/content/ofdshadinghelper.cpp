#include "model/content/ofdshadinghelper.h"

#include <cmath>

#include "model/content/ofdhelper.h"
#include "model/xml/xmlnode.h"

namespace {
// Larger coordinates than this (a hundred kilometres) are not drawing; they are clamped.
constexpr double kMaxCoordinate = 1e8;

double Sane(double v, double def)
{
    return std::isfinite(v) ? qBound(-kMaxCoordinate, v, kMaxCoordinate) : def;
}
} // namespace

QPointF ReadShadingPoint(const XmlNode *node, const QString &name)
{
    const QList<double> v = OfdHelper::ParseDoubleList(node->GetAttr(name));
    if (v.size() < 2)
        return QPointF();
    return QPointF(Sane(v[0], 0), Sane(v[1], 0));
}

double ReadShadingNumber(const XmlNode *node, const QString &name, double def)
{
    return Sane(OfdHelper::StringToDouble(node->GetAttr(name), def), def);
}
