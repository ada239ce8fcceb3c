#include "render/ofdviewmanage.h"

#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/package/ofdfilereader.h"

OfdViewManage::OfdViewManage() : m_fileManage(std::make_unique<OfdFileManage>()) {}

OfdViewManage::~OfdViewManage() = default;

bool OfdViewManage::SetFileReader(const QSharedPointer<OfdFileReader> &reader)
{
    return m_fileManage->SetFileReader(reader);
}

QSharedPointer<OfdFileReader> OfdViewManage::GetFileReader() const
{
    return m_fileManage->GetFileReader();
}

int OfdViewManage::GetOfdFileCount() const
{
    return m_fileManage->GetOfdFileCount();
}

OfdFile *OfdViewManage::GetOfdFile(int i) const
{
    return m_fileManage->GetOfdFile(i);
}

void OfdViewManage::TryParseAllPage(int document)
{
    m_fileManage->TryParseAllPage(document);
}
