#include "writer/ofdpackagepatch.h"

#include "model/package/ofdzipnamecodec.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <memory>

#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "annot/pageannotmanage.h"
#include "model/document/ofddocumentcommondata.h"
#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdrootdocbody.h"
#include "model/document/ofdxmldocument.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"
#include "writer/ofdcreatorfiles.h"
#include "writer/ofdxmltextpatch.h"

namespace {
const QString kOfdNs = QStringLiteral("http://www.ofdspec.org/2016");
const QString kXmlHead = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");

// The page that new annotations write themselves into. Colours name the package's RGB colour
// space only when the document's default colour space is another one (without a ColorSpace a
// colour is read in the default, which is RGB unless the document says otherwise), so that a
// drawing does not need a new resource.
class OfdPatchPage : public OfdCreatorPage
{
public:
    OfdPatchPage(OfdPackagePatch *patch, int pageIndex, int pageKey)
        : OfdCreatorPage(patch, pageIndex, pageKey), m_patch(patch)
    {
    }
    XmlNode *AddColorNode(XmlNode *parent, const QString &name, const QColor &color) override
    {
        if (m_patch->NeedsColorSpace())
            return OfdCreatorPage::AddColorNode(parent, name, color);
        XmlNode *node = parent->AddChildByName(name, false);
        node->AddAttr(QStringLiteral("Value"),
                      QStringLiteral("%1 %2 %3").arg(color.red()).arg(color.green()).arg(color.blue()));
        if (color.alpha() != 255)
            node->AddAttr(QStringLiteral("Alpha"), color.alpha());
        return node;
    }

private:
    OfdPackagePatch *m_patch;
};

QString Folded(const QString &path)
{
    return (path.startsWith(QLatin1Char('/')) ? path.mid(1) : path).toCaseFolded();
}

QString DirectoryOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

// loc of target written in a part that lies in dir: relative when below dir, else absolute.
QString LocationFrom(const QString &dir, const QString &target)
{
    if (dir.isEmpty())
        return target;
    if (target.startsWith(dir + QLatin1Char('/')))
        return target.mid(dir.size() + 1);
    return QLatin1Char('/') + target;
}

// The children of the root of a serialised file (its namespace is declared on that root).
QString ChildrenText(const QByteArray &xml)
{
    OfdXmlTextPatch generated;
    if (!generated.Load(xml))
        return QString();
    return generated.GetInnerText(generated.GetRoot());
}

QByteArray SerialisedFile(OfdXmlFile &file)
{
    QList<OfdFileInfo *> infos = file.GetFileInfo();
    const QByteArray data = infos.isEmpty() ? QByteArray() : infos.first()->data;
    qDeleteAll(infos);
    return data;
}

bool WriteEntry(QuaZip &zip, const QString &name, const QByteArray &bytes, const QDateTime &time)
{
    QuaZipNewInfo info(name);
    info.dateTime = time;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.getZipError() == ZIP_OK;
}
} // namespace

struct OfdPackagePatch::PageChanges
{
    OfdPageScene *scene = nullptr;
    QList<OfdVisualItemAnnot *> added;
    QList<QPair<PageAnnot *, bool>> visibility;
    QList<PageAnnot *> deleted;
};

OfdPackagePatch::OfdPackagePatch(OfdViewManage *manage, int document)
    : m_manage(manage), m_documentIndex(document)
{
}

OfdPackagePatch::~OfdPackagePatch()
{
    qDeleteAll(m_parts);
}

bool OfdPackagePatch::CanPatch(OfdViewManage *manage, int document)
{
    if (!manage || !manage->GetOfdFile(document))
        return false;
    QSharedPointer<OfdFileReader> reader = manage->GetFileReader();
    OfdFile *file = manage->GetOfdFile(document);
    return reader && reader->GetFileCount() > 0 && file->GetRootDocBody() &&
           !file->GetRootDocBody()->GetDocRootPath().isEmpty();
}

bool OfdPackagePatch::Fail(const QString &error)
{
    m_error = error;
    qDebug() << "save patch failed:" << error;
    return false;
}

QString OfdPackagePatch::EntryName(const QString &path) const
{
    return m_entryNames.value(Folded(path));
}

bool OfdPackagePatch::IsNameTaken(const QString &path) const
{
    if (m_entryNames.contains(Folded(path)))
        return true;
    for (const QString &added : m_addedOrder) {
        if (Folded(added) == Folded(path))
            return true;
    }
    return false;
}

