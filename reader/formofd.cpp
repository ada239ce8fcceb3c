#include "reader/formofd.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "annot/ofdannotviewdata.h"
#include "annot/pageannotmanage.h"
#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdxmlpage.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmlpagemanage.h"
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

// The scroll bars count in ints; columns taller than this are scrolled in coarser units.
constexpr qint64 kMaxScrollRange = qint64(1) << 30;

bool IsQuarterTurnAngle(double rotation)
{
    const int quarter = int(rotation) % 360;
    return quarter == 90 || quarter == 270;
}

// Page size in pixels at rate 1 for laying a page out before it is read: its own box once parsed,
// else the document's default, else A4.
QSizeF PageSizeHint(OfdFile *file, int index)
{
    QRectF box;
    if (file && file->GetPageAreaHint(index, box) && box.width() > 0 && box.height() > 0)
        return QSizeF(OfdConvert::OfdMMToPixel(box.width()), OfdConvert::OfdMMToPixel(box.height()));
    return QSizeF(OfdConvert::OfdMMToPixel(210), OfdConvert::OfdMMToPixel(297));
}
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

    // The scroll area holds no contents widget: its scroll bars count document pixels (a column of
    // thousands of pages at a high rate is far taller than a widget may be), and the page area
    // covers the viewport, with the widgets of the pages in sight placed on it.
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_pageArea = new ScrollAreaOfPage(m_scrollArea->viewport());
    m_pageArea->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    m_pageArea->setGeometry(m_scrollArea->viewport()->rect());
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
    connect(hbar, &QScrollBar::valueChanged, this, [this]() { PositionLivePages(); });
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
    m_dragSelectPage = -1;
    m_searchCancelled = true;
    // Widgets first: they show the scenes.
    const QList<int> live = m_livePages.keys();
    for (int index : live)
        ReleasePage(index);
    qDeleteAll(m_scenes);
    m_scenes.clear();
    m_sceneOrder.clear();
    m_pageSizes.clear();
    m_slots.clear();
    m_rowTops.clear();
    m_rowHeights.clear();
    m_contentHeight = 0;
    m_contentWidth = 0;
    m_searchHits.clear();
    m_searchText.clear();
    m_hitPage = m_hitIndex = -1;
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
    // Pages are read when they are first shown, not here.
    return reader && m_viewManage->SetFileReader(reader);
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
    OfdFile *file = GetOfdFile();
    const int count = GetPageCount();
    m_pageSizes.resize(count);
    for (int i = 0; i < count; ++i)
        m_pageSizes[i] = PageSizeHint(file, i);
    ShowPage(1);
}

// ---------------------------------------------------------------------------------------------
// Page widgets and scenes

FormOfdPage *FormOfd::GetPage(int index) const
{
    if (FormOfdPage *page = m_livePages.value(index))
        return page;
    if (index < 0 || index >= m_pageSizes.size())
        return nullptr;
    // Asked for a page far from the view: made now, released again at the next scroll.
    return const_cast<FormOfd *>(this)->MakePage(index);
}

QList<FormOfdPage *> FormOfd::GetPageList() const
{
    return m_livePages.values();
}

QList<OfdPageScene *> FormOfd::GetPageSceneList() const
{
    QList<OfdPageScene *> scenes;
    scenes.reserve(m_pageSizes.size());
    for (int i = 0; i < m_pageSizes.size(); ++i)
        scenes.append(m_scenes.value(i));
    return scenes;
}

void FormOfd::SetSceneBudget(int scenes)
{
    m_sceneBudget = qMax(1, scenes);
    TrimScenes();
}

OfdPageScene *FormOfd::AcquireScene(int index)
{
    if (index < 0 || index >= m_pageSizes.size() || !m_viewManage)
        return nullptr;
    OfdPageScene *scene = m_scenes.value(index);
    if (scene) {
        m_sceneOrder.removeOne(index);
        m_sceneOrder.append(index);
        return scene;
    }
    scene = new OfdPageScene();
    scene->SetViewManage(m_viewManage);
    scene->SetPageIndex(m_documentIndex, index);
    scene->CreateScene();
    m_scenes.insert(index, scene);
    m_sceneOrder.append(index);
    ApplyViewState(scene, index);
    // The page has been read now: its own size replaces the one it was laid out with.
    const QSizeF real(scene->GetPageWidthPixel(), scene->GetPageHeightPixel());
    if (qAbs(real.width() - m_pageSizes[index].width()) > 0.01 ||
        qAbs(real.height() - m_pageSizes[index].height()) > 0.01) {
        m_pageSizes[index] = real;
        m_sizeChanged = true;
        // Inside UpdateVisiblePages the layout is redone there; otherwise once control is back in
        // the event loop, so that a widget asked for now is not released at once.
        if (!m_updatingPages && !m_relayoutPosted) {
            m_relayoutPosted = true;
            QTimer::singleShot(0, this, [this]() {
                m_relayoutPosted = false;
                if (m_sizeChanged)
                    RelayoutKeepingView();
            });
        }
    }
    TrimScenes();
    return scene;
}

