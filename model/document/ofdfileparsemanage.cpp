#include "model/document/ofdfileparsemanage.h"

#include <QDebug>

#include <memory>

#include "model/package/ofdfilereader.h"
#include "model/package/ofdpathhelper.h"
#include "model/xml/xmlnode.h"

namespace {
QString ChildText(XmlNode *node, const char *name)
{
    XmlNode *child = node ? node->GetOneChildByName(QLatin1String(name)) : nullptr;
    return child ? child->GetText().trimmed() : QString();
}
} // namespace

bool SortOfdFilePage(const QSharedPointer<OfdFileInfoDetail> &a, const QSharedPointer<OfdFileInfoDetail> &b)
{
    return a->pageNumber < b->pageNumber;
}

QByteArray OfdFileParseManage::GetFileContent(const QString &path)
{
    return m_reader ? m_reader->GetFileContent(path) : QByteArray();
}

bool OfdFileParseManage::InitFileList()
{
    m_files.clear();
    if (!m_reader || GetFileContent(QStringLiteral("OFD.xml")).isEmpty())
        return false;
    for (const QString &path : m_reader->GetFilePathList()) {
        auto detail = QSharedPointer<OfdFileInfoDetail>::create();
        detail->path = path;
        detail->content = m_reader->GetFileContent(path);
        if (path == QLatin1String("OFD.xml"))
            detail->type = EN_OfdFileType_Root;
        m_files.append(detail);
    }
    return true;
}

XmlNode *OfdFileParseManage::ParseEntry(const QString &path) const
{
    const QSharedPointer<OfdFileInfoDetail> detail = GetOfdFile(path);
    return detail ? XmlNode::FromData(detail->content) : nullptr;
}

int OfdFileParseManage::Parse()
{
    if (!InitFileList())
        return 0;
    std::unique_ptr<XmlNode> root(ParseEntry(QStringLiteral("OFD.xml")));
    if (root) {
        int documentIndex = 0;
        for (XmlNode *body : root->GetChildren()) {
            if (body->GetName() != QLatin1String("DocBody"))
                continue;
            const QString docRoot = GetOfdFullPath(QString(), ChildText(body, "DocRoot"));
            if (!docRoot.isEmpty() && SetOfdFileType(docRoot, EN_OfdFileType_Document, documentIndex))
                ParseDocument(docRoot, documentIndex);
            const QString signatures = GetOfdFullPath(QString(), ChildText(body, "Signatures"));
            if (!signatures.isEmpty() && SetOfdFileType(signatures, EN_OfdFileType_Signatures, documentIndex))
                ParseSignatures(signatures, documentIndex);
            ++documentIndex;
        }
    }
    const int unset = GetUnsetTypeFileCount();
    if (unset > 0)
        qDebug() << "*****Unset count:" << unset << (m_reader ? m_reader->GetFileFullName() : QString());
    return unset;
}

void OfdFileParseManage::ParseDocument(const QString &path, int documentIndex)
{
    std::unique_ptr<XmlNode> doc(ParseEntry(path));
    if (!doc)
        return;

    const QString annotations = ChildText(doc.get(), "Annotations");
    if (!annotations.isEmpty())
        ParseListFile(GetOfdFullPath(path, annotations), EN_OfdFileType_Annotations, QStringLiteral("Page"),
                      EN_OfdFileType_PageAnnot, documentIndex);
    const QString customTags = ChildText(doc.get(), "CustomTags");
    if (!customTags.isEmpty())
        ParseListFile(GetOfdFullPath(path, customTags), EN_OfdFileType_CustomTags,
                      QStringLiteral("CustomTag"), EN_OfdFileType_CustomTag, documentIndex);

    if (XmlNode *common = doc->GetOneChildByName(QStringLiteral("CommonData"))) {
        for (XmlNode *child : common->GetChildren()) {
            const QString name = child->GetName();
            if (name == QLatin1String("PublicRes") || name == QLatin1String("DocumentRes")) {
                const int type = name == QLatin1String("PublicRes") ? EN_OfdFileType_PublicRes
                                                                    : EN_OfdFileType_DocumentRes;
                ParseResFile(GetOfdFullPath(path, child->GetText().trimmed()), type, documentIndex);
            } else if (name == QLatin1String("TemplatePage")) {
                const QString loc = child->GetAttr(QStringLiteral("BaseLoc"));
                if (!loc.isEmpty())
                    SetOfdFileType(GetOfdFullPath(path, loc), EN_OfdFileType_TemplatePage, documentIndex);
            }
        }
        if (XmlNode *box = common->GetNodeByName(QStringLiteral("PhysicalBox")))
            m_defaultPhysicalBox = box->GetText().trimmed();
    }

    const QString attachments = ChildText(doc.get(), "Attachments");
    if (!attachments.isEmpty())
        ParseListFile(GetOfdFullPath(path, attachments), EN_OfdFileType_Attachments,
                      QStringLiteral("Attachment"), EN_OfdFileType_AttachmentFile, documentIndex);

    if (XmlNode *pages = doc->GetOneChildByName(QStringLiteral("Pages"))) {
        QList<XmlNode *> pageNodes;
        pages->GetAllChildByName(QStringLiteral("Page"), pageNodes);
        for (int i = 0; i < pageNodes.size(); ++i) {
            const QString pagePath = GetOfdFullPath(path, pageNodes[i]->GetAttr(QStringLiteral("BaseLoc")));
            if (!SetOfdFileType(pagePath, EN_OfdFileType_Page, documentIndex))
                continue;
            QSharedPointer<OfdFileInfoDetail> detail = GetOfdFile(pagePath);
            detail->pageNumber = i;
            detail->pageId = pageNodes[i]->GetAttr(QStringLiteral("ID")).toInt();
            detail->physicalBox = GetPagePhysicalBox(detail->content);
        }
    }
}

