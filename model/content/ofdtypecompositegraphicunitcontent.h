#pragma once

#include <memory>

class QXmlStreamReader;
class XmlNode;
class OfdDocumentAccess;

// The Content of a composite graphic unit: its id and its page objects, kept as the element's tree
// until the page model turns them into a page block.
class OfdTypeCompositeGraphicUnitContent
{
public:
    explicit OfdTypeCompositeGraphicUnitContent(OfdDocumentAccess *document = nullptr);
    virtual ~OfdTypeCompositeGraphicUnitContent();
    OfdTypeCompositeGraphicUnitContent(const OfdTypeCompositeGraphicUnitContent &) = delete;
    OfdTypeCompositeGraphicUnitContent &operator=(const OfdTypeCompositeGraphicUnitContent &) = delete;

    // Reads the Content element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    // The Content element with its objects (owned; null before parsing).
    XmlNode *GetContentNode() const { return m_contentNode.get(); }
    OfdDocumentAccess *GetOfdFile() const { return m_document; }

private:
    int m_id = 0;
    OfdDocumentAccess *m_document;
    std::unique_ptr<XmlNode> m_contentNode;
};
