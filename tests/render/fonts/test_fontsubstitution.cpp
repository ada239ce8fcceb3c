#include <QtTest>

#include "model/package/ofdfilereader.h"
#include "render/fonts/fontsubstitution.h"
#include "testdata.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QRegularExpression>

Q_DECLARE_METATYPE(FontStyleClass)
Q_DECLARE_METATYPE(FontChoice::Source)

// Substitutes for fonts that documents name but do not embed.
class TestFontSubstitution : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void substitutes_data();
    void substitutes();
    void installedFontIsUsedItself();
    void familyNameHelpsWhenFontNameSaysNothing();
    void fallbackFamiliesKeepStyle();
    void describe();
    void applyToFont();
    void cachedAnswersAreStable();
    void everyCorpusFontGetsAnInstalledFamily();
};

namespace {

// The family each style class should get on a machine with the packages of tools/ensure-deps.sh.
QString ExpectedFamily(FontStyleClass styleClass)
{
    switch (styleClass) {
    case FontStyleClass::SerifCjk:
        return QStringLiteral("Noto Serif CJK SC");
    case FontStyleClass::SansCjk:
        return QStringLiteral("Noto Sans CJK SC");
    case FontStyleClass::KaiCjk:
        return QStringLiteral("AR PL UKai CN");
    case FontStyleClass::FangSongCjk:
        return QStringLiteral("AR PL UMing CN");
    case FontStyleClass::SerifLatin:
        return QStringLiteral("Liberation Serif");
    case FontStyleClass::SansLatin:
        return QStringLiteral("Liberation Sans");
    case FontStyleClass::MonoLatin:
        return QStringLiteral("Liberation Mono");
    case FontStyleClass::Symbol:
        return QStringLiteral("DejaVu Sans");
    }
    return QString();
}

bool Listed(const QString &family)
{
    return QFontDatabase().families().contains(family);
}

} // namespace

void TestFontSubstitution::initTestCase()
{
    FontSubstitution::ClearCache();
    QVERIFY2(!QFontDatabase().families().isEmpty(), "no fonts at all");
}

