#include "annot/pageannotmanage.h"

#include <QAction>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>

#include "annot/ofdannotviewdata.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "app/qthelper.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/document/ofdfile.h"

PageAnnotManage::PageAnnotManage(OfdPageScene *scene) : m_scene(scene) {}

PageAnnotManage::~PageAnnotManage() = default;

PageAnnotManage *PageAnnotManage::FromScene(OfdPageScene *scene)
{
    return scene ? dynamic_cast<PageAnnotManage *>(scene->GetAnnotHook()) : nullptr;
}

void PageAnnotManage::CreateAnnotation()
{
    OfdFile *document = m_scene->GetOfdFile();
    auto *annotations = document ? dynamic_cast<OfdXmlAnnotations *>(document->GetAnnotations()) : nullptr;
    if (!annotations || !m_scene->GetPage())
        return;
    const QList<PageAnnot *> annots = annotations->GetPageAnnots(m_scene->GetPageRefId());
    for (int i = 0; i < annots.size(); ++i) {
        PageAnnot *annot = annots[i];
        auto *item = new OfdVisualItemAnnotLoaded(annot);
        m_scene->RegisterVisualItem(item);
        item->SetItemId(LoadedItemId(i));
        if (!item->CreateAppearance(m_scene)) {
            delete item;
            continue;
        }
        item->setToolTip(QStringLiteral("%1 %2 %3")
                             .arg(annot->GetType(), annot->GetSubtype(), annot->GetCreator())
                             .trimmed());
        m_scene->AddLayerItem(item, item->GetVisualLayer());
        m_loaded.append(item);
    }
}

bool PageAnnotManage::IsDrawMode() const
{
    return m_scene->GetMouseShape() == EN_MouseShape_Annot &&
           m_scene->GetReaderView() == EN_OfdReaderView_Annot;
}

bool PageAnnotManage::IsEditMode() const
{
    return m_scene->GetMouseShape() == EN_MouseShape_Text &&
           m_scene->GetReaderView() == EN_OfdReaderView_Annot;
}

bool PageAnnotManage::MousePress(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return event->button() == Qt::RightButton && GetAnnotFromPoint(event->scenePos());
    const QPointF point = event->scenePos();
    if (IsDrawMode())
        return DrawAnnotStart(point) != nullptr;
    if (IsEditMode()) {
        OfdVisualItemAnnot *item = GetNewAddAnnotFromPoint(point);
        if (!item)
            return false;
        // A click into a text box being edited goes to its text.
        auto *text = dynamic_cast<OfdVisualItemAnnotText *>(item);
        if (text && text->GetTextItem() && text->GetTextItem()->hasFocus() &&
            text->GetTextItem()->sceneBoundingRect().contains(point))
            return false;
        m_dragged = item;
        m_last = point;
        m_scene->clearSelection();
        item->setSelected(true);
        return true;
    }
    return false;
}

bool PageAnnotManage::MouseMove(QGraphicsSceneMouseEvent *event)
{
    const QPointF point = event->scenePos();
    if (event->buttons() & Qt::LeftButton) {
        if (m_drawing) {
            DrawAnnotMove(point);
            return true;
        }
        if (m_dragged) {
            MoveVisualAnnot(m_dragged, point - m_last);
            m_last = point;
            return true;
        }
        return false;
    }
    if (event->buttons() == Qt::NoButton && m_scene->GetReaderView() == EN_OfdReaderView_Annot)
        DealAnnotMouseMove(point);
    return false;
}

bool PageAnnotManage::MouseRelease(QGraphicsSceneMouseEvent *event)
{
    const QPointF point = event->scenePos();
    if (event->button() == Qt::LeftButton) {
        if (m_drawing) {
            DrawAnnotEnd(point);
            return true;
        }
        if (m_dragged) {
            m_dragged = nullptr;
            emit m_scene->SignalAnnotChanged(m_scene);
            return true;
        }
        return false;
    }
    if (event->button() == Qt::RightButton) {
        OfdVisualItemAnnot *item = GetAnnotFromPoint(point);
        if (!item)
            return false;
        std::unique_ptr<QMenu> menu(CreateContextMenu(item));
        menu->exec(event->screenPos());
        return true;
    }
    return false;
}

void PageAnnotManage::OnMouseShapeChanged()
{
    m_current = nullptr;
    m_drawing = false;
    m_dragged = nullptr;
}

