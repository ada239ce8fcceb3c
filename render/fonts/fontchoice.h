#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The design family a font name belongs to; substitutes keep it (serif stays serif, kai stays kai).
enum class FontStyleClass
{
    SerifCjk,    // 宋体 / Song / Ming
    SansCjk,     // 黑体 / Hei / 雅黑 / Gothic
    KaiCjk,      // 楷体 / Kai and other brush styles
    FangSongCjk, // 仿宋 / FangSong
    SerifLatin,  // Times New Roman and other Latin serif faces
    SansLatin,   // Arial, Helvetica, Calibri, ...
    MonoLatin,   // Courier New, Courier, Consolas, ...
    Symbol,      // Symbol, Wingdings, ... (no free equivalent: only a face with many symbols)
};

// How a font that a document names is drawn on this machine; a value type.
struct FontChoice
{
    // Where the family came from.
    enum class Source
    {
        Installed, // the named font itself is installed
        Table,     // the substitution table knows the name
        NameHint,  // a word in the name ("宋", "Hei", "Kai", "Mono", ...) gave the style
        Default,   // nothing known: the default for official documents (宋体 style)
    };

    QString requested;    // the name the document gives (FontName, else FamilyName)
    QString family;       // installed family to draw with; empty only when no candidate is installed
    QStringList families; // family first, then installed fallbacks of the same style for missing glyphs
    FontStyleClass styleClass = FontStyleClass::SerifCjk;
    Source source = Source::Default;
    bool bold = false;          // the name asks for bold ("SimSun,Bold", "Arial-BoldMT")
    bool italic = false;        // the name asks for italic or oblique
    bool displayWeight = false; // a heavy display face (小标宋, 中宋): draw semi-bold when not bold
    bool substituted = true;    // family is not the requested font itself

    // For listings: "宋体 → Noto Serif CJK SC", "SimSun,Bold → Noto Serif CJK SC (bold)", or just the
    // family when the font is installed.
    QString Describe() const;
    // Sets family, fallback families, weight and italic on font; the size is left alone.
    void ApplyTo(QFont &font) const;
};

// Readable name of a style class ("serif CJK", "kai", ...), for listings and test messages.
QString FontStyleClassName(FontStyleClass styleClass);
