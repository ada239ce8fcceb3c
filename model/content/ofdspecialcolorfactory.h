#pragma once

class XmlNode;
class OfdSpecialColor;

// Makes the special colour that a colour element holds.
class OfdSpecialColorFactory
{
public:
    // A new special colour (owned by the caller) from an element whose local name is AxialShd,
    // RadialShd or Pattern (any prefix); null for other elements or unusable content.
    static OfdSpecialColor *Create(XmlNode *node);
    // The first child of a colour element's tree that makes a special colour; null when none does.
    static OfdSpecialColor *CreateFromColorElement(XmlNode *colorElement);
};
