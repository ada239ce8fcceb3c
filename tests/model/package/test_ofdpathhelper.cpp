#include <QtTest>

#include "model/package/ofdpathhelper.h"

// How locations written inside parts become package paths, and when two package paths are equal.
class TestOfdPathHelper : public QObject
{
    Q_OBJECT
private slots:
    void fullPath_data();
    void fullPath();
    void fullPathWithName_data();
    void fullPathWithName();
    void pathEqual_data();
    void pathEqual();
    void pieces();
};

void TestOfdPathHelper::fullPath_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("loc");
    QTest::addColumn<QString>("result");
    QTest::newRow("relative") << "Doc_0/Document.xml"
                              << "Pages/Page_0/Content.xml"
                              << "Doc_0/Pages/Page_0/Content.xml";
    QTest::newRow("dot slash") << "Doc_0/Document.xml"
                               << "./Pages/Page_0/Content.xml"
                               << "Doc_0/Pages/Page_0/Content.xml";
    QTest::newRow("absolute ignores base") << "Doc_0/Document.xml"
                                           << "/Doc_0/PublicRes.xml"
                                           << "Doc_0/PublicRes.xml";
    QTest::newRow("empty base") << ""
                                << "Doc_0/Document.xml"
                                << "Doc_0/Document.xml";
    QTest::newRow("empty base dot slash") << ""
                                          << "./Doc_0/Document.xml"
                                          << "Doc_0/Document.xml";
    QTest::newRow("parent") << "Doc_0/Pages/Page_0/Content.xml"
                            << "../Res/a.png"
                            << "Doc_0/Pages/Res/a.png";
    QTest::newRow("parent of top directory") << "Doc_0/Document.xml"
                                             << "../x.xml"
                                             << "x.xml";
    QTest::newRow("parent with empty base") << ""
                                            << "../x.xml"
                                            << "x.xml";
    QTest::newRow("base with leading slash") << "/Doc_0/Document.xml"
                                             << "Res/f.ttf"
                                             << "Doc_0/Res/f.ttf";
    QTest::newRow("base is a directory") << "Doc_0/Res/"
                                         << "a.png"
                                         << "Doc_0/Res/a.png";
    QTest::newRow("only one parent step") << "A/B/C/x.xml"
                                          << "../../y.xml"
                                          << "A/B/../y.xml";
    QTest::newRow("only one dot step") << "A/x.xml"
                                       << "././y.xml"
                                       << "A/./y.xml";
    QTest::newRow("backslashes and case kept") << "Doc_0/Document.xml"
                                               << "Res\\A.PNG"
                                               << "Doc_0/Res\\A.PNG";
    QTest::newRow("base at root") << "Document.xml"
                                  << "Content_1.xml"
                                  << "Content_1.xml";
}

void TestOfdPathHelper::fullPath()
{
    QFETCH(QString, base);
    QFETCH(QString, loc);
    QFETCH(QString, result);
    QCOMPARE(OfdPathHelper::GetOfdFullPath(base, loc), result);
    QCOMPARE(GetOfdFullPath(base, loc), result);
}

void TestOfdPathHelper::fullPathWithName_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("loc");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result");
    QTest::newRow("resource base") << "Doc_0/DocumentRes.xml"
                                   << "Res"
                                   << "image_1.png"
                                   << "Doc_0/Res/image_1.png";
    QTest::newRow("base location with slash") << "Doc_0/DocumentRes.xml"
                                              << "Res/"
                                              << "a.ttf"
                                              << "Doc_0/Res/a.ttf";
    QTest::newRow("absolute name") << "Doc_0/DocumentRes.xml"
                                   << "Res"
                                   << "/Doc_0/Res/font_1.ttf"
                                   << "Doc_0/Res/font_1.ttf";
    QTest::newRow("empty location") << "Doc_0/DocumentRes.xml"
                                    << ""
                                    << "image_80.png"
                                    << "Doc_0/image_80.png";
    QTest::newRow("absolute location") << "Doc_0/Pages/Page_0/PageRes.xml"
                                       << "/Doc_0/Res"
                                       << "i.png"
                                       << "Doc_0/Res/i.png";
}

void TestOfdPathHelper::fullPathWithName()
{
    QFETCH(QString, base);
    QFETCH(QString, loc);
    QFETCH(QString, name);
    QFETCH(QString, result);
    QCOMPARE(OfdPathHelper::GetOfdFullPath(base, loc, name), result);
}

void TestOfdPathHelper::pathEqual_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("identical") << "Doc_0/Document.xml"
                               << "Doc_0/Document.xml" << true;
    QTest::newRow("leading slash") << "/Doc_0/Document.xml"
                                   << "Doc_0/Document.xml" << true;
    QTest::newRow("extension case") << "Doc_0/Res/Image_1.PNG"
                                    << "Doc_0/Res/Image_1.png" << true;
    QTest::newRow("four letter extension") << "a/b.JPEG"
                                           << "a/b.jpeg" << true;
    QTest::newRow("directory case") << "Doc_0/RES/image_1.png"
                                    << "Doc_0/Res/image_1.png" << false;
    QTest::newRow("long extension") << "a/b.JPEG2"
                                    << "a/b.jpeg2" << false;
    QTest::newRow("different length") << "a/b.png"
                                      << "a/bb.png" << false;
    QTest::newRow("no extension") << "a/Name"
                                  << "a/name" << false;
    QTest::newRow("dot elsewhere") << "a.b/cd"
                                   << "a.B/cd" << false;
}

void TestOfdPathHelper::pathEqual()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, equal);
    QCOMPARE(IsOfdFilePathEqual(a, b), equal);
    QCOMPARE(IsOfdFilePathEqual(b, a), equal);
}

void TestOfdPathHelper::pieces()
{
    QCOMPARE(OfdPathHelper::RemoveStartSlash(QStringLiteral("//a")), QStringLiteral("/a"));
    QCOMPARE(OfdPathHelper::AddStartSlash(QStringLiteral("a")), QStringLiteral("/a"));
    QCOMPARE(OfdPathHelper::AddStartSlash(QStringLiteral("/a")), QStringLiteral("/a"));
    QCOMPARE(OfdPathHelper::RemoveEndSlash(QStringLiteral("a/b/")), QStringLiteral("a/b"));
    QCOMPARE(OfdPathHelper::RemoveLastPathItem(QStringLiteral("a")), QStringLiteral("a"));
    QCOMPARE(OfdPathHelper::GetDirectory(QStringLiteral("/a/b/c.xml")), QStringLiteral("a/b"));
    QCOMPARE(OfdPathHelper::CombinePath(QStringLiteral("/a/"), QStringLiteral("b")), QStringLiteral("a/b"));
    QCOMPARE(OfdPathHelper::CombinePath(QStringLiteral("a"), QStringLiteral("/b")), QStringLiteral("b"));
    QVERIFY(OfdPathHelper::IsStartWithRoot(QStringLiteral("/x")));
    QVERIFY(!OfdPathHelper::IsStartWithRoot(QStringLiteral("x/")));
}

QTEST_APPLESS_MAIN(TestOfdPathHelper)
#include "test_ofdpathhelper.moc"