void FormOfd::ApplyViewState(OfdPageScene *scene, int index)
{
    scene->SetReaderView(m_readerView);
    scene->SetAnnot(int(m_annotType));
    scene->SetMouseShape(m_mouseShape);
    scene->SetViewRate(float(m_viewRate));
    if (m_verifyShown)
        scene->ShowVerifySeal(true);
    // Search marks come back with the page.
    if (!m_searchText.isEmpty() && m_searchHits.value(index) > 0)
        scene->SearchText(m_searchText);
}

bool FormOfd::IsScenePinned(int index, OfdPageScene *scene) const
{
    // Shown somewhere (reading view, thumbnail, preview), or holding what the user made on it.
    if (!scene->views().isEmpty() || m_selectingPages.contains(index))
        return true;
    return !scene->GetSelectTextItems().isEmpty() || !scene->GetSignSealItems().isEmpty() ||
           scene->HasUnsavedContent() || scene->mouseGrabberItem();
}

void FormOfd::TrimScenes()
{
    if (m_scenes.size() <= m_sceneBudget)
        return;
    // Least recently used first; pinned scenes stay whatever the budget, and so does the scene
    // used last (it may have been built this moment for a caller).
    for (int k = 0; k + 1 < m_sceneOrder.size() && m_scenes.size() > m_sceneBudget;) {
        const int index = m_sceneOrder[k];
        OfdPageScene *scene = m_scenes.value(index);
        if (scene && IsScenePinned(index, scene)) {
            ++k;
            continue;
        }
        m_sceneOrder.removeAt(k);
        m_scenes.remove(index);
        delete scene;
        // The page's parsed objects go with its scene; they are read again when it comes back.
        if (OfdFile *file = GetOfdFile())
            file->ReleasePage(index);
    }
}

FormOfdPage *FormOfd::MakePage(int index)
{
    auto *page = new FormOfdPage(m_pageArea);
    page->SetDocumentIndex(m_documentIndex);
    page->SetMainForm(this);
    page->SetViewManage(m_viewManage);
    page->SetPageIndex(index);
    m_livePages.insert(index, page);
    page->SetPageScene(AcquireScene(index));
    page->ShowPageView(m_viewRate, m_rotation);
    page->SetMouseShape(m_mouseShape);
    page->SetAnnot(m_annotType);
    page->SetReaderView(m_readerView);
    page->SetSearchHitCount(m_searchHits.value(index));
    const int pageKey = page->GetPageRefId();
    if (m_customTagGroups.contains(pageKey))
        page->ShowCustomTag(&m_customTagGroups[pageKey]);
    connect(page, &FormOfdPage::SignalImageSelectChange, this, &FormOfd::OnImageSelectChange);
    connect(page, &FormOfdPage::SignalTextSelectChanged, this, &FormOfd::OnTextSelectChanged);
    connect(page, &FormOfdPage::SignalDrawAnnotEnd, this, &FormOfd::OnPageDrawAnnotEnd);
    connect(page, &FormOfdPage::SignalAnnotChanged, this, &FormOfd::OnPageAnnotChanged);
    connect(page, &FormOfdPage::SignalMousePress, this, &FormOfd::OnPageMousePress);
    if (index < m_slots.size()) {
        const PageSlot &slot = m_slots[index];
        page->move(slot.left - m_scrollArea->horizontalScrollBar()->value(), int(slot.top - GetScrollTop()));
    }
    page->show();
    return page;
}

void FormOfd::ReleasePage(int index)
{
    FormOfdPage *page = m_livePages.take(index);
    if (!page)
        return;
    disconnect(page, nullptr, this, nullptr);
    page->hide();
    // The widget may be on the call stack (a mouse event that scrolled): it goes once control is
    // back in the event loop. Its scene stays with the view.
    page->SetPageScene(nullptr);
    page->deleteLater();
}

