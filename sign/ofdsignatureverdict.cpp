#include "sign/ofdsignatureverdict.h"

#include <QStringList>

#include "sign/ans1reader.h"
#include "sign/asn1tag.h"
#include "sign/ofdcertificatechain.h"
#include "sign/ofdpkcs7signature.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "sign/ofdxmlsignature.h"

namespace {

const char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

const int kSealClockSlackSeconds = 3600;

bool IsSm2Algorithm(const QString &oid)
{
    return oid == QLatin1String("1.2.156.10197.1.501") || oid == QLatin1String("1.2.156.10197.1.301.1") ||
           oid == QLatin1String("1.2.156.10197.1.301");
}

// A DER SEQUENCE of two INTEGERs and nothing else: a bare SM2 signature value.
bool IsBareSm2Value(const QByteArray &bytes)
{
    Ans1Reader reader;
    reader.OpenData(bytes);
    const Ans1BerNodeReader *root = reader.GetRootNode();
    if (!reader.IsDataOK() || !root || root->GetTotalLength() != bytes.size() || root->GetTagClass() != 0 ||
        root->GetTagNumber() != EN_Asn1Tag_Sequence || root->GetChildren().size() != 2)
        return bytes.size() == 64; // r || s as it stands
    for (const Ans1BerNodeReader *child : root->GetChildren()) {
        if (child->GetTagClass() != 0 || child->GetTagNumber() != EN_Asn1Tag_Integer)
            return false;
    }
    return true;
}

QString CommonName(const QByteArray &certificate)
{
    OfdX509Certificate parsed;
    return parsed.ParseData(certificate) ? parsed.GetSubjectCommonName() : QString();
}

int ChainCheckState(const OfdChainResult &chain)
{
    switch (chain.state) {
    case OfdChainResult::State_Trusted:
        return OfdSignatureCheck::State_Passed;
    case OfdChainResult::State_Untrusted:
        return OfdSignatureCheck::State_Untrusted;
    case OfdChainResult::State_NotValidAtTime:
        return OfdSignatureCheck::State_Failed;
    default:
        return OfdSignatureCheck::State_Unchecked;
    }
}

} // namespace

QString OfdSignatureVerdict::LevelText(int level)
{
    switch (level) {
    case Level_Trusted:
        return QString::fromUtf8("验证成功");
    case Level_Untrusted:
        return QString::fromUtf8("签章有效，证书未受信任");
    case Level_Failed:
        return QString::fromUtf8("验证失败");
    default:
        return QString::fromUtf8("无法验证");
    }
}

void OfdSignatureVerdict::Add(const char *name, int state, const QString &detail)
{
    OfdSignatureCheck check;
    check.name = QString::fromUtf8(name);
    check.state = state;
    check.detail = detail;
    m_checks.append(check);
}

void OfdSignatureVerdict::Conclude()
{
    // The worst finding decides: a failure, then what could not be checked, then an untrusted signer.
    const int order[] = {OfdSignatureCheck::State_Failed, OfdSignatureCheck::State_Unchecked,
                         OfdSignatureCheck::State_Untrusted};
    const int levels[] = {Level_Failed, Level_Unknown, Level_Untrusted};
    for (int i = 0; i < 3; ++i) {
        for (const OfdSignatureCheck &check : qAsConst(m_checks)) {
            if (check.state == order[i]) {
                m_level = levels[i];
                m_reason = check.detail;
                return;
            }
        }
    }
    m_level = m_checks.isEmpty() ? Level_Unknown : Level_Trusted;
}

