#pragma once

#include <QByteArray>

class OfdXmlPage;
class OfdXmlPageLayerGroup;

// Parses one content file (a page's or a template's) into a layer group, bound to the page that
// uses it.
class OfdXmlPageContentParse
{
public:
    explicit OfdXmlPageContentParse(OfdXmlPage *page) : m_page(page) {}

    // A new group (caller owns it); never null, possibly empty.
    OfdXmlPageLayerGroup *Parse(const QByteArray &content);

private:
    OfdXmlPage *m_page;
};
