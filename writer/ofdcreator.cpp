#include "writer/ofdcreator.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>
#include <QXmlStreamReader>

#include "annot/ofdannotsupport.h"
#include "annot/ofdvisualitemannot.h"
#include "model/content/ofdhelper.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/document/ofdfileparsemanage.h"
#include "model/document/ofdrootdocbody.h"
#include "model/document/ofdxmldocument.h"
#include "model/package/ofdfilereader.h"
#include "model/package/ofdfilewriter.h"
#include "model/xml/xmlnode.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"
#include "writer/ofdcreatorfiles.h"
#include "writer/ofdpackagepatch.h"

namespace {
bool g_failWrites = false;

const QString kBuildVersion = QStringLiteral("OFD Reader 1.0.0");

// A custom tag file with its object references moved to the new page and object identifiers. Only
// the PageRef values and the texts of ObjectRef elements change; every other character is kept.
// The input unchanged when it is not UTF-8 or cannot be read.
QByteArray RemapCustomTagFile(const QByteArray &in, const QHash<int, QString> &pages,
                              const QHash<int, QHash<int, int>> &objects)
{
    const QString text = QString::fromUtf8(in);
    QXmlStreamReader reader(text);
    QString out;
    qint64 copied = 0;
    bool inRef = false;
    int refPage = 0;
    const QRegularExpression pageRef(QStringLiteral("(PageRef\\s*=\\s*)([\"'])[^\"']*\\2"));
    while (!reader.atEnd()) {
        const qint64 before = reader.characterOffset();
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.hasError())
            return in;
        if (token == QXmlStreamReader::StartDocument && !reader.documentEncoding().isEmpty() &&
            reader.documentEncoding().compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0)
            return in;
        const qint64 after = reader.characterOffset();
        if (token == QXmlStreamReader::StartElement && reader.name() == QLatin1String("ObjectRef")) {
            inRef = true;
            refPage = reader.attributes().value(QLatin1String("PageRef")).toString().trimmed().toInt();
            QString tag = text.mid(int(before), int(after - before));
            if (pages.contains(refPage))
                tag.replace(pageRef, QStringLiteral("\\1\"%1\"").arg(pages.value(refPage)));
            out += text.mid(int(copied), int(before - copied)) + tag;
            copied = after;
        } else if (inRef && token == QXmlStreamReader::Characters) {
            // The reader may have looked past the text; only the text itself is replaced.
            const QString raw = reader.text().toString();
            const int oldId = raw.trimmed().toInt();
            const QHash<int, int> map = objects.value(refPage);
            if (map.contains(oldId) && text.midRef(int(before), raw.size()) == raw) {
                out += text.mid(int(copied), int(before - copied)) + QString::number(map.value(oldId));
                copied = before + raw.size();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            inRef = false;
        }
    }
    out += text.mid(int(copied));
    return out.toUtf8();
}
} // namespace

OfdCreator::OfdCreator() = default;

OfdCreator::~OfdCreator()
{
    qDeleteAll(m_files);
    m_files.clear();
    m_ownScenes.clear();
}

void OfdCreator::SetOfd(OfdViewManage *manage, int document)
{
    m_manage = manage;
    m_documentIndex = document;
}

void OfdCreator::SetPageScenes(const QList<OfdPageScene *> &scenes)
{
    m_scenes = scenes;
}

template <class T>
T *OfdCreator::AddFile(T *file)
{
    m_files.append(file);
    return file;
}

QString OfdCreator::GetNextId()
{
    ++m_idCounter;
    return QString::number(m_idCounter);
}

int OfdCreator::GetRgbColorSpaceId()
{
    if (m_rgbColorSpace == 0) {
        m_rgbColorSpace = GetNextId().toInt();
        m_publicRes->AddColorSpace(m_rgbColorSpace, QStringLiteral("RGB"));
    }
    return m_rgbColorSpace;
}