void TestFontSubstitution::substitutes_data()
{
    using C = FontStyleClass;
    using S = FontChoice::Source;
    QTest::addColumn<QString>("name");
    QTest::addColumn<FontStyleClass>("styleClass");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<FontChoice::Source>("source");
    auto row = [](const char *name, C c, bool bold, bool italic, S source) {
        QTest::newRow(name) << QString::fromUtf8(name) << c << bold << italic << source;
    };
    // Names found in real documents.
    row("宋体", C::SerifCjk, false, false, S::Table);
    row("SimSun", C::SerifCjk, false, false, S::Table);
    row("simsun", C::SerifCjk, false, false, S::Table);
    row("SimSun,Bold", C::SerifCjk, true, false, S::Table);
    row("SimSun Bold", C::SerifCjk, true, false, S::Table);
    row("VBEFUL+SimSun", C::SerifCjk, false, false, S::Table);
    row("NSimSun", C::SerifCjk, false, false, S::Table);
    row("新宋体", C::SerifCjk, false, false, S::Table);
    row("STSong", C::SerifCjk, false, false, S::Table);
    row("STSong-Light", C::SerifCjk, false, false, S::Table);
    row("STSongti-SC-Regular", C::SerifCjk, false, false, S::Table);
    row("AdobeSongStd-Light", C::SerifCjk, false, false, S::Table);
    row("Adobe Song Std", C::SerifCjk, false, false, S::Table);
    row("方正小标宋简体", C::SerifCjk, false, false, S::Table);
    row("FZXBSJW--GB1-0", C::SerifCjk, false, false, S::Table);
    row("华文中宋", C::SerifCjk, false, false, S::Table);
    row("仿宋", C::FangSongCjk, false, false, S::Table);
    row("仿宋_GB2312", C::FangSongCjk, false, false, S::Table);
    row("FangSong_GB2312", C::FangSongCjk, false, false, S::Table);
    row("FangSong_GB2312 Bold", C::FangSongCjk, true, false, S::Table);
    row("FangSong", C::FangSongCjk, false, false, S::Table);
    row("STFangsong", C::FangSongCjk, false, false, S::Table);
    row("FZFSJW--GB1-0", C::FangSongCjk, false, false, S::Table);
    row("楷体", C::KaiCjk, false, false, S::Table);
    row("楷体_GB2312", C::KaiCjk, false, false, S::Table);
    row("KaiTi_GB2312", C::KaiCjk, false, false, S::Table);
    row("KaiTi", C::KaiCjk, false, false, S::Table);
    row("STKaiti", C::KaiCjk, false, false, S::Table);
    row("黑体", C::SansCjk, false, false, S::Table);
    row("SimHei", C::SansCjk, false, false, S::Table);
    row("微软雅黑", C::SansCjk, false, false, S::Table);
    row("微软雅黑,Bold", C::SansCjk, true, false, S::Table);
    row("Microsoft YaHei", C::SansCjk, false, false, S::Table);
    row("FZHTJW--GB1-0", C::SansCjk, false, false, S::Table);
    row("方正公文黑体", C::SansCjk, false, false, S::Table);
    row("Times New Roman", C::SerifLatin, false, false, S::Table);
    row("TimesNewRomanPSMT", C::SerifLatin, false, false, S::Table);
    row("TimesNewRomanPS-BoldItalicMT", C::SerifLatin, true, true, S::Table);
    row("MinionPro-Regular", C::SerifLatin, false, false, S::Table);
    row("Arial", C::SansLatin, false, false, S::Table);
    row("Arial Bold", C::SansLatin, true, false, S::Table);
    row("Arial-BoldMT", C::SansLatin, true, false, S::Table);
    row("Helvetica", C::SansLatin, false, false, S::Table);
    row("Helvetica-Oblique", C::SansLatin, false, true, S::Table);
    row("Calibri", C::SansLatin, false, false, S::Table);
    row("Tahoma", C::SansLatin, false, false, S::Table);
    row("Courier New", C::MonoLatin, false, false, S::Table);
    row("CourierNewPSMT", C::MonoLatin, false, false, S::Table);
    row("Courier", C::MonoLatin, false, false, S::Table);
    row("Symbol", C::Symbol, false, false, S::Table);
    row("Wingdings", C::Symbol, false, false, S::Table);
    row("/usr/share/fonts/fonts/simhei.ttf", C::SansCjk, false, false, S::Table);
    row("C:\\Windows\\Fonts\\simfang.ttf", C::FangSongCjk, false, false, S::Table);
    // Unknown names: words in the name decide.
    row("Evermore Song", C::SerifCjk, false, false, S::NameHint);
    row("Evermore Kai", C::KaiCjk, false, false, S::NameHint);
    row("方正兰亭黑_GBK", C::SansCjk, false, false, S::NameHint);
    row("汉仪楷体简", C::KaiCjk, false, false, S::NameHint);
    row("某某仿宋体", C::FangSongCjk, false, false, S::NameHint);
    row("某某宋体,Bold", C::SerifCjk, true, false, S::NameHint);
    row("HYShuSongErKW", C::SerifCjk, false, false, S::NameHint);
    row("SomeFangSongW3", C::FangSongCjk, false, false, S::NameHint);
    row("FangZhengShuSong", C::SerifCjk, false, false, S::NameHint);
    row("Yu Gothic", C::SansCjk, false, false, S::NameHint);
    row("Hiragino Mincho ProN", C::SerifCjk, false, false, S::NameHint);
    row("Ubuntu Mono", C::MonoLatin, false, false, S::NameHint);
    row("Open Sans Italic", C::SansLatin, false, true, S::NameHint);
    row("PT Serif", C::SerifLatin, false, false, S::NameHint);
    // Nothing to go by: the serif CJK default.
    row("HYb1gj", C::SerifCjk, false, false, S::Default);
    row("sysfST", C::SerifCjk, false, false, S::Default);
    row("STZJ", C::SerifCjk, false, false, S::Default);
    row("", C::SerifCjk, false, false, S::Default);
}

