#pragma once

#include <QPointF>

// Small geometric helpers.
class MathHelper
{
public:
    // Distance between two points, computed in single precision.
    static float CalPointLen(const QPointF &p1, const QPointF &p2);
};
