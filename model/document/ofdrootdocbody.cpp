#include "model/document/ofdrootdocbody.h"

#include <QXmlStreamReader>

#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdxmlroot.h"
#include "model/xml/ofdxmlstreamstep.h"

OfdRootDocBody::OfdRootDocBody(OfdXmlRoot *parent) : m_parent(parent) {}

OfdRootDocBody::~OfdRootDocBody() = default;

void OfdRootDocBody::ParseXml(QXmlStreamReader &reader)
{
    auto resolve = [this](const QString &location) {
        const QString loc = location.trimmed();
        if (loc.isEmpty())
            return QString();
        return NormalizeOfdPath(m_parent ? m_parent->GetOfdFullPath(loc) : loc);
    };
    OfdXmlStreamStep step(reader, QStringLiteral("DocBody*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":DocRoot")))
            m_docRootPath = resolve(step.ReadText());
        else if (step.IsAt(2, QLatin1String(":Signatures")))
            m_signaturesPath = resolve(step.ReadText());
        else
            step.Skip();
    }
}
