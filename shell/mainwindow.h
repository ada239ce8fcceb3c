#pragma once

#include <QWidget>

class FramelessHelper;
class HomeWidget;
class OfdReadWidget;
class PageTabBar;
class QCloseEvent;
class QLabel;
class QPushButton;
class QSettings;
class QStackedWidget;
class QVBoxLayout;
class TabButton;

// The single frameless top-level window: its own title bar with the tab strip and the window
// buttons, above a stack of pages, each a home page or a reader widget showing one document.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The main window of the process (the last one created that still exists), or null.
    static MainWindow *GetInstance();

    // Opens path in a new tab, or selects the tab that already shows it. from is the home page the
    // choice was made on (its tab is taken over), or null.
    void OpenNewFile(const QString &path, HomeWidget *from);
    // The open dialog of the readers' open command; every chosen file gets a tab.
    void OpenFileByDialog();
    // A new home page in a tab of its own (the "+" button).
    HomeWidget *AddHomeTab();
    // Closes the tab and deletes its page; the default home page is never closed. A document with
    // unsaved annotations asks first; false when the tab stays open.
    bool CloseTab(TabButton *button);
    // Closes the current tab unless it is the default home page.
    void CloseCurrentTab();
    // Ctrl+Tab / Ctrl+Shift+Tab: the next (1) or previous (-1) tab, going round.
    void SelectNeighbourTab(int direction);
    // Puts a document view that is full screen back into its tab.
    void LeaveFullScreen();

    // Window size and position, and the readers' remembered view state (ReaderViewState).
    void SaveState(QSettings &settings) const;
    void RestoreState(QSettings &settings);

    // The number of document tabs (home pages not counted).
    int GetDocumentTabCount() const;
    QStackedWidget *GetStackedWidget() const { return m_stack; }
    PageTabBar *GetTabBar() const { return m_tabBar; }
    HomeWidget *GetDefaultHome() const { return m_defaultHome; }
    QWidget *GetCurrentPage() const;
    OfdReadWidget *GetCurrentReadWidget() const;
    TabButton *GetTabOfPage(QWidget *page) const;
    QWidget *GetPageOfTab(TabButton *button) const;

protected:
    void changeEvent(QEvent *event) override;
    // Asks every document tab with unsaved annotations; the window stays when one is cancelled.
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildTitleBar();
    TabButton *CreateTabButton(const QString &text, int width, int fileId);
    void ShowPage(QWidget *page);
    void OnTabClicked(TabButton *button);
    void AddHomeWidget(HomeWidget *home);
    void RefreshHomePages();
    void UpdateMaximizeButton();
    static QPixmap HomeIcon();
    void BuildShortcuts();

    FramelessHelper *m_frameless = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QWidget *m_titleBar = nullptr;
    PageTabBar *m_tabBar = nullptr;
    QPushButton *m_minButton = nullptr;
    QPushButton *m_maxButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QStackedWidget *m_stack = nullptr;
    HomeWidget *m_defaultHome = nullptr;
    int m_fileId = 0;
};
