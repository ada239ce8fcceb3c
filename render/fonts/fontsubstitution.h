#pragma once

#include "render/fonts/fontchoice.h"

#include <QString>
#include <QStringList>

// Chooses installed free fonts for the fonts that documents name but do not embed (Windows and foundry
// fonts such as 宋体, 仿宋_GB2312, 楷体, 黑体, Times New Roman, Arial). Order of decisions:
//  1. the named font is installed: use it;
//  2. the substitution table knows the name: its style class;
//  3. a word in the name tells the style ("宋"/"Song"/"Ming" serif, "黑"/"Hei"/"Gothic" sans,
//     "楷"/"Kai" kai, "仿宋"/"FangSong" fangsong, "Mono"/"Courier" mono, "Serif"/"Roman" Latin serif);
//  4. otherwise the serif CJK default, since official documents default to 宋体.
// Each style class has a preference list of free families; the first one installed is used.
// Names are compared without case, spaces, '_' and '-', and without subset prefixes and style or encoding
// suffixes ("_GB2312", "-Regular", "PSMT", ",Bold"); bold and italic words set the flags.
// Thread-safe; answers and the installed family list are cached (needs a QGuiApplication).
class FontSubstitution
{
public:
    // fontName is the font's FontName, familyName its FamilyName (may be empty); the first that gives a
    // decision wins.
    static FontChoice Resolve(const QString &fontName, const QString &familyName = QString());
    // The families tried for a style class, most preferred first (installed or not).
    static QStringList PreferenceList(FontStyleClass styleClass);
    // True when QFontDatabase lists the family (compared like font names).
    static bool IsInstalled(const QString &family);
    // Forgets cached answers and the installed family list (after fonts were added, and for tests).
    static void ClearCache();
};
