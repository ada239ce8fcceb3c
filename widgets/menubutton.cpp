#include "widgets/menubutton.h"

#include <QMenu>

MenuButton::MenuButton(QWidget *parent) : MenuButton(QString(), parent) {}

MenuButton::MenuButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    m_menu = new QMenu(this);
    m_menu->setToolTipsVisible(true);
    setMenu(m_menu);
}

QAction *MenuButton::AddMenuAction(const QIcon &icon, const QString &text, const QString &toolTip)
{
    QAction *action = m_menu->addAction(icon, text);
    action->setToolTip(toolTip);
    return action;
}
