#include "render/fonts/fontsubstitution.h"

#include "render/fonts/fontname.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

// One entry of the substitution table: a name as documents write it and its style.
struct TableEntry
{
    const char *name; // UTF-8; compared after ParseFontName
    FontStyleClass styleClass;
    bool displayWeight;
};

// clang-format off
const TableEntry kTable[] = {
    // Song / Ming (serif CJK).
    {"宋体", FontStyleClass::SerifCjk, false},         {"SimSun", FontStyleClass::SerifCjk, false},
    {"新宋体", FontStyleClass::SerifCjk, false},       {"NSimSun", FontStyleClass::SerifCjk, false},
    {"中易宋体", FontStyleClass::SerifCjk, false},     {"SimSun-ExtB", FontStyleClass::SerifCjk, false},
    {"宋体-方正超大字符集", FontStyleClass::SerifCjk, false},
    {"华文宋体", FontStyleClass::SerifCjk, false},     {"STSong", FontStyleClass::SerifCjk, false},
    {"STSongti-SC", FontStyleClass::SerifCjk, false},  {"Songti SC", FontStyleClass::SerifCjk, false},
    {"Adobe Song Std", FontStyleClass::SerifCjk, false}, {"AdobeSongStd", FontStyleClass::SerifCjk, false},
    {"方正书宋", FontStyleClass::SerifCjk, false},     {"方正书宋简体", FontStyleClass::SerifCjk, false},
    {"FZShuSong-Z01", FontStyleClass::SerifCjk, false}, {"FZSSJW--GB1-0", FontStyleClass::SerifCjk, false},
    {"方正宋体", FontStyleClass::SerifCjk, false},     {"方正报宋", FontStyleClass::SerifCjk, false},
    {"FZBSJW--GB1-0", FontStyleClass::SerifCjk, false}, {"思源宋体", FontStyleClass::SerifCjk, false},
    {"Source Han Serif", FontStyleClass::SerifCjk, false}, {"Source Han Serif SC", FontStyleClass::SerifCjk, false},
    {"MingLiU", FontStyleClass::SerifCjk, false},      {"PMingLiU", FontStyleClass::SerifCjk, false},
    {"细明体", FontStyleClass::SerifCjk, false},       {"新细明体", FontStyleClass::SerifCjk, false},
    {"MS Mincho", FontStyleClass::SerifCjk, false},
    // Heavy Song faces used for titles.
    {"方正小标宋", FontStyleClass::SerifCjk, true},    {"方正小标宋简体", FontStyleClass::SerifCjk, true},
    {"方正小标宋_GBK", FontStyleClass::SerifCjk, true}, {"小标宋体", FontStyleClass::SerifCjk, true},
    {"FZXiaoBiaoSong-B05S", FontStyleClass::SerifCjk, true}, {"FZXBSJW--GB1-0", FontStyleClass::SerifCjk, true},
    {"方正大标宋", FontStyleClass::SerifCjk, true},    {"FZDBSJW--GB1-0", FontStyleClass::SerifCjk, true},
    {"华文中宋", FontStyleClass::SerifCjk, true},      {"STZhongsong", FontStyleClass::SerifCjk, true},
    // Hei (sans CJK).
    {"黑体", FontStyleClass::SansCjk, false},          {"SimHei", FontStyleClass::SansCjk, false},
    {"微软雅黑", FontStyleClass::SansCjk, false},      {"Microsoft YaHei", FontStyleClass::SansCjk, false},
    {"Microsoft YaHei UI", FontStyleClass::SansCjk, false}, {"msyh", FontStyleClass::SansCjk, false},
    {"微软正黑体", FontStyleClass::SansCjk, false},    {"Microsoft JhengHei", FontStyleClass::SansCjk, false},
    {"方正黑体", FontStyleClass::SansCjk, false},      {"方正黑体简体", FontStyleClass::SansCjk, false},
    {"FZHei-B01S", FontStyleClass::SansCjk, false},    {"FZHTJW--GB1-0", FontStyleClass::SansCjk, false},
    {"方正公文黑体", FontStyleClass::SansCjk, false},  {"华文黑体", FontStyleClass::SansCjk, false},
    {"STHeiti", FontStyleClass::SansCjk, false},       {"华文细黑", FontStyleClass::SansCjk, false},
    {"STXihei", FontStyleClass::SansCjk, false},       {"等线", FontStyleClass::SansCjk, false},
    {"DengXian", FontStyleClass::SansCjk, false},      {"幼圆", FontStyleClass::SansCjk, false},
    {"YouYuan", FontStyleClass::SansCjk, false},       {"PingFang SC", FontStyleClass::SansCjk, false},
    {"苹方", FontStyleClass::SansCjk, false},          {"Hiragino Sans GB", FontStyleClass::SansCjk, false},
    {"思源黑体", FontStyleClass::SansCjk, false},      {"Source Han Sans", FontStyleClass::SansCjk, false},
    {"Source Han Sans CN", FontStyleClass::SansCjk, false}, {"Arial Unicode MS", FontStyleClass::SansCjk, false},
    {"WenQuanYi Micro Hei", FontStyleClass::SansCjk, false}, {"WenQuanYi Zen Hei", FontStyleClass::SansCjk, false},
    {"MS Gothic", FontStyleClass::SansCjk, false},
    // Kai and other brush styles.
    {"楷体", FontStyleClass::KaiCjk, false},           {"KaiTi", FontStyleClass::KaiCjk, false},
    {"楷体_GB2312", FontStyleClass::KaiCjk, false},    {"KaiTi_GB2312", FontStyleClass::KaiCjk, false},
    {"华文楷体", FontStyleClass::KaiCjk, false},       {"STKaiti", FontStyleClass::KaiCjk, false},
    {"方正楷体", FontStyleClass::KaiCjk, false},       {"方正楷体简体", FontStyleClass::KaiCjk, false},
    {"FZKai-Z03", FontStyleClass::KaiCjk, false},      {"FZKTJW--GB1-0", FontStyleClass::KaiCjk, false},
    {"标楷体", FontStyleClass::KaiCjk, false},         {"DFKai-SB", FontStyleClass::KaiCjk, false},
    {"BiauKai", FontStyleClass::KaiCjk, false},        {"华文行楷", FontStyleClass::KaiCjk, false},
    {"STXingkai", FontStyleClass::KaiCjk, false},      {"隶书", FontStyleClass::KaiCjk, false},
    {"LiSu", FontStyleClass::KaiCjk, false},           {"华文隶书", FontStyleClass::KaiCjk, false},
    {"STLiti", FontStyleClass::KaiCjk, false},         {"华文新魏", FontStyleClass::KaiCjk, false},
    {"STXinwei", FontStyleClass::KaiCjk, false},       {"方正舒体", FontStyleClass::KaiCjk, false},
    {"FZShuTi", FontStyleClass::KaiCjk, false},        {"方正姚体", FontStyleClass::KaiCjk, false},
    {"FZYaoti", FontStyleClass::KaiCjk, false},
    // FangSong.
    {"仿宋", FontStyleClass::FangSongCjk, false},      {"FangSong", FontStyleClass::FangSongCjk, false},
    {"仿宋_GB2312", FontStyleClass::FangSongCjk, false}, {"FangSong_GB2312", FontStyleClass::FangSongCjk, false},
    {"华文仿宋", FontStyleClass::FangSongCjk, false},  {"STFangsong", FontStyleClass::FangSongCjk, false},
    {"方正仿宋", FontStyleClass::FangSongCjk, false},  {"方正仿宋简体", FontStyleClass::FangSongCjk, false},
    {"FZFangSong-Z02", FontStyleClass::FangSongCjk, false}, {"FZFSJW--GB1-0", FontStyleClass::FangSongCjk, false},
    // Windows font file names, which some documents give instead of a family.
    {"simfang", FontStyleClass::FangSongCjk, false},   {"simkai", FontStyleClass::KaiCjk, false},
    {"simsunb", FontStyleClass::SerifCjk, false},      {"simli", FontStyleClass::KaiCjk, false},
    {"msyhbd", FontStyleClass::SansCjk, false},
    {"cour", FontStyleClass::MonoLatin, false},
    // Latin serif (metric-compatible substitute: Liberation Serif).
    {"Times New Roman", FontStyleClass::SerifLatin, false}, {"TimesNewRomanPSMT", FontStyleClass::SerifLatin, false},
    {"Times", FontStyleClass::SerifLatin, false},      {"Times-Roman", FontStyleClass::SerifLatin, false},
    {"Georgia", FontStyleClass::SerifLatin, false},    {"Cambria", FontStyleClass::SerifLatin, false},
    {"Garamond", FontStyleClass::SerifLatin, false},   {"Minion", FontStyleClass::SerifLatin, false},
    {"Palatino", FontStyleClass::SerifLatin, false},   {"Palatino Linotype", FontStyleClass::SerifLatin, false},
    {"Book Antiqua", FontStyleClass::SerifLatin, false}, {"Century Schoolbook", FontStyleClass::SerifLatin, false},
    {"Bookman Old Style", FontStyleClass::SerifLatin, false}, {"Constantia", FontStyleClass::SerifLatin, false},
    {"NotoSerif", FontStyleClass::SerifLatin, false},  {"Noto Serif", FontStyleClass::SerifLatin, false},
    // Latin sans (metric-compatible substitute for Arial and Helvetica: Liberation Sans).
    {"Arial", FontStyleClass::SansLatin, false},       {"ArialMT", FontStyleClass::SansLatin, false},
    {"Helvetica", FontStyleClass::SansLatin, false},   {"Calibri", FontStyleClass::SansLatin, false},
    {"Tahoma", FontStyleClass::SansLatin, false},      {"Verdana", FontStyleClass::SansLatin, false},
    {"Segoe UI", FontStyleClass::SansLatin, false},    {"Trebuchet MS", FontStyleClass::SansLatin, false},
    {"Arial Narrow", FontStyleClass::SansLatin, false}, {"Century Gothic", FontStyleClass::SansLatin, false},
    {"Franklin Gothic", FontStyleClass::SansLatin, false}, {"Franklin Gothic Medium", FontStyleClass::SansLatin, false},
    {"Candara", FontStyleClass::SansLatin, false},     {"Corbel", FontStyleClass::SansLatin, false},
    {"Lucida Sans", FontStyleClass::SansLatin, false}, {"Lucida Sans Unicode", FontStyleClass::SansLatin, false},
    {"Microsoft Sans Serif", FontStyleClass::SansLatin, false}, {"Latha", FontStyleClass::SansLatin, false},
    // Latin monospace (metric-compatible substitute for Courier New: Liberation Mono).
    {"Courier New", FontStyleClass::MonoLatin, false}, {"CourierNewPSMT", FontStyleClass::MonoLatin, false},
    {"Courier", FontStyleClass::MonoLatin, false},     {"Consolas", FontStyleClass::MonoLatin, false},
    {"Lucida Console", FontStyleClass::MonoLatin, false}, {"OCR-B", FontStyleClass::MonoLatin, false},
    {"OCRB", FontStyleClass::MonoLatin, false},
    // Symbol faces.
    {"Symbol", FontStyleClass::Symbol, false},         {"Wingdings", FontStyleClass::Symbol, false},
    {"Wingdings 2", FontStyleClass::Symbol, false},    {"Wingdings 3", FontStyleClass::Symbol, false},
    {"Webdings", FontStyleClass::Symbol, false},       {"ZapfDingbats", FontStyleClass::Symbol, false},
    {"Marlett", FontStyleClass::Symbol, false},
};
// clang-format on

