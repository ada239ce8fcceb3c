#include "render/content/ofdtypepagearea.h"

#include <QXmlStreamReader>

#include "model/xml/ofdxmlstreamstep.h"
#include "render/content/ofdhelper.h"

OfdTypePageArea::OfdTypePageArea() = default;
OfdTypePageArea::~OfdTypePageArea() = default;

void OfdTypePageArea::ParseXml(QXmlStreamReader &reader)
{
    OfdXmlStreamStep step(reader, QStringLiteral("PageArea*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":PhysicalBox"))) {
            QRectF box;
            if (OfdHelper::PasrseRect(step.ReadText(), box))
                SetPhysicalBox(box);
        } else {
            step.Skip();
        }
    }
}
