#pragma once

// SM2 signature check (GB/T 32918.2) on the recommended curve, from the point where the digest e is known.
// digest: e, 32 bytes big-endian; publicKey: x||y, 64 bytes, no prefix byte; signature: r||s, 64 bytes.
// Returns 0 for a valid signature and -1 for an invalid one, wrong lengths or null pointers.
int EccVerify(const unsigned char *digest, unsigned digestLength, unsigned char *publicKey,
              unsigned publicKeyLength, unsigned char *signature, unsigned signatureLength);
