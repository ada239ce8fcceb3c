#pragma once

#include <QList>

class OfdAnnotViewData;
class OfdPageScene;
class OfdVisualItem;

// Connects the annotation module to the document model and the page scene. Install once at
// start-up after the application object exists: documents then read their annotations while they
// load, and every page scene built afterwards draws them and offers the annotation tools.
namespace OfdAnnotSupport {
void Install();

// Annotations drawn in this session on a scene's page (empty without the module).
QList<OfdVisualItem *> GetNewAnnotGroup(OfdPageScene *scene);
// Every annotation item of a scene's page, loaded first.
QList<OfdVisualItem *> GetPageAnnotGroup(OfdPageScene *scene);
// The panel's data for the pages (all when pageIndex is -1); pages without annotations are left
// out. The caller owns the result.
OfdAnnotViewData *CreateAnnotViewData(const QList<OfdPageScene *> &scenes, int pageIndex);
} // namespace OfdAnnotSupport
