#include "ofdtoolverify.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "model/document/ofdfile.h"
#include "ofdtoolcommand.h"
#include "ofdtooldocument.h"
#include "render/ofdsealsupport.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace {
const char *CheckStateName(int state)
{
    switch (state) {
    case OfdSignatureCheck::State_Passed:
        return "ok";
    case OfdSignatureCheck::State_Failed:
        return "failed";
    case OfdSignatureCheck::State_Untrusted:
        return "untrusted";
    default:
        return "unchecked";
    }
}

QJsonObject Describe(OfdXmlSignature *signature)
{
    const OfdSignatureVerdict &verdict = signature->GetVerdict();
    QJsonObject result;
    result.insert(QStringLiteral("signature"), signature->GetOfdFilePath());
    result.insert(QStringLiteral("type"), signature->GetSignatureType());
    result.insert(QStringLiteral("sealName"), verdict.GetSealName());
    result.insert(QStringLiteral("signer"), verdict.GetSigner());
    result.insert(QStringLiteral("signTime"), verdict.GetSignTime());
    result.insert(QStringLiteral("standard"), verdict.GetStandard());
    result.insert(QStringLiteral("level"), verdict.GetLevel());
    result.insert(QStringLiteral("verdict"), verdict.GetText());
    result.insert(QStringLiteral("reason"), verdict.GetReason());
    result.insert(QStringLiteral("passed"), verdict.IsIntact());
    QJsonArray changed;
    for (const QString &file : verdict.GetChangedFiles())
        changed.append(file);
    result.insert(QStringLiteral("changedFiles"), changed);
    result.insert(QStringLiteral("referenceCount"), signature->GetReferences().references.size());
    if (OfdSignatureSeal *seal = signature->GetSeal()) {
        result.insert(QStringLiteral("sealValidStart"), seal->GetSealValidStart());
        result.insert(QStringLiteral("sealValidEnd"), seal->GetSealValidEnd());
    }
    QJsonArray checks;
    for (const OfdSignatureCheck &check : verdict.GetChecks()) {
        QJsonObject one;
        one.insert(QStringLiteral("name"), check.name);
        one.insert(QStringLiteral("state"), QLatin1String(CheckStateName(check.state)));
        one.insert(QStringLiteral("detail"), check.detail);
        checks.append(one);
    }
    result.insert(QStringLiteral("checks"), checks);
    return result;
}
} // namespace

int OfdToolVerify::Run(const QStringList &args, OfdToolStreams &io)
{
    OfdToolArgs parsed;
    if (!parsed.Parse(args, {QStringLiteral("--trust")}, {QStringLiteral("--json")}) ||
        parsed.Positional().size() != 1) {
        io.err << "usage: ofdtool verify FILE [--json] [--trust DIR]\n";
        return OfdToolExit_Usage;
    }
    if (parsed.Has(QStringLiteral("--trust"))) {
        const QString dir = parsed.Value(QStringLiteral("--trust"));
        if (!QDir(dir).exists()) {
            io.err << "ofdtool: no such trust folder: " << dir << "\n";
            return OfdToolExit_Usage;
        }
        OfdTrustStore::Default().AddDirectory(dir);
    }
    OfdSealSupport::Install();
    OfdToolDocument document;
    if (!document.Open(parsed.Positional()[0])) {
        io.err << "ofdtool: " << document.Error() << "\n";
        return OfdToolExit_Unreadable;
    }

    bool failed = false;
    bool unknown = false;
    QJsonArray signatures;
    for (int d = 0; d < document.GetDocumentCount(); ++d) {
        OfdFile *file = document.GetDocument(d);
        auto *list = file ? dynamic_cast<OfdXmlSignatureManage *>(file->GetSignatures()) : nullptr;
        if (!list)
            continue;
        for (OfdXmlSignature *signature : list->GetSignatures()) {
            QJsonObject one = Describe(signature);
            const int level = signature->GetVerdict().GetLevel();
            failed = failed || level == OfdSignatureVerdict::Level_Failed;
            unknown = unknown || level == OfdSignatureVerdict::Level_Unknown;
            one.insert(QStringLiteral("document"), d + 1);
            signatures.append(one);
        }
    }

    if (parsed.Has(QStringLiteral("--json"))) {
        QJsonObject root;
        root.insert(QStringLiteral("file"), parsed.Positional()[0]);
        root.insert(QStringLiteral("signatures"), signatures);
        root.insert(QStringLiteral("passed"), !failed && !unknown);
        io.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else if (signatures.isEmpty()) {
        io.out << "no signatures (文件没有签章信息)\n";
    } else {
        for (int i = 0; i < signatures.size(); ++i) {
            const QJsonObject s = signatures[i].toObject();
            io.out << "signature " << i + 1 << " (" << s.value(QLatin1String("signature")).toString() << ")\n"
                   << "  seal:            " << s.value(QLatin1String("sealName")).toString() << "\n"
                   << "  signer:          " << s.value(QLatin1String("signer")).toString() << "\n"
                   << "  signing time:    " << s.value(QLatin1String("signTime")).toString() << "\n"
                   << "  standard:        " << s.value(QLatin1String("standard")).toString() << "\n";
            for (const QJsonValue &value : s.value(QLatin1String("checks")).toArray()) {
                const QJsonObject check = value.toObject();
                io.out << "  " << check.value(QLatin1String("name")).toString() << ": "
                       << check.value(QLatin1String("state")).toString() << " ("
                       << check.value(QLatin1String("detail")).toString() << ")\n";
            }
            io.out << "  result:          " << s.value(QLatin1String("verdict")).toString();
            const QString reason = s.value(QLatin1String("reason")).toString();
            if (s.value(QLatin1String("level")).toInt() != OfdSignatureVerdict::Level_Trusted &&
                !reason.isEmpty())
                io.out << QString::fromUtf8(" — ") << reason;
            io.out << "\n";
        }
    }
    io.out.flush();
    if (failed)
        return 1;
    return unknown ? int(OfdToolExit_CannotVerify) : int(OfdToolExit_Ok);
}
