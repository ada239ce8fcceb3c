#include "model/content/ofdspecialcolor.h"

OfdSpecialColor::~OfdSpecialColor() = default;

QBrush OfdSpecialColor::CreateBrush(const OfdTypeFillColor &, double) const
{
    return QBrush();
}

bool OfdSpecialColor::DrawPattern(QPainter *, const QRectF &, const OfdTypeFillColor &, double) const
{
    return false;
}
