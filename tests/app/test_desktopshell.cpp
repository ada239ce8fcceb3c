#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStackedWidget>
#include <QToolButton>

#include <memory>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "packagebuilder.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formofdprint.h"
#include "reader/ofdreadwidget.h"
#include "reader/readerviewstate.h"
#include "reader/viewtestdoc.h"
#include "render/ofdrenderinit.h"
#include "shell/fileinforecord.h"
#include "shell/homewidget.h"
#include "shell/mainwindow.h"
#include "shell/pagetabbar.h"
#include "widgets/tabbutton.h"

namespace {
QString T(const char *text)
{
    return QtHelper::fromString(text);
}

// What the next modal window was: its class, title and (for a message box) text and buttons. It
// is closed.
struct ModalSeen
{
    QString className;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

void CloseNextModal(ModalSeen *seen)
{
    // Looks every 20 ms for up to 5 s: a dialog may take a moment to come up.
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [seen, timer, tries]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++*tries > 250)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        seen->className = QString::fromLatin1(modal->metaObject()->className());
        seen->title = modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen->text = box->text();
            seen->buttons = box->standardButtons();
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
    timer->start();
}
} // namespace

// The main window as a desktop user meets it: keys through the window, focus, drops on any part
// of it, open errors, the recent-file record and the remembered view state.
class TestDesktopShell : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pageKeysWorkRightAfterOpening_data();
    void pageKeysWorkRightAfterOpening();
    void pageKeysWorkAfterSwitchingTabs();
    void zoomKeys_data();
    void zoomKeys();
    void dialogKeys_data();
    void dialogKeys();
    void ctrlTabGoesRound();
    void fullScreenKeys();
    void searchHitKeys();
    void contextMenuOnPage();
    void dropOnAnyPart_data();
    void dropOnAnyPart();
    void dropWithoutOfdIsLeftToTheWidget();
    void openErrorsSayWhatAndWhere_data();
    void openErrorsSayWhatAndWhere();
    void relativeAndAbsolutePathShareATab();
    void newDocumentsStartWithTheRememberedView();

private:
    QString MakeFile(const QString &name, int pages = 3, const QStringList &texts = QStringList());
    bool NewWindow();
    OfdReadWidget *OpenDocument(const QString &name, int pages = 3, const QStringList &texts = QStringList());
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};

void TestDesktopShell::initTestCase()
{
    OfdConvert::Init();
    OfdRenderInit::Init();
    AppParam::Init();
}

void TestDesktopShell::init()
{
    FileInfoRecord *record = FileInfoRecord::GetInstance();
    record->SetRecordFile(m_dir.filePath(QStringLiteral("FileRecord.txt")));
    record->ClearRecord(true);
}

void TestDesktopShell::cleanup()
{
    delete m_window;
    m_window = nullptr;
    ReaderViewState::Reset();
    ReaderViewState::SetEnabled(false);
}

QString TestDesktopShell::MakeFile(const QString &name, int pages, const QStringList &texts)
{
    ViewTestDoc doc;
    doc.pageCount = pages;
    doc.texts = texts;
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.Build()) <= 0)
        return QString();
    return path;
}

bool TestDesktopShell::NewWindow()
{
    m_window = new MainWindow;
    m_window->resize(1100, 800);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    return QTest::qWaitForWindowExposed(m_window);
}

OfdReadWidget *TestDesktopShell::OpenDocument(const QString &name, int pages, const QStringList &texts)
{
    m_window->OpenNewFile(MakeFile(name, pages, texts), nullptr);
    return m_window->GetCurrentReadWidget();
}

// A key pressed and released in the window, delivered as the window system delivers it: to the
// window's focus widget, after the shortcuts had their say.
void TestDesktopShell::Key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *active = QApplication::activeWindow() ? QApplication::activeWindow() : m_window;
    QPointer<QWindow> window = active->windowHandle();
    QTest::keyPress(window.data(), Qt::Key(key), modifiers);
    // The press may have taken the window away (a view leaving full screen).
    if (window)
        QTest::keyRelease(window.data(), Qt::Key(key), modifiers);
}

void TestDesktopShell::pageKeysWorkRightAfterOpening_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("page");
    QTest::newRow("PgDn") << QList<int>{Qt::Key_PageDown} << 1;
    QTest::newRow("PgDn PgDn PgUp") << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp} << 1;
    QTest::newRow("End") << QList<int>{Qt::Key_End} << 3;
    QTest::newRow("End Home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0;
}

