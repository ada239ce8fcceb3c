#include "reader/formofdpagecolumn.h"

#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

#include "app/qthelper.h"
#include "render/ofdpagescene.h"

namespace {
constexpr int kTopMargin = 10;
constexpr int kNumberHeight = 20;
constexpr int kSpacing = 8;
constexpr qint64 kMaxScrollRange = qint64(1) << 30;
} // namespace

FormOfdPageColumn::FormOfdPageColumn(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setStyleSheet(QtHelper::GetScrollBarVerticalQss());
    verticalScrollBar()->setSingleStep(20);
}

FormOfdPageColumn::~FormOfdPageColumn()
{
    // The scenes belong to the provider: the widgets let go of them first.
    const QList<int> live = m_live.keys();
    for (int index : live)
        Release(index);
}

void FormOfdPageColumn::SetPages(int count, const SizeProvider &size, const SceneProvider &scene,
                                 EN_OfdPageType type, double width)
{
    const QList<int> live = m_live.keys();
    for (int index : live)
        Release(index);
    m_size = size;
    m_scene = scene;
    m_type = type;
    m_width = width;
    m_marked = -1;
    count = qMax(0, count);
    m_tops.resize(count);
    m_heights.resize(count);
    qint64 y = kTopMargin;
    for (int i = 0; i < count; ++i) {
        const QSizeF pageSize = m_size ? m_size(i) : QSizeF();
        const double rate = pageSize.width() > 0 ? m_width / pageSize.width() : 0;
        m_tops[i] = y;
        m_heights[i] = int(float(pageSize.height() * rate));
        y += m_heights[i] + kNumberHeight + kSpacing;
    }
    m_height = y + kTopMargin;
    m_scale = int(m_height / kMaxScrollRange + 1);
    UpdateRange();
    verticalScrollBar()->setValue(0);
    UpdateLive();
}

double FormOfdPageColumn::GetPageRate(int index) const
{
    const QSizeF pageSize = m_size ? m_size(index) : QSizeF();
    return pageSize.width() > 0 ? m_width / pageSize.width() : 1.0;
}

qint64 FormOfdPageColumn::ScrollTop() const
{
    return qint64(verticalScrollBar()->value()) * m_scale;
}

void FormOfdPageColumn::UpdateRange()
{
    const int height = viewport()->height();
    verticalScrollBar()->setRange(0, int(qMax<qint64>(0, m_height - height) / m_scale));
    verticalScrollBar()->setPageStep(qMax(1, height / m_scale));
}

FormOfdPageColumn::Live FormOfdPageColumn::Make(int index)
{
    Live live;
    live.page = new FormOfdPage(viewport());
    live.page->SetPageType(m_type);
    live.page->SetPageIndex(index);
    if (OfdPageScene *scene = m_scene ? m_scene(index) : nullptr)
        live.page->SetPageScene(scene);
    live.page->SetPageIndex(index);
    live.page->ShowPageView(GetPageRate(index));
    live.page->ShowSelectFlag(index == m_marked);
    live.page->ShowPageNum(m_showPageNum);
    connect(live.page, &FormOfdPage::SignalMousePress, this,
            [this, index]() { emit SignalPagePressed(index); });
    live.number = new QLabel(QString::number(index + 1), viewport());
    live.number->setObjectName(QStringLiteral("labelPageNum"));
    live.number->setAlignment(Qt::AlignCenter);
    m_live.insert(index, live);
    const int y = int(m_tops[index] - ScrollTop());
    live.page->move((viewport()->width() - live.page->width()) / 2, y);
    live.number->setGeometry(0, y + m_heights[index] + 2, viewport()->width(), kNumberHeight - 2);
    live.page->show();
    live.number->show();
    emit SignalPageCreated(live.page);
    return live;
}

void FormOfdPageColumn::Release(int index)
{
    const Live live = m_live.take(index);
    if (live.page) {
        disconnect(live.page, nullptr, this, nullptr);
        live.page->hide();
        live.page->SetPageScene(nullptr);
        live.page->deleteLater();
    }
    delete live.number;
}

FormOfdPage *FormOfdPageColumn::GetPage(int index)
{
    if (index < 0 || index >= m_tops.size())
        return nullptr;
    auto found = m_live.find(index);
    if (found != m_live.end())
        return found->page;
    // Out of sight: made now, released again at the next scroll.
    return Make(index).page;
}

void FormOfdPageColumn::UpdateLive()
{
    if (m_updating)
        return;
    m_updating = true;
    const qint64 top = ScrollTop();
    const qint64 bottom = top + viewport()->height();
    // The first page whose slot reaches below the top, and the pages down to the bottom.
    int first = int(std::lower_bound(m_tops.cbegin(), m_tops.cend(), top) - m_tops.cbegin());
    first = qMax(0, first - 1);
    int last = first;
    while (last + 1 < m_tops.size() && m_tops[last + 1] < bottom)
        ++last;
    const int from = qMax(0, first - 1);
    const int to = m_tops.isEmpty() ? -1 : qMin(m_tops.size() - 1, last + 1);
    const QList<int> live = m_live.keys();
    for (int index : live) {
        if (index < from || index > to)
            Release(index);
    }
    for (int index = from; index <= to; ++index) {
        if (!m_live.contains(index))
            Make(index);
    }
    const int width = viewport()->width();
    for (auto it = m_live.begin(); it != m_live.end(); ++it) {
        const int y = int(m_tops[it.key()] - top);
        FormOfdPage *page = it->page;
        page->move((width - page->width()) / 2, y);
        it->number->setGeometry(0, y + m_heights[it.key()] + 2, width, kNumberHeight - 2);
    }
    m_updating = false;
}

void FormOfdPageColumn::EnsurePageVisible(int index)
{
    if (index < 0 || index >= m_tops.size())
        return;
    const qint64 top = ScrollTop();
    const qint64 bottom = top + viewport()->height();
    const qint64 pageTop = m_tops[index] - kSpacing;
    const qint64 pageBottom = m_tops[index] + m_heights[index] + kNumberHeight;
    if (pageTop < top)
        verticalScrollBar()->setValue(int(pageTop / m_scale));
    else if (pageBottom > bottom)
        verticalScrollBar()->setValue(int((pageBottom - viewport()->height()) / m_scale));
    UpdateLive();
}

void FormOfdPageColumn::SetMarkedPage(int index)
{
    m_marked = index;
    for (auto it = m_live.begin(); it != m_live.end(); ++it)
        it->page->ShowSelectFlag(it.key() == index);
}

void FormOfdPageColumn::SetShowPageNum(bool show)
{
    m_showPageNum = show;
    for (auto it = m_live.begin(); it != m_live.end(); ++it)
        it->page->ShowPageNum(show);
}

void FormOfdPageColumn::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateRange();
    UpdateLive();
}

void FormOfdPageColumn::scrollContentsBy(int dx, int dy)
{
    Q_UNUSED(dx);
    Q_UNUSED(dy);
    UpdateLive();
}
