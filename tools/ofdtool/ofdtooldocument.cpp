#include "ofdtooldocument.h"

#include <QFileInfo>

#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "render/ofdviewmanage.h"

OfdToolDocument::OfdToolDocument() = default;
OfdToolDocument::~OfdToolDocument()
{
    // Documents read through the reader: drop them first.
    m_manage.reset();
}

bool OfdToolDocument::Open(const QString &path)
{
    m_error.clear();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    if (!info.isFile() || !info.isReadable()) {
        m_error = QStringLiteral("%1: not a readable file").arg(path);
        return false;
    }
    m_reader = QSharedPointer<OfdFileReader>::create();
    if (!m_reader->Open(info.absoluteFilePath())) {
        m_error =
            QStringLiteral("%1: not an OFD package (版式文档): the ZIP archive cannot be read").arg(path);
        return false;
    }
    m_manage = std::make_unique<OfdViewManage>();
    if (!m_manage->SetFileReader(m_reader) || m_manage->GetOfdFileCount() <= 0) {
        m_error = QStringLiteral("%1: not an OFD package (版式文档): OFD.xml is missing or names no document")
                      .arg(path);
        return false;
    }
    if (!GetDocument(0)) {
        m_error = QStringLiteral("%1: the document descriptor (Document.xml) cannot be read").arg(path);
        return false;
    }
    return true;
}

int OfdToolDocument::GetDocumentCount() const
{
    return m_manage ? m_manage->GetOfdFileCount() : 0;
}

OfdFile *OfdToolDocument::GetDocument(int i) const
{
    OfdFile *document = m_manage ? m_manage->GetOfdFile(i) : nullptr;
    return document && document->GetXmlDocument() ? document : nullptr;
}