OfdSignatureVerdict OfdSignatureVerdict::Evaluate(OfdXmlSignature *signature, const OfdTrustStore &anchors)
{
    OfdSignatureVerdict verdict;
    if (!signature || signature->GetXmlBytes().isEmpty()) {
        verdict.Add("签名描述", OfdSignatureCheck::State_Failed, QString::fromUtf8("签名描述文件缺失或为空"));
        verdict.Conclude();
        return verdict;
    }
    verdict.m_signTime = signature->GetSignatureDateTime();

    // References: the files of the package as they were signed.
    OfdSignatureReferenceManage &references = signature->GetReferences();
    if (!signature->GetChangedSinceOpen().isEmpty()) {
        verdict.m_changedFiles = signature->GetChangedSinceOpen();
        verdict.Add("引用文件", OfdSignatureCheck::State_Failed,
                    QString::fromUtf8("保存批注后文件已被修改：%1")
                        .arg(verdict.m_changedFiles.join(QStringLiteral("、"))));
    } else if (!references.IsSm3()) {
        verdict.Add("引用文件", OfdSignatureCheck::State_Unchecked,
                    QString::fromUtf8("不支持的校验方法“%1”").arg(references.checkMethod));
    } else if (references.truncated) {
        verdict.Add(
            "引用文件", OfdSignatureCheck::State_Unchecked,
            QString::fromUtf8("引用文件超过 %1 个，未检查").arg(OfdSignatureReferenceManage::kMaxReferences));
    } else if (signature->CheckSm3()) {
        verdict.Add("引用文件", OfdSignatureCheck::State_Passed,
                    QString::fromUtf8("%1 个文件未被修改").arg(references.references.size()));
    } else {
        verdict.m_changedFiles = signature->GetFailedReferences();
        verdict.Add(
            "引用文件", OfdSignatureCheck::State_Failed,
            QString::fromUtf8("文件已被修改：%1").arg(verdict.m_changedFiles.join(QStringLiteral("、"))));
    }

    const QByteArray value = signature->GetSignedValueBytes();
    QByteArray signer;
    QList<QByteArray> others;
    QDateTime time = ReadSignTimeText(signature->GetSignatureDateTime());
    bool chainNeeded = false;

    if (value.isEmpty()) {
        verdict.Add("签名值", OfdSignatureCheck::State_Failed, QString::fromUtf8("签名值文件缺失或为空"));
    } else if (OfdPkcs7Signature::IsPkcs7(value)) {
        verdict.m_standard = QStringLiteral("GB/T 35275-2017");
        OfdPkcs7Signature pkcs7;
        pkcs7.ParseData(value);
        const int check = pkcs7.Verify(signature->GetXmlBytes());
        switch (check) {
        case OfdPkcs7Signature::Check_Valid:
            verdict.Add("数据摘要", OfdSignatureCheck::State_Passed, QString::fromUtf8("与签名描述文件一致"));
            verdict.Add("签名值", OfdSignatureCheck::State_Passed, QString::fromUtf8("SM2 签名验证通过"));
            chainNeeded = true;
            break;
        case OfdPkcs7Signature::Check_DigestMismatch:
            verdict.Add("数据摘要", OfdSignatureCheck::State_Failed,
                        QString::fromUtf8("签名值与签名描述文件不符，签名描述文件已被修改"));
            break;
        case OfdPkcs7Signature::Check_SignatureInvalid:
            verdict.Add("数据摘要", OfdSignatureCheck::State_Passed, QString::fromUtf8("与签名描述文件一致"));
            verdict.Add("签名值", OfdSignatureCheck::State_Failed, QString::fromUtf8("SM2 签名验证未通过"));
            break;
        case OfdPkcs7Signature::Check_NoCertificate:
            verdict.Add("签名证书", OfdSignatureCheck::State_Unchecked,
                        QString::fromUtf8("签名值中没有签名人的证书"));
            break;
        case OfdPkcs7Signature::Check_Unsupported:
            verdict.Add("签名算法", OfdSignatureCheck::State_Unchecked,
                        QString::fromUtf8("不支持的算法（摘要“%1”，签名“%2”）")
                            .arg(pkcs7.GetDigestAlgorithm(), pkcs7.GetSignatureAlgorithm()));
            break;
        default:
            verdict.Add("签名值", OfdSignatureCheck::State_Unchecked,
                        QString::fromUtf8("无法解析的 PKCS#7 签名值"));
            break;
        }
        signer = pkcs7.GetSignerCertificate();
        others = pkcs7.GetCertificates();
        if (pkcs7.GetSigningTime().isValid())
            time = pkcs7.GetSigningTime();
    } else if (IsBareSm2Value(value)) {
        verdict.m_standard = QString::fromUtf8("SM2 签名值");
        verdict.Add("签名证书", OfdSignatureCheck::State_Unchecked,
                    QString::fromUtf8("签名值只有 SM2 签名，没有签名人的证书，无法确认签名人"));
    } else if (OfdSignedValue *ses = signature->GetSignedValue(); ses && ses->GetType() != 0) {
        verdict.m_standard = signature->GetSignDataTypeDes();
        if (ses->GetSignTime().isValid())
            time = ses->GetSignTime();
        if (!signature->IsDataHashMatch()) {
            verdict.Add("数据摘要", OfdSignatureCheck::State_Failed,
                        QString::fromUtf8("签名值与签名描述文件不符，签名描述文件已被修改"));
        } else if (!ses->GetDecodeResult()) {
            verdict.Add("签名值", OfdSignatureCheck::State_Failed, QString::fromUtf8("签名值结构不完整"));
        } else {
            verdict.Add("数据摘要", OfdSignatureCheck::State_Passed, QString::fromUtf8("与签名描述文件一致"));
            OfdX509Certificate *certificate = ses->GetCertificate();
            const bool knownAlgorithm = IsSm2Algorithm(ses->GetSignatureAlgorithm());
            if (!knownAlgorithm && certificate && !certificate->GetSm2PublicKey().isEmpty() &&
                signature->CheckSignValue()) {
                // Some producers name another identifier here (such as the one of PKCS#7 signed
                // data), yet the value is an SM2 signature of the certificate's key over the data:
                // that cannot verify by chance.
                verdict.Add("签名值", OfdSignatureCheck::State_Passed,
                            QString::fromUtf8("SM2 签名验证通过（签名算法标识“%1”不规范）")
                                .arg(ses->GetSignatureAlgorithm()));
                signer = certificate->GetData();
                chainNeeded = true;
            } else if (!knownAlgorithm) {
                verdict.Add("签名算法", OfdSignatureCheck::State_Unchecked,
                            QString::fromUtf8("不支持的签名算法“%1”").arg(ses->GetSignatureAlgorithm()));
            } else if (!certificate || certificate->GetSm2PublicKey().isEmpty()) {
                verdict.Add("签名证书", OfdSignatureCheck::State_Unchecked,
                            QString::fromUtf8("签名证书不含 SM2 公钥"));
            } else if (signature->CheckSignValue()) {
                verdict.Add("签名值", OfdSignatureCheck::State_Passed, QString::fromUtf8("SM2 签名验证通过"));
                signer = certificate->GetData();
                chainNeeded = true;
            } else {
                verdict.Add("签名值", OfdSignatureCheck::State_Failed,
                            QString::fromUtf8("SM2 签名验证未通过"));
            }
        }
        // The seal shown must be the one that was signed.
        OfdSignatureSeal embedded;
        const QByteArray sealBytes = ses->GetSealData();
        const QByteArray sealFile = signature->GetSealFileBytes();
        embedded.ParseSeal(sealBytes);
        verdict.m_sealName = embedded.GetSealName();
        if (!signature->GetSealPath().isEmpty() && sealFile != sealBytes) {
            verdict.Add(
                "印章", OfdSignatureCheck::State_Failed,
                QString::fromUtf8("印章文件与签名值中的印章不一致：%1").arg(signature->GetSealPath()));
        } else {
            const QDateTime from = embedded.GetSealValidFrom();
            const QDateTime to = embedded.GetSealValidTo();
            switch (embedded.CheckMakerSignature()) {
            case OfdSignatureSeal::Maker_Valid:
                // The seal must have been in force when it was used; an hour either side allows
                // for the clocks of the seal-making and the signing systems.
                if (time.isValid() && from.isValid() && to.isValid() &&
                    (time < from.addSecs(-kSealClockSlackSeconds) ||
                     time > to.addSecs(kSealClockSlackSeconds))) {
                    verdict.Add("印章", OfdSignatureCheck::State_Failed,
                                QString::fromUtf8("签章时印章不在有效期内（%1 ~ %2）")
                                    .arg(embedded.GetSealValidStart(), embedded.GetSealValidEnd()));
                    break;
                }
                verdict.Add("印章", OfdSignatureCheck::State_Passed,
                            QString::fromUtf8("制章者“%1”的签名验证通过")
                                .arg(CommonName(embedded.GetMakerCertificate())));
                break;
            case OfdSignatureSeal::Maker_Invalid:
                verdict.Add("印章", OfdSignatureCheck::State_Failed,
                            QString::fromUtf8("制章者签名验证未通过"));
                break;
            case OfdSignatureSeal::Maker_Unsupported:
                verdict.Add("印章", OfdSignatureCheck::State_Unchecked,
                            QString::fromUtf8("制章者签名的算法不受支持"));
                break;
            default:
                verdict.Add("印章", OfdSignatureCheck::State_Unchecked,
                            QString::fromUtf8("印章没有可验证的制章者签名"));
                break;
            }
        }
        others << embedded.GetMakerCertificate();
    } else {
        verdict.m_standard = QString::fromUtf8("未知的签章标准");
        verdict.Add("签名值", OfdSignatureCheck::State_Unchecked, QString::fromUtf8("未知的签名值格式"));
    }

    if (time.isValid())
        verdict.m_signTime = time.toString(QLatin1String(kTimeFormat));
    if (!signer.isEmpty()) {
        verdict.m_signer = CommonName(signer);
    } else {
        verdict.m_signer = signature->GetSignerName();
    }
    if (chainNeeded) {
        const OfdChainResult chain = OfdCertificateChain::Check(signer, others, anchors, time);
        verdict.Add("证书", ChainCheckState(chain), chain.message);
    }
    verdict.Conclude();
    return verdict;
}
