#include <QtTest>

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/ofdreadwidget.h"
#include "reader/viewtestdoc.h"
#include "render/ofdrenderinit.h"
#include "shell/fileinforecord.h"
#include "shell/mainwindow.h"

// Under a real X server (Xvfb): the window gets the keyboard focus from the window system, the
// page area has it as soon as a document shows, and a drag carried out by the toolkit's X drag
// and drop protocol drops files on a page.
class TestDesktopX11 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void focusIsOnThePagesAfterOpening();
    void xdndDropOnAPageOpensTheFile();

private:
    QString MakeFile(const QString &name, int pages);
    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};

void TestDesktopX11::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("Needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
    OfdConvert::Init();
    OfdRenderInit::Init();
    AppParam::Init();
    FileInfoRecord::GetInstance()->SetRecordFile(m_dir.filePath(QStringLiteral("FileRecord.txt")));
    m_window = new MainWindow;
    m_window->setGeometry(50, 50, 1000, 760);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestDesktopX11::cleanupTestCase()
{
    delete m_window;
}

QString TestDesktopX11::MakeFile(const QString &name, int pages)
{
    ViewTestDoc doc;
    doc.pageCount = pages;
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.Build()) <= 0)
        return QString();
    return path;
}

void TestDesktopX11::focusIsOnThePagesAfterOpening()
{
    m_window->OpenNewFile(MakeFile(QStringLiteral("focus.ofd"), 4), nullptr);
    OfdReadWidget *reader = m_window->GetCurrentReadWidget();
    QVERIFY(reader && reader->GetFormOfd());
    QTRY_VERIFY(QApplication::activeWindow() == m_window);
    QTRY_VERIFY(QApplication::focusWidget() &&
                reader->GetFormOfd()->isAncestorOf(QApplication::focusWidget()));
    // Keys through the window system's path to the focus widget.
    QTest::keyClick(m_window->windowHandle(), Qt::Key_PageDown);
    QTest::keyClick(m_window->windowHandle(), Qt::Key_PageDown);
    QCOMPARE(reader->GetFormOfd()->GetCurShowPageIndex(), 2);
    QTest::keyClick(m_window->windowHandle(), Qt::Key_Home);
    QCOMPARE(reader->GetFormOfd()->GetCurShowPageIndex(), 0);
}

void TestDesktopX11::xdndDropOnAPageOpensTheFile()
{
    if (m_window->GetDocumentTabCount() == 0)
        m_window->OpenNewFile(MakeFile(QStringLiteral("base.ofd"), 2), nullptr);
    OfdReadWidget *reader = m_window->GetCurrentReadWidget();
    QVERIFY(reader);
    const int tabs = m_window->GetDocumentTabCount();
    const QString dropped = MakeFile(QStringLiteral("dragged.ofd"), 1);
    QWidget *page = reader->GetFormOfd()->GetPage(0)->viewport();
    const QPoint start = page->mapToGlobal(QPoint(30, 30));
    const QPoint end = page->mapToGlobal(QPoint(80, 90));

    // The pointer's moves and release, as the window system would report them while dragging;
    // the toolkit's X drag (XdndEnter, XdndPosition, XdndDrop) carries the data to the target.
    auto pointer = [page](QEvent::Type type, const QPoint &global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, page->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(page, &event);
    };
    QTimer::singleShot(150, [&]() { pointer(QEvent::MouseMove, start + QPoint(10, 10), Qt::LeftButton); });
    QTimer::singleShot(300, [&]() { pointer(QEvent::MouseMove, end, Qt::LeftButton); });
    QTimer::singleShot(500, [&]() { pointer(QEvent::MouseMove, end + QPoint(2, 2), Qt::LeftButton); });
    QTimer::singleShot(800, [&]() { pointer(QEvent::MouseButtonRelease, end + QPoint(2, 2), Qt::NoButton); });
    // A safety net: a drag that never ends would hang the test.
    QTimer::singleShot(8000, [&]() { pointer(QEvent::MouseButtonRelease, end, Qt::NoButton); });

    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(dropped)});
    auto *drag = new QDrag(page);
    drag->setMimeData(data);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    QCOMPARE(action, Qt::CopyAction);
    QTRY_COMPARE(m_window->GetDocumentTabCount(), tabs + 1);
    QCOMPARE(m_window->GetCurrentReadWidget()->GetFilePath(), dropped);
}

QTEST_MAIN(TestDesktopX11)
#include "test_desktopx11.moc"
