#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSharedPointer>
#include <QString>

struct OES_SealInfoEx;

// Seal types of a placed seal.
enum EN_SealSignType
{
    EN_SealSignType_Normal = 0, // an ordinary seal on one page
    EN_SealSignType_RideLeft = 1,
    EN_SealSignType_RideTop = 2,
    EN_SealSignType_RideRight = 3,
    EN_SealSignType_RideBottom = 4,
};

// One seal placed on a page and waiting to be signed: the provider's seal, how it is placed and where.
// The rectangle is in scene pixels of the page (the page at zoom 1; the view scales for zoom).
class SealSignInfo
{
public:
    SealSignInfo() = default;
    explicit SealSignInfo(const QSharedPointer<OES_SealInfoEx> &seal, int sealType = EN_SealSignType_Normal);

    QSharedPointer<OES_SealInfoEx> GetSealInfo() const { return m_seal; }
    void SetSealInfo(const QSharedPointer<OES_SealInfoEx> &seal) { m_seal = seal; }
    int GetSealType() const { return m_sealType; }
    void SetSealType(int type) { m_sealType = type; }
    int GetPageIndex() const { return m_pageIndex; }
    void SetPageIndex(int index) { m_pageIndex = index; }
    QRectF GetRect() const { return m_rect; }
    void SetRect(const QRectF &rect) { m_rect = rect; }

    // True for the four seals across pages (types 1 to 4).
    bool IsRideSeal() const;
    static bool IsRideSeal(int type);
    // Same seal: the provider's seal bytes are equal byte for byte.
    bool IsSameSeal(const SealSignInfo &other) const;
    QByteArray GetSealData() const;
    QByteArray GetImageData() const;
    QString GetSealTypeMessage() const;
    static QString GetSealTypeMessage(int type);

private:
    QSharedPointer<OES_SealInfoEx> m_seal;
    int m_sealType = EN_SealSignType_Normal;
    int m_pageIndex = -1;
    QRectF m_rect;
};

// The placed seals that share one seal, in placement order.
class SameSealGroup
{
public:
    void AddSeal(const QSharedPointer<SealSignInfo> &seal) { m_seals.append(seal); }
    const QList<QSharedPointer<SealSignInfo>> &GetSealList() const { return m_seals; }
    // Compared with the group's first seal; false for an empty group.
    bool IsSameSeal(const QSharedPointer<SealSignInfo> &seal) const;

private:
    QList<QSharedPointer<SealSignInfo>> m_seals;
};
