#pragma once

class OfdCreatorPage;
class OfdVisualItem;
class XmlNode;

// Writes text objects back as page content: font registered with the writer, size, flags,
// colours, glyph maps and every text code with its positions and advances.
class OfdCreatorText
{
public:
    // Appends a TextObject for a text item's page object under parent; nothing for items without a
    // text object or without a font resource (they draw nothing).
    static void WriteTextObject(OfdCreatorPage *creator, XmlNode *parent, OfdVisualItem *item);
};
