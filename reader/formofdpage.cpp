#include "reader/formofdpage.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <memory>

#include "app/ofdparams.h"
#include "app/qthelper.h"
#include "reader/formofd.h"
#include "render/ofdvisualitem.h"
#include "render/ofdvisualitemsignseal.h"
#include "sign/sealsigninfo.h"

namespace {
// Connects a signal of the scene by signature when the scene declares it (the annotation tools add
// their signals to the scene later).
void ConnectIfPresent(QObject *sender, const char *signal, QObject *receiver, const char *slot)
{
    const QByteArray normalized = QMetaObject::normalizedSignature(signal + 1);
    if (sender->metaObject()->indexOfSignal(normalized.constData()) >= 0)
        QObject::connect(sender, signal, receiver, slot);
}
} // namespace

FormOfdPage::FormOfdPage(QWidget *parent) : QGraphicsView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(QStringLiteral("border: 20px;background-color: white;"));
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing, true);
    setRenderHint(QPainter::TextAntialiasing, true);
    setRenderHint(QPainter::SmoothPixmapTransform, true);
    setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::ClickFocus);
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    setDragMode(QGraphicsView::NoDrag);
}

FormOfdPage::~FormOfdPage()
{
    if (m_ownsScene) {
        setScene(nullptr);
        delete m_scene.data();
    }
}

