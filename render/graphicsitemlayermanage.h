#pragma once

#include <QList>
#include <QPair>
#include <QSet>

class QGraphicsItem;

// Visual layers of a page scene, bottom to top: items of a higher layer value lie beneath those of
// a lower one.
enum EN_VisualItemLayer
{
    EN_VisualItemLayer_Seal = 0,      // signature seals, on top
    EN_VisualItemLayer_Highlight = 1, // highlight annotations
    EN_VisualItemLayer_Content = 3,   // page content and the other annotations
    EN_VisualItemLayer_Max = 6,
};

// Records items with their visual layer in insertion order and hands them out in stacking order.
// Does not own the items.
class GraphicsItemLayerManage
{
public:
    void AddItem(QGraphicsItem *item, EN_VisualItemLayer layer);
    void RemoveItem(QGraphicsItem *item);
    void Clear();
    int GetCount() const { return m_items.size(); }
    // All items of layer 6, then 5, ... down to 0; within a layer in insertion order.
    QList<QGraphicsItem *> GetSortItems() const;

private:
    QList<QPair<QGraphicsItem *, EN_VisualItemLayer>> m_items;
    QSet<int> m_layers;
};
