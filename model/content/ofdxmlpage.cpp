#include "model/content/ofdxmlpage.h"

#include <QDebug>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdtemplateinfo.h"
#include "model/content/ofdtypepagearea.h"
#include "model/content/ofdxmlpagecontentparse.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/package/ofdpathhelper.h"

OfdXmlPage::OfdXmlPage() = default;

OfdXmlPage::~OfdXmlPage()
{
    qDeleteAll(m_groups);
}

void OfdXmlPage::SetPage(const QString &pageId, const QString &pagePath, const QByteArray &content)
{
    m_pageId = pageId;
    m_pagePath = pagePath;
    m_content = content;
    m_pageRefId = 0;
    SetOfdFilePath(pagePath);
}

int OfdXmlPage::GetPageRefId() const
{
    if (m_pageRefId == 0 && !m_pageId.isEmpty())
        m_pageRefId = m_pageId.trimmed().toInt();
    return m_pageRefId;
}

bool OfdXmlPage::TryParse()
{
    if (m_parsed)
        return false;
    m_parsed = true;
    ParseReal();
    return true;
}

void OfdXmlPage::ParseReal()
{
    if (m_content.isEmpty() && m_document)
        m_content = m_document->GetOfdFileContent(m_pagePath);
    m_bodyGroup = OfdXmlPageContentParse(this).Parse(m_content);
    m_bodyGroup->SetKind(QStringLiteral("Body"));
    m_bodyGroup->SetTemplateFlag(0);
    m_groups.append(m_bodyGroup);
    // Templates named inside a template's own content are not followed.
    for (OfdTemplateInfo *info : m_bodyGroup->GetTemplates())
        ParsePageTemplate(info);
}

void OfdXmlPage::Unload()
{
    qDeleteAll(m_groups);
    m_groups.clear();
    m_bodyGroup = nullptr;
    m_content.clear();
    m_parsed = false;
}

bool OfdXmlPage::ParsePageTemplate(OfdTemplateInfo *info)
{
    if (!m_document || !info)
        return false;
    const QByteArray bytes = m_document->GetTemplateFileContent(info->GetTemplateID());
    if (bytes.isEmpty())
        return false;
    // The template's resource files are named relative to the template's own content file.
    OfdXmlPageLayerGroup *group =
        OfdXmlPageContentParse(this, m_document->GetTemplateFilePath(info->GetTemplateID())).Parse(bytes);
    group->SetKind(info->GetZOrder());
    group->SetTemplateFlag(1);
    m_groups.prepend(group);
    return true;
}

void OfdXmlPage::AddPageRes(const QString &path, const QString &contentPath)
{
    if (!m_document || path.trimmed().isEmpty())
        return;
    QString full;
    if (contentPath.isEmpty()) {
        full = GetOfdFullPath(path.trimmed());
    } else {
        OfdXml part; // the template's own content file
        part.SetOfdFilePath(contentPath);
        full = part.GetOfdFullPath(path.trimmed());
    }
    m_document->AddPageRes(full, GetPageRefId());
}

bool OfdXmlPage::GetPageArea_PhysicalBox(QRectF &box) const
{
    if (!m_bodyGroup || !m_bodyGroup->GetPageArea() || !m_bodyGroup->GetPageArea()->GetPhysicalBox())
        return false;
    box = *m_bodyGroup->GetPageArea()->GetPhysicalBox();
    return true;
}

OfdTypeFillColor *OfdXmlPage::GetFillColorByDrawParam(const QString &id) const
{
    return m_document ? m_document->GetFillColor(id, GetPageRefId()) : nullptr;
}

void OfdXmlPage::ShowPageInfo() const
{
    for (const OfdXmlPageLayerGroup *group : m_groups) {
        for (const OfdXmlPageLayer *layer : group->GetLayers())
            qDebug() << "layer:" << layer->GetID() << "pageItemCount:" << layer->GetPageItemCount();
    }
}
