#include "model/content/ofdtemplateinfo.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"

OfdTemplateInfo::OfdTemplateInfo() = default;
OfdTemplateInfo::~OfdTemplateInfo() = default;

void OfdTemplateInfo::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_templateId = OfdHelper::GetAttrInt(attrs, QLatin1String("TemplateID"), 0);
    const QString zOrder = OfdHelper::GetAttrString(attrs, QLatin1String("ZOrder")).trimmed();
    if (!zOrder.isEmpty())
        m_zOrder = zOrder;
    reader.skipCurrentElement();
}
