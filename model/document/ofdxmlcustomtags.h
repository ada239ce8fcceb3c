#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

#include "model/xml/ofdxml.h"

class OfdContentSource;
class XmlNode;

// A reference from a custom tag to one page object: page ID and object ID.
struct OfdCustomTagRef
{
    QString tagName; // local name of the element holding the reference, e.g. "InvoiceNo"
    QString tagPath; // names from the tag file's root down to that element, joined by "/"
    int pageId = 0;
    int objectId = 0;
};

// One custom tag entry of CustomTags.xml with its tag file read into a tree.
struct OfdCustomTag
{
    QString id;
    QString nameSpace;
    QString schemaLoc;             // resolved package path, may be empty
    QString fileLoc;               // resolved package path of the tag file
    std::unique_ptr<XmlNode> tree; // the tag file, null when it could not be read
    QList<OfdCustomTagRef> refs;   // every object reference of the tag file, in document order
};

// The custom tags of a document (CustomTags.xml and the tag files it names), which mark page
// objects with meaning, such as the fields of an invoice.
class OfdXmlCustomTags : public OfdXml
{
public:
    OfdXmlCustomTags();
    ~OfdXmlCustomTags() override;

    // Reads the list from its own path through the package, then every tag file.
    bool Load(OfdContentSource *package);
    bool Parse(const QByteArray &listBytes, OfdContentSource *package);

    int GetCount() const { return int(m_tags.size()); }
    const OfdCustomTag *GetTag(int i) const;
    // The references of all tags grouped by page ID, for highlighting.
    QHash<int, QList<OfdCustomTagRef>> ToHashGroupByPage() const;

private:
    std::vector<std::unique_ptr<OfdCustomTag>> m_tags;
};