int OfdCreator::GetFontId(const OfdCreatorFontInfo &font)
{
    const QString key = QStringLiteral("%1|%2|%3%4%5|%6")
                            .arg(font.fontName, font.familyName)
                            .arg(int(font.bold))
                            .arg(int(font.italic))
                            .arg(int(font.serif))
                            .arg(QString::fromLatin1(
                                QCryptographicHash::hash(font.fontFile, QCryptographicHash::Sha1).toHex()));
    if (m_fonts.contains(key))
        return m_fonts.value(key);
    const int id = GetNextId().toInt();
    m_fonts.insert(key, id);
    m_publicRes->AddFont(id, font);
    return id;
}

int OfdCreator::GetResourceId(const OfdCreatorMultiMediaInfo &media)
{
    const QByteArray key =
        QCryptographicHash::hash(media.data, QCryptographicHash::Sha1) + media.type.toUtf8();
    if (m_media.contains(key))
        return m_media.value(key);
    const int id = GetNextId().toInt();
    m_media.insert(key, id);
    m_documentRes->AddMultiMedia(id, media);
    return id;
}

QByteArray OfdCreator::GetFileData()
{
    if (!CreateOfdContent())
        return QByteArray();
    return CreateOfdFile();
}

bool OfdCreator::CreateOfdContent()
{
    if (!m_files.isEmpty() || !m_manage)
        return false;
    m_document = m_manage->GetOfdFile(m_documentIndex);
    if (!m_document || m_document->GetPageCount() == 0)
        return false;
    // A view that builds scenes only for the pages in sight hands null for the others: those pages
    // have nothing but their loaded content, and get scenes of their own here.
    if (m_scenes.isEmpty()) {
        for (int i = 0; i < m_document->GetPageCount(); ++i)
            m_scenes.append(nullptr);
    }
    for (int i = 0; i < m_scenes.size(); ++i) {
        if (m_scenes[i])
            continue;
        auto scene = std::make_unique<OfdPageScene>();
        scene->SetViewManage(m_manage);
        scene->SetPageIndex(m_documentIndex, i);
        scene->CreateScene();
        m_scenes[i] = scene.get();
        m_ownScenes.push_back(std::move(scene));
    }
    m_docDir = QStringLiteral("Doc_%1").arg(m_documentIndex);
    InitDocRoot();
    InitDocument();
    if (!InitPage())
        return false;
    CarryOver();
    if (!m_annotationEntries.isEmpty()) {
        m_annotations = AddFile(new OfdCreatorAnnotations);
        m_annotations->SetCurFileFullPath(m_docDir + QStringLiteral("/Annotations.xml"));
        m_annotations->FillHeader();
        for (const auto &entry : qAsConst(m_annotationEntries)) {
            XmlNode *page = m_annotations->GetRootNode()->AddChildByName(QStringLiteral("Page"), false);
            page->AddAttr(QStringLiteral("PageID"), entry.first);
            page->AddChild(QStringLiteral("FileLoc"), entry.second, false);
        }
        m_documentFile->GetRootNode()->AddChild(
            QStringLiteral("Annotations"),
            m_documentFile->GetRelativePath(m_annotations->GetCurFileFullPath()), false);
    }
    m_maxUnitNode->SetText(QString::number(m_idCounter));
    return true;
}

