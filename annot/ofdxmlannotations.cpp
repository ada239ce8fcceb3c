#include "annot/ofdxmlannotations.h"

#include <QDebug>
#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdvisualitemtransfer.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/document/ofdfile.h"

namespace {
// Both annotation files name their elements with the prefix "ofd", compared exactly.
const QLatin1String kPage("ofd:Page");
const QLatin1String kFileLoc("ofd:FileLoc");
const QLatin1String kAnnot("ofd:Annot");
const QLatin1String kAppearance("ofd:Appearance");
const QLatin1String kParameters("ofd:Parameters");
const QLatin1String kParameter("ofd:Parameter");

QString Attr(const QXmlStreamReader &reader, const char *name)
{
    return reader.attributes().value(QLatin1String(name)).toString();
}
} // namespace

// ---------------------------------------------------------------------------------------------
// OfdXmlAnnotations

OfdXmlAnnotations::OfdXmlAnnotations() = default;

OfdXmlAnnotations::~OfdXmlAnnotations()
{
    qDeleteAll(m_pages);
    qDeleteAll(m_entries);
}

void OfdXmlAnnotations::PasrseXml(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    if (!reader.readNextStartElement())
        return; // the root, whatever its name
    while (reader.readNextStartElement()) {
        if (reader.qualifiedName() != kPage) {
            reader.skipCurrentElement();
            continue;
        }
        const int pageId = OfdHelper::StringToInt(Attr(reader, "PageID"), 0);
        if (!reader.readNextStartElement())
            continue; // a Page without children: its end tag is read, no entry
        if (reader.qualifiedName() == kFileLoc) {
            auto *entry = new AnnotationsPageAttr;
            entry->pageId = pageId;
            entry->fileLoc =
                GetOfdFullPath(reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
            m_entries.append(entry);
        } else {
            reader.skipCurrentElement(); // the first child is not FileLoc: the entry is dropped
        }
        reader.skipCurrentElement(); // the rest of the Page
    }
    if (reader.hasError())
        qDebug() << "Annotations.xml:" << reader.errorString();
}

int OfdXmlAnnotations::PasrseAnnotationPage()
{
    for (AnnotationsPageAttr *entry : qAsConst(m_entries)) {
        auto *page = new OfdXmlAnnotation(m_document, entry->pageId, entry->fileLoc);
        page->PasrseXml();
        m_pages.append(page);
    }
    return m_entries.size();
}

QList<OfdXmlAnnotation *> *OfdXmlAnnotations::GetAnnotationsPage(int pageKey) const
{
    QList<OfdXmlAnnotation *> *list = nullptr;
    for (OfdXmlAnnotation *page : m_pages) {
        if (page->GetPageId() != pageKey)
            continue;
        if (!list)
            list = new QList<OfdXmlAnnotation *>;
        list->append(page);
    }
    return list;
}

QList<PageAnnot *> OfdXmlAnnotations::GetPageAnnots(int pageKey) const
{
    QList<PageAnnot *> annots;
    for (OfdXmlAnnotation *page : m_pages) {
        if (page->GetPageId() == pageKey)
            annots += page->GetAnnots();
    }
    return annots;
}

int OfdXmlAnnotations::GetAnnotCount() const
{
    int count = 0;
    for (OfdXmlAnnotation *page : m_pages)
        count += page->GetAnnots().size();
    return count;
}

OfdXmlAnnotations *OfdXmlAnnotations::Load(OfdFile *document, const QString &path)
{
    if (!document)
        return nullptr;
    const QByteArray bytes = document->GetOfdFileContent(path);
    if (bytes.isEmpty())
        return nullptr;
    auto *annotations = new OfdXmlAnnotations;
    annotations->SetOfdFile(document);
    annotations->SetOfdFilePath(path);
    annotations->PasrseXml(bytes);
    annotations->PasrseAnnotationPage();
    return annotations;
}

void OfdXmlAnnotations::InstallLoader()
{
    OfdFile::SetAnnotationsLoader([](OfdFile *document, const QString &path) -> OfdDocumentExtension * {
        return Load(document, path);
    });
}

// ---------------------------------------------------------------------------------------------
// OfdXmlAnnotation

OfdXmlAnnotation::OfdXmlAnnotation(OfdFile *document, int pageKey, const QString &path)
    : m_document(document), m_pageKey(pageKey)
{
    SetOfdFilePath(path);
}

OfdXmlAnnotation::~OfdXmlAnnotation()
{
    qDeleteAll(m_annots);
}

bool OfdXmlAnnotation::PasrseXml()
{
    if (!m_document || m_filePath.isEmpty())
        return false;
    return PasrseXml(m_document->GetOfdFileContent(m_filePath));
}

bool OfdXmlAnnotation::PasrseXml(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    QXmlStreamReader reader(bytes);
    if (reader.readNextStartElement()) {
        while (reader.readNextStartElement()) {
            if (reader.qualifiedName() == kAnnot) {
                auto *annot = new PageAnnot(this);
                m_annots.append(annot);
                annot->ParseXml(reader);
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    if (reader.hasError())
        qDebug() << "page annotation file" << m_filePath << reader.errorString();
    return true;
}

// ---------------------------------------------------------------------------------------------
// PageAnnot

PageAnnot::PageAnnot(OfdXmlAnnotation *owner) : m_owner(owner) {}

PageAnnot::~PageAnnot() = default;

OfdFile *PageAnnot::GetOfdFile() const
{
    return m_owner ? m_owner->GetOfdFile() : nullptr;
}

void PageAnnot::ParseXml(QXmlStreamReader &reader)
{
    m_id = Attr(reader, "ID");
    m_type = Attr(reader, "Type");
    m_subtype = Attr(reader, "Subtype");
    m_lastModDate = Attr(reader, "LastModDate");
    m_creator = Attr(reader, "Creator");
    m_readOnly = OfdHelper::StringToBool(Attr(reader, "ReadOnly"), false);
    m_visible = OfdHelper::StringToBool(Attr(reader, "Visible"), true);
    while (reader.readNextStartElement()) {
        const QStringRef name = reader.qualifiedName();
        if (name == kAppearance) {
            m_appearance = std::make_unique<PageAnnotAppearance>(this);
            m_appearance->ParseXml(reader, m_owner ? m_owner->GetPageId() : 0);
        } else if (name == kParameters) {
            m_parameters = std::make_unique<PageAnnotParameters>(this);
            while (reader.readNextStartElement()) {
                if (reader.qualifiedName() == kParameter) {
                    const QString key = Attr(reader, "Name");
                    m_parameters->SetValue(key, reader.readElementText(QXmlStreamReader::SkipChildElements));
                } else {
                    reader.skipCurrentElement();
                }
            }
        } else {
            reader.skipCurrentElement();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// PageAnnotAppearance

PageAnnotAppearance::PageAnnotAppearance(PageAnnot *owner) : m_owner(owner) {}

PageAnnotAppearance::~PageAnnotAppearance() = default;

OfdFile *PageAnnotAppearance::GetOfdFile() const
{
    return m_owner ? m_owner->GetOfdFile() : nullptr;
}

void PageAnnotAppearance::ParseXml(QXmlStreamReader &reader, int pageKey)
{
    m_boundary = Attr(reader, "Boundary");
    m_block = std::make_unique<OfdXmlPageBlock>();
    m_block->SetOfdFile(GetOfdFile());
    m_block->SetPageRefId(pageKey);
    m_block->ParseXml(reader);
}

bool PageAnnotAppearance::IsVisible() const
{
    return m_owner ? m_owner->IsVisible() : true;
}

bool PageAnnotAppearance::IsHighlight() const
{
    if (!m_owner)
        return false;
    const QLatin1String highlight("Highlight");
    return m_owner->GetType() == highlight || m_owner->GetSubtype() == highlight;
}

OfdVisualItemTransfer *PageAnnotAppearance::CreateVisualItemTransfer() const
{
    if (m_boundary.isEmpty())
        return nullptr;
    QRectF rect;
    if (!OfdHelper::PasrseRect(m_boundary, rect))
        return nullptr;
    auto *transfer = new OfdVisualItemTransfer;
    transfer->SetBoundary(rect);
    return transfer;
}
