#include "model/xml/xmlhelper.h"

bool XmlHelper::IsNeedEscape(const QString &s)
{
    for (const QChar c : s) {
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('"') || c == QLatin1Char('&'))
            return true;
    }
    return false;
}

QString XmlHelper::XmlStringEscape(const QString &s)
{
    if (!IsNeedEscape(s))
        return s;
    return s.toHtmlEscaped();
}

QString XmlHelper::GetXmlNameWithoutNamespace(const QString &q)
{
    const int colon = q.indexOf(QLatin1Char(':'));
    return colon < 0 ? q : q.mid(colon + 1);
}