QString OfdPackagePatch::FreeName(const QString &path) const
{
    if (!IsNameTaken(path))
        return path;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    for (int n = 1;; ++n) {
        const QString candidate = path.left(dot) + QStringLiteral("_%1").arg(n) + path.mid(dot);
        if (!IsNameTaken(candidate))
            return candidate;
    }
}

void OfdPackagePatch::AddEntry(const QString &path, const QByteArray &bytes)
{
    if (!m_added.contains(path))
        m_addedOrder.append(path);
    m_added.insert(path, bytes);
}

OfdXmlTextPatch *OfdPackagePatch::EditPart(const QString &path)
{
    const QString key = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
    if (OfdXmlTextPatch *part = m_parts.value(key))
        return part;
    QByteArray bytes = m_added.value(key);
    if (bytes.isEmpty() && !EntryName(key).isEmpty())
        bytes = m_reader->GetFileContent(EntryName(key));
    auto part = std::make_unique<OfdXmlTextPatch>();
    if (bytes.isEmpty() || !part->Load(bytes))
        return nullptr;
    m_parts.insert(key, part.get());
    return part.release();
}

QString OfdPackagePatch::Qualified(OfdXmlTextPatch *part, const QString &localName) const
{
    const QString prefix = part->GetElements().first().prefix;
    return prefix.isEmpty() ? localName : prefix + QLatin1Char(':') + localName;
}

void OfdPackagePatch::ScanIds(const QByteArray &bytes)
{
    static const QRegularExpression id(QStringLiteral("\\bID\\s*=\\s*[\"']\\s*(\\d{1,9})\\s*[\"']"));
    QRegularExpressionMatchIterator it = id.globalMatch(QString::fromUtf8(bytes));
    while (it.hasNext())
        m_idCounter = qMax(m_idCounter, it.next().captured(1).toInt());
}

bool OfdPackagePatch::Prepare()
{
    if (m_prepared)
        return m_error.isEmpty();
    m_prepared = true;
    if (!CanPatch(m_manage, m_documentIndex))
        return Fail(QStringLiteral("文档没有可写回的文件包"));
    m_document = m_manage->GetOfdFile(m_documentIndex);
    m_reader = m_manage->GetFileReader();
    for (const QString &name : m_reader->GetFilePathList()) {
        if (!m_entryNames.contains(Folded(name)))
            m_entryNames.insert(Folded(name), name);
    }
    m_docPath = m_document->GetRootDocBody()->GetDocRootPath();
    if (m_docPath.startsWith(QLatin1Char('/')))
        m_docPath = m_docPath.mid(1);
    OfdXmlDocument *descriptor = m_document->GetXmlDocument();
    if (descriptor) {
        m_annotationsPath = descriptor->GetAnnotationsPath();
        m_publicResPath = descriptor->GetPublicResPath();
        if (descriptor->GetCommonData())
            m_idCounter = qMax(0, descriptor->GetCommonData()->GetMaxUnitID());
        for (const auto *page : descriptor->GetPageAttrs())
            m_idCounter = qMax(m_idCounter, page ? page->GetID().trimmed().toInt() : 0);
    }
    m_signed =
        m_document->GetSignatures() || !m_document->GetRootDocBody()->GetSignaturesPath().trimmed().isEmpty();

    QList<PageChanges> pages;
    if (!CollectChanges(pages))
        return false;
    if (pages.isEmpty())
        return true;

    // New identifiers continue after every identifier the annotation parts use, also where
    // MaxUnitID is lower than what a producer really gave out.
    if (auto *annotations = dynamic_cast<OfdXmlAnnotations *>(m_document->GetAnnotations())) {
        for (OfdXmlAnnotation *file : annotations->GetAnnotationPages())
            ScanIds(m_reader->GetFileContent(file->GetOfdFilePath()));
    }
    OfdXmlTextPatch *descriptorPart = EditPart(m_docPath);
    if (!descriptorPart)
        return Fail(QStringLiteral("无法读取文档描述文件 %1").arg(m_docPath));
    ScanResources();
    for (int common : descriptorPart->GetChildren(0, QStringLiteral("CommonData"))) {
        for (int cs : descriptorPart->GetChildren(common, QStringLiteral("DefaultCS"))) {
            // A default that is an RGB colour space reads colours without one as RGB too.
            const int id = descriptorPart->GetInnerText(cs).trimmed().toInt();
            if (id <= 0 || id != m_rgbColorSpace)
                m_hasDefaultCs = true;
        }
    }
    const int firstId = m_idCounter;

    if (!ApplyLoadedEdits(pages) || !AddNewAnnotations(pages))
        return false;

    // MaxUnitID follows the new identifiers, but a signed descriptor is not changed for the
    // counter alone: the identifiers stay unique since they continue after the largest in use.
    if (m_idCounter > firstId && (descriptorPart->HasEdits() || !m_signed)) {
        for (int common : descriptorPart->GetChildren(0, QStringLiteral("CommonData"))) {
            for (int max : descriptorPart->GetChildren(common, QStringLiteral("MaxUnitID")))
                descriptorPart->SetInnerText(max, QString::number(m_idCounter));
        }
    }
    Finish();
    return true;
}

