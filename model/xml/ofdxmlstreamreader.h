#pragma once

#include <QByteArray>
#include <QXmlStreamReader>

// The pull reader every parser uses. It binds the prefix "ofd" to the OFD namespace up front, so
// parts that write "ofd:" names without declaring the prefix still parse.
class OfdXmlStreamReader : public QXmlStreamReader
{
public:
    explicit OfdXmlStreamReader(const QByteArray &data);
};
