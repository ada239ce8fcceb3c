#include "writer/ofdcreatortext.h"

#include <QFileInfo>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdtypecgtransform.h"
#include "model/content/ofdtypecgtransformmanage.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypetextcode.h"
#include "model/content/ofdtypetextcodemanage.h"
#include "model/xml/xmlnode.h"
#include "render/ofdvisualitem.h"
#include "writer/ofdcreatorpage.h"

namespace {
QString JoinNumbers(const QList<double> &values)
{
    QStringList parts;
    for (double v : values)
        parts.append(OfdHelper::NumberText(v));
    return parts.join(QLatin1Char(' '));
}

bool IsOwnColor(const OfdTypeFillColor &color)
{
    return color.GetColorSpaceId() != -1 && color.GetColorSpaceId() != -2 && color.IsHaveValue();
}
} // namespace

void OfdCreatorText::WriteTextObject(OfdCreatorPage *creator, XmlNode *parent, OfdVisualItem *item)
{
    auto *text = item && item->GetPageItem() && item->GetPageItem()->GetItemType() == EN_PageItemType_Text
                     ? static_cast<OfdPageItemText *>(item->GetPageItem())
                     : nullptr;
    OfdDocumentAccess *document = text ? text->GetOfdFile() : nullptr;
    OfdTypeFont *font = document ? document->GetFont(text->GetFontID()) : nullptr;
    if (!creator || !parent || !font)
        return;

    OfdCreatorFontInfo info;
    info.fontName = font->GetFontName();
    info.familyName = font->GetFamilyName();
    info.bold = font->IsBold();
    info.italic = font->IsItalic();
    info.serif = font->IsSerif();
    if (!font->GetFontFile().isEmpty()) {
        info.fontFile = document->GetOfdFileContent(font->GetFontFile());
        info.fontFileExt = QFileInfo(font->GetFontFile()).suffix();
    }

    XmlNode *node = parent->AddChildByName(QStringLiteral("TextObject"), false);
    const QString id = creator->GetNextId();
    node->AddAttr(QStringLiteral("ID"), id);
    creator->MapObjectId(text->GetID(), id.toInt());
    QString boundary, ctm;
    creator->GetPlacementText(item, boundary, ctm);
    node->AddAttrIfNotEmpty(QStringLiteral("Boundary"), boundary);
    node->AddAttrIfNotEmpty(QStringLiteral("CTM"), ctm);
    if (!text->IsVisible())
        node->AddAttrBool(QStringLiteral("Visible"), false);
    if (text->GetAlpha() != 255)
        node->AddAttr(QStringLiteral("Alpha"), text->GetAlpha());
    node->AddAttr(QStringLiteral("Font"), creator->GetFontId(info));
    node->AddAttr(QStringLiteral("Size"), OfdHelper::NumberTextF(text->GetFontSize()));
    if (!text->IsFill())
        node->AddAttrBool(QStringLiteral("Fill"), false);
    if (text->IsStroke()) {
        node->AddAttrBool(QStringLiteral("Stroke"), true);
        node->AddAttr(QStringLiteral("LineWidth"), OfdHelper::NumberText(text->GetLineWidth()));
    }
    if (text->IsItalic())
        node->AddAttrBool(QStringLiteral("Italic"), true);
    if (text->GetWeight() != 400)
        node->AddAttr(QStringLiteral("Weight"), text->GetWeight());
    if (text->GetCharDirection() != 0)
        node->AddAttr(QStringLiteral("CharDirection"), text->GetCharDirection());
    if (text->GetReadDirection() != 0)
        node->AddAttr(QStringLiteral("ReadDirection"), text->GetReadDirection());

    // The colour the text is drawn with: its own, else the one inherited from a draw parameter.
    if (IsOwnColor(text->GetFillColor()))
        creator->AddColorNode(node, QStringLiteral("FillColor"), text->GetFillColor().CreateQColor());
    else if (OfdTypeFillColor *inherited = text->GetInheritFillColor())
        creator->AddColorNode(node, QStringLiteral("FillColor"), inherited->CreateQColor());
    if (IsOwnColor(text->GetStrokeColor()))
        creator->AddColorNode(node, QStringLiteral("StrokeColor"), text->GetStrokeColor().CreateQColor());

    if (OfdTypeCGTransformManage *maps = text->GetCGTransformManage()) {
        for (OfdTypeCGTransform *map : maps->GetTransforms()) {
            XmlNode *cg = node->AddChildByName(QStringLiteral("CGTransform"), false);
            cg->AddAttr(QStringLiteral("CodePosition"), map->GetCodePosition());
            cg->AddAttr(QStringLiteral("CodeCount"), map->GetCodeCount());
            cg->AddAttr(QStringLiteral("GlyphCount"), map->GetGlyphCount());
            QStringList glyphs;
            for (int g : map->GetGlyphs())
                glyphs.append(QString::number(g));
            cg->AddChild(QStringLiteral("Glyphs"), glyphs.join(QLatin1Char(' ')), false);
        }
    }
    for (OfdTypeTextCode *code : text->GetTextCodeManage().GetCodes()) {
        XmlNode *codeNode = node->AddChild(QStringLiteral("TextCode"), code->GetText(), false);
        // A code without X or Y goes on from where the one before ended; writing 0 would move it.
        if (code->HasX())
            codeNode->AddAttr(QStringLiteral("X"), OfdHelper::NumberText(code->GetX()));
        if (code->HasY())
            codeNode->AddAttr(QStringLiteral("Y"), OfdHelper::NumberText(code->GetY()));
        if (!code->GetDeltaX().isEmpty())
            codeNode->AddAttr(QStringLiteral("DeltaX"), JoinNumbers(code->GetDeltaX()));
        if (!code->GetDeltaY().isEmpty())
            codeNode->AddAttr(QStringLiteral("DeltaY"), JoinNumbers(code->GetDeltaY()));
    }
}
