#pragma once

#include <memory>

class QXmlStreamReader;
class OfdDocumentAccess;
class OfdTypeCompositeGraphicUnitContent;

// A composite graphic unit resource: a reusable group of page objects of Width × Height
// millimetres, drawn by composite objects that name its id.
class OfdTypeCompositeGraphicUnit
{
public:
    explicit OfdTypeCompositeGraphicUnit(OfdDocumentAccess *document = nullptr);
    virtual ~OfdTypeCompositeGraphicUnit();
    OfdTypeCompositeGraphicUnit(const OfdTypeCompositeGraphicUnit &) = delete;
    OfdTypeCompositeGraphicUnit &operator=(const OfdTypeCompositeGraphicUnit &) = delete;

    // Reads the CompositeGraphicUnit element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    // The unit's content (owned), null when the element has none.
    OfdTypeCompositeGraphicUnitContent *GetContent() const { return m_content.get(); }
    void SetDocumentAccess(OfdDocumentAccess *document) { m_document = document; }

private:
    int m_id = 0;
    float m_width = 0;
    float m_height = 0;
    OfdDocumentAccess *m_document;
    std::unique_ptr<OfdTypeCompositeGraphicUnitContent> m_content;
};
