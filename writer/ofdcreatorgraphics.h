#pragma once

class OfdCreatorPage;
class OfdVisualItem;
class XmlNode;

// Writes path and image objects back as page content: placement, line and fill settings, colours,
// the outline, and pictures registered as resources with the writer.
class OfdCreatorGraphics
{
public:
    // Appends a PathObject for a path item's page object under layerNode; nothing for other items.
    static void WritePathObject(OfdCreatorPage *creator, XmlNode *layerNode, OfdVisualItem *item);
    // Appends an ImageObject for an image item whose picture can be read; nothing otherwise.
    static void WriteImageObject(OfdCreatorPage *creator, XmlNode *layerNode, OfdVisualItem *item);
};
