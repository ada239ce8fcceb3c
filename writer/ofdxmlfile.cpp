#include "writer/ofdxmlfile.h"

#include "model/xml/ofdcreatorparam.h"
#include "model/xml/xmlnode.h"

OfdXmlFile::OfdXmlFile() = default;
OfdXmlFile::~OfdXmlFile() = default;

void OfdXmlFile::SetCurFileFullPath(const QString &path)
{
    m_path = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
}

QString OfdXmlFile::GetRootDir() const
{
    const int slash = m_path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : m_path.left(slash);
}

QString OfdXmlFile::GetRelativePath(const QString &packagePath) const
{
    QString path = packagePath.startsWith(QLatin1Char('/')) ? packagePath.mid(1) : packagePath;
    const QString dir = GetRootDir();
    if (dir.isEmpty())
        return path;
    if (path.startsWith(dir + QLatin1Char('/')))
        return path.mid(dir.size() + 1);
    return QLatin1Char('/') + path; // outside this file's directory: from the package top
}

XmlNode *OfdXmlFile::GetRootNode()
{
    if (!m_root) {
        m_root = std::make_unique<XmlNode>();
        m_root->SetNameSpaceUrl(OfdCreatorParam::OFD_NameSpaceUrl);
    }
    return m_root.get();
}

void OfdXmlFile::FillRoot(const QString &name)
{
    XmlNode *root = GetRootNode();
    root->SetOfdNameSpace();
    root->SetNameSpaceUrl(OfdCreatorParam::OFD_NameSpaceUrl);
    root->SetName(name);
}

QList<OfdFileInfo *> OfdXmlFile::GetFileInfo()
{
    auto *info = new OfdFileInfo;
    info->path = m_path;
    info->data = GetRootNode()->CreateXml(false).toUtf8();
    return {info};
}
