#pragma once

#include <QBrush>
#include <QRectF>

class QPainter;
class XmlNode;
class OfdTypeFillColor;

// A colour that is not one plain colour: an axial or radial shading (drawn with a gradient brush)
// or a pattern (drawn by tiling a cell). Built by OfdSpecialColorFactory from the element inside a
// FillColor/StrokeColor; read-only afterwards. The colour element that holds it is passed to every
// drawing call, so that component colours reach the document's colour spaces.
class OfdSpecialColor
{
public:
    enum EN_SpecialColorType
    {
        SpecialColor_AxialShd = 1,
        SpecialColor_RadialShd = 2,
        SpecialColor_Pattern = 3,
    };

    virtual ~OfdSpecialColor();

    virtual EN_SpecialColorType GetType() const = 0;
    // Reads the element (AxialShd, RadialShd or Pattern) from a tree. False when it is unusable.
    virtual bool ParseNode(XmlNode *node) = 0;
    bool IsPattern() const { return GetType() == SpecialColor_Pattern; }

    // Gradient brush of a shading, coordinates = millimetres of the object's space × unitsPerMM.
    // NoBrush for patterns and unusable shadings.
    virtual QBrush CreateBrush(const OfdTypeFillColor &owner, double unitsPerMM) const;
    // Fills area (painter coordinates, millimetres × unitsPerMM) with a pattern. False for shadings.
    virtual bool DrawPattern(QPainter *painter, const QRectF &area, const OfdTypeFillColor &owner,
                             double unitsPerMM) const;
};
