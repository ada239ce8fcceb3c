#include "model/package/ofdfilereader.h"
#include "model/package/ofdzipnamecodec.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <climits>

namespace {
qint64 g_entrySizeLimit = qint64(512) * 1024 * 1024;
qint64 g_cacheEntryLimit = qint64(256) * 1024;
qint64 g_cacheBudget = qint64(8) * 1024 * 1024;

// What an entry costs in the cache: its bytes, and its name and bookkeeping, so that the answers
// for missing entries count as well.
int CacheCost(const QString &path, const QByteArray &data)
{
    return data.size() + path.size() * 2 + 64;
}

int CacheMaxCost(qint64 budget)
{
    return int(qBound<qint64>(1, budget, INT_MAX));
}
} // namespace

OfdContentSource::~OfdContentSource() = default;

OfdFileReader::OfdFileReader() : m_cache(CacheMaxCost(g_cacheBudget)) {}

OfdFileReader::~OfdFileReader()
{
    CloseArchive();
}

qint64 OfdFileReader::GetEntrySizeLimit()
{
    return g_entrySizeLimit;
}

void OfdFileReader::SetEntrySizeLimit(qint64 bytes)
{
    g_entrySizeLimit = bytes;
}

qint64 OfdFileReader::GetCacheEntryLimit()
{
    return g_cacheEntryLimit;
}

void OfdFileReader::SetCacheEntryLimit(qint64 bytes)
{
    g_cacheEntryLimit = bytes;
}

qint64 OfdFileReader::GetCacheBudget()
{
    return g_cacheBudget;
}

void OfdFileReader::SetCacheBudget(qint64 bytes)
{
    g_cacheBudget = bytes;
}

void OfdFileReader::CloseArchive()
{
    if (m_zip) {
        m_zip->close();
        m_zip.reset();
    }
}

bool OfdFileReader::Open(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return false;
    CloseArchive();
    m_buffer.reset();
    m_packageBytes.clear();
    m_file = std::move(file);
    m_fileFullName = path;
    return OpenFromIo(m_file.get());
}

bool OfdFileReader::Open(const QByteArray &bytes)
{
    CloseArchive();
    m_file.reset();
    m_packageBytes = bytes;
    m_buffer = std::make_unique<QBuffer>(&m_packageBytes);
    if (!m_buffer->open(QIODevice::ReadOnly))
        return false;
    return OpenFromIo(m_buffer.get());
}

bool OfdFileReader::OpenFromIo(QIODevice *device)
{
    CloseArchive();
    m_zip = std::make_unique<QuaZip>(device);
    // Entry names of OFD packages are UTF-8 (flagged or not), whatever the desktop's locale says,
    // or GBK from Chinese Windows tools.
    m_zip->setFileNameCodec(OfdZipNameCodec::Instance());
    if (!m_zip->open(QuaZip::mdUnzip)) {
        m_zip.reset();
        return false;
    }
    m_filePaths.clear();
    m_foldedPaths.clear();
    m_entrySizes.clear();
    m_rootPrefix.clear();
    QStringList names;
    QHash<QString, qint64> sizes; // declared uncompressed size by archive name, first entry of a name
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QuaZipFileInfo64 info;
        const bool haveInfo = m_zip->getCurrentFileInfo(&info);
        const QString entry = haveInfo ? info.name : m_zip->getCurrentFileName();
        names.append(entry);
        if (haveInfo && !sizes.contains(entry))
            sizes.insert(entry, qint64(qMin<quint64>(info.uncompressedSize, quint64(LLONG_MAX))));
    }
    m_rootPrefix = CommonTopFolder(names);
    if (!m_rootPrefix.isEmpty())
        qDebug().noquote() << "package entries all sit under" << m_rootPrefix << "- read as the package root";
    // An archive may hold one name twice; the first entry is the one meant (the archive library would
    // find the last), so it is read now.
    m_firstOfDuplicates.clear();
    QHash<QString, int> counts;
    for (const QString &entry : qAsConst(names))
        ++counts[entry];
    if (counts.size() != names.size()) {
        QSet<QString> taken;
        for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
            const QString entry = m_zip->getCurrentFileName();
            if (counts.value(entry) < 2 || taken.contains(entry))
                continue;
            taken.insert(entry);
            const QString name = entry.mid(m_rootPrefix.size());
            qDebug().noquote() << "package names" << entry << "more than once; the first entry is read";
            m_firstOfDuplicates.insert(name, ReadCurrentEntry(name));
        }
    }
    for (const QString &entry : qAsConst(names)) {
        const QString name = entry.mid(m_rootPrefix.size());
        if (name.isEmpty())
            continue; // the top folder itself
        m_filePaths.append(name);
        const auto size = sizes.constFind(entry);
        if (size != sizes.constEnd() && !m_entrySizes.contains(name))
            m_entrySizes.insert(name, size.value());
        const QString folded = (name.startsWith(QLatin1Char('/')) ? name.mid(1) : name).toCaseFolded();
        if (!m_foldedPaths.contains(folded))
            m_foldedPaths.insert(folded, name);
    }
    return true;
}

