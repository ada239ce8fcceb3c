#include "model/content/ofdxmlpagecontentparse.h"

#include "model/content/ofdtemplateinfo.h"
#include "model/content/ofdtypepagearea.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdXmlPageLayerGroup *OfdXmlPageContentParse::Parse(const QByteArray &content)
{
    auto *group = new OfdXmlPageLayerGroup;
    OfdXmlStreamReader reader(content);
    OfdXmlStreamStep step(reader, QStringLiteral("Page*:"));
    while (step.Next()) {
        const int depth = step.GetDepth();
        if (depth == 1)
            continue;
        if (depth == 2) {
            if (step.IsAt(2, QLatin1String(":Area"))) {
                auto *area = new OfdTypePageArea;
                area->ParseXml(reader);
                step.Consumed();
                group->SetPageArea(area);
            } else if (step.IsAt(2, QLatin1String(":Template"))) {
                auto *info = new OfdTemplateInfo;
                info->ParseXml(reader);
                step.Consumed();
                group->AddTemplate(info);
            } else if (step.IsAt(2, QLatin1String(":PageRes"))) {
                const QString path = step.ReadText();
                if (m_page)
                    m_page->AddPageRes(path, m_contentPath);
            }
            continue; // Content and anything else at this level is walked through
        }
        if (depth == 3 && step.IsAt(3, QLatin1String(":Layer"))) {
            auto *layer = new OfdXmlPageLayer;
            group->AddLayer(layer);
            layer->ParseXml(m_page, reader);
            step.Consumed();
            continue;
        }
        step.Skip();
    }
    return group;
}
