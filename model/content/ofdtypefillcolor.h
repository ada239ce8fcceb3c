#pragma once

#include <QBrush>
#include <QList>
#include <QRectF>
#include <QSharedPointer>

#include <functional>

class QPainter;
class QXmlStreamReader;
class XmlNode;
class OfdDocumentAccess;
class OfdItemContext;
class OfdSpecialColor;
class OfdTypeColorSpace;

// A colour element of the format (FillColor, StrokeColor, a shading segment's Color): colour space
// id, components as written, alpha, and optionally a special colour (axial or radial shading,
// pattern). Used for fill and stroke colours alike. The owning page object (not owned) leads to
// the document, whose colour spaces give the components their meaning.
class OfdTypeFillColor
{
public:
    OfdTypeFillColor();
    virtual ~OfdTypeFillColor();
    // Copies share the special colour (it is never changed after parsing).
    OfdTypeFillColor(const OfdTypeFillColor &other);
    OfdTypeFillColor &operator=(const OfdTypeFillColor &other);

    // The stroke colour used when none was given: colour space -2, components 0 0 0.
    static OfdTypeFillColor CreateDefaultStrokeColor();

    // Reads the colour element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);
    // Reads ColorSpace, Value and Alpha of a colour element held in a tree (no special colour).
    void ParseNode(const XmlNode *node);

    void SetPageItem(OfdItemContext *item) { m_pageItem = item; }
    OfdItemContext *GetPageItem() const { return m_pageItem; }
    // Document used when no page object is set (colours of draw parameters, say); not owned.
    void SetDocumentAccess(OfdDocumentAccess *document) { m_document = document; }
    // The page object's document, else the one set directly; may be null.
    OfdDocumentAccess *GetOfdFile() const;
    // The page object's page key, 0 without one.
    int GetPageRefId() const;
    // The colour space with that id from the document; the default RGB space without a document.
    // Never null.
    OfdTypeColorSpace *GetColorSpace(int id) const;

    // -1: no colour element read; 0: the element has no ColorSpace; -2: default stroke colour.
    int GetColorSpaceId() const { return m_colorSpaceId; }
    void SetColorSpaceId(int id) { m_colorSpaceId = id; }
    bool IsSet() const { return m_colorSpaceId != -1; }
    int GetAlpha() const { return m_alpha; }
    void SetAlpha(int alpha) { m_alpha = alpha; }
    const QList<float> &GetValues() const { return m_values; }
    void SetValues(const QList<float> &values) { m_values = values; }
    bool IsHaveValue() const { return !m_values.isEmpty(); }

    OfdSpecialColor *GetSpecialColor() const { return m_specialColor.data(); }
    // Takes ownership (shared with copies).
    void SetSpecialColor(OfdSpecialColor *color);

    // The plain colour in the colour space of its id (special colours ignored).
    QColor CreateQColor() const;

    // A shading that yields a brush.
    bool IsCreateBrush() const;
    // The shading's brush in pixels of the object's space (the units of paths built from
    // abbreviated data): millimetres × OfdConvert::PxOfOneMM. NoBrush when there is no shading.
    QBrush CreateBrush() const;
    // The same in other units: brush coordinates are millimetres × unitsPerMM.
    QBrush CreateBrush(double unitsPerMM) const;

    bool IsDrawPattern() const;
    // Tiles the pattern over area (pixels of the object's space, as CreateBrush) through the cell
    // painter installed for patterns. False when this is not a pattern or nothing can be drawn.
    bool DrawPattern(QPainter *painter, const QRectF &area) const;

private:
    int m_colorSpaceId = -1;
    int m_alpha = 255;
    QList<float> m_values;
    QSharedPointer<OfdSpecialColor> m_specialColor;
    OfdItemContext *m_pageItem = nullptr;
    OfdDocumentAccess *m_document = nullptr;
};