QString OfdFileReader::CommonTopFolder(const QStringList &names)
{
    // Only when the archive has no OFD.xml of its own at the root and one in the top folder.
    QString prefix;
    for (const QString &raw : names) {
        const QString name = raw.startsWith(QLatin1Char('/')) ? raw.mid(1) : raw;
        if (name.compare(QLatin1String("OFD.xml"), Qt::CaseInsensitive) == 0)
            return QString();
        const int slash = name.indexOf(QLatin1Char('/'));
        if (slash <= 0)
            return QString();
        const QString top = raw.left(raw.size() - name.size() + slash + 1);
        if (prefix.isEmpty())
            prefix = top;
        else if (top != prefix)
            return QString();
    }
    for (const QString &raw : names) {
        if (raw.mid(prefix.size()).compare(QLatin1String("OFD.xml"), Qt::CaseInsensitive) == 0)
            return prefix;
    }
    return QString();
}

bool OfdFileReader::VisitRawEntries(const RawEntryVisit &visit)
{
    if (!m_zip)
        return false;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!m_zip->getCurrentFileInfo(&info))
            return false;
        QuaZipFile file(m_zip.get());
        int method = 0;
        int level = 0;
        if (!file.open(QIODevice::ReadOnly, &method, &level, true))
            return false;
        const QByteArray raw = file.readAll();
        file.close();
        if (quint64(raw.size()) != info.compressedSize || file.getZipError() != UNZ_OK)
            return false;
        if (!visit(info, raw, method, level))
            return false;
    }
    return m_zip->getZipError() == UNZ_OK;
}

QString OfdFileReader::GetFileShortName() const
{
    return QFileInfo(m_fileFullName).baseName();
}

QByteArray OfdFileReader::ReadEntry(const QString &name)
{
    if (!m_zip || name.isEmpty())
        return QByteArray();
    const auto duplicate = m_firstOfDuplicates.constFind(name);
    if (duplicate != m_firstOfDuplicates.constEnd())
        return *duplicate;
    if (!m_zip->setCurrentFile(m_rootPrefix + name, QuaZip::csDefault))
        return QByteArray();
    return ReadCurrentEntry(name);
}

QByteArray OfdFileReader::ReadCurrentEntry(const QString &name)
{
    QuaZipFileInfo64 info;
    if (!m_zip->getCurrentFileInfo(&info))
        return QByteArray();
    if (info.uncompressedSize > quint64(g_entrySizeLimit)) {
        qDebug() << "entry refused, declared size too large:" << name << info.uncompressedSize;
        return QByteArray();
    }

    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();

    QByteArray data;
    data.reserve(int(qMin<quint64>(info.uncompressedSize, 64 * 1024 * 1024)));
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof(chunk));
        if (n < 0) {
            qDebug() << "entry unreadable:" << name;
            file.close();
            return QByteArray();
        }
        if (n == 0)
            break;
        if (data.size() + n > g_entrySizeLimit) {
            qDebug() << "entry refused, actual size too large:" << name;
            file.close();
            return QByteArray();
        }
        data.append(chunk, int(n));
    }
    file.close();
    if (file.getZipError() != UNZ_OK) {
        // The bytes are not what the producer wrote; better none than wrong ones.
        qDebug() << "entry damaged (checksum mismatch):" << name;
        return QByteArray();
    }
    return data;
}

QByteArray OfdFileReader::GetFileContent(const QString &path)
{
    if (const QByteArray *cached = m_cache.object(path))
        return *cached;

    QByteArray data = ReadEntry(path);
    if (data.isEmpty()) {
        const QString other = path.startsWith(QLatin1Char('/')) ? path.mid(1) : QLatin1Char('/') + path;
        data = ReadEntry(other);
    }
    if (data.isEmpty()) {
        const QString folded = (path.startsWith(QLatin1Char('/')) ? path.mid(1) : path).toCaseFolded();
        const QString actual = m_foldedPaths.value(folded);
        if (!actual.isEmpty() && actual != path && actual != QLatin1Char('/') + path)
            data = ReadEntry(actual);
    }
    if (data.size() <= g_cacheEntryLimit)
        m_cache.insert(path, new QByteArray(data), CacheCost(path, data));
    return data;
}

QString OfdFileReader::ResolveName(const QString &path) const
{
    if (path.isEmpty())
        return QString();
    if (m_entrySizes.contains(path))
        return path;
    const QString other = path.startsWith(QLatin1Char('/')) ? path.mid(1) : QLatin1Char('/') + path;
    if (m_entrySizes.contains(other))
        return other;
    const QString folded = (path.startsWith(QLatin1Char('/')) ? path.mid(1) : path).toCaseFolded();
    return m_foldedPaths.value(folded);
}

qint64 OfdFileReader::GetEntrySize(const QString &path) const
{
    const QString name = ResolveName(path);
    return name.isEmpty() ? -1 : m_entrySizes.value(name, -1);
}
