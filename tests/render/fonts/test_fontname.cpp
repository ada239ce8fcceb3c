#include <QtTest>

#include "render/fonts/fontname.h"

// Taking font names apart into a comparison key and style flags.
class TestFontName : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void compact();
};

void TestFontName::parse_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("plain") << QStringLiteral("SimSun") << QStringLiteral("simsun") << false << false;
    QTest::newRow("spaces") << QStringLiteral(" Times New Roman ") << QStringLiteral("timesnewroman") << false
                            << false;
    QTest::newRow("comma bold") << QStringLiteral("SimSun,Bold") << QStringLiteral("simsun") << true << false;
    QTest::newRow("comma bold italic")
        << QStringLiteral("Arial,BoldItalic") << QStringLiteral("arial") << true << true;
    QTest::newRow("BoldMT") << QStringLiteral("Arial-BoldMT") << QStringLiteral("arial") << true << false;
    QTest::newRow("PSMT") << QStringLiteral("TimesNewRomanPSMT") << QStringLiteral("timesnewroman") << false
                          << false;
    QTest::newRow("PS-BoldItalicMT") << QStringLiteral("TimesNewRomanPS-BoldItalicMT")
                                     << QStringLiteral("timesnewroman") << true << true;
    QTest::newRow("oblique") << QStringLiteral("Helvetica-Oblique") << QStringLiteral("helvetica") << false
                             << true;
    QTest::newRow("regular") << QStringLiteral("MinionPro-Regular") << QStringLiteral("minion") << false
                             << false;
    QTest::newRow("GB2312") << QString::fromUtf8("仿宋_GB2312") << QString::fromUtf8("仿宋") << false
                            << false;
    QTest::newRow("GB2312 bold") << QStringLiteral("FangSong_GB2312 Bold") << QStringLiteral("fangsong")
                                 << true << false;
    QTest::newRow("founder code") << QStringLiteral("FZXBSJW--GB1-0") << QStringLiteral("fzxbsjw") << false
                                  << false;
    QTest::newRow("light std") << QStringLiteral("AdobeSongStd-Light") << QStringLiteral("adobesong") << false
                               << false;
    QTest::newRow("subset prefix") << QStringLiteral("VBEFUL+SimSun") << QStringLiteral("simsun") << false
                                   << false;
    QTest::newRow("lower-case prefix kept")
        << QStringLiteral("abcdef+SimSun") << QStringLiteral("abcdef+simsun") << false << false;
    QTest::newRow("path") << QStringLiteral("/usr/share/fonts/fonts/simhei.ttf") << QStringLiteral("simhei")
                          << false << false;
    QTest::newRow("windows path") << QStringLiteral("C:\\Windows\\Fonts\\SIMKAI.TTF")
                                  << QStringLiteral("simkai") << false << false;
    QTest::newRow("chinese bold") << QString::fromUtf8("黑体粗体") << QString::fromUtf8("黑体") << true
                                  << false;
    QTest::newRow("chinese comma bold")
        << QString::fromUtf8("微软雅黑,Bold") << QString::fromUtf8("微软雅黑") << true << false;
    QTest::newRow("only a style word") << QStringLiteral("Bold") << QStringLiteral("bold") << false << false;
    QTest::newRow("black weight") << QStringLiteral("Arial Black") << QStringLiteral("arial") << true
                                  << false;
    QTest::newRow("roman is part of the name")
        << QStringLiteral("Times-Roman") << QStringLiteral("timesroman") << false << false;
}

void TestFontName::parse()
{
    QFETCH(QString, name);
    QFETCH(QString, key);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    const ParsedFontName parsed = ParseFontName(name);
    QCOMPARE(parsed.key, key);
    QCOMPARE(parsed.bold, bold);
    QCOMPARE(parsed.italic, italic);
}

void TestFontName::compact()
{
    QCOMPARE(CompactFontName(QStringLiteral("Noto Serif CJK SC")), QStringLiteral("notoserifcjksc"));
    QCOMPARE(CompactFontName(QStringLiteral("KaiTi_GB2312")), QStringLiteral("kaitigb2312"));
    QCOMPARE(CompactFontName(QStringLiteral("AR-PL UKai")), QStringLiteral("arplukai"));
}

QTEST_MAIN(TestFontName)
#include "test_fontname.moc"