// A word that reveals the style of an unknown name; tried in order, so "仿宋" comes before "宋".
struct Hint
{
    const char *word; // UTF-8, lower case, compared against the parsed key
    FontStyleClass styleClass;
    bool displayWeight;
};

const Hint kHints[] = {
    // "fang" alone is not a hint: it also begins "FangZheng" (方正), the foundry of many Song faces.
    {"仿宋", FontStyleClass::FangSongCjk, false},  {"fangsong", FontStyleClass::FangSongCjk, false},
    {"小标宋", FontStyleClass::SerifCjk, true},    {"大标宋", FontStyleClass::SerifCjk, true},
    {"中宋", FontStyleClass::SerifCjk, true},      {"xiaobiaosong", FontStyleClass::SerifCjk, true},
    {"zhongsong", FontStyleClass::SerifCjk, true}, {"楷", FontStyleClass::KaiCjk, false},
    {"kai", FontStyleClass::KaiCjk, false},        {"隶", FontStyleClass::KaiCjk, false},
    {"行书", FontStyleClass::KaiCjk, false},       {"黑", FontStyleClass::SansCjk, false},
    {"hei", FontStyleClass::SansCjk, false},       {"gothic", FontStyleClass::SansCjk, false},
    {"圆", FontStyleClass::SansCjk, false},        {"宋", FontStyleClass::SerifCjk, false},
    {"song", FontStyleClass::SerifCjk, false},     {"明", FontStyleClass::SerifCjk, false},
    {"ming", FontStyleClass::SerifCjk, false},     {"mincho", FontStyleClass::SerifCjk, false},
    {"mono", FontStyleClass::MonoLatin, false},    {"courier", FontStyleClass::MonoLatin, false},
    {"consol", FontStyleClass::MonoLatin, false},  {"sans", FontStyleClass::SansLatin, false},
    {"arial", FontStyleClass::SansLatin, false},   {"helvet", FontStyleClass::SansLatin, false},
    {"serif", FontStyleClass::SerifLatin, false},  {"roman", FontStyleClass::SerifLatin, false},
    {"times", FontStyleClass::SerifLatin, false},
};

