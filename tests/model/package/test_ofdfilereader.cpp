#include <QTextCodec>
#include <QtTest>

#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"

// Opening packages from files and bytes, reading entries, and refusing what is broken or absurd.
class TestOfdFileReader : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void entriesInArchiveOrder();
    void duplicateEntriesFirstWins();
    void entryNameEncodings_data();
    void entryNameEncodings();
    void oneTopFolder_data();
    void oneTopFolder();
    void secondAttemptWithOtherSlashForm_data();
    void secondAttemptWithOtherSlashForm();
    void caseMustMatch();
    void resultsAreCachedAcrossReopen();
    void storedAndDeflatedEntries();
    void openFromFile();
    void corruptArchives_data();
    void corruptArchives();
    void damagedEntryData();
    void declaredSizeTooLarge();
    void actualSizeTooLarge();
    void declaredSizeTooSmall();
    void entrySizeWithoutReading_data();
    void entrySizeWithoutReading();
    void largeEntriesAreNotKept();
    void cacheStaysWithinBudget();
};

void TestOfdFileReader::cleanup()
{
    OfdFileReader::SetEntrySizeLimit(qint64(512) * 1024 * 1024);
    OfdFileReader::SetCacheEntryLimit(qint64(256) * 1024);
    OfdFileReader::SetCacheBudget(qint64(8) * 1024 * 1024);
}

void TestOfdFileReader::entrySizeWithoutReading_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("size");
    QTest::newRow("as stored") << QStringLiteral("Doc_0/Pages/Page_0/Content.xml") << qint64(5);
    QTest::newRow("leading slash") << QStringLiteral("/Doc_0/Pages/Page_0/Content.xml") << qint64(5);
    QTest::newRow("other letter case") << QStringLiteral("doc_0/PAGES/page_0/content.xml") << qint64(5);
    QTest::newRow("empty entry") << QStringLiteral("Doc_0/empty.xml") << qint64(0);
    QTest::newRow("deflated, its own size") << QStringLiteral("big.bin") << qint64(100000);
    QTest::newRow("missing") << QStringLiteral("Doc_0/none.xml") << qint64(-1);
    QTest::newRow("empty path") << QString() << qint64(-1);
}

void TestOfdFileReader::entrySizeWithoutReading()
{
    QFETCH(QString, path);
    QFETCH(qint64, size);
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder()
                            .Add(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), "12345")
                            .Add(QStringLiteral("Doc_0/empty.xml"), QByteArray())
                            .Add(QStringLiteral("big.bin"), QByteArray(100000, 'z'))
                            .Build()));
    QCOMPARE(reader.GetEntrySize(path), size);
}

void TestOfdFileReader::largeEntriesAreNotKept()
{
    // Pictures and fonts are read again on each request instead of staying in memory; the bytes
    // are the same each time.
    OfdFileReader::SetCacheEntryLimit(1000);
    QByteArray big(5000, 'b');
    for (int i = 0; i < big.size(); i += 3)
        big[i] = char('a' + i % 26);
    OfdFileReader reader;
    QVERIFY(reader.Open(
        PackageBuilder().Add(QStringLiteral("big.bin"), big).Add(QStringLiteral("s.xml"), "s").Build()));
    const QByteArray first = reader.GetFileContent(QStringLiteral("big.bin"));
    const QByteArray second = reader.GetFileContent(QStringLiteral("big.bin"));
    QCOMPARE(first, big);
    QCOMPARE(second, big);
    // Not the same buffer: the reader kept no copy to hand out.
    QVERIFY(first.constData() != second.constData());
    const QByteArray small = reader.GetFileContent(QStringLiteral("s.xml"));
    QCOMPARE(reader.GetFileContent(QStringLiteral("s.xml")).constData(), small.constData());
}

