#include "model/xml/ofdxml.h"

#include "model/package/ofdpathhelper.h"
#include "model/xml/xmlnode.h"

OfdXml::OfdXml() = default;
OfdXml::~OfdXml() = default;

void OfdXml::SetRootNode(XmlNode *root)
{
    m_root.reset(root);
}

QString OfdXml::GetOfdFullPath(const QString &location) const
{
    return OfdPathHelper::GetOfdFullPath(m_filePath, location);
}

QString OfdXml::GetOfdFullPath(const QString &location, const QString &second) const
{
    if (second.isEmpty())
        return QString();
    return OfdPathHelper::GetOfdFullPath(m_filePath, location, second);
}
