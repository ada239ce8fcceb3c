#include "model/document/ofdxmlroot.h"

#include "model/document/ofdrootdocbody.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdXmlRoot::OfdXmlRoot() = default;

OfdXmlRoot::~OfdXmlRoot()
{
    qDeleteAll(m_docBodies);
}

void OfdXmlRoot::PasrseXml(const QByteArray &bytes)
{
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("OFD*:"));
    while (step.Next()) {
        if (step.GetDepth() == 1)
            continue; // the root element, whatever its name
        if (step.IsAt(2, QLatin1String(":DocBody"))) {
            auto *body = new OfdRootDocBody(this);
            body->ParseXml(reader);
            m_docBodies.append(body);
            step.Consumed();
        } else {
            step.Skip();
        }
    }
}

OfdRootDocBody *OfdXmlRoot::GetDocBody(int i) const
{
    return m_docBodies.value(i, nullptr);
}

QString OfdXmlRoot::GetDocRootPath(int i) const
{
    const OfdRootDocBody *body = GetDocBody(i);
    return body ? body->GetDocRootPath() : QString();
}
