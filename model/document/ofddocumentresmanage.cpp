#include "model/document/ofddocumentresmanage.h"

#include "model/content/ofdtypedrawparam.h"
#include "model/document/ofdxmlresmanange.h"
#include "model/package/ofdcontentsource.h"

OfdDocumentResManage::OfdDocumentResManage(OfdContentSource *source, OfdDocumentAccess *document)
    : m_source(source), m_document(document)
{
}

OfdDocumentResManage::~OfdDocumentResManage()
{
    qDeleteAll(m_documentRes);
    qDeleteAll(m_pageRes);
}

OfdXmlRes *OfdDocumentResManage::ReadRes(const QString &path, OfdXmlRes::EN_OfdResType type)
{
    if (!m_source || path.isEmpty())
        return nullptr;
    const QByteArray bytes = m_source->GetOfdFileContent(path);
    if (bytes.isEmpty())
        return nullptr;
    auto *res = new OfdXmlRes(m_document);
    res->SetResType(type);
    res->SetOfdFilePath(path);
    res->PasrseXml(bytes);
    return res;
}

bool OfdDocumentResManage::ParseRes(const QString &path, OfdXmlRes::EN_OfdResType type)
{
    OfdXmlRes *res = ReadRes(path, type);
    if (!res)
        return false;
    m_documentRes.append(res);
    return true;
}

bool OfdDocumentResManage::AddPageRes(const QString &path, int pageKey)
{
    QStringList &read = m_pageResPaths[pageKey];
    if (read.contains(path))
        return m_pageRes.contains(pageKey);
    read.append(path);
    OfdXmlRes *res = ReadRes(path, OfdXmlRes::ResType_Page);
    if (!res)
        return false;
    OfdXmlResManange *&group = m_pageRes[pageKey];
    if (!group)
        group = new OfdXmlResManange;
    group->AddRes(res);
    return true;
}

OfdTypeFont *OfdDocumentResManage::GetFont(int id) const
{
    for (const OfdXmlRes *res : m_documentRes) {
        if (OfdTypeFont *font = res->GetFont(id))
            return font;
    }
    return nullptr;
}

OfdTypeColorSpace *OfdDocumentResManage::GetColorSpace(int id)
{
    if (id == 0)
        return &m_defaultColorSpace;
    for (const OfdXmlRes *res : m_documentRes) {
        if (OfdTypeColorSpace *space = res->ColorSpace(id))
            return space;
    }
    return &m_defaultColorSpace;
}

OfdTypeCompositeGraphicUnit *OfdDocumentResManage::GetCompositeGraphicUnit(int id) const
{
    for (const OfdXmlRes *res : m_documentRes) {
        if (OfdTypeCompositeGraphicUnit *unit = res->GetCompositeGraphicUnit(id))
            return unit;
    }
    return nullptr;
}

OfdTypeMultiMedia *OfdDocumentResManage::GetMultiMedia(int id, int pageKey) const
{
    if (pageKey != 0) {
        if (const OfdXmlResManange *page = GetPageRes(pageKey)) {
            if (OfdTypeMultiMedia *media = page->GetMultiMedia(id))
                return media;
        }
    }
    for (const OfdXmlRes *res : m_documentRes) {
        if (OfdTypeMultiMedia *media = res->GetMultiMedia(id))
            return media;
    }
    return nullptr;
}

OfdXmlRes *OfdDocumentResManage::FindDrawParamRes(const QString &id, int pageKey) const
{
    if (pageKey != 0) {
        if (const OfdXmlResManange *page = GetPageRes(pageKey)) {
            for (OfdXmlRes *res : page->GetResList()) {
                if (res->GetDrawParam(id))
                    return res;
            }
        }
    }
    for (OfdXmlRes *res : m_documentRes) {
        if (res->GetDrawParam(id))
            return res;
    }
    return nullptr;
}

OfdTypeDrawParam *OfdDocumentResManage::GetDrawParam(const QString &id, int pageKey) const
{
    const OfdXmlRes *res = FindDrawParamRes(id, pageKey);
    return res ? res->GetDrawParam(id) : nullptr;
}

OfdTypeFillColor *OfdDocumentResManage::GetFillColor(const QString &id, int pageKey) const
{
    const OfdXmlRes *res = FindDrawParamRes(id, pageKey);
    return res ? res->GetFillColor(id) : nullptr;
}

OfdTypeFillColor *OfdDocumentResManage::GetStrokeColor(const QString &id, int pageKey) const
{
    const OfdXmlRes *res = FindDrawParamRes(id, pageKey);
    return res ? res->GetStrokeColor(id) : nullptr;
}

float OfdDocumentResManage::GetBaseline(const QFont &font, int fontId, float size)
{
    return m_baselines.GetBaseline(font, fontId, size);
}
