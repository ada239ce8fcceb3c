#include "model/content/ofdtypedrawparam.h"

#include <QXmlStreamReader>

#include "model/xml/ofdxmlstreamstep.h"

OfdTypeDrawParam::OfdTypeDrawParam() = default;
OfdTypeDrawParam::~OfdTypeDrawParam() = default;

void OfdTypeDrawParam::ParseXml(QXmlStreamReader &reader)
{
    m_attrs.clear();
    for (const QXmlStreamAttribute &attr : reader.attributes())
        m_attrs.append(NamePair{attr.name().toString(), attr.value().toString()});
    bool found = false;
    m_id = GetAttrValue(QStringLiteral("ID"), found).trimmed();
    OfdXmlStreamStep step(reader, QStringLiteral("DrawParam*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":FillColor"))) {
            m_fillColor.ParseXml(reader);
            step.Consumed();
        } else if (step.IsAt(2, QLatin1String(":StrokeColor"))) {
            m_strokeColor.ParseXml(reader);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}

QString OfdTypeDrawParam::GetAttrValue(const QString &name, bool &found, const QString &def) const
{
    for (const NamePair &pair : m_attrs) {
        if (pair.name == name) {
            found = true;
            return pair.value;
        }
    }
    found = false;
    return def;
}

void OfdTypeDrawParam::SetDocumentAccess(OfdDocumentAccess *document)
{
    m_fillColor.SetDocumentAccess(document);
    m_strokeColor.SetDocumentAccess(document);
}
