#pragma once

#include <QImage>

#include "render/ofdvisualitem.h"

// Draws an image object: its multimedia resource decoded into a picture, painted into the object's
// unit square under its CTM (into its boundary when it has no CTM), with its clips and alpha. A click
// selects it.
class OfdVisualItemImage : public OfdVisualItem
{
    Q_OBJECT
public:
    explicit OfdVisualItemImage(OfdPageItem *pageItem = nullptr, QGraphicsItem *parent = nullptr);

    int GetItemType() const override { return EN_OfdVisualItemType_Image; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void DrawPattern(QPainter *painter) override;
    // Writes the image object back as an ImageObject whose resource the writer pools by content.

    // The decoded picture, from the process's picture cache (decoded again from the resource when
    // the cache let it go); null when the resource is missing or unreadable.
    QImage GetImage();
    // Where the picture goes, in item coordinates.
    QRectF GetImageRect() const;
    void SetImageSelected(bool selected);
    bool IsImageSelected() const { return m_selected; }

signals:
    void SignalLeftButtonDown(OfdVisualItemImage *item);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void PaintItem(QPainter *painter);

    // The item keeps no pixels, only the key of its picture in the cache.
    QByteArray m_cacheKey;
    bool m_unreadable = false;
    bool m_selected = false;
};
