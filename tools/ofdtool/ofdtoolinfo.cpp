#include "ofdtoolinfo.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QTextStream>

#include <memory>

#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/content/ofdxmlpage.h"
#include "model/document/ofddocumentresmanage.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdfileparsemanage.h"
#include "model/document/ofdxmlattachments.h"
#include "model/document/ofdxmlres.h"
#include "model/document/ofdxmlresmanange.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "ofdtoolcommand.h"
#include "ofdtooldocument.h"
#include "render/fonts/fontsubstitution.h"
#include "render/imaging/ofdimageformat.h"

namespace {
QString Number(double value)
{
    return QString::number(value, 'g', 6);
}

void CollectFonts(OfdFile *document, OfdFileReader *reader, OfdToolDocumentInfo &info)
{
    OfdDocumentResManage *res = document->GetResManage();
    if (!res)
        return;
    for (OfdXmlRes *file : res->GetDocumentRes()) {
        for (OfdTypeFont *font : file->GetFonts()) {
            OfdToolDocumentInfo::Font entry;
            entry.id = font->GetID();
            entry.fontName = font->GetFontName();
            entry.familyName = font->GetFamilyName();
            entry.embedded = !font->GetFontFile().isEmpty() && reader &&
                             !reader->GetFileContent(font->GetFontFile()).isEmpty();
            if (entry.embedded) {
                entry.file = font->GetFontFile();
                entry.describe = QStringLiteral("embedded (%1)").arg(entry.file);
            } else {
                const FontChoice choice = FontSubstitution::Resolve(entry.fontName, entry.familyName);
                entry.substitute = choice.family;
                entry.describe = choice.Describe();
            }
            info.fonts << entry;
        }
    }
}

void CollectImages(OfdFile *document, OfdFileReader *reader, OfdToolDocumentInfo &info)
{
    OfdDocumentResManage *res = document->GetResManage();
    if (!res)
        return;
    // Page resource files are read while pages are parsed.
    document->TryParseAllPage();
    QList<OfdXmlRes *> files = res->GetDocumentRes();
    QSet<int> keys;
    for (int i = 0; i < document->GetPageCount(); ++i) {
        OfdXmlPage *page = document->GetPage(i);
        const int key = page ? page->GetPageRefId() : 0;
        if (keys.contains(key))
            continue;
        keys.insert(key);
        if (OfdXmlResManange *pageRes = res->GetPageRes(key))
            files += pageRes->GetResList();
    }
    QSet<QString> seen; // a media file named by several resource files counts once
    for (OfdXmlRes *file : files) {
        for (OfdTypeMultiMedia *media : file->GetMultiMedias()) {
            const QString type = media->GetType().trimmed();
            if (!type.isEmpty() && type.compare(QLatin1String("Image"), Qt::CaseInsensitive) != 0)
                continue;
            if (seen.contains(media->GetMediaFile()))
                continue;
            seen.insert(media->GetMediaFile());
            const QByteArray bytes = reader ? reader->GetFileContent(media->GetMediaFile()) : QByteArray();
            OfdImageFormat format = OfdImageFormats::Detect(bytes);
            if (format == OfdImageFormat::Unknown)
                format = OfdImageFormats::FromHint(media->GetFormat());
            if (format == OfdImageFormat::Unknown)
                format = OfdImageFormats::FromHint(media->GetMediaFile());
            QString name = OfdImageFormats::Name(format);
            if (bytes.isEmpty())
                name += QStringLiteral(" (missing)");
            info.imagesByFormat[name] += 1;
        }
    }
}

void CollectClassified(OfdToolDocument &package, QList<OfdToolDocumentInfo> &documents)
{
    OfdFileParseManage classifier;
    classifier.SetFileReader(package.GetReader());
    classifier.Parse();
    for (const QSharedPointer<OfdFileInfoDetail> &file : classifier.GetAllFile()) {
        if (file->documentIndex < 0 || file->documentIndex >= documents.size())
            continue;
        OfdToolDocumentInfo &info = documents[file->documentIndex];
        if (file->type == EN_OfdFileType_Signature) {
            ++info.signatures;
        } else if (file->type == EN_OfdFileType_PageAnnot) {
            ++info.annotationFiles;
            std::unique_ptr<XmlNode> root(XmlNode::FromData(file->content));
            if (root) {
                QList<XmlNode *> annots;
                root->GetAllChildByName(QStringLiteral("Annot"), annots);
                info.annotations += annots.size();
            }
        }
    }
}
} // namespace

int OfdToolDocumentInfo::ImageCount() const
{
    int total = 0;
    for (int count : imagesByFormat)
        total += count;
    return total;
}

QList<OfdToolDocumentInfo> OfdToolInfo::Collect(OfdToolDocument &package)
{
    QList<OfdToolDocumentInfo> documents;
    OfdFileReader *reader = package.GetReader().data();
    for (int d = 0; d < package.GetDocumentCount(); ++d) {
        OfdToolDocumentInfo info;
        if (OfdFile *document = package.GetDocument(d)) {
            for (int i = 0; i < document->GetPageCount(); ++i) {
                OfdToolDocumentInfo::Page page;
                QRectF box;
                if (document->GetPageArea_PhysicalBox(i, box) && box.width() > 0 && box.height() > 0) {
                    page.widthMM = box.width();
                    page.heightMM = box.height();
                }
                info.pages << page;
            }
            CollectFonts(document, reader, info);
            CollectImages(document, reader, info);
            if (OfdXmlAttachments *attachments = document->GetAttachmentInfoGroup()) {
                for (const OfdAttachmentInfo &a : attachments->GetAttachments())
                    info.attachments << OfdToolDocumentInfo::Attachment{a.name, a.format, a.size};
            }
        }
        documents << info;
    }
    CollectClassified(package, documents);
    return documents;
}

