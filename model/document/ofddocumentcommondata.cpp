#include "model/document/ofddocumentcommondata.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypepagearea.h"
#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdtemplatepageattr.h"
#include "model/document/ofdxmldocument.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdDocumentCommonData::OfdDocumentCommonData(OfdXmlDocument *document) : m_document(document) {}

OfdDocumentCommonData::~OfdDocumentCommonData()
{
    qDeleteAll(m_templatePages);
}

QString OfdDocumentCommonData::Resolve(const QString &location) const
{
    const QString loc = location.trimmed();
    if (loc.isEmpty())
        return QString();
    return NormalizeOfdPath(m_document ? m_document->GetOfdFullPath(loc) : loc);
}

void OfdDocumentCommonData::ParseXml(QXmlStreamReader &reader)
{
    OfdXmlStreamStep step(reader, QStringLiteral("CommonData*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":PublicRes"))) {
            m_publicResPath = Resolve(step.ReadText());
        } else if (step.IsAt(2, QLatin1String(":DocumentRes"))) {
            m_documentResPath = Resolve(step.ReadText());
        } else if (step.IsAt(2, QLatin1String(":MaxUnitID"))) {
            m_maxUnitId = OfdHelper::StringToInt(step.ReadText(), 0);
        } else if (step.IsAt(2, QLatin1String(":PageArea"))) {
            m_pageArea = std::make_unique<OfdTypePageArea>();
            m_pageArea->ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":TemplatePage"))) {
            const QXmlStreamAttributes attrs = reader.attributes();
            const int id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
            const QString baseLoc = OfdHelper::GetAttrString(attrs, QLatin1String("BaseLoc")).trimmed();
            m_templatePages.append(new OfdTemplatePageAttr(id, Resolve(baseLoc)));
            step.Skip();
        } else {
            step.Skip();
        }
    }
}
