#include "shell/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "reader/formofd.h"
#include "reader/ofdreadwidget.h"
#include "reader/readerviewstate.h"
#include "shell/fileinforecord.h"
#include "shell/homewidget.h"
#include "shell/ofddropfilter.h"
#include "shell/pagetabbar.h"
#include "widgets/commonutils.h"
#include "widgets/framelesshelper.h"
#include "widgets/tabbutton.h"

namespace {
QPointer<MainWindow> g_mainWindow;
const int kBorder = 4;           // band along the window edge that resizes it
const int kHomeTabWidth = 120;   // the default home page's tab
const int kNewHomeTabWidth = 96; // a home page from the "+" button: room for icon, "打开" and close
const int kDocumentTabWidth = 250;
const char *kFileId = "fileId";

// Two spellings of one file: equal absolute paths, or the same file behind links.
bool IsSameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    g_mainWindow = this;
    setObjectName(QStringLiteral("MainWindow"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(AppParam::GetAppDisplayName());
    setWindowIcon(QIcon(AppParam::AppStatus == 2 ? QStringLiteral(":/MainWindow/Resources/app_lumeno.png")
                                                 : QStringLiteral(":/MainWindow/Resources/app_ofd.png")));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("QWidget#MainWindow { background-color: #eef0f3; border: 1px solid #c9ced6; }"));
    setAcceptDrops(true);
    setMinimumSize(640, 420);
    // A comfortable size in the middle of the screen.
    QSize size(1280, 860);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        size = size.boundedTo(room.size() * 0.92);
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, room));
    } else {
        resize(size);
    }

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    m_layout->setSpacing(0);
    BuildTitleBar();

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("stackedWidget"));
    m_layout->addWidget(m_stack, 1);

    m_frameless = new FramelessHelper(this);
    m_frameless->SetBorderWidth(kBorder);
    m_frameless->SetTitleBar(m_titleBar);
    connect(m_frameless, &FramelessHelper::SignalMaximizedChanged, this, &MainWindow::UpdateMaximizeButton);

    // The default home page: the first tab, never closed.
    m_defaultHome = new HomeWidget(m_stack);
    m_defaultHome->SetDefaultHome(true);
    m_defaultHome->setProperty(kFileId, ++m_fileId);
    AddHomeWidget(m_defaultHome);
    TabButton *homeTab = CreateTabButton(QtHelper::fromString("首页"), kHomeTabWidth, m_fileId);
    homeTab->SetCloseable(false);
    m_tabBar->AddTabButton(homeTab);
    m_tabBar->SetCurrentTab(homeTab);
    m_stack->setCurrentWidget(m_defaultHome);

    connect(m_tabBar, &PageTabBar::SignalAddTab, this, &MainWindow::AddHomeTab);
    connect(m_tabBar, &PageTabBar::SignalTabClicked, this, &MainWindow::OnTabClicked);
    connect(m_tabBar, &PageTabBar::SignalTabClose, this, &MainWindow::CloseTab);

    BuildShortcuts();
    auto *drops = new OfdDropFilter(this);
    connect(drops, &OfdDropFilter::SignalOpenFiles, this, [this](const QStringList &files) {
        LeaveFullScreen();
        for (const QString &file : files)
            OpenNewFile(file, nullptr);
    });
}

void MainWindow::BuildShortcuts()
{
    // Window-wide keys; application-wide, so that they also work while a document view is full
    // screen (a window of its own). A modal dialog still blocks them.
    auto add = [this](const QKeySequence &key, std::function<void()> run) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, std::move(run));
    };
    add(QKeySequence(Qt::CTRL + Qt::Key_O), [this]() {
        LeaveFullScreen();
        OpenFileByDialog();
    });
    add(QKeySequence(Qt::CTRL + Qt::Key_W), [this]() {
        LeaveFullScreen();
        CloseCurrentTab();
    });
    add(QKeySequence(Qt::CTRL + Qt::Key_F), [this]() {
        LeaveFullScreen();
        if (OfdReadWidget *reader = GetCurrentReadWidget())
            reader->FocusSearchBox();
    });
    add(QKeySequence(Qt::CTRL + Qt::Key_Tab), [this]() {
        LeaveFullScreen();
        SelectNeighbourTab(1);
    });
    // Shift+Tab arrives as Backtab.
    add(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Backtab), [this]() {
        LeaveFullScreen();
        SelectNeighbourTab(-1);
    });
}

void MainWindow::SelectNeighbourTab(int direction)
{
    const QList<TabButton *> &tabs = m_tabBar->GetTabButtons();
    if (tabs.size() < 2)
        return;
    const int current = qMax(0, tabs.indexOf(m_tabBar->GetCurrentTab()));
    const int next = ((current + direction) % tabs.size() + tabs.size()) % tabs.size();
    if (QWidget *page = GetPageOfTab(tabs[next]))
        ShowPage(page);
}

void MainWindow::LeaveFullScreen()
{
    for (int i = 0; i < m_stack->count(); ++i) {
        auto *reader = qobject_cast<OfdReadWidget *>(m_stack->widget(i));
        if (reader && reader->IsFullScreenView())
            reader->ShowOfdFullScreen(false);
    }
}

