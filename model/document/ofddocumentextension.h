#pragma once

#include <QString>

#include <functional>

class OfdFile;

// A part of a document that a module above the document model reads and owns through the document:
// the annotations, the signature list. The document deletes it with itself.
class OfdDocumentExtension
{
public:
    virtual ~OfdDocumentExtension();
};

// Reads such a part from its package path for a document; null when there is nothing to keep.
using OfdDocumentExtensionLoader =
    std::function<OfdDocumentExtension *(OfdFile *document, const QString &path)>;
