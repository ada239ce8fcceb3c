#include "model/content/ofdtypepageclips.h"

#include <QXmlStreamReader>

#include <memory>

#include "model/content/ofdhelper.h"
#include "model/content/ofditemcontext.h"
#include "model/content/ofdtypepageclip.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypePageClips::OfdTypePageClips(OfdItemContext *item) : m_item(item) {}

OfdTypePageClips::~OfdTypePageClips()
{
    qDeleteAll(m_clips);
}

void OfdTypePageClips::ParseXml(QXmlStreamReader &reader)
{
    m_transFlag = OfdHelper::GetAttrBool(reader.attributes(), QLatin1String("TransFlag"), true);
    OfdXmlStreamStep step(reader, QStringLiteral("Clips*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Clip"))) {
            auto *clip = new OfdTypePageClip(this);
            clip->ParseXml(reader);
            m_clips.append(clip);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}

QPainterPath *OfdTypePageClips::GetPainterClip(const QTransform *t) const
{
    std::unique_ptr<QPainterPath> result;
    for (const OfdTypePageClip *clip : m_clips) {
        std::unique_ptr<QPainterPath> outline(clip->GetPainterClip(m_transFlag ? nullptr : t));
        if (!outline)
            continue;
        if (result)
            *result = result->intersected(*outline);
        else
            result = std::move(outline);
    }
    return result.release();
}

QPainterPath OfdTypePageClips::GetClip_PainterPath() const
{
    QPainterPath result;
    for (const OfdTypePageClip *clip : m_clips) {
        const QPainterPath outline = clip->GetClip_PainterPath();
        if (!outline.isEmpty())
            result = result.isEmpty() ? outline : result.united(outline);
    }
    return result;
}

bool OfdTypePageClips::SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const
{
    bool set = false;
    for (const OfdTypePageClip *clip : m_clips)
        set = clip->SetPainterClip(painter, rect, t) || set;
    return set;
}

OfdDocumentAccess *OfdTypePageClips::GetOfdFile() const
{
    return m_item ? m_item->GetOfdFile() : nullptr;
}
