#include "sign/ofdsignatureimpact.h"

#include "model/document/ofdfile.h"
#include "model/package/ofdpathhelper.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace OfdSignatureImpact {

QList<OfdXmlSignature *> GetBrokenBy(OfdFile *document, const QStringList &changedPaths)
{
    QList<OfdXmlSignature *> broken;
    auto *list = document ? dynamic_cast<OfdXmlSignatureManage *>(document->GetSignatures()) : nullptr;
    if (!list || changedPaths.isEmpty())
        return broken;
    for (OfdXmlSignature *signature : list->GetSignatures()) {
        if (!signature)
            continue;
        signature->CheckSm3(); // fills the states once; later calls read none again
        bool covers = false;
        bool failing = false;
        for (const OfdSignatureReference &reference : signature->GetReferences().references) {
            if (reference.state == OfdSignatureReference::State_Differs ||
                reference.state == OfdSignatureReference::State_Missing)
                failing = true;
            // Letter case is not trusted: some producers name parts in another case than their
            // references do, and naming one signature too many is better than one too few.
            for (const QString &path : changedPaths) {
                if (IsOfdFilePathEqual(reference.fileRef, path) ||
                    OfdPathHelper::RemoveStartSlash(reference.fileRef)
                            .compare(OfdPathHelper::RemoveStartSlash(path), Qt::CaseInsensitive) == 0)
                    covers = true;
            }
        }
        if (covers && !failing)
            broken.append(signature);
    }
    return broken;
}

QString Describe(OfdXmlSignature *signature)
{
    if (!signature)
        return QString();
    QString id = signature->GetDataSignature() ? signature->GetDataSignature()->id : QString();
    QString text = QString::fromUtf8("签章 %1").arg(id.isEmpty() ? QStringLiteral("?") : id);
    QStringList details;
    if (signature->GetSeal() && !signature->GetSeal()->GetSealName().isEmpty())
        details << QString::fromUtf8("印章：%1").arg(signature->GetSeal()->GetSealName());
    if (!signature->GetSignerName().isEmpty())
        details << QString::fromUtf8("签章人：%1").arg(signature->GetSignerName());
    if (!details.isEmpty())
        text += QString::fromUtf8("（%1）").arg(details.join(QString::fromUtf8("，")));
    return text;
}

} // namespace OfdSignatureImpact
