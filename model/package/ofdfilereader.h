#pragma once

#include <QCache>
#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>

#include "model/package/ofdcontentsource.h"

class QuaZip;
class QFile;
class QBuffer;
class QIODevice;
struct QuaZipFileInfo64;

// One opened OFD package (a ZIP archive): lists its entries and hands out their bytes. Small entries
// (XML parts) are decompressed once and kept, up to a total byte budget beyond which the least
// recently asked for go first, so that reading every page of a long document does not keep them
// all; large ones (pictures, fonts) are read again on each request, so that their bytes do not stay
// in memory after their users have decoded them.
class OfdFileReader : public OfdContentSource
{
public:
    OfdFileReader();
    ~OfdFileReader() override;
    OfdFileReader(const OfdFileReader &) = delete;
    OfdFileReader &operator=(const OfdFileReader &) = delete;

    bool Open(const QString &path);
    bool Open(const QByteArray &bytes);
    bool OpenFromIo(QIODevice *device);

    QString GetFileFullName() const { return m_fileFullName; }
    QString GetFileShortName() const;

    int GetFileCount() const { return m_filePaths.size(); }
    QString GetFilePath(int i) const { return m_filePaths.value(i); }
    const QStringList &GetFilePathList() const { return m_filePaths; }

    // Bytes of an entry by package path, with or without a leading "/"; empty when unavailable.
    // Packages made on systems that ignore letter case name their parts in any case ("DOC_0" for
    // "Doc_0"); when no entry has the exact name, one that differs only in case is taken.
    QByteArray GetFileContent(const QString &path);
    QByteArray GetOfdFileContent(const QString &path) override { return GetFileContent(path); }
    // Uncompressed size of an entry as the archive's directory declares it, found by the same
    // names GetFileContent tries; -1 when there is no such entry. Reads nothing.
    qint64 GetEntrySize(const QString &path) const;

    // Entries up to this size are cached after their first read (bytes).
    static qint64 GetCacheEntryLimit();
    static void SetCacheEntryLimit(qint64 bytes);
    // What all cached entries of one reader may take together (bytes); applies to readers opened
    // after the change.
    static qint64 GetCacheBudget();
    static void SetCacheBudget(qint64 bytes);

    // Visits every entry in archive order with its stored facts and its bytes as they lie in the
    // archive (still compressed), so that a writer can store it again unchanged. The visit returns
    // false to stop. False when the archive cannot be walked or an entry cannot be read.
    using RawEntryVisit =
        std::function<bool(const QuaZipFileInfo64 &info, const QByteArray &raw, int method, int level)>;
    bool VisitRawEntries(const RawEntryVisit &visit);

    // Entries whose declared or actual uncompressed size is above this are refused (bytes).
    static qint64 GetEntrySizeLimit();
    static void SetEntrySizeLimit(qint64 bytes);

private:
    QByteArray ReadEntry(const QString &name);
    // The archive name GetFileContent would read for path; empty when none.
    QString ResolveName(const QString &path) const;
    // The bytes of the archive's current entry (name is for the debug lines).
    QByteArray ReadCurrentEntry(const QString &name);
    // The folder every entry of names sits in (with its "/"), when the package's own OFD.xml is
    // there and not at the root; else empty.
    static QString CommonTopFolder(const QStringList &names);
    void CloseArchive();

    QString m_fileFullName;
    QStringList m_filePaths;               // entry names, without m_rootPrefix
    QString m_rootPrefix;                  // top folder that holds the whole package, or empty
    QHash<QString, QString> m_foldedPaths; // entry names by their case-folded form, without leading "/"
    QHash<QString, qint64> m_entrySizes;   // declared uncompressed size by entry name
    QByteArray m_packageBytes;
    QCache<QString, QByteArray> m_cache;            // cost: the entry's size plus a little for its name
    QHash<QString, QByteArray> m_firstOfDuplicates; // names given twice: the first entry's bytes
    // The archive reads from one of the two devices, so it is destroyed first.
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QuaZip> m_zip;
};
