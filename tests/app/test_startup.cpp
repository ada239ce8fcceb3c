#include <QtTest>

#include <QApplication>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTextCodec>

#include "app/appparam.h"
#include "app/startupargs.h"
#include "packagebuilder.h"
#include "reader/ofdreadwidget.h"
#include "shell/fileinforecord.h"
#include "shell/homewidget.h"
#include "shell/mainwindow.h"
#include "shell/pagetabbar.h"
#include "shell/startup.h"
#include "sign/ofdsealpicture.h"
#include "widgets/tabbutton.h"

// The start-up sequence: command line, application settings and the first window.
class TestStartup : public QObject
{
    Q_OBJECT
public:
    TestStartup(const QString &pathFromCommandLine) : m_pathFromCommandLine(pathFromCommandLine) {}

private slots:
    void qtOptionsAreNotTakenForThePath();
    void argumentsWithoutPath();
    void applicationSettings_data();
    void applicationSettings();
    void windowOpensGivenPathOnce();
    void unreadableFileIsReportedWithoutTab();

private:
    QString m_pathFromCommandLine;
};

void TestStartup::qtOptionsAreNotTakenForThePath()
{
    // main() below started the application with "-style fusion <path> extra".
    QCOMPARE(m_pathFromCommandLine, QString::fromUtf8("/tmp/公文 1.ofd"));
}

void TestStartup::argumentsWithoutPath()
{
    char program[] = "ofdreader";
    char *onlyProgram[] = {program, nullptr};
    QVERIFY(GetFileNameFromMainParam(1, onlyProgram).isEmpty());
    QVERIFY(GetFileNameFromMainParam(0, nullptr).isEmpty());
}

void TestStartup::applicationSettings_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("displayName");
    QTest::newRow("0") << 0 << QString::fromUtf8("OFD阅读器");
    QTest::newRow("1") << 1 << QString::fromUtf8("OFD阅读器");
    QTest::newRow("2") << 2 << QString::fromUtf8("Lumeno版式阅读器");
}

void TestStartup::applicationSettings()
{
    QFETCH(int, edition);
    const int saved = AppParam::AppStatus;
    AppParam::AppStatus = edition;
    StartUp::InitApplication();
    AppParam::AppStatus = saved;

    QTEST(QApplication::applicationDisplayName(), "displayName");
    QCOMPARE(QApplication::font().family(), QStringLiteral("Microsoft Yahei"));
    QCOMPARE(QApplication::font().pointSize(), 10);
    QCOMPARE(QTextCodec::codecForLocale()->name(), QByteArray("UTF-8"));
    QCOMPARE(AppParam::CursorHand.shape(), Qt::ClosedHandCursor);
    QCOMPARE(AppParam::CursorAnnot.shape(), Qt::SizeAllCursor);
    // Seal pictures stored as packages can be drawn once start-up has run.
    QVERIFY(OfdSealPicture::HasOfdPictureRenderer());
}

void TestStartup::windowOpensGivenPathOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("通知.ofd"));
    QVERIFY(PackageBuilder::MinimalOfd(1).WriteTo(path));

    MainWindow *window = StartUp::CreateMainWindow();
    QVERIFY(window->isVisible());
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->GetDocumentTabCount(), 0);
    window->OpenNewFile(path, nullptr);
    QCOMPARE(window->GetDocumentTabCount(), 1);
    QCOMPARE(FileInfoRecord::GetInstance()->GetFileList().value(0).fullPath, path);
    QCOMPARE(FileInfoRecord::GetInstance()->GetOpenDir(), dir.path());
    QCOMPARE(window->GetTabBar()->GetCurrentTab()->GetText(), QString::fromUtf8("通知"));
    auto *reader = qobject_cast<OfdReadWidget *>(window->GetCurrentPage());
    QVERIFY(reader);
    QCOMPARE(reader->GetFilePath(), path);
    QTest::mouseClick(window->GetTabBar()->GetTabButtons().first(), Qt::LeftButton);
    QCOMPARE(window->GetCurrentPage(), window->GetDefaultHome());
    window->OpenNewFile(path, nullptr); // the same path selects its tab
    QCOMPARE(window->GetDocumentTabCount(), 1);
    QCOMPARE(window->GetCurrentPage(), reader);
    QCOMPARE(window->GetTabBar()->GetCurrentTab()->GetText(), QString::fromUtf8("通知"));
    window->OpenNewFile(dir.filePath(QStringLiteral("other.PDF")), nullptr);
    QCOMPARE(window->GetDocumentTabCount(), 1);
    delete window;
}

void TestStartup::unreadableFileIsReportedWithoutTab()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.ofd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a zip archive");
    file.close();

    MainWindow window;
    QString shown;
    QTimer::singleShot(0, [&shown]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    window.OpenNewFile(path, nullptr);
    QCOMPARE(shown, QString::fromUtf8("无法打开文件：") + path +
                        QString::fromUtf8("\n这不是 OFD 文件：OFD 文件是 ZIP 压缩包，而这个文件不是。"));
    QCOMPARE(window.GetDocumentTabCount(), 0);
}

int main(int argc, char *argv[])
{
    // Start the way a user would: a Qt option, the document path and one argument too many.
    QByteArray program(argv[0]);
    QByteArray style("-style");
    QByteArray fusion("fusion");
    QByteArray path = QString::fromUtf8("/tmp/公文 1.ofd").toUtf8();
    QByteArray extra("second.ofd");
    char *appArgv[] = {program.data(), style.data(), fusion.data(), path.data(), extra.data(), nullptr};
    int appArgc = 5;
    QApplication app(appArgc, appArgv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QTemporaryDir recordDir; // the record is written to the working directory otherwise
    FileInfoRecord::GetInstance()->SetRecordFile(recordDir.filePath(QStringLiteral("FileRecord.txt")));
    TestStartup test(GetFileNameFromMainParam(appArgc, appArgv));
    return QTest::qExec(&test, argc, argv);
}

#include "test_startup.moc"
