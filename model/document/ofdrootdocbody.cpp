#include "model/document/ofdrootdocbody.h"

#include <QDebug>
#include <QXmlStreamReader>

#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdxmlroot.h"
#include "model/xml/ofdxmlstreamstep.h"

namespace {
QString Or(const QString &first, const QString &second)
{
    return first.isEmpty() ? second : first;
}
} // namespace

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
    // Some producers write the locations as attributes of DocBody; an element, when present, wins.
    const QXmlStreamAttributes attrs = reader.attributes();
    for (const char *name : {"DocRoot", "Signatures"}) {
        const QString value = attrs.value(QLatin1String(name)).toString();
        if (value.trimmed().isEmpty())
            continue;
        qDebug().noquote() << "DocBody names its" << name << "in an attribute:" << value;
        (qstrcmp(name, "DocRoot") == 0 ? m_docRootPath : m_signaturesPath) = resolve(value);
    }
    OfdXmlStreamStep step(reader, QStringLiteral("DocBody*:"));
    step.EnterCurrent();
    while (step.Next()) {
        if (step.IsAt(2, QLatin1String(":DocRoot")))
            m_docRootPath = Or(resolve(step.ReadText()), m_docRootPath);
        else if (step.IsAt(2, QLatin1String(":Signatures")))
            m_signaturesPath = Or(resolve(step.ReadText()), m_signaturesPath);
        else
            step.Skip();
    }
}
