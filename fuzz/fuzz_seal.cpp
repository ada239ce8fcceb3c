// Any bytes as a seal, as a signed value and as a certificate: decode them, make the picture, run
// the checks, and build a chain from the bytes with no trust anchors.
#include <QByteArray>

#include "fuzzapp.h"
#include "sign/ofdcertificatechain.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdx509certificate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    OfdSignatureSeal seal;
    if (seal.ParseSeal(bytes)) {
        seal.GetSealName();
        seal.GetEsID();
        seal.GetSealValidEnd();
        seal.GetSealValidFrom();
        seal.GetSealValidTo();
    }
    OfdX509Certificate certificate;
    if (certificate.ParseData(bytes)) {
        certificate.GetExtensionValue(QStringLiteral("2.5.29.19"));
        certificate.MayIssueCertificates();
        certificate.MaySignDocuments();
        // The bytes as signer and as the certificate that came with it: a chain that loops on itself.
        const OfdTrustStore anchors;
        OfdCertificateChain::Check(bytes, {bytes}, anchors, QDateTime());
    }
    OfdSignedValue value;
    value.SetExpectedDigest(QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA="));
    value.ParseData(bytes);
    value.CheckSignValue();
    value.GetSealSignTime();
    return 0;
}
