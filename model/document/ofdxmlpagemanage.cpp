#include "model/document/ofdxmlpagemanage.h"

#include "model/content/ofdxmlpage.h"
#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmldocument.h"
#include "model/package/ofdpathhelper.h"

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
    // The archive's directory tells which content files exist and are not empty; their bytes are
    // read when each page is first parsed. Without a directory (no package reader), they are read now.
    for (OfdDocumentPageAttr *attr : m_descriptor->GetPageAttrs()) {
        const qint64 size = m_document->GetOfdFileSize(attr->GetBaseLoc());
        QByteArray content;
        if (size == OfdFile::kUnknownSize)
            content = m_document->GetOfdFileContent(attr->GetBaseLoc());
        if (size == 0 || size == -1 || (size == OfdFile::kUnknownSize && content.isEmpty()))
            continue;
        auto *page = new OfdXmlPage;
        page->SetOfdFile(m_document);
        page->SetPage(attr->GetID(), attr->GetBaseLoc(), content);
        m_pages.append(page);
    }
    for (int i = 0; i < m_pages.size(); ++i) {
        if (!m_indexByKey.contains(m_pages[i]->GetPageRefId()))
            m_indexByKey.insert(m_pages[i]->GetPageRefId(), i);
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
    const auto found = m_indexByKey.constFind(key);
    return found == m_indexByKey.constEnd() ? -1 : found.value();
}

bool OfdXmlPageManage::IsPageParsed(int i) const
{
    return i >= 0 && i < m_pages.size() && m_pages[i]->IsParsed();
}

void OfdXmlPageManage::ReleasePage(int i)
{
    if (i >= 0 && i < m_pages.size())
        m_pages[i]->Unload();
}
