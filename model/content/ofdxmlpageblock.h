#pragma once

#include <QList>

class QXmlStreamReader;
class XmlNode;
class OfdDocumentAccess;
class OfdPageItem;
class OfdXmlPageLayer;

// The page objects of a layer (or of a pattern cell or composite unit), in document order. Objects
// inside page blocks are flattened into the list in their document order. Owns its objects.
class OfdXmlPageBlock
{
public:
    OfdXmlPageBlock() = default;
    ~OfdXmlPageBlock();
    OfdXmlPageBlock(const OfdXmlPageBlock &) = delete;
    OfdXmlPageBlock &operator=(const OfdXmlPageBlock &) = delete;

    // Reads the children of the element the reader is on (a Layer, CellContent, Content), to its
    // end tag.
    void ParseXml(QXmlStreamReader &reader);

    void SetOfdFile(OfdDocumentAccess *document) { m_document = document; }
    OfdDocumentAccess *GetOfdFile() const { return m_document; }
    void SetLayer(OfdXmlPageLayer *layer) { m_layer = layer; }
    OfdXmlPageLayer *GetLayer() const { return m_layer; }
    // Own key when non-zero, else the layer's, else 0.
    int GetPageRefId() const;
    void SetPageRefId(int id) { m_pageRefId = id; }

    const QList<OfdPageItem *> &GetItems() const { return m_items; }
    int GetItemCount() const { return m_items.size(); }

    // Page blocks nest no deeper than this; objects below are left out.
    static constexpr int kMaxBlockDepth = 32;

private:
    OfdPageItem *CreateItem(const QString &qualifiedName) const;
    void AddItem(OfdPageItem *item, QXmlStreamReader &reader);

    OfdDocumentAccess *m_document = nullptr;
    OfdXmlPageLayer *m_layer = nullptr;
    int m_pageRefId = 0;
    QList<OfdPageItem *> m_items;
};

// A block from an element holding page objects (a pattern's CellContent, a composite unit's
// Content) kept as a tree; bound to the document, without a layer. Null without a node.
OfdXmlPageBlock *CreatePageBlockFromNode(XmlNode *contentNode, OfdDocumentAccess *document);
// A block from the CellContent child of a pattern element; null when it has none.
OfdXmlPageBlock *CreatePageBlock(XmlNode *patternNode, OfdDocumentAccess *document);
// A block from the XML text of an element holding page objects.
OfdXmlPageBlock *CreatePageBlockFromXml(const QByteArray &xml, OfdDocumentAccess *document);
