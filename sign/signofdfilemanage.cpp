#include "sign/signofdfilemanage.h"

#include "model/package/ofdfilereader.h"
#include "sign/sealsigninfo.h"
#include "sign/signofdfile.h"

QList<QSharedPointer<SameSealGroup>>
SignOfdFileManage::ClassifySeal(const QList<QSharedPointer<SealSignInfo>> &seals)
{
    QList<QSharedPointer<SameSealGroup>> groups;
    for (const QSharedPointer<SealSignInfo> &seal : seals) {
        if (!seal)
            continue;
        QSharedPointer<SameSealGroup> target;
        for (const QSharedPointer<SameSealGroup> &group : qAsConst(groups)) {
            if (group->IsSameSeal(seal)) {
                target = group;
                break;
            }
        }
        if (!target) {
            target = QSharedPointer<SameSealGroup>::create();
            groups.append(target);
        }
        target->AddSeal(seal);
    }
    return groups;
}

bool SignOfdFileManage::SetSignInfo(const QList<QSharedPointer<SealSignInfo>> &seals)
{
    m_signed.clear();
    m_error.clear();
    const QList<QSharedPointer<SameSealGroup>> groups = ClassifySeal(seals);
    if (groups.isEmpty())
        return false;
    QSharedPointer<OfdFileReader> reader = m_reader;
    QByteArray bytes;
    for (const QSharedPointer<SameSealGroup> &group : groups) {
        if (!bytes.isEmpty()) {
            reader = QSharedPointer<OfdFileReader>::create();
            if (!reader->Open(bytes)) {
                m_error = QString::fromUtf8("签章后的文件无法重新打开");
                return false;
            }
        }
        SignOfdFile pass;
        pass.SetSealData(group->GetSealList().first()->GetSealData());
        pass.SetFileReader(reader);
        pass.SetSignInfo(group->GetSealList());
        if (!pass.SignFile()) {
            m_error = pass.GetErrorMessage();
            return false;
        }
        bytes = pass.GetSignedOfdFile();
        if (bytes.isEmpty()) {
            m_error = QString::fromUtf8("签章文件打包失败");
            return false;
        }
    }
    m_signed = bytes;
    return true;
}
