#pragma once

#include <QByteArray>
#include <QString>

// Running state of one SM3 digest (GB/T 32905), fed in steps by sm3_update.
struct sm3_context
{
    quint32 state[8];
    quint64 total; // bytes fed so far
    unsigned char buffer[64];
    int used; // bytes waiting in buffer
};

void sm3_starts(sm3_context *ctx);
// A negative or zero length, or a null input, adds nothing.
void sm3_update(sm3_context *ctx, const unsigned char *input, int length);
void sm3_finish(sm3_context *ctx, unsigned char output[32]);

// One-shot digest of length bytes.
void sm3(const unsigned char *input, int length, unsigned char output[32]);

// Raw 32-byte digest of the bytes.
QByteArray sm3_digest_ByteArray(const QByteArray &data);
// Base64 text (44 characters, "=" padded) of the raw digest; the form of check values.
QString sm3_digest_base64(const QByteArray &data);
