#pragma once

#include <QList>
#include <QString>

#include "model/document/ofddocumentextension.h"
#include "model/xml/ofdxml.h"

class OfdContentSource;
class OfdDataSignature;
class OfdXmlSignature;

// The signature list of a document (Signatures.xml) with one decoded signature description per
// entry. Owns its entries and signatures; read through the document it belongs to.
class OfdXmlSignatureManage : public OfdXml, public OfdDocumentExtension
{
public:
    // Signatures read from one list at most; further entries are left out (and logged), so that a
    // crafted list cannot make loading do unbounded work.
    static const int kMaxSignatures = 256;
    OfdXmlSignatureManage();
    ~OfdXmlSignatureManage() override;

    void SetSignatures(OfdContentSource *document, const QString &path);
    // Reads the list and every description; false when the list is missing or empty.
    bool Init();
    // Parses list bytes (also for tests).
    void ParseXml(const QByteArray &bytes);

    const QList<OfdDataSignature *> &GetDataSignatures() const { return m_entries; }
    const QList<OfdXmlSignature *> &GetSignatures() const { return m_signatures; }
    int GetCount() const { return m_signatures.size(); }

    // Appends every signature with a stamp on the page with that object ID, in list order.
    void GetStampAnnot(const QString &page, QList<OfdXmlSignature *> &out) const;
    // Every signature checked even after a failure; an empty list passes.
    bool CheckSm3();
    bool CheckSignValue();

    // Makes the document loader read signature lists with this class (once, at start-up).
    static void InstallLoader();

private:
    OfdContentSource *m_document = nullptr;
    QList<OfdDataSignature *> m_entries;
    QList<OfdXmlSignature *> m_signatures;
};
