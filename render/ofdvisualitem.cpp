#include "render/ofdvisualitem.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <memory>

#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitem.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypepageclip.h"
#include "model/content/ofdtypepageclip_area.h"
#include "model/content/ofdtypepageclips.h"
#include "model/content/ofdvisualitemtransfer.h"
#include "model/content/ofdxmlpageblock.h"
#include "render/ofdscenebuilder.h"

OfdVisualItem::OfdVisualItem(OfdPageItem *pageItem, QGraphicsItem *parent)
    : QGraphicsObject(parent), m_pageItem(pageItem)
{
}

OfdVisualItem::~OfdVisualItem() = default;

void OfdVisualItem::RemoveFromScene()
{
    if (scene())
        scene()->removeItem(this);
}

void OfdVisualItem::DrawPattern(QPainter *) {}

void OfdVisualItem::SetVisiable(bool visible)
{
    setVisible(visible);
}

void OfdVisualItem::CreateXml(OfdContentWriter *, XmlNode *) {}

QPainterPath OfdVisualItem::CreatePainterPathClip()
{
    return QPainterPath();
}

int OfdVisualItem::GetItemIdRef() const
{
    return m_pageItem ? m_pageItem->GetID() : 0;
}

bool OfdVisualItem::GetBoundary(QRectF &rect) const
{
    if (!m_pageItem || !m_pageItem->IsBoundaryValid())
        return false;
    rect = m_pageItem->GetBoundary();
    OfdConvert::OfdMMToPixel(rect);
    return true;
}

bool OfdVisualItem::IsVisible() const
{
    return !m_pageItem || m_pageItem->IsVisible();
}

QRectF OfdVisualItem::GetGraphicsBoundary() const
{
    return mapRectToScene(boundingRect());
}

QString OfdVisualItem::GetOfdCTM() const
{
    const QTransform t = transform();
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(OfdHelper::NumberText(t.m11()), OfdHelper::NumberText(t.m12()), OfdHelper::NumberText(t.m21()),
             OfdHelper::NumberText(t.m22()), OfdHelper::NumberText(OfdConvert::OfdPixelToMM(t.dx())),
             OfdHelper::NumberText(OfdConvert::OfdPixelToMM(t.dy())));
}

bool OfdVisualItem::SetCTMTransfer(QPainter *painter) const
{
    if (!m_ctm)
        return false;
    painter->setWorldTransform(*m_ctm, true);
    return true;
}

void OfdVisualItem::PlaceInPatternCell(QPainter *painter) const
{
    QRectF boundary;
    if (GetBoundary(boundary))
        painter->translate(boundary.topLeft());
    SetCTMTransfer(painter);
}

void OfdVisualItem::AppendTransfer(OfdVisualItemTransfer *transfer)
{
    m_transfers.emplace_back(transfer);
}

void OfdVisualItem::InsertTransfer(OfdVisualItemTransfer *transfer)
{
    m_transfers.emplace(m_transfers.begin(), transfer);
}

QTransform OfdVisualItem::GetParentTransform() const
{
    // Each step applies before everything set so far: the outermost placement, set first, applies
    // last.
    QTransform result;
    for (const auto &transfer : m_transfers) {
        if (const QRectF *boundary = transfer->GetBoundary()) {
            const QPointF origin = OfdConvert::OfdMMToPixel(boundary->topLeft());
            result = QTransform::fromTranslate(origin.x(), origin.y()) * result;
        }
        if (const OfdTypeCTM *ctm = transfer->GetCTM()) {
            QTransform t;
            OfdConvert::ToQTransform(*ctm, t);
            result = t * result;
        }
    }
    return result;
}

void OfdVisualItem::SetParentTransfer()
{
    if (!m_transfers.empty())
        setTransform(GetParentTransform(), true);
}

void OfdVisualItem::SetCTMTransfer()
{
    if (!m_pageItem)
        return;
    QRectF boundary;
    if (GetBoundary(boundary))
        setTransform(QTransform::fromTranslate(boundary.x(), boundary.y()), true);
    if (m_pageItem->GetCTM().IsValidate()) {
        m_ctm = std::make_unique<QTransform>();
        OfdConvert::ToQTransform(m_pageItem->GetCTM(), *m_ctm);
        setTransform(*m_ctm, true);
    }
}

void OfdVisualItem::Init()
{
    SetParentTransfer();
    SetCTMTransfer();
}

QPen OfdVisualItem::CreatePen(const OfdTypeFillColor &color, const OfdTypeColorSpace *space, int alpha)
{
    return QPen(CreateBrush(color, space, alpha).color());
}

QBrush OfdVisualItem::CreateBrush(const OfdTypeFillColor &color, const OfdTypeColorSpace *space, int alpha)
{
    QColor c = space ? OfdHelper::CreateQColor(color, *space) : color.CreateQColor();
    if (alpha != 255)
        c.setAlpha(qBound(0, alpha, 255) * c.alpha() / 255);
    return QBrush(c);
}

