#pragma once

#include <QByteArray>
#include <QString>

class OfdXmlPage;
class OfdXmlPageLayerGroup;

// Parses one content file (a page's or a template's) into a layer group, bound to the page that
// uses it.
class OfdXmlPageContentParse
{
public:
    // contentPath is the package path of the content file when it is not the page's own (a
    // template's): locations written in it are resolved against it.
    explicit OfdXmlPageContentParse(OfdXmlPage *page, const QString &contentPath = QString())
        : m_page(page), m_contentPath(contentPath)
    {
    }

    // A new group (caller owns it); never null, possibly empty.
    OfdXmlPageLayerGroup *Parse(const QByteArray &content);

private:
    OfdXmlPage *m_page;
    QString m_contentPath;
};
