#include "model/document/ofdxmlpagemanage.h"

#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmldocument.h"
#include "model/package/ofdpathhelper.h"
#include "render/content/ofdxmlpage.h"

OfdXmlPageManage::~OfdXmlPageManage()
{
    qDeleteAll(m_pages);
}

void OfdXmlPageManage::SetOfdFile(OfdFile *document, OfdXmlDocument *descriptor)
{
    m_document = document;
    m_descriptor = descriptor;
}

void OfdXmlPageManage::AddPage()
{
    if (!m_document || !m_descriptor)
        return;
    m_directory = OfdPathHelper::GetDirectory(m_descriptor->GetOfdFilePath());
    for (OfdDocumentPageAttr *attr : m_descriptor->GetPageAttrs()) {
        const QByteArray content = m_document->GetOfdFileContent(attr->GetBaseLoc());
        if (content.isEmpty())
            continue;
        auto *page = new OfdXmlPage;
        page->SetOfdFile(m_document);
        page->SetPage(attr->GetID(), attr->GetBaseLoc(), content);
        m_pages.append(page);
    }
}

void OfdXmlPageManage::TryParsePage(int i)
{
    if (i >= 0 && i < m_pages.size())
        m_pages[i]->TryParse();
}

void OfdXmlPageManage::TryParseAllPage()
{
    for (OfdXmlPage *page : qAsConst(m_pages))
        page->TryParse();
}

OfdXmlPage *OfdXmlPageManage::GetOfdPage(int i, bool parse)
{
    if (i < 0 || i >= m_pages.size())
        return nullptr;
    if (parse)
        m_pages[i]->TryParse();
    return m_pages[i];
}

int OfdXmlPageManage::GetPageIndex(int key) const
{
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->GetPageRefId() == key)
            return i;
    }
    return -1;
}
