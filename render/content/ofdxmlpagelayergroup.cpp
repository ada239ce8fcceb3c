#include "render/content/ofdxmlpagelayergroup.h"

#include "render/content/ofdtemplateinfo.h"
#include "render/content/ofdtypepagearea.h"
#include "render/content/ofdxmlpagelayer.h"

OfdXmlPageLayerGroup::OfdXmlPageLayerGroup() = default;

OfdXmlPageLayerGroup::~OfdXmlPageLayerGroup()
{
    qDeleteAll(m_templates);
    qDeleteAll(m_layers);
}

void OfdXmlPageLayerGroup::SetPageArea(OfdTypePageArea *area)
{
    m_pageArea.reset(area);
}