OfdVisualItemAnnot *PageAnnotManage::DrawAnnotStart(const QPointF &point)
{
    const auto kind = static_cast<EN_AnnotType>(m_scene->GetAnnot());
    if (m_current && m_current->GetAnnotKind() == EN_AnnotType_Pen && kind == EN_AnnotType_Pen &&
        m_new.contains(m_current)) {
        // A pen that is still current takes the press as a new stroke.
        m_current->SetStartPoint(point);
    } else {
        OfdVisualItemAnnot *item = OfdVisualItemAnnot::CreateAnnot(kind);
        if (!item)
            return nullptr;
        m_scene->RegisterVisualItem(item);
        item->SetStartPoint(point);
        item->SetEndPoint(point);
        m_scene->AddLayerItem(item, item->GetVisualLayer());
        m_new.append(item);
        m_current = item;
    }
    m_drawing = true;
    m_press = point;
    return m_current;
}

void PageAnnotManage::DrawAnnotMove(const QPointF &point)
{
    if (!m_current || !m_drawing)
        return;
    const EN_AnnotType kind = m_current->GetAnnotKind();
    if (kind == EN_AnnotType_Highlight || kind == EN_AnnotType_Underline || kind == EN_AnnotType_Strikeout) {
        QList<QRectF> rects = m_scene->GetTextRect(QRectF(m_press, point).normalized());
        m_current->SetTextRect(rects);
    }
    m_current->SetEndPoint(point);
    m_current->update();
}

OfdVisualItemAnnot *PageAnnotManage::DrawAnnotEnd(const QPointF &point)
{
    if (!m_current || !m_drawing)
        return nullptr;
    DrawAnnotMove(point);
    m_current->MouseRlease(point);
    m_drawing = false;
    OfdVisualItemAnnot *item = m_current;
    emit m_scene->SignalAnnotChanged(m_scene);
    emit m_scene->SignalDrawAnnotEnd(m_scene, item);
    return item;
}

void PageAnnotManage::MoveVisualAnnot(OfdVisualItemAnnot *item, const QPointF &delta)
{
    if (item && m_new.contains(item))
        item->MoveVisual(float(delta.x()), float(delta.y()));
}

void PageAnnotManage::Forget(OfdVisualItemAnnot *item)
{
    if (m_current == item)
        m_current = nullptr;
    if (m_dragged == item)
        m_dragged = nullptr;
    if (m_hover == item)
        m_hover = nullptr;
}

bool PageAnnotManage::HasUnsavedWork() const
{
    if (!m_new.isEmpty() || m_current || !m_deletedLoaded.isEmpty())
        return true;
    for (OfdVisualItemAnnot *item : m_loaded) {
        auto *loaded = dynamic_cast<OfdVisualItemAnnotLoaded *>(item);
        if (loaded && loaded->GetPageAnnot() && loaded->isVisible() != loaded->GetPageAnnot()->IsVisible())
            return true;
    }
    return false;
}

bool PageAnnotManage::IsDeletable(OfdVisualItemAnnot *item) const
{
    if (!item)
        return false;
    if (m_new.contains(item))
        return true;
    auto *loaded = dynamic_cast<OfdVisualItemAnnotLoaded *>(item);
    return loaded && m_loaded.contains(item) && loaded->GetPageAnnot() &&
           !loaded->GetPageAnnot()->IsReadOnly();
}

bool PageAnnotManage::DeleteVisualItem(OfdVisualItemAnnot *item)
{
    if (!IsDeletable(item))
        return false;
    Forget(item);
    if (!m_new.removeOne(item)) {
        // The scene keeps a loaded item (its appearance's text items are registered with the
        // scene); it only disappears, and the save removes the annotation from its file.
        m_loaded.removeOne(item);
        m_deletedLoaded.append(static_cast<OfdVisualItemAnnotLoaded *>(item)->GetPageAnnot());
        item->setVisible(false);
        emit m_scene->SignalAnnotChanged(m_scene);
        return true;
    }
    m_scene->RemoveLayerItem(item);
    item->RemoveFromScene();
    delete item;
    emit m_scene->SignalAnnotChanged(m_scene);
    return true;
}

void PageAnnotManage::DeleteAllAnnot()
{
    const QList<OfdVisualItemAnnot *> items = m_new;
    for (OfdVisualItemAnnot *item : items)
        DeleteVisualItem(item);
}

