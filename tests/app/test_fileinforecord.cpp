#include <QtTest>

#include "shell/fileinforecord.h"

// The record of recently opened files and its JSON file.
class TestFileInfoRecord : public QObject
{
    Q_OBJECT
private slots:
    void keepsTheTwentyNewest();
    void samePathCollapses();
    void sortedNewestFirst();
    void roundTripThroughFile();
    void invalidFiles_data();
    void invalidFiles();
    void deleteAndClear();
};

void TestFileInfoRecord::keepsTheTwentyNewest()
{
    FileInfoRecord record;
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
    for (int i = 0; i < 21; ++i)
        record.AddFile(QStringLiteral("/docs/file%1.ofd").arg(i), start.addSecs(i * 60));
    QCOMPARE(record.GetFileList().size(), 20);
    QCOMPARE(record.GetFileList().first().fullPath, QStringLiteral("/docs/file20.ofd"));
    QCOMPARE(record.GetFileList().last().fullPath, QStringLiteral("/docs/file1.ofd"));
}

void TestFileInfoRecord::samePathCollapses()
{
    FileInfoRecord record;
    const QDateTime t1(QDate(2026, 3, 1), QTime(9, 0));
    record.AddFile(QStringLiteral("/a/x.ofd"), t1);
    record.AddFile(QStringLiteral("/a/y.ofd"), t1.addSecs(10));
    record.AddFile(QStringLiteral("/a/../a/x.ofd"), t1.addSecs(20));
    QCOMPARE(record.GetFileList().size(), 2);
    QCOMPARE(record.GetFileList().first().fullPath, QStringLiteral("/a/x.ofd"));
    QCOMPARE(record.GetFileList().first().lastReadTime, t1.addSecs(20));
}

void TestFileInfoRecord::sortedNewestFirst()
{
    FileInfoRecord record;
    record.ParseRecord(R"({"CurDir":"/home/u/docs","arrayFileRecord":[
        {"QtType":"FileInfoItem","FileFullPath":"/old.ofd","LastReadTime":"2025-01-01 10:00:00"},
        {"QtType":"FileInfoItem","FileFullPath":"/new.ofd","LastReadTime":"2026-01-01 10:00:00"},
        {"QtType":"FileInfoItem","FileFullPath":"/mid.ofd","LastReadTime":"2025-06-01 10:00:00"},
        {"QtType":"FileInfoItem","FileFullPath":"/new.ofd","LastReadTime":"2024-01-01 10:00:00"}]})");
    QCOMPARE(record.GetOpenDir(), QStringLiteral("/home/u/docs"));
    QCOMPARE(record.GetFileList().size(), 3);
    QCOMPARE(record.GetFileList()[0].fullPath, QStringLiteral("/mid.ofd"));
    QCOMPARE(record.GetFileList()[1].fullPath, QStringLiteral("/old.ofd"));
    QCOMPARE(record.GetFileList()[2].fullPath, QStringLiteral("/new.ofd")); // its later entry's time won
}

void TestFileInfoRecord::roundTripThroughFile()
{
    QTemporaryDir dir;
    FileInfoRecord record;
    record.SetRecordFile(dir.filePath(QStringLiteral("FileRecord.txt")));
    record.AddFile(QString::fromUtf8("/文档/通知.ofd"), QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5)));
    record.SetOpenDir(QString::fromUtf8("/文档/通知.ofd"));
    QVERIFY(record.SaveFile());

    QFile file(record.GetRecordFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(root.value(QLatin1String("CurDir")).toString(), QString::fromUtf8("/文档"));
    const QJsonObject entry = root.value(QLatin1String("arrayFileRecord")).toArray().at(0).toObject();
    QCOMPARE(entry.value(QLatin1String("QtType")).toString(), QStringLiteral("FileInfoItem"));
    QCOMPARE(entry.value(QLatin1String("LastReadTime")).toString(), QStringLiteral("2026-12-08 14:30:05"));

    FileInfoRecord loaded;
    loaded.SetRecordFile(record.GetRecordFile());
    loaded.LoadFile();
    QCOMPARE(loaded.GetFileList().size(), 1);
    QCOMPARE(loaded.GetFileList()[0].fullPath, QString::fromUtf8("/文档/通知.ofd"));
    QCOMPARE(loaded.GetOpenDir(), QString::fromUtf8("/文档"));
}

void TestFileInfoRecord::invalidFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("{{{ nonsense");
    QTest::newRow("array") << QByteArray("[1,2,3]");
    QTest::newRow("wrong types") << QByteArray(R"({"CurDir":5,"arrayFileRecord":{"a":1}})");
}

void TestFileInfoRecord::invalidFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("r.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    FileInfoRecord record;
    record.SetRecordFile(file.fileName());
    record.LoadFile();
    QVERIFY(record.GetFileList().isEmpty());
    QVERIFY(!record.GetOpenDir().isEmpty() || content.contains("CurDir"));
}

void TestFileInfoRecord::deleteAndClear()
{
    QTemporaryDir dir;
    FileInfoRecord record;
    record.SetRecordFile(dir.filePath(QStringLiteral("r.txt")));
    record.AddFile(QStringLiteral("/a.ofd"), QDateTime::currentDateTime());
    record.AddFile(QStringLiteral("/b.ofd"), QDateTime::currentDateTime());
    record.DeleteFile(QStringLiteral("/a.ofd"), true);
    FileInfoRecord saved;
    saved.SetRecordFile(record.GetRecordFile());
    saved.LoadFile();
    QCOMPARE(saved.GetFileList().size(), 1);
    QCOMPARE(saved.GetFileList()[0].fullPath, QStringLiteral("/b.ofd"));
    record.ClearRecord(true);
    FileInfoRecord cleared;
    cleared.SetRecordFile(record.GetRecordFile());
    cleared.LoadFile();
    QVERIFY(cleared.GetFileList().isEmpty());
}

QTEST_GUILESS_MAIN(TestFileInfoRecord)
#include "test_fileinforecord.moc"
