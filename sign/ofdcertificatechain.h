#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class OfdTrustStore;

// The outcome of building a signer certificate's chain up to a trust anchor.
struct OfdChainResult
{
    enum EN_State
    {
        State_Trusted = 0,        // a trust anchor vouches for the signer, every certificate valid then
        State_Untrusted = 1,      // sound as far as it goes, but no trust anchor is reached
        State_NotValidAtTime = 2, // a certificate on the way was not valid at the signing time
        State_Unreadable = 3,     // the signer certificate cannot be read
    };
    int state = State_Unreadable;
    QString message;    // for the user, Chinese
    QString anchorName; // common name of the anchor reached
    int length = 0;     // certificates on the chain, the signer included
};

// Chain building for signer certificates: issuers are found by subject name among the trust anchors and
// the certificates that came with the signature, each link's SM2 signature is verified, and every issuer
// must be a certificate authority (basicConstraints, keyUsage) and the signer's key one for signing.
class OfdCertificateChain
{
public:
    // Certificates on one chain at most, so that crafted loops end.
    static const int kMaxLength = 8;

    // signer: DER; others: DER certificates that came with the signature (not trusted themselves); time:
    // the signing time in UTC (when invalid, validity at the current time is checked instead).
    static OfdChainResult Check(const QByteArray &signer, const QList<QByteArray> &others,
                                const OfdTrustStore &anchors, const QDateTime &time);
};
