#include "sign/ofdsignatureimpact.h"

#include "model/document/ofdfile.h"
#include "model/package/ofdpathhelper.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace OfdSignatureImpact {

namespace {
bool SamePath(const QString &reference, const QString &path)
{
    // Letter case is not trusted: some producers name parts in another case than their references
    // do, and naming one signature too many is better than one too few.
    return IsOfdFilePathEqual(reference, path) ||
           OfdPathHelper::RemoveStartSlash(reference).compare(OfdPathHelper::RemoveStartSlash(path),
                                                              Qt::CaseInsensitive) == 0;
}
} // namespace

QStringList CoveredPaths(OfdXmlSignature *signature, const QStringList &changedPaths)
{
    QStringList covered;
    if (!signature)
        return covered;
    for (const OfdSignatureReference &reference : signature->GetReferences().references) {
        for (const QString &path : changedPaths) {
            if (SamePath(reference.fileRef, path) && !covered.contains(reference.fileRef))
                covered << reference.fileRef;
        }
    }
    return covered;
}

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
        // Broken by an earlier save already.
        bool failing = !signature->GetChangedSinceOpen().isEmpty();
        for (const OfdSignatureReference &reference : signature->GetReferences().references) {
            if (reference.state == OfdSignatureReference::State_Differs ||
                reference.state == OfdSignatureReference::State_Missing)
                failing = true;
        }
        if (!failing && !CoveredPaths(signature, changedPaths).isEmpty())
            broken.append(signature);
    }
    return broken;
}

void MarkWritten(OfdFile *document, const QStringList &changedPaths)
{
    auto *list = document ? dynamic_cast<OfdXmlSignatureManage *>(document->GetSignatures()) : nullptr;
    if (!list)
        return;
    for (OfdXmlSignature *signature : list->GetSignatures()) {
        const QStringList covered = CoveredPaths(signature, changedPaths);
        if (!covered.isEmpty())
            signature->SetChangedSinceOpen(covered);
    }
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