bool OfdPackagePatch::CollectChanges(QList<PageChanges> &pages)
{
    for (OfdPageScene *scene : qAsConst(m_scenes)) {
        PageAnnotManage *annots = PageAnnotManage::FromScene(scene);
        if (!annots)
            continue;
        PageChanges page;
        page.scene = scene;
        for (OfdVisualItemAnnot *item : annots->GetNewAnnotGroup()) {
            if (!item->IsEmptyAnnot())
                page.added.append(item);
        }
        for (OfdVisualItemAnnot *item : annots->GetLoadedAnnotGroup()) {
            auto *loaded = dynamic_cast<OfdVisualItemAnnotLoaded *>(item);
            PageAnnot *annot = loaded ? loaded->GetPageAnnot() : nullptr;
            if (annot && annot->IsVisible() != item->isVisible())
                page.visibility.append({annot, item->isVisible()});
        }
        page.deleted = annots->GetDeletedLoadedAnnots();
        if (!page.added.isEmpty() || !page.visibility.isEmpty() || !page.deleted.isEmpty())
            pages.append(page);
    }
    return true;
}

bool OfdPackagePatch::ApplyLoadedEdits(const QList<PageChanges> &pages)
{
    auto locate = [this](PageAnnot *annot, OfdXmlTextPatch *&part, int &element) {
        OfdXmlAnnotation *owner = annot->GetOwner();
        const int index = owner ? owner->GetAnnots().indexOf(annot) : -1;
        part = owner ? EditPart(owner->GetOfdFilePath()) : nullptr;
        if (!part || index < 0)
            return false;
        // The elements the annotation reader took, in the same order.
        QList<int> annots;
        for (int child : part->GetChildren(0)) {
            if (part->GetElements().at(child).qualifiedName == QLatin1String("ofd:Annot"))
                annots.append(child);
        }
        element = annots.value(index, -1);
        return element >= 0;
    };
    for (const PageChanges &page : pages) {
        for (const auto &change : page.visibility) {
            OfdXmlTextPatch *part = nullptr;
            int element = -1;
            if (!locate(change.first, part, element))
                return Fail(
                    QStringLiteral("无法修改批注文件 %1").arg(change.first->GetOwner()->GetOfdFilePath()));
            part->SetAttribute(element, QStringLiteral("Visible"),
                               change.second ? QStringLiteral("true") : QStringLiteral("false"));
        }
        for (PageAnnot *annot : page.deleted) {
            OfdXmlTextPatch *part = nullptr;
            int element = -1;
            if (!locate(annot, part, element))
                return Fail(QStringLiteral("无法修改批注文件 %1").arg(annot->GetOwner()->GetOfdFilePath()));
            part->RemoveElement(element);
        }
    }
    return true;
}

