#pragma once

#include <QGradient>
#include <QList>

#include "model/content/ofdspecialcolor.h"
#include "model/content/ofdtypefillcolor.h"

// What axial and radial shadings share: colour segments along the shading's parameter t (0 at the
// start, 1 at the end), the mapping of segments onto t (MapType, MapUnit) and whether colour
// continues before the start and after the end (Extend).
class OfdSpecialColorShading : public OfdSpecialColor
{
public:
    enum EN_MapType
    {
        MapType_Direct = 0,  // segments spread once over 0..1
        MapType_Repeat = 1,  // segments repeat every MapUnit along the axis
        MapType_Reflect = 2, // as Repeat, every other period mirrored
    };
    // Extend flags: 0 none, 1 before the start, 2 after the end, 3 both.
    enum EN_Extend
    {
        Extend_Start = 1,
        Extend_End = 2,
    };

    // One colour segment; position is NaN when the element gave none.
    struct Segment
    {
        double position;
        OfdTypeFillColor color;
    };

    // Period count cap for Repeat/Reflect: a MapUnit shorter than 1/kMaxPeriods of the axis is
    // stretched to that length, so tiny units never make unbounded gradient tables.
    static constexpr int kMaxPeriods = 256;
    // Segments after the first kMaxSegments are ignored; the periods are further limited so that a
    // gradient never holds more than about kMaxStops stops.
    static constexpr int kMaxSegments = 1024;
    static constexpr int kMaxStops = 8192;

    EN_MapType GetMapType() const { return m_mapType; }
    double GetMapUnit() const { return m_mapUnit; }
    int GetExtend() const { return m_extend; }
    const QList<Segment> &GetSegments() const { return m_segments; }

    // Segment positions completed: a missing first is 0, a missing last is 1, missing ones between
    // are spread evenly between their neighbours; all clamped to 0..1 and never decreasing.
    QList<double> GetSegmentPositions() const;
    // Colour at parameter t (0..1) with MapType applied, colours built in owner's colour spaces.
    QColor GetColorAt(const OfdTypeFillColor &owner, double t) const;
    // Gradient stops over 0..1 including the mapping and the extend flags (a side that does not
    // extend ends in a transparent stop, so nothing is painted beyond it with pad spread).
    QGradientStops CreateStops(const OfdTypeFillColor &owner) const;

protected:
    // Reads MapType, MapUnit, Extend and the Segment children. False without any segment.
    bool ParseCommon(XmlNode *node);
    // Length of the axis in millimetres that MapUnit divides.
    virtual double GetAxisLength() const = 0;

    EN_MapType m_mapType = MapType_Direct;
    double m_mapUnit = 0;
    int m_extend = 0;
    QList<Segment> m_segments;

private:
    // Segment colours and their completed positions.
    void CollectStops(const OfdTypeFillColor &owner, QList<double> &positions, QList<QColor> &colors) const;
    double GetPeriodFraction() const;
};