void OfdCreator::InitDocRoot()
{
    m_root = AddFile(new OfdCreatorRoot);
    m_root->SetCurFileFullPath(QStringLiteral("OFD.xml"));
    m_root->FillHeader();
    XmlNode *root = m_root->GetRootNode();
    root->AddAttr(QStringLiteral("DocType"), QStringLiteral("OFD"));
    root->AddAttr(QStringLiteral("Version"), QStringLiteral("1.0"));
    XmlNode *body = root->AddChildByName(QStringLiteral("DocBody"), false);
    XmlNode *info = body->AddChildByName(QStringLiteral("DocInfo"), false);
    // Every rebuilt package is a document of its own: 32 hexadecimal digits, new each time.
    info->AddChild(QStringLiteral("DocID"), QUuid::createUuid().toString(QUuid::Id128), false);
    info->AddChild(QStringLiteral("CreationDate"), QDate::currentDate().toString(Qt::ISODate), false);
    XmlNode *custom = info->AddChildByName(QStringLiteral("CustomDatas"), false);
    custom->AddChild(QStringLiteral("CustomData"), kBuildVersion, false)
        ->AddAttr(QStringLiteral("Name"), QStringLiteral("DAZProductBuildVer"));
    custom->AddChild(QStringLiteral("CustomData"), QStringLiteral("20160129"), false)
        ->AddAttr(QStringLiteral("Name"), QString::fromUtf8("公文模板版本"));
    body->AddChild(QStringLiteral("DocRoot"), m_docDir + QLatin1Char('/') + QStringLiteral("Document.xml"),
                   false);
}

void OfdCreator::InitDocument()
{
    m_documentFile = AddFile(new OfdCreatorDocument);
    m_documentFile->SetCurFileFullPath(m_docDir + QStringLiteral("/Document.xml"));
    m_documentFile->FillHeader();
    XmlNode *root = m_documentFile->GetRootNode();
    XmlNode *common = root->AddChildByName(QStringLiteral("CommonData"), false);
    m_maxUnitNode = common->AddChildByName(QStringLiteral("MaxUnitID"), false);
    QRectF box;
    if (!m_document->GetPageArea_PhysicalBox(0, box))
        box = QRectF(0, 0, 210, 297);
    common->AddChildByName(QStringLiteral("PageArea"), false)
        ->AddChild(QStringLiteral("PhysicalBox"),
                   QStringLiteral("0 0 %1 %2")
                       .arg(OfdHelper::NumberText(box.width()), OfdHelper::NumberText(box.height())),
                   false);
    common->AddChild(QStringLiteral("PublicRes"), QStringLiteral("PublicRes.xml"), false);
    common->AddChild(QStringLiteral("DocumentRes"), QStringLiteral("DocumentRes.xml"), false);
    m_pagesNode = root->AddChildByName(QStringLiteral("Pages"), false);

    m_publicRes = AddFile(new OfdCreatorRes(true));
    m_publicRes->SetCurFileFullPath(m_docDir + QStringLiteral("/PublicRes.xml"));
    m_publicRes->FillHeader();
    m_documentRes = AddFile(new OfdCreatorRes(false));
    m_documentRes->SetCurFileFullPath(m_docDir + QStringLiteral("/DocumentRes.xml"));
    m_documentRes->FillHeader();
}

bool OfdCreator::InitPage()
{
    for (int i = 0; i < m_scenes.size(); ++i) {
        OfdPageScene *scene = m_scenes[i];
        if (!scene)
            return false;
        auto *page = AddFile(new OfdCreatorPage(this, i, scene->GetPageRefId()));
        const QString pageId = GetNextId();
        page->SetPageId(pageId);
        m_pageIds.insert(scene->GetPageRefId(), pageId);
        const QString location = QStringLiteral("Pages/Page_%1/Content.xml").arg(i);
        XmlNode *entry = m_pagesNode->AddChildByName(QStringLiteral("Page"), false);
        entry->AddAttr(QStringLiteral("ID"), pageId);
        entry->AddAttr(QStringLiteral("BaseLoc"), location);
        page->SetCurFileFullPath(m_docDir + QLatin1Char('/') + location);
        page->FillHeader();

        QRectF box;
        if (!m_document->GetPageArea_PhysicalBox(scene->GetPageIndex(), box))
            box = QRectF(0, 0, 210, 297);
        XmlNode *root = page->GetRootNode();
        root->AddChildByName(QStringLiteral("Area"), false)
            ->AddChild(QStringLiteral("PhysicalBox"),
                       QStringLiteral("0 0 %1 %2")
                           .arg(OfdHelper::NumberText(box.width()), OfdHelper::NumberText(box.height())),
                       false);
        XmlNode *layer = root->AddChildByName(QStringLiteral("Content"), false)
                             ->AddChildByName(QStringLiteral("Layer"), false);
        layer->AddAttr(QStringLiteral("ID"), GetNextId());
        QList<OfdVisualItem *> items;
        scene->GetVisualItemList(items);
        for (OfdVisualItem *item : qAsConst(items)) {
            // Annotations go to the annotation files; seals belong to the signatures.
            if (item->IsAnnot() || item->GetItemType() == EN_OfdVisualItemType_Seal || !item->GetPageItem())
                continue;
            page->WriteVisualItem(item, layer);
        }
        m_objectIds.insert(scene->GetPageRefId(), page->GetObjectIdMap());
        WritePageAnnotations(scene, page);
    }
    return !m_scenes.isEmpty();
}