// Cached state shared by all callers; guarded by mutex.
struct SubstitutionState
{
    QMutex mutex;
    bool familiesLoaded = false;
    QHash<QString, QString> installed; // compact name -> family as QFontDatabase lists it
    QHash<QString, TableEntry> table;  // parsed key -> entry
    QHash<QString, FontChoice> answers;
};

SubstitutionState &State()
{
    static SubstitutionState state;
    return state;
}

// Fills the installed family list once; call with the mutex held.
void LoadFamilies(SubstitutionState &state)
{
    if (state.table.isEmpty()) {
        for (const TableEntry &entry : kTable)
            state.table.insert(ParseFontName(QString::fromUtf8(entry.name)).key, entry);
    }
    if (state.familiesLoaded || !QGuiApplication::instance())
        return;
    state.familiesLoaded = true;
    const QStringList families = QFontDatabase().families();
    for (QString family : families) {
        // Qt lists "Family [Foundry]" when two foundries share a family name.
        const int bracket = family.indexOf(QLatin1String(" ["));
        if (bracket > 0)
            family = family.left(bracket);
        state.installed.insert(CompactFontName(family), family);
    }
}

QString InstalledFamily(const SubstitutionState &state, const QString &name)
{
    return state.installed.value(CompactFontName(name));
}

