#include "model/content/ofdtypefillcolor.h"

#include <QDebug>
#include <QXmlStreamReader>

#include <memory>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofditemcontext.h"
#include "model/content/ofdspecialcolor.h"
#include "model/content/ofdspecialcolorfactory.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/xml/xmlnode.h"

OfdTypeFillColor::OfdTypeFillColor() = default;
OfdTypeFillColor::~OfdTypeFillColor() = default;
OfdTypeFillColor::OfdTypeFillColor(const OfdTypeFillColor &other) = default;
OfdTypeFillColor &OfdTypeFillColor::operator=(const OfdTypeFillColor &other) = default;

OfdTypeFillColor OfdTypeFillColor::CreateDefaultStrokeColor()
{
    OfdTypeFillColor color;
    color.m_colorSpaceId = -2;
    color.m_values = {0, 0, 0};
    return color;
}

void OfdTypeFillColor::ParseXml(QXmlStreamReader &reader)
{
    if (!reader.isStartElement())
        return;
    ParseNode(nullptr);
    const QXmlStreamAttributes attrs = reader.attributes();
    m_colorSpaceId = OfdHelper::GetAttrInt(attrs, QLatin1String("ColorSpace"), 0);
    m_values = OfdHelper::ParseColorValue(attrs.value(QLatin1String("Value")).toString());
    m_alpha = OfdHelper::GetAttrInt(attrs, QLatin1String("Alpha"), 255);
    // The element's children may hold a shading or pattern; files also write one beside a Value.
    std::unique_ptr<XmlNode> tree(OfdHelper::ReadCurrentElementTree(reader));
    m_specialColor.reset(OfdSpecialColorFactory::CreateFromColorElement(tree.get()));
    if (!m_specialColor && m_values.isEmpty() && QtHelper::IsShowDebugMessage())
        qDebug() << "warning: OfdTypeFillColor empty!";
}

void OfdTypeFillColor::ParseNode(const XmlNode *node)
{
    m_specialColor.reset();
    if (!node) {
        m_colorSpaceId = -1;
        m_values.clear();
        m_alpha = 255;
        return;
    }
    m_colorSpaceId = OfdHelper::StringToInt(node->GetAttr(QStringLiteral("ColorSpace")), 0);
    m_values = OfdHelper::ParseColorValue(node->GetAttr(QStringLiteral("Value")));
    m_alpha = OfdHelper::StringToInt(node->GetAttr(QStringLiteral("Alpha")), 255);
}

OfdDocumentAccess *OfdTypeFillColor::GetOfdFile() const
{
    if (m_pageItem && m_pageItem->GetOfdFile())
        return m_pageItem->GetOfdFile();
    return m_document;
}

int OfdTypeFillColor::GetPageRefId() const
{
    return m_pageItem ? m_pageItem->GetPageRefId() : 0;
}

OfdTypeColorSpace *OfdTypeFillColor::GetColorSpace(int id) const
{
    if (OfdDocumentAccess *document = GetOfdFile()) {
        if (OfdTypeColorSpace *space = document->GetColorSpace(id))
            return space;
    }
    static OfdTypeColorSpace defaultSpace(0, OfdTypeColorSpace::ColorSpaceType_RGB, 8);
    return &defaultSpace;
}

void OfdTypeFillColor::SetSpecialColor(OfdSpecialColor *color)
{
    m_specialColor.reset(color);
}

QColor OfdTypeFillColor::CreateQColor() const
{
    return OfdHelper::CreateQColor(*this, *GetColorSpace(m_colorSpaceId));
}

bool OfdTypeFillColor::IsCreateBrush() const
{
    return m_specialColor && !m_specialColor->IsPattern();
}

QBrush OfdTypeFillColor::CreateBrush() const
{
    return CreateBrush(OfdConvert::PxOfOneMM);
}

QBrush OfdTypeFillColor::CreateBrush(double unitsPerMM) const
{
    if (!IsCreateBrush())
        return QBrush();
    return m_specialColor->CreateBrush(*this, unitsPerMM);
}

bool OfdTypeFillColor::IsDrawPattern() const
{
    return m_specialColor && m_specialColor->IsPattern();
}

bool OfdTypeFillColor::DrawPattern(QPainter *painter, const QRectF &area) const
{
    if (!IsDrawPattern())
        return false;
    const auto *pattern = static_cast<const OfdSpecialColorPattern *>(m_specialColor.data());
    const QPointF origin = m_pageItem ? m_pageItem->GetBoundaryOrigin() : QPointF();
    return pattern->DrawPattern(painter, area, *this, OfdConvert::PxOfOneMM, origin,
                                OfdSpecialColorPattern::GetCellPainter());
}
