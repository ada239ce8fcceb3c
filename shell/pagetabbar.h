#pragma once

#include <QList>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QPushButton;
class QScrollArea;
class TabButton;

// The main window's strip of tab buttons with the "+" button that asks for a new home tab; the
// strip scrolls sideways when the tabs do not fit.
class PageTabBar : public QWidget
{
    Q_OBJECT
public:
    explicit PageTabBar(QWidget *parent = nullptr);

    // Appends a tab button; the bar keeps exactly one of its tabs checked.
    void AddTabButton(TabButton *button);
    // Takes a tab button out of the bar without deleting it.
    void RemoveTabButton(TabButton *button);
    // Checks the button and scrolls it into view.
    void SetCurrentTab(TabButton *button);
    TabButton *GetCurrentTab() const;
    const QList<TabButton *> &GetTabButtons() const { return m_buttons; }
    // The tab whose "fileId" property equals id; null when none.
    TabButton *FindTab(int fileId) const;
    QPushButton *GetAddButton() const { return m_addButton; }

signals:
    void SignalAddTab();
    void SignalTabClicked(TabButton *button);
    void SignalTabClose(TabButton *button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void UpdateScrollButtons();
    void ScrollBy(int dx);
    void EnsureVisible(TabButton *button);

    QList<TabButton *> m_buttons;
    QButtonGroup *m_group = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_container = nullptr;
    QHBoxLayout *m_tabLayout = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_scrollLeft = nullptr;
    QPushButton *m_scrollRight = nullptr;
};
