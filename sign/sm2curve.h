#pragma once

#include <QByteArray>

// Point arithmetic on the SM2 recommended 256-bit prime curve (GB/T 32918.5), on 32-byte big-endian
// integers and coordinates. A point at infinity is never written out: the operations report it as false.
class Sm2Curve
{
public:
    // Curve parameters, 32 bytes big-endian each.
    static QByteArray P();
    static QByteArray A();
    static QByteArray B();
    static QByteArray N();
    static QByteArray Gx();
    static QByteArray Gy();

    // True when both coordinates are below p and (x, y) satisfies y^2 = x^3 + ax + b.
    static bool IsOnCurve(const unsigned char x[32], const unsigned char y[32]);

    // [k]G for 1 <= k < n; false for any other k.
    static bool MultiplyBase(const unsigned char k[32], unsigned char outX[32], unsigned char outY[32]);

    // [k1]G + [k2]Q for a point Q on the curve and scalars below n; false when Q is not on the curve,
    // a scalar is not below n, or the sum is the point at infinity.
    static bool MultiplyTwin(const unsigned char k1[32], const unsigned char k2[32],
                             const unsigned char qx[32], const unsigned char qy[32], unsigned char outX[32],
                             unsigned char outY[32]);

    // (a + b) mod n for a, b below 2^256; the order arithmetic verification needs.
    static void AddModN(const unsigned char a[32], const unsigned char b[32], unsigned char out[32]);
    // True when 1 <= k < n.
    static bool IsValidScalar(const unsigned char k[32]);
};