void MainWindow::SaveState(QSettings &settings) const
{
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    ReaderViewState::Save(settings);
}

void MainWindow::RestoreState(QSettings &settings)
{
    const QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    ReaderViewState::Load(settings);
}

MainWindow::~MainWindow() = default;

MainWindow *MainWindow::GetInstance()
{
    return g_mainWindow.data();
}

void MainWindow::BuildTitleBar()
{
    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleWidget"));
    m_titleBar->setAttribute(Qt::WA_StyledBackground);
    CommonUtils::loadStyleSheet(m_titleBar, QStringLiteral("MainWindow"));
    m_titleBar->setFixedHeight(36);
    auto *layout = new QHBoxLayout(m_titleBar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *logo = new QLabel(m_titleBar);
    logo->setObjectName(QStringLiteral("logoLabel"));
    logo->setToolTip(AppParam::GetAppDisplayName());
    m_tabBar = new PageTabBar(m_titleBar);

    m_minButton = new QPushButton(m_titleBar);
    m_minButton->setObjectName(QStringLiteral("btnMin"));
    m_minButton->setToolTip(QtHelper::fromString("最小化"));
    m_maxButton = new QPushButton(m_titleBar);
    m_maxButton->setObjectName(QStringLiteral("btnMax"));
    m_maxButton->setToolTip(QtHelper::fromString("最大化"));
    m_closeButton = new QPushButton(m_titleBar);
    m_closeButton->setObjectName(QStringLiteral("btnClose"));
    m_closeButton->setToolTip(QtHelper::fromString("关闭"));
    for (QPushButton *button : {m_minButton, m_maxButton, m_closeButton}) {
        button->setFixedSize(40, 32);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_minButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(m_maxButton, &QPushButton::clicked, this, [this]() { m_frameless->ToggleMaximized(); });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    layout->addWidget(logo);
    layout->addSpacing(4);
    layout->addWidget(m_tabBar, 1);
    layout->addWidget(m_minButton, 0, Qt::AlignTop);
    layout->addWidget(m_maxButton, 0, Qt::AlignTop);
    layout->addWidget(m_closeButton, 0, Qt::AlignTop);
    m_layout->addWidget(m_titleBar);
}

QPixmap MainWindow::HomeIcon()
{
    return QPixmap(AppParam::AppStatus == 2 ? QStringLiteral(":/MainWindow/Resources/home_lumeno.png")
                                            : QStringLiteral(":/MainWindow/Resources/home_ofd.png"));
}

TabButton *MainWindow::CreateTabButton(const QString &text, int width, int fileId)
{
    auto *button = new TabButton(m_tabBar);
    button->setFixedWidth(width);
    button->SetText(text);
    button->SetIcon(HomeIcon());
    button->setProperty(kFileId, fileId);
    return button;
}

void MainWindow::AddHomeWidget(HomeWidget *home)
{
    m_stack->addWidget(home);
    connect(home, &HomeWidget::SignalOpenFile, this, &MainWindow::OpenNewFile);
}

HomeWidget *MainWindow::AddHomeTab()
{
    auto *home = new HomeWidget(m_stack);
    home->setProperty(kFileId, ++m_fileId);
    AddHomeWidget(home);
    TabButton *tab = CreateTabButton(QtHelper::fromString("打开"), kNewHomeTabWidth, m_fileId);
    m_tabBar->AddTabButton(tab);
    m_tabBar->SetCurrentTab(tab);
    m_stack->setCurrentWidget(home);
    return home;
}

void MainWindow::OpenNewFile(const QString &givenPath, HomeWidget *from)
{
    if (givenPath.isEmpty())
        return;
    // Tabs and the record hold absolute paths, whatever folder the reader was started from.
    const QString path = QFileInfo(givenPath).absoluteFilePath();
    // A tab that shows the file already is selected instead.
    for (int i = 0; i < m_stack->count(); ++i) {
        auto *reader = qobject_cast<OfdReadWidget *>(m_stack->widget(i));
        if (reader && IsSameFile(reader->GetFilePath(), path)) {
            ShowPage(reader);
            if (from && from != m_defaultHome)
                CloseTab(GetTabOfPage(from));
            return;
        }
    }
    // Nothing reads PDF files; the home page keeps its tab then.
    if (path.toLower().endsWith(QLatin1String(".pdf")))
        return;

    TabButton *tab = nullptr;
    if (from && from != m_defaultHome && m_stack->indexOf(from) >= 0) {
        tab = GetTabOfPage(from);
        m_stack->removeWidget(from);
        from->hide();
        from->deleteLater(); // this may run inside a signal of the page
    }

    auto *reader = new OfdReadWidget(m_stack);
    reader->setProperty(kFileId, ++m_fileId);
    m_stack->addWidget(reader);
    const QString name = QFileInfo(path).completeBaseName();
    if (tab) {
        tab->setFixedWidth(kDocumentTabWidth);
        tab->SetText(name);
        tab->setProperty(kFileId, m_fileId);
    } else {
        tab = CreateTabButton(name, kDocumentTabWidth, m_fileId);
        m_tabBar->AddTabButton(tab);
    }
    tab->setToolTip(path);
    ShowPage(reader);
    connect(reader, &OfdReadWidget::signalOpenOfdFile, this, &MainWindow::OpenFileByDialog);
    connect(reader, &OfdReadWidget::signalOpenFileInTab, this,
            [this](const QString &file) { OpenNewFile(file, nullptr); });

    if (!reader->OpenFile(path)) {
        // The reader reported the failure; a tab without a document is of no use.
        CloseTab(tab);
    }
    RefreshHomePages();
}

void MainWindow::OpenFileByDialog()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, QtHelper::fromString("文件对话框！"),
                                                            FileInfoRecord::GetInstance()->GetOpenDir(),
                                                            QtHelper::fromString("OFD文件(*ofd)"));
    for (const QString &file : files)
        OpenNewFile(file, nullptr);
}

