#include <QtTest>

#include <QDir>
#include <QLoggingCategory>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "app/appconfig.h"
#include "app/logfilter.h"
#include "environmentguard.h"
#include "reader/readerviewstate.h"
#include "shell/fileinforecord.h"
#include "shell/mainwindow.h"

// What the reader keeps between runs lives in the user's config folder, not in the working folder.
class TestDesktopConfig : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void configDirFollowsXdg_data();
    void configDirFollowsXdg();
    void recordIsWrittenToConfigFolder();
    void oldRecordInWorkingFolderIsTakenOverOnce();
    void chosenRecordFileTakesOverNothing();
    void failedFolderLeavesRecordEmpty();
    void recordedPathsAreAbsolute();
    void viewStateRoundTrip_data();
    void viewStateRoundTrip();
    void viewStateIgnoresBadValues();
    void windowGeometryIsRestored();
    void logFilterHidesTracesKeepsWarnings_data();
    void logFilterHidesTracesKeepsWarnings();
    void verboseVariable_data();
    void verboseVariable();

private:
    static QString ReadAll(const QString &path);
};

void TestDesktopConfig::cleanup()
{
    ReaderViewState::Reset();
    ReaderViewState::SetEnabled(false);
    QLoggingCategory::setFilterRules(QString());
}

QString TestDesktopConfig::ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TestDesktopConfig::configDirFollowsXdg_data()
{
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::homePath();
    QTest::newRow("set") << "/tmp/cfg-test"
                         << "/tmp/cfg-test/ofdreader";
    QTest::newRow("trailing slash") << "/tmp/cfg-test/"
                                    << "/tmp/cfg-test/ofdreader";
    QTest::newRow("unset") << QString() << home + "/.config/ofdreader";
    QTest::newRow("empty") << "" << home + "/.config/ofdreader";
    QTest::newRow("relative is ignored") << "relative/cfg" << home + "/.config/ofdreader";
}

void TestDesktopConfig::configDirFollowsXdg()
{
    QFETCH(QString, xdg);
    EnvironmentGuard guard("XDG_CONFIG_HOME", xdg);
    QTEST(AppConfig::ConfigDir(), "expected");
    QCOMPARE(FileInfoRecord::DefaultRecordFile(), AppConfig::ConfigDir() + "/FileRecord.txt");
}

void TestDesktopConfig::recordIsWrittenToConfigFolder()
{
    QTemporaryDir config;
    QTemporaryDir work;
    EnvironmentGuard guard("XDG_CONFIG_HOME", config.path());
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    FileInfoRecord record; // the default location, as the application uses it
    record.LoadFile();
    record.AddFile(QStringLiteral("/data/a.ofd"), QDateTime::currentDateTime());
    const bool saved = record.SaveFile();
    QDir::setCurrent(oldCwd);
    QVERIFY(saved);
    // The folder did not exist before; it was made.
    QVERIFY(ReadAll(config.filePath("ofdreader/FileRecord.txt")).contains("/data/a.ofd"));
    QVERIFY(!QFile::exists(work.filePath("FileRecord.txt")));
}