bool OfdPackagePatch::AddNewAnnotations(const QList<PageChanges> &pages)
{
    auto *annotations = dynamic_cast<OfdXmlAnnotations *>(m_document->GetAnnotations());
    const QString docDir = DirectoryOf(m_docPath);
    for (const PageChanges &page : pages) {
        if (page.added.isEmpty())
            continue;
        const int pageKey = page.scene->GetPageRefId();
        const int pageIndex = page.scene->GetPageIndex();
        OfdCreatorAnnotation file;
        file.FillHeader();
        OfdPatchPage writer(this, pageIndex, pageKey);
        for (OfdVisualItemAnnot *item : page.added)
            item->CreateXml(&writer, file.GetRootNode());
        if (file.GetRootNode()->GetChildCount() == 0)
            continue;
        const QByteArray xml = SerialisedFile(file);

        // The page's first annotation file that can take more annotations.
        OfdXmlTextPatch *target = nullptr;
        if (annotations) {
            for (OfdXmlAnnotation *existing : annotations->GetAnnotationPages()) {
                if (existing->GetPageId() != pageKey)
                    continue;
                OfdXmlTextPatch *part = EditPart(existing->GetOfdFilePath());
                if (part && part->GetElements().first().prefix == QLatin1String("ofd") &&
                    !part->GetRootNamespaceUri(QStringLiteral("ofd")).isEmpty()) {
                    target = part;
                    break;
                }
            }
        }
        if (target) {
            const QString children = ChildrenText(xml);
            if (children.isEmpty())
                return Fail(QStringLiteral("无法生成批注内容"));
            target->AppendChildText(0, children);
            continue;
        }
        const QString listDir =
            m_annotationsPath.isEmpty()
                ? (docDir.isEmpty() ? QStringLiteral("Annots") : docDir + QStringLiteral("/Annots"))
                : DirectoryOf(m_annotationsPath);
        const QString path = FreeName((listDir.isEmpty() ? QString() : listDir + QLatin1Char('/')) +
                                      QStringLiteral("Page_%1/Annotation.xml").arg(pageIndex));
        AddEntry(path, xml);
        if (!LinkAnnotationFile(pageKey, path))
            return false;
    }
    return true;
}

bool OfdPackagePatch::LinkAnnotationFile(int pageKey, const QString &filePath)
{
    if (m_annotationsPath.isEmpty() ||
        (EntryName(m_annotationsPath).isEmpty() && !m_added.contains(m_annotationsPath))) {
        // A new list, linked from the descriptor when it does not name one yet.
        const QString docDir = DirectoryOf(m_docPath);
        const bool named = !m_annotationsPath.isEmpty();
        const QString listPath = named ? m_annotationsPath
                                       : FreeName((docDir.isEmpty() ? QString() : docDir + QLatin1Char('/')) +
                                                  QStringLiteral("Annots/Annotations.xml"));
        AddEntry(
            listPath,
            (kXmlHead + QStringLiteral("<ofd:Annotations xmlns:ofd=\"%1\"></ofd:Annotations>").arg(kOfdNs))
                .toUtf8());
        m_annotationsPath = listPath;
        if (!named) {
            OfdXmlTextPatch *descriptor = EditPart(m_docPath);
            if (!descriptor)
                return Fail(QStringLiteral("无法读取文档描述文件 %1").arg(m_docPath));
            const QString q = Qualified(descriptor, QStringLiteral("Annotations"));
            const QString link =
                QStringLiteral("<%1>%2</%1>").arg(q, OfdXmlTextPatch::Escape(LocationFrom(docDir, listPath)));
            // Annotations come before the attachments, custom tags and extensions of a descriptor.
            int before = -1;
            for (int child : descriptor->GetChildren(0)) {
                const QString &name = descriptor->GetElements().at(child).localName;
                if (name == QLatin1String("Attachments") || name == QLatin1String("CustomTags") ||
                    name == QLatin1String("Extensions")) {
                    before = child;
                    break;
                }
            }
            if (before >= 0)
                descriptor->InsertBefore(before, link);
            else
                descriptor->AppendChildText(0, link);
        }
    }
    OfdXmlTextPatch *list = EditPart(m_annotationsPath);
    if (!list)
        return Fail(QStringLiteral("无法修改批注索引 %1").arg(m_annotationsPath));
    // The list reader takes "ofd:" names only; declare the prefix where the list does not.
    const QString declaration = list->GetRootNamespaceUri(QStringLiteral("ofd")).isEmpty()
                                    ? QStringLiteral(" xmlns:ofd=\"%1\"").arg(kOfdNs)
                                    : QString();
    list->AppendChildText(
        0, QStringLiteral("<ofd:Page%1 PageID=\"%2\"><ofd:FileLoc>%3</ofd:FileLoc></ofd:Page>")
               .arg(declaration)
               .arg(pageKey)
               .arg(OfdXmlTextPatch::Escape(LocationFrom(DirectoryOf(m_annotationsPath), filePath))));
    return true;
}

