#include "render/ofdvisualitempath.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

#include <cmath>

#include "model/content/ofdabbreviateddataitem.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitempath.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/xml/xmlnode.h"
#include "render/ofdpatterncell.h"
#include "render/ofdvisualsource.h"

namespace {
bool HasOwnColor(const OfdTypeFillColor &color)
{
    return color.GetColorSpaceId() != -1 && color.GetColorSpaceId() != -2;
}

double Angle(double ux, double uy, double vx, double vy)
{
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}
} // namespace

void AppendEllipticalArc(QPainterPath &path, double rx, double ry, double angle, bool largeArc, bool sweep,
                         const QPointF &end)
{
    const QPointF start = path.currentPosition();
    if (start == end)
        return;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx < 1e-9 || ry < 1e-9 || !std::isfinite(rx) || !std::isfinite(ry)) {
        path.lineTo(end);
        return;
    }
    const double phi = qDegreesToRadians(std::fmod(angle, 360.0));
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    // Endpoint to centre parameterisation.
    const double dx = (start.x() - end.x()) / 2;
    const double dy = (start.y() - end.y()) / 2;
    const double x1 = cosPhi * dx + sinPhi * dy;
    const double y1 = -sinPhi * dx + cosPhi * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        const double s = std::sqrt(lambda);
        rx *= s;
        ry *= s;
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double coef = den > 0 ? std::sqrt(qMax(0.0, num / den)) : 0;
    if (largeArc == sweep)
        coef = -coef;
    const double cx1 = coef * rx * y1 / ry;
    const double cy1 = -coef * ry * x1 / rx;
    const double cx = cosPhi * cx1 - sinPhi * cy1 + (start.x() + end.x()) / 2;
    const double cy = sinPhi * cx1 + cosPhi * cy1 + (start.y() + end.y()) / 2;
    const double theta1 = Angle(1, 0, (x1 - cx1) / rx, (y1 - cy1) / ry);
    double delta = Angle((x1 - cx1) / rx, (y1 - cy1) / ry, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
    if (!sweep && delta > 0)
        delta -= 2 * M_PI;
    else if (sweep && delta < 0)
        delta += 2 * M_PI;

    // Cubic segments of at most a quarter turn each.
    const int segments = qMax(1, int(std::ceil(std::fabs(delta) / (M_PI / 2) - 1e-9)));
    const double step = delta / segments;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    double t = theta1;
    for (int i = 0; i < segments; ++i) {
        const double t2 = t + step;
        // Control points: P(t) + k·P'(t) and P(t2) − k·P'(t2), rotated into place.
        const auto rotate = [&](double ex, double ey) {
            return QPointF(cosPhi * ex - sinPhi * ey + cx, sinPhi * ex + cosPhi * ey + cy);
        };
        const QPointF p1 =
            rotate(rx * std::cos(t) - k * rx * std::sin(t), ry * std::sin(t) + k * ry * std::cos(t));
        const QPointF p2 =
            rotate(rx * std::cos(t2) + k * rx * std::sin(t2), ry * std::sin(t2) - k * ry * std::cos(t2));
        const QPointF p3 = i == segments - 1 ? end : rotate(rx * std::cos(t2), ry * std::sin(t2));
        path.cubicTo(p1, p2, p3);
        t = t2;
    }
}

OfdVisualItemPath::OfdVisualItemPath(OfdPageItem *pageItem, QGraphicsItem *parent)
    : OfdVisualItem(pageItem, parent)
{
}

OfdVisualItemPath::~OfdVisualItemPath() = default;

OfdPageItemPath *OfdVisualItemPath::PathItem() const
{
    return m_pageItem && m_pageItem->GetItemType() == EN_PageItemType_Path
               ? static_cast<OfdPageItemPath *>(m_pageItem)
               : nullptr;
}

void OfdVisualItemPath::CreatePainterPathItem(const OfdAbbreviatedDataItem &item, QPainterPath *path)
{
    const QList<double> &v = item.GetValuesQt();
    for (double value : v) {
        if (!std::isfinite(value))
            return; // one bad number spoils only its command
    }
    switch (item.GetType()) {
    case OfdAbbreviatedDataItem::DataType_Start:
    case OfdAbbreviatedDataItem::DataType_Move:
        if (v.size() >= 2) {
            path->moveTo(v[0], v[1]);
            m_current = QPointF(v[0], v[1]);
        }
        break;
    case OfdAbbreviatedDataItem::DataType_Line:
        if (v.size() >= 2)
            path->lineTo(v[0], v[1]);
        break;
    case OfdAbbreviatedDataItem::DataType_Quadratic:
        if (v.size() >= 4)
            path->quadTo(v[0], v[1], v[2], v[3]);
        break;
    case OfdAbbreviatedDataItem::DataType_Cubic:
        if (v.size() >= 6)
            path->cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    case OfdAbbreviatedDataItem::DataType_Arc: {
        // rx, ry and the end point are lengths (pixels); the rotation and both flags are not.
        const QList<double> &mm = item.GetValues();
        if (v.size() >= 7 && mm.size() >= 7)
            AppendEllipticalArc(*path, v[0], v[1], mm[2], mm[3] != 0, mm[4] != 0, QPointF(v[5], v[6]));
        break;
    }
    case OfdAbbreviatedDataItem::DataType_Close:
        path->closeSubpath();
        break;
    default:
        break;
    }
}