void TestDesktopConfig::oldRecordInWorkingFolderIsTakenOverOnce()
{
    QTemporaryDir config;
    QTemporaryDir work;
    EnvironmentGuard guard("XDG_CONFIG_HOME", config.path());
    FileInfoRecord old;
    old.SetRecordFile(work.filePath("FileRecord.txt"));
    old.AddFile(QStringLiteral("/old/one.ofd"), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    QVERIFY(old.SaveFile());

    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    FileInfoRecord first;
    first.LoadFile();
    // A second start: the config folder's record exists now and the old one is not read again,
    // even when it changed meanwhile.
    old.AddFile(QStringLiteral("/old/two.ofd"), QDateTime::currentDateTime());
    QVERIFY(old.SaveFile());
    FileInfoRecord second;
    second.LoadFile();
    QDir::setCurrent(oldCwd);

    QCOMPARE(first.GetFileList().size(), 1);
    QCOMPARE(first.GetFileList().first().fullPath, QStringLiteral("/old/one.ofd"));
    QVERIFY(ReadAll(config.filePath("ofdreader/FileRecord.txt")).contains("/old/one.ofd"));
    QCOMPARE(second.GetFileList().size(), 1);
    QVERIFY(QFile::exists(work.filePath("FileRecord.txt"))); // the old file is left alone
}

void TestDesktopConfig::chosenRecordFileTakesOverNothing()
{
    QTemporaryDir work;
    FileInfoRecord old;
    old.SetRecordFile(work.filePath("FileRecord.txt"));
    old.AddFile(QStringLiteral("/old/one.ofd"), QDateTime::currentDateTime());
    QVERIFY(old.SaveFile());
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    FileInfoRecord record;
    record.SetRecordFile(work.filePath("other/FileRecord.txt"));
    record.LoadFile();
    QDir::setCurrent(oldCwd);
    QVERIFY(record.GetFileList().isEmpty());
}

void TestDesktopConfig::failedFolderLeavesRecordEmpty()
{
    QTemporaryDir config;
    // A file where the folder should be: nothing can be written, nothing is read, nothing breaks.
    QFile blocker(config.filePath("ofdreader"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EnvironmentGuard guard("XDG_CONFIG_HOME", config.path());
    FileInfoRecord record;
    record.SetLegacyRecordFile(QString());
    record.LoadFile();
    QVERIFY(record.GetFileList().isEmpty());
    record.AddFile(QStringLiteral("/x.ofd"), QDateTime::currentDateTime());
    QVERIFY(!record.SaveFile());
}

void TestDesktopConfig::recordedPathsAreAbsolute()
{
    QTemporaryDir work;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    FileInfoRecord record;
    record.SetRecordFile(work.filePath("FileRecord.txt"));
    record.AddFile(QStringLiteral("sub/../doc.ofd"), QDateTime::currentDateTime());
    record.AddFile(QStringLiteral("./doc.ofd"), QDateTime::currentDateTime());
    QDir::setCurrent(oldCwd);
    QCOMPARE(record.GetFileList().size(), 1);
    QCOMPARE(record.GetFileList().first().fullPath, QDir(work.path()).filePath("doc.ofd"));
}

void TestDesktopConfig::viewStateRoundTrip_data()
{
    QTest::addColumn<float>("zoom");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("panel");
    QTest::newRow("fit width, thumbnails") << -2.0f << true << 1;
    QTest::newRow("fit height, closed") << -1.0f << false << 3;
    QTest::newRow("150%, outline") << 1.5f << true << 0;
}

void TestDesktopConfig::viewStateRoundTrip()
{
    QFETCH(float, zoom);
    QFETCH(bool, open);
    QFETCH(int, panel);
    QTemporaryDir config;
    EnvironmentGuard guard("XDG_CONFIG_HOME", config.path());
    ReaderViewState::SetZoomMode(zoom);
    ReaderViewState::SetLeftBar(open, panel);
    {
        std::unique_ptr<QSettings> settings(AppConfig::CreateSettings());
        ReaderViewState::Save(*settings);
    }
    QVERIFY(QFile::exists(config.filePath("ofdreader/ofdreader.conf")));
    ReaderViewState::Reset();
    QCOMPARE(ReaderViewState::GetZoomMode(), 1.0f);
    std::unique_ptr<QSettings> settings(AppConfig::CreateSettings());
    ReaderViewState::Load(*settings);
    QCOMPARE(ReaderViewState::GetZoomMode(), zoom);
    QCOMPARE(ReaderViewState::IsLeftBarOpen(), open);
    QCOMPARE(ReaderViewState::GetPanel(), panel);
}

void TestDesktopConfig::viewStateIgnoresBadValues()
{
    QTemporaryDir config;
    QSettings settings(config.filePath("bad.conf"), QSettings::IniFormat);
    settings.setValue("view/zoomMode", -7);
    settings.setValue("view/leftPanel", 9);
    settings.setValue("view/leftBarOpen", true);
    ReaderViewState::Load(settings);
    QCOMPARE(ReaderViewState::GetZoomMode(), 1.0f);
    QVERIFY(!ReaderViewState::IsLeftBarOpen());
    settings.setValue("view/zoomMode", "many");
    settings.setValue("view/zoomMode", 0.0);
    ReaderViewState::Load(settings);
    QCOMPARE(ReaderViewState::GetZoomMode(), 1.0f);
}

void TestDesktopConfig::windowGeometryIsRestored()
{
    QTemporaryDir config;
    QSettings settings(config.filePath("window.conf"), QSettings::IniFormat);
    {
        MainWindow window;
        window.setGeometry(40, 50, 900, 640);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SaveState(settings);
    }
    MainWindow again;
    QVERIFY(again.size() != QSize(900, 640));
    again.RestoreState(settings);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.size(), QSize(900, 640));
    QCOMPARE(again.pos(), QPoint(40, 50));
}

void TestDesktopConfig::logFilterHidesTracesKeepsWarnings_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("quiet") << false;
    QTest::newRow("verbose") << true;
}

void TestDesktopConfig::logFilterHidesTracesKeepsWarnings()
{
    QFETCH(bool, verbose);
    LogFilter::Install(verbose);
    // The traces go to the default category, as qDebug() writes them.
    QCOMPARE(QLoggingCategory::defaultCategory()->isDebugEnabled(), verbose);
    QVERIFY(QLoggingCategory::defaultCategory()->isWarningEnabled());
    QVERIFY(QLoggingCategory::defaultCategory()->isCriticalEnabled());
}

void TestDesktopConfig::verboseVariable_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("verbose");
    QTest::newRow("unset") << QString() << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("yes") << "yes" << true;
}

void TestDesktopConfig::verboseVariable()
{
    QFETCH(QString, value);
    EnvironmentGuard guard("OFDREADER_VERBOSE", value);
    QTEST(LogFilter::IsVerboseRequested(), "verbose");
}

QTEST_MAIN(TestDesktopConfig)
#include "test_desktopconfig.moc"
