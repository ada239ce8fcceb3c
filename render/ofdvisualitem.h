#pragma once

#include <QGraphicsObject>
#include <QList>
#include <QPen>
#include <QRectF>

#include <memory>

class QPainter;
class QPainterPath;
class QPolygonF;
class OfdPageItem;
class OfdPageScene;
class OfdTypeColorSpace;
class OfdTypeFillColor;
class OfdVisualItemTransfer;
class OfdVisualSource;
class OfdContentWriter;
class XmlNode;

// What a visual item shows.
enum EN_OfdVisualItemType
{
    EN_OfdVisualItemType_Base = 0,
    EN_OfdVisualItemType_Text = 1,
    EN_OfdVisualItemType_Path = 2,
    EN_OfdVisualItemType_Image = 3,
    EN_OfdVisualItemType_Annot = 4,
    EN_OfdVisualItemType_Seal = 5,
};

// Base of the graphics items of a page scene. Scene coordinates are pixels (OfdConvert); the item's
// transform places the object: its CTM, then its boundary's origin, then the placements of the
// composite objects around it, innermost first.
class OfdVisualItem : public QGraphicsObject
{
    Q_OBJECT
public:
    explicit OfdVisualItem(OfdPageItem *pageItem = nullptr, QGraphicsItem *parent = nullptr);
    ~OfdVisualItem() override;

    virtual int GetItemType() const { return EN_OfdVisualItemType_Base; }
    virtual void RemoveFromScene();
    // Draws the object inside a pattern cell: the painter is in cell coordinates (pixels).
    virtual void DrawPattern(QPainter *painter);
    virtual void SetVisiable(bool visible);
    // Places the item: SetParentTransfer, then SetCTMTransfer.
    virtual void Init();
    // The item's bounds in scene coordinates.
    virtual QRectF GetGraphicsBoundary() const;
    // Annotations write themselves back into a page's annotation tree (the writer calls this);
    // page objects are written by the writer itself. Nothing by default.
    virtual void CreateXml(OfdContentWriter *creator, XmlNode *layerNode);

    void SetPageItem(OfdPageItem *item) { m_pageItem = item; }
    OfdPageItem *GetPageItem() const { return m_pageItem; }
    // The page object's ID; 0 without one.
    int GetItemIdRef() const;
    void SetItemId(int id) { m_itemId = id; }
    int GetItemId() const { return m_itemId; }
    void SetOfdScene(OfdPageScene *scene) { m_scene = scene; }
    OfdPageScene *GetOfdScene() const { return m_scene; }
    void SetpageSizePixel(const QRectF &rect) { m_pageRect = rect; }
    const QRectF &GetPageRect() const { return m_pageRect; }

    // The object's boundary in pixels; false when it has no positive width and height.
    bool GetBoundary(QRectF &rect) const;
    virtual bool IsVisible() const;
    bool IsAnnot() const { return GetItemType() == EN_OfdVisualItemType_Annot; }
    // The current transform as "a b c d e f" with e and f in millimetres.
    QString GetOfdCTM() const;
    // The object's CTM (pixels) as a transform; null without one.
    const QTransform *GetCTMTransform() const { return m_ctm.get(); }
    // Moves the painter from a pattern cell's coordinates to the object's own: its boundary origin,
    // then its CTM (what the item's transform does on a page).
    void PlaceInPatternCell(QPainter *painter) const;
    // Sets the painter's world transform from the object's CTM; false without one.
    bool SetCTMTransfer(QPainter *painter) const;

    // Placements of enclosing composites; the item owns them. Front = outermost.
    void AppendTransfer(OfdVisualItemTransfer *transfer);
    void InsertTransfer(OfdVisualItemTransfer *transfer);
    int GetTransferCount() const { return int(m_transfers.size()); }
    void SetParentTransfer();
    void SetCTMTransfer();
    // The placement of the enclosing composites alone (pixels), the outermost applied last.
    QTransform GetParentTransform() const;

    // A pen of the colour in its space; alpha 255 keeps the colour's own alpha, anything else
    // multiplies it (truncated).
    static QPen CreatePen(const OfdTypeFillColor &color, const OfdTypeColorSpace *space, int alpha);
    static QBrush CreateBrush(const OfdTypeFillColor &color, const OfdTypeColorSpace *space, int alpha);
    static QPen CreateDefaultPen(int alpha);
    // The boundary (grown by grow pixels) in item coordinates: mapped by the inverse of the CTM.
    bool GetVisualClipPixel(QPolygonF &polygon, double grow = 2) const;
    bool GetVisualClipPixel_Path(QPainterPath &path, EN_OfdVisualItemType type) const;
    // The outline of the object when it serves as a clip area (pixels of the clipped object's
    // space); empty for kinds that cannot clip.
    virtual QPainterPath CreatePainterPathClip();
    // Fills the outlines of the object's clip areas, building their objects without a scene, once.
    void PrepareClips();
    // Intersects the painter's clip with the object's clips; false when it has none or none
    // yields an outline.
    bool ApplyObjectClips(QPainter *painter);
    // Intersects the painter's clip with the object's own boundary grown by grow pixels (the
    // margin keeps antialiased edges and strokes along the boundary); false without a boundary.
    bool ApplyBoundaryClip(QPainter *painter, double grow = 2) const;
    // Intersects the painter's clip with the boundaries of the enclosing composite objects (each
    // grown by 2 pixels); false when none has one.
    bool ApplyCompositeClips(QPainter *painter) const;

    void SetVisualSource(OfdVisualSource *source) { m_source = source; }
    OfdVisualSource *GetVisualSource() const { return m_source; }

protected:
    OfdPageItem *m_pageItem = nullptr;
    int m_itemId = 0;
    OfdPageScene *m_scene = nullptr;
    QRectF m_pageRect;
    std::vector<std::unique_ptr<OfdVisualItemTransfer>> m_transfers;
    std::unique_ptr<QTransform> m_ctm;
    OfdVisualSource *m_source = nullptr; // annotation items only; not owned
};
