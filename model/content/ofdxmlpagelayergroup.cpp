#include "model/content/ofdxmlpagelayergroup.h"

#include "model/content/ofdtemplateinfo.h"
#include "model/content/ofdtypepagearea.h"
#include "model/content/ofdxmlpagelayer.h"

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
