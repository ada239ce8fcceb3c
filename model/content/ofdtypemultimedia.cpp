#include "model/content/ofdtypemultimedia.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdTypeMultiMedia::OfdTypeMultiMedia() = default;
OfdTypeMultiMedia::~OfdTypeMultiMedia() = default;

void OfdTypeMultiMedia::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_type = OfdHelper::GetAttrString(attrs, QLatin1String("Type"));
    m_format = OfdHelper::GetAttrString(attrs, QLatin1String("Format"));
    OfdXmlStreamStep step(reader, QStringLiteral("MultiMedia*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":MediaFile")))
            m_mediaFile = step.ReadText().trimmed();
        else
            step.Skip();
    }
}

QString OfdTypeMultiMedia::GetFileExt() const
{
    const int dot = m_mediaFile.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : m_mediaFile.mid(dot + 1);
}
