#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QPen>

#include <memory>

#include "render/ofdvisualitem.h"

class OfdAbbreviatedDataItem;
class OfdPageItemPath;

// Draws a path object: its abbreviated data as a painter path (pixels of the object's space),
// filled with a plain colour, a shading or a pattern, and stroked with a pen from its width, join,
// cap, miter limit and dashes.
class OfdVisualItemPath : public OfdVisualItem
{
    Q_OBJECT
public:
    explicit OfdVisualItemPath(OfdPageItem *pageItem = nullptr, QGraphicsItem *parent = nullptr);
    ~OfdVisualItemPath() override;

    int GetItemType() const override { return EN_OfdVisualItemType_Path; }
    // Places the item and builds its path at once: the scene finds items to paint by their bounds,
    // so an item must know them before its first paint.
    void Init() override;
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void DrawPattern(QPainter *painter) override;
    QPainterPath CreatePainterPathClip() override;
    // Writes the path object back as a PathObject (resolved attributes, RGB colours).

    // The path in pixels of the object's space (built on first need).
    const QPainterPath &GetPainterPath();
    // Appends one command to path; commands with too few numbers add nothing.
    void CreatePainterPathItem(const OfdAbbreviatedDataItem &item, QPainterPath *path);
    // The pen (null when the object does not stroke) and brush (NoBrush when it does not fill).
    const QPen *GetPen();
    QBrush CreateQtBrush() const;

    static QRectF MaxRect() { return QRectF(-1000, -1000, 12000, 12000); }

private:
    OfdPageItemPath *PathItem() const;
    QPainterPath CreatePainterPath();
    QPen CreateQtPen() const;
    void PaintItem(QPainter *painter);

    QPointF m_current;
    std::unique_ptr<QPen> m_pen;
    std::unique_ptr<QPainterPath> m_path;
    std::unique_ptr<QRectF> m_bounds;
    std::unique_ptr<QPainterPath> m_clipOutline;
    bool m_firstPaint = true;
};

// Appends an elliptical arc from the path's current point to end, as SVG and the format define it:
// radii rx and ry, the ellipse rotated by angle degrees, and the large-arc and sweep flags choosing
// one of the four candidate arcs. Radii too small to reach the end are scaled up; a zero radius
// draws a straight line.
void AppendEllipticalArc(QPainterPath &path, double rx, double ry, double angle, bool largeArc, bool sweep,
                         const QPointF &end);

// Strokes path with pen; dashed lines thinner than a device pixel keep their dashes.
void StrokePath(QPainter *painter, const QPainterPath &path, const QPen &pen);
