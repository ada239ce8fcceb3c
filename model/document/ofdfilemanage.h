#pragma once

#include <QList>
#include <QSharedPointer>

#include <memory>

class OfdFile;
class OfdFileReader;
class OfdXmlRoot;

// The documents of one opened package: reads OFD.xml and makes one document per document body,
// each loaded the first time it is asked for. Owns the entry file and the documents.
class OfdFileManage
{
public:
    OfdFileManage();
    ~OfdFileManage();
    OfdFileManage(const OfdFileManage &) = delete;
    OfdFileManage &operator=(const OfdFileManage &) = delete;

    // Keeps the reader and reads the entry file; false (and no documents) when OFD.xml is missing or
    // its first body names no document.
    bool SetFileReader(const QSharedPointer<OfdFileReader> &reader);
    bool ParseOfdRoot();
    const QSharedPointer<OfdFileReader> &GetFileReader() const { return m_reader; }
    OfdXmlRoot *GetRoot() const { return m_root.get(); }

    int GetOfdFileCount() const { return m_documents.size(); }
    // Document i, loaded on first request; null when i is out of range.
    OfdFile *GetOfdFile(int i);
    void TryParseAllPage(int i);
    QByteArray GetFileContent(const QString &path);

private:
    QSharedPointer<OfdFileReader> m_reader;
    std::unique_ptr<OfdXmlRoot> m_root;
    QList<OfdFile *> m_documents;
};
