#include "render/graphicsitemlayermanage.h"

void GraphicsItemLayerManage::AddItem(QGraphicsItem *item, EN_VisualItemLayer layer)
{
    m_items.append(qMakePair(item, layer));
    m_layers.insert(layer);
}

void GraphicsItemLayerManage::RemoveItem(QGraphicsItem *item)
{
    for (int i = m_items.size() - 1; i >= 0; --i) {
        if (m_items[i].first == item)
            m_items.removeAt(i);
    }
}

void GraphicsItemLayerManage::Clear()
{
    m_items.clear();
    m_layers.clear();
}

QList<QGraphicsItem *> GraphicsItemLayerManage::GetSortItems() const
{
    QList<QGraphicsItem *> sorted;
    sorted.reserve(m_items.size());
    for (int layer = EN_VisualItemLayer_Max; layer >= 0; --layer) {
        if (!m_layers.contains(layer))
            continue;
        for (const auto &entry : m_items) {
            if (entry.second == layer)
                sorted.append(entry.first);
        }
    }
    return sorted;
}