// The installed families of a style class, most preferred first.
QStringList InstalledPreferences(const SubstitutionState &state, FontStyleClass styleClass)
{
    QStringList result;
    for (const QString &family : FontSubstitution::PreferenceList(styleClass)) {
        const QString installed = InstalledFamily(state, family);
        if (!installed.isEmpty() && !result.contains(installed))
            result << installed;
    }
    return result;
}

// Style class of an installed family that a document names, so that its fallbacks match.
FontStyleClass GuessClass(const QString &key)
{
    for (const Hint &hint : kHints) {
        if (key.contains(QString::fromUtf8(hint.word)))
            return hint.styleClass;
    }
    return FontStyleClass::SerifCjk;
}

FontChoice Decide(SubstitutionState &state, const QString &fontName, const QString &familyName)
{
    FontChoice choice;
    choice.requested = fontName.trimmed().isEmpty() ? familyName.trimmed() : fontName.trimmed();
    QList<ParsedFontName> names;
    QStringList compactNames;
    for (const QString &name : {fontName, familyName}) {
        if (name.trimmed().isEmpty())
            continue;
        const ParsedFontName parsed = ParseFontName(name);
        compactNames << CompactFontName(name.trimmed());
        names << parsed;
        choice.bold = choice.bold || parsed.bold;
        choice.italic = choice.italic || parsed.italic;
    }

    bool decided = false;
    // 1. The named font itself.
    for (int i = 0; i < names.size(); ++i) {
        const ParsedFontName &parsed = names[i];
        QString family = state.installed.value(compactNames[i]);
        if (family.isEmpty())
            family = state.installed.value(parsed.key);
        if (family.isEmpty())
            continue;
        choice.source = FontChoice::Source::Installed;
        choice.styleClass = state.table.contains(parsed.key) ? state.table.value(parsed.key).styleClass
                                                             : GuessClass(parsed.key);
        choice.family = family;
        choice.substituted = false;
        decided = true;
        break;
    }
    // 2. The table.
    for (int i = 0; !decided && i < names.size(); ++i) {
        const auto it = state.table.constFind(names[i].key);
        if (it == state.table.constEnd())
            continue;
        choice.source = FontChoice::Source::Table;
        choice.styleClass = it->styleClass;
        choice.displayWeight = it->displayWeight;
        decided = true;
    }
    // 3. Words in the name.
    for (int i = 0; !decided && i < names.size(); ++i) {
        for (const Hint &hint : kHints) {
            if (!names[i].key.contains(QString::fromUtf8(hint.word)))
                continue;
            choice.source = FontChoice::Source::NameHint;
            choice.styleClass = hint.styleClass;
            choice.displayWeight = hint.displayWeight;
            decided = true;
            break;
        }
    }
    // 4. Default: 宋体 style.
    if (!decided) {
        choice.source = FontChoice::Source::Default;
        choice.styleClass = FontStyleClass::SerifCjk;
    }

    const QStringList preferences = InstalledPreferences(state, choice.styleClass);
    if (choice.family.isEmpty()) {
        choice.family = preferences.value(0);
        choice.families = preferences;
    } else {
        choice.families = QStringList{choice.family};
        for (const QString &family : preferences) {
            if (family != choice.family)
                choice.families << family;
        }
    }
    return choice;
}

} // namespace

