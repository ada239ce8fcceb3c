#include "ofdtoolverify.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "model/document/ofdfile.h"
#include "ofdtoolcommand.h"
#include "ofdtooldocument.h"
#include "render/ofdsealsupport.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace {
QJsonObject CheckSignature(OfdXmlSignature *signature, bool &allPassed)
{
    QJsonObject result;
    result.insert(QStringLiteral("signature"), signature->GetOfdFilePath());
    if (OfdSignatureSeal *seal = signature->GetSeal()) {
        result.insert(QStringLiteral("sealName"), seal->GetSealName());
        result.insert(QStringLiteral("sealId"), seal->GetEsID());
    }
    const QString signer = signature->GetSignerName();
    QString time = signature->GetSignatureDateTime();
    if (OfdSignedValue *value = signature->GetSignedValue()) {
        if (!value->GetSealSignTime().isEmpty())
            time = value->GetSealSignTime();
    }
    result.insert(QStringLiteral("signer"), signer);
    result.insert(QStringLiteral("signTime"), time);
    result.insert(QStringLiteral("standard"), signature->GetSignDataTypeDes());

    const bool references = signature->CheckSm3();
    const bool hash = signature->IsDataHashMatch();
    const bool value = signature->CheckSignValue();
    QJsonArray failed;
    for (const QString &file : signature->GetFailedReferences())
        failed.append(file);
    result.insert(QStringLiteral("referencesOk"), references);
    result.insert(QStringLiteral("referenceCount"), signature->GetReferences().references.size());
    result.insert(QStringLiteral("changedFiles"), failed);
    result.insert(QStringLiteral("checkMethod"), signature->GetReferences().checkMethod);
    result.insert(QStringLiteral("checkMethodSupported"), signature->GetReferences().IsSm3());
    result.insert(QStringLiteral("dataHashOk"), hash);
    result.insert(QStringLiteral("signatureValueOk"), value);
    const bool passed = references && hash && value;
    result.insert(QStringLiteral("passed"), passed);
    allPassed = allPassed && passed;
    return result;
}

QString YesNo(bool ok)
{
    return ok ? QStringLiteral("ok") : QStringLiteral("FAILED");
}
} // namespace

int OfdToolVerify::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    if (!parsed.Parse(args, {}, {QStringLiteral("--json")}) || parsed.Positional().size() != 1) {
        io.err << "usage: ofdtool verify FILE [--json]\n";
        return OfdToolExit_Usage;
    }
    OfdSealSupport::Install();
    OfdToolDocument document;
    if (!document.Open(parsed.Positional()[0])) {
        io.err << "ofdtool: " << document.Error() << "\n";
        return OfdToolExit_Unreadable;
    }

    bool allPassed = true;
    QJsonArray signatures;
    for (int d = 0; d < document.GetDocumentCount(); ++d) {
        OfdFile *file = document.GetDocument(d);
        auto *list = file ? dynamic_cast<OfdXmlSignatureManage *>(file->GetSignatures()) : nullptr;
        if (!list)
            continue;
        for (OfdXmlSignature *signature : list->GetSignatures()) {
            QJsonObject one = CheckSignature(signature, allPassed);
            one.insert(QStringLiteral("document"), d + 1);
            signatures.append(one);
        }
    }

    if (parsed.Has(QStringLiteral("--json"))) {
        QJsonObject root;
        root.insert(QStringLiteral("file"), parsed.Positional()[0]);
        root.insert(QStringLiteral("signatures"), signatures);
        root.insert(QStringLiteral("passed"), allPassed);
        io.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else if (signatures.isEmpty()) {
        io.out << "no signatures (文件没有签章信息)\n";
    } else {
        for (int i = 0; i < signatures.size(); ++i) {
            const QJsonObject s = signatures[i].toObject();
            io.out << "signature " << i + 1 << " (" << s.value(QLatin1String("signature")).toString() << ")\n"
                   << "  seal:            " << s.value(QLatin1String("sealName")).toString() << " ["
                   << s.value(QLatin1String("sealId")).toString() << "]\n"
                   << "  signer:          " << s.value(QLatin1String("signer")).toString() << "\n"
                   << "  signing time:    " << s.value(QLatin1String("signTime")).toString() << "\n"
                   << "  standard:        " << s.value(QLatin1String("standard")).toString() << "\n"
                   << "  references:      " << YesNo(s.value(QLatin1String("referencesOk")).toBool()) << " ("
                   << s.value(QLatin1String("referenceCount")).toInt() << " files)\n";
            if (!s.value(QLatin1String("checkMethodSupported")).toBool())
                io.out << "    check method not SM3: \"" << s.value(QLatin1String("checkMethod")).toString()
                       << "\"\n";
            for (const QJsonValue &changed : s.value(QLatin1String("changedFiles")).toArray())
                io.out << "    changed or missing: " << changed.toString() << "\n";
            io.out << "  data hash:       " << YesNo(s.value(QLatin1String("dataHashOk")).toBool()) << "\n"
                   << "  signature value: " << YesNo(s.value(QLatin1String("signatureValueOk")).toBool())
                   << "\n"
                   << "  result:          "
                   << (s.value(QLatin1String("passed")).toBool() ? QString::fromUtf8("验证成功")
                                                                 : QString::fromUtf8("验证失败"))
                   << "\n";
        }
    }
    io.out.flush();
    return allPassed ? OfdToolExit_Ok : 1;
}
