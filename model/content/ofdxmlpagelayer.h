#pragma once

#include <QList>
#include <QString>

#include <memory>

class QXmlStreamReader;
class OfdPageItem;
class OfdTypeFillColor;
class OfdXmlPage;
class OfdXmlPageBlock;

// One layer of a page's content: its draw parameter and its block of objects (owned).
class OfdXmlPageLayer
{
public:
    OfdXmlPageLayer();
    ~OfdXmlPageLayer();
    OfdXmlPageLayer(const OfdXmlPageLayer &) = delete;
    OfdXmlPageLayer &operator=(const OfdXmlPageLayer &) = delete;

    // Reads the Layer element the reader is on, to its end tag.
    void ParseXml(OfdXmlPage *page, QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    const QString &GetDrawParam() const { return m_drawParam; }
    // The layer's Type as written ("Background", "Body", "Foreground"; empty when absent).
    const QString &GetType() const { return m_type; }
    // Where a layer of this Type, or a template of this ZOrder, is stacked: -1 beneath the body
    // ("Background"), 0 the body (also empty or unknown), 1 above it ("Foreground").
    static int StackRank(const QString &kind);
    OfdXmlPage *GetPage() const { return m_page; }
    OfdXmlPageBlock *GetBlock() const { return m_block.get(); }
    // The block's objects, or null without a block.
    const QList<OfdPageItem *> *GetPageItem() const;
    int GetPageItemCount() const;
    // The page's key, or 0.
    int GetPageRefId() const;
    // Fill colour of the draw parameter id, or of the layer's own when id is empty; null when both
    // are empty or nothing resolves.
    OfdTypeFillColor *GetFillColorByDrawParam(const QString &id) const;

private:
    int m_id = 0;
    QString m_drawParam;
    QString m_type;
    OfdXmlPage *m_page = nullptr;
    std::unique_ptr<OfdXmlPageBlock> m_block;
};
