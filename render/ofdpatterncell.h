#pragma once

#include <QList>

#include <memory>
#include <vector>

class QPainter;
class OfdSpecialColorPattern;
class OfdTypeFillColor;
class OfdVisualItem;
class OfdXmlPageBlock;

// Draws the objects of a pattern cell: builds the cell's page objects and their visual items once,
// on the first tile, keeps them for every further tile of the same fill and frees them with itself.
// Callable as an OfdPatternCellPainter.
class OfdPatternCellDrawer
{
public:
    OfdPatternCellDrawer();
    ~OfdPatternCellDrawer();
    OfdPatternCellDrawer(const OfdPatternCellDrawer &) = delete;
    OfdPatternCellDrawer &operator=(const OfdPatternCellDrawer &) = delete;

    // Draws the cell's objects; the painter is in cell coordinates (millimetres × unitsPerMM).
    void Draw(QPainter *painter, const OfdSpecialColorPattern &pattern, const OfdTypeFillColor &owner,
              double unitsPerMM);

    // Patterns whose cells use patterns nest no deeper than this; deeper cells stay empty.
    static constexpr int kMaxNesting = 4;

private:
    void Build(const OfdSpecialColorPattern &pattern, const OfdTypeFillColor &owner);

    const OfdSpecialColorPattern *m_pattern = nullptr;
    std::unique_ptr<OfdXmlPageBlock> m_block;
    std::vector<std::unique_ptr<OfdXmlPageBlock>> m_unitBlocks;
    QList<OfdVisualItem *> m_items;
};
