#include "sign/sm2verify.h"

#include "sign/sm2curve.h"

#include <cstring>

int EccVerify(const unsigned char *digest, unsigned digestLength, unsigned char *publicKey,
              unsigned publicKeyLength, unsigned char *signature, unsigned signatureLength)
{
    if (!digest || !publicKey || !signature)
        return -1;
    if (digestLength != 32 || publicKeyLength != 64 || signatureLength != 64)
        return -1;
    const unsigned char *r = signature;
    const unsigned char *s = signature + 32;
    if (!Sm2Curve::IsValidScalar(r) || !Sm2Curve::IsValidScalar(s))
        return -1;

    unsigned char t[32];
    Sm2Curve::AddModN(r, s, t);
    if (!Sm2Curve::IsValidScalar(t))
        return -1;

    // (x1, y1) = [s]G + [t]P; a key off the curve or a sum at infinity fails here.
    unsigned char x1[32], y1[32];
    if (!Sm2Curve::MultiplyTwin(s, t, publicKey, publicKey + 32, x1, y1))
        return -1;

    unsigned char expected[32];
    Sm2Curve::AddModN(digest, x1, expected);
    return std::memcmp(expected, r, 32) == 0 ? 0 : -1;
}
