#pragma once

#include <QPushButton>

class QMenu;

// A push button that drops down its own menu below itself when pressed.
class MenuButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MenuButton(QWidget *parent = nullptr);
    MenuButton(const QString &text, QWidget *parent = nullptr);

    QMenu *GetMenu() const { return m_menu; }
    // Adds an entry with an icon (may be empty) and a tool tip; returns it.
    QAction *AddMenuAction(const QIcon &icon, const QString &text, const QString &toolTip);

private:
    QMenu *m_menu = nullptr;
};
