#pragma once

#include <QList>

#include <memory>
#include <vector>

class OfdPageItem;
class OfdPageScene;
class OfdVisualItem;
class OfdXmlPageBlock;

// Turns page objects into visual items: one item per text, path and image object, and the items of
// a composite unit's content for a composite object, placed through the composite. Used by the page
// scene and, without a scene, to build the outlines of clip areas.
class OfdSceneBuilder
{
public:
    // New items (the caller owns them) in object order. With a scene, each item is registered with
    // it (ID, page rectangle, text list). Blocks made from composite units are handed to
    // unitBlocks, which must outlive the items; without it composites yield nothing.
    static QList<OfdVisualItem *> CreateItems(OfdPageScene *scene, const QList<OfdPageItem *> &objects,
                                              std::vector<std::unique_ptr<OfdXmlPageBlock>> *unitBlocks);

    // Composite units nest no deeper than this; a unit that uses itself stops there.
    static constexpr int kMaxCompositeDepth = 16;

private:
    static void CreateItemsInner(OfdPageScene *scene, const QList<OfdPageItem *> &objects,
                                 std::vector<std::unique_ptr<OfdXmlPageBlock>> *unitBlocks,
                                 QList<int> &unitChain, QList<OfdVisualItem *> &out);
};
