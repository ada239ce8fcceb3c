#include "reader/formofd.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/qthelper.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "reader/scrollareaofpage.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemsignseal.h"
#include "sign/sealsigninfo.h"
#include "sign/signofdfilemanage.h"
#include "writer/ofdcreator.h"

namespace {
FormOfd::AnnotEntryProvider &AnnotProvider()
{
    static FormOfd::AnnotEntryProvider provider;
    return provider;
}

const QString kCopySeparator = QStringLiteral("\r\n--------------------\r\n");
} // namespace

QEventFormOfd::QEventFormOfd(int kind, double ratio, double spacing)
    : QEvent(EventType()), m_kind(kind), m_ratio(ratio), m_spacing(spacing)
{
}

QEvent::Type QEventFormOfd::EventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

FormOfd::FormOfd(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormOfd"));
    m_horizontalLayout = new QHBoxLayout(this);
    m_horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    m_horizontalLayout->setSpacing(0);
    m_horizontalLayout->setContentsMargins(2, 0, 2, 0);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setFrameShape(QFrame::NoFrame);

    m_pageArea = new ScrollAreaOfPage();
    m_pageArea->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    m_verticalLayout = new QVBoxLayout(m_pageArea);
    m_verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    m_verticalLayout->setSpacing(0);
    m_verticalLayout->setContentsMargins(0, 0, 0, 0);
    m_scrollArea->setWidget(m_pageArea);
    m_horizontalLayout->addWidget(m_scrollArea);

    QPalette palette = m_scrollArea->palette();
    palette.setColor(QPalette::Window, QColor(226, 226, 226));
    m_scrollArea->setPalette(palette);
    m_scrollArea->viewport()->setPalette(palette);
    m_scrollArea->viewport()->setAutoFillBackground(true);
    m_pageArea->setPalette(palette);
    m_pageArea->setAutoFillBackground(true);

    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    QScrollBar *hbar = m_scrollArea->horizontalScrollBar();
    vbar->setSingleStep(20);
    hbar->setSingleStep(20);
    vbar->setStyleSheet(QtHelper::GetScrollBarVerticalQss());
    hbar->setStyleSheet(QtHelper::GetScrollBarhorizontalQss());

    connect(vbar, &QScrollBar::valueChanged, this, &FormOfd::VerticalScrollBarValueChanged);
    connect(m_pageArea, &ScrollAreaOfPage::SignalKeyPress, this, &FormOfd::OnScrollKeyRelease);
    m_scrollArea->viewport()->installEventFilter(this);
    setFocusProxy(m_pageArea);
}

FormOfd::~FormOfd()
{
    ClearPages();
    delete m_viewManage;
}

void FormOfd::ClearPages()
{
    ClearCustomTagView();
    m_selectingPages.clear();
    m_dragSelectPage = nullptr;
    // The layouts refer to the pages: empty them first.
    ClearLayout(m_verticalLayout);
    qDeleteAll(m_pages);
    m_pages.clear();
    m_pagesCreated = false;
    m_columnCount = -1;
}

// ---------------------------------------------------------------------------------------------
// Document

bool FormOfd::SetOfdFileReader(QSharedPointer<OfdFileReader> reader)
{
    ClearPages();
    delete m_viewManage;
    m_viewManage = new OfdViewManage();
    const bool ok = reader && m_viewManage->SetFileReader(reader);
    if (ok)
        m_viewManage->TryParseAllPage(m_documentIndex);
    return ok;
}

OfdFile *FormOfd::GetOfdFile() const
{
    return m_viewManage ? m_viewManage->GetOfdFile(m_documentIndex) : nullptr;
}

int FormOfd::GetPageCount() const
{
    OfdFile *file = GetOfdFile();
    return file ? file->GetPageCount() : 0;
}

QSharedPointer<OfdFileReader> FormOfd::GetFileReader() const
{
    return m_viewManage ? m_viewManage->GetFileReader() : QSharedPointer<OfdFileReader>();
}

QString FormOfd::GetFileFullName() const
{
    const QSharedPointer<OfdFileReader> reader = GetFileReader();
    return reader ? reader->GetFileFullName() : QString();
}

