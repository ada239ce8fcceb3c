#include "model/content/mathhelper.h"

#include <cmath>

float MathHelper::CalPointLen(const QPointF &p1, const QPointF &p2)
{
    const float dx = float(p2.x()) - float(p1.x());
    const float dy = float(p2.y()) - float(p1.y());
    return std::sqrt(dx * dx + dy * dy);
}