void TestFontSubstitution::substitutes()
{
    QFETCH(QString, name);
    QFETCH(FontStyleClass, styleClass);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(FontChoice::Source, source);
    const FontChoice choice = FontSubstitution::Resolve(name);
    QCOMPARE(FontStyleClassName(choice.styleClass), FontStyleClassName(styleClass));
    QCOMPARE(choice.bold, bold);
    QCOMPARE(choice.italic, italic);
    QCOMPARE(int(choice.source), int(source));
    QVERIFY(choice.substituted);
    QCOMPARE(choice.requested, name.trimmed());
    QVERIFY2(Listed(choice.family), qPrintable(choice.family));
    const QString expected = ExpectedFamily(styleClass);
    if (!Listed(expected))
        QSKIP(qPrintable(expected + QStringLiteral(" is not installed (tools/ensure-deps.sh installs it)")));
    QCOMPARE(choice.family, expected);
}

void TestFontSubstitution::installedFontIsUsedItself()
{
    for (const char *name : {"Liberation Serif", "liberation serif", "DejaVu Sans Mono", "AR PL UKai CN"}) {
        const QString family = QString::fromUtf8(name);
        if (!FontSubstitution::IsInstalled(family))
            continue;
        const FontChoice choice = FontSubstitution::Resolve(family);
        QCOMPARE(int(choice.source), int(FontChoice::Source::Installed));
        QVERIFY(!choice.substituted);
        QCOMPARE(choice.family.toLower(), family.toLower());
        QVERIFY(Listed(choice.family));
    }
    const FontChoice bold = FontSubstitution::Resolve(QStringLiteral("LiberationSerif-Bold"));
    if (FontSubstitution::IsInstalled(QStringLiteral("Liberation Serif"))) {
        QCOMPARE(bold.family, QStringLiteral("Liberation Serif"));
        QVERIFY(bold.bold);
        QVERIFY(!bold.substituted);
    }
    QVERIFY(!FontSubstitution::IsInstalled(QStringLiteral("No Such Font Family 12345")));
}

void TestFontSubstitution::familyNameHelpsWhenFontNameSaysNothing()
{
    // An opaque FontName with a telling FamilyName.
    const FontChoice choice = FontSubstitution::Resolve(QStringLiteral("HYa6gj"), QString::fromUtf8("楷体"));
    QCOMPARE(FontStyleClassName(choice.styleClass), FontStyleClassName(FontStyleClass::KaiCjk));
    QCOMPARE(choice.requested, QStringLiteral("HYa6gj"));
    // The FontName wins when it is known.
    const FontChoice both = FontSubstitution::Resolve(QStringLiteral("SimHei"), QString::fromUtf8("楷体"));
    QCOMPARE(FontStyleClassName(both.styleClass), FontStyleClassName(FontStyleClass::SansCjk));
    // Only a FamilyName.
    const FontChoice family = FontSubstitution::Resolve(QString(), QStringLiteral("Courier New"));
    QCOMPARE(FontStyleClassName(family.styleClass), FontStyleClassName(FontStyleClass::MonoLatin));
    QCOMPARE(family.requested, QStringLiteral("Courier New"));
}

void TestFontSubstitution::fallbackFamiliesKeepStyle()
{
    // Latin faces fall back to a CJK face of the same style for Chinese characters, and the list only
    // holds installed families, each once, starting with the chosen one.
    const FontChoice times = FontSubstitution::Resolve(QStringLiteral("Times New Roman"));
    QVERIFY(!times.families.isEmpty());
    QCOMPARE(times.families.first(), times.family);
    QStringList unique = times.families;
    QCOMPARE(unique.removeDuplicates(), 0);
    for (const QString &family : times.families)
        QVERIFY2(Listed(family), qPrintable(family));
    if (Listed(QStringLiteral("Noto Serif CJK SC"))) {
        QVERIFY(times.families.contains(QStringLiteral("Noto Serif CJK SC")));
        QVERIFY(!times.families.contains(QStringLiteral("Noto Sans CJK SC")));
    }
    const FontChoice arial = FontSubstitution::Resolve(QStringLiteral("Arial"));
    if (Listed(QStringLiteral("Noto Sans CJK SC"))) {
        QVERIFY(arial.families.contains(QStringLiteral("Noto Sans CJK SC")));
        QVERIFY(!arial.families.contains(QStringLiteral("Noto Serif CJK SC")));
    }
    const QStringList kai = FontSubstitution::PreferenceList(FontStyleClass::KaiCjk);
    QCOMPARE(kai.first(), QStringLiteral("AR PL UKai CN"));
    QVERIFY(!FontSubstitution::PreferenceList(FontStyleClass::SansCjk)
                 .contains(QStringLiteral("Noto Serif CJK SC")));
}