int FormOfd::GetPageIndex(int pageId) const
{
    OfdFile *file = GetOfdFile();
    return file ? file->GetPageIndex(pageId) : -1;
}

void FormOfd::ShowPages()
{
    if (m_pagesCreated)
        return;
    m_pagesCreated = true;
    const int count = GetPageCount();
    for (int i = 0; i < count; ++i) {
        auto *page = new FormOfdPage(this);
        page->SetDocumentIndex(m_documentIndex);
        page->SetMainForm(this);
        page->SetViewManage(m_viewManage);
        page->SetPageIndex(i);
        page->ShowView(true);
        page->ShowPageView(m_viewRate, m_rotation);
        page->SetMouseShape(m_mouseShape);
        page->SetAnnot(m_annotType);
        page->SetReaderView(m_readerView);
        connect(page, &FormOfdPage::SignalImageSelectChange, this, &FormOfd::OnImageSelectChange);
        connect(page, &FormOfdPage::SignalTextSelectChanged, this, &FormOfd::OnTextSelectChanged);
        connect(page, &FormOfdPage::SignalDrawAnnotEnd, this, &FormOfd::OnPageDrawAnnotEnd);
        connect(page, &FormOfdPage::SignalAnnotChanged, this, &FormOfd::OnPageAnnotChanged);
        connect(page, &FormOfdPage::SignalMousePress, this, &FormOfd::OnPageMousePress);
        m_pages.append(page);
    }
    ShowPage(1);
}

QList<OfdPageScene *> FormOfd::GetPageSceneList() const
{
    QList<OfdPageScene *> scenes;
    for (FormOfdPage *page : m_pages)
        scenes.append(page->GetPageScene());
    return scenes;
}

// ---------------------------------------------------------------------------------------------
// Layout

void FormOfd::ClearLayout(QLayout *layout)
{
    if (!layout)
        return;
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QLayout *inner = item->layout()) {
            ClearLayout(inner);
            delete inner;
            continue;
        }
        if (QWidget *widget = item->widget()) {
            if (!qobject_cast<FormOfdPage *>(widget))
                delete widget;
        }
        delete item;
    }
}

void FormOfd::ShowPage(int columns)
{
    columns = qMax(1, columns);
    if (columns == m_columnCount)
        return;
    LayoutPages(columns);
}

