#include "render/ofdpagescene.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QMenu>

#include <memory>

#include <algorithm>

#include "model/content/ofdconvert.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmlpagemanage.h"
#include "render/graphicsitemlayermanage.h"
#include "render/ofdscenebuilder.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemimage.h"
#include "render/ofdvisualitemseal.h"
#include "render/ofdvisualitemsignseal.h"
#include "render/ofdvisualitemtext.h"
#include "render/ofdvisualtextinfo.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sealsigninfo.h"

namespace {
// Posted to itself after the first item painted, to run a pending search.
const QEvent::Type kFirstPaintEvent = QEvent::Type(QEvent::User + 101);

// Groups characters into lines (top to bottom) and orders each line left to right. Two characters
// share a line when their vertical centres are closer than half the smaller height.
QVector<QVector<OfdVisualTextInfo>> GroupLines(QVector<OfdVisualTextInfo> chars)
{
    std::stable_sort(chars.begin(), chars.end(), [](const OfdVisualTextInfo &a, const OfdVisualTextInfo &b) {
        return a.sceneRect.center().y() < b.sceneRect.center().y();
    });
    QVector<QVector<OfdVisualTextInfo>> lines;
    double lineCenter = 0;
    double lineHeight = 0;
    for (const OfdVisualTextInfo &c : chars) {
        const double cy = c.sceneRect.center().y();
        const double h = qMax(1.0, c.sceneRect.height());
        if (!lines.isEmpty() && qAbs(cy - lineCenter) < 0.5 * qMin(h, lineHeight)) {
            lines.last().append(c);
        } else {
            lines.append(QVector<OfdVisualTextInfo>{c});
            lineCenter = cy;
            lineHeight = h;
        }
    }
    for (QVector<OfdVisualTextInfo> &line : lines) {
        std::stable_sort(line.begin(), line.end(),
                         [](const OfdVisualTextInfo &a, const OfdVisualTextInfo &b) {
                             return a.sceneRect.left() < b.sceneRect.left();
                         });
    }
    return lines;
}

OfdPageScene::AnnotHookFactory &AnnotHookFactoryRef()
{
    static OfdPageScene::AnnotHookFactory factory;
    return factory;
}

QString JoinLines(const QVector<QVector<OfdVisualTextInfo>> &lines)
{
    QStringList out;
    for (const QVector<OfdVisualTextInfo> &line : lines) {
        QString text;
        for (const OfdVisualTextInfo &c : line)
            text += c.text;
        out.append(text);
    }
    return out.join(QLatin1Char('\n'));
}
} // namespace

OfdPageScene::OfdPageScene(QObject *parent)
    : QGraphicsScene(parent), m_layers(std::make_unique<GraphicsItemLayerManage>())
{
    setBackgroundBrush(QBrush(Qt::white));
}

OfdPageScene::~OfdPageScene()
{
    // Items refer to the page objects of the composite blocks: remove them first.
    clear();
    m_annotHook.reset();
}

OfdPageSceneAnnotHook::~OfdPageSceneAnnotHook() = default;

void OfdPageScene::SetAnnotHookFactory(const AnnotHookFactory &factory)
{
    AnnotHookFactoryRef() = factory;
}

void OfdPageScene::AddLayerItem(QGraphicsItem *item, int layer)
{
    m_layers->AddItem(item, static_cast<EN_VisualItemLayer>(qBound(0, layer, int(EN_VisualItemLayer_Max))));
    if (m_created && item->scene() != this)
        addItem(item);
}

void OfdPageScene::RemoveLayerItem(QGraphicsItem *item)
{
    m_layers->RemoveItem(item);
}

void OfdPageScene::SetPageIndex(int document, int page)
{
    m_documentIndex = document;
    m_pageIndex = page;
    m_document = m_viewManage ? m_viewManage->GetOfdFile(document) : nullptr;
    m_pageManage = m_document ? m_document->GetPageManage() : nullptr;
    m_page = m_pageManage ? m_pageManage->GetOfdPage(page, true) : nullptr;
    InitPageArea();
}

void OfdPageScene::InitPageArea()
{
    QRectF box;
    if (m_document && m_document->GetPageArea_PhysicalBox(m_pageIndex, box)) {
        OfdConvert::OfdMMToPixel(box);
        m_pageRect = box;
    } else {
        m_pageRect = QRectF();
    }
}

int OfdPageScene::GetPageRefId() const
{
    return m_page ? m_page->GetPageRefId() : 0;
}

QString OfdPageScene::GetPageFullPath() const
{
    return m_page ? m_page->GetPageFullPath() : QString();
}

