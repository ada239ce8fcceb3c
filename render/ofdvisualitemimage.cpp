#include "render/ofdvisualitemimage.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "model/content/ofdconvert.h"
#include "model/content/ofdpageitemimage.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/xml/xmlnode.h"
#include "render/imaging/ofdimagecache.h"
#include "render/imaging/ofdimagedecoder.h"
#include "render/pdf/ofdpdfengine.h"

OfdVisualItemImage::OfdVisualItemImage(OfdPageItem *pageItem, QGraphicsItem *parent)
    : OfdVisualItem(pageItem, parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

QImage OfdVisualItemImage::GetImage()
{
    if (m_unreadable)
        return QImage();
    if (!m_cacheKey.isEmpty()) {
        const QImage cached = OfdImageCache::Instance().Find(m_cacheKey);
        if (!cached.isNull())
            return cached;
    }
    auto *image = static_cast<OfdPageItemImage *>(m_pageItem);
    if (!image || image->GetItemType() != EN_PageItemType_Image) {
        m_unreadable = true;
        return QImage();
    }
    const QByteArray bytes = image->GetMultiMediaData();
    if (bytes.isEmpty()) {
        m_unreadable = true;
        return QImage();
    }
    if (m_cacheKey.isEmpty()) {
        m_cacheKey = OfdImageCache::KeyOf(bytes);
        // Another item may have decoded the same picture already.
        const QImage cached = OfdImageCache::Instance().Find(m_cacheKey);
        if (!cached.isNull())
            return cached;
    }
    OfdTypeMultiMedia *media = image->GetMultiMedia();
    const QString hint =
        media ? (media->GetFormat().isEmpty() ? media->GetMediaFile() : media->GetFormat()) : QString();
    const QImage decoded = OfdImageDecoder::Decode(bytes, hint);
    if (decoded.isNull()) {
        m_unreadable = true;
        return decoded;
    }
    OfdImageCache::Instance().Insert(m_cacheKey, decoded);
    return decoded;
}

QRectF OfdVisualItemImage::GetImageRect() const
{
    if (m_pageItem && m_pageItem->GetCTM().IsValidate()) {
        // The picture fills the unit square of the object's space; the CTM stretches it.
        const double unit = OfdConvert::PxOfOneMM;
        return QRectF(0, 0, unit, unit);
    }
    QRectF boundary;
    if (GetBoundary(boundary))
        return QRectF(0, 0, boundary.width(), boundary.height());
    return QRectF();
}

QRectF OfdVisualItemImage::boundingRect() const
{
    return GetImageRect().adjusted(-1, -1, 1, 1);
}

void OfdVisualItemImage::PaintItem(QPainter *painter)
{
    const QRectF target = GetImageRect();
    const QImage &image = GetImage();
    if (target.isEmpty() || image.isNull())
        return;
    painter->save();
    ApplyCompositeClips(painter);
    ApplyBoundaryClip(painter);
    ApplyObjectClips(painter);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_pageItem && m_pageItem->GetAlpha() != 255)
        painter->setOpacity(painter->opacity() * m_pageItem->GetAlpha() / 255.0);
    if (OfdPdfDevice::EngineOf(painter)) {
        // PDF files take the document's own JPEG bytes where they can, not the picture encoded again.
        auto *item = static_cast<OfdPageItemImage *>(m_pageItem);
        OfdPdfDevice::DrawImage(painter, target, image, item ? item->GetMultiMediaData() : QByteArray());
    } else {
        painter->drawImage(target, image);
    }
    painter->restore();
}

void OfdVisualItemImage::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!IsVisible())
        return;
    PaintItem(painter);
    if (m_selected) {
        painter->save();
        QPen pen(QColor(8, 120, 215), 0, Qt::DashLine);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->setBrush(QColor(8, 120, 215, 40));
        painter->drawRect(GetImageRect());
        painter->restore();
    }
}

void OfdVisualItemImage::DrawPattern(QPainter *painter)
{
    painter->save();
    PlaceInPatternCell(painter);
    PaintItem(painter);
    painter->restore();
}

void OfdVisualItemImage::SetImageSelected(bool selected)
{
    m_selected = selected;
    update();
}

void OfdVisualItemImage::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit SignalLeftButtonDown(this);
    event->ignore(); // the scene's own handling (dragging, selecting) goes on
}
