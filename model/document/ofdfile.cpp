#include "model/document/ofdfile.h"

#include <QDebug>

#include "app/ofdparams.h"
#include "model/content/ofdxmlpage.h"
#include "model/document/ofddocumentresmanage.h"
#include "model/document/ofdfilemanage.h"
#include "model/document/ofdoutline.h"
#include "model/document/ofdrootdocbody.h"
#include "model/document/ofdtemplatepageattr.h"
#include "model/document/ofdxmlattachments.h"
#include "model/document/ofdxmlcustomtags.h"
#include "model/document/ofdxmldocument.h"
#include "model/document/ofdxmlpagemanage.h"
#include "model/document/ofdxmlres.h"
#include "model/package/ofdembedfilemanage.h"
#include "model/package/ofdfilereader.h"

namespace {
OfdDocumentExtensionLoader &AnnotationsLoader()
{
    static OfdDocumentExtensionLoader loader;
    return loader;
}

OfdDocumentExtensionLoader &SignaturesLoader()
{
    static OfdDocumentExtensionLoader loader;
    return loader;
}
} // namespace

OfdDocumentExtension::~OfdDocumentExtension() = default;

OfdFile::OfdFile() = default;
OfdFile::~OfdFile() = default;

void OfdFile::SetAnnotationsLoader(const OfdDocumentExtensionLoader &loader)
{
    AnnotationsLoader() = loader;
}

void OfdFile::SetSignaturesLoader(const OfdDocumentExtensionLoader &loader)
{
    SignaturesLoader() = loader;
}

void OfdFile::SetFileManage(OfdFileManage *manager, OfdRootDocBody *body)
{
    m_fileManage = manager;
    m_body = body;
}

bool OfdFile::TryInit()
{
    if (m_initialised)
        return false;
    m_initialised = true;
    InitOfd();
    return true;
}

int OfdFile::InitOfd()
{
    if (GetOfdFileContent(OfdParam::File_OfdRoot).isEmpty())
        return Init_NoRoot;
    const QString docRoot = m_body ? m_body->GetDocRootPath() : QString();
    qDebug() << "DocRoot:" << docRoot;
    const QByteArray descriptor = GetOfdFileContent(docRoot);
    if (descriptor.isEmpty())
        return Init_NoDocument;

    m_document = std::make_unique<OfdXmlDocument>();
    m_document->SetOfdFilePath(docRoot);
    m_document->PasrseXml(descriptor);

    // Resources before pages: page objects may look them up while they are parsed.
    m_res = std::make_unique<OfdDocumentResManage>(this, this);
    const QString publicRes = m_document->GetPublicResPath();
    if (!publicRes.isEmpty())
        m_res->ParseRes(publicRes, OfdXmlRes::ResType_Public);
    const QString documentRes = m_document->GetDocumentResPath();
    if (!documentRes.isEmpty())
        m_res->ParseRes(documentRes, OfdXmlRes::ResType_Document);

    m_pages = std::make_unique<OfdXmlPageManage>();
    m_pages->SetOfdFile(this, m_document.get());
    m_pages->AddPage();

    const QString annotations = m_document->GetAnnotationsPath();
    if (!annotations.isEmpty() && AnnotationsLoader())
        m_annotations.reset(AnnotationsLoader()(this, annotations));

    const QString signatures = m_body ? m_body->GetSignaturesPath() : QString();
    if (!signatures.isEmpty() && SignaturesLoader())
        m_signatures.reset(SignaturesLoader()(this, signatures));

    const QString attachments = m_document->GetAttachmentsPath();
    if (!attachments.isEmpty())
        ParseAttachments(attachments);
    return Init_OK;
}

void OfdFile::ParseAttachments(const QString &path)
{
    const QByteArray bytes = GetOfdFileContent(path);
    if (bytes.isEmpty())
        return;
    auto attachments = std::make_unique<OfdXmlAttachments>();
    attachments->SetOfdFilePath(path);
    if (attachments->Parse(bytes))
        m_attachments = std::move(attachments);
}

QByteArray OfdFile::GetOfdFileContent(const QString &path)
{
    return m_fileManage ? m_fileManage->GetFileContent(path) : QByteArray();
}

qint64 OfdFile::GetOfdFileSize(const QString &path) const
{
    if (!m_fileManage || !m_fileManage->GetFileReader())
        return kUnknownSize;
    return m_fileManage->GetFileReader()->GetEntrySize(path);
}

int OfdFile::GetPageCount() const
{
    return m_pages ? m_pages->GetPageCount() : 0;
}