bool MainWindow::CloseTab(TabButton *button)
{
    QWidget *page = GetPageOfTab(button);
    if (!button || page == m_defaultHome)
        return false;
    if (auto *reader = qobject_cast<OfdReadWidget *>(page)) {
        if (reader->IsModified()) {
            ShowPage(page); // the question is about the document the user sees
            if (!reader->ConfirmClose())
                return false;
        }
    }
    const bool wasCurrent = page && m_stack->currentWidget() == page;
    const int tabIndex = m_tabBar->GetTabButtons().indexOf(button);
    if (page)
        m_stack->removeWidget(page);
    m_tabBar->RemoveTabButton(button);
    if (auto *reader = qobject_cast<OfdReadWidget *>(page)) {
        reader->OnClosed();
        delete reader;
    } else if (page) {
        page->hide();
        page->deleteLater(); // a home page may be closing from inside one of its signals
    }
    button->deleteLater(); // this may run inside the signal of its close button

    if (wasCurrent) {
        const QList<TabButton *> &tabs = m_tabBar->GetTabButtons();
        TabButton *next = tabs.value(qMin(tabIndex, tabs.size() - 1));
        if (QWidget *nextPage = GetPageOfTab(next))
            ShowPage(nextPage);
        else
            ShowPage(m_defaultHome);
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    for (int i = 0; i < m_stack->count(); ++i) {
        auto *reader = qobject_cast<OfdReadWidget *>(m_stack->widget(i));
        if (!reader || !reader->IsModified())
            continue;
        ShowPage(reader);
        if (!reader->ConfirmClose()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void MainWindow::CloseCurrentTab()
{
    if (QWidget *page = GetCurrentPage())
        CloseTab(GetTabOfPage(page));
}

int MainWindow::GetDocumentTabCount() const
{
    int count = 0;
    for (int i = 0; i < m_stack->count(); ++i) {
        if (qobject_cast<OfdReadWidget *>(m_stack->widget(i)))
            ++count;
    }
    return count;
}

QWidget *MainWindow::GetCurrentPage() const
{
    return m_stack->currentWidget();
}

OfdReadWidget *MainWindow::GetCurrentReadWidget() const
{
    return qobject_cast<OfdReadWidget *>(m_stack->currentWidget());
}

TabButton *MainWindow::GetTabOfPage(QWidget *page) const
{
    if (!page)
        return nullptr;
    return m_tabBar->FindTab(page->property(kFileId).toInt());
}

QWidget *MainWindow::GetPageOfTab(TabButton *button) const
{
    if (!button)
        return nullptr;
    const int id = button->property(kFileId).toInt();
    for (int i = 0; i < m_stack->count(); ++i) {
        if (m_stack->widget(i)->property(kFileId).toInt() == id)
            return m_stack->widget(i);
    }
    return nullptr;
}

void MainWindow::ShowPage(QWidget *page)
{
    if (!page)
        return;
    m_stack->setCurrentWidget(page);
    m_tabBar->SetCurrentTab(GetTabOfPage(page));
    if (auto *reader = qobject_cast<OfdReadWidget *>(page))
        reader->FocusView(); // the page keys work in the tab just shown
}

void MainWindow::OnTabClicked(TabButton *button)
{
    if (QWidget *page = GetPageOfTab(button))
        ShowPage(page);
}

void MainWindow::RefreshHomePages()
{
    for (int i = 0; i < m_stack->count(); ++i) {
        if (auto *home = qobject_cast<HomeWidget *>(m_stack->widget(i)))
            home->RefreshFileList();
    }
}

void MainWindow::UpdateMaximizeButton()
{
    const bool maximized = isMaximized();
    m_maxButton->setObjectName(maximized ? QStringLiteral("btnRestore") : QStringLiteral("btnMax"));
    m_maxButton->setToolTip(maximized ? QtHelper::fromString("还原") : QtHelper::fromString("最大化"));
    m_maxButton->style()->unpolish(m_maxButton);
    m_maxButton->style()->polish(m_maxButton);
    // No border to grab while the window fills the screen.
    const int margin = maximized || isFullScreen() ? 0 : kBorder;
    m_layout->setContentsMargins(margin, margin, margin, margin);
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateMaximizeButton();
}