// No click on the page first: the page area has the focus as soon as the document shows.
void TestDesktopShell::pageKeysWorkRightAfterOpening()
{
    QFETCH(QList<int>, keys);
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("keys.ofd"), 4);
    QVERIFY(reader && reader->GetFormOfd());
    QVERIFY(reader->GetFormOfd()->isAncestorOf(m_window->focusWidget()));
    for (int key : keys)
        Key(key);
    QTEST(reader->GetFormOfd()->GetCurShowPageIndex(), "page");
}

void TestDesktopShell::pageKeysWorkAfterSwitchingTabs()
{
    QVERIFY(NewWindow());
    OfdReadWidget *first = OpenDocument(QStringLiteral("first.ofd"), 3);
    OfdReadWidget *second = OpenDocument(QStringLiteral("second.ofd"), 3);
    QVERIFY(first && second && first != second);
    // Back to the first tab by its button: its pages take the keys.
    QTest::mouseClick(m_window->GetTabOfPage(first), Qt::LeftButton);
    QCOMPARE(m_window->GetCurrentReadWidget(), first);
    Key(Qt::Key_PageDown);
    QCOMPARE(first->GetFormOfd()->GetCurShowPageIndex(), 1);
    QCOMPARE(second->GetFormOfd()->GetCurShowPageIndex(), 0);
}

void TestDesktopShell::zoomKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<double>("rate");
    QTest::newRow("Ctrl+=") << QList<int>{Qt::Key_Equal} << 1.1;
    QTest::newRow("Ctrl++") << QList<int>{Qt::Key_Plus} << 1.1;
    QTest::newRow("Ctrl+- twice") << QList<int>{Qt::Key_Minus, Qt::Key_Minus} << 0.8;
    QTest::newRow("Ctrl+= Ctrl+0") << QList<int>{Qt::Key_Equal, Qt::Key_0} << 1.0;
}

void TestDesktopShell::zoomKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(double, rate);
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("zoom.ofd"));
    QVERIFY(reader);
    for (int key : keys)
        Key(key, Qt::ControlModifier);
    QVERIFY2(qAbs(reader->GetFormOfd()->GetViewCurrentRate() - rate) < 0.001,
             qPrintable(QString::number(reader->GetFormOfd()->GetViewCurrentRate())));
    QCOMPARE(reader->GetZoomBox()->currentText(), QStringLiteral("%1%").arg(qRound(rate * 100)));
}

void TestDesktopShell::dialogKeys_data()
{
    QTest::addColumn<bool>("withDocument");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("dialogClass");
    QTest::addColumn<QString>("title");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+O on the home page")
        << false << int(Qt::Key_O) << ctrl << "QFileDialog" << T("文件对话框！");
    QTest::newRow("Ctrl+O in a document")
        << true << int(Qt::Key_O) << ctrl << "QFileDialog" << T("文件对话框！");
    QTest::newRow("Ctrl+P") << true << int(Qt::Key_P) << ctrl << "FormOfdPrint" << T("OFD文件打印");
    QTest::newRow("Ctrl+Shift+S") << true << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << "QFileDialog" << T("OFD另存为");
}

void TestDesktopShell::dialogKeys()
{
    QFETCH(bool, withDocument);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QVERIFY(NewWindow());
    if (withDocument)
        QVERIFY(OpenDocument(QStringLiteral("dialogs.ofd")));
    ModalSeen seen;
    CloseNextModal(&seen);
    Key(key, Qt::KeyboardModifiers(modifiers));
    QTEST(seen.className, "dialogClass");
    QTEST(seen.title, "title");
}

void TestDesktopShell::ctrlTabGoesRound()
{
    QVERIFY(NewWindow());
    OfdReadWidget *a = OpenDocument(QStringLiteral("a.ofd"), 1);
    OfdReadWidget *b = OpenDocument(QStringLiteral("b.ofd"), 1);
    QCOMPARE(m_window->GetCurrentPage(), b);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
    Key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(m_window->GetCurrentPage(), a);
    QVERIFY(m_window->GetTabOfPage(a)->isChecked());
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
}

