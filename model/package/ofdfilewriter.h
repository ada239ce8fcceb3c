#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QList>

#include <memory>

#include "model/package/ofdfileinfo.h"

class QuaZip;

// Packs files into a ZIP archive in memory, in the order they were added (deflate, entry names
// without a leading "/"). Owns its records; packs once.
class OfdFileWriter
{
public:
    OfdFileWriter();
    ~OfdFileWriter();
    OfdFileWriter(const OfdFileWriter &) = delete;
    OfdFileWriter &operator=(const OfdFileWriter &) = delete;

    // Takes ownership; one leading "/" is removed from the path.
    void AddFile(OfdFileInfo *file);
    void AddFile(QList<OfdFileInfo *> &files);
    const QList<OfdFileInfo *> &GetFiles() const { return m_files; }
    // The archive; empty when an entry or the archive fails.
    QByteArray GetZipData();

private:
    bool CompressFile(const OfdFileInfo &file);

    QList<OfdFileInfo *> m_files;
    QBuffer m_buffer;
    std::unique_ptr<QuaZip> m_zip;
    bool m_packed = false;
};
