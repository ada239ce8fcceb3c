#include "writer/ofdcreatorfiles.h"

#include "model/document/ofdfileinfodetail.h"
#include "model/xml/xmlnode.h"

void OfdCreatorRoot::FillHeader()
{
    FillRoot(QStringLiteral("OFD"));
}

int OfdCreatorRoot::GetOfdFileType() const
{
    return EN_OfdFileType_Root;
}

void OfdCreatorDocument::FillHeader()
{
    FillRoot(QStringLiteral("Document"));
}

int OfdCreatorDocument::GetOfdFileType() const
{
    return EN_OfdFileType_Document;
}

void OfdCreatorRes::FillHeader()
{
    FillRoot(QStringLiteral("Res"));
    GetRootNode()->AddAttr(QStringLiteral("BaseLoc"), BaseLoc());
}

int OfdCreatorRes::GetOfdFileType() const
{
    return m_public ? EN_OfdFileType_PublicRes : EN_OfdFileType_DocumentRes;
}

void OfdCreatorRes::AddFont(int id, const OfdCreatorFontInfo &font)
{
    m_fonts.append({id, font});
}

void OfdCreatorRes::AddColorSpace(int id, const QString &type)
{
    m_colorSpaces.append({id, type});
}

void OfdCreatorRes::AddMultiMedia(int id, const OfdCreatorMultiMediaInfo &media)
{
    m_media.append({id, media});
}

QList<OfdFileInfo *> OfdCreatorRes::GetFileInfo()
{
    QList<OfdFileInfo *> data;
    const QString dataDir = GetRootDir().isEmpty() ? BaseLoc() : GetRootDir() + QLatin1Char('/') + BaseLoc();
    XmlNode *root = GetRootNode();
    // Children in the order of the format: colour spaces, fonts, multimedia.
    if (!m_colorSpaces.isEmpty()) {
        XmlNode *spaces = root->AddChildByName(QStringLiteral("ColorSpaces"), false);
        for (const auto &space : qAsConst(m_colorSpaces)) {
            XmlNode *node = spaces->AddChildByName(QStringLiteral("ColorSpace"), false);
            node->AddAttr(QStringLiteral("ID"), space.first);
            node->AddAttr(QStringLiteral("Type"), space.second);
            node->AddAttr(QStringLiteral("BitsPerComponent"), 8);
        }
    }
    if (!m_fonts.isEmpty()) {
        XmlNode *fonts = root->AddChildByName(QStringLiteral("Fonts"), false);
        for (const auto &font : qAsConst(m_fonts)) {
            XmlNode *node = fonts->AddChildByName(QStringLiteral("Font"), false);
            node->AddAttr(QStringLiteral("ID"), font.first);
            node->AddAttr(QStringLiteral("FontName"), font.second.fontName);
            node->AddAttrIfNotEmpty(QStringLiteral("FamilyName"), font.second.familyName);
            if (font.second.bold)
                node->AddAttrBool(QStringLiteral("Bold"), true);
            if (font.second.italic)
                node->AddAttrBool(QStringLiteral("Italic"), true);
            if (font.second.serif)
                node->AddAttrBool(QStringLiteral("Serif"), true);
            if (!font.second.fontFile.isEmpty()) {
                const QString ext =
                    font.second.fontFileExt.isEmpty() ? QStringLiteral("ttf") : font.second.fontFileExt;
                const QString name = QStringLiteral("Font_%1.%2").arg(font.first).arg(ext);
                node->AddChild(QStringLiteral("FontFile"), name, false);
                data.append(new OfdFileInfo{dataDir + QLatin1Char('/') + name, font.second.fontFile});
            }
        }
    }
    if (!m_media.isEmpty()) {
        XmlNode *medias = root->AddChildByName(QStringLiteral("MultiMedias"), false);
        for (const auto &media : qAsConst(m_media)) {
            XmlNode *node = medias->AddChildByName(QStringLiteral("MultiMedia"), false);
            node->AddAttr(QStringLiteral("ID"), media.first);
            node->AddAttr(QStringLiteral("Type"), media.second.type);
            node->AddAttrIfNotEmpty(QStringLiteral("Format"), media.second.format);
            const QString ext = media.second.fileExt.isEmpty() ? QStringLiteral("bin") : media.second.fileExt;
            const QString name = QStringLiteral("Data_%1.%2").arg(media.first).arg(ext);
            node->AddChild(QStringLiteral("MediaFile"), name, false);
            data.append(new OfdFileInfo{dataDir + QLatin1Char('/') + name, media.second.data});
        }
    }
    QList<OfdFileInfo *> files = OfdXmlFile::GetFileInfo();
    return files + data;
}

void OfdCreatorAnnotations::FillHeader()
{
    FillRoot(QStringLiteral("Annotations"));
}

int OfdCreatorAnnotations::GetOfdFileType() const
{
    return EN_OfdFileType_Annotations;
}

void OfdCreatorAnnotation::FillHeader()
{
    FillRoot(QStringLiteral("PageAnnot"));
}

int OfdCreatorAnnotation::GetOfdFileType() const
{
    return EN_OfdFileType_PageAnnot;
}

OfdCreatorCopy::OfdCreatorCopy(const QString &path, const QByteArray &data, int type)
    : m_data(data), m_type(type)
{
    SetCurFileFullPath(path);
}

QList<OfdFileInfo *> OfdCreatorCopy::GetFileInfo()
{
    return {new OfdFileInfo{GetCurFileFullPath(), m_data}};
}