int OfdPageScene::NextItemId()
{
    int &counter = m_externalCounter ? *m_externalCounter : m_itemCounter;
    return ++counter;
}

void OfdPageScene::RegisterVisualItem(OfdVisualItem *item)
{
    item->SetItemId(NextItemId());
    item->SetOfdScene(this);
    item->SetpageSizePixel(QRectF(0, 0, m_pageRect.width(), m_pageRect.height()));
    if (item->GetItemType() == EN_OfdVisualItemType_Text) {
        m_textItems.append(static_cast<OfdVisualItemText *>(item));
        m_orderedValid = false;
    }
    if (item->GetItemType() == EN_OfdVisualItemType_Image)
        connect(static_cast<OfdVisualItemImage *>(item), &OfdVisualItemImage::SignalLeftButtonDown, this,
                &OfdPageScene::OnImageLeftButtonDown);
}

QList<OfdXmlPageLayer *> OfdPageScene::StackedLayers(const QList<OfdXmlPageLayerGroup *> &groups)
{
    // Background templates, the page's own content, then foreground templates; within each content
    // file, layers by their Type the same way. Equal ranks keep document order.
    struct Entry
    {
        int groupRank;
        int layerRank;
        OfdXmlPageLayer *layer;
    };
    QVector<Entry> entries;
    for (OfdXmlPageLayerGroup *group : groups) {
        const int groupRank =
            group->GetTemplateFlag() ? (OfdXmlPageLayer::StackRank(group->GetKind()) > 0 ? 1 : -1) : 0;
        for (OfdXmlPageLayer *layer : group->GetLayers())
            entries.append({groupRank, OfdXmlPageLayer::StackRank(layer->GetType()), layer});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.groupRank != b.groupRank ? a.groupRank < b.groupRank : a.layerRank < b.layerRank;
    });
    QList<OfdXmlPageLayer *> layers;
    for (const Entry &entry : qAsConst(entries))
        layers.append(entry.layer);
    return layers;
}

void OfdPageScene::CreateScene()
{
    if (m_created)
        return;
    m_created = true;
    setSceneRect(0, 0, m_pageRect.width(), m_pageRect.height());
    setBackgroundBrush(QBrush(Qt::white));
    if (m_page) {
        for (OfdXmlPageLayer *layer : StackedLayers(m_page->GetGroups()))
            CreateSceneLayer(layer);
    }
    if (!m_annotHook && AnnotHookFactoryRef())
        m_annotHook.reset(AnnotHookFactoryRef()(this));
    if (m_annotHook)
        m_annotHook->CreateAnnotation();
    CreateSeal();
    // Annotations and seals made above went onto the scene as they were added.
    for (QGraphicsItem *item : m_layers->GetSortItems()) {
        if (item->scene() != this)
            addItem(item);
    }
    m_itemsAdded = true;
    VisualItemToHashGroup();
}

void OfdPageScene::CreateSeal()
{
    auto *signatures =
        m_document ? dynamic_cast<OfdXmlSignatureManage *>(m_document->GetSignatures()) : nullptr;
    if (!signatures || !m_page)
        return;
    QList<OfdXmlSignature *> stamped;
    signatures->GetStampAnnot(QString::number(m_page->GetPageRefId()), stamped);
    for (OfdXmlSignature *signature : stamped)
        AddSignature(signature);
}

int OfdPageScene::AddSignature(OfdXmlSignature *signature)
{
    if (!signature || !m_page)
        return 0;
    QList<const OfdSignatureStampAnnot *> stamps;
    signature->GetStampAnnot(QString::number(m_page->GetPageRefId()), stamps);
    for (const OfdSignatureStampAnnot *stamp : stamps)
        AddSignatureSeal(signature, *stamp);
    return stamps.size();
}

OfdVisualItemSeal *OfdPageScene::AddSignatureSeal(OfdXmlSignature *signature,
                                                  const OfdSignatureStampAnnot &stamp)
{
    auto *item = new OfdVisualItemSeal(signature, stamp);
    RegisterVisualItem(item);
    m_sealItems.append(item);
    m_layers->AddItem(item, EN_VisualItemLayer_Seal);
    if (m_itemsAdded) {
        addItem(item);
        item->ShowVerifyMark(m_verifyShown);
    }
    return item;
}

void OfdPageScene::AdjustVerifySeal()
{
    for (OfdVisualItemSeal *item : qAsConst(m_sealItems))
        item->ShowVerifyMark(m_verifyShown);
}

void OfdPageScene::ShowVerifySeal(bool show)
{
    m_verifyShown = show;
    AdjustVerifySeal();
}

