#include "render/ofdvisualitemtext.h"

#include <QFontMetricsF>
#include <QPainter>

#include "render/content/ofdconvert.h"
#include "render/content/ofddocumentaccess.h"
#include "render/content/ofdpageitemtext.h"
#include "render/content/ofdtypefont.h"
#include "render/content/ofdtypetextcodemanage.h"
#include "render/fonts/fontsubstitution.h"
#include "render/ofdpagescene.h"

OfdVisualItemText::OfdVisualItemText(OfdPageItem *pageItem, QGraphicsItem *parent)
    : OfdVisualItem(pageItem, parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

OfdVisualItemText::~OfdVisualItemText() = default;

OfdPageItemText *OfdVisualItemText::TextItem() const
{
    return m_pageItem && m_pageItem->GetItemType() == EN_PageItemType_Text
               ? static_cast<OfdPageItemText *>(m_pageItem)
               : nullptr;
}

bool OfdVisualItemText::CreateQtFont()
{
    if (m_fontTried)
        return bool(m_font);
    m_fontTried = true;
    OfdPageItemText *text = TextItem();
    if (!text || !text->GetOfdFile() || text->GetFontSize() == 0)
        return false;
    OfdTypeFont *resource = text->GetOfdFile()->GetFont(text->GetFontID());
    if (!resource)
        return false;
    double size = std::abs(text->GetFontSize());
    if (size > 60) {
        m_fontScale = size / 60;
        size = 60;
    }
    QFont font;
    if (!resource->GetFontFile().isEmpty()) {
        const QString family = text->GetOfdFile()->GetFontFromEmbedFile(resource->GetFontFile());
        font.setFamily(family.isEmpty() ? QStringLiteral("Simsun") : family);
    } else {
        FontSubstitution::Resolve(resource->GetFontName(), resource->GetFamilyName()).ApplyTo(font);
    }
    font.setPixelSize(qMax(1, qRound(OfdConvert::OfdMMToPixel(size))));
    m_font = std::make_unique<QFont>(font);
    return true;
}

bool OfdVisualItemText::GetQtFont(QFont &font)
{
    if (!CreateQtFont())
        return false;
    font = *m_font;
    return true;
}

void OfdVisualItemText::EnsureCharRecords()
{
    if (m_measured)
        return;
    m_measured = true;
    OfdPageItemText *text = TextItem();
    if (!text || !CreateQtFont())
        return;
    const QFontMetricsF metrics(*m_font);
    const OfdTypeTextCodeManage &codes = text->GetTextCodeManage();
    QRectF bounds;
    for (int i = 0; i < codes.GetCharCount(); ++i) {
        QChar ch;
        double x = 0, y = 0;
        if (!codes.GetChar(i, ch, x, y))
            break;
        const QPointF p = OfdConvert::OfdMMToPixel(QPointF(x, y));
        const double w = metrics.horizontalAdvance(ch) * m_fontScale;
        QRectF r(p.x(), p.y() - metrics.ascent() * m_fontScale, w, metrics.height() * m_fontScale);
        r.adjust(-std::abs(0.1 * w), 0, std::abs(0.1 * w), 0);
        OfdVisualTextInfo info;
        info.item = this;
        info.text = QString(ch);
        info.itemRect = r;
        info.sceneRect = mapRectToScene(r);
        m_chars.append(info);
        bounds |= r;
    }
    prepareGeometryChange();
    m_bounds = std::make_unique<QRectF>(bounds.adjusted(-2, -2, 2, 2));
}

QRectF OfdVisualItemText::boundingRect() const
{
    return m_bounds ? *m_bounds : QRectF();
}

QRectF OfdVisualItemText::GetGraphicsBoundary() const
{
    return mapRectToScene(boundingRect());
}

void OfdVisualItemText::PaintItem(QPainter *painter)
{
    OfdPageItemText *text = TextItem();
    if (!text || !CreateQtFont())
        return;
    for (const OfdVisualTextInfo &info : m_chars) {
        if (m_selected && m_scene && m_scene->IsShowSelect() &&
            !m_selectArea.intersected(QPolygonF(info.itemRect)).isEmpty())
            painter->fillRect(info.itemRect, QColor(8, 120, 215));
    }
    for (const OfdVisualTextInfo &info : m_searchHits)
        painter->fillRect(info.itemRect, QColor(255, 150, 50));
    painter->setFont(*m_font);
    painter->setPen(Qt::black);
    const OfdTypeTextCodeManage &codes = text->GetTextCodeManage();
    for (int i = 0; i < codes.GetCharCount(); ++i) {
        QChar ch;
        double x = 0, y = 0;
        if (!codes.GetChar(i, ch, x, y))
            break;
        const QPointF p = OfdConvert::OfdMMToPixel(QPointF(x, y));
        painter->save();
        painter->translate(p);
        painter->scale(m_fontScale, m_fontScale);
        painter->drawText(QPointF(0, 0), QString(ch));
        painter->restore();
    }
}

void OfdVisualItemText::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!IsVisible())
        return;
    const bool first = !m_measured;
    EnsureCharRecords();
    painter->save();
    PaintItem(painter);
    painter->restore();
    if (first && m_scene)
        m_scene->OnItemFirstPainter();
}

void OfdVisualItemText::DrawPattern(QPainter *painter)
{
    painter->save();
    QRectF boundary;
    if (GetBoundary(boundary))
        painter->translate(boundary.topLeft());
    SetCTMTransfer(painter);
    PaintItem(painter);
    painter->restore();
}

QPainterPath OfdVisualItemText::CreatePainterPathClip()
{
    return QPainterPath();
}

bool OfdVisualItemText::SetSelectArea(bool selected, const QPolygonF &area)
{
    m_selected = selected;
    m_selectArea = area;
    update();
    return selected && !GetSelectedChars().isEmpty();
}

QList<OfdVisualTextInfo> OfdVisualItemText::GetSelectedChars() const
{
    QList<OfdVisualTextInfo> chars;
    if (!m_selected)
        return chars;
    for (const OfdVisualTextInfo &info : m_chars) {
        if (!m_selectArea.intersected(QPolygonF(info.itemRect)).isEmpty())
            chars.append(info);
    }
    return chars;
}

QString OfdVisualItemText::GetSelectText() const
{
    QString text;
    for (const OfdVisualTextInfo &info : GetSelectedChars())
        text += info.text;
    return text;
}

void OfdVisualItemText::AddSearch(const OfdVisualTextInfo &info)
{
    m_searchHits.append(info);
    update();
}

void OfdVisualItemText::ClearSearch()
{
    if (m_searchHits.isEmpty())
        return;
    m_searchHits.clear();
    update();
}

void OfdVisualItemText::SetCustomTagMark(bool marked)
{
    m_customTag = marked;
    update();
}