void TestOfdFileReader::cacheStaysWithinBudget()
{
    // Room for about three of the entries: reading all of them keeps the last ones asked for, and
    // an entry asked for again stays ahead of those read once. The first answers are held on to, so
    // that a kept entry hands out the same storage and a dropped one a new one.
    OfdFileReader::SetCacheBudget(3500);
    PackageBuilder builder;
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        names << QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i);
        builder.Add(names.last(), QByteArray(1000, char('a' + i)));
    }
    OfdFileReader reader;
    QVERIFY(reader.Open(builder.Build()));
    QVector<QByteArray> first;
    for (int i = 0; i < 3; ++i) {
        first << reader.GetFileContent(names[i]);
        QCOMPARE(first.last(), QByteArray(1000, char('a' + i)));
    }
    QCOMPARE(reader.GetFileContent(names[0]).constData(), first[0].constData()); // kept, and used
    for (int i = 3; i < 5; ++i)
        first << reader.GetFileContent(names[i]);
    // Page 0 was asked for after pages 1 and 2; those went first.
    QCOMPARE(reader.GetFileContent(names[4]).constData(), first[4].constData());
    QCOMPARE(reader.GetFileContent(names[0]).constData(), first[0].constData());
    const QByteArray again = reader.GetFileContent(names[1]);
    QCOMPARE(again, QByteArray(1000, 'b'));
    QVERIFY(again.constData() != first[1].constData());
    QVERIFY(reader.GetFileContent(names[2]).constData() != first[2].constData());
}

void TestOfdFileReader::entriesInArchiveOrder()
{
    const QByteArray zip = PackageBuilder()
                               .Add(QStringLiteral("Doc_0/Document.xml"), "d")
                               .Add(QStringLiteral("OFD.xml"), "o")
                               .Add(QString::fromUtf8("Doc_0/Res/图片 1.png"), "p")
                               .Build();
    OfdFileReader reader;
    QVERIFY(reader.Open(zip));
    QCOMPARE(reader.GetFileCount(), 3);
    QCOMPARE(reader.GetFilePathList(),
             QStringList({QStringLiteral("Doc_0/Document.xml"), QStringLiteral("OFD.xml"),
                          QString::fromUtf8("Doc_0/Res/图片 1.png")}));
    QCOMPARE(reader.GetFilePath(1), QStringLiteral("OFD.xml"));
    QVERIFY(reader.GetFilePath(7).isEmpty());
    QCOMPARE(reader.GetFileContent(QString::fromUtf8("Doc_0/Res/图片 1.png")), QByteArray("p"));
    QVERIFY(reader.GetFileFullName().isEmpty());
}

void TestOfdFileReader::duplicateEntriesFirstWins()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder()
                            .Add(QStringLiteral("Doc_0/Document.xml"), "first")
                            .Add(QStringLiteral("Doc_0/Document.xml"), "second")
                            .Build()));
    QCOMPARE(reader.GetFileContent(QStringLiteral("Doc_0/Document.xml")), QByteArray("first"));
}

void TestOfdFileReader::entryNameEncodings_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::newRow("UTF-8 without the flag") << QByteArray("UTF-8");
    QTest::newRow("GBK of Chinese Windows tools") << QByteArray("GB18030");
}

void TestOfdFileReader::entryNameEncodings()
{
    QFETCH(QByteArray, codec);
    const QString picture = QString::fromUtf8("Doc_0/Res/发票图片.png");
    PackageBuilder b = PackageBuilder::MinimalOfd(1);
    b.Add(picture, QByteArray("picture bytes"));
    b.SetNameCodec(codec);
    const QByteArray zip = b.Build();
    // The archive really holds the name in that encoding.
    QVERIFY(zip.contains(QTextCodec::codecForName(codec)->fromUnicode(picture)));
    OfdFileReader reader;
    QVERIFY(reader.Open(zip));
    QVERIFY2(reader.GetFilePathList().contains(picture), qPrintable(reader.GetFilePathList().join(' ')));
    QCOMPARE(reader.GetFileContent(picture), QByteArray("picture bytes"));
    QVERIFY(!reader.GetFileContent(QStringLiteral("OFD.xml")).isEmpty());
}

void TestOfdFileReader::oneTopFolder_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("all under one folder")
        << QStringList{QStringLiteral("inv/"), QStringLiteral("inv/OFD.xml"),
                       QStringLiteral("inv/Doc_0/Document.xml")}
        << QStringList{QStringLiteral("OFD.xml"), QStringLiteral("Doc_0/Document.xml")};
    QTest::newRow("OFD.xml at the root too")
        << QStringList{QStringLiteral("OFD.xml"), QStringLiteral("inv/OFD.xml")}
        << QStringList{QStringLiteral("OFD.xml"), QStringLiteral("inv/OFD.xml")};
    QTest::newRow("two top folders") << QStringList{QStringLiteral("a/OFD.xml"),
                                                    QStringLiteral("b/Doc_0/Document.xml")}
                                     << QStringList{QStringLiteral("a/OFD.xml"),
                                                    QStringLiteral("b/Doc_0/Document.xml")};
    QTest::newRow("no OFD.xml in the folder") << QStringList{QStringLiteral("inv/Doc_0/Document.xml")}
                                              << QStringList{QStringLiteral("inv/Doc_0/Document.xml")};
}

