#pragma once

#include <QPointF>

#include "model/content/ofdspecialcolorshading.h"

// Radial shading: colour varies from the start circle (StartPoint, StartRadius) to the end circle
// (EndPoint, EndRadius), millimetres in object space. Eccentricity and Angle flatten the circles to
// ellipses around the end point.
class OfdSpecialColorRadial : public OfdSpecialColorShading
{
public:
    EN_SpecialColorType GetType() const override { return SpecialColor_RadialShd; }
    bool ParseNode(XmlNode *node) override;
    // A two-circle QRadialGradient brush (focal circle = start, centre circle = end), pad spread;
    // an eccentricity in (0, 1) adds a brush transform squeezing the circles across Angle.
    QBrush CreateBrush(const OfdTypeFillColor &owner, double unitsPerMM) const override;

    const QPointF &GetStartPoint() const { return m_start; }
    const QPointF &GetEndPoint() const { return m_end; }
    double GetStartRadius() const { return m_startRadius; }
    double GetEndRadius() const { return m_endRadius; }
    double GetEccentricity() const { return m_eccentricity; }
    double GetAngle() const { return m_angle; }

protected:
    // The radius difference, or the distance of the centres when the radii are equal.
    double GetAxisLength() const override;

private:
    QPointF m_start;
    QPointF m_end;
    double m_startRadius = 0;
    double m_endRadius = 0;
    double m_eccentricity = 0;
    double m_angle = 0;
};
