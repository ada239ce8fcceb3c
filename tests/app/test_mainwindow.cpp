#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>

#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "packagebuilder.h"
#include "reader/formofd.h"
#include "reader/ofdreadwidget.h"
#include "shell/fileinforecord.h"
#include "shell/formfileitem.h"
#include "shell/homewidget.h"
#include "shell/mainwindow.h"
#include "shell/pagetabbar.h"
#include "widgets/tabbutton.h"

// The main window: tabs per file, home pages with the record, closing, dropping and shortcuts.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithHomeTab_data();
    void startsWithHomeTab();
    void samePathSelectsItsTab();
    void recordKeepsTwentyNewest();
    void closingTabClosesReaderAndDeletesPage();
    void ctrlWClosesCurrentDocumentTab();
    void ctrlFGoesToSearchBox();
    void droppedOfdFilesOpenInTabs();
    void newHomeTabIsTakenOverByItsFile();
    void homeItemsDeleteAndClear();
    void titleBarMovesAndMaximises();
    void borderResizes();

private:
    QString MakeFile(const QString &name, int pages = 1);
    MainWindow *NewWindow();
    static QString T(const char *text) { return QString::fromUtf8(text); }

    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
    int m_savedEdition = 1;
};

void TestMainWindow::initTestCase()
{
    OfdConvert::Init();
    AppParam::Init();
    m_savedEdition = AppParam::AppStatus;
}

void TestMainWindow::init()
{
    FileInfoRecord *record = FileInfoRecord::GetInstance();
    record->SetRecordFile(m_dir.filePath(QStringLiteral("FileRecord.txt")));
    record->ClearRecord(true);
}

void TestMainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    AppParam::AppStatus = m_savedEdition;
}

QString TestMainWindow::MakeFile(const QString &name, int pages)
{
    const QString path = m_dir.filePath(name);
    if (!QFile::exists(path) && !PackageBuilder::MinimalOfd(pages).WriteTo(path))
        return QString();
    return path;
}

MainWindow *TestMainWindow::NewWindow()
{
    m_window = new MainWindow;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        return nullptr;
    return m_window;
}

void TestMainWindow::startsWithHomeTab_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("homeIcon");
    QTest::newRow("0") << 0 << T("OFD阅读器") << ":/MainWindow/Resources/home_ofd.png";
    QTest::newRow("1") << 1 << T("OFD阅读器") << ":/MainWindow/Resources/home_ofd.png";
    QTest::newRow("2") << 2 << T("Lumeno版式阅读器") << ":/MainWindow/Resources/home_lumeno.png";
}