OfdVisualItemSignSeal *OfdPageScene::AddSignSeal(QSharedPointer<SealSignInfo> info)
{
    return AddSignSeal(info, QPointF(GetPageWidthPixel() / 2, GetPageHeightPixel() / 2));
}

OfdVisualItemSignSeal *OfdPageScene::AddSignSeal(QSharedPointer<SealSignInfo> info, const QPointF &centre)
{
    if (!info)
        return nullptr;
    auto *item = new OfdVisualItemSignSeal(this, info);
    item->PlaceAt(centre);
    addItem(item);
    m_signSeals.append(item);
    return item;
}

void OfdPageScene::DeleteSeal(OfdVisualItemSignSeal *item)
{
    if (!item || !m_signSeals.removeOne(item))
        return;
    if (m_dragSeal == item)
        m_dragSeal = nullptr;
    removeItem(item);
    // The item may be the one whose menu asked for this: delete it once the menu is done.
    item->deleteLater();
}

void OfdPageScene::ClearSignSeals()
{
    const QList<OfdVisualItemSignSeal *> seals = m_signSeals;
    for (OfdVisualItemSignSeal *item : seals)
        DeleteSeal(item);
}

QList<QSharedPointer<SealSignInfo>> OfdPageScene::GetSealSignInfo() const
{
    QList<QSharedPointer<SealSignInfo>> infos;
    for (OfdVisualItemSignSeal *item : m_signSeals)
        infos.append(item->GetSealSignInfo());
    return infos;
}

OfdVisualItemSignSeal *OfdPageScene::GetSignSealFromPoint(const QPointF &point) const
{
    if (m_signSeals.isEmpty())
        return nullptr;
    // Placed seals take no mouse buttons themselves, so ask for every item, not only those that
    // would receive the press.
    const QList<QGraphicsItem *> under = items(point, Qt::IntersectsItemShape, Qt::DescendingOrder);
    if (under.isEmpty())
        return nullptr;
    auto *seal = dynamic_cast<OfdVisualItemSignSeal *>(under.first());
    return m_signSeals.contains(seal) ? seal : nullptr;
}

void OfdPageScene::RequestSignSeal(OfdVisualItemSignSeal *item)
{
    emit SignalSignSeal(this, item);
}

void OfdPageScene::ShowSignSealMenu(OfdVisualItemSignSeal *item, const QPoint &screenPos)
{
    if (!item)
        return;
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    menu->exec(screenPos);
}

void OfdPageScene::CreateSceneLayer(OfdXmlPageLayer *layer)
{
    const QList<OfdPageItem *> *objects = layer->GetPageItem();
    if (!objects)
        return;
    for (OfdVisualItem *item : OfdSceneBuilder::CreateItems(this, *objects, &m_unitBlocks)) {
        item->Init();
        m_layers->AddItem(item, EN_VisualItemLayer_Content);
    }
}

void OfdPageScene::VisualItemToHashGroup()
{
    m_itemsById.clear();
    for (QGraphicsItem *g : items(Qt::AscendingOrder)) {
        if (auto *item = dynamic_cast<OfdVisualItem *>(g))
            m_itemsById[item->GetItemIdRef()].append(item);
    }
}

void OfdPageScene::GetVisualItemList(QList<OfdVisualItem *> &list) const
{
    for (QGraphicsItem *g : m_layers->GetSortItems()) {
        if (auto *item = dynamic_cast<OfdVisualItem *>(g))
            list.append(item);
    }
}

QRectF OfdPageScene::GetItemRect(int objectId) const
{
    QRectF rect;
    for (OfdVisualItem *item : m_itemsById.value(objectId)) {
        if (item->GetItemType() == EN_OfdVisualItemType_Text)
            static_cast<OfdVisualItemText *>(item)->EnsureCharRecords();
        rect |= item->GetGraphicsBoundary();
    }
    return rect;
}

QString OfdPageScene::GetFontFromEmbedFile(const QString &path) const
{
    return m_document ? m_document->GetFontFromEmbedFile(path) : QString();
}

float OfdPageScene::GetBaseline(const QFont &font, int fontId, float size) const
{
    return m_document ? m_document->GetBaseline(font, fontId, size) : 0.f;
}

void OfdPageScene::SetMouseShape(EN_MouseShape shape)
{
    m_mouseShape = shape;
    if (m_annotHook)
        m_annotHook->OnMouseShapeChanged();
    if (shape != EN_MouseShape_Text) {
        ClearSelectText();
        ClearSelectImage();
    }
}

