#include "sign/sm2curve.h"

#include <cstring>

namespace {

typedef unsigned __int128 u128;

// 256-bit unsigned integer, four 64-bit limbs, least significant first.
struct U256
{
    quint64 w[4];
};

const U256 kP = {
    {0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFF00000000ull, 0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFEFFFFFFFFull}};
const U256 kA = {
    {0xFFFFFFFFFFFFFFFCull, 0xFFFFFFFF00000000ull, 0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFEFFFFFFFFull}};
const U256 kB = {
    {0xDDBCBD414D940E93ull, 0xF39789F515AB8F92ull, 0x4D5A9E4BCF6509A7ull, 0x28E9FA9E9D9F5E34ull}};
const U256 kN = {
    {0x53BBF40939D54123ull, 0x7203DF6B21C6052Bull, 0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFEFFFFFFFFull}};
const U256 kGx = {
    {0x715A4589334C74C7ull, 0x8FE30BBFF2660BE1ull, 0x5F9904466A39C994ull, 0x32C4AE2C1F198119ull}};
const U256 kGy = {
    {0x02DF32E52139F0A0ull, 0xD0A9877CC62A4740ull, 0x59BDCEE36B692153ull, 0xBC3736A2F4F6779Cull}};

U256 FromBytes(const unsigned char *b)
{
    U256 r;
    for (int i = 0; i < 4; ++i) {
        quint64 v = 0;
        for (int j = 0; j < 8; ++j)
            v = (v << 8) | b[(3 - i) * 8 + j];
        r.w[i] = v;
    }
    return r;
}

void ToBytes(const U256 &a, unsigned char *b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 8; ++j)
            b[(3 - i) * 8 + j] = static_cast<unsigned char>(a.w[i] >> (56 - 8 * j));
}

QByteArray ToByteArray(const U256 &a)
{
    QByteArray out(32, '\0');
    ToBytes(a, reinterpret_cast<unsigned char *>(out.data()));
    return out;
}

bool IsZero(const U256 &a)
{
    return (a.w[0] | a.w[1] | a.w[2] | a.w[3]) == 0;
}

bool Equal(const U256 &a, const U256 &b)
{
    return a.w[0] == b.w[0] && a.w[1] == b.w[1] && a.w[2] == b.w[2] && a.w[3] == b.w[3];
}

// -1, 0 or 1 as a is below, equal to or above b.
int Compare(const U256 &a, const U256 &b)
{
    for (int i = 3; i >= 0; --i) {
        if (a.w[i] != b.w[i])
            return a.w[i] < b.w[i] ? -1 : 1;
    }
    return 0;
}

// r = a + b, returns the carry out.
quint64 Add(U256 &r, const U256 &a, const U256 &b)
{
    u128 carry = 0;
    for (int i = 0; i < 4; ++i) {
        carry += u128(a.w[i]) + b.w[i];
        r.w[i] = quint64(carry);
        carry >>= 64;
    }
    return quint64(carry);
}

// r = a - b, returns the borrow out.
quint64 Sub(U256 &r, const U256 &a, const U256 &b)
{
    quint64 borrow = 0;
    for (int i = 0; i < 4; ++i) {
        const u128 d = u128(a.w[i]) - b.w[i] - borrow;
        r.w[i] = quint64(d);
        borrow = quint64(d >> 64) & 1;
    }
    return borrow;
}

// (a + b) mod m for a, b < m.
U256 AddMod(const U256 &a, const U256 &b, const U256 &m)
{
    U256 r, t;
    const quint64 carry = Add(r, a, b);
    if (carry || Compare(r, m) >= 0) {
        Sub(t, r, m);
        r = t;
    }
    return r;
}

// (a - b) mod m for a, b < m.
U256 SubMod(const U256 &a, const U256 &b, const U256 &m)
{
    U256 r, t;
    if (Sub(r, a, b)) {
        Add(t, r, m);
        r = t;
    }
    return r;
}

// a mod m for any a < 2m.
U256 ReduceOnce(const U256 &a, const U256 &m)
{
    U256 r = a;
    if (Compare(a, m) >= 0)
        Sub(r, a, m);
    return r;
}

// Field arithmetic modulo p in Montgomery form (R = 2^256).
class Field
{
public:
    Field()
    {
        // -p^-1 mod 2^64 by Newton iteration.
        quint64 inv = 1;
        for (int i = 0; i < 6; ++i)
            inv *= 2 - kP.w[0] * inv;
        m_pInv = quint64(0) - inv;
        // R mod p = 2^256 - p, as p > 2^255; doubling it 256 times gives R^2 mod p.
        U256 zero = {{0, 0, 0, 0}};
        Sub(m_one, zero, kP);
        m_r2 = m_one;
        for (int i = 0; i < 256; ++i)
            m_r2 = AddMod(m_r2, m_r2, kP);
    }