bool OfdPackagePatch::AddResource(const QString &kind, const QString &element)
{
    if (m_publicResPath.isEmpty() ||
        (EntryName(m_publicResPath).isEmpty() && !m_added.contains(m_publicResPath))) {
        OfdXmlTextPatch *descriptor = EditPart(m_docPath);
        const QList<int> commons =
            descriptor ? descriptor->GetChildren(0, QStringLiteral("CommonData")) : QList<int>();
        if (commons.isEmpty())
            return Fail(QStringLiteral("文档描述文件没有公共数据"));
        const QString docDir = DirectoryOf(m_docPath);
        const bool named = !m_publicResPath.isEmpty();
        const QString path = named ? m_publicResPath
                                   : FreeName((docDir.isEmpty() ? QString() : docDir + QLatin1Char('/')) +
                                              QStringLiteral("PublicRes.xml"));
        AddEntry(path, (kXmlHead +
                        QStringLiteral("<ofd:Res xmlns:ofd=\"%1\" BaseLoc=\"Res\"></ofd:Res>").arg(kOfdNs))
                           .toUtf8());
        m_publicResPath = path;
        if (!named) {
            const QString q = Qualified(descriptor, QStringLiteral("PublicRes"));
            const QString link =
                QStringLiteral("<%1>%2</%1>").arg(q, OfdXmlTextPatch::Escape(LocationFrom(docDir, path)));
            int before = -1;
            for (int child : descriptor->GetChildren(commons.first())) {
                const QString &name = descriptor->GetElements().at(child).localName;
                if (name == QLatin1String("DocumentRes") || name == QLatin1String("TemplatePage") ||
                    name == QLatin1String("DefaultCS")) {
                    before = child;
                    break;
                }
            }
            if (before >= 0)
                descriptor->InsertBefore(before, link);
            else
                descriptor->AppendChildText(commons.first(), link);
        }
    }
    OfdXmlTextPatch *res = EditPart(m_publicResPath);
    if (!res)
        return Fail(QStringLiteral("无法修改资源文件 %1").arg(m_publicResPath));
    const QString prefix = res->GetElements().first().prefix;
    const QString qualifiedElement =
        prefix.isEmpty()
            ? element
            : QString(element).replace(QStringLiteral("<ofd:"), QStringLiteral("<%1:").arg(prefix));
    const QList<int> containers = res->GetChildren(0, kind);
    if (!containers.isEmpty()) {
        res->AppendChildText(containers.first(), qualifiedElement);
        return true;
    }
    // A new container, in the order the resource file keeps them.
    static const QStringList order{QStringLiteral("ColorSpaces"), QStringLiteral("DrawParams"),
                                   QStringLiteral("Fonts"), QStringLiteral("MultiMedias"),
                                   QStringLiteral("CompositeGraphicUnits")};
    const QString q = Qualified(res, kind);
    const QString text = QStringLiteral("<%1>%2</%1>").arg(q, qualifiedElement);
    for (int child : res->GetChildren(0)) {
        if (order.indexOf(res->GetElements().at(child).localName) > order.indexOf(kind)) {
            res->InsertBefore(child, text);
            return true;
        }
    }
    res->AppendChildText(0, text);
    return true;
}

QString OfdPackagePatch::GetNextId()
{
    ++m_idCounter;
    return QString::number(m_idCounter);
}

void OfdPackagePatch::ScanResources()
{
    // Fonts the document has are used again by name, and its first RGB colour space.
    const QString documentRes =
        m_document->GetXmlDocument() ? m_document->GetXmlDocument()->GetDocumentResPath() : QString();
    for (const QString &path : {m_publicResPath, documentRes}) {
        if (path.isEmpty())
            continue;
        QXmlStreamReader reader(m_reader->GetFileContent(path));
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attrs = reader.attributes();
            const int id = attrs.value(QLatin1String("ID")).toString().trimmed().toInt();
            if (id <= 0)
                continue;
            if (reader.name() == QLatin1String("Font")) {
                const QString name = attrs.value(QLatin1String("FontName")).toString().toCaseFolded();
                if (!name.isEmpty() && !m_fonts.contains(name))
                    m_fonts.insert(name, id);
            } else if (reader.name() == QLatin1String("ColorSpace") && m_rgbColorSpace == 0 &&
                       attrs.value(QLatin1String("Type")) == QLatin1String("RGB")) {
                m_rgbColorSpace = id;
            }
        }
    }
}

