#include "model/content/ofdtypecompositegraphicunitcontent.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/xmlnode.h"

OfdTypeCompositeGraphicUnitContent::OfdTypeCompositeGraphicUnitContent(OfdDocumentAccess *document)
    : m_document(document)
{
}

OfdTypeCompositeGraphicUnitContent::~OfdTypeCompositeGraphicUnitContent() = default;

void OfdTypeCompositeGraphicUnitContent::ParseXml(QXmlStreamReader &reader)
{
    m_id = OfdHelper::GetAttrInt(reader.attributes(), QLatin1String("ID"), 0);
    m_contentNode.reset(OfdHelper::ReadCurrentElementTree(reader));
}