void TestFontSubstitution::describe()
{
    if (!Listed(QStringLiteral("Noto Serif CJK SC")) || !Listed(QStringLiteral("Liberation Sans")))
        QSKIP("the default fonts are not installed");
    QCOMPARE(FontSubstitution::Resolve(QString::fromUtf8("宋体")).Describe(),
             QString::fromUtf8("宋体 → Noto Serif CJK SC"));
    QCOMPARE(FontSubstitution::Resolve(QStringLiteral("Arial,BoldItalic")).Describe(),
             QString::fromUtf8("Arial,BoldItalic → Liberation Sans (bold, italic)"));
    QCOMPARE(FontSubstitution::Resolve(QStringLiteral("Liberation Sans")).Describe(),
             QStringLiteral("Liberation Sans"));
}

void TestFontSubstitution::applyToFont()
{
    QFont font(QStringLiteral("Whatever"), 12);
    const FontChoice bold = FontSubstitution::Resolve(QStringLiteral("SimHei,Bold"));
    bold.ApplyTo(font);
    QCOMPARE(font.family(), bold.family);
    QCOMPARE(font.families(), bold.families);
    QCOMPARE(font.weight(), int(QFont::Bold));
    QVERIFY(!font.italic());
    QCOMPARE(font.pointSize(), 12);

    const FontChoice title = FontSubstitution::Resolve(QString::fromUtf8("方正小标宋简体"));
    QVERIFY(title.displayWeight);
    title.ApplyTo(font);
    QCOMPARE(font.weight(), int(QFont::DemiBold));

    const FontChoice italic = FontSubstitution::Resolve(QStringLiteral("Helvetica-Oblique"));
    italic.ApplyTo(font);
    QCOMPARE(font.weight(), int(QFont::Normal));
    QVERIFY(font.italic());
}

void TestFontSubstitution::cachedAnswersAreStable()
{
    const FontChoice first = FontSubstitution::Resolve(QString::fromUtf8("楷体_GB2312"));
    const FontChoice second = FontSubstitution::Resolve(QString::fromUtf8("楷体_GB2312"));
    QCOMPARE(second.family, first.family);
    QCOMPARE(second.families, first.families);
    FontSubstitution::ClearCache();
    QCOMPARE(FontSubstitution::Resolve(QString::fromUtf8("楷体_GB2312")).family, first.family);
}

void TestFontSubstitution::everyCorpusFontGetsAnInstalledFamily()
{
    const QString dir = CorpusDir();
    if (dir.isEmpty())
        QSKIP("no corpus folder on this machine");
    static const QRegularExpression fontElement(QStringLiteral("<[^>]*:?Font\\s[^>]*>"));
    static const QRegularExpression fontName(QStringLiteral("FontName=\"([^\"]*)\""));
    static const QRegularExpression familyName(QStringLiteral("FamilyName=\"([^\"]*)\""));
    QMap<QString, QString> seen;
    QDirIterator it(dir, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        OfdFileReader reader;
        if (!reader.Open(it.next()))
            continue;
        for (const QString &entry : reader.GetFilePathList()) {
            if (!entry.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                continue;
            const QString xml = QString::fromUtf8(reader.GetFileContent(entry));
            auto elements = fontElement.globalMatch(xml);
            while (elements.hasNext()) {
                const QString element = elements.next().captured(0);
                const QString name = fontName.match(element).captured(1);
                const QString family = familyName.match(element).captured(1);
                if (name.isEmpty() && family.isEmpty())
                    continue;
                const FontChoice choice = FontSubstitution::Resolve(name, family);
                QVERIFY2(Listed(choice.family), qPrintable(name + QLatin1Char('/') + family));
                seen.insert(name + QLatin1Char('/') + family, choice.Describe());
            }
        }
    }
    for (auto i = seen.constBegin(); i != seen.constEnd(); ++i)
        qInfo().noquote() << i.key() << "->" << i.value();
    if (seen.isEmpty())
        QSKIP("no font declarations in the corpus");
}

QTEST_MAIN(TestFontSubstitution)
#include "test_fontsubstitution.moc"
