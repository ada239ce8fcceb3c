#include "model/content/ofdtypepageclip.h"

#include <QXmlStreamReader>

#include <memory>

#include "model/content/ofdtypepageclip_area.h"
#include "model/content/ofdtypepageclips.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypePageClip::OfdTypePageClip(OfdTypePageClips *clips) : m_clips(clips) {}

OfdTypePageClip::~OfdTypePageClip()
{
    qDeleteAll(m_areas);
}

void OfdTypePageClip::ParseXml(QXmlStreamReader &reader)
{
    OfdXmlStreamStep step(reader, QStringLiteral("Clip*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Area"))) {
            auto *area = new OfdTypePageClip_Area(this);
            area->ParseXml(reader);
            m_areas.append(area);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}

QPainterPath *OfdTypePageClip::GetPainterClip(const QTransform *t) const
{
    std::unique_ptr<QPainterPath> result;
    for (const OfdTypePageClip_Area *area : m_areas) {
        std::unique_ptr<QPainterPath> outline(area->GetPainterClip(t));
        if (!outline)
            continue;
        if (result)
            *result = result->united(*outline);
        else
            result = std::move(outline);
    }
    return result.release();
}

QPainterPath OfdTypePageClip::GetClip_PainterPath() const
{
    QPainterPath result;
    for (const OfdTypePageClip_Area *area : m_areas) {
        const QPainterPath outline = area->GetClip_PainterPath();
        if (!outline.isEmpty())
            result = result.isEmpty() ? outline : result.united(outline);
    }
    return result;
}

bool OfdTypePageClip::SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const
{
    bool set = false;
    for (const OfdTypePageClip_Area *area : m_areas)
        set = area->SetPainterClip(painter, rect, t) || set;
    return set;
}

OfdDocumentAccess *OfdTypePageClip::GetOfdFile() const
{
    return m_clips ? m_clips->GetOfdFile() : nullptr;
}
