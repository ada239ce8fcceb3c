#include "model/document/ofdfilemanage.h"

#include <QDebug>

#include "app/ofdparams.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdrootdocbody.h"
#include "model/document/ofdxmlroot.h"
#include "model/package/ofdfilereader.h"

OfdFileManage::OfdFileManage() = default;

OfdFileManage::~OfdFileManage()
{
    qDeleteAll(m_documents);
}

bool OfdFileManage::SetFileReader(const QSharedPointer<OfdFileReader> &reader)
{
    m_reader = reader;
    qDeleteAll(m_documents);
    m_documents.clear();
    if (!ParseOfdRoot())
        return false;
    for (int i = 0; i < m_root->GetDocCount(); ++i) {
        auto *document = new OfdFile;
        document->SetFileManage(this, m_root->GetDocBody(i));
        m_documents.append(document);
    }
    return true;
}

bool OfdFileManage::ParseOfdRoot()
{
    m_root.reset();
    const QByteArray bytes = GetFileContent(OfdParam::File_OfdRoot);
    if (bytes.isEmpty())
        return false;
    m_root = std::make_unique<OfdXmlRoot>();
    m_root->PasrseXml(bytes);
    const QString docRoot = m_root->GetDocRootPath(0);
    qDebug() << "DocRoot:" << docRoot;
    return !docRoot.isEmpty();
}

OfdFile *OfdFileManage::GetOfdFile(int i)
{
    if (i < 0 || i >= m_documents.size())
        return nullptr;
    OfdFile *document = m_documents[i];
    document->TryInit();
    return document;
}

void OfdFileManage::TryParseAllPage(int i)
{
    if (OfdFile *document = GetOfdFile(i))
        document->TryParseAllPage();
}

QByteArray OfdFileManage::GetFileContent(const QString &path)
{
    return m_reader ? m_reader->GetFileContent(path) : QByteArray();
}