QPainterPath OfdVisualItemPath::CreatePainterPath()
{
    QPainterPath path;
    OfdPageItemPath *object = PathItem();
    if (!object)
        return path;
    object->GetAbbreviatedData().ToValuesQt();
    for (const OfdAbbreviatedDataItem *item : object->GetAbbreviatedData().GetItems())
        CreatePainterPathItem(*item, &path);
    path.setFillRule(object->IsNonZeroRule() ? Qt::WindingFill : Qt::OddEvenFill);
    return path;
}

const QPainterPath &OfdVisualItemPath::GetPainterPath()
{
    if (!m_path) {
        m_path = std::make_unique<QPainterPath>(CreatePainterPath());
        m_bounds = std::make_unique<QRectF>(m_path->controlPointRect().adjusted(-2, -2, 2, 2));
        // A thick pen reaches beyond the control points.
        if (const QPen *pen = GetPen()) {
            const double grow = pen->widthF() * qMax(1.0, PathItem()->GetMiterLimit() / 2);
            *m_bounds = m_bounds->adjusted(-grow, -grow, grow, grow);
        }
    }
    return *m_path;
}

void OfdVisualItemPath::Init()
{
    OfdVisualItem::Init();
    prepareGeometryChange();
    GetPainterPath();
}

QRectF OfdVisualItemPath::boundingRect() const
{
    return m_bounds ? *m_bounds : QRectF();
}

QPen OfdVisualItemPath::CreateQtPen() const
{
    OfdPageItemPath *object = PathItem();
    QPen pen;
    if (object->GetStrokeColor().IsCreateBrush()) {
        // A shading strokes the outline with its brush, in the object's space like a fill.
        pen = QPen(object->GetStrokeColor().CreateBrush(), 1);
    } else if (HasOwnColor(object->GetStrokeColor()))
        pen = CreatePen(object->GetStrokeColor(), object->GetStrokeColorSpace(), object->GetAlpha());
    else
        pen = CreateDefaultPen(object->GetAlpha());

    // Widths are kept exact: rounding them to whole pixels would make every line too thin or too thick
    // once the page is zoomed or printed. A width of 0 is the thinnest line the device can draw.
    const double width = OfdConvert::OfdMMToPixel(object->GetLineWidth());
    pen.setWidthF(std::isfinite(width) && width > 0 ? width : 0);

    const QString &join = object->GetJoin();
    // A miter longer than the limit falls back to a bevel (Qt's plain miter join would cut it off
    // at the limit instead).
    pen.setJoinStyle(join == QLatin1String("Round")   ? Qt::RoundJoin
                     : join == QLatin1String("Bevel") ? Qt::BevelJoin
                                                      : Qt::SvgMiterJoin);
    const QString &cap = object->GetCap();
    pen.setCapStyle(cap == QLatin1String("Round")    ? Qt::RoundCap
                    : cap == QLatin1String("Square") ? Qt::SquareCap
                                                     : Qt::FlatCap);
    // The format's miter limit is the ratio of miter length to line width, as in SVG; Qt's SVG miter
    // join takes the same number and falls back to a bevel beyond it.
    const double miter = object->GetMiterLimit();
    pen.setMiterLimit(std::isfinite(miter) && miter > 0 ? miter : 4.234);

    if (object->IsHaveDashPattern() && pen.widthF() > 0) {
        QVector<qreal> dashes;
        bool positive = false;
        for (float d : object->GetDashPattern()) {
            const double px = OfdConvert::OfdMMToPixel(qMax(0.0, double(d))) / pen.widthF();
            dashes.append(std::isfinite(px) ? px : 0);
            positive = positive || px > 0;
        }
        if (dashes.size() % 2 == 1)
            dashes += dashes; // an odd pattern repeats with roles swapped
        if (positive) {
            pen.setDashPattern(dashes);
            pen.setDashOffset(OfdConvert::OfdMMToPixel(object->GetDashOffset()) / pen.widthF());
        }
    }
    return pen;
}

