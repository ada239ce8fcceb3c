#include "sign/ofdsignaturewriter.h"

#include "model/package/ofdpathhelper.h"
#include "model/xml/ofdcreatorparam.h"
#include "model/xml/xmlnode.h"
#include "sign/sm3.h"

namespace {
QString GeneralNumber(double value)
{
    return QString::number(value, 'g', 6);
}

QString RectText(const QRectF &r)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(GeneralNumber(r.x()), GeneralNumber(r.y()), GeneralNumber(r.width()), GeneralNumber(r.height()));
}

XmlNode *NewRoot(const QString &name)
{
    auto *root = new XmlNode;
    root->SetName(name);
    root->SetNameSpaceUrl(OfdCreatorParam::OFD_NameSpaceUrl);
    root->ResetNodeId();
    return root;
}
} // namespace

bool OfdSignatureWriter::LinkSignatureList(XmlNode *ofdRoot, QString &listPath)
{
    listPath.clear();
    XmlNode *body = ofdRoot ? ofdRoot->GetOneChildByName(QStringLiteral("DocBody")) : nullptr;
    if (!body)
        return false;
    if (XmlNode *existing = body->GetOneChildByName(QStringLiteral("Signatures"))) {
        listPath = GetOfdFullPath(QString(), existing->GetText().trimmed());
        return false;
    }
    XmlNode *docRoot = body->GetOneChildByName(QStringLiteral("DocRoot"));
    const QString docRootPath = GetOfdFullPath(QString(), docRoot ? docRoot->GetText().trimmed() : QString());
    listPath = GetOfdFullPath(docRootPath, QStringLiteral("Signs/Signatures.xml"));
    body->AddChild(QStringLiteral("Signatures"), OfdPathHelper::AddStartSlash(listPath), true);
    return true;
}

XmlNode *OfdSignatureWriter::CreateSignatureList()
{
    XmlNode *root = NewRoot(QStringLiteral("Signatures"));
    root->AddChild(QStringLiteral("MaxSignId"), QStringLiteral("s001"), true);
    return root;
}

QString OfdSignatureWriter::NextSignId(XmlNode *list)
{
    XmlNode *max = list->GetOneChildByName(QStringLiteral("MaxSignId"));
    if (!max) {
        list->AddChild(QStringLiteral("MaxSignId"), QStringLiteral("s1"), true);
        return QStringLiteral("s1");
    }
    const QString text = max->GetText().trimmed();
    if (text.size() < 2) {
        max->SetText(QStringLiteral("s1"));
        return QStringLiteral("s1");
    }
    bool ok = false;
    qlonglong n = text.mid(1).toLongLong(&ok);
    if (!ok || n < 0)
        n = 0;
    const QString id = QStringLiteral("s%1").arg(n + 1);
    max->SetText(id);
    return id;
}

bool OfdSignatureWriter::AddSignatureEntry(XmlNode *list, const QString &listPath, QString &location)
{
    location.clear();
    QList<XmlNode *> entries;
    list->GetAllChildByName(QStringLiteral("Signature"), entries);
    QStringList taken;
    for (XmlNode *entry : entries)
        taken.append(GetOfdFullPath(listPath, entry->GetAttr(QStringLiteral("BaseLoc")).trimmed()));
    int n = entries.size();
    for (int tries = 0; tries < 1000; ++tries, ++n) {
        const QString candidate = GetOfdFullPath(listPath, QStringLiteral("Sign_%1/Signature.xml").arg(n));
        bool used = false;
        for (const QString &t : taken)
            used = used || IsOfdFilePathEqual(t, candidate);
        if (used)
            continue;
        location = OfdPathHelper::AddStartSlash(candidate);
        XmlNode *entry = list->AddChildByName(QStringLiteral("Signature"), true);
        entry->AddAttr(QStringLiteral("BaseLoc"), location);
        entry->AddAttr(QStringLiteral("Type"), QStringLiteral("Seal"));
        entry->AddAttr(QStringLiteral("ID"), NextSignId(list));
        return true;
    }
    return false;
}

QString OfdSignatureWriter::SealPath(const QString &signatureLocation)
{
    return OfdPathHelper::AddStartSlash(GetOfdFullPath(signatureLocation, QStringLiteral("Seal.esl")));
}

QString OfdSignatureWriter::SignedValuePath(const QString &signatureLocation)
{
    return OfdPathHelper::AddStartSlash(GetOfdFullPath(signatureLocation, QStringLiteral("SignedValue.dat")));
}

XmlNode *OfdSignatureWriter::CreateSignatureXml(const SignatureXmlInput &input, const QString &location,
                                                XmlNode *list)
{
    XmlNode *root = NewRoot(QStringLiteral("Signature"));
    XmlNode *info = root->AddChildByName(QStringLiteral("SignedInfo"), true);
    XmlNode *provider = info->AddChildByName(QStringLiteral("Provider"), true);
    provider->AddAttr(QStringLiteral("Company"), input.company);
    provider->AddAttr(QStringLiteral("Version"), input.version);
    provider->AddAttr(QStringLiteral("ProviderName"), input.providerName);
    info->AddChild(QStringLiteral("SignatureMethod"), input.signatureMethod, true);
    info->AddChild(QStringLiteral("SignatureDateTime"), input.signatureDateTime, true);
    if (input.hasSeal) {
        XmlNode *seal = info->AddChildByName(QStringLiteral("Seal"), true);
        seal->AddChild(QStringLiteral("BaseLoc"), SealPath(location), true);
    }
    XmlNode *references = info->AddChildByName(QStringLiteral("References"), true);
    references->AddAttr(QStringLiteral("CheckMethod"), QStringLiteral("1.2.156.10197.1.401"));
    for (const SignatureFileRef &file : input.files) {
        if (file.content.isEmpty())
            continue;
        XmlNode *reference = references->AddChildByName(QStringLiteral("Reference"), true);
        reference->AddAttr(QStringLiteral("FileRef"), OfdPathHelper::AddStartSlash(file.path));
        reference->AddChild(QStringLiteral("CheckValue"), sm3_digest_base64(file.content), true);
    }
    AppendStampAnnots(info, input.stamps, list);
    root->AddChild(QStringLiteral("SignedValue"), SignedValuePath(location), true);
    return root;
}

void OfdSignatureWriter::AppendStampAnnots(XmlNode *signedInfo, const QList<SignatureStampInput> &stamps,
                                           XmlNode *list)
{
    for (const SignatureStampInput &stamp : stamps) {
        XmlNode *node = signedInfo->AddChildByName(QStringLiteral("StampAnnot"), true);
        node->AddAttr(QStringLiteral("PageRef"), QString::number(stamp.pageRef));
        node->AddAttr(QStringLiteral("ID"), list ? NextSignId(list) : QStringLiteral("s1"));
        node->AddAttr(QStringLiteral("Boundary"), RectText(stamp.boundary));
        if (stamp.hasClip)
            node->AddAttr(QStringLiteral("Clip"), RectText(stamp.clip));
    }
}

QByteArray OfdSignatureWriter::ToBytes(XmlNode *root)
{
    return root ? root->CreateXml(false).toUtf8() : QByteArray();
}
