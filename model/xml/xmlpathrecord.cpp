#include "model/xml/xmlpathrecord.h"

QString XmlPathRecord::ToString() const
{
    QString out;
    for (const QString &name : m_path) {
        out += name;
        out += QLatin1Char('/');
    }
    return out;
}
