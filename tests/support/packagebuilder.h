#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Writes ZIP packages in memory for tests: entries and bytes in, archive bytes out.
class PackageBuilder
{
public:
    // Adds an entry; stored uncompressed when compress is false.
    PackageBuilder &Add(const QString &path, const QByteArray &bytes, bool compress = true);
    PackageBuilder &AddText(const QString &path, const QString &text, bool compress = true);

    // Character set of the entry names as written (the archive's UTF-8 flag is never set);
    // "GB18030" makes an archive as Chinese Windows tools write it.
    PackageBuilder &SetNameCodec(const QByteArray &codec)
    {
        m_nameCodec = codec;
        return *this;
    }

    QByteArray Build() const;
    // Writes the archive to a file; false on failure.
    bool WriteTo(const QString &fileName) const;

    // A minimal valid package with one document of the given number of empty A4 pages.
    static PackageBuilder MinimalOfd(int pageCount = 1);

private:
    struct Entry
    {
        QString path;
        QByteArray bytes;
        bool compress;
    };
    QList<Entry> m_entries;
    QByteArray m_nameCodec = "UTF-8";
};

// Sets a 32-bit little-endian field in ZIP bytes: the uncompressed size of the first central
// directory entry, so that tests can make an archive lie about its sizes.
QByteArray PatchFirstCentralUncompressedSize(QByteArray zip, quint32 size);