void OfdFileParseManage::ParseResFile(const QString &path, int type, int documentIndex)
{
    if (!SetOfdFileType(path, type, documentIndex))
        return;
    std::unique_ptr<XmlNode> res(ParseEntry(path));
    if (!res)
        return;
    const QString baseLoc = res->GetAttr(QStringLiteral("BaseLoc"));
    const auto classify = [&](const char *group, const char *item, const char *fileElement) {
        QList<XmlNode *> groups;
        res->GetAllChildByName(QLatin1String(group), groups);
        for (XmlNode *g : groups) {
            QList<XmlNode *> items;
            g->GetAllChildByName(QLatin1String(item), items);
            for (XmlNode *it : items) {
                const QString file = ChildText(it, fileElement);
                if (!file.isEmpty())
                    SetOfdFileType(OfdPathHelper::GetOfdFullPath(path, baseLoc, file), EN_OfdFileType_ResFile,
                                   documentIndex);
            }
        }
    };
    classify("MultiMedias", "MultiMedia", "MediaFile");
    classify("Fonts", "Font", "FontFile");
}

void OfdFileParseManage::ParseListFile(const QString &path, int listType, const QString &itemName,
                                       int itemType, int documentIndex)
{
    if (!SetOfdFileType(path, listType, documentIndex))
        return;
    std::unique_ptr<XmlNode> list(ParseEntry(path));
    if (!list)
        return;
    QList<XmlNode *> items;
    list->GetAllChildByName(itemName, items);
    for (XmlNode *item : items) {
        const QString loc = ChildText(item, "FileLoc");
        if (!loc.isEmpty())
            SetOfdFileType(GetOfdFullPath(path, loc), itemType, documentIndex);
    }
}

void OfdFileParseManage::ParseSignatures(const QString &path, int documentIndex)
{
    std::unique_ptr<XmlNode> list(ParseEntry(path));
    if (!list)
        return;
    QList<XmlNode *> signatures;
    list->GetAllChildByName(QStringLiteral("Signature"), signatures);
    for (int i = 0; i < signatures.size(); ++i) {
        const QString signaturePath = GetOfdFullPath(path, signatures[i]->GetAttr(QStringLiteral("BaseLoc")));
        if (!SetOfdFileType(signaturePath, EN_OfdFileType_Signature, documentIndex))
            continue;
        QSharedPointer<OfdFileInfoDetail> detail = GetOfdFile(signaturePath);
        detail->signatureNumber = i;
        std::unique_ptr<XmlNode> signature(XmlNode::FromData(detail->content));
        if (!signature)
            continue;
        XmlNode *signedValue = signature->GetNodeByName(QStringLiteral("SignedValue"));
        if (signedValue && !signedValue->GetText().trimmed().isEmpty()) {
            detail->signedValuePath = GetOfdFullPath(signaturePath, signedValue->GetText().trimmed());
            SetOfdFileType(detail->signedValuePath, EN_OfdFileType_SignedValue, documentIndex);
        }
        XmlNode *signedInfo = signature->GetNodeByName(QStringLiteral("SignedInfo"));
        XmlNode *seal = signedInfo ? signedInfo->GetOneChildByName(QStringLiteral("Seal")) : nullptr;
        const QString sealLoc = ChildText(seal, "BaseLoc");
        if (!sealLoc.isEmpty()) {
            detail->sealPath = GetOfdFullPath(signaturePath, sealLoc);
            SetOfdFileType(detail->sealPath, EN_OfdFileType_Seal, documentIndex);
        }
    }
}

QList<QSharedPointer<OfdFileInfoDetail>> OfdFileParseManage::GetFileByType(int type) const
{
    QList<QSharedPointer<OfdFileInfoDetail>> result;
    for (const auto &detail : m_files) {
        if (detail->type == type)
            result.append(detail);
    }
    return result;
}

QSharedPointer<OfdFileInfoDetail> OfdFileParseManage::GetOfdFile(const QString &path) const
{
    for (const auto &detail : m_files) {
        if (IsOfdFilePathEqual(detail->path, path))
            return detail;
    }
    return {};
}

bool OfdFileParseManage::SetOfdFileType(const QString &path, int type, int documentIndex)
{
    QSharedPointer<OfdFileInfoDetail> detail = GetOfdFile(path);
    if (!detail) {
        qDebug() << "**********SetOfdFileType*********";
        qDebug() << path;
        qDebug() << "--------------";
        for (const auto &d : qAsConst(m_files))
            qDebug() << d->path;
        return false;
    }
    detail->type = type;
    detail->documentIndex = documentIndex;
    return true;
}

int OfdFileParseManage::GetUnsetTypeFileCount() const
{
    int count = 0;
    for (const auto &detail : m_files) {
        // Directory entries carry no file to classify.
        if (detail->type == EN_OfdFileType_Unknown && !detail->path.endsWith(QLatin1Char('/'))) {
            if (count == 0)
                qDebug() << "****GetUnsetTypeFileCount";
            qDebug() << detail->path;
            ++count;
        }
    }
    return count;
}

QString OfdFileParseManage::GetPagePhysicalBox(const QByteArray &content)
{
    std::unique_ptr<XmlNode> page(XmlNode::FromData(content, QStringLiteral("Area")));
    if (!page)
        return QString();
    for (XmlNode *area : page->GetChildren()) {
        if (XmlNode *box = area->GetOneChildByName(QStringLiteral("PhysicalBox")))
            return box->GetText().trimmed();
    }
    return QString();
}
