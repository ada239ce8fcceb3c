#include "sign/sm2digest.h"

#include "sign/sm2curve.h"
#include "sign/sm3.h"

QByteArray Sm2ComputeZa(const QByteArray &publicKey, const QByteArray &id)
{
    // ENTL is the identity's length in bits, two bytes.
    if (publicKey.size() != 64 || id.size() > 0x1FFF)
        return QByteArray();
    const int bits = id.size() * 8;
    QByteArray input;
    input.reserve(2 + id.size() + 6 * 32);
    input.append(char((bits >> 8) & 0xFF));
    input.append(char(bits & 0xFF));
    input.append(id);
    input.append(Sm2Curve::A());
    input.append(Sm2Curve::B());
    input.append(Sm2Curve::Gx());
    input.append(Sm2Curve::Gy());
    input.append(publicKey);
    return sm3_digest_ByteArray(input);
}

QByteArray Sm2ComputeE(const QByteArray &publicKey, const QByteArray &message, const QByteArray &id)
{
    const QByteArray za = Sm2ComputeZa(publicKey, id);
    if (za.isEmpty())
        return QByteArray();
    return sm3_digest_ByteArray(za + message);
}