    U256 Mul(const U256 &a, const U256 &b) const
    {
        // Coarsely integrated operand scanning; t keeps one extra limb and a carry bit.
        quint64 t[6] = {0, 0, 0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            u128 c = 0;
            for (int j = 0; j < 4; ++j) {
                c += u128(a.w[j]) * b.w[i] + t[j];
                t[j] = quint64(c);
                c >>= 64;
            }
            c += t[4];
            t[4] = quint64(c);
            t[5] = quint64(c >> 64);

            const quint64 m = t[0] * m_pInv;
            c = u128(m) * kP.w[0] + t[0];
            c >>= 64;
            for (int j = 1; j < 4; ++j) {
                c += u128(m) * kP.w[j] + t[j];
                t[j - 1] = quint64(c);
                c >>= 64;
            }
            c += t[4];
            t[3] = quint64(c);
            t[4] = t[5] + quint64(c >> 64);
            t[5] = 0;
        }
        U256 r = {{t[0], t[1], t[2], t[3]}};
        U256 s;
        if (t[4] || Compare(r, kP) >= 0) {
            Sub(s, r, kP);
            r = s;
        }
        return r;
    }

    U256 Sqr(const U256 &a) const { return Mul(a, a); }
    U256 Plus(const U256 &a, const U256 &b) const { return AddMod(a, b, kP); }
    U256 Minus(const U256 &a, const U256 &b) const { return SubMod(a, b, kP); }
    U256 ToMont(const U256 &a) const { return Mul(a, m_r2); }
    U256 FromMont(const U256 &a) const
    {
        const U256 one = {{1, 0, 0, 0}};
        return Mul(a, one);
    }
    const U256 &One() const { return m_one; }

    // a^(p-2), the inverse of a non-zero a (Fermat); zero stays zero.
    U256 Inverse(const U256 &a) const
    {
        U256 e;
        const U256 two = {{2, 0, 0, 0}};
        Sub(e, kP, two);
        U256 r = m_one;
        for (int i = 255; i >= 0; --i) {
            r = Sqr(r);
            if ((e.w[i / 64] >> (i % 64)) & 1)
                r = Mul(r, a);
        }
        return r;
    }

private:
    quint64 m_pInv;
    U256 m_one; // R mod p, the Montgomery form of 1
    U256 m_r2;  // R^2 mod p
};

const Field &TheField()
{
    static const Field field;
    return field;
}

// Point in Jacobian coordinates (X/Z^2, Y/Z^3), Montgomery form; Z = 0 is the point at infinity.
struct JPoint
{
    U256 x, y, z;
};

bool IsInfinity(const JPoint &p)
{
    return IsZero(p.z);
}

JPoint Infinity()
{
    const Field &f = TheField();
    return JPoint{f.One(), f.One(), U256{{0, 0, 0, 0}}};
}

JPoint FromAffine(const U256 &x, const U256 &y)
{
    const Field &f = TheField();
    return JPoint{f.ToMont(x), f.ToMont(y), f.One()};
}

// 2P with a = -3: M = 3(X - Z^2)(X + Z^2), S = 4XY^2, X' = M^2 - 2S, Y' = M(S - X') - 8Y^4, Z' = 2YZ.
JPoint Double(const JPoint &p)
{
    const Field &f = TheField();
    if (IsInfinity(p) || IsZero(p.y))
        return Infinity();
    const U256 zz = f.Sqr(p.z);
    const U256 t = f.Mul(f.Minus(p.x, zz), f.Plus(p.x, zz));
    const U256 m = f.Plus(f.Plus(t, t), t);
    const U256 yy = f.Sqr(p.y);
    U256 s = f.Mul(p.x, yy);
    s = f.Plus(s, s);
    s = f.Plus(s, s);
    JPoint r;
    r.x = f.Minus(f.Sqr(m), f.Plus(s, s));
    U256 y4 = f.Sqr(yy);
    y4 = f.Plus(y4, y4);
    y4 = f.Plus(y4, y4);
    y4 = f.Plus(y4, y4);
    r.y = f.Minus(f.Mul(m, f.Minus(s, r.x)), y4);
    const U256 yz = f.Mul(p.y, p.z);
    r.z = f.Plus(yz, yz);
    return r;
}

// P + Q, with the equal and opposite cases handled.
JPoint AddPoints(const JPoint &p, const JPoint &q)
{
    const Field &f = TheField();
    if (IsInfinity(p))
        return q;
    if (IsInfinity(q))
        return p;
    const U256 z1z1 = f.Sqr(p.z);
    const U256 z2z2 = f.Sqr(q.z);
    const U256 u1 = f.Mul(p.x, z2z2);
    const U256 u2 = f.Mul(q.x, z1z1);
    const U256 s1 = f.Mul(p.y, f.Mul(q.z, z2z2));
    const U256 s2 = f.Mul(q.y, f.Mul(p.z, z1z1));
    if (Equal(u1, u2))
        return Equal(s1, s2) ? Double(p) : Infinity();
    const U256 h = f.Minus(u2, u1);
    const U256 rr = f.Minus(s2, s1);
    const U256 hh = f.Sqr(h);
    const U256 hhh = f.Mul(h, hh);
    const U256 v = f.Mul(u1, hh);
    JPoint r;
    r.x = f.Minus(f.Minus(f.Sqr(rr), hhh), f.Plus(v, v));
    r.y = f.Minus(f.Mul(rr, f.Minus(v, r.x)), f.Mul(s1, hhh));
    r.z = f.Mul(f.Mul(p.z, q.z), h);
    return r;
}

