#include "writer/ofdcreatorgraphics.h"

#include <cmath>

#include "model/content/ofdabbreviateddataitem.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitemimage.h"
#include "model/content/ofdpageitempath.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/xml/xmlnode.h"
#include "render/ofdvisualitem.h"
#include "writer/ofdcreatorpage.h"

void OfdCreatorGraphics::WritePathObject(OfdCreatorPage *creator, XmlNode *layerNode, OfdVisualItem *item)
{
    OfdPageItem *object = item ? item->GetPageItem() : nullptr;
    auto *path = object && object->GetItemType() == EN_PageItemType_Path
                     ? static_cast<OfdPageItemPath *>(object)
                     : nullptr;
    if (!creator || !layerNode || !path)
        return;
    XmlNode *node = layerNode->AddChildByName(QStringLiteral("PathObject"), false);
    const QString id = creator->GetNextId();
    node->AddAttr(QStringLiteral("ID"), id);
    creator->MapObjectId(path->GetID(), id.toInt());
    QString boundary, ctm;
    creator->GetPlacementText(item, boundary, ctm);
    node->AddAttrIfNotEmpty(QStringLiteral("Boundary"), boundary);
    node->AddAttrIfNotEmpty(QStringLiteral("CTM"), ctm);
    if (!path->IsVisible())
        node->AddAttrBool(QStringLiteral("Visible"), false);
    node->AddAttr(QStringLiteral("LineWidth"), OfdHelper::NumberText(path->GetLineWidth()));
    if (path->GetJoin() != QLatin1String("Miter"))
        node->AddAttr(QStringLiteral("Join"), path->GetJoin());
    if (path->GetCap() != QLatin1String("Butt"))
        node->AddAttr(QStringLiteral("Cap"), path->GetCap());
    if (std::abs(path->GetMiterLimit() - double(4.234f)) > 1e-6)
        node->AddAttr(QStringLiteral("MiterLimit"), OfdHelper::NumberText(path->GetMiterLimit()));
    if (path->IsHaveDashPattern()) {
        QStringList dashes;
        for (float d : path->GetDashPattern())
            dashes.append(OfdHelper::NumberTextF(d));
        node->AddAttr(QStringLiteral("DashPattern"), dashes.join(QLatin1Char(' ')));
        if (path->GetDashOffset() != 0)
            node->AddAttr(QStringLiteral("DashOffset"), OfdHelper::NumberText(path->GetDashOffset()));
    }
    if (!path->IsStroke())
        node->AddAttrBool(QStringLiteral("Stroke"), false);
    if (path->IsFill())
        node->AddAttrBool(QStringLiteral("Fill"), true);
    if (path->GetRule() != QLatin1String("NoneZero"))
        node->AddAttr(QStringLiteral("Rule"),
                      path->IsNonZeroRule() ? QStringLiteral("NonZero") : QStringLiteral("Even-Odd"));
    if (path->GetAlpha() != 255)
        node->AddAttr(QStringLiteral("Alpha"), path->GetAlpha());
    const OfdTypeFillColor &stroke = path->GetStrokeColor();
    if (stroke.GetColorSpaceId() != -1 && stroke.GetColorSpaceId() != -2 && stroke.IsHaveValue())
        creator->AddColorNode(node, QStringLiteral("StrokeColor"), stroke.CreateQColor());
    const OfdTypeFillColor &fill = path->GetFillColor();
    if (fill.IsSet() && fill.IsHaveValue())
        creator->AddColorNode(node, QStringLiteral("FillColor"), fill.CreateQColor());
    node->AddChild(QStringLiteral("AbbreviatedData"), path->GetAbbreviatedData().PathText(), false);
}

void OfdCreatorGraphics::WriteImageObject(OfdCreatorPage *creator, XmlNode *layerNode, OfdVisualItem *item)
{
    OfdPageItem *object = item ? item->GetPageItem() : nullptr;
    auto *image = object && object->GetItemType() == EN_PageItemType_Image
                      ? static_cast<OfdPageItemImage *>(object)
                      : nullptr;
    if (!creator || !layerNode || !image)
        return;
    OfdCreatorMultiMediaInfo media;
    media.data = image->GetMultiMediaData();
    if (media.data.isEmpty())
        return; // nothing to show, nothing to write
    if (OfdTypeMultiMedia *resource = image->GetMultiMedia()) {
        if (!resource->GetType().isEmpty())
            media.type = resource->GetType();
        media.format = resource->GetFormat();
        media.fileExt = resource->GetFileExt();
    }
    XmlNode *node = layerNode->AddChildByName(QStringLiteral("ImageObject"), false);
    const QString id = creator->GetNextId();
    node->AddAttr(QStringLiteral("ID"), id);
    creator->MapObjectId(image->GetID(), id.toInt());
    QString boundary, ctm;
    creator->GetPlacementText(item, boundary, ctm);
    node->AddAttrIfNotEmpty(QStringLiteral("Boundary"), boundary);
    node->AddAttrIfNotEmpty(QStringLiteral("CTM"), ctm);
    if (!image->IsVisible())
        node->AddAttrBool(QStringLiteral("Visible"), false);
    node->AddAttr(QStringLiteral("ResourceID"), creator->GetResourceId(media));
    if (image->GetAlpha() != 255)
        node->AddAttr(QStringLiteral("Alpha"), image->GetAlpha());
}
