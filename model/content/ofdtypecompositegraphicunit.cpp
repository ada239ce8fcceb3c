#include "model/content/ofdtypecompositegraphicunit.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypecompositegraphicunitcontent.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypeCompositeGraphicUnit::OfdTypeCompositeGraphicUnit(OfdDocumentAccess *document) : m_document(document)
{
}

OfdTypeCompositeGraphicUnit::~OfdTypeCompositeGraphicUnit() = default;

void OfdTypeCompositeGraphicUnit::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_height = OfdHelper::GetAttrFloat(attrs, QLatin1String("Height"), 0);
    m_width = OfdHelper::GetAttrFloat(attrs, QLatin1String("Width"), 0);
    OfdXmlStreamStep step(reader, QStringLiteral("CompositeGraphicUnit*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Content"))) {
            m_content = std::make_unique<OfdTypeCompositeGraphicUnitContent>(m_document);
            m_content->ParseXml(reader);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}