void TestDesktopShell::fullScreenKeys()
{
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("full.ofd"), 3);
    FormOfd *view = reader->GetFormOfd();
    Key(Qt::Key_F11);
    QVERIFY(reader->IsFullScreenView());
    QVERIFY(view->isWindow());
    QApplication::setActiveWindow(view);
    // The page keys and the reader's shortcuts work in the full-screen window.
    Key(Qt::Key_PageDown);
    QCOMPARE(view->GetCurShowPageIndex(), 1);
    Key(Qt::Key_Equal, Qt::ControlModifier);
    QVERIFY(qAbs(view->GetViewCurrentRate() - 1.1) < 0.001);
    Key(Qt::Key_F11);
    QVERIFY(!reader->IsFullScreenView());
    QVERIFY(!view->isWindow());
    QApplication::setActiveWindow(m_window);
    // Keys of the main window leave full screen first.
    Key(Qt::Key_F11);
    QVERIFY(reader->IsFullScreenView());
    QApplication::setActiveWindow(view);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(!reader->IsFullScreenView());
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
}

void TestDesktopShell::searchHitKeys()
{
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("hits.ofd"), 4,
                                         {QStringLiteral("needle one"), QStringLiteral("other"),
                                          QStringLiteral("needle three"), QStringLiteral("other")});
    FormOfd *view = reader->GetFormOfd();
    auto *search = reader->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    search->setText(QStringLiteral("needle"));
    view->setFocus();
    Key(Qt::Key_F3); // searches: the hit on the page shown
    QCOMPARE(view->GetCurShowPageIndex(), 0);
    QVERIFY(view->GetPage(0)->GetSearchHitCount() > 0);
    Key(Qt::Key_F3);
    QCOMPARE(view->GetCurShowPageIndex(), 2);
    Key(Qt::Key_F3); // round to the first
    QCOMPARE(view->GetCurShowPageIndex(), 0);
    Key(Qt::Key_F3, Qt::ShiftModifier); // back round to the last
    QCOMPARE(view->GetCurShowPageIndex(), 2);
}

void TestDesktopShell::contextMenuOnPage()
{
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("menu.ofd"), 2);
    FormOfdPage *page = reader->GetFormOfd()->GetPage(0);
    QWidget *target = page->viewport();
    const QPoint at(60, 60);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    QCOMPARE(texts,
             QStringList({T("复制"), T("放大"), T("缩小"), T("实际大小"), T("适合宽度"), T("适合高度")}));
    QVERIFY(!menu->actions().first()->isEnabled()); // nothing selected, nothing to copy
    menu->actions().at(2)->trigger();               // 放大
    menu->close();
    QVERIFY(qAbs(reader->GetFormOfd()->GetViewCurrentRate() - 1.1) < 0.001);
}

void TestDesktopShell::dropOnAnyPart_data()
{
    QTest::addColumn<QString>("part");
    QTest::newRow("page") << "page";
    QTest::newRow("search box") << "search";
    QTest::newRow("home page") << "home";
    QTest::newRow("full-screen page") << "fullscreen";
}

// Drag enter, move and drop as the toolkit delivers them to the widget under the pointer.
void TestDesktopShell::dropOnAnyPart()
{
    QFETCH(QString, part);
    QVERIFY(NewWindow());
    OfdReadWidget *reader = nullptr;
    if (part != QLatin1String("home"))
        reader = OpenDocument(QStringLiteral("shown.ofd"), 2);
    const QString one = MakeFile(QStringLiteral("dropped one.ofd"), 1);
    const QString two = MakeFile(QStringLiteral("DROPPED2.OFD"), 1);
    QWidget *target = nullptr;
    if (part == QLatin1String("page")) {
        target = reader->GetFormOfd()->GetPage(0)->viewport();
    } else if (part == QLatin1String("search")) {
        target = reader->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    } else if (part == QLatin1String("home")) {
        target = m_window->GetDefaultHome();
        target = target->childAt(target->rect().center()) ? target->childAt(target->rect().center()) : target;
    } else {
        reader->ShowOfdFullScreen(true);
        target = reader->GetFormOfd()->GetPage(0)->viewport();
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(one), QUrl::fromLocalFile(two)});
    data.setText(one); // as file managers offer it too
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(m_window->GetDocumentTabCount(), reader ? 3 : 2);
    QCOMPARE(m_window->GetCurrentReadWidget()->GetFilePath(), two);
    if (reader) {
        QVERIFY(!reader->IsFullScreenView());
        QCOMPARE(reader->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"))->text(), QString());
    }
}

