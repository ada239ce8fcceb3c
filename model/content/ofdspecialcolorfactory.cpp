#include "model/content/ofdspecialcolorfactory.h"

#include <memory>

#include "model/content/ofdspecialcoloraxial.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdspecialcolorradial.h"
#include "model/xml/xmlnode.h"

OfdSpecialColor *OfdSpecialColorFactory::Create(XmlNode *node)
{
    if (!node)
        return nullptr;
    std::unique_ptr<OfdSpecialColor> color;
    const QString &name = node->GetName();
    if (name == QLatin1String("AxialShd"))
        color = std::make_unique<OfdSpecialColorAxial>();
    else if (name == QLatin1String("RadialShd"))
        color = std::make_unique<OfdSpecialColorRadial>();
    else if (name == QLatin1String("Pattern"))
        color = std::make_unique<OfdSpecialColorPattern>();
    if (!color || !color->ParseNode(node))
        return nullptr;
    return color.release();
}

OfdSpecialColor *OfdSpecialColorFactory::CreateFromColorElement(XmlNode *colorElement)
{
    if (!colorElement)
        return nullptr;
    for (XmlNode *child : colorElement->GetChildren()) {
        if (OfdSpecialColor *color = Create(child))
            return color;
    }
    return nullptr;
}
