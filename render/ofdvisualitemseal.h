#pragma once

#include <QImage>
#include <QRectF>

#include "render/ofdvisualitem.h"

class OfdXmlSignature;
struct OfdSignatureStampAnnot;

// Draws the seal picture of one stamp of a signature on its page, in the stamp's boundary, cut to
// its clip for a part of a seal across pages. Its tool tip tells the seal, the signing time, the
// standard and the outcome of the built-in checks.
class OfdVisualItemSeal : public OfdVisualItem
{
    Q_OBJECT
public:
    OfdVisualItemSeal(OfdXmlSignature *signature, const OfdSignatureStampAnnot &stamp,
                      QGraphicsItem *parent = nullptr);

    int GetItemType() const override { return EN_OfdVisualItemType_Seal; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    OfdXmlSignature *GetSignature() const { return m_signature; }
    // Boundary and clip in pixels (page coordinates); the clip is empty when the stamp has none.
    const QRectF &GetSealRect() const { return m_rect; }
    const QRectF &GetClipRect() const { return m_clip; }
    // Shows a mark telling whether the checks passed.
    void ShowVerifyMark(bool show);
    bool IsVerifyMarkShown() const { return m_showMark; }

    // The text of the seal tip (rich text).
    static QString CreateSealTip(OfdXmlSignature *signature);
    // Whether every built-in check of the signature passed.
    static bool IsSignatureValid(OfdXmlSignature *signature);

private:
    OfdXmlSignature *m_signature;
    QRectF m_rect;
    QRectF m_clip;
    QImage m_picture;
    bool m_showMark = false;
};
