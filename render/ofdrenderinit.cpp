#include "render/ofdrenderinit.h"

#include "model/content/ofdspecialcolorpattern.h"
#include "render/ofdpatterncell.h"

void OfdRenderInit::Init()
{
    if (OfdSpecialColorPattern::GetCellPainter())
        return;
    // Callers that fill many tiles keep one OfdPatternCellDrawer for all of them; this general entry
    // builds the cell per tile.
    OfdSpecialColorPattern::SetCellPainter([](QPainter *painter, const OfdSpecialColorPattern &pattern,
                                              const OfdTypeFillColor &owner, double unitsPerMM) {
        OfdPatternCellDrawer drawer;
        drawer.Draw(painter, pattern, owner, unitsPerMM);
    });
}
