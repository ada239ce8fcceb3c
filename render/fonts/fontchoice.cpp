#include "render/fonts/fontchoice.h"

QString FontChoice::Describe() const
{
    QString styles;
    if (bold)
        styles += QStringLiteral("bold");
    if (italic)
        styles += styles.isEmpty() ? QStringLiteral("italic") : QStringLiteral(", italic");
    QString text = substituted ? requested + QStringLiteral(" → ") + family : family;
    if (!styles.isEmpty())
        text += QStringLiteral(" (") + styles + QLatin1Char(')');
    return text;
}

void FontChoice::ApplyTo(QFont &font) const
{
    if (!family.isEmpty()) {
        font.setFamily(family);
        font.setFamilies(families);
    }
    font.setWeight(bold ? QFont::Bold : (displayWeight ? QFont::DemiBold : QFont::Normal));
    font.setItalic(italic);
}

QString FontStyleClassName(FontStyleClass styleClass)
{
    switch (styleClass) {
    case FontStyleClass::SerifCjk:
        return QStringLiteral("serif CJK");
    case FontStyleClass::SansCjk:
        return QStringLiteral("sans CJK");
    case FontStyleClass::KaiCjk:
        return QStringLiteral("kai");
    case FontStyleClass::FangSongCjk:
        return QStringLiteral("fangsong");
    case FontStyleClass::SerifLatin:
        return QStringLiteral("serif");
    case FontStyleClass::SansLatin:
        return QStringLiteral("sans");
    case FontStyleClass::MonoLatin:
        return QStringLiteral("mono");
    case FontStyleClass::Symbol:
        return QStringLiteral("symbol");
    }
    return QString();
}
