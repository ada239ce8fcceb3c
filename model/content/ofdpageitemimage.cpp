#include "model/content/ofdpageitemimage.h"

#include <QXmlStreamReader>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitemcomposite.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/xml/ofdxmlstreamstep.h"

void OfdPageItemImage::PasreXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    ParseBaseAttributes(attrs);
    m_resourceId = OfdHelper::GetAttrInt(attrs, QLatin1String("ResourceID"), 0);

    OfdXmlStreamStep step(reader, QStringLiteral("ImageObject*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":Clips"))) {
            ParseClips(reader);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}

OfdTypeMultiMedia *OfdPageItemImage::GetMultiMedia() const
{
    return m_document ? m_document->GetMultiMedia(m_resourceId, GetPageRefId()) : nullptr;
}

QByteArray OfdPageItemImage::GetMultiMediaData() const
{
    OfdTypeMultiMedia *media = GetMultiMedia();
    if (!media || media->GetMediaFile().isEmpty())
        return QByteArray();
    return m_document->GetOfdFileContent(media->GetMediaFile());
}

void OfdPageItemComposite::PasreXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    ParseBaseAttributes(attrs);
    m_resourceId = OfdHelper::GetAttrInt(attrs, QLatin1String("ResourceID"), 0);
    reader.skipCurrentElement();
}

OfdTypeCompositeGraphicUnit *OfdPageItemComposite::GetCompositeGraphicUnit() const
{
    return m_document ? m_document->GetCompositeGraphicUnit(m_resourceId) : nullptr;
}