// ---------------------------------------------------------------------------------------------
// Layout

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
    RelayoutKeepingView();
}

void FormOfd::ComputeLayout()
{
    ++m_layoutCount;
    const int count = m_pageSizes.size();
    const int columns = qMax(1, m_columnCount);
    const bool turned = IsQuarterTurnAngle(m_rotation);
    m_slots.resize(count);
    for (int i = 0; i < count; ++i) {
        int width = int(float(m_pageSizes[i].width() * m_viewRate));
        int height = int(float(m_pageSizes[i].height() * m_viewRate));
        if (turned)
            std::swap(width, height);
        m_slots[i].width = width;
        m_slots[i].height = height;
    }
    // Row widths: pages, the spacing between them, and for a short last row the places of the
    // missing pages, so that its pages stay under the columns above.
    const int rows = (count + columns - 1) / columns;
    QVector<int> rowWidths(rows);
    int widest = 0;
    for (int row = 0; row < rows; ++row) {
        const int start = row * columns;
        const int end = qMin(count, start + columns);
        int width = 0;
        for (int i = start; i < end; ++i)
            width += m_slots[i].width + (i > start ? AppParam::PageColumnSpace : 0);
        for (int missing = end - start; missing < columns; ++missing)
            width += m_slots[end - 1].width + AppParam::PageColumnSpace;
        rowWidths[row] = width;
        widest = qMax(widest, width);
    }
    // Two small spacers keep the pages off the edges; rows are centred.
    m_contentWidth = qMax(m_scrollArea->viewport()->width(), widest + 4);
    m_rowTops.resize(rows);
    m_rowHeights.resize(rows);
    qint64 y = count > 0 ? AppParam::PageFirstRowSpace : 0;
    for (int row = 0; row < rows; ++row) {
        const int start = row * columns;
        const int end = qMin(count, start + columns);
        int height = 0;
        for (int i = start; i < end; ++i)
            height = qMax(height, m_slots[i].height);
        int x = (m_contentWidth - rowWidths[row]) / 2;
        for (int i = start; i < end; ++i) {
            m_slots[i].left = x;
            m_slots[i].top = y + (height - m_slots[i].height) / 2;
            x += m_slots[i].width + AppParam::PageColumnSpace;
        }
        m_rowTops[row] = y;
        m_rowHeights[row] = height;
        y += height + AppParam::PageRowSpace;
    }
    m_contentHeight = y;
    m_scrollScale = int(m_contentHeight / kMaxScrollRange + 1);
}

void FormOfd::RelayoutKeepingView()
{
    // The page at the top of the view stays there, at the same share of its height.
    int anchor = -1;
    double share = 0;
    const qint64 top = GetScrollTop();
    if (!m_slots.isEmpty() && top > 0) {
        const int row = qMin(FirstRowBelow(top), m_rowTops.size() - 1);
        anchor = row * qMax(1, m_columnCount);
        if (anchor < m_slots.size() && m_slots[anchor].height > 0)
            share = double(top - m_slots[anchor].top) / m_slots[anchor].height;
    }
    ComputeLayout();
    UpdateScrollBars();
    if (anchor >= 0 && anchor < m_slots.size())
        SetScrollTop(m_slots[anchor].top + qint64(std::llround(share * m_slots[anchor].height)));
    UpdateVisiblePages();
}

void FormOfd::UpdateScrollBars()
{
    QWidget *viewport = m_scrollArea->viewport();
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    QScrollBar *hbar = m_scrollArea->horizontalScrollBar();
    const qint64 vmax = qMax<qint64>(0, m_contentHeight - viewport->height());
    vbar->setRange(0, int(vmax / m_scrollScale));
    vbar->setPageStep(qMax(1, viewport->height() / m_scrollScale));
    vbar->setSingleStep(qMax(1, 20 / m_scrollScale));
    hbar->setRange(0, qMax(0, m_contentWidth - viewport->width()));
    hbar->setPageStep(qMax(1, viewport->width()));
}

qint64 FormOfd::GetScrollTop() const
{
    return qint64(m_scrollArea->verticalScrollBar()->value()) * m_scrollScale;
}

