#pragma once

#include <QPointF>

#include "model/content/ofdspecialcolorshading.h"

// Axial shading: colour varies along the line StartPoint→EndPoint (millimetres, object space) and is
// constant across it.
class OfdSpecialColorAxial : public OfdSpecialColorShading
{
public:
    EN_SpecialColorType GetType() const override { return SpecialColor_AxialShd; }
    bool ParseNode(XmlNode *node) override;
    // A QLinearGradient brush from StartPoint×unitsPerMM to EndPoint×unitsPerMM, pad spread.
    QBrush CreateBrush(const OfdTypeFillColor &owner, double unitsPerMM) const override;

    const QPointF &GetStartPoint() const { return m_start; }
    const QPointF &GetEndPoint() const { return m_end; }

protected:
    double GetAxisLength() const override;

private:
    QPointF m_start;
    QPointF m_end;
};
