#pragma once

#include <QString>

// A font name from a document taken apart into a comparison key and the style words it carries.
struct ParsedFontName
{
    QString key;         // lower case, no spaces, '_' or '-', no subset prefix or style/encoding suffixes
    bool bold = false;   // "Bold", "BoldMT", ",Bold", "粗体", "Black", "SemiBold", ... in the name
    bool italic = false; // "Italic", "Oblique", "斜体" in the name
};

// Parses names such as "SimSun,Bold", "Arial-BoldMT", "FangSong_GB2312 Bold", "VBEFUL+SimSun",
// "TimesNewRomanPSMT", "MinionPro-Regular" or a font file path ("/fonts/simhei.ttf" gives "simhei").
// Suffixes are only removed while something remains, so "Bold" alone keeps the key "bold".
ParsedFontName ParseFontName(const QString &name);

// Lower case without spaces, '_' and '-': how installed family names and table entries are compared.
QString CompactFontName(const QString &name);