void FormOfd::SetScrollTop(qint64 top)
{
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    vbar->setValue(int(qBound<qint64>(0, top / m_scrollScale, vbar->maximum())));
}

int FormOfd::FirstRowBelow(qint64 y) const
{
    // The first row whose bottom lies below y.
    int low = 0;
    int high = m_rowTops.size();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_rowTops[mid] + m_rowHeights[mid] <= y)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

void FormOfd::FirstAndLastVisible(int &first, int &last) const
{
    first = last = -1;
    if (m_slots.isEmpty())
        return;
    const int columns = qMax(1, m_columnCount);
    const qint64 top = GetScrollTop();
    const qint64 bottom = top + qMax(1, m_scrollArea->viewport()->height());
    int row = FirstRowBelow(top);
    if (row >= m_rowTops.size())
        row = m_rowTops.size() - 1;
    first = row * columns;
    int lastRow = row;
    while (lastRow + 1 < m_rowTops.size() && m_rowTops[lastRow + 1] < bottom)
        ++lastRow;
    last = qMin(m_slots.size() - 1, (lastRow + 1) * columns - 1);
}

void FormOfd::UpdateVisiblePages()
{
    if (m_updatingPages)
        return;
    m_updatingPages = true;
    for (int round = 0; round < 4; ++round) {
        int first = -1;
        int last = -1;
        FirstAndLastVisible(first, last);
        // The pages in sight and one on each side have widgets; the others go.
        const int from = first < 0 ? 0 : qMax(0, first - 1);
        const int to = last < 0 ? -1 : qMin(m_slots.size() - 1, last + 1);
        const QList<int> live = m_livePages.keys();
        for (int index : live) {
            if ((index < from || index > to) && index != m_dragSelectPage)
                ReleasePage(index);
        }
        m_sizeChanged = false;
        for (int index = from; index <= to; ++index) {
            if (!m_livePages.contains(index))
                MakePage(index);
        }
        if (!m_sizeChanged)
            break;
        // A page read just now differs from the size it was laid out with.
        m_updatingPages = false;
        RelayoutKeepingView();
        m_updatingPages = true;
        break;
    }
    m_updatingPages = false;
    PositionLivePages();
    TrimScenes();
}

void FormOfd::PositionLivePages()
{
    const qint64 top = GetScrollTop();
    const int left = m_scrollArea->horizontalScrollBar()->value();
    m_pageArea->setGeometry(m_scrollArea->viewport()->rect());
    for (auto it = m_livePages.cbegin(); it != m_livePages.cend(); ++it) {
        if (it.key() >= m_slots.size())
            continue;
        const PageSlot &slot = m_slots[it.key()];
        FormOfdPage *page = it.value();
        if (page->GetRate() != m_viewRate || page->GetRotation() != m_rotation)
            page->ShowPageView(m_viewRate, m_rotation);
        // Widgets near the view only: their offsets stay small whatever the column's height.
        page->move(slot.left - left, int(slot.top - top));
    }
}

int FormOfd::GetPageRowCount() const
{
    if (m_columnCount <= 0)
        return 0;
    return (m_pageSizes.size() + m_columnCount - 1) / m_columnCount;
}

qint64 FormOfd::GetPageTop(int index) const
{
    return index >= 0 && index < m_slots.size() ? m_slots[index].top : 0;
}

int FormOfd::GetPageLeft(int index) const
{
    return index >= 0 && index < m_slots.size() ? m_slots[index].left : 0;
}

QSize FormOfd::GetPageSlotSize(int index) const
{
    return index >= 0 && index < m_slots.size() ? QSize(m_slots[index].width, m_slots[index].height)
                                                : QSize();
}

double FormOfd::GetTotalVerticalSpacing() const
{
    return GetPageRowCount() * AppParam::PageRowSpace + AppParam::PageFirstRowSpace;
}

double FormOfd::GetSpacingAbove(qint64 value) const
{
    const int columns = qMax(1, m_columnCount);
    // The row holding the value decides: the gaps above it. Between rows: everything above the
    // value that no row covers.
    const int row = FirstRowBelow(value);
    if (row < m_rowTops.size() && value >= m_rowTops[row])
        return AppParam::PageFirstRowSpace + double(row) * AppParam::PageRowSpace;
    Q_UNUSED(columns);
    double covered = 0;
    for (int r = 0; r < row && r < m_rowHeights.size(); ++r)
        covered += m_rowHeights[r];
    return qMax(0.0, double(value) - covered);
}

