#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <memory>

#include "model/content/ofditemcontext.h"
#include "model/content/ofdtypectm.h"

class QPainter;
class QTransform;
class QXmlStreamAttributes;
class QXmlStreamReader;
class OfdDocumentAccess;
class OfdTypeColorSpace;
class OfdTypeDrawParam;
class OfdTypeFillColor;
class OfdTypePageClips;
class OfdXmlPageBlock;
class OfdXmlPageLayer;
class OfdVisualItemTransfer;

// Kinds of page objects (the item type of each class).
enum EN_PageItemType
{
    EN_PageItemType_Base = 0,
    EN_PageItemType_Text = 1,
    EN_PageItemType_Path = 2,
    EN_PageItemType_Image = 3,
    EN_PageItemType_Composite = 4,
};

// Base of the page objects of a page's content. Coordinates and sizes are millimetres. Owned by
// its block; the layer, block and document pointers are not owned.
class OfdPageItem : public OfdItemContext
{
public:
    OfdPageItem();
    ~OfdPageItem() override;
    OfdPageItem(const OfdPageItem &) = delete;
    OfdPageItem &operator=(const OfdPageItem &) = delete;

    virtual int GetItemType() const { return EN_PageItemType_Base; }
    // Reads the object element the reader is on, to its end tag.
    virtual void PasreXml(QXmlStreamReader &reader);
    virtual QString GetDebugInfo() const { return QString(); }

    int GetID() const { return m_id; }
    const QRectF &GetBoundary() const { return m_boundary; }
    // True when the boundary has positive width and height.
    bool IsBoundaryValid() const { return m_boundary.width() > 0 && m_boundary.height() > 0; }
    const OfdTypeCTM &GetCTM() const { return m_ctm; }
    bool IsVisible() const { return m_visible; }
    const QString &GetDrawParamId() const { return m_drawParam; }
    // Alpha of the whole object, 0..255.
    int GetAlpha() const { return m_alpha; }

    void SetLayer(OfdXmlPageLayer *layer) { m_layer = layer; }
    OfdXmlPageLayer *GetLayer() const { return m_layer; }
    void SetBlock(OfdXmlPageBlock *block) { m_block = block; }
    OfdXmlPageBlock *GetBlock() const { return m_block; }
    void SetOfdFile(OfdDocumentAccess *document) { m_document = document; }

    // OfdItemContext
    OfdDocumentAccess *GetOfdFile() const override { return m_document; }
    // The block's non-zero key, else the layer's, else 0.
    int GetPageRefId() const override;
    QPointF GetBoundaryOrigin() const override { return m_boundary.topLeft(); }

    // The named draw parameter resolved page-scoped; null when none is named or found.
    OfdTypeDrawParam *GetDrawParam() const;
    OfdTypeColorSpace *GetColorSpace(int id) const;
    // Inherited from a draw parameter (text objects); not owned; may be null.
    OfdTypeFillColor *GetInheritFillColor() const { return m_inheritFillColor; }
    void SetInheritFillColor(OfdTypeFillColor *color) { m_inheritFillColor = color; }

    // "x y w h" in shortest form; empty unless the boundary is valid.
    QString GetBoundaryText() const;
    QString GetCTMText() const { return m_ctm.GetCTMText(); }

    OfdTypePageClips *GetClips() const { return m_clips.get(); }
    QPainterPath GetClip_PainterPath() const;
    // The clip outline (pixels), mapped by the inverse of t when given; null without clips. The
    // caller owns the result.
    QPainterPath *GetPainterClip(const QTransform *t) const;
    bool SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const;

    // A new placement record holding this object's boundary and CTM (caller owns it).
    OfdVisualItemTransfer *CreateVisualItemTransfer() const;

protected:
    // ID, Boundary, Visible, DrawParam, CTM and Alpha.
    void ParseBaseAttributes(const QXmlStreamAttributes &attrs);
    // An attribute of the object, or of its draw parameter when the object leaves it out.
    QString GetAttrWithDrawParam(const QXmlStreamAttributes &attrs, QLatin1String name) const;
    // Colours the object does not give itself are taken from its draw parameter: the object's own
    // always win. A null colour is one the object does not use (no fill, no stroke).
    void TakeDrawParamColours(OfdTypeFillColor *fill, OfdTypeFillColor *stroke);
    // Reads a Clips child the reader is on.
    void ParseClips(QXmlStreamReader &reader);

    int m_id = 0;
    QRectF m_boundary;
    OfdTypeCTM m_ctm;
    bool m_visible = true;
    QString m_drawParam;
    int m_alpha = 255;
    OfdXmlPageLayer *m_layer = nullptr;
    OfdXmlPageBlock *m_block = nullptr;
    OfdDocumentAccess *m_document = nullptr;
    OfdTypeFillColor *m_inheritFillColor = nullptr;
    std::unique_ptr<OfdTypePageClips> m_clips;
};