void FormOfd::LayoutPages(int columns)
{
    m_columnCount = columns;
    ClearLayout(m_verticalLayout);
    const int count = m_pages.size();
    if (count == 0)
        return;
    m_verticalLayout->addSpacing(AppParam::PageFirstRowSpace);
    for (int start = 0; start < count; start += columns) {
        auto *row = new QHBoxLayout();
        row->setSpacing(0);
        row->setContentsMargins(0, 0, 0, 0);
        row->addSpacerItem(new QSpacerItem(2, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
        const int end = qMin(count, start + columns);
        int lastWidth = 0;
        for (int i = start; i < end; ++i) {
            if (i > start)
                row->addSpacing(AppParam::PageColumnSpace);
            row->addWidget(m_pages[i]);
            m_pages[i]->show();
            lastWidth = m_pages[i]->width();
        }
        // A short last row keeps its pages under the columns above.
        for (int missing = end - start; missing < columns; ++missing)
            row->addSpacing(lastWidth + AppParam::PageColumnSpace);
        row->addSpacerItem(new QSpacerItem(2, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
        m_verticalLayout->addLayout(row);
        m_verticalLayout->addSpacing(AppParam::PageRowSpace);
    }
}

bool FormOfd::IsLastRowIncomplete() const
{
    return m_columnCount > 1 && m_pages.size() % m_columnCount != 0;
}

int FormOfd::GetPageRowCount() const
{
    if (m_columnCount <= 0)
        return 0;
    return (m_pages.size() + m_columnCount - 1) / m_columnCount;
}

double FormOfd::GetTotalVerticalSpacing() const
{
    return GetPageRowCount() * AppParam::PageRowSpace + AppParam::PageFirstRowSpace;
}

double FormOfd::GetSpacingAbove(int value) const
{
    const int columns = qMax(1, m_columnCount);
    // The first page whose extent holds the value decides: the gaps above its row.
    for (int i = 0; i < m_pages.size(); ++i) {
        const int top = m_pages[i]->y();
        if (value >= top && value < top + m_pages[i]->height()) {
            const int rowIndex = (i + 1 + columns - 1) / columns - 1;
            return AppParam::PageFirstRowSpace + rowIndex * AppParam::PageRowSpace;
        }
    }
    // Between rows (or beside a shorter page): everything above the value that no row covers.
    double covered = 0;
    for (int start = 0; start < m_pages.size(); start += columns) {
        int rowTop = m_pages[start]->y();
        int rowBottom = rowTop + m_pages[start]->height();
        for (int k = start + 1; k < qMin(m_pages.size(), start + columns); ++k) {
            rowTop = qMin(rowTop, m_pages[k]->y());
            rowBottom = qMax(rowBottom, m_pages[k]->y() + m_pages[k]->height());
        }
        if (value < rowTop)
            break;
        if (value < rowBottom) {
            const int rowIndex = start / columns;
            return AppParam::PageFirstRowSpace + rowIndex * AppParam::PageRowSpace;
        }
        covered += rowBottom - rowTop;
    }
    return qMax(0.0, value - covered);
}

void FormOfd::EnsureLayout()
{
    // Let the layouts and the scroll area take the new page sizes now.
    for (int round = 0; round < 3; ++round) {
        m_verticalLayout->activate();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// ---------------------------------------------------------------------------------------------
// Zoom and rotation

bool FormOfd::SetViewCurrentRate(double rate, bool keepPosition)
{
    if (!std::isfinite(rate))
        rate = 1.0;
    rate = qBound(GetMinRate(), rate, GetMaxRate());
    if (qAbs(rate - m_viewRate) < 1e-9)
        return false;
    m_viewRate = rate;
    ShowPagesView(rate, keepPosition);
    emit SignalViewRateChanged(this, m_viewRate);
    return true;
}

void FormOfd::ShowPagesView(double rate, bool keepPosition)
{
    if (m_pages.isEmpty())
        return;
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    const bool barVisible = vbar->isVisible();
    double ratio = 0;
    double spacing = 0;
    if (barVisible) {
        const int value = vbar->value();
        const int max = vbar->maximum();
        spacing = GetSpacingAbove(value);
        const double denominator = max - GetTotalVerticalSpacing();
        ratio = denominator > 0 ? (value - spacing) / denominator : 0;
    }
    for (FormOfdPage *page : qAsConst(m_pages))
        page->ShowPageView(rate);
    if (IsLastRowIncomplete())
        LayoutPages(m_columnCount);
    if (barVisible && keepPosition && ratio != 0) {
        QCoreApplication::processEvents();
        QCoreApplication::postEvent(this, new QEventFormOfd(1, ratio, spacing), Qt::LowEventPriority);
    }
}

bool FormOfd::event(QEvent *e)
{
    if (e->type() == QEventFormOfd::EventType()) {
        auto *restore = static_cast<QEventFormOfd *>(e);
        if (restore->GetKind() == 1) {
            EnsureLayout();
            QScrollBar *vbar = m_scrollArea->verticalScrollBar();
            const double value =
                (vbar->maximum() - GetTotalVerticalSpacing()) * restore->GetRatio() + restore->GetSpacing();
            vbar->setValue(int(value));
        }
        return true;
    }
    return QWidget::event(e);
}

double FormOfd::GetFitWidthRate() const
{
    const double width = GetCurPageRealWidth();
    if (width <= 0)
        return 1.0;
    double rate = GetWndWidth() / width;
    if (GetPageCount() > 1 && m_columnCount > 1)
        rate /= m_columnCount;
    return float(rate);
}

double FormOfd::GetFitHeightRate() const
{
    const double height = GetCurPageRealHeight();
    if (height <= 0)
        return 1.0;
    return float(GetWndHeight() / height);
}

bool FormOfd::ZoomBySteps(int steps)
{
    const double rate = std::round((m_viewRate + 0.1 * steps) * 100.0) / 100.0;
    return SetViewCurrentRate(rate, true);
}

double FormOfd::AdjuestDegree(double degrees)
{
    if (!std::isfinite(degrees))
        return 0;
    long long angle = static_cast<long long>(std::fmod(degrees, 360.0 * 1000000));
    while (angle < 0)
        angle += 360;
    while (angle > 360)
        angle -= 360;
    return double(angle);
}

void FormOfd::ViewRotationRight(double degrees)
{
    m_rotation = AdjuestDegree(m_rotation + degrees);
    for (FormOfdPage *page : qAsConst(m_pages))
        page->SetCurrentRotation(m_rotation);
    if (IsLastRowIncomplete())
        LayoutPages(m_columnCount);
    emit SignalRotationChanged(this, m_rotation);
}

// ---------------------------------------------------------------------------------------------
// Pages and scrolling

void FormOfd::ScrollToPage(int index, int x, int y)
{
    Q_UNUSED(x);
    if (m_pages.isEmpty())
        return;
    index = qBound(0, index, m_pages.size() - 1);
    EnsureLayout();
    FormOfdPage *page = m_pages[index];
    m_scrollArea->verticalScrollBar()->setValue(int(page->y() + y * m_viewRate));
}

void FormOfd::ScrollPageDown(int delta)
{
    ScrollToPage(GetCurShowPageIndex() + delta);
}

void FormOfd::MoveRow(int delta)
{
    const int columns = qMax(1, m_columnCount);
    const int current = qMax(0, GetCurShowPageIndex());
    ScrollToPage(columns * (current / columns + delta));
}

void FormOfd::ScrollToPageVisualItem(int pageIndex, int itemId)
{
    FormOfdPage *page = GetPage(pageIndex);
    if (!page)
        return;
    EnsureLayout();
    const QRect rect = page->GetItemRect(itemId);
    const int top = page->y() + (rect.isNull() ? 0 : rect.top());
    m_scrollArea->verticalScrollBar()->setValue(top - 40);
}

void FormOfd::ScrollPixel(int dy, int dx)
{
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    QScrollBar *hbar = m_scrollArea->horizontalScrollBar();
    vbar->setValue(vbar->value() + dy);
    hbar->setValue(hbar->value() + dx);
}

void FormOfd::MoveWnd(QPointF from, QPointF to)
{
    const QPointF delta = to - from;
    ScrollPixel(-qRound(delta.y()), -qRound(delta.x()));
}

FormOfdPage *FormOfd::GetCurShowPage() const
{
    return GetPage(GetCurShowPageIndex());
}

int FormOfd::GetCurShowPageIndex() const
{
    const double rangeTop = m_scrollArea->verticalScrollBar()->value();
    const double rangeBottom = rangeTop + m_scrollArea->viewport()->height() - 1;
    if (rangeBottom <= rangeTop)
        return m_pages.isEmpty() ? -1 : 0;
    int best = -1;
    double bestShare = 0;
    for (int i = 0; i < m_pages.size(); ++i) {
        const double top = m_pages[i]->y();
        const double bottom = top + m_pages[i]->height();
        if (bottom < rangeTop || top > rangeBottom)
            continue;
        const double share = (qMin(rangeBottom, bottom) - qMax(rangeTop, top)) / (rangeBottom - rangeTop);
        if (share > bestShare) {
            bestShare = share;
            best = i;
        }
    }
    return best;
}

double FormOfd::GetCurPageRealWidth() const
{
    FormOfdPage *page = GetCurShowPage();
    return page ? page->GetPageRealWidth() : 0;
}

double FormOfd::GetCurPageRealHeight() const
{
    FormOfdPage *page = GetCurShowPage();
    return page ? page->GetPageRealHeight() : 0;
}

int FormOfd::GetWndWidth() const
{
    return contentsRect().width() - 25;
}

int FormOfd::GetWndHeight() const
{
    return height() - 22;
}

void FormOfd::VerticalScrollBarValueChanged(int value)
{
    Q_UNUSED(value);
    emit EventPageIndexChanged(this, GetCurShowPageIndex());
}

void FormOfd::OnScrollKeyRelease(ScrollAreaOfPage *sender, int keyValue)
{
    Q_UNUSED(sender);
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    switch (keyValue) {
    case Qt::Key_Up:
        vbar->setValue(vbar->value() - vbar->singleStep());
        break;
    case Qt::Key_Down:
        vbar->setValue(vbar->value() + vbar->singleStep());
        break;
    case Qt::Key_PageUp:
        ScrollPageDown(-1);
        break;
    case Qt::Key_PageDown:
        ScrollPageDown(1);
        break;
    case Qt::Key_Home:
        ScrollToPage(0);
        break;
    case Qt::Key_End:
        ScrollToPage(m_pages.size() - 1);
        break;
    default:
        break;
    }
}

void FormOfd::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        emit SignalLeaveFullScreen(this);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        ActionCopyClick();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FormOfd::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_scrollArea->viewport() && e->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(e);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y() / 120;
            if (steps != 0)
                ZoomBySteps(steps);
            wheel->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------------
// Tools

void FormOfd::SetReaderView(EN_OfdReaderView view)
{
    m_readerView = view;
    for (FormOfdPage *page : qAsConst(m_pages))
        page->SetReaderView(view);
}

void FormOfd::SetAnnot(EN_AnnotType type)
{
    m_annotType = type;
    for (FormOfdPage *page : qAsConst(m_pages))
        page->SetAnnot(type);
}

void FormOfd::SetMouseShape(EN_MouseShape shape)
{
    m_mouseShape = shape;
    QtHelper::SetWidgetCursor(this, shape);
    for (FormOfdPage *page : qAsConst(m_pages))
        page->SetMouseShape(shape);
    if (shape != EN_MouseShape_Text)
        m_selectingPages.clear();
}

void FormOfd::ShowVerifySeal(bool show)
{
    for (FormOfdPage *page : qAsConst(m_pages))
        page->ShowVerifySeal(show);
}

void FormOfd::SetAnnotEntryProvider(const AnnotEntryProvider &provider)
{
    AnnotProvider() = provider;
}

QList<FormOfdAnnotEntry> FormOfd::CreateAnnotViewData(int pageIndex) const
{
    QList<FormOfdAnnotEntry> entries;
    if (!AnnotProvider())
        return entries;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (pageIndex != -1 && i != pageIndex)
            continue;
        for (FormOfdAnnotEntry entry : AnnotProvider()(m_pages[i])) {
            entry.pageIndex = i;
            entries.append(entry);
        }
    }
    return entries;
}

void FormOfd::OnPageMousePress(FormOfdPage *page)
{
    Q_UNUSED(page);
}

void FormOfd::OnPageDrawAnnotEnd(FormOfdPage *page, OfdVisualItemAnnot *annot)
{
    Q_UNUSED(page);
    emit SignalDrawAnnotEnd(this, annot);
}

void FormOfd::OnPageAnnotChanged(FormOfdPage *page)
{
    emit SignalAnnotChanged(this, page);
}

// ---------------------------------------------------------------------------------------------
// Selection, copy and search

void FormOfd::OnTextSelectChanged(FormOfdPage *sender, QList<OfdVisualItemText *> &curSelectTextGroup)
{
    if (m_inSelectionUpdate)
        return;
    m_inSelectionUpdate = true;
    if (!m_dragSelectPage) {
        // A selection on one page ends the selections elsewhere.
        for (FormOfdPage *page : qAsConst(m_selectingPages)) {
            if (page != sender)
                page->ClearSelectText();
        }
        m_selectingPages.clear();
        for (FormOfdPage *page : qAsConst(m_pages))
            page->ClearSelectImage();
    }
    m_selectingPages.removeAll(sender);
    if (!curSelectTextGroup.isEmpty()) {
        m_selectingPages.append(sender);
        std::sort(m_selectingPages.begin(), m_selectingPages.end(),
                  [](FormOfdPage *a, FormOfdPage *b) { return a->GetPageIndex() < b->GetPageIndex(); });
    }
    m_inSelectionUpdate = false;
}

void FormOfd::OnImageSelectChange(FormOfdPage *sender, OfdVisualItemImage *visualImage)
{
    if (m_inSelectionUpdate)
        return;
    m_inSelectionUpdate = true;
    for (FormOfdPage *page : qAsConst(m_selectingPages)) {
        page->ClearSelectText();
        if (page != sender)
            page->ClearSelectImage();
    }
    m_selectingPages.clear();
    if (visualImage)
        m_selectingPages.append(sender);
    m_inSelectionUpdate = false;
}

void FormOfd::BeginDragSelect(FormOfdPage *page, const QPoint &globalPos)
{
    m_inSelectionUpdate = true;
    for (FormOfdPage *other : qAsConst(m_pages)) {
        if (other != page)
            other->ClearSelectText();
        other->ClearSelectImage();
    }
    m_selectingPages.clear();
    m_inSelectionUpdate = false;
    m_dragSelectPage = page;
    m_dragSelectStart = m_pageArea->mapFromGlobal(globalPos);
}

void FormOfd::UpdateDragSelect(const QPoint &globalPos)
{
    if (!m_dragSelectPage)
        return;
    const QRect area = QRect(m_dragSelectStart, m_pageArea->mapFromGlobal(globalPos)).normalized();
    for (FormOfdPage *page : qAsConst(m_pages)) {
        // The page the drag started on selects by itself.
        if (page == m_dragSelectPage)
            continue;
        const QRect part = area & page->geometry();
        if (part.isEmpty()) {
            if (m_selectingPages.contains(page)) {
                page->ClearSelectText();
                m_selectingPages.removeAll(page);
            }
            continue;
        }
        const QRectF sceneRect = page->mapToScene(part.translated(-page->pos())).boundingRect();
        if (OfdPageScene *scene = page->GetPageScene())
            scene->SelectText(sceneRect);
    }
}

void FormOfd::EndDragSelect()
{
    m_dragSelectPage = nullptr;
}

void FormOfd::ClearAllSelectText()
{
    m_inSelectionUpdate = true;
    for (FormOfdPage *page : qAsConst(m_pages))
        page->ClearSelectText();
    m_selectingPages.clear();
    m_inSelectionUpdate = false;
}

QString FormOfd::GetCopyText() const
{
    QString text;
    bool previousHasText = false;
    for (FormOfdPage *page : m_pages) {
        const QString pageText = page->GetCopyText();
        if (pageText.isEmpty())
            continue;
        if (previousHasText)
            text += kCopySeparator;
        text += pageText;
        previousHasText = true;
    }
    return text;
}

void FormOfd::ActionCopyClick()
{
    const QString text = GetCopyText();
    if (!text.isEmpty() && QGuiApplication::clipboard())
        QGuiApplication::clipboard()->setText(text);
}

int FormOfd::SearchText(QString text)
{
    int hits = 0;
    QList<FormOfdPage *> pending;
    for (FormOfdPage *page : qAsConst(m_pages)) {
        hits += page->SearchText(text);
        if (page->IsSearchPending())
            pending.append(page);
    }
    if (!pending.isEmpty()) {
        QtHelper::DelayAsyn(500);
        for (FormOfdPage *page : qAsConst(pending)) {
            // The view may have been emptied while events were processed.
            if (m_pages.contains(page))
                hits += page->RunPendingSearch();
        }
    }
    if (hits > 0) {
        // Show the first page with a hit, starting at the current page.
        const int start = qMax(0, GetCurShowPageIndex());
        for (int k = 0; k < m_pages.size(); ++k) {
            FormOfdPage *page = m_pages[(start + k) % m_pages.size()];
            if (page->GetSearchHitCount() > 0) {
                if (k != 0)
                    ScrollToPage(page->GetPageIndex());
                break;
            }
        }
    }
    return hits;
}

// ---------------------------------------------------------------------------------------------
// Custom tags

void FormOfd::ShowCustomtagNode(QList<OfdXmlCustomTagPageRef *> &refs)
{
    ClearAllSelectText();
    ClearCustomTagView();
    for (OfdXmlCustomTagPageRef *ref : refs) {
        if (ref)
            m_customTagGroups[ref->pageId].append(ref);
    }
    int firstIndex = -1;
    int firstObject = 0;
    for (auto it = m_customTagGroups.begin(); it != m_customTagGroups.end(); ++it) {
        const int index = GetPageIndex(it.key());
        FormOfdPage *page = GetPage(index);
        if (!page)
            continue;
        page->ShowCustomTag(&it.value());
        // The lowest page shown decides the scroll target, at its group's first object.
        if (firstIndex < 0 || index < firstIndex) {
            firstIndex = index;
            firstObject = it.value().first()->objectId;
        }
    }
    if (firstIndex >= 0)
        ScrollToPageVisualItem(firstIndex, firstObject);
    QCoreApplication::processEvents();
}

void FormOfd::ClearCustomTagView()
{
    for (auto it = m_customTagGroups.begin(); it != m_customTagGroups.end(); ++it) {
        if (FormOfdPage *page = GetPage(GetPageIndex(it.key())))
            page->ClearCustomTag();
    }
    m_customTagGroups.clear();
}

// ---------------------------------------------------------------------------------------------
// Seal placing

OfdVisualItemSignSeal *FormOfd::PlaceSeal(FormOfdPage *page, QSharedPointer<OES_SealInfoEx> seal,
                                          int sealType)
{
    if (!page || !seal)
        return nullptr;
    return page->ShowSignSeal(QSharedPointer<SealSignInfo>::create(seal, sealType));
}

OfdVisualItemSignSeal *FormOfd::ShowFreeSign(QSharedPointer<OES_SealInfoEx> seal)
{
    return PlaceSeal(GetCurShowPage(), seal, EN_SealSignType_Normal);
}

OfdVisualItemSignSeal *FormOfd::OnRideSign(QSharedPointer<OES_SealInfoEx> seal)
{
    FormOfdPage *page = GetCurShowPage();
    if (!page)
        page = GetPage(0);
    return PlaceSeal(page, seal, EN_SealSignType_RideRight);
}

QList<QSharedPointer<SealSignInfo>> FormOfd::GetSealSignInfo() const
{
    QList<QSharedPointer<SealSignInfo>> seals;
    for (FormOfdPage *page : m_pages)
        seals += page->GetSealSignInfo();
    return seals;
}

void FormOfd::ClearSignSeals()
{
    for (FormOfdPage *page : qAsConst(m_pages)) {
        if (OfdPageScene *scene = page->GetPageScene())
            scene->ClearSignSeals();
    }
}

QString FormOfd::SignSeal(FormOfdPage *page, OfdVisualItemSignSeal *item)
{
    // Whichever seal asked, the document is signed with every seal placed on it.
    Q_UNUSED(page);
    Q_UNUSED(item);
    const QList<QSharedPointer<SealSignInfo>> seals = GetSealSignInfo();
    if (seals.isEmpty())
        return QString();
    SignOfdFileManage manage;
    manage.SetFileReader(GetFileReader());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool signedOk = manage.SetSignInfo(seals);
    QApplication::restoreOverrideCursor();
    if (!signedOk) {
        QString message = manage.GetErrorMessage();
        if (message.isEmpty())
            message = QtHelper::fromString("签章失败");
        QMessageBox::warning(this, QtHelper::fromString("警告"), message, QMessageBox::Yes);
        return QString();
    }
    const QString path = WriteSignedFile(manage.GetSignedOfdFile(), GetSignedFileDir(GetFileFullName()));
    if (path.isEmpty())
        return QString();
    // The seals are in the signed copy now; this document stays as it was.
    ClearSignSeals();
    emit SignalOpenSignedFile(path);
    return path;
}

QString FormOfd::GetSignedFileDir(const QString &documentPath)
{
    if (!documentPath.isEmpty()) {
        const QFileInfo folder(QFileInfo(documentPath).absolutePath());
        if (folder.isDir() && folder.isWritable())
            return folder.absoluteFilePath();
    }
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return dir;
}

QString FormOfd::GetSignedFileName(const QString &dir, const QDateTime &time)
{
    const QString base = QStringLiteral("signedOfd_%1").arg(time.toString(QStringLiteral("yyyyMMdd-hhmmss")));
    const QDir folder(dir);
    QString path = folder.filePath(base + QStringLiteral(".ofd"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1_%2.ofd").arg(base).arg(n));
    return path;
}

QString FormOfd::WriteSignedFile(const QByteArray &bytes, const QString &dir)
{
    const QString path = GetSignedFileName(dir, QDateTime::currentDateTime());
    const bool ok = !bytes.isEmpty() && QDir().mkpath(dir) && OfdCreator::WriteFileAtomic(path, bytes);
    if (!ok) {
        QMessageBox::warning(this, QtHelper::fromString("警告"),
                             QtHelper::fromString("写入签章文件失败！%1").arg(path), QMessageBox::Ok);
        return QString();
    }
    return path;
}
