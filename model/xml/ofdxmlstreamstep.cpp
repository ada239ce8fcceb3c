#include "model/xml/ofdxmlstreamstep.h"

#include <QLoggingCategory>
#include <QXmlStreamReader>

#include "app/qthelper.h"

// Per-element traces of the typed parsers; enable with QT_LOGGING_RULES="ofd.parse.trace=true".
Q_LOGGING_CATEGORY(lcParseTrace, "ofd.parse.trace", QtWarningMsg)

OfdXmlStreamStep::OfdXmlStreamStep(QXmlStreamReader &reader, const QString &tracePrefix)
    : m_reader(reader), m_tracePrefix(tracePrefix)
{
}

bool OfdXmlStreamStep::Next()
{
    for (;;) {
        if (m_started && m_path.IsEmpty())
            return false;
        m_started = true;
        if (m_reader.readNextStartElement()) {
            m_path.Push(m_reader.qualifiedName().toString());
            if (QtHelper::IsShowDebugMessage() && lcParseTrace().isDebugEnabled())
                qCDebug(lcParseTrace).noquote() << m_tracePrefix + m_path.ToString();
            return true;
        }
        if (m_reader.hasError())
            return false;
        m_path.Pop();
    }
}

void OfdXmlStreamStep::EnterCurrent()
{
    m_started = true;
    if (!m_reader.isStartElement())
        return; // nothing to walk: Next() ends at once
    m_path.Push(m_reader.qualifiedName().toString());
    if (QtHelper::IsShowDebugMessage() && lcParseTrace().isDebugEnabled())
        qCDebug(lcParseTrace).noquote() << m_tracePrefix + m_path.ToString();
}

void OfdXmlStreamStep::Consumed()
{
    m_path.Pop();
}

QString OfdXmlStreamStep::ReadText()
{
    const QString text = m_reader.readElementText(QXmlStreamReader::SkipChildElements);
    m_path.Pop();
    return text;
}

void OfdXmlStreamStep::Skip()
{
    m_reader.skipCurrentElement();
    m_path.Pop();
}

QString OfdXmlStreamStep::Attr(QLatin1String name) const
{
    return m_reader.attributes().value(name).toString();
}

bool OfdXmlStreamStep::HasError() const
{
    return m_reader.hasError();
}
