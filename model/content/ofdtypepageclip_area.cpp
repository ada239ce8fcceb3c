#include "model/content/ofdtypepageclip_area.h"

#include <QPainter>
#include <QTransform>
#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdtypepageclip.h"
#include "model/xml/xmlnode.h"

OfdTypePageClip_Area::OfdTypePageClip_Area(OfdTypePageClip *clip) : m_clip(clip) {}

OfdTypePageClip_Area::~OfdTypePageClip_Area() = default;

void OfdTypePageClip_Area::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_drawParam = OfdHelper::GetAttrString(attrs, QLatin1String("DrawParam")).trimmed();
    m_ctm.Clear();
    m_ctm.ParseText(attrs.value(QLatin1String("CTM")).toString());
    m_areaNode.reset(OfdHelper::ReadCurrentElementTree(reader));
}

void OfdTypePageClip_Area::AddItemOutline(EN_OutlineKind kind, const QPainterPath &outline)
{
    m_outlines.append(Outline{kind, outline});
}

static QPainterPath MapByInverse(const QPainterPath &path, const QTransform *t)
{
    if (!t)
        return path;
    bool invertible = false;
    const QTransform inverse = t->inverted(&invertible);
    return invertible ? inverse.map(path) : path;
}

QPainterPath *OfdTypePageClip_Area::GetPainterClip(const QTransform *t) const
{
    for (const Outline &o : m_outlines) {
        if (!o.path.isEmpty())
            return new QPainterPath(MapByInverse(o.path, t));
    }
    return nullptr;
}

QPainterPath OfdTypePageClip_Area::GetClip_PainterPath() const
{
    for (const Outline &o : m_outlines) {
        if (o.kind == Outline_Path && !o.path.isEmpty())
            return o.path;
    }
    return QPainterPath();
}

bool OfdTypePageClip_Area::SetPainterClip(QPainter *painter, const QRectF &, const QTransform *t) const
{
    bool set = false;
    for (const Outline &o : m_outlines) {
        if (o.kind != Outline_Path || o.path.isEmpty())
            continue;
        if (painter)
            painter->setClipPath(MapByInverse(o.path, t), Qt::ReplaceClip);
        set = true;
    }
    return set;
}

OfdDocumentAccess *OfdTypePageClip_Area::GetOfdFile() const
{
    return m_clip ? m_clip->GetOfdFile() : nullptr;
}