QPen OfdVisualItem::CreateDefaultPen(int alpha)
{
    return QPen(QColor(0, 0, 0, qBound(0, alpha, 255)));
}

bool OfdVisualItem::GetVisualClipPixel(QPolygonF &polygon, double grow) const
{
    QRectF boundary;
    if (!GetBoundary(boundary))
        return false;
    const QRectF local(-grow, -grow, boundary.width() + 2 * grow, boundary.height() + 2 * grow);
    polygon = QPolygonF(local);
    if (m_ctm && m_ctm->isInvertible())
        polygon = m_ctm->inverted().map(polygon);
    return true;
}

bool OfdVisualItem::GetVisualClipPixel_Path(QPainterPath &path, EN_OfdVisualItemType) const
{
    QPolygonF polygon;
    if (!GetVisualClipPixel(polygon))
        return false;
    path = QPainterPath();
    path.addPolygon(polygon);
    path.closeSubpath();
    return true;
}

void OfdVisualItem::PrepareClips()
{
    OfdTypePageClips *clips = m_pageItem ? m_pageItem->GetClips() : nullptr;
    if (!clips)
        return;
    for (OfdTypePageClip *clip : clips->GetClipList()) {
        for (OfdTypePageClip_Area *area : clip->GetAreas()) {
            if (area->GetItemOutlineCount() > 0 || !area->GetAreaNode())
                continue;
            std::unique_ptr<OfdXmlPageBlock> block(
                CreatePageBlockFromNode(area->GetAreaNode(), m_pageItem->GetOfdFile()));
            if (!block)
                continue;
            block->SetPageRefId(m_pageItem->GetPageRefId());
            for (OfdVisualItem *item : OfdSceneBuilder::CreateItems(nullptr, block->GetItems(), nullptr)) {
                const int kind = item->GetItemType();
                QPainterPath outline = item->CreatePainterPathClip();
                if (area->GetCTM().IsValidate()) {
                    QTransform areaCtm;
                    OfdConvert::ToQTransform(area->GetCTM(), areaCtm);
                    outline = areaCtm.map(outline);
                }
                if (!outline.isEmpty() &&
                    (kind == EN_OfdVisualItemType_Text || kind == EN_OfdVisualItemType_Path))
                    area->AddItemOutline(kind == EN_OfdVisualItemType_Text
                                             ? OfdTypePageClip_Area::Outline_Text
                                             : OfdTypePageClip_Area::Outline_Path,
                                         outline);
                delete item;
            }
        }
    }
}

bool OfdVisualItem::ApplyObjectClips(QPainter *painter)
{
    OfdTypePageClips *clips = m_pageItem ? m_pageItem->GetClips() : nullptr;
    if (!clips)
        return false;
    PrepareClips();
    // Clip outlines are in the object's boundary space; the item paints before its CTM.
    std::unique_ptr<QPainterPath> clipPath(clips->GetPainterClip(m_ctm.get()));
    if (!clipPath || clipPath->isEmpty())
        return false;
    painter->setClipPath(*clipPath, Qt::IntersectClip);
    return true;
}

namespace {
void IntersectClip(QPainter *painter, const QPolygonF &polygon)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    painter->setClipPath(path, Qt::IntersectClip);
}
} // namespace

bool OfdVisualItem::ApplyBoundaryClip(QPainter *painter, double grow) const
{
    QPolygonF polygon;
    if (!GetVisualClipPixel(polygon, std::isfinite(grow) && grow > 0 ? grow : 0))
        return false;
    IntersectClip(painter, polygon);
    return true;
}

bool OfdVisualItem::ApplyCompositeClips(QPainter *painter) const
{
    if (m_transfers.empty() || !transform().isInvertible())
        return false;
    // Each composite's boundary lies in the space its outer composites place it in; the item paints
    // in its own space, the whole of transform() away from the outermost one's.
    const QTransform toItem = transform().inverted();
    QTransform outer;
    bool any = false;
    for (const auto &transfer : m_transfers) {
        QTransform own;
        if (const QRectF *boundary = transfer->GetBoundary()) {
            if (boundary->width() > 0 && boundary->height() > 0) {
                QRectF rect = *boundary;
                OfdConvert::OfdMMToPixel(rect);
                IntersectClip(painter, toItem.map(outer.map(QPolygonF(rect.adjusted(-2, -2, 2, 2)))));
                any = true;
            }
            const QPointF origin = OfdConvert::OfdMMToPixel(boundary->topLeft());
            own = QTransform::fromTranslate(origin.x(), origin.y());
        }
        if (const OfdTypeCTM *ctm = transfer->GetCTM()) {
            QTransform t;
            OfdConvert::ToQTransform(*ctm, t);
            own = t * own;
        }
        outer = own * outer;
    }
    return any;
}
