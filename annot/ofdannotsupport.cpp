#include "annot/ofdannotsupport.h"

#include "annot/ofdannotviewdata.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "annot/pageannotmanage.h"
#include "render/ofdpagescene.h"

namespace OfdAnnotSupport {

void Install()
{
    OfdXmlAnnotations::InstallLoader();
    OfdPageScene::SetAnnotHookFactory([](OfdPageScene *scene) { return new PageAnnotManage(scene); });
}

QList<OfdVisualItem *> GetNewAnnotGroup(OfdPageScene *scene)
{
    QList<OfdVisualItem *> items;
    if (PageAnnotManage *manage = PageAnnotManage::FromScene(scene)) {
        for (OfdVisualItemAnnot *item : manage->GetNewAnnotGroup())
            items.append(item);
    }
    return items;
}

QList<OfdVisualItem *> GetPageAnnotGroup(OfdPageScene *scene)
{
    QList<OfdVisualItem *> items;
    if (PageAnnotManage *manage = PageAnnotManage::FromScene(scene)) {
        for (OfdVisualItemAnnot *item : manage->GetAllAnnot())
            items.append(item);
    }
    return items;
}

OfdAnnotViewData *CreateAnnotViewData(const QList<OfdPageScene *> &scenes, int pageIndex)
{
    auto *data = new OfdAnnotViewData;
    for (OfdPageScene *scene : scenes) {
        if (!scene || (pageIndex != -1 && scene->GetPageIndex() != pageIndex))
            continue;
        PageAnnotManage *manage = PageAnnotManage::FromScene(scene);
        if (OfdAnnotViewDataOfPage *page = manage ? manage->CreateAnnotViewData() : nullptr)
            data->AddPage(page);
    }
    return data;
}

} // namespace OfdAnnotSupport