void FormOfd::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
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
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->SetViewRate(float(rate));
    if (m_slots.isEmpty())
        return;
    QScrollBar *vbar = m_scrollArea->verticalScrollBar();
    const bool barVisible = vbar->maximum() > 0;
    double ratio = 0;
    double spacing = 0;
    if (barVisible) {
        const qint64 value = GetScrollTop();
        const qint64 max = qint64(vbar->maximum()) * m_scrollScale;
        spacing = GetSpacingAbove(value);
        const double denominator = max - GetTotalVerticalSpacing();
        ratio = denominator > 0 ? (value - spacing) / denominator : 0;
    }
    ComputeLayout();
    UpdateScrollBars();
    if (barVisible && keepPosition && ratio != 0) {
        // The same share of the pages lies above the view as before.
        const qint64 max = qint64(vbar->maximum()) * m_scrollScale;
        SetScrollTop(qint64((max - GetTotalVerticalSpacing()) * ratio + spacing));
    }
    UpdateVisiblePages();
}

bool FormOfd::event(QEvent *e)
{
    if (e->type() == QEventFormOfd::EventType()) {
        auto *restore = static_cast<QEventFormOfd *>(e);
        if (restore->GetKind() == 1) {
            const qint64 max = qint64(m_scrollArea->verticalScrollBar()->maximum()) * m_scrollScale;
            SetScrollTop(
                qint64((max - GetTotalVerticalSpacing()) * restore->GetRatio() + restore->GetSpacing()));
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
    RelayoutKeepingView();
    emit SignalRotationChanged(this, m_rotation);
}

// ---------------------------------------------------------------------------------------------
// Pages and scrolling

void FormOfd::ScrollToPage(int index, int x, int y)
{
    Q_UNUSED(x);
    if (m_slots.isEmpty())
        return;
    index = qBound(0, index, m_slots.size() - 1);
    SetScrollTop(m_slots[index].top + qint64(y * m_viewRate));
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
    if (pageIndex < 0 || pageIndex >= m_slots.size())
        return;
    ScrollToPage(pageIndex);
    FormOfdPage *page = GetPage(pageIndex);
    const QRect rect = page ? page->GetItemRect(itemId) : QRect();
    SetScrollTop(m_slots[pageIndex].top + (rect.isNull() ? 0 : rect.top()) - 40);
}

void FormOfd::ScrollPixel(int dy, int dx)
{
    QScrollBar *hbar = m_scrollArea->horizontalScrollBar();
    SetScrollTop(GetScrollTop() + dy);
    hbar->setValue(hbar->value() + dx);
}

void FormOfd::MoveWnd(QPointF from, QPointF to)
{
    const QPointF delta = to - from;
    ScrollPixel(-qRound(delta.y()), -qRound(delta.x()));
}

FormOfdPage *FormOfd::GetCurShowPage() const
{
    const int index = GetCurShowPageIndex();
    return index < 0 ? nullptr : GetPage(index);
}

int FormOfd::GetCurShowPageIndex() const
{
    if (m_slots.isEmpty())
        return -1;
    const double rangeTop = double(GetScrollTop());
    const double rangeBottom = rangeTop + m_scrollArea->viewport()->height() - 1;
    if (rangeBottom <= rangeTop)
        return 0;
    int first = -1;
    int last = -1;
    FirstAndLastVisible(first, last);
    int best = -1;
    double bestShare = 0;
    for (int i = qMax(0, first); i <= last; ++i) {
        const double top = double(m_slots[i].top);
        const double bottom = top + m_slots[i].height;
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
    const int index = GetCurShowPageIndex();
    return index < 0 ? 0 : m_pageSizes[index].width();
}

double FormOfd::GetCurPageRealHeight() const
{
    const int index = GetCurShowPageIndex();
    return index < 0 ? 0 : m_pageSizes[index].height();
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
    UpdateVisiblePages();
    emit EventPageIndexChanged(this, GetCurShowPageIndex());
}

void FormOfd::OnScrollKeyRelease(ScrollAreaOfPage *sender, int keyValue)
{
    Q_UNUSED(sender);
    switch (keyValue) {
    case Qt::Key_Up:
        ScrollPixel(-20, 0);
        break;
    case Qt::Key_Down:
        ScrollPixel(20, 0);
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
        ScrollToPage(m_slots.size() - 1);
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
    if (watched == m_scrollArea->viewport()) {
        if (e->type() == QEvent::Wheel) {
            auto *wheel = static_cast<QWheelEvent *>(e);
            if (wheel->modifiers() & Qt::ControlModifier) {
                const int steps = wheel->angleDelta().y() / 120;
                if (steps != 0)
                    ZoomBySteps(steps);
                wheel->accept();
                return true;
            }
        } else if (e->type() == QEvent::Resize) {
            // Rows are centred in the width; the scroll ranges follow the height.
            RelayoutKeepingView();
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------------
// Tools

void FormOfd::SetReaderView(EN_OfdReaderView view)
{
    m_readerView = view;
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->SetReaderView(view);
    for (FormOfdPage *page : qAsConst(m_livePages))
        page->SetReaderView(view);
}

void FormOfd::SetAnnot(EN_AnnotType type)
{
    m_annotType = type;
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->SetAnnot(int(type));
    for (FormOfdPage *page : qAsConst(m_livePages))
        page->SetAnnot(type);
}

void FormOfd::SetMouseShape(EN_MouseShape shape)
{
    m_mouseShape = shape;
    QtHelper::SetWidgetCursor(this, shape);
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->SetMouseShape(shape);
    for (FormOfdPage *page : qAsConst(m_livePages))
        page->SetMouseShape(shape);
    if (shape != EN_MouseShape_Text)
        m_selectingPages.clear();
}

void FormOfd::ShowVerifySeal(bool show)
{
    m_verifyShown = show;
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->ShowVerifySeal(show);
}

void FormOfd::SetAnnotEntryProvider(const AnnotEntryProvider &provider)
{
    AnnotProvider() = provider;
}

QList<FormOfdAnnotEntry> FormOfd::CreateAnnotViewData(int pageIndex) const
{
    QList<FormOfdAnnotEntry> entries;
    const int from = pageIndex == -1 ? 0 : pageIndex;
    const int to = pageIndex == -1 ? m_pageSizes.size() - 1 : qMin(pageIndex, m_pageSizes.size() - 1);
    if (!AnnotProvider()) {
        // Built pages answer from their scene (new, hidden and deleted annotations included), the
        // others from the annotation files, so that listing a long document builds no page.
        OfdFile *document = GetOfdFile();
        OfdXmlPageManage *pages = document ? document->GetPageManage() : nullptr;
        for (int i = qMax(0, from); i <= to; ++i) {
            std::unique_ptr<OfdAnnotViewDataOfPage> pageData;
            if (OfdPageScene *scene = m_scenes.value(i)) {
                if (PageAnnotManage *manage = PageAnnotManage::FromScene(scene))
                    pageData.reset(manage->CreateAnnotViewData());
            } else if (OfdXmlPage *page = pages ? pages->GetOfdPage(i, false) : nullptr) {
                pageData.reset(PageAnnotManage::CreateAnnotViewData(document, page->GetPageRefId(), i));
            }
            if (!pageData)
                continue;
            for (const OfdAnnotViewDataItem *item : pageData->GetItems()) {
                FormOfdAnnotEntry entry;
                entry.pageIndex = i;
                entry.type = item->type;
                entry.subtype = item->subtype;
                entry.visible = item->visible;
                entry.itemIds = item->itemIds;
                entry.creator = item->creator;
                entry.lastModDate = item->lastModDate;
                entries.append(entry);
            }
        }
        return entries;
    }
    for (int i = qMax(0, from); i <= to; ++i) {
        const bool wasLive = m_livePages.contains(i);
        FormOfdPage *page = GetPage(i);
        if (!page)
            continue;
        for (FormOfdAnnotEntry entry : AnnotProvider()(page)) {
            entry.pageIndex = i;
            entries.append(entry);
        }
        // Pages made only to be asked go at once, so that the widgets stay few.
        if (!wasLive)
            const_cast<FormOfd *>(this)->ReleasePage(i);
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

QList<FormOfdPage *> FormOfd::GetSelectingPages() const
{
    QList<FormOfdPage *> pages;
    for (int index : m_selectingPages) {
        if (FormOfdPage *page = GetPage(index))
            pages.append(page);
    }
    return pages;
}

void FormOfd::OnTextSelectChanged(FormOfdPage *sender, QList<OfdVisualItemText *> &curSelectTextGroup)
{
    if (m_inSelectionUpdate || !sender)
        return;
    m_inSelectionUpdate = true;
    const int index = sender->GetPageIndex();
    if (m_dragSelectPage < 0) {
        // A selection on one page ends the selections elsewhere.
        for (int other : qAsConst(m_selectingPages)) {
            if (other != index) {
                if (OfdPageScene *scene = m_scenes.value(other))
                    scene->ClearSelectText();
            }
        }
        m_selectingPages.clear();
        for (OfdPageScene *scene : qAsConst(m_scenes))
            scene->ClearSelectImage();
    }
    m_selectingPages.removeAll(index);
    if (!curSelectTextGroup.isEmpty()) {
        m_selectingPages.append(index);
        std::sort(m_selectingPages.begin(), m_selectingPages.end());
    }
    m_inSelectionUpdate = false;
}

void FormOfd::OnImageSelectChange(FormOfdPage *sender, OfdVisualItemImage *visualImage)
{
    if (m_inSelectionUpdate || !sender)
        return;
    m_inSelectionUpdate = true;
    const int index = sender->GetPageIndex();
    for (int other : qAsConst(m_selectingPages)) {
        if (OfdPageScene *scene = m_scenes.value(other)) {
            scene->ClearSelectText();
            if (other != index)
                scene->ClearSelectImage();
        }
    }
    m_selectingPages.clear();
    if (visualImage)
        m_selectingPages.append(index);
    m_inSelectionUpdate = false;
}

void FormOfd::BeginDragSelect(FormOfdPage *page, const QPoint &globalPos)
{
    m_inSelectionUpdate = true;
    const int index = page ? page->GetPageIndex() : -1;
    for (auto it = m_scenes.cbegin(); it != m_scenes.cend(); ++it) {
        if (it.key() != index)
            it.value()->ClearSelectText();
        it.value()->ClearSelectImage();
    }
    m_selectingPages.clear();
    m_inSelectionUpdate = false;
    m_dragSelectPage = index;
    m_dragSelectStart = m_pageArea->mapFromGlobal(globalPos);
}

void FormOfd::UpdateDragSelect(const QPoint &globalPos)
{
    if (m_dragSelectPage < 0)
        return;
    const QRect area = QRect(m_dragSelectStart, m_pageArea->mapFromGlobal(globalPos)).normalized();
    const QList<FormOfdPage *> pages = m_livePages.values();
    for (FormOfdPage *page : pages) {
        // The page the drag started on selects by itself.
        const int index = page->GetPageIndex();
        if (index == m_dragSelectPage)
            continue;
        const QRect part = area & page->geometry();
        if (part.isEmpty()) {
            if (m_selectingPages.contains(index)) {
                page->ClearSelectText();
                m_selectingPages.removeAll(index);
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
    m_dragSelectPage = -1;
}

void FormOfd::ClearAllSelectText()
{
    m_inSelectionUpdate = true;
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->ClearSelectText();
    m_selectingPages.clear();
    m_inSelectionUpdate = false;
}

QString FormOfd::GetCopyText() const
{
    // Only built scenes can hold a selection.
    QList<int> indexes = m_scenes.keys();
    std::sort(indexes.begin(), indexes.end());
    QString text;
    bool previousHasText = false;
    for (int index : qAsConst(indexes)) {
        const QString pageText = m_scenes.value(index)->GetCopyText();
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
    // A search still running stops; this one starts from the current page.
    m_searchCancelled = true;
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->InitTextSearch();
    for (FormOfdPage *page : qAsConst(m_livePages))
        page->SetSearchHitCount(0);
    m_searchHits.clear();
    m_hitPage = m_hitIndex = -1;
    m_searchText = text;
    const int count = m_slots.size();
    if (text.trimmed().isEmpty() || count == 0) {
        m_searchText.clear();
        return 0;
    }
    if (m_searching) {
        // The running search sees the cancel and the new text when control returns to it.
        return 0;
    }
    m_searching = true;
    m_searchCancelled = false;
    int total = 0;
    const int start = qMax(0, GetCurShowPageIndex());
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const QPointer<FormOfd> alive(this);
    for (int k = 0; k < count; ++k) {
        const int index = (start + k) % count;
        emit SignalSearchProgress(index, k, count);
        OfdPageScene *scene = AcquireScene(index);
        const int hits = scene ? scene->SearchText(text) : 0;
        if (hits > 0) {
            m_searchHits.insert(index, hits);
            total += hits;
            if (FormOfdPage *page = m_livePages.value(index)) {
                page->SetSearchHitCount(hits);
                page->viewport()->update();
            }
            // The first hit is shown as soon as it is found.
            if (m_hitPage < 0)
                ScrollToHit(index, 0);
        }
        // Input (a cancel, a new search) is handled between pages.
        if (sinceEvents.elapsed() > 30) {
            QCoreApplication::processEvents();
            // The view may have been closed meanwhile: nothing of it may be touched then.
            if (!alive)
                return total;
            sinceEvents.restart();
        }
        if (m_searchCancelled || m_slots.size() != count || m_searchText != text)
            break;
    }
    m_searching = false;
    emit SignalSearchProgress(-1, count, count);
    // A new search asked for while this one ran starts now.
    if (m_searchText != text && !m_searchText.isEmpty()) {
        const QString next = m_searchText;
        return SearchText(next);
    }
    return total;
}

int FormOfd::GetSearchHitTotal() const
{
    int total = 0;
    for (int hits : m_searchHits)
        total += hits;
    return total;
}

bool FormOfd::GetCurrentHit(int &pageIndex, int &hitIndex) const
{
    pageIndex = m_hitPage;
    hitIndex = m_hitIndex;
    return m_hitPage >= 0;
}

bool FormOfd::ShowNextHit(bool backwards)
{
    if (m_searchHits.isEmpty())
        return false;
    int page = m_hitPage;
    int hit = m_hitIndex;
    if (page < 0 || !m_searchHits.contains(page)) {
        // Nothing shown yet: the first hit at or after (before) the current page.
        const int current = qMax(0, GetCurShowPageIndex());
        auto it = m_searchHits.lowerBound(current);
        if (backwards) {
            it = m_searchHits.upperBound(current);
            it = it == m_searchHits.begin() ? std::prev(m_searchHits.end()) : std::prev(it);
            ScrollToHit(it.key(), it.value() - 1);
        } else {
            if (it == m_searchHits.end())
                it = m_searchHits.begin();
            ScrollToHit(it.key(), 0);
        }
        return true;
    }
    if (!backwards && hit + 1 < m_searchHits.value(page)) {
        ScrollToHit(page, hit + 1);
        return true;
    }
    if (backwards && hit > 0) {
        ScrollToHit(page, hit - 1);
        return true;
    }
    // The next (previous) page with hits, round the end of the document.
    auto it = m_searchHits.find(page);
    if (backwards) {
        it = it == m_searchHits.begin() ? std::prev(m_searchHits.end()) : std::prev(it);
        ScrollToHit(it.key(), it.value() - 1);
    } else {
        ++it;
        if (it == m_searchHits.end())
            it = m_searchHits.begin();
        ScrollToHit(it.key(), 0);
    }
    return true;
}

void FormOfd::ScrollToHit(int pageIndex, int hitIndex)
{
    m_hitPage = pageIndex;
    m_hitIndex = hitIndex;
    ScrollToPage(pageIndex);
    FormOfdPage *page = GetPage(pageIndex);
    OfdPageScene *scene = page ? page->GetPageScene() : nullptr;
    if (!scene)
        return;
    const QList<QRectF> rects = scene->GetSearchRects();
    if (hitIndex < 0 || hitIndex >= rects.size())
        return;
    // The hit lies a little below the top of the view.
    const QRect inPage = page->mapFromScene(rects[hitIndex]).boundingRect();
    SetScrollTop(m_slots[pageIndex].top + inPage.top() - 40);
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
        if (index < 0)
            continue;
        // Pages with widgets show it now; the others when they come into view.
        if (FormOfdPage *page = m_livePages.value(index))
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
    for (FormOfdPage *page : qAsConst(m_livePages))
        page->ClearCustomTag();
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
    // Scenes with placed seals are never dropped, so the built ones hold them all.
    QList<int> indexes = m_scenes.keys();
    std::sort(indexes.begin(), indexes.end());
    QList<QSharedPointer<SealSignInfo>> seals;
    for (int index : qAsConst(indexes))
        seals += m_scenes.value(index)->GetSealSignInfo();
    return seals;
}

void FormOfd::ClearSignSeals()
{
    for (OfdPageScene *scene : qAsConst(m_scenes))
        scene->ClearSignSeals();
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
