#include "render/fonts/fontname.h"

#include <QRegularExpression>

namespace {

// Trailing words that say nothing about the design; flags tell what they imply.
struct Suffix
{
    const char *text; // UTF-8, lower case
    bool bold;
    bool italic;
};

const Suffix kSuffixes[] = {
    {"bolditalic", true, true}, {"boldoblique", true, true}, {"semibold", true, false},
    {"demibold", true, false},  {"extrabold", true, false},  {"bold", true, false},
    {"black", true, false},     {"heavy", true, false},      {"italic", false, true},
    {"oblique", false, true},   {"regular", false, false},   {"normal", false, false},
    {"medium", false, false},   {"light", false, false},     {"psmt", false, false},
    {"mt", false, false},       {"ps", false, false},        {"std", false, false},
    {"pro", false, false},      {"gb2312", false, false},    {"gb18030", false, false},
    {"gbk", false, false},      {"gb10", false, false},      {"粗体", true, false},
    {"加粗", true, false},      {"斜体", false, true},       {"常规", false, false},
    {"简体", false, false},     {"繁体", false, false},
};

} // namespace

QString CompactFontName(const QString &name)
{
    QString out = name.toLower();
    out.remove(QLatin1Char(' '));
    out.remove(QLatin1Char('_'));
    out.remove(QLatin1Char('-'));
    return out;
}

ParsedFontName ParseFontName(const QString &name)
{
    ParsedFontName parsed;
    QString text = name.trimmed();
    // A path to a font file: its base name without the extension.
    const int slash = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    if (slash >= 0) {
        text = text.mid(slash + 1);
        static const QRegularExpression extension(QStringLiteral("\\.(ttf|otf|ttc|otc|fon|pfb|cff)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
        text.remove(extension);
    }
    // Subset fonts carry six capital letters and '+' before the name ("VBEFUL+SimSun").
    static const QRegularExpression subset(QStringLiteral("^[A-Z]{6}\\+"));
    text.remove(subset);
    // "SimSun,Bold": the part after the comma is a style.
    const int comma = text.indexOf(QLatin1Char(','));
    QString style;
    if (comma >= 0) {
        style = CompactFontName(text.mid(comma + 1));
        text = text.left(comma);
    }
    if (style.contains(QLatin1String("bold")) || style.contains(QLatin1String("black")))
        parsed.bold = true;
    if (style.contains(QLatin1String("italic")) || style.contains(QLatin1String("oblique")))
        parsed.italic = true;

    QString key = CompactFontName(text);
    bool stripped = true;
    while (stripped) {
        stripped = false;
        for (const Suffix &suffix : kSuffixes) {
            const QString word = QString::fromUtf8(suffix.text);
            if (key.size() > word.size() && key.endsWith(word)) {
                key.chop(word.size());
                parsed.bold = parsed.bold || suffix.bold;
                parsed.italic = parsed.italic || suffix.italic;
                stripped = true;
                break;
            }
        }
    }
    parsed.key = key;
    return parsed;
}