void TestMainWindow::startsWithHomeTab()
{
    QFETCH(int, edition);
    QFETCH(QString, homeIcon);
    AppParam::AppStatus = edition;
    QVERIFY(NewWindow());
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    QTEST(m_window->windowTitle(), "title");
    const QList<TabButton *> &tabs = m_window->GetTabBar()->GetTabButtons();
    QCOMPARE(tabs.size(), 1);
    QCOMPARE(tabs[0]->GetText(), T("首页"));
    QCOMPARE(tabs[0]->width(), 120);
    QVERIFY(tabs[0]->isChecked());
    QVERIFY(!tabs[0]->IsCloseable());
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
    QCOMPARE(m_window->GetDocumentTabCount(), 0);
    auto *icon = tabs[0]->findChild<QLabel *>(QStringLiteral("tabIcon"));
    QVERIFY(icon && !icon->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(icon->pixmap(Qt::ReturnByValue).toImage(),
             QImage(homeIcon).convertToFormat(icon->pixmap(Qt::ReturnByValue).toImage().format()));

    // A document tab carries the same icon and the file's base name.
    m_window->OpenNewFile(MakeFile(QStringLiteral("edition.test.ofd")), nullptr);
    TabButton *documentTab = m_window->GetTabBar()->GetCurrentTab();
    QCOMPARE(documentTab->GetText(), QStringLiteral("edition.test"));
    QCOMPARE(documentTab->width(), 250);
    QCOMPARE(documentTab->findChild<QLabel *>(QStringLiteral("tabIcon"))->pixmap(Qt::ReturnByValue).toImage(),
             icon->pixmap(Qt::ReturnByValue).toImage());
}

void TestMainWindow::samePathSelectsItsTab()
{
    QVERIFY(NewWindow());
    const QString a = MakeFile(QStringLiteral("a.ofd"));
    const QString b = MakeFile(QStringLiteral("b.ofd"));
    m_window->OpenNewFile(a, nullptr);
    QWidget *pageA = m_window->GetCurrentPage();
    m_window->OpenNewFile(b, nullptr);
    QWidget *pageB = m_window->GetCurrentPage();
    QVERIFY(pageA != pageB);
    QCOMPARE(m_window->GetDocumentTabCount(), 2);
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 3);

    m_window->OpenNewFile(a, nullptr);
    QCOMPARE(m_window->GetDocumentTabCount(), 2);
    QCOMPARE(m_window->GetCurrentPage(), pageA);
    QCOMPARE(m_window->GetTabBar()->GetCurrentTab(), m_window->GetTabOfPage(pageA));
    QCOMPARE(m_window->GetTabOfPage(pageA)->property("fileId"), pageA->property("fileId"));

    // Clicking a tab shows its page.
    QTest::mouseClick(m_window->GetTabOfPage(pageB), Qt::LeftButton);
    QCOMPARE(m_window->GetCurrentPage(), pageB);
    QVERIFY(m_window->GetTabOfPage(pageB)->isChecked());
    QVERIFY(!m_window->GetTabOfPage(pageA)->isChecked());
}

void TestMainWindow::recordKeepsTwentyNewest()
{
    QVERIFY(NewWindow());
    QStringList files;
    for (int i = 0; i < 21; ++i) {
        files << MakeFile(QStringLiteral("file%1.ofd").arg(i, 2, 10, QLatin1Char('0')));
        m_window->OpenNewFile(files.last(), nullptr);
        QTest::qWait(i == 20 ? 0 : 2); // distinct times would not matter; the order of opening does
    }
    QCOMPARE(m_window->GetDocumentTabCount(), 21);
    const QList<FileInfoItem> &entries = FileInfoRecord::GetInstance()->GetFileList();
    QCOMPARE(entries.size(), 20);
    QCOMPARE(entries.first().fullPath, files.last());
    for (const FileInfoItem &entry : entries)
        QVERIFY2(entry.fullPath != files.first(), "the oldest file is dropped");

    // The record file holds the same 20, and the home page lists them numbered from 1.
    FileInfoRecord reread;
    reread.SetRecordFile(FileInfoRecord::GetInstance()->GetRecordFile());
    reread.LoadFile();
    QCOMPARE(reread.GetFileList().size(), 20);
    const QList<FormFileItem *> &items = m_window->GetDefaultHome()->GetFileItems();
    QCOMPARE(items.size(), 20);
    QCOMPARE(items.first()->GetNumberText(), QStringLiteral("1"));
    QCOMPARE(items.last()->GetNumberText(), QStringLiteral("20"));
    QCOMPARE(items.first()->GetFileNameText(), QStringLiteral("file20.ofd"));
}

void TestMainWindow::closingTabClosesReaderAndDeletesPage()
{
    QVERIFY(NewWindow());
    m_window->OpenNewFile(MakeFile(QStringLiteral("one.ofd")), nullptr);
    QPointer<OfdReadWidget> first = m_window->GetCurrentReadWidget();
    m_window->OpenNewFile(MakeFile(QStringLiteral("two.ofd")), nullptr);
    QPointer<OfdReadWidget> second = m_window->GetCurrentReadWidget();
    QVERIFY(first && second);
    QPointer<FormOfd> secondView = second->GetFormOfd();
    QVERIFY(secondView);
    QPointer<TabButton> secondTab = m_window->GetTabOfPage(second);

    QTest::mouseClick(secondTab->GetCloseButton(), Qt::LeftButton);
    QVERIFY(second.isNull());     // the page is deleted
    QVERIFY(secondView.isNull()); // after the reader let its view go
    QCOMPARE(m_window->GetDocumentTabCount(), 1);
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 2);
    QCOMPARE(m_window->GetCurrentPage(), first.data()); // the neighbour takes over
    QVERIFY(m_window->GetTabOfPage(first)->isChecked());
    QTRY_VERIFY(secondTab.isNull());

    QTest::mouseClick(m_window->GetTabOfPage(first)->GetCloseButton(), Qt::LeftButton);
    QVERIFY(first.isNull());
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 1);
}

