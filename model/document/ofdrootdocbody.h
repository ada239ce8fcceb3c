#pragma once

#include <QString>

class QXmlStreamReader;
class OfdXmlRoot;

// One DocBody of the entry file: the package paths of a document's descriptor and signature list.
class OfdRootDocBody
{
public:
    explicit OfdRootDocBody(OfdXmlRoot *parent);
    virtual ~OfdRootDocBody();

    // Reads the DocBody element the reader is on, to its end tag; locations are resolved against
    // the entry file.
    virtual void ParseXml(QXmlStreamReader &reader);

    OfdXmlRoot *GetParent() const { return m_parent; }
    // Package path of Document.xml; empty when DocRoot is absent.
    const QString &GetDocRootPath() const { return m_docRootPath; }
    // Package path of Signatures.xml; empty when the document has no signature list.
    const QString &GetSignaturesPath() const { return m_signaturesPath; }

private:
    OfdXmlRoot *m_parent; // not owned
    QString m_docRootPath;
    QString m_signaturesPath;
};