// Affine coordinates in plain form; false at infinity.
bool ToAffine(const JPoint &p, U256 &x, U256 &y)
{
    if (IsInfinity(p))
        return false;
    const Field &f = TheField();
    const U256 zi = f.Inverse(p.z);
    const U256 zi2 = f.Sqr(zi);
    x = f.FromMont(f.Mul(p.x, zi2));
    y = f.FromMont(f.Mul(p.y, f.Mul(zi2, zi)));
    return true;
}

bool Bit(const U256 &k, int i)
{
    return (k.w[i / 64] >> (i % 64)) & 1;
}

// [k1]P1 + [k2]P2 by one shared run of doublings (Shamir's trick).
JPoint TwinMultiply(const U256 &k1, const JPoint &p1, const U256 &k2, const JPoint &p2)
{
    const JPoint sum = AddPoints(p1, p2);
    JPoint r = Infinity();
    for (int i = 255; i >= 0; --i) {
        r = Double(r);
        const bool b1 = Bit(k1, i), b2 = Bit(k2, i);
        if (b1 && b2)
            r = AddPoints(r, sum);
        else if (b1)
            r = AddPoints(r, p1);
        else if (b2)
            r = AddPoints(r, p2);
    }
    return r;
}

bool AffineOnCurve(const U256 &x, const U256 &y)
{
    if (Compare(x, kP) >= 0 || Compare(y, kP) >= 0)
        return false;
    const Field &f = TheField();
    const U256 mx = f.ToMont(x), my = f.ToMont(y);
    const U256 rhs = f.Plus(f.Plus(f.Mul(f.Sqr(mx), mx), f.Mul(f.ToMont(kA), mx)), f.ToMont(kB));
    return Equal(f.Sqr(my), rhs);
}

bool ScalarBelowN(const U256 &k)
{
    return Compare(k, kN) < 0;
}

} // namespace

QByteArray Sm2Curve::P()
{
    return ToByteArray(kP);
}
QByteArray Sm2Curve::A()
{
    return ToByteArray(kA);
}
QByteArray Sm2Curve::B()
{
    return ToByteArray(kB);
}
QByteArray Sm2Curve::N()
{
    return ToByteArray(kN);
}
QByteArray Sm2Curve::Gx()
{
    return ToByteArray(kGx);
}
QByteArray Sm2Curve::Gy()
{
    return ToByteArray(kGy);
}

bool Sm2Curve::IsOnCurve(const unsigned char x[32], const unsigned char y[32])
{
    return AffineOnCurve(FromBytes(x), FromBytes(y));
}

bool Sm2Curve::MultiplyBase(const unsigned char k[32], unsigned char outX[32], unsigned char outY[32])
{
    if (!IsValidScalar(k))
        return false;
    const U256 zero = {{0, 0, 0, 0}};
    const JPoint r = TwinMultiply(FromBytes(k), FromAffine(kGx, kGy), zero, Infinity());
    U256 x, y;
    if (!ToAffine(r, x, y))
        return false;
    ToBytes(x, outX);
    ToBytes(y, outY);
    return true;
}

bool Sm2Curve::MultiplyTwin(const unsigned char k1[32], const unsigned char k2[32],
                            const unsigned char qx[32], const unsigned char qy[32], unsigned char outX[32],
                            unsigned char outY[32])
{
    const U256 a = FromBytes(k1), b = FromBytes(k2);
    const U256 x = FromBytes(qx), y = FromBytes(qy);
    if (!ScalarBelowN(a) || !ScalarBelowN(b) || !AffineOnCurve(x, y))
        return false;
    const JPoint r = TwinMultiply(a, FromAffine(kGx, kGy), b, FromAffine(x, y));
    U256 rx, ry;
    if (!ToAffine(r, rx, ry))
        return false;
    ToBytes(rx, outX);
    ToBytes(ry, outY);
    return true;
}

void Sm2Curve::AddModN(const unsigned char a[32], const unsigned char b[32], unsigned char out[32])
{
    // Any 256-bit value is below 2n, so one subtraction brings it into range.
    const U256 x = ReduceOnce(FromBytes(a), kN);
    const U256 y = ReduceOnce(FromBytes(b), kN);
    ToBytes(AddMod(x, y, kN), out);
}

bool Sm2Curve::IsValidScalar(const unsigned char k[32])
{
    const U256 v = FromBytes(k);
    return !IsZero(v) && ScalarBelowN(v);
}