void OfdPageScene::ClearSelectText()
{
    for (OfdVisualItemText *item : qAsConst(m_selectedText))
        item->SetSelectArea(false, QPolygonF());
    m_selectedText.clear();
}

void OfdPageScene::ClearSelectImage()
{
    if (m_selectedImage) {
        m_selectedImage->SetImageSelected(false);
        m_selectedImage = nullptr;
        emit SignalImageSelectChange(this, nullptr);
    }
}

void OfdPageScene::ShowSelectFlag(bool show)
{
    m_showSelect = show;
    for (OfdVisualItemText *item : qAsConst(m_selectedText))
        item->update();
}

void OfdPageScene::SelectText(const QRectF &rect)
{
    const QList<OfdVisualItemText *> previous = m_selectedText;
    m_selectedText.clear();
    for (OfdVisualItemText *item : qAsConst(m_textItems)) {
        item->EnsureCharRecords();
        if (!item->IsVisible() || !item->sceneBoundingRect().intersects(rect))
            continue;
        const QPolygonF local = item->mapFromScene(rect);
        if (item->SetSelectArea(true, local))
            m_selectedText.append(item);
        else
            item->SetSelectArea(false, QPolygonF());
    }
    for (OfdVisualItemText *item : previous) {
        if (!m_selectedText.contains(item))
            item->SetSelectArea(false, QPolygonF());
    }
    emit SignalTextSelectChanged(this, m_selectedText);
}

QVector<OfdVisualTextInfo> OfdPageScene::GetCharsInReadingOrder(const QList<OfdVisualItemText *> &textItems)
{
    QVector<OfdVisualTextInfo> chars;
    for (OfdVisualItemText *item : textItems) {
        item->EnsureCharRecords();
        if (item->IsVisible())
            chars += item->GetCharRecords();
    }
    QVector<OfdVisualTextInfo> ordered;
    for (const QVector<OfdVisualTextInfo> &line : GroupLines(chars))
        ordered += line;
    return ordered;
}

const QVector<OfdVisualTextInfo> &OfdPageScene::GetPageCharsInReadingOrder()
{
    if (!m_orderedValid) {
        m_orderedChars = GetCharsInReadingOrder(m_textItems);
        m_orderedValid = true;
    }
    return m_orderedChars;
}

QString OfdPageScene::GetCopyText() const
{
    QVector<OfdVisualTextInfo> chars;
    for (OfdVisualItemText *item : m_selectedText)
        chars += item->GetSelectedChars();
    return JoinLines(GroupLines(chars));
}

void OfdPageScene::ActionCopyClick()
{
    const QString text = GetCopyText();
    if (!text.isEmpty() && QGuiApplication::clipboard())
        QGuiApplication::clipboard()->setText(text);
}

QString OfdPageScene::GetPageText()
{
    QVector<OfdVisualTextInfo> chars;
    for (OfdVisualItemText *item : qAsConst(m_textItems)) {
        item->EnsureCharRecords();
        if (item->IsVisible())
            chars += item->GetCharRecords();
    }
    return JoinLines(GroupLines(chars));
}

void OfdPageScene::InitTextSearch()
{
    for (OfdVisualItemText *item : qAsConst(m_textItems))
        item->ClearSearch();
    m_searchHits.clear();
    m_pendingSearch.clear();
}

int OfdPageScene::SearchText(const QString &text)
{
    InitTextSearch();
    QString needle;
    for (const QChar c : text) {
        if (!c.isSpace())
            needle += c;
    }
    needle = needle.toCaseFolded();
    if (needle.isEmpty())
        return 0;

    // The page's characters in reading order, white space left out, each with its record.
    const QVector<OfdVisualTextInfo> &chars = GetPageCharsInReadingOrder();
    QString hay;
    QList<int> owner; // index into chars for each character of hay
    for (int i = 0; i < chars.size(); ++i) {
        for (const QChar c : chars[i].text.toCaseFolded()) {
            if (c.isSpace())
                continue;
            hay += c;
            owner.append(i);
        }
    }
    int count = 0;
    for (int from = 0;;) {
        const int at = hay.indexOf(needle, from);
        if (at < 0)
            break;
        ++count;
        int last = -1;
        for (int k = at; k < at + needle.size(); ++k) {
            if (owner[k] == last)
                continue;
            last = owner[k];
            const OfdVisualTextInfo &info = chars[owner[k]];
            info.item->AddSearch(info);
            m_searchHits.append(info);
        }
        from = at + needle.size();
    }
    m_pendingSearch = text;
    return count;
}

