#include "sign/ofdcertificatechain.h"

#include <memory>
#include <vector>

#include "sign/ofdtruststore.h"
#include "sign/ofdx509certificate.h"

namespace {

using Certificates = std::vector<std::unique_ptr<OfdX509Certificate>>;

Certificates Parse(const QList<QByteArray> &list)
{
    Certificates out;
    for (const QByteArray &der : list) {
        auto certificate = std::make_unique<OfdX509Certificate>();
        if (certificate->ParseData(der))
            out.push_back(std::move(certificate));
    }
    return out;
}

QString Name(const OfdX509Certificate &certificate)
{
    const QString name = certificate.GetSubjectCommonName();
    return name.isEmpty() ? QString::fromUtf8("（无名称）") : name;
}

QString Period(const OfdX509Certificate &certificate)
{
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    return QStringLiteral("%1 ~ %2").arg(certificate.GetNotBefore().toString(format),
                                         certificate.GetNotAfter().toString(format));
}

OfdChainResult NotValid(const OfdX509Certificate &certificate, int length)
{
    OfdChainResult result;
    result.state = OfdChainResult::State_NotValidAtTime;
    result.length = length;
    result.message =
        QString::fromUtf8("证书“%1”在签章时间不在有效期内（%2）").arg(Name(certificate), Period(certificate));
    return result;
}

// The issuer of current among candidates: same name as its issuer, a key that may issue certificates,
// and a signature that verifies. A candidate that matches all but the right to issue is given in
// notIssuer, so that the user learns why the chain stops there.
const OfdX509Certificate *FindIssuer(const OfdX509Certificate &current, const Certificates &candidates,
                                     const OfdX509Certificate **notIssuer)
{
    const QByteArray issuer = current.GetIssuerData();
    for (const auto &candidate : candidates) {
        if (candidate->GetSubjectData() != issuer || !current.IsSignedBy(*candidate))
            continue;
        if (candidate->MayIssueCertificates())
            return candidate.get();
        if (notIssuer && !*notIssuer)
            *notIssuer = candidate.get();
    }
    return nullptr;
}

} // namespace

OfdChainResult OfdCertificateChain::Check(const QByteArray &signer, const QList<QByteArray> &others,
                                          const OfdTrustStore &anchors, const QDateTime &signingTime)
{
    OfdChainResult result;
    OfdX509Certificate first;
    if (signer.isEmpty() || !first.ParseData(signer) || first.GetPublicKey().isEmpty()) {
        result.message = QString::fromUtf8("签名证书无法读取");
        return result;
    }
    const QDateTime time = signingTime.isValid() ? signingTime : QDateTime::currentDateTimeUtc();
    const Certificates trusted = Parse(anchors.GetCertificates());
    const Certificates untrusted = Parse(others);

    if (!first.MaySignDocuments()) {
        result.state = OfdChainResult::State_Untrusted;
        result.length = 1;
        result.message =
            QString::fromUtf8("签名证书“%1”的密钥用途不包括数字签名，不能为签章作证").arg(Name(first));
        return result;
    }
    const OfdX509Certificate *current = &first;
    const OfdX509Certificate *notIssuer = nullptr;
    for (int length = 1; length <= kMaxLength; ++length) {
        if (!current->IsValidAt(time))
            return NotValid(*current, length);
        // The certificate itself is an anchor (a root, an intermediate or the signer listed by the user).
        for (const auto &anchor : trusted) {
            if (anchor->IsSameKeyAndSubject(*current)) {
                if (!anchor->IsValidAt(time))
                    return NotValid(*anchor, length);
                result.state = OfdChainResult::State_Trusted;
                result.length = length;
                result.anchorName = Name(*anchor);
                result.message = QString::fromUtf8("证书受信任（%1）").arg(result.anchorName);
                return result;
            }
        }
        const OfdX509Certificate *issuer = FindIssuer(*current, trusted, &notIssuer);
        if (issuer) {
            if (!issuer->IsValidAt(time))
                return NotValid(*issuer, length + 1);
            result.state = OfdChainResult::State_Trusted;
            result.length = length + 1;
            result.anchorName = Name(*issuer);
            result.message = QString::fromUtf8("证书由受信任的“%1”签发").arg(result.anchorName);
            return result;
        }
        // A self-signed certificate ends the chain; otherwise an issuer may have come with the signature.
        if (current->GetIssuerData() == current->GetSubjectData())
            break;
        issuer = FindIssuer(*current, untrusted, &notIssuer);
        if (!issuer || issuer == current)
            break;
        current = issuer;
    }
    result.state = OfdChainResult::State_Untrusted;
    if (notIssuer) {
        result.message =
            QString::fromUtf8("证书“%1”不是证书颁发机构证书，不能为它签发的证书作证").arg(Name(*notIssuer));
        return result;
    }
    result.message = QString::fromUtf8("签名证书“%1”（颁发者“%2”）不受信任：信任列表中没有它或它的颁发者")
                         .arg(Name(first), first.GetIssuerCommonName());
    return result;
}