void TestDesktopShell::dropWithoutOfdIsLeftToTheWidget()
{
    QVERIFY(NewWindow());
    OfdReadWidget *reader = OpenDocument(QStringLiteral("text.ofd"), 1);
    auto *search = reader->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    QMimeData data;
    data.setText(QStringLiteral("words"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(search, &enter);
    QVERIFY(enter.isAccepted()); // the line edit takes text as it always did
    QDropEvent drop(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(search, &drop);
    QCOMPARE(search->text(), QStringLiteral("words"));
    QCOMPARE(m_window->GetDocumentTabCount(), 1);
}

void TestDesktopShell::openErrorsSayWhatAndWhere_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing" << T("文件不存在。");
    QTest::newRow("empty") << "empty" << T("文件是空的（0 字节）。");
    QTest::newRow("not a zip") << "text" << T("这不是 OFD 文件：OFD 文件是 ZIP 压缩包，而这个文件不是。");
    QTest::newRow("broken zip") << "brokenzip" << T("文件已损坏：无法作为 ZIP 压缩包读取。");
    QTest::newRow("zip without OFD.xml") << "noentry" << T("包中缺少入口文件 OFD.xml，这不是 OFD 文件。");
    QTest::newRow("folder") << "folder" << T("这是一个文件夹，不是文件。");
}

void TestDesktopShell::openErrorsSayWhatAndWhere()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QVERIFY(NewWindow());
    const QString name = kind + QStringLiteral(".ofd");
    const QString path = m_dir.filePath(name);
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    } else if (kind != QLatin1String("missing")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("text"))
            file.write("just some words");
        else if (kind == QLatin1String("brokenzip"))
            file.write("PK\x03\x04 but not really a zip archive");
        else if (kind == QLatin1String("noentry"))
            file.write(PackageBuilder().AddText(QStringLiteral("readme.txt"), QStringLiteral("hi")).Build());
    }
    // Started from the files' folder with a relative name: the message names the absolute path.
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    ModalSeen seen;
    CloseNextModal(&seen);
    m_window->OpenNewFile(name, nullptr);
    QDir::setCurrent(oldCwd);
    QCOMPARE(seen.text, T("无法打开文件：") + path + QLatin1Char('\n') + reason);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(seen.title != QLatin1String("Title"));
    QCOMPARE(m_window->GetDocumentTabCount(), 0);
    QVERIFY(FileInfoRecord::GetInstance()->GetFileList().isEmpty()); // failed files are not recorded
}

void TestDesktopShell::relativeAndAbsolutePathShareATab()
{
    QVERIFY(NewWindow());
    const QString path = MakeFile(QStringLiteral("same.ofd"), 1);
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    m_window->OpenNewFile(QStringLiteral("same.ofd"), nullptr);
    m_window->OpenNewFile(QStringLiteral("./same.ofd"), nullptr);
    QDir::setCurrent(oldCwd);
    m_window->OpenNewFile(path, nullptr);
    QCOMPARE(m_window->GetDocumentTabCount(), 1);
    QCOMPARE(m_window->GetCurrentReadWidget()->GetFilePath(), path);
    const QList<FileInfoItem> &entries = FileInfoRecord::GetInstance()->GetFileList();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().fullPath, path);
}

void TestDesktopShell::newDocumentsStartWithTheRememberedView()
{
    ReaderViewState::SetEnabled(true);
    QVERIFY(NewWindow());
    OfdReadWidget *first = OpenDocument(QStringLiteral("state1.ofd"), 2);
    first->SetPageScale(-2); // fit width
    first->ShowLeftPanel(1); // thumbnails
    QCOMPARE(ReaderViewState::GetZoomMode(), -2.0f);
    QVERIFY(ReaderViewState::IsLeftBarOpen());
    const double fitted = first->GetFormOfd()->GetViewCurrentRate();
    OfdReadWidget *second = OpenDocument(QStringLiteral("state2.ofd"), 2);
    QVERIFY(second != first);
    QVERIFY(second->IsLeftBarOpen());
    QCOMPARE(second->GetCurrentPanel(), 1);
    QVERIFY(qAbs(second->GetFormOfd()->GetViewCurrentRate() - fitted) < 0.02);
    QVERIFY(qAbs(fitted - 1.0) > 0.05);
    // Closing the tab is not the user's choice of a closed side bar.
    m_window->CloseCurrentTab();
    QVERIFY(ReaderViewState::IsLeftBarOpen());
    first->ShowLeftPanel(1); // pressing the open panel's button closes the bar
    QVERIFY(!ReaderViewState::IsLeftBarOpen());
}

QTEST_MAIN(TestDesktopShell)
#include "test_desktopshell.moc"