const QPen *OfdVisualItemPath::GetPen()
{
    OfdPageItemPath *object = PathItem();
    if (!object || !object->IsStroke())
        return nullptr;
    if (!m_pen)
        m_pen = std::make_unique<QPen>(CreateQtPen());
    return m_pen.get();
}

QBrush OfdVisualItemPath::CreateQtBrush() const
{
    OfdPageItemPath *object = PathItem();
    if (!object || !object->IsFill())
        return QBrush();
    const OfdTypeFillColor &fill = object->GetFillColor();
    if (fill.IsCreateBrush())
        return fill.CreateBrush();
    if (!fill.IsSet() || (!fill.IsHaveValue() && !fill.GetSpecialColor()))
        return QBrush();
    return CreateBrush(fill, object->GetFillColorSpace(), object->GetAlpha());
}

void OfdVisualItemPath::PaintItem(QPainter *painter)
{
    OfdPageItemPath *object = PathItem();
    if (!object)
        return;
    if (m_source)
        m_source->InitPainter(painter);
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_firstPaint) {
        m_firstPaint = false;
        prepareGeometryChange();
    }
    const QPainterPath &path = GetPainterPath();
    // Clipped to its boundary, grown by half the line so that strokes along the edge stay whole.
    ApplyCompositeClips(painter);
    const double halfLine = object->IsStroke() ? OfdConvert::OfdMMToPixel(object->GetLineWidth()) / 2 : 0;
    ApplyBoundaryClip(painter, qMax(2.0, halfLine));
    ApplyObjectClips(painter);

    if (object->IsFill()) {
        painter->save();
        const OfdTypeFillColor &fill = object->GetFillColor();
        if (fill.IsDrawPattern()) {
            painter->setClipPath(path, Qt::IntersectClip);
            if (object->GetAlpha() != 255)
                painter->setOpacity(painter->opacity() * object->GetAlpha() / 255.0);
            // One cell drawer for all tiles: the cell's objects are built once per fill.
            OfdPatternCellDrawer drawer;
            const auto *pattern = static_cast<const OfdSpecialColorPattern *>(fill.GetSpecialColor());
            pattern->DrawPattern(
                painter, path.boundingRect(), fill, OfdConvert::PxOfOneMM, object->GetBoundaryOrigin(),
                [&drawer](QPainter *p, const OfdSpecialColorPattern &cell, const OfdTypeFillColor &owner,
                          double unitsPerMM) { drawer.Draw(p, cell, owner, unitsPerMM); });
        } else {
            const QBrush brush = CreateQtBrush();
            if (brush.style() != Qt::NoBrush) {
                if (fill.IsCreateBrush() && object->GetAlpha() != 255)
                    painter->setOpacity(painter->opacity() * object->GetAlpha() / 255.0);
                painter->fillPath(path, brush);
            }
        }
        painter->restore();
    }
    if (const QPen *pen = GetPen())
        StrokePath(painter, path, *pen);
}

void StrokePath(QPainter *painter, const QPainterPath &path, const QPen &pen)
{
    // Qt draws lines thinner than a device pixel with its cosmetic stroker, which ignores the dash
    // pattern: such lines are filled as their dashed outline instead.
    const QTransform &device = painter->deviceTransform();
    const double scale = std::sqrt(std::fabs(device.determinant()));
    if (pen.style() == Qt::CustomDashLine && pen.widthF() > 0 && pen.widthF() * scale < 1.5) {
        QPainterPathStroker stroker(pen);
        painter->fillPath(stroker.createStroke(path), pen.brush());
        return;
    }
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(path);
}

void OfdVisualItemPath::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!IsVisible())
        return;
    painter->save();
    if (m_source && m_source->IsHighlight())
        painter->setCompositionMode(QPainter::CompositionMode_Multiply);
    PaintItem(painter);
    painter->restore();
}

void OfdVisualItemPath::DrawPattern(QPainter *painter)
{
    painter->save();
    PlaceInPatternCell(painter);
    PaintItem(painter);
    painter->restore();
}

QPainterPath OfdVisualItemPath::CreatePainterPathClip()
{
    if (!m_clipOutline) {
        QPainterPath path = CreatePainterPath();
        QTransform t;
        QRectF boundary;
        if (m_pageItem && m_pageItem->GetCTM().IsValidate())
            OfdConvert::ToQTransform(m_pageItem->GetCTM(), t);
        if (GetBoundary(boundary))
            t = t * QTransform::fromTranslate(boundary.x(), boundary.y());
        m_clipOutline = std::make_unique<QPainterPath>(t.map(path));
        m_clipOutline->setFillRule(path.fillRule());
    }
    return *m_clipOutline;
}