void TestOfdFileReader::oneTopFolder()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);
    PackageBuilder builder;
    for (const QString &entry : entries)
        builder.Add(entry, entry.endsWith(QLatin1Char('/')) ? QByteArray() : entry.toUtf8());
    OfdFileReader reader;
    QVERIFY(reader.Open(builder.Build()));
    QCOMPARE(reader.GetFilePathList(), listed);
    // Each listed name gives the bytes of the entry it stands for.
    for (const QString &name : listed) {
        const QString stored = entries.contains(name) ? name : QStringLiteral("inv/") + name;
        QCOMPARE(reader.GetFileContent(name), stored.toUtf8());
    }
}

void TestOfdFileReader::secondAttemptWithOtherSlashForm_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("asked");
    QTest::newRow("asked with slash") << "Doc_0/Document.xml"
                                      << "/Doc_0/Document.xml";
    QTest::newRow("stored with slash") << "/Doc_0/Document.xml"
                                       << "Doc_0/Document.xml";
}

void TestOfdFileReader::secondAttemptWithOtherSlashForm()
{
    QFETCH(QString, stored);
    QFETCH(QString, asked);
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder().Add(stored, "<Document/>").Build()));
    QCOMPARE(reader.GetFileContent(asked), QByteArray("<Document/>"));
}

void TestOfdFileReader::caseMustMatch()
{
    // The exact name wins; a name that differs only in letter case is the fallback.
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder()
                            .Add(QStringLiteral("Doc_0/Res/Image.png"), "x")
                            .Add(QStringLiteral("Doc_0/res/image.png"), "y")
                            .Add(QStringLiteral("DOC_0/TPLS/Tpl_0/Content.xml"), "t")
                            .Build()));
    QCOMPARE(reader.GetFileContent(QStringLiteral("Doc_0/res/image.png")), QByteArray("y"));
    QCOMPARE(reader.GetFileContent(QStringLiteral("Doc_0/Res/Image.png")), QByteArray("x"));
    QCOMPARE(reader.GetFileContent(QStringLiteral("/Doc_0/Tpls/Tpl_0/content.xml")), QByteArray("t"));
    QVERIFY(reader.GetFileContent(QStringLiteral("Doc_0/Tpls/Tpl_1/Content.xml")).isEmpty());
    QVERIFY(reader.GetFileContent(QString()).isEmpty());
}

void TestOfdFileReader::resultsAreCachedAcrossReopen()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder().Add(QStringLiteral("a.xml"), "first").Build()));
    QCOMPARE(reader.GetFileContent(QStringLiteral("a.xml")), QByteArray("first"));
    QVERIFY(reader.GetFileContent(QStringLiteral("missing.xml")).isEmpty());

    // Opening again replaces the archive but not the cache: both answers come from it.
    QVERIFY(reader.Open(PackageBuilder()
                            .Add(QStringLiteral("a.xml"), "second")
                            .Add(QStringLiteral("missing.xml"), "now here")
                            .Build()));
    QCOMPARE(reader.GetFileCount(), 2);
    QCOMPARE(reader.GetFileContent(QStringLiteral("a.xml")), QByteArray("first"));
    QVERIFY(reader.GetFileContent(QStringLiteral("missing.xml")).isEmpty());
    // A path string not asked before goes to the new archive.
    QCOMPARE(reader.GetFileContent(QStringLiteral("/a.xml")), QByteArray("second"));
}

void TestOfdFileReader::storedAndDeflatedEntries()
{
    QByteArray big(200000, 'a');
    for (int i = 0; i < big.size(); i += 7)
        big[i] = char('a' + i % 26);
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder()
                            .Add(QStringLiteral("stored.bin"), big, false)
                            .Add(QStringLiteral("deflated.bin"), big, true)
                            .Add(QStringLiteral("empty.bin"), QByteArray())
                            .Build()));
    QCOMPARE(reader.GetFileContent(QStringLiteral("stored.bin")), big);
    QCOMPARE(reader.GetFileContent(QStringLiteral("deflated.bin")), big);
    QVERIFY(reader.GetFileContent(QStringLiteral("empty.bin")).isEmpty());
}

