#include "model/content/ofdpageitem.h"

#include <QXmlStreamReader>

#include <cmath>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypepageclips.h"
#include "model/content/ofdvisualitemtransfer.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/content/ofdxmlpagelayer.h"

namespace {
// Four numbers x y w h; fewer leave the boundary empty, more are ignored. Values that are not
// finite leave it empty as well.
QRectF ParseBoundary(const QString &text)
{
    const QList<double> parts = OfdHelper::ParseDoubleList(text);
    if (parts.size() < 4)
        return QRectF();
    float v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = float(parts[i]);
        if (!std::isfinite(v[i]))
            return QRectF();
    }
    return QRectF(double(v[0]), double(v[1]), double(v[2]), double(v[3]));
}
} // namespace

OfdPageItem::OfdPageItem() = default;
OfdPageItem::~OfdPageItem() = default;

void OfdPageItem::PasreXml(QXmlStreamReader &reader)
{
    ParseBaseAttributes(reader.attributes());
    reader.skipCurrentElement();
}

void OfdPageItem::ParseBaseAttributes(const QXmlStreamAttributes &attrs)
{
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_boundary = ParseBoundary(attrs.value(QLatin1String("Boundary")).toString());
    m_visible = OfdHelper::GetAttrBool(attrs, QLatin1String("Visible"), true);
    m_drawParam = OfdHelper::GetAttrString(attrs, QLatin1String("DrawParam"));
    m_ctm.ParseText(attrs.value(QLatin1String("CTM")).toString());
    m_alpha = qBound(0, OfdHelper::GetAttrInt(attrs, QLatin1String("Alpha"), 255), 255);
}

QString OfdPageItem::GetAttrWithDrawParam(const QXmlStreamAttributes &attrs, QLatin1String name) const
{
    const QString own = attrs.value(name).toString().trimmed();
    if (!own.isEmpty())
        return own;
    if (OfdTypeDrawParam *param = GetDrawParam()) {
        bool found = false;
        const QString value = param->GetAttrValue(QString(name), found);
        if (found)
            return value.trimmed();
    }
    return QString();
}

void OfdPageItem::TakeDrawParamColours(OfdTypeFillColor *fill, OfdTypeFillColor *stroke)
{
    OfdTypeDrawParam *param = GetDrawParam();
    if (!param)
        return;
    const auto take = [this](OfdTypeFillColor *own, const OfdTypeFillColor &given) {
        if (own && !own->IsSet() && given.IsSet()) {
            *own = given;
            own->SetPageItem(this);
        }
    };
    take(stroke, param->GetStrokeColor());
    take(fill, param->GetFillColor());
}

void OfdPageItem::ParseClips(QXmlStreamReader &reader)
{
    m_clips = std::make_unique<OfdTypePageClips>(this);
    m_clips->ParseXml(reader);
}

int OfdPageItem::GetPageRefId() const
{
    if (m_block && m_block->GetPageRefId() != 0)
        return m_block->GetPageRefId();
    if (m_layer)
        return m_layer->GetPageRefId();
    return 0;
}

OfdTypeDrawParam *OfdPageItem::GetDrawParam() const
{
    if (m_drawParam.isEmpty() || !m_document)
        return nullptr;
    return m_document->GetDrawParam(m_drawParam, GetPageRefId());
}

OfdTypeColorSpace *OfdPageItem::GetColorSpace(int id) const
{
    return m_document ? m_document->GetColorSpace(id) : nullptr;
}

QString OfdPageItem::GetBoundaryText() const
{
    if (!IsBoundaryValid())
        return QString();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(OfdHelper::NumberText(m_boundary.x()), OfdHelper::NumberText(m_boundary.y()),
             OfdHelper::NumberText(m_boundary.width()), OfdHelper::NumberText(m_boundary.height()));
}

QPainterPath OfdPageItem::GetClip_PainterPath() const
{
    return m_clips ? m_clips->GetClip_PainterPath() : QPainterPath();
}

QPainterPath *OfdPageItem::GetPainterClip(const QTransform *t) const
{
    return m_clips ? m_clips->GetPainterClip(t) : nullptr;
}

bool OfdPageItem::SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const
{
    return m_clips ? m_clips->SetPainterClip(painter, rect, t) : false;
}

OfdVisualItemTransfer *OfdPageItem::CreateVisualItemTransfer() const
{
    auto *transfer = new OfdVisualItemTransfer;
    transfer->SetBoundary(m_boundary);
    if (m_ctm.IsValidate())
        transfer->SetCTM(m_ctm);
    return transfer;
}