void OfdFile::TryParsePage(int i)
{
    if (m_pages)
        m_pages->TryParsePage(i);
}

void OfdFile::TryParseAllPage()
{
    if (m_pages)
        m_pages->TryParseAllPage();
}

OfdXmlPage *OfdFile::GetPage(int i)
{
    return m_pages ? m_pages->GetOfdPage(i, true) : nullptr;
}

int OfdFile::GetPageIndex(int key) const
{
    return m_pages ? m_pages->GetPageIndex(key) : -1;
}

bool OfdFile::GetPageArea_PhysicalBox(int i, QRectF &rect)
{
    OfdXmlPage *page = GetPage(i);
    if (page && page->GetPageArea_PhysicalBox(rect))
        return true;
    return m_document && m_document->GetPageArea_PhysicalBox(rect);
}

bool OfdFile::GetPageAreaHint(int i, QRectF &rect) const
{
    if (m_pages && m_pages->IsPageParsed(i)) {
        OfdXmlPage *page = m_pages->GetOfdPage(i, false);
        if (page && page->GetPageArea_PhysicalBox(rect))
            return true;
    }
    return m_document && m_document->GetPageArea_PhysicalBox(rect);
}

void OfdFile::ReleasePage(int i)
{
    if (m_pages)
        m_pages->ReleasePage(i);
}

bool OfdFile::IsPageParsed(int i) const
{
    return m_pages && m_pages->IsPageParsed(i);
}

QString OfdFile::GetTemplatePath(int id) const
{
    OfdTemplatePageAttr *attr = m_document ? m_document->GetTemplatePageAttr(id) : nullptr;
    return attr ? attr->GetBaseLoc() : QString();
}

QByteArray OfdFile::GetTemplateFileContent(int id)
{
    const QString path = GetTemplatePath(id);
    return path.isEmpty() ? QByteArray() : GetOfdFileContent(path);
}

OfdOutline *OfdFile::GetOutline()
{
    if (!m_outlineRead && m_document) {
        m_outlineRead = true;
        m_outline.reset(OfdOutline::FromNode(m_document->GetOutlinesNode()));
    }
    return m_outline.get();
}

OfdXmlCustomTags *OfdFile::GetCustomTags()
{
    if (!m_customTags) {
        m_customTags = std::make_unique<OfdXmlCustomTags>();
        const QString path = m_document ? m_document->GetCustomTagsPath() : QString();
        if (!path.isEmpty()) {
            m_customTags->SetOfdFilePath(path);
            m_customTags->Load(this);
        }
    }
    return m_customTags.get();
}

OfdTypeColorSpace *OfdFile::GetColorSpace(int id)
{
    if (!m_res)
        m_res = std::make_unique<OfdDocumentResManage>(this, this);
    return m_res->GetColorSpace(id);
}

OfdTypeFont *OfdFile::GetFont(int id)
{
    return m_res ? m_res->GetFont(id) : nullptr;
}

OfdTypeCompositeGraphicUnit *OfdFile::GetCompositeGraphicUnit(int id)
{
    return m_res ? m_res->GetCompositeGraphicUnit(id) : nullptr;
}

OfdTypeMultiMedia *OfdFile::GetMultiMedia(int id, int pageKey)
{
    return m_res ? m_res->GetMultiMedia(id, pageKey) : nullptr;
}

OfdTypeDrawParam *OfdFile::GetDrawParam(const QString &id, int pageKey)
{
    return m_res ? m_res->GetDrawParam(id, pageKey) : nullptr;
}

OfdTypeFillColor *OfdFile::GetFillColor(const QString &id, int pageKey)
{
    return m_res ? m_res->GetFillColor(id, pageKey) : nullptr;
}

OfdTypeFillColor *OfdFile::GetStrokeColor(const QString &id, int pageKey)
{
    return m_res ? m_res->GetStrokeColor(id, pageKey) : nullptr;
}

void OfdFile::AddPageRes(const QString &path, int pageKey)
{
    if (m_res)
        m_res->AddPageRes(path, pageKey);
}

QString OfdFile::GetFontFromEmbedFile(const QString &path)
{
    if (!m_embedFonts) {
        m_embedFonts = std::make_unique<OfdEmbedFileManage>();
        m_embedFonts->SetOfdFile(this);
    }
    return m_embedFonts->GetFontFromEmbedFile(path);
}

float OfdFile::GetBaseline(const QFont &font, int fontId, float size)
{
    if (!m_res)
        m_res = std::make_unique<OfdDocumentResManage>(this, this);
    return m_res->GetBaseline(font, fontId, size);
}
