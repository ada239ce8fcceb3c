#pragma once

#include <QByteArray>

// Signer identity used when none is given, as GB/T 32918 recommends.
inline QByteArray Sm2DefaultId()
{
    return QByteArrayLiteral("1234567812345678");
}

// Z_A = SM3(ENTL || ID || a || b || xG || yG || xA || yA) for a 64-byte public key x||y.
// Empty when the key is not 64 bytes or the identity is longer than 8191 bytes.
QByteArray Sm2ComputeZa(const QByteArray &publicKey, const QByteArray &id = Sm2DefaultId());

// e = SM3(Z_A || message), the digest EccVerify takes; empty under the same conditions as Sm2ComputeZa.
QByteArray Sm2ComputeE(const QByteArray &publicKey, const QByteArray &message,
                       const QByteArray &id = Sm2DefaultId());
