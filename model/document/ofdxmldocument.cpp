#include "model/document/ofdxmldocument.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypepagearea.h"
#include "model/document/ofddocumentcommondata.h"
#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdtemplatepageattr.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "model/xml/xmlnode.h"

OfdXmlDocument::OfdXmlDocument() = default;

OfdXmlDocument::~OfdXmlDocument()
{
    qDeleteAll(m_pages);
}

QString OfdXmlDocument::Resolve(const QString &location) const
{
    const QString loc = location.trimmed();
    return loc.isEmpty() ? QString() : NormalizeOfdPath(GetOfdFullPath(loc));
}

void OfdXmlDocument::PasrseXml(const QByteArray &bytes)
{
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("Document*:"));
    while (step.Next()) {
        if (step.GetDepth() == 1)
            continue;
        if (step.IsAt(2, QLatin1String(":CommonData"))) {
            m_commonData = std::make_unique<OfdDocumentCommonData>(this);
            m_commonData->ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":Pages"))) {
            ParsePages(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":Outlines"))) {
            m_outlines.reset(OfdHelper::ReadCurrentElementTree(reader));
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":CustomTags"))) {
            m_customTagsPath = Resolve(step.ReadText());
        } else if (step.IsAt(2, QLatin1String(":Annotations"))) {
            m_annotationsPath = Resolve(step.ReadText());
        } else if (step.IsAt(2, QLatin1String(":Attachments"))) {
            m_attachmentsPath = Resolve(step.ReadText());
        } else {
            step.Skip();
        }
    }
}

void OfdXmlDocument::ParsePages(QXmlStreamReader &reader)
{
    OfdXmlStreamStep step(reader, QStringLiteral("Pages*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Page"))) {
            const QXmlStreamAttributes attrs = reader.attributes();
            const QString baseLoc = attrs.value(QLatin1String("BaseLoc")).toString().trimmed();
            const QString id = attrs.value(QLatin1String("ID")).toString();
            // Resolved like every other location so "./" and "../" forms reach their entry too.
            m_pages.append(new OfdDocumentPageAttr(m_pages.size(), Resolve(baseLoc), id));
        }
        step.Skip();
    }
}

QString OfdXmlDocument::GetPublicResPath() const
{
    return m_commonData ? m_commonData->GetPublicResPath() : QString();
}

QString OfdXmlDocument::GetDocumentResPath() const
{
    return m_commonData ? m_commonData->GetDocumentResPath() : QString();
}

bool OfdXmlDocument::GetPageArea_PhysicalBox(QRectF &rect) const
{
    if (!m_commonData || !m_commonData->GetPageArea() || !m_commonData->GetPageArea()->GetPhysicalBox())
        return false;
    rect = *m_commonData->GetPageArea()->GetPhysicalBox();
    return true;
}

OfdTemplatePageAttr *OfdXmlDocument::GetTemplatePageAttr(int id) const
{
    if (!m_commonData)
        return nullptr;
    for (OfdTemplatePageAttr *page : m_commonData->GetTemplatePages()) {
        if (page->GetID() == id)
            return page;
    }
    return nullptr;
}
