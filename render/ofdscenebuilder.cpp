#include "render/ofdscenebuilder.h"

#include <QDebug>

#include "model/content/ofdpageitemcomposite.h"
#include "model/content/ofdtypecompositegraphicunit.h"
#include "model/content/ofdtypecompositegraphicunitcontent.h"
#include "model/content/ofdxmlpageblock.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdvisualitemimage.h"
#include "render/ofdvisualitempath.h"
#include "render/ofdvisualitemtext.h"

QList<OfdVisualItem *> OfdSceneBuilder::CreateItems(OfdPageScene *scene, const QList<OfdPageItem *> &objects,
                                                    std::vector<std::unique_ptr<OfdXmlPageBlock>> *unitBlocks)
{
    OfdRenderInit::Init(); // pattern cells are drawn through the scene's items
    QList<OfdVisualItem *> out;
    QList<int> chain;
    CreateItemsInner(scene, objects, unitBlocks, chain, out);
    return out;
}

void OfdSceneBuilder::CreateItemsInner(OfdPageScene *scene, const QList<OfdPageItem *> &objects,
                                       std::vector<std::unique_ptr<OfdXmlPageBlock>> *unitBlocks,
                                       QList<int> &unitChain, QList<OfdVisualItem *> &out)
{
    for (OfdPageItem *object : objects) {
        OfdVisualItem *item = nullptr;
        switch (object->GetItemType()) {
        case EN_PageItemType_Text:
            item = new OfdVisualItemText(object);
            break;
        case EN_PageItemType_Path:
            item = new OfdVisualItemPath(object);
            break;
        case EN_PageItemType_Image:
            item = new OfdVisualItemImage(object);
            break;
        case EN_PageItemType_Composite: {
            if (!unitBlocks)
                break;
            auto *composite = static_cast<OfdPageItemComposite *>(object);
            OfdTypeCompositeGraphicUnit *unit = composite->GetCompositeGraphicUnit();
            if (!unit || !unit->GetContent())
                break;
            if (unitChain.contains(unit->GetID()) || unitChain.size() >= kMaxCompositeDepth) {
                qDebug() << "composite unit uses itself or nests too deep, left out:" << unit->GetID();
                break;
            }
            std::unique_ptr<OfdXmlPageBlock> block(
                CreatePageBlockFromNode(unit->GetContent()->GetContentNode(), object->GetOfdFile()));
            if (!block)
                break;
            block->SetPageRefId(object->GetPageRefId());
            QList<OfdVisualItem *> inner;
            unitChain.append(unit->GetID());
            CreateItemsInner(scene, block->GetItems(), unitBlocks, unitChain, inner);
            unitChain.removeLast();
            for (OfdVisualItem *child : inner) {
                child->InsertTransfer(composite->CreateVisualItemTransfer());
                out.append(child);
            }
            unitBlocks->push_back(std::move(block));
            break;
        }
        default:
            break;
        }
        if (!item)
            continue;
        if (scene)
            scene->RegisterVisualItem(item);
        out.append(item);
    }
}
