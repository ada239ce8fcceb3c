#include "sign/sm3.h"

#include <cstring>

namespace {

const quint32 kInitialState[8] = {0x7380166f, 0x4914b2b9, 0x172442d7, 0xda8a0600,
                                  0xa96f30bc, 0x163138aa, 0xe38dee4d, 0xb0fb0e4e};

inline quint32 Rotl(quint32 x, int n)
{
    n &= 31;
    return n == 0 ? x : (x << n) | (x >> (32 - n));
}

inline quint32 P0(quint32 x)
{
    return x ^ Rotl(x, 9) ^ Rotl(x, 17);
}
inline quint32 P1(quint32 x)
{
    return x ^ Rotl(x, 15) ^ Rotl(x, 23);
}

inline quint32 LoadBe32(const unsigned char *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

inline void StoreBe32(quint32 v, unsigned char *p)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// Compresses one 64-byte block into the state.
void Compress(quint32 state[8], const unsigned char block[64])
{
    quint32 w[68];
    quint32 w1[64];
    for (int j = 0; j < 16; ++j)
        w[j] = LoadBe32(block + 4 * j);
    for (int j = 16; j < 68; ++j)
        w[j] = P1(w[j - 16] ^ w[j - 9] ^ Rotl(w[j - 3], 15)) ^ Rotl(w[j - 13], 7) ^ w[j - 6];
    for (int j = 0; j < 64; ++j)
        w1[j] = w[j] ^ w[j + 4];

    quint32 a = state[0], b = state[1], c = state[2], d = state[3];
    quint32 e = state[4], f = state[5], g = state[6], h = state[7];
    for (int j = 0; j < 64; ++j) {
        const quint32 t = j < 16 ? 0x79cc4519u : 0x7a879d8au;
        const quint32 ss1 = Rotl(Rotl(a, 12) + e + Rotl(t, j), 7);
        const quint32 ss2 = ss1 ^ Rotl(a, 12);
        const quint32 ff = j < 16 ? (a ^ b ^ c) : ((a & b) | (a & c) | (b & c));
        const quint32 gg = j < 16 ? (e ^ f ^ g) : ((e & f) | (~e & g));
        const quint32 tt1 = ff + d + ss2 + w1[j];
        const quint32 tt2 = gg + h + ss1 + w[j];
        d = c;
        c = Rotl(b, 9);
        b = a;
        a = tt1;
        h = g;
        g = Rotl(f, 19);
        f = e;
        e = P0(tt2);
    }
    state[0] ^= a;
    state[1] ^= b;
    state[2] ^= c;
    state[3] ^= d;
    state[4] ^= e;
    state[5] ^= f;
    state[6] ^= g;
    state[7] ^= h;
}

} // namespace

void sm3_starts(sm3_context *ctx)
{
    if (!ctx)
        return;
    std::memcpy(ctx->state, kInitialState, sizeof(kInitialState));
    ctx->total = 0;
    ctx->used = 0;
    std::memset(ctx->buffer, 0, sizeof(ctx->buffer));
}

void sm3_update(sm3_context *ctx, const unsigned char *input, int length)
{
    if (!ctx || !input || length <= 0)
        return;
    ctx->total += quint64(length);
    if (ctx->used > 0) {
        const int take = qMin(64 - ctx->used, length);
        std::memcpy(ctx->buffer + ctx->used, input, size_t(take));
        ctx->used += take;
        input += take;
        length -= take;
        if (ctx->used < 64)
            return;
        Compress(ctx->state, ctx->buffer);
        ctx->used = 0;
    }
    while (length >= 64) {
        Compress(ctx->state, input);
        input += 64;
        length -= 64;
    }
    if (length > 0) {
        std::memcpy(ctx->buffer, input, size_t(length));
        ctx->used = length;
    }
}

void sm3_finish(sm3_context *ctx, unsigned char output[32])
{
    if (!ctx || !output)
        return;
    const quint64 bits = ctx->total * 8;
    // Padding: one 1 bit, zeros up to 56 mod 64, then the 64-bit message length.
    ctx->buffer[ctx->used++] = 0x80;
    if (ctx->used > 56) {
        std::memset(ctx->buffer + ctx->used, 0, size_t(64 - ctx->used));
        Compress(ctx->state, ctx->buffer);
        ctx->used = 0;
    }
    std::memset(ctx->buffer + ctx->used, 0, size_t(56 - ctx->used));
    StoreBe32(quint32(bits >> 32), ctx->buffer + 56);
    StoreBe32(quint32(bits), ctx->buffer + 60);
    Compress(ctx->state, ctx->buffer);
    for (int i = 0; i < 8; ++i)
        StoreBe32(ctx->state[i], output + 4 * i);
    ctx->used = 0;
}

void sm3(const unsigned char *input, int length, unsigned char output[32])
{
    sm3_context ctx;
    sm3_starts(&ctx);
    sm3_update(&ctx, input, length);
    sm3_finish(&ctx, output);
}

QByteArray sm3_digest_ByteArray(const QByteArray &data)
{
    QByteArray out(32, '\0');
    sm3(reinterpret_cast<const unsigned char *>(data.constData()), data.size(),
        reinterpret_cast<unsigned char *>(out.data()));
    return out;
}

QString sm3_digest_base64(const QByteArray &data)
{
    return QString::fromLatin1(sm3_digest_ByteArray(data).toBase64());
}