void TestOfdFileReader::openFromFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("发票.2024.ofd"));
    QVERIFY(PackageBuilder::MinimalOfd(2).WriteTo(path));
    OfdFileReader reader;
    QVERIFY(reader.Open(path));
    QCOMPARE(reader.GetFileFullName(), path);
    QCOMPARE(reader.GetFileShortName(), QString::fromUtf8("发票"));
    QVERIFY(reader.GetFileContent(QStringLiteral("OFD.xml")).contains("DocRoot"));
    QCOMPARE(reader.GetFileCount(), 4);

    OfdFileReader missing;
    QVERIFY(!missing.Open(dir.filePath(QStringLiteral("nothing.ofd"))));
    QCOMPARE(missing.GetFileCount(), 0);
    QVERIFY(missing.GetFileContent(QStringLiteral("OFD.xml")).isEmpty());
}

void TestOfdFileReader::corruptArchives_data()
{
    const QByteArray good = PackageBuilder::MinimalOfd(1).Build();
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("<?xml version='1.0'?><ofd:OFD/>");
    QTest::newRow("zip signature only") << QByteArray("PK\x03\x04", 4);
    QTest::newRow("first half") << good.left(good.size() / 2);
    QTest::newRow("without end record") << good.left(good.size() - 22);
    QByteArray randomBytes(4096, '\0');
    for (int i = 0; i < randomBytes.size(); ++i)
        randomBytes[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("noise") << randomBytes;
}

void TestOfdFileReader::corruptArchives()
{
    QFETCH(QByteArray, bytes);
    OfdFileReader reader;
    QVERIFY(!reader.Open(bytes));
    QCOMPARE(reader.GetFileCount(), 0);
    QVERIFY(reader.GetFileContent(QStringLiteral("OFD.xml")).isEmpty());
}

void TestOfdFileReader::damagedEntryData()
{
    QByteArray text(5000, 'x');
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('a' + (i * 31) % 26);
    QByteArray zip = PackageBuilder().Add(QStringLiteral("a.txt"), text, true).Build();
    // Overwrite the middle of the compressed data; the archive's directory stays intact.
    const int dataStart = 30 + 5;
    for (int i = dataStart + 20; i < dataStart + 60; ++i)
        zip[i] = char(0xff);
    OfdFileReader reader;
    QVERIFY(reader.Open(zip));
    const QByteArray got = reader.GetFileContent(QStringLiteral("a.txt"));
    QVERIFY(got.isEmpty()); // damaged bytes are never passed off as the entry
}

void TestOfdFileReader::declaredSizeTooLarge()
{
    const QByteArray zip = PackageBuilder().Add(QStringLiteral("bomb.xml"), QByteArray(1000, 'a')).Build();
    OfdFileReader reader;
    QVERIFY(reader.Open(PatchFirstCentralUncompressedSize(zip, 0xF0000000u)));
    QVERIFY(reader.GetFileContent(QStringLiteral("bomb.xml")).isEmpty());
}

void TestOfdFileReader::actualSizeTooLarge()
{
    OfdFileReader::SetEntrySizeLimit(64 * 1024);
    const QByteArray zip = PackageBuilder()
                               .Add(QStringLiteral("big.xml"), QByteArray(64 * 1024 + 1, 'a'))
                               .Add(QStringLiteral("fits.xml"), QByteArray(64 * 1024, 'b'))
                               .Build();
    OfdFileReader reader;
    QVERIFY(reader.Open(zip));
    QVERIFY(reader.GetFileContent(QStringLiteral("big.xml")).isEmpty());
    QCOMPARE(reader.GetFileContent(QStringLiteral("fits.xml")).size(), 64 * 1024);
}

void TestOfdFileReader::declaredSizeTooSmall()
{
    // An archive that understates a size gives a short read and a checksum mismatch: refused.
    const QByteArray zip = PackageBuilder().Add(QStringLiteral("a.xml"), QByteArray(4000, 'a')).Build();
    OfdFileReader reader;
    QVERIFY(reader.Open(PatchFirstCentralUncompressedSize(zip, 100)));
    QVERIFY(reader.GetFileContent(QStringLiteral("a.xml")).isEmpty());
}

QTEST_GUILESS_MAIN(TestOfdFileReader)
#include "test_ofdfilereader.moc"
