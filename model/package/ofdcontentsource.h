#pragma once

#include <QByteArray>
#include <QString>

// Anything that hands out the bytes of package entries by package path (a document, a package reader).
class OfdContentSource
{
public:
    virtual ~OfdContentSource();
    // Bytes of the entry, empty when it is missing or unreadable.
    virtual QByteArray GetOfdFileContent(const QString &path) = 0;
};