OfdVisualItemAnnot *PageAnnotManage::GetNewAddAnnotFromPoint(const QPointF &point) const
{
    for (int i = m_new.size() - 1; i >= 0; --i) {
        OfdVisualItemAnnot *item = m_new[i];
        if (item->isVisible() && item->sceneBoundingRect().contains(point))
            return item;
    }
    return nullptr;
}

OfdVisualItemAnnot *PageAnnotManage::GetAnnotFromPoint(const QPointF &point) const
{
    if (OfdVisualItemAnnot *item = GetNewAddAnnotFromPoint(point))
        return item;
    for (int i = m_loaded.size() - 1; i >= 0; --i) {
        OfdVisualItemAnnot *item = m_loaded[i];
        if (item->isVisible() && item->sceneBoundingRect().contains(point))
            return item;
    }
    return nullptr;
}

OfdVisualItemAnnot *PageAnnotManage::DealAnnotMouseMove(const QPointF &point)
{
    OfdVisualItemAnnot *item = GetAnnotFromPoint(point);
    if (item == m_hover)
        return item;
    if (m_hover)
        m_hover->SetHover(false);
    m_hover = item;
    if (m_hover) {
        m_hover->SetHover(true);
        m_hover->setCursor(m_hover->IsNewAnnot() && IsEditMode() ? Qt::SizeAllCursor : Qt::ArrowCursor);
    }
    return item;
}

void PageAnnotManage::OnAnnotCheckChanged(const QList<int> &itemIds, bool visible)
{
    for (OfdVisualItemAnnot *item : GetAllAnnot()) {
        if (itemIds.contains(item->GetItemId()))
            item->SetVisiable(visible);
    }
}

OfdAnnotViewDataOfPage *PageAnnotManage::CreateAnnotViewData() const
{
    if (!IsHaveAnnot())
        return nullptr;
    auto *page = new OfdAnnotViewDataOfPage(m_scene->GetPageIndex());
    for (OfdVisualItemAnnot *item : GetAllAnnot()) {
        auto *entry = new OfdAnnotViewDataItem;
        entry->type = item->GetAnnotOfdType();
        entry->subtype = item->GetAnnotSubtype();
        entry->visible = item->isVisible();
        entry->itemIds.append(item->GetItemId());
        entry->creator = item->GetAnnotCreator();
        entry->lastModDate = item->GetAnnotLastModDate();
        page->AddItem(entry);
    }
    return page;
}

OfdAnnotViewDataOfPage *PageAnnotManage::CreateAnnotViewData(OfdFile *document, int pageKey, int pageIndex)
{
    auto *annotations = document ? dynamic_cast<OfdXmlAnnotations *>(document->GetAnnotations()) : nullptr;
    if (!annotations)
        return nullptr;
    const QList<PageAnnot *> annots = annotations->GetPageAnnots(pageKey);
    OfdAnnotViewDataOfPage *page = nullptr;
    for (int i = 0; i < annots.size(); ++i) {
        PageAnnot *annot = annots[i];
        // What a scene would not draw (no appearance objects or no place), it does not list either.
        PageAnnotAppearance *appearance = annot ? annot->GetAppearance() : nullptr;
        if (!appearance || !appearance->GetPageBlock() || appearance->GetPageBlock()->GetItems().isEmpty() ||
            appearance->GetBoundary().trimmed().isEmpty())
            continue;
        if (!page)
            page = new OfdAnnotViewDataOfPage(pageIndex);
        auto *entry = new OfdAnnotViewDataItem;
        entry->type = annot->GetType();
        entry->subtype = annot->GetSubtype();
        entry->visible = annot->IsVisible();
        entry->itemIds.append(LoadedItemId(i));
        entry->creator = annot->GetCreator();
        entry->lastModDate = OfdVisualItemAnnotLoaded::ReadDate(annot->GetLastModDate());
        page->AddItem(entry);
    }
    return page;
}

QMenu *PageAnnotManage::CreateContextMenu(OfdVisualItemAnnot *item)
{
    auto *menu = new QMenu;
    if (IsDeletable(item)) {
        QAction *remove = menu->addAction(QtHelper::fromString("删除批注"));
        QObject::connect(remove, &QAction::triggered, [this, item]() { DeleteVisualItem(item); });
    }
    if (item) {
        QAction *hide = menu->addAction(QtHelper::fromString("隐藏批注"));
        QObject::connect(hide, &QAction::triggered, [this, item]() {
            item->SetVisiable(false);
            emit m_scene->SignalAnnotChanged(m_scene);
        });
    }
    return menu;
}