int OfdPackagePatch::GetFontId(const OfdCreatorFontInfo &font)
{
    const QString key = font.fontName.toCaseFolded();
    if (m_fonts.value(key) > 0)
        return m_fonts.value(key);
    const int id = GetNextId().toInt();
    QString element = QStringLiteral("<ofd:Font ID=\"%1\" FontName=\"%2\"")
                          .arg(id)
                          .arg(OfdXmlTextPatch::Escape(font.fontName));
    if (!font.familyName.isEmpty())
        element += QStringLiteral(" FamilyName=\"%1\"").arg(OfdXmlTextPatch::Escape(font.familyName));
    if (font.bold)
        element += QStringLiteral(" Bold=\"true\"");
    if (font.italic)
        element += QStringLiteral(" Italic=\"true\"");
    element += QStringLiteral("/>");
    if (!AddResource(QStringLiteral("Fonts"), element))
        return 0;
    m_fonts.insert(key, id);
    return id;
}

int OfdPackagePatch::GetRgbColorSpaceId()
{
    if (m_rgbColorSpace > 0)
        return m_rgbColorSpace;
    const int id = GetNextId().toInt();
    if (!AddResource(
            QStringLiteral("ColorSpaces"),
            QStringLiteral("<ofd:ColorSpace ID=\"%1\" Type=\"RGB\" BitsPerComponent=\"8\"/>").arg(id)))
        return 0;
    m_rgbColorSpace = id;
    return id;
}

int OfdPackagePatch::GetResourceId(const OfdCreatorMultiMediaInfo &)
{
    // The annotation tools draw paths and text only.
    qDebug() << "save patch: annotations with images are not written";
    return 0;
}

void OfdPackagePatch::Finish()
{
    for (auto it = m_parts.cbegin(); it != m_parts.cend(); ++it) {
        if (!it.value()->HasEdits())
            continue;
        const QString name = EntryName(it.key());
        if (!name.isEmpty() && !m_added.contains(it.key()))
            m_replaced.insert(name, it.value()->GetBytes());
        else
            AddEntry(it.key(), it.value()->GetBytes());
    }
}

QByteArray OfdPackagePatch::GetEntryData(const QString &path) const
{
    if (m_replaced.contains(path))
        return m_replaced.value(path);
    return m_added.value(path);
}

QByteArray OfdPackagePatch::GetChangeDigest() const
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (auto it = m_replaced.cbegin(); it != m_replaced.cend(); ++it) {
        hash.addData(it.key().toUtf8() + '\0');
        hash.addData(it.value() + '\0');
    }
    for (const QString &path : m_addedOrder) {
        hash.addData(path.toUtf8() + '\0');
        hash.addData(m_added.value(path) + '\0');
    }
    return hash.result();
}

QByteArray OfdPackagePatch::GetZipData()
{
    if (!Prepare())
        return QByteArray();
    QByteArray out;
    {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QuaZip zip(&buffer);
        // Names go back in the bytes they were read from (UTF-8, or GBK from older tools).
        zip.setFileNameCodec(OfdZipNameCodec::Instance());
        if (!zip.open(QuaZip::mdCreate)) {
            Fail(QStringLiteral("无法创建文件包"));
            return QByteArray();
        }
        const QDateTime now = QDateTime::currentDateTime();
        const bool copied = m_reader->VisitRawEntries(
            [&](const QuaZipFileInfo64 &info, const QByteArray &raw, int method, int level) {
                if (m_replaced.contains(info.name))
                    return WriteEntry(zip, info.name, m_replaced.value(info.name), now);
                QuaZipNewInfo stored(info);
                QuaZipFile file(&zip);
                if (!file.open(QIODevice::WriteOnly, stored, nullptr, info.crc, method, level, true))
                    return false;
                const bool written = file.write(raw) == raw.size();
                file.close();
                return written && file.getZipError() == ZIP_OK;
            });
        if (!copied) {
            Fail(QStringLiteral("原文件包无法完整读取"));
            return QByteArray();
        }
        for (const QString &path : qAsConst(m_addedOrder)) {
            if (!WriteEntry(zip, path, m_added.value(path), now)) {
                Fail(QStringLiteral("无法写入 %1").arg(path));
                return QByteArray();
            }
        }
        zip.close();
        if (zip.getZipError() != ZIP_OK) {
            Fail(QStringLiteral("无法创建文件包"));
            return QByteArray();
        }
    }
    return out;
}