void OfdCreator::WritePageAnnotations(OfdPageScene *scene, OfdCreatorPage *page)
{
    const QList<OfdVisualItem *> annots = OfdAnnotSupport::GetPageAnnotGroup(scene);
    if (annots.isEmpty())
        return;
    auto file = std::make_unique<OfdCreatorAnnotation>();
    const QString location = QStringLiteral("Pages/Page_%1/Annotation.xml").arg(page->GetPageIndex());
    file->SetCurFileFullPath(m_docDir + QLatin1Char('/') + location);
    file->FillHeader();
    for (OfdVisualItem *item : annots)
        item->CreateXml(page, file->GetRootNode());
    if (file->GetRootNode()->GetChildCount() == 0)
        return; // only empty drawings
    m_annotationEntries.append({page->GetPageId(), location});
    AddFile(file.release());
}

bool OfdCreator::IsGeneratedPath(const QString &path) const
{
    const QString p = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
    for (OfdXmlFile *file : m_files) {
        if (file->GetCurFileFullPath().compare(p, Qt::CaseInsensitive) == 0)
            return true;
    }
    return p.startsWith(m_docDir + QStringLiteral("/Res/"), Qt::CaseInsensitive) ||
           p.compare(m_docDir + QStringLiteral("/Annotations.xml"), Qt::CaseInsensitive) == 0;
}

void OfdCreator::CarryOutline(XmlNode *documentRoot)
{
    OfdXmlDocument *descriptor = m_document->GetXmlDocument();
    XmlNode *outlines = descriptor ? descriptor->GetOutlinesNode() : nullptr;
    if (!outlines)
        return;
    XmlNode *copy = XmlNode::FromData(outlines->CreateXmlToPlainTxt(false).toUtf8());
    if (!copy)
        return;
    // Destinations name pages by identifier: follow the new ones.
    QList<XmlNode *> stack{copy};
    while (!stack.isEmpty()) {
        XmlNode *node = stack.takeLast();
        const QString page = node->GetAttr(QStringLiteral("PageID"));
        if (!page.isEmpty() && m_pageIds.contains(page.trimmed().toInt()))
            node->SetAttr(QStringLiteral("PageID"), m_pageIds.value(page.trimmed().toInt()));
        stack += node->GetChildren();
    }
    copy->SetNameSpaceUrl(QString()); // declared on the document root already
    documentRoot->AddChild(copy, false);
}

