#pragma once

#include <QSharedPointer>
#include <QString>

#include <memory>

class OfdFile;
class OfdFileReader;
class OfdViewManage;

// An OFD package opened for a command: the package reader and the loaded documents. Open tells in
// words why a file cannot be used.
class OfdToolDocument
{
public:
    OfdToolDocument();
    ~OfdToolDocument();
    OfdToolDocument(const OfdToolDocument &) = delete;
    OfdToolDocument &operator=(const OfdToolDocument &) = delete;

    // False, with Error() set, when the file is missing, not a ZIP package, has no OFD.xml or no
    // document whose descriptor can be read.
    bool Open(const QString &path);
    const QString &Error() const { return m_error; }

    OfdViewManage *GetViewManage() const { return m_manage.get(); }
    QSharedPointer<OfdFileReader> GetReader() const { return m_reader; }
    int GetDocumentCount() const;
    // Document i (from 0), loaded; null when out of range or its descriptor is unreadable.
    OfdFile *GetDocument(int i) const;

private:
    QSharedPointer<OfdFileReader> m_reader;
    std::unique_ptr<OfdViewManage> m_manage;
    QString m_error;
};
