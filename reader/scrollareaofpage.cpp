#include "reader/scrollareaofpage.h"

#include <QKeyEvent>

ScrollAreaOfPage::ScrollAreaOfPage(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

bool ScrollAreaOfPage::IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

void ScrollAreaOfPage::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::NoModifier && IsNavigationKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ScrollAreaOfPage::keyReleaseEvent(QKeyEvent *event)
{
    emit SignalKeyPress(this, event->key());
    QWidget::keyReleaseEvent(event);
}