void OfdCreator::CarryOver()
{
    XmlNode *documentRoot = m_documentFile->GetRootNode();
    CarryOutline(documentRoot);

    QSharedPointer<OfdFileReader> reader = m_manage->GetFileReader();
    if (!reader)
        return;
    OfdFileParseManage classifier;
    classifier.SetFileReader(reader);
    classifier.Parse();
    auto carry = [&](int listType, int itemType, const QString &linkName, bool remap) {
        QList<QSharedPointer<OfdFileInfoDetail>> lists;
        for (const auto &file : classifier.GetFileByType(listType)) {
            if (file->documentIndex == m_documentIndex)
                lists.append(file);
        }
        if (lists.isEmpty())
            return;
        const QString listPath = lists.first()->path;
        if (IsGeneratedPath(listPath)) {
            qDebug() << "carried file would replace a written one, left out:" << listPath;
            return;
        }
        AddFile(new OfdCreatorCopy(listPath, lists.first()->content, listType));
        for (const auto &file : classifier.GetFileByType(itemType)) {
            if (file->documentIndex != m_documentIndex || IsGeneratedPath(file->path))
                continue;
            QByteArray data = file->content;
            if (remap) {
                const QByteArray mapped = RemapCustomTagFile(data, m_pageIds, m_objectIds);
                if (!mapped.isEmpty())
                    data = mapped;
            }
            AddFile(new OfdCreatorCopy(file->path, data, itemType));
        }
        documentRoot->AddChild(linkName, m_documentFile->GetRelativePath(listPath), false);
    };
    carry(EN_OfdFileType_Attachments, EN_OfdFileType_AttachmentFile, QStringLiteral("Attachments"), false);
    carry(EN_OfdFileType_CustomTags, EN_OfdFileType_CustomTag, QStringLiteral("CustomTags"), true);
}

QByteArray OfdCreator::CreateOfdFile()
{
    OfdFileWriter writer;
    for (OfdXmlFile *file : qAsConst(m_files)) {
        QList<OfdFileInfo *> infos = file->GetFileInfo();
        writer.AddFile(infos);
    }
    return writer.GetZipData();
}

bool OfdCreator::HasSignatures(OfdViewManage *manage, int document)
{
    OfdFile *file = manage ? manage->GetOfdFile(document) : nullptr;
    if (!file)
        return false;
    if (file->GetSignatures())
        return true;
    const QString path = file->GetRootDocBody() ? file->GetRootDocBody()->GetSignaturesPath() : QString();
    return !path.isEmpty() && !file->GetOfdFileContent(path).isEmpty();
}

bool OfdCreator::SaveOfdFile(OfdViewManage *manage, int document, const QList<OfdPageScene *> &scenes,
                             const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!manage || !manage->GetOfdFile(document))
        return fail(QString::fromUtf8("没有打开的文档"));
    if (path.isEmpty())
        return fail(QString::fromUtf8("没有目标文件名"));
    QByteArray bytes;
    if (OfdPackagePatch::CanPatch(manage, document)) {
        OfdPackagePatch patch(manage, document);
        patch.SetPageScenes(scenes);
        bytes = patch.GetZipData();
        if (bytes.isEmpty())
            return fail(patch.GetError());
    } else {
        OfdCreator creator;
        creator.SetOfd(manage, document);
        creator.SetPageScenes(scenes);
        creator.SetOutputName(path);
        bytes = creator.GetFileData();
        if (bytes.isEmpty())
            return fail(QString::fromUtf8("无法生成文档内容"));
    }
    return WriteFileAtomic(path, bytes, error);
}

void OfdCreator::SetFailWritesForTest(bool fail)
{
    g_failWrites = fail;
}

bool OfdCreator::WriteFileAtomic(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty() || bytes.isEmpty())
        return fail(QString::fromUtf8("没有可写入的内容"));
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return fail(QString::fromUtf8("目标不是普通文件：%1").arg(path));
    if (target.exists() && !target.isWritable())
        return fail(QString::fromUtf8("目标文件不可写：%1").arg(path));
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QString::fromUtf8("无法在目标文件夹中创建文件：%1").arg(file.errorString()));
    if (file.write(bytes) != bytes.size() || g_failWrites) {
        const QString why = g_failWrites ? QStringLiteral("simulated write failure") : file.errorString();
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return fail(QString::fromUtf8("写入失败：%1").arg(why));
    }
    if (!file.commit())
        return fail(QString::fromUtf8("无法替换目标文件：%1").arg(file.errorString()));
    return true;
}
