#pragma once

#include <QSharedPointer>

#include <memory>

class OfdFile;
class OfdFileManage;
class OfdFileReader;

// The documents behind one view: the shared package reader and the file manager with the loaded
// documents (owned).
class OfdViewManage
{
public:
    OfdViewManage();
    ~OfdViewManage();
    OfdViewManage(const OfdViewManage &) = delete;
    OfdViewManage &operator=(const OfdViewManage &) = delete;

    // Loads the package's entry file; false when it has no readable document.
    bool SetFileReader(const QSharedPointer<OfdFileReader> &reader);
    QSharedPointer<OfdFileReader> GetFileReader() const;
    OfdFileManage *GetFileManage() const { return m_fileManage.get(); }

    int GetOfdFileCount() const;
    // Document i, loaded on first request; null when out of range.
    OfdFile *GetOfdFile(int i) const;
    void TryParseAllPage(int document);

private:
    std::unique_ptr<OfdFileManage> m_fileManage;
};
