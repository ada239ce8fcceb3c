#pragma once

#include <QByteArray>
#include <QString>

class OfdVisualItem;
class QColor;
class XmlNode;

// A font that a written text object uses: registered once per distinct font in the public
// resource file. An embedded font file goes along as bytes.
struct OfdCreatorFontInfo
{
    QString fontName;
    QString familyName;
    bool bold = false;
    bool italic = false;
    bool serif = false;
    QByteArray fontFile; // embedded font bytes, empty when the font is a system font
    QString fontFileExt; // file extension of the embedded font ("ttf")
};

// What scene items that write themselves (annotations) ask of the package writer: identifiers,
// fonts, colours and the page objects of their children. The writer implements it; items reach
// it through this interface only, so nothing below the writer includes or links it.
class OfdContentWriter
{
public:
    virtual ~OfdContentWriter();
    // The next identifier in decimal.
    virtual QString GetNextId() = 0;
    // The ID of the font resource for font, registered on first use.
    virtual int GetFontId(const OfdCreatorFontInfo &font) = 0;
    // Appends a colour element (FillColor, StrokeColor) under parent.
    virtual XmlNode *AddColorNode(XmlNode *parent, const QString &name, const QColor &color) = 0;
    // Writes a visual item's page object under parent.
    virtual void WriteVisualItem(OfdVisualItem *item, XmlNode *parent) = 0;
};
