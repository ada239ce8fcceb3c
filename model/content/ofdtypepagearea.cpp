#include "model/content/ofdtypepagearea.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/ofdxmlstreamstep.h"

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
