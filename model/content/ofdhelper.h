#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QXmlStreamAttributes;
class QXmlStreamReader;
class XmlNode;
class OfdTypeColorSpace;
class OfdTypeFillColor;

// Reading attribute values and number lists of the format, and building toolkit colours.
//
// Attribute readers give the default when the attribute is absent or empty (after trimming);
// otherwise the text is converted and an unconvertible text reads as 0 (false for booleans).
// Number lists are split at runs of white space (spaces, tabs, line breaks).
class OfdHelper
{
public:
    static QString GetAttrString(const QXmlStreamAttributes &attrs, QLatin1String name,
                                 const QString &def = QString());
    static int GetAttrInt(const QXmlStreamAttributes &attrs, QLatin1String name, int def);
    static float GetAttrFloat(const QXmlStreamAttributes &attrs, QLatin1String name, float def);
    static double GetAttrDouble(const QXmlStreamAttributes &attrs, QLatin1String name, double def);
    // True when the text equals "true" in any letter case.
    static bool GetAttrBool(const QXmlStreamAttributes &attrs, QLatin1String name, bool def);

    // The same conversions on a text (an attribute of an XmlNode, say).
    static int StringToInt(const QString &text, int def);
    static float StringToFloat(const QString &text, float def);
    static double StringToDouble(const QString &text, double def);
    static bool StringToBool(const QString &text, bool def);

    // Number conversion of one token; 0 when it does not convert. Integers also accept a decimal
    // number, truncated; values outside the int range read as 0.
    static double ToDouble(const QString &token);
    static int ToInt(const QString &token);

    static QStringList SplitList(const QString &text);
    static QList<double> ParseDoubleList(const QString &text);
    // Delta list: "g count value" repeats value count times (value at single precision); other
    // tokens append once. The list never grows beyond kMaxDeltaCount entries.
    static QList<double> ParseDeltaList(const QString &text);
    static constexpr int kMaxDeltaCount = 100000;
    // Colour components: "#"-tokens are hexadecimal ("#FF" is 255); a lone "#RRGGBB" token gives
    // three components. Unconvertible tokens read as 0.
    static QList<float> ParseColorValue(const QString &text);

    // Four numbers x y width height (more: the first four). Anything else (or a number that is not
    // finite) logs "PasrseRect error! " with the text, leaves rect empty and returns false.
    static bool PasrseRect(const QString &text, QRectF &rect);

    // Shortest text that reads back as the same double / float ("210", "0.5", "1e+20").
    static QString NumberText(double value);
    static QString NumberTextF(float value);

    // Colour from a colour element in a colour space (components adjusted for the bit depth).
    static QColor CreateQColor(const OfdTypeFillColor &color, const OfdTypeColorSpace &space);
    // Colour from components (0..255 after adjustment, truncated) in a space, with alpha (0..255).
    // Wrong component count or unknown space: opaque black before the alpha is applied.
    static QColor CreateQColor(const QList<float> &values, const OfdTypeColorSpace &space, int alpha);

    // Reads the element the reader is on, with its subtree, into a new tree (the caller owns it).
    // The reader ends on the element's end tag (or at the first XML error). Null when the reader is
    // not on a start element.
    static XmlNode *ReadCurrentElementTree(QXmlStreamReader &reader);
};

// "%1" for the first number and " %1" for each further one, each in shortest form.
QString GetTextDeltaList(const QList<double> &values);