void OfdToolInfo::PrintText(QTextStream &out, const QString &path,
                            const QList<OfdToolDocumentInfo> &documents)
{
    out << "File: " << path << "\n";
    out << "Documents: " << documents.size() << "\n";
    for (int d = 0; d < documents.size(); ++d) {
        const OfdToolDocumentInfo &info = documents[d];
        out << "Document " << d + 1 << "\n";
        out << "  Pages: " << info.pages.size() << "\n";
        for (int i = 0; i < info.pages.size(); ++i) {
            const OfdToolDocumentInfo::Page &page = info.pages[i];
            out << "    " << i + 1 << ": ";
            if (page.widthMM > 0)
                out << Number(page.widthMM) << " x " << Number(page.heightMM) << " mm\n";
            else
                out << "no size\n";
        }
        out << "  Fonts: " << info.fonts.size() << "\n";
        for (const OfdToolDocumentInfo::Font &font : info.fonts) {
            const QString name = font.fontName.isEmpty() ? font.familyName : font.fontName;
            out << "    " << font.id << " " << name << ": " << font.describe << "\n";
        }
        out << "  Images: " << info.ImageCount();
        QStringList formats;
        for (auto it = info.imagesByFormat.cbegin(); it != info.imagesByFormat.cend(); ++it)
            formats << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        if (!formats.isEmpty())
            out << " (" << formats.join(QStringLiteral(", ")) << ")";
        out << "\n";
        out << "  Annotations: " << info.annotations << " in " << info.annotationFiles << " page file(s)\n";
        out << "  Attachments: " << info.attachments.size() << "\n";
        for (const OfdToolDocumentInfo::Attachment &a : info.attachments)
            out << "    " << a.name
                << (a.format.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(a.format)) << "\n";
        out << "  Signatures: " << info.signatures << "\n";
    }
}

QJsonObject OfdToolInfo::ToJson(const QString &path, const QList<OfdToolDocumentInfo> &documents)
{
    QJsonArray docs;
    for (const OfdToolDocumentInfo &info : documents) {
        QJsonArray pages;
        for (int i = 0; i < info.pages.size(); ++i) {
            pages.append(QJsonObject{{QStringLiteral("number"), i + 1},
                                     {QStringLiteral("widthMM"), info.pages[i].widthMM},
                                     {QStringLiteral("heightMM"), info.pages[i].heightMM}});
        }
        QJsonArray fonts;
        for (const OfdToolDocumentInfo::Font &font : info.fonts) {
            QJsonObject f{{QStringLiteral("id"), font.id},
                          {QStringLiteral("fontName"), font.fontName},
                          {QStringLiteral("familyName"), font.familyName},
                          {QStringLiteral("embedded"), font.embedded},
                          {QStringLiteral("describe"), font.describe}};
            if (font.embedded)
                f.insert(QStringLiteral("file"), font.file);
            else
                f.insert(QStringLiteral("substitute"), font.substitute);
            fonts.append(f);
        }
        QJsonObject byFormat;
        for (auto it = info.imagesByFormat.cbegin(); it != info.imagesByFormat.cend(); ++it)
            byFormat.insert(it.key(), it.value());
        QJsonArray attachments;
        for (const OfdToolDocumentInfo::Attachment &a : info.attachments) {
            attachments.append(QJsonObject{{QStringLiteral("name"), a.name},
                                           {QStringLiteral("format"), a.format},
                                           {QStringLiteral("sizeKB"), a.sizeKB}});
        }
        docs.append(QJsonObject{
            {QStringLiteral("pageCount"), info.pages.size()},
            {QStringLiteral("pages"), pages},
            {QStringLiteral("fonts"), fonts},
            {QStringLiteral("images"), QJsonObject{{QStringLiteral("count"), info.ImageCount()},
                                                   {QStringLiteral("byFormat"), byFormat}}},
            {QStringLiteral("annotations"), QJsonObject{{QStringLiteral("count"), info.annotations},
                                                        {QStringLiteral("pageFiles"), info.annotationFiles}}},
            {QStringLiteral("attachments"), attachments},
            {QStringLiteral("signatures"), info.signatures},
        });
    }
    return QJsonObject{{QStringLiteral("file"), path}, {QStringLiteral("documents"), docs}};
}

int OfdToolInfo::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    if (!parsed.Parse(args, {}, {QStringLiteral("--json")}) || parsed.Positional().size() != 1) {
        io.err << "ofdtool info: "
               << (parsed.Error().isEmpty() ? QStringLiteral("expected one FILE") : parsed.Error()) << "\n"
               << "Usage: ofdtool info FILE [--json]\n";
        return OfdToolExit_Usage;
    }
    const QString path = parsed.Positional().first();
    OfdToolDocument package;
    if (!package.Open(path)) {
        io.err << "ofdtool: " << package.Error() << "\n";
        return OfdToolExit_Unreadable;
    }
    const QList<OfdToolDocumentInfo> documents = Collect(package);
    if (parsed.Has(QStringLiteral("--json")))
        io.out << QString::fromUtf8(QJsonDocument(ToJson(path, documents)).toJson(QJsonDocument::Indented));
    else
        PrintText(io.out, path, documents);
    return OfdToolExit_Ok;
}
