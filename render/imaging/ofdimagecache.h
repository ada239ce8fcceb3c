#pragma once

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QString>

// Decoded page pictures, shared by every scene of the process and kept within a byte budget
// (256 MiB unless set otherwise): the least recently used go first, and are decoded again from
// their bytes when next drawn. Keys name the bytes (a digest of them), so one picture used on many
// pages is decoded and kept once. GUI thread only.
class OfdImageCache
{
public:
    static OfdImageCache &Instance();

    // The key of a resource's bytes.
    static QByteArray KeyOf(const QByteArray &bytes);
    // The picture stored under key; null when it is not (or no longer) kept.
    QImage Find(const QByteArray &key);
    // Keeps a picture; one larger than the whole budget is not kept.
    void Insert(const QByteArray &key, const QImage &image);

    static constexpr qint64 kDefaultBudget = qint64(256) * 1024 * 1024;
    void SetBudget(qint64 bytes);
    qint64 GetBudget() const;
    // Bytes of the pictures kept now (whole KiB), and their number.
    qint64 GetUsedBytes() const;
    int GetCount() const { return m_cache.count(); }
    void Clear() { m_cache.clear(); }

private:
    OfdImageCache();

    // Costs are KiB, so that budgets of many gibibytes fit the cache's int.
    QCache<QByteArray, QImage> m_cache;
};