void TestMainWindow::ctrlWClosesCurrentDocumentTab()
{
    QVERIFY(NewWindow());
    QApplication::setActiveWindow(m_window);
    m_window->OpenNewFile(MakeFile(QStringLiteral("w1.ofd")), nullptr);
    m_window->OpenNewFile(MakeFile(QStringLiteral("w2.ofd")), nullptr);
    QPointer<OfdReadWidget> current = m_window->GetCurrentReadWidget();
    QTest::keyClick(m_window, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(current.isNull());
    QCOMPARE(m_window->GetDocumentTabCount(), 1);
    QTest::keyClick(m_window, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(m_window->GetDocumentTabCount(), 0);
    QCOMPARE(m_window->GetCurrentPage(), m_window->GetDefaultHome());
    QTest::keyClick(m_window, Qt::Key_W, Qt::ControlModifier); // the default home page stays
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 1);
    QCOMPARE(m_window->GetStackedWidget()->count(), 1);
}

void TestMainWindow::ctrlFGoesToSearchBox()
{
    QVERIFY(NewWindow());
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->OpenNewFile(MakeFile(QStringLiteral("find.ofd")), nullptr);
    OfdReadWidget *reader = m_window->GetCurrentReadWidget();
    auto *search = reader->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    search->setText(QStringLiteral("old"));
    reader->GetFormOfd()->setFocus();
    QVERIFY(!search->hasFocus());
    QTest::keyClick(m_window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(search->hasFocus());
    QCOMPARE(search->selectedText(), QStringLiteral("old"));
}

void TestMainWindow::droppedOfdFilesOpenInTabs()
{
    QVERIFY(NewWindow());
    const QString ofd = MakeFile(QStringLiteral("dropped.ofd"));
    const QString upper = MakeFile(QStringLiteral("UPPER.OFD"));
    QFile text(m_dir.filePath(QStringLiteral("notes.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.close();

    QMimeData onlyText;
    onlyText.setUrls({QUrl::fromLocalFile(text.fileName())});
    QDragEnterEvent refused(QPoint(300, 300), Qt::CopyAction, &onlyText, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &refused);
    QVERIFY(!refused.isAccepted());

    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(ofd), QUrl::fromLocalFile(text.fileName()), QUrl::fromLocalFile(upper)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(m_window->GetDocumentTabCount(), 2);
    QCOMPARE(m_window->GetCurrentReadWidget()->GetFilePath(), upper);
    QCOMPARE(m_window->GetCurrentReadWidget()->GetFormOfd()->GetPageCount(), 1);
}

void TestMainWindow::newHomeTabIsTakenOverByItsFile()
{
    const QString path = MakeFile(QStringLiteral("taken.ofd"), 2);
    FileInfoRecord::GetInstance()->AddFile(path, QDateTime::currentDateTime());
    QVERIFY(NewWindow());
    QTest::mouseClick(m_window->GetTabBar()->GetAddButton(), Qt::LeftButton);
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 2);
    TabButton *tab = m_window->GetTabBar()->GetCurrentTab();
    QCOMPARE(tab->GetText(), T("打开"));
    auto *home = qobject_cast<HomeWidget *>(m_window->GetCurrentPage());
    QVERIFY(home && home != m_window->GetDefaultHome());
    QCOMPARE(home->GetFileItems().size(), 1);

    QPointer<HomeWidget> watched = home;
    QTest::mouseClick(home->GetFileItems().first(), Qt::LeftButton);
    QCOMPARE(m_window->GetDocumentTabCount(), 1);
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 2); // the home tab became the document's
    QCOMPARE(m_window->GetTabBar()->GetCurrentTab(), tab);
    QCOMPARE(tab->GetText(), QStringLiteral("taken"));
    QCOMPARE(m_window->GetPageOfTab(tab), m_window->GetCurrentReadWidget());
    QTRY_VERIFY(watched.isNull());

    // From the default home page a file gets a tab of its own and the home page stays.
    QTest::mouseClick(m_window->GetTabBar()->GetTabButtons().first(), Qt::LeftButton);
    const QString other = MakeFile(QStringLiteral("other.ofd"));
    m_window->GetDefaultHome()->OpenFile(other);
    QCOMPARE(m_window->GetTabBar()->GetTabButtons().size(), 3);
    QCOMPARE(m_window->GetStackedWidget()->indexOf(m_window->GetDefaultHome()), 0);
}

void TestMainWindow::homeItemsDeleteAndClear()
{
    QVERIFY(NewWindow());
    m_window->OpenNewFile(MakeFile(QStringLiteral("keep.ofd")), nullptr);
    m_window->OpenNewFile(MakeFile(QStringLiteral("drop.ofd")), nullptr);
    HomeWidget *home = m_window->GetDefaultHome();
    QCOMPARE(home->GetFileItems().size(), 2);
    QCOMPARE(home->GetFileItems().first()->GetFileNameText(), QStringLiteral("drop.ofd"));
    QTest::mouseClick(home->GetFileItems().first()->GetCloseButton(), Qt::LeftButton);
    QCOMPARE(home->GetFileItems().size(), 1);
    QCOMPARE(FileInfoRecord::GetInstance()->GetFileList().size(), 1);
    FileInfoRecord saved;
    saved.SetRecordFile(FileInfoRecord::GetInstance()->GetRecordFile());
    saved.LoadFile();
    QCOMPARE(saved.GetFileList().size(), 1);
    QCOMPARE(saved.GetFileList().first().fullPath, m_dir.filePath(QStringLiteral("keep.ofd")));

    QTest::mouseClick(home->GetClearButton(), Qt::LeftButton);
    QCOMPARE(home->GetFileItems().size(), 0);
    QVERIFY(FileInfoRecord::GetInstance()->GetFileList().isEmpty());
}

void TestMainWindow::titleBarMovesAndMaximises()
{
    QVERIFY(NewWindow());
    m_window->move(100, 80);
    QWidget *titleBar = m_window->findChild<QWidget *>(QStringLiteral("titleWidget"));
    QVERIFY(titleBar);
    const QPoint start = m_window->pos();
    // Press on the empty room right of the tabs and drag.
    const QPoint grip(titleBar->width() - 200, 10);
    QTest::mousePress(titleBar, Qt::LeftButton, Qt::NoModifier, grip);
    QMouseEvent move(QEvent::MouseMove, grip + QPoint(40, 25), titleBar->mapToGlobal(grip + QPoint(40, 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(titleBar, &move);
    QTest::mouseRelease(titleBar, Qt::LeftButton, Qt::NoModifier, grip + QPoint(40, 25));
    QCOMPARE(m_window->pos(), start + QPoint(40, 25));

    QTest::mouseDClick(titleBar, Qt::LeftButton, Qt::NoModifier, grip);
    QTRY_VERIFY(m_window->isMaximized());
    QCOMPARE(m_window->findChild<QPushButton *>(QStringLiteral("btnRestore")) != nullptr, true);
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("btnRestore")), Qt::LeftButton);
    QTRY_VERIFY(!m_window->isMaximized());

    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("btnClose")), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::borderResizes()
{
    QVERIFY(NewWindow());
    m_window->setGeometry(100, 100, 900, 600);
    const QSize before = m_window->size();
    const QPoint edge(m_window->width() - 2, m_window->height() / 2);
    QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, edge);
    QMouseEvent move(QEvent::MouseMove, edge + QPoint(60, 0), m_window->mapToGlobal(edge + QPoint(60, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &move);
    QTest::mouseRelease(m_window, Qt::LeftButton, Qt::NoModifier, edge + QPoint(60, 0));
    QCOMPARE(m_window->size(), before + QSize(60, 0));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