QPen FormOfdPage::GetSelectPen()
{
    return QPen(QBrush(QColor(229, 63, 87)), 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPen FormOfdPage::GetPageNumPen()
{
    return QPen(QBrush(QColor(1, 90, 159)), 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void FormOfdPage::SetPageType(EN_OfdPageType type)
{
    m_pageType = type;
    // Only reading pages answer their scene's signals.
    if (!IsReadingPage() && m_scene)
        disconnect(m_scene, nullptr, this, nullptr);
    // Thumbnails and preview pages are pointed at, not read.
    if (!IsReadingPage())
        viewport()->setCursor(Qt::PointingHandCursor);
}

void FormOfdPage::ShowView(bool createScene)
{
    if (createScene) {
        if (m_ownsScene) {
            setScene(nullptr);
            delete m_scene.data();
        }
        m_scene = new OfdPageScene();
        m_ownsScene = true;
        m_scene->SetViewManage(m_viewManage);
        m_scene->SetPageIndex(m_documentIndex, m_pageIndex);
        m_scene->CreateScene();
        ConnectScene();
    }
    if (m_scene)
        setScene(m_scene);
    ShowPageView(m_rate, m_rotation);
}

void FormOfdPage::SetPageScene(OfdPageScene *scene)
{
    if (m_scene)
        disconnect(m_scene, nullptr, this, nullptr);
    if (m_ownsScene && m_scene != scene) {
        setScene(nullptr);
        delete m_scene.data();
    }
    m_ownsScene = false;
    m_scene = scene;
    if (scene) {
        m_pageIndex = scene->GetPageIndex();
        m_documentIndex = scene->GetDocumentIndex();
        m_viewManage = scene->GetViewManage();
        // A reading page of the document view shows a scene the view keeps.
        if (IsReadingPage())
            ConnectScene();
    }
    setScene(scene);
    ShowPageView(m_rate, m_rotation);
}

void FormOfdPage::ConnectScene()
{
    if (!m_scene)
        return;
    connect(m_scene, &OfdPageScene::eventMouseDragMove, this, &FormOfdPage::OnMouseDragMove);
    connect(m_scene, &OfdPageScene::SignalTextSelectChanged, this, &FormOfdPage::OnTextSelectChanged);
    connect(m_scene, &OfdPageScene::SignalImageSelectChange, this, &FormOfdPage::OnImageSelectChange);
    connect(m_scene, &OfdPageScene::SignalSignSeal, this, &FormOfdPage::OnSignSeal);
    ConnectIfPresent(m_scene, SIGNAL(SignalDrawAnnotEnd(OfdPageScene *, OfdVisualItemAnnot *)), this,
                     SLOT(OnDrawAnnotEnd(OfdPageScene *, OfdVisualItemAnnot *)));
    ConnectIfPresent(m_scene, SIGNAL(SignalAnnotChanged(OfdPageScene *)), this,
                     SLOT(OnAnnotChanged(OfdPageScene *)));
}

void FormOfdPage::ShowPageView(double rate)
{
    ShowPageView(rate, m_rotation);
}

void FormOfdPage::ShowPageView(double rate, double rotation)
{
    m_rate = rate;
    m_rotation = rotation;
    if (IsReadingPage() && m_scene)
        m_scene->SetViewRate(float(rate));
    int width = int(float(GetPageRealWidth() * rate));
    int height = int(float(GetPageRealHeight() * rate));
    const int quarter = int(rotation) % 360;
    if (quarter == 90 || quarter == 270)
        std::swap(width, height);
    setFixedSize(width, height);
    resetTransform();
    rotate(rotation);
    scale(rate, rate);
}

void FormOfdPage::ShowPageViewByWidth(double width)
{
    const double pageWidth = GetPageRealWidth();
    if (pageWidth <= 0)
        return;
    ShowPageView(width / pageWidth);
}

void FormOfdPage::SetCurrentRotation(double rotation)
{
    ShowPageView(m_rate, rotation);
}

double FormOfdPage::GetPageRealWidth() const
{
    return m_scene ? m_scene->GetPageWidthPixel() : 0;
}

double FormOfdPage::GetPageRealHeight() const
{
    return m_scene ? m_scene->GetPageHeightPixel() : 0;
}

QSizeF FormOfdPage::GetPageRealSize() const
{
    return QSizeF(GetPageRealWidth(), GetPageRealHeight());
}

QRect FormOfdPage::GetItemRect(int itemId) const
{
    if (!m_scene)
        return QRect();
    const QRectF rect = m_scene->GetItemRect(itemId);
    if (rect.isNull())
        return QRect();
    return mapFromScene(rect).boundingRect();
}

void FormOfdPage::ShowSelectFlag(bool show)
{
    if (m_showSelectFlag == show)
        return;
    m_showSelectFlag = show;
    viewport()->update();
}

void FormOfdPage::ShowPageNum(bool show)
{
    if (m_showPageNum == show)
        return;
    m_showPageNum = show;
    viewport()->update();
}

QPixmap FormOfdPage::GetPageImage(float rate)
{
    ++m_grabCount;
    const double oldRate = m_rate;
    const double oldRotation = m_rotation;
    ShowPageView(rate, 0);
    const OfdSignSealOutputGuard hideSeals(m_scene);
    // The first grab of a page may come before the view laid its scene out; it is taken and dropped.
    if (m_grabCount == 1)
        grab();
    const QPixmap picture = grab();
    ShowPageView(oldRate, oldRotation);
    return picture;
}

void FormOfdPage::SetReaderView(EN_OfdReaderView view)
{
    if (m_scene && IsReadingPage())
        m_scene->SetReaderView(view);
}

void FormOfdPage::SetAnnot(EN_AnnotType type)
{
    m_annotType = type;
    if (m_scene && IsReadingPage())
        m_scene->SetAnnot(int(type));
}

void FormOfdPage::SetMouseShape(EN_MouseShape shape)
{
    m_mouseShape = shape;
    if (m_scene && IsReadingPage())
        m_scene->SetMouseShape(shape);
    if (IsReadingPage())
        QtHelper::SetWidgetCursor(viewport(), shape);
    const bool tracking = shape == EN_MouseShape_Text;
    setMouseTracking(tracking);
    viewport()->setMouseTracking(tracking);
}

void FormOfdPage::GetVisualItemList(QList<OfdVisualItem *> &items) const
{
    if (m_scene)
        m_scene->GetVisualItemList(items);
}

bool FormOfdPage::IsHaveAnnot() const
{
    return !GetPageAnnotVisualGroup().isEmpty();
}

QList<OfdVisualItem *> FormOfdPage::GetPageAnnotVisualGroup() const
{
    QList<OfdVisualItem *> all;
    GetVisualItemList(all);
    QList<OfdVisualItem *> annots;
    for (OfdVisualItem *item : qAsConst(all)) {
        if (item->IsAnnot())
            annots.append(item);
    }
    return annots;
}

QList<OfdVisualItem *> FormOfdPage::GetNewAnnotGroup() const
{
    // Annotations drawn in this session are told apart by the annotation tools; none exist yet.
    return QList<OfdVisualItem *>();
}

QString FormOfdPage::GetCopyText() const
{
    return m_scene ? m_scene->GetCopyText() : QString();
}

bool FormOfdPage::HasSelectText() const
{
    return m_scene && !m_scene->GetSelectTextItems().isEmpty();
}

void FormOfdPage::ClearSelectText()
{
    if (m_scene)
        m_scene->ClearSelectText();
}

void FormOfdPage::ClearSelectImage()
{
    if (m_scene)
        m_scene->ClearSelectImage();
}

void FormOfdPage::OnAnnotCheckChanged(const QList<int> &itemIds, bool visible)
{
    QList<OfdVisualItem *> items;
    GetVisualItemList(items);
    for (OfdVisualItem *item : qAsConst(items)) {
        if (item->IsAnnot() && itemIds.contains(item->GetItemId()))
            item->SetVisiable(visible);
    }
}

void FormOfdPage::ShowVerifySeal(bool show)
{
    if (m_scene)
        m_scene->ShowVerifySeal(show);
}

QList<QSharedPointer<SealSignInfo>> FormOfdPage::GetSealSignInfo() const
{
    return m_scene ? m_scene->GetSealSignInfo() : QList<QSharedPointer<SealSignInfo>>();
}

int FormOfdPage::GetPageRefId() const
{
    return m_scene ? m_scene->GetPageRefId() : 0;
}

QString FormOfdPage::GetPageFullPath() const
{
    return m_scene ? m_scene->GetPageFullPath() : QString();
}

void FormOfdPage::ShowCustomTag(QList<OfdXmlCustomTagPageRef *> *refs)
{
    ClearCustomTag();
    if (!m_scene || !refs)
        return;
    for (const OfdXmlCustomTagPageRef *ref : qAsConst(*refs)) {
        if (!ref)
            continue;
        const QRectF rect = m_scene->GetItemRect(int(ref->objectId));
        if (!rect.isNull())
            m_customTagRects.append(rect);
    }
    viewport()->update();
}

void FormOfdPage::ClearCustomTag()
{
    if (m_customTagRects.isEmpty())
        return;
    m_customTagRects.clear();
    viewport()->update();
}

int FormOfdPage::SearchText(const QString &text)
{
    if (!m_scene)
        return 0;
    m_searchHitCount = 0;
    if (m_scene->IsNeedRepaint()) {
        viewport()->update();
        m_pendingSearchText = text;
        m_searchPending = true;
        return 0;
    }
    m_searchPending = false;
    m_pendingSearchText.clear();
    m_searchHitCount = m_scene->SearchText(text);
    return m_searchHitCount;
}

int FormOfdPage::RunPendingSearch()
{
    if (!m_scene || !m_searchPending)
        return 0;
    m_searchPending = false;
    const QString text = m_pendingSearchText;
    m_pendingSearchText.clear();
    m_searchHitCount = m_scene->SearchText(text);
    return m_searchHitCount;
}

OfdVisualItemSignSeal *FormOfdPage::ShowSignSeal(QSharedPointer<SealSignInfo> info)
{
    if (!info || !m_scene)
        return nullptr;
    info->SetPageIndex(m_pageIndex);
    // Centred on what the user sees of the page: a tall page may show only a part of itself.
    QPointF centre(m_scene->GetPageWidthPixel() / 2, m_scene->GetPageHeightPixel() / 2);
    const QRect visible = viewport()->visibleRegion().boundingRect();
    if (isVisible() && !visible.isEmpty() && visible != viewport()->rect()) {
        const QPointF point = mapToScene(visible.center());
        if (m_scene->sceneRect().contains(point))
            centre = point;
    }
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info, centre);
    viewport()->update();
    return item;
}

void FormOfdPage::OnSignSeal(OfdPageScene *, OfdVisualItemSignSeal *item)
{
    if (m_mainForm)
        m_mainForm->SignSeal(this, item);
}

void FormOfdPage::OnMouseDragMove(QPointF lastPointOfScreen, QPointF curPointOfScreen)
{
    if (m_mainForm && IsReadingPage())
        m_mainForm->MoveWnd(lastPointOfScreen, curPointOfScreen);
}

void FormOfdPage::OnTextSelectChanged(OfdPageScene *, QList<OfdVisualItemText *> &items)
{
    emit SignalTextSelectChanged(this, items);
}

void FormOfdPage::OnImageSelectChange(OfdPageScene *, OfdVisualItemImage *image)
{
    emit SignalImageSelectChange(this, image);
}

void FormOfdPage::OnDrawAnnotEnd(OfdPageScene *, OfdVisualItemAnnot *annot)
{
    emit SignalDrawAnnotEnd(this, annot);
}

void FormOfdPage::OnAnnotChanged(OfdPageScene *)
{
    emit SignalAnnotChanged(this);
}

void FormOfdPage::paintEvent(QPaintEvent *event)
{
    QGraphicsView::paintEvent(event);
    if (!m_showSelectFlag && !m_showPageNum)
        return;
    QPainter painter(viewport());
    if (m_showSelectFlag) {
        painter.setPen(GetSelectPen());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(0, 0, width(), height()));
    }
    if (m_showPageNum) {
        painter.setPen(GetPageNumPen());
        painter.drawText(QPointF(width() - 58, 16), QtHelper::fromString("第%1页").arg(m_pageIndex + 1));
    }
}

void FormOfdPage::drawForeground(QPainter *painter, const QRectF &rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (m_customTagRects.isEmpty())
        return;
    std::unique_ptr<QBrush> brush(OfdViewParam::CreatCustomTagBrush());
    QColor fill = brush->color();
    fill.setAlpha(70);
    painter->save();
    painter->setPen(QPen(brush->color(), 1.5 / qMax(0.01, m_rate)));
    painter->setBrush(fill);
    for (const QRectF &r : qAsConst(m_customTagRects))
        painter->drawRect(r.adjusted(-1, -1, 1, 1));
    painter->restore();
}

bool FormOfdPage::IsTextDrag(const QMouseEvent *event) const
{
    return IsReadingPage() && m_mainForm && m_mouseShape == EN_MouseShape_Text &&
           (event->buttons() & Qt::LeftButton);
}

void FormOfdPage::mousePressEvent(QMouseEvent *event)
{
    emit SignalMousePress(this);
    if (!IsReadingPage()) {
        if (!m_showSelectFlag) {
            m_showSelectFlag = true;
            viewport()->update();
            emit SignalShowSelectFlag(this);
        }
        event->accept();
        return;
    }
    if (m_mainForm)
        m_mainForm->ClearCustomTagView();
    // A press on a placed seal drags the seal, never the text selection.
    const bool onSeal = m_scene && m_scene->GetSignSealFromPoint(mapToScene(event->pos()));
    if (event->button() == Qt::LeftButton && IsTextDrag(event) && !onSeal) {
        m_textDragging = true;
        m_mainForm->BeginDragSelect(this, viewport()->mapToGlobal(event->pos()));
    }
    QGraphicsView::mousePressEvent(event);
}

void FormOfdPage::mouseMoveEvent(QMouseEvent *event)
{
    if (!IsReadingPage()) {
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
    if (m_textDragging && IsTextDrag(event)) {
        m_mainForm->UpdateDragSelect(viewport()->mapToGlobal(event->pos()));
    }
}

void FormOfdPage::mouseReleaseEvent(QMouseEvent *event)
{
    if (!IsReadingPage()) {
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
    if (m_textDragging && event->button() == Qt::LeftButton) {
        m_textDragging = false;
        if (m_mainForm)
            m_mainForm->EndDragSelect();
    }
}

void FormOfdPage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!IsReadingPage()) {
        event->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}
