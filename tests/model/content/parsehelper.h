#pragma once

#include <QByteArray>
#include <QString>

#include "model/xml/ofdxmlstreamreader.h"

// Places element inside a wrapper followed by a sibling <ofd:Next/>, puts the reader on element's
// start tag, runs parse, and returns the local name of the next start element the reader finds: "Next"
// when parse consumed exactly the element.
template <typename Parse>
QString ParseInWrapper(const QByteArray &element, Parse parse)
{
    OfdXmlStreamReader reader(QByteArray("<w xmlns:ofd='http://www.ofdspec.org/2016' xmlns:x='urn:x'>") +
                              element + QByteArray("<ofd:Next/></w>"));
    reader.readNextStartElement();
    reader.readNextStartElement();
    parse(reader);
    return reader.readNextStartElement() ? reader.name().toString() : QString();
}