QStringList FontSubstitution::PreferenceList(FontStyleClass styleClass)
{
    // CJK lists end in Latin faces and Latin lists in CJK faces of the same style, so that characters
    // missing from the first choice still come out in a matching style.
    switch (styleClass) {
    case FontStyleClass::SerifCjk:
        return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Serif CJK JP"),
                QStringLiteral("AR PL UMing TW"),    QStringLiteral("Liberation Serif"),
                QStringLiteral("DejaVu Serif")};
    case FontStyleClass::SansCjk:
        return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK TC"),
                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Liberation Sans"),
                QStringLiteral("DejaVu Sans")};
    case FontStyleClass::KaiCjk:
        return {QStringLiteral("AR PL UKai CN"),  QStringLiteral("AR PL UKai TW"),
                QStringLiteral("AR PL UKai HK"),  QStringLiteral("Noto Serif CJK SC"),
                QStringLiteral("AR PL UMing CN"), QStringLiteral("Liberation Serif")};
    case FontStyleClass::FangSongCjk:
        // FangSong has thin strokes of nearly even weight; AR PL UMing's light, low-contrast strokes are
        // closer to that than Noto Serif CJK's high-contrast Song, and keep 仿宋 body text distinct
        // from 宋体 text.
        return {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Serif CJK TC"),
                QStringLiteral("Liberation Serif")};
    case FontStyleClass::SerifLatin:
        return {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
    case FontStyleClass::SansLatin:
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                QStringLiteral("Noto Sans CJK SC")};
    case FontStyleClass::MonoLatin:
        return {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    case FontStyleClass::Symbol:
        return {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Noto Sans CJK SC")};
    }
    return {};
}

bool FontSubstitution::IsInstalled(const QString &family)
{
    SubstitutionState &state = State();
    QMutexLocker lock(&state.mutex);
    LoadFamilies(state);
    return !InstalledFamily(state, family).isEmpty();
}

FontChoice FontSubstitution::Resolve(const QString &fontName, const QString &familyName)
{
    SubstitutionState &state = State();
    QMutexLocker lock(&state.mutex);
    LoadFamilies(state);
    const QString cacheKey = fontName + QLatin1Char('\n') + familyName;
    const auto cached = state.answers.constFind(cacheKey);
    if (cached != state.answers.constEnd())
        return *cached;
    FontChoice choice = Decide(state, fontName, familyName);
    if (state.familiesLoaded)
        state.answers.insert(cacheKey, choice);
    return choice;
}

void FontSubstitution::ClearCache()
{
    SubstitutionState &state = State();
    QMutexLocker lock(&state.mutex);
    state.familiesLoaded = false;
    state.installed.clear();
    state.answers.clear();
}
