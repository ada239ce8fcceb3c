#include "widgets/framelesshelper.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

FramelessHelper::FramelessHelper(QWidget *window) : QObject(window), m_window(window)
{
    m_window->setMouseTracking(true);
    m_window->setAttribute(Qt::WA_Hover);
    m_window->installEventFilter(this);
}

void FramelessHelper::SetTitleBar(QWidget *titleBar)
{
    if (m_titleBar && m_titleBar != m_window)
        m_titleBar->removeEventFilter(this);
    m_titleBar = titleBar;
    if (m_titleBar && m_titleBar != m_window)
        m_titleBar->installEventFilter(this);
}

Qt::Edges FramelessHelper::EdgesAt(const QPoint &pos) const
{
    Qt::Edges edges;
    if (m_border <= 0 || m_window->isMaximized() || m_window->isFullScreen())
        return edges;
    if (pos.x() < m_border)
        edges |= Qt::LeftEdge;
    if (pos.x() >= m_window->width() - m_border)
        edges |= Qt::RightEdge;
    if (pos.y() < m_border)
        edges |= Qt::TopEdge;
    if (pos.y() >= m_window->height() - m_border)
        edges |= Qt::BottomEdge;
    return edges;
}

void FramelessHelper::ToggleMaximized()
{
    if (m_window->isMaximized())
        m_window->showNormal();
    else
        m_window->showMaximized();
    emit SignalMaximizedChanged(m_window->isMaximized());
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_titleBar && HandleTitleBar(event))
        return true;
    if (watched == m_window && HandleWindow(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool FramelessHelper::HandleTitleBar(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (m_titleBar == m_window && EdgesAt(mouse->pos()))
            return false; // the window's own border resizes
        QWindow *handle = m_window->windowHandle();
        if (handle && !m_window->isMaximized() && handle->startSystemMove())
            return true; // the window manager moves it
        m_moving = true;
        m_moveOffset = mouse->globalPos() - m_window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_moving)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_window->isMaximized()) {
            // Dragging a maximised window restores it under the cursor.
            const double share = double(mouse->pos().x()) / qMax(1, m_titleBar->width());
            m_window->showNormal();
            m_moveOffset = QPoint(int(m_window->width() * share), mouse->pos().y());
            emit SignalMaximizedChanged(false);
        }
        m_window->move(mouse->globalPos() - m_moveOffset);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_moving)
            return false;
        m_moving = false;
        return true;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        ToggleMaximized();
        return true;
    default:
        return false;
    }
}

bool FramelessHelper::HandleWindow(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const Qt::Edges edges = EdgesAt(mouse->pos());
        if (mouse->button() != Qt::LeftButton || !edges)
            return false;
        QWindow *handle = m_window->windowHandle();
        if (handle && handle->startSystemResize(edges))
            return true;
        m_resizeEdges = edges;
        m_pressGlobal = mouse->globalPos();
        m_pressGeometry = m_window->geometry();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_resizeEdges) {
            UpdateCursor(mouse->pos());
            return false;
        }
        const QPoint delta = mouse->globalPos() - m_pressGlobal;
        QRect geometry = m_pressGeometry;
        const QSize minimum = m_window->minimumSizeHint().expandedTo(m_window->minimumSize());
        if (m_resizeEdges & Qt::LeftEdge)
            geometry.setLeft(qMin(geometry.left() + delta.x(), geometry.right() - minimum.width()));
        if (m_resizeEdges & Qt::RightEdge)
            geometry.setRight(qMax(geometry.right() + delta.x(), geometry.left() + minimum.width()));
        if (m_resizeEdges & Qt::TopEdge)
            geometry.setTop(qMin(geometry.top() + delta.y(), geometry.bottom() - minimum.height()));
        if (m_resizeEdges & Qt::BottomEdge)
            geometry.setBottom(qMax(geometry.bottom() + delta.y(), geometry.top() + minimum.height()));
        m_window->setGeometry(geometry);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_resizeEdges)
            return false;
        m_resizeEdges = Qt::Edges();
        return true;
    case QEvent::HoverMove:
        if (!m_resizeEdges)
            UpdateCursor(static_cast<QHoverEvent *>(event)->pos());
        return false;
    case QEvent::Leave:
        if (!m_resizeEdges)
            m_window->unsetCursor();
        return false;
    default:
        return false;
    }
}

void FramelessHelper::UpdateCursor(const QPoint &pos)
{
    const Qt::Edges edges = EdgesAt(pos);
    if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) || (edges & Qt::RightEdge && edges & Qt::BottomEdge))
        m_window->setCursor(Qt::SizeFDiagCursor);
    else if ((edges & Qt::RightEdge && edges & Qt::TopEdge) ||
             (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
        m_window->setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        m_window->setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        m_window->setCursor(Qt::SizeVerCursor);
    else
        m_window->unsetCursor();
}
