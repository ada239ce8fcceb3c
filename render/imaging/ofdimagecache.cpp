#include "render/imaging/ofdimagecache.h"

#include <QCryptographicHash>

#include <climits>

namespace {
int KiB(qint64 bytes)
{
    return int(qBound<qint64>(1, (bytes + 1023) / 1024, INT_MAX));
}
} // namespace

OfdImageCache::OfdImageCache()
{
    SetBudget(kDefaultBudget);
}

OfdImageCache &OfdImageCache::Instance()
{
    static OfdImageCache cache;
    return cache;
}

QByteArray OfdImageCache::KeyOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1) + QByteArray::number(bytes.size());
}

QImage OfdImageCache::Find(const QByteArray &key)
{
    const QImage *image = m_cache.object(key);
    return image ? *image : QImage();
}

void OfdImageCache::Insert(const QByteArray &key, const QImage &image)
{
    if (key.isEmpty() || image.isNull())
        return;
    // QCache drops an object costlier than its budget itself.
    m_cache.insert(key, new QImage(image), KiB(image.sizeInBytes()));
}

void OfdImageCache::SetBudget(qint64 bytes)
{
    m_cache.setMaxCost(KiB(qMax<qint64>(1024, bytes)));
}

qint64 OfdImageCache::GetBudget() const
{
    return qint64(m_cache.maxCost()) * 1024;
}

qint64 OfdImageCache::GetUsedBytes() const
{
    return qint64(m_cache.totalCost()) * 1024;
}