QList<QRectF> OfdPageScene::GetSearchRects() const
{
    QList<QRectF> rects;
    for (const OfdVisualTextInfo &info : m_searchHits)
        rects.append(info.sceneRect);
    return rects;
}

QList<QRectF> OfdPageScene::GetTextRect(const QRectF &rect)
{
    QList<QRectF> rects;
    const QVector<QVector<OfdVisualTextInfo>> lines = GroupLines(GetPageCharsInReadingOrder());
    for (const QVector<OfdVisualTextInfo> &line : lines) {
        QRectF lineRect;
        for (const OfdVisualTextInfo &c : line) {
            if (c.sceneRect.intersects(rect))
                lineRect |= c.sceneRect;
        }
        if (!lineRect.isEmpty())
            rects.append(lineRect);
    }
    return rects;
}

bool OfdPageScene::IsNeedRepaint() const
{
    for (OfdVisualItemText *item : m_textItems) {
        if (item->IsNeedRepaint())
            return true;
    }
    return false;
}

void OfdPageScene::OnItemFirstPainter()
{
    ++m_firstPaint;
    if (m_firstPaint == 1 && !m_searchPosted) {
        m_searchPosted = true;
        QCoreApplication::postEvent(this, new QEvent(kFirstPaintEvent));
    }
}

bool OfdPageScene::event(QEvent *e)
{
    if (e->type() == kFirstPaintEvent) {
        // A copy: the search starts by clearing the pending text it was handed by reference.
        const QString pending = m_pendingSearch;
        if (!pending.isEmpty())
            SearchText(pending);
        return true;
    }
    return QGraphicsScene::event(e);
}

void OfdPageScene::OnImageLeftButtonDown(OfdVisualItemImage *image)
{
    if (m_mouseShape != EN_MouseShape_Text)
        return;
    if (m_selectedImage && m_selectedImage != image)
        m_selectedImage->SetImageSelected(false);
    m_selectedImage = image;
    image->SetImageSelected(true);
    emit SignalImageSelectChange(this, image);
}

void OfdPageScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Placed seals come first: the left button drags them, the right one opens their menu.
    if (OfdVisualItemSignSeal *seal = GetSignSealFromPoint(event->scenePos())) {
        if (event->button() == Qt::LeftButton) {
            m_dragSeal = seal;
            m_dragLastPoint = event->scenePos();
            event->accept();
            emit SignalMousePress(this, event);
            return;
        }
        if (event->button() == Qt::RightButton) {
            event->accept();
            emit SignalMousePress(this, event);
            ShowSignSealMenu(seal, event->screenPos());
            return;
        }
    }
    if (event->button() == Qt::LeftButton) {
        m_leftDown = true;
        m_pressPoint = event->scenePos();
        m_currentPoint = m_pressPoint;
        m_lastPoint = m_pressPoint;
        m_lastScreenPos = event->screenPos();
    }
    if (m_annotHook && m_annotHook->MousePress(event)) {
        emit SignalMousePress(this, event);
        return;
    }
    emit SignalMousePress(this, event);
    QGraphicsScene::mousePressEvent(event);
}

void OfdPageScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_dragSeal) {
        if (event->buttons() & Qt::LeftButton) {
            const QPointF point = event->scenePos();
            m_dragSeal->MoveSeal(point - m_dragLastPoint);
            m_dragLastPoint = point;
            event->accept();
            return;
        }
        m_dragSeal = nullptr; // the release went elsewhere
    }
    if (m_annotHook && m_annotHook->MouseMove(event)) {
        if (m_leftDown)
            m_lastPoint = m_currentPoint = event->scenePos();
        return;
    }
    if (m_leftDown) {
        m_currentPoint = event->scenePos();
        if (m_mouseShape == EN_MouseShape_Text) {
            SelectText(QRectF(m_pressPoint, m_currentPoint).normalized());
        } else if (m_mouseShape == EN_MouseShape_Hand) {
            const QPointF screen = event->screenPos();
            emit eventMouseDragMove(m_lastScreenPos, screen);
            m_lastScreenPos = screen;
        }
        m_lastPoint = m_currentPoint;
    }
    QGraphicsScene::mouseMoveEvent(event);
}

void OfdPageScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_dragSeal && event->button() == Qt::LeftButton) {
        m_dragSeal = nullptr;
        event->accept();
        return;
    }
    // The menu of a placed seal opened on the press; the release is not another context click.
    if (event->button() == Qt::RightButton && GetSignSealFromPoint(event->scenePos())) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    if (m_annotHook && m_annotHook->MouseRelease(event))
        return;
    QGraphicsScene::mouseReleaseEvent(event);
}
