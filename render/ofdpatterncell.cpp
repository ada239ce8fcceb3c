#include "render/ofdpatterncell.h"

#include <QPainter>

#include "model/content/ofdconvert.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdxmlpageblock.h"
#include "render/ofdscenebuilder.h"
#include "render/ofdvisualitem.h"

namespace {
// Depth of cells being drawn inside cells (a cell object filled with a pattern).
int &NestingDepth()
{
    static int depth = 0;
    return depth;
}
} // namespace

OfdPatternCellDrawer::OfdPatternCellDrawer() = default;

OfdPatternCellDrawer::~OfdPatternCellDrawer()
{
    qDeleteAll(m_items);
}

void OfdPatternCellDrawer::Build(const OfdSpecialColorPattern &pattern, const OfdTypeFillColor &owner)
{
    qDeleteAll(m_items);
    m_items.clear();
    m_unitBlocks.clear();
    m_pattern = &pattern;
    m_block.reset(CreatePageBlockFromXml(pattern.GetCellContentXml(), owner.GetOfdFile()));
    if (!m_block)
        return;
    // Cell objects use the resources of the page that shows the filled object.
    m_block->SetPageRefId(owner.GetPageRefId());
    m_items = OfdSceneBuilder::CreateItems(nullptr, m_block->GetItems(), &m_unitBlocks);
}

void OfdPatternCellDrawer::Draw(QPainter *painter, const OfdSpecialColorPattern &pattern,
                                const OfdTypeFillColor &owner, double unitsPerMM)
{
    if (!painter || !(unitsPerMM > 0) || NestingDepth() >= kMaxNesting)
        return;
    if (m_pattern != &pattern)
        Build(pattern, owner);
    if (m_items.isEmpty())
        return;
    ++NestingDepth();
    painter->save();
    // Visual items draw in pixels of OfdConvert; the cell may be in other units.
    const double scale = unitsPerMM / OfdConvert::PxOfOneMM;
    painter->scale(scale, scale);
    for (OfdVisualItem *item : qAsConst(m_items)) {
        if (!item->IsVisible())
            continue;
        painter->save();
        painter->setTransform(item->GetParentTransform(), true);
        item->DrawPattern(painter);
        painter->restore();
    }
    painter->restore();
    --NestingDepth();
}
