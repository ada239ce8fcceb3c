#include "sign/sealsigninfo.h"

#include "sign/oesv2helper.h"

SealSignInfo::SealSignInfo(const QSharedPointer<OES_SealInfoEx> &seal, int sealType)
    : m_seal(seal), m_sealType(sealType)
{
}

bool SealSignInfo::IsRideSeal(int type)
{
    return type >= EN_SealSignType_RideLeft && type <= EN_SealSignType_RideBottom;
}

bool SealSignInfo::IsRideSeal() const
{
    return IsRideSeal(m_sealType);
}

bool SealSignInfo::IsSameSeal(const SealSignInfo &other) const
{
    return GetSealData() == other.GetSealData();
}

QByteArray SealSignInfo::GetSealData() const
{
    return m_seal ? m_seal->sealData : QByteArray();
}

QByteArray SealSignInfo::GetImageData() const
{
    return m_seal ? m_seal->pictureData : QByteArray();
}

QString SealSignInfo::GetSealTypeMessage() const
{
    return GetSealTypeMessage(m_sealType);
}

QString SealSignInfo::GetSealTypeMessage(int type)
{
    switch (type) {
    case EN_SealSignType_Normal:
        return QString::fromUtf8("电子印章");
    case EN_SealSignType_RideLeft:
        return QString::fromUtf8("骑缝章-左");
    case EN_SealSignType_RideTop:
        return QString::fromUtf8("骑缝章-上");
    case EN_SealSignType_RideRight:
        return QString::fromUtf8("骑缝章-右");
    case EN_SealSignType_RideBottom:
        return QString::fromUtf8("骑缝章-下");
    default:
        return QString::fromUtf8("未知印章类型");
    }
}

bool SameSealGroup::IsSameSeal(const QSharedPointer<SealSignInfo> &seal) const
{
    return seal && !m_seals.isEmpty() && m_seals.first()->IsSameSeal(*seal);
}
