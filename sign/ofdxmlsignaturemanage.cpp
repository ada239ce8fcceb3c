#include "sign/ofdxmlsignaturemanage.h"

#include <QDebug>

#include "model/document/ofdfile.h"
#include "model/package/ofdcontentsource.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "sign/ofdxmlsignature.h"

OfdXmlSignatureManage::OfdXmlSignatureManage() = default;

OfdXmlSignatureManage::~OfdXmlSignatureManage()
{
    qDeleteAll(m_signatures);
    qDeleteAll(m_entries);
}

void OfdXmlSignatureManage::SetSignatures(OfdContentSource *document, const QString &path)
{
    m_document = document;
    SetOfdFilePath(path);
}

bool OfdXmlSignatureManage::Init()
{
    const QByteArray bytes = m_document ? m_document->GetOfdFileContent(GetOfdFilePath()) : QByteArray();
    if (bytes.isEmpty())
        return false;
    ParseXml(bytes);
    for (OfdDataSignature *entry : qAsConst(m_entries)) {
        auto *signature = new OfdXmlSignature;
        signature->SetOfdFile(m_document);
        signature->SetData(this, entry);
        signature->ParseData();
        m_signatures.append(signature);
    }
    return true;
}

void OfdXmlSignatureManage::ParseXml(const QByteArray &bytes)
{
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("Signatures*:"));
    while (step.Next()) {
        if (step.GetDepth() == 1)
            continue;
        if (step.IsAt(2, QLatin1String(":Signature"))) {
            if (m_entries.size() >= kMaxSignatures) {
                qDebug() << "OfdXmlSignatureManage: more than" << kMaxSignatures
                         << "signatures; the rest are not read";
                break;
            }
            auto *entry = new OfdDataSignature;
            entry->SetParent(this);
            entry->id = step.Attr(QLatin1String("ID"));
            entry->type = step.Attr(QLatin1String("Type"));
            entry->baseLoc = GetOfdFullPath(step.Attr(QLatin1String("BaseLoc")).trimmed());
            m_entries.append(entry);
        }
        step.Skip();
    }
}

void OfdXmlSignatureManage::GetStampAnnot(const QString &page, QList<OfdXmlSignature *> &out) const
{
    for (OfdXmlSignature *signature : m_signatures) {
        if (signature->ContainStampAnnot(page))
            out.append(signature);
    }
}

bool OfdXmlSignatureManage::CheckSm3()
{
    bool result = true;
    for (OfdXmlSignature *signature : qAsConst(m_signatures))
        result = signature->CheckSm3() && result;
    return result;
}

bool OfdXmlSignatureManage::CheckSignValue()
{
    bool result = true;
    for (OfdXmlSignature *signature : qAsConst(m_signatures))
        result = signature->CheckSignValue() && result;
    return result;
}

void OfdXmlSignatureManage::InstallLoader()
{
    OfdFile::SetSignaturesLoader([](OfdFile *document, const QString &path) -> OfdDocumentExtension * {
        auto *list = new OfdXmlSignatureManage;
        list->SetSignatures(document, path);
        if (!list->Init()) {
            delete list;
            return nullptr;
        }
        // The built-in check runs while the document loads.
        list->CheckSm3();
        list->CheckSignValue();
        return list;
    });
}
