#include "writer/ofdcreatorpage.h"

#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitem.h"
#include "model/document/ofdfileinfodetail.h"
#include "model/xml/xmlnode.h"
#include "render/ofdvisualitem.h"
#include "writer/ofdcreatorgraphics.h"
#include "writer/ofdcreatortext.h"

OfdIdCreator::~OfdIdCreator() = default;

OfdCreatorPage::OfdCreatorPage(OfdIdCreator *creator, int pageIndex, int oldPageKey)
    : m_creator(creator), m_pageIndex(pageIndex), m_oldPageKey(oldPageKey)
{
}

OfdCreatorPage::~OfdCreatorPage() = default;

void OfdCreatorPage::FillHeader()
{
    FillRoot(QStringLiteral("Page"));
}

int OfdCreatorPage::GetOfdFileType() const
{
    return EN_OfdFileType_Page;
}

QString OfdCreatorPage::GetNextId()
{
    return m_creator->GetNextId();
}

int OfdCreatorPage::GetFontId(const OfdCreatorFontInfo &font)
{
    return m_creator->GetFontId(font);
}

int OfdCreatorPage::GetRgbColorSpaceId()
{
    return m_creator->GetRgbColorSpaceId();
}

int OfdCreatorPage::GetResourceId(const OfdCreatorMultiMediaInfo &media)
{
    return m_creator->GetResourceId(media);
}

XmlNode *OfdCreatorPage::AddColorNode(XmlNode *parent, const QString &name, const QColor &color)
{
    XmlNode *node = parent->AddChildByName(name, false);
    node->AddAttr(QStringLiteral("ColorSpace"), GetRgbColorSpaceId());
    node->AddAttr(QStringLiteral("Value"),
                  QStringLiteral("%1 %2 %3").arg(color.red()).arg(color.green()).arg(color.blue()));
    if (color.alpha() != 255)
        node->AddAttr(QStringLiteral("Alpha"), color.alpha());
    return node;
}

void OfdCreatorPage::GetPlacementText(OfdVisualItem *item, QString &boundary, QString &ctm)
{
    boundary.clear();
    ctm.clear();
    OfdPageItem *object = item ? item->GetPageItem() : nullptr;
    if (!object)
        return;
    if (item->GetTransferCount() == 0) {
        boundary = object->GetBoundaryText();
        ctm = object->GetCTMText();
        return;
    }
    // Inside composite objects: fold their placement (pixels) into the object's own, in millimetres.
    const double k = OfdConvert::PxOfOneMM;
    const QTransform parent =
        QTransform::fromScale(k, k) * item->GetParentTransform() * QTransform::fromScale(1 / k, 1 / k);
    const QTransform own = object->GetCTM().ToTransformMM();
    const auto text = [](double v) { return OfdHelper::NumberText(std::abs(v) < 1e-9 ? 0.0 : v); };
    QTransform total;
    if (object->IsBoundaryValid()) {
        const QRectF placed = parent.mapRect(object->GetBoundary());
        boundary = QStringLiteral("%1 %2 %3 %4")
                       .arg(text(placed.x()), text(placed.y()), text(placed.width()), text(placed.height()));
        total = own * QTransform::fromTranslate(object->GetBoundary().x(), object->GetBoundary().y()) *
                parent * QTransform::fromTranslate(-placed.x(), -placed.y());
    } else {
        total = own * parent;
    }
    if (!total.isIdentity()) {
        ctm = QStringLiteral("%1 %2 %3 %4 %5 %6")
                  .arg(text(total.m11()), text(total.m12()), text(total.m21()), text(total.m22()),
                       text(total.dx()), text(total.dy()));
    }
}

void OfdCreatorPage::WriteVisualItem(OfdVisualItem *item, XmlNode *parent)
{
    if (!item || !parent)
        return;
    switch (item->GetItemType()) {
    case EN_OfdVisualItemType_Text:
        OfdCreatorText::WriteTextObject(this, parent, item);
        break;
    case EN_OfdVisualItemType_Path:
        OfdCreatorGraphics::WritePathObject(this, parent, item);
        break;
    case EN_OfdVisualItemType_Image:
        OfdCreatorGraphics::WriteImageObject(this, parent, item);
        break;
    default:
        item->CreateXml(this, parent); // annotations write themselves
        break;
    }
}

void OfdCreatorPage::MapObjectId(int oldId, int newId)
{
    if (oldId != 0 && !m_objectIds.contains(oldId))
        m_objectIds.insert(oldId, newId);
}
