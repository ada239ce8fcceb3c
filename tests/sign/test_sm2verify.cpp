#include "sign/ans1reader.h"
#include "sign/sm2curve.h"
#include "sign/sm2digest.h"
#include "sign/sm2verify.h"
#include "sign/sm3.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>

namespace {

// Digest, public key x||y and signature r||s handed to EccVerify.
struct Sm2Case
{
    QByteArray e, key, sig;
};

int Verify(const QByteArray &e, QByteArray key, QByteArray sig)
{
    return EccVerify(reinterpret_cast<const unsigned char *>(e.constData()), unsigned(e.size()),
                     reinterpret_cast<unsigned char *>(key.data()), unsigned(key.size()),
                     reinterpret_cast<unsigned char *>(sig.data()), unsigned(sig.size()));
}

int Verify(const Sm2Case &c)
{
    return Verify(c.e, c.key, c.sig);
}

QByteArray Bn32(const BIGNUM *bn)
{
    QByteArray out(32, '\0');
    BN_bn2binpad(bn, reinterpret_cast<unsigned char *>(out.data()), 32);
    return out;
}

BIGNUM *BnFrom(const QByteArray &bytes)
{
    return BN_bin2bn(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), nullptr);
}

// Independent big-number and curve arithmetic from OpenSSL, to build keys and signatures at chosen edges.
class Oracle
{
public:
    Oracle() : group(EC_GROUP_new_by_curve_name(NID_sm2)), ctx(BN_CTX_new()), n(EC_GROUP_get0_order(group)) {}
    ~Oracle()
    {
        BN_CTX_free(ctx);
        EC_GROUP_free(group);
    }

    BIGNUM *Random() const
    {
        BIGNUM *r = BN_new();
        BN_rand_range(r, n);
        if (BN_is_zero(r))
            BN_one(r);
        return r;
    }

    // [k1]G + [k2]P as x||y; empty at infinity. P null means G.
    QByteArray Combine(const BIGNUM *k1, const EC_POINT *p, const BIGNUM *k2) const
    {
        EC_POINT *out = EC_POINT_new(group);
        EC_POINT_mul(group, out, k1, p ? p : EC_GROUP_get0_generator(group), k2, ctx);
        QByteArray xy;
        if (!EC_POINT_is_at_infinity(group, out)) {
            BIGNUM *x = BN_new(), *y = BN_new();
            EC_POINT_get_affine_coordinates(group, out, x, y, ctx);
            xy = Bn32(x) + Bn32(y);
            BN_free(x);
            BN_free(y);
        }
        EC_POINT_free(out);
        return xy;
    }

    QByteArray PublicKey(const BIGNUM *d) const { return Combine(d, nullptr, nullptr); }

    EC_POINT *Point(const QByteArray &xy) const
    {
        EC_POINT *p = EC_POINT_new(group);
        BIGNUM *x = BnFrom(xy.left(32)), *y = BnFrom(xy.mid(32));
        EC_POINT_set_affine_coordinates(group, p, x, y, ctx);
        BN_free(x);
        BN_free(y);
        return p;
    }

    // For any key, s and t give a valid (e, r, s): r = t - s and e = r - x1 with (x1, y1) = [s]G + [t]P.
    // When the sum is the point at infinity x1 is taken as 0, so e = r.
    Sm2Case Construct(const QByteArray &key, const BIGNUM *s, const BIGNUM *t) const
    {
        Sm2Case c;
        c.key = key;
        EC_POINT *p = Point(key);
        const QByteArray sum = Combine(s, p, t);
        EC_POINT_free(p);
        BIGNUM *r = BN_new(), *x1 = BnFrom(sum.isEmpty() ? QByteArray(32, '\0') : sum.left(32)),
               *e = BN_new();
        BN_mod_sub(r, t, s, n, ctx);
        BN_mod_sub(e, r, x1, n, ctx);
        c.e = Bn32(e);
        c.sig = Bn32(r) + Bn32(s);
        BN_free(r);
        BN_free(x1);
        BN_free(e);
        return c;
    }

    EC_GROUP *group;
    BN_CTX *ctx;
    const BIGNUM *n;
};

// A fresh OpenSSL SM2 key with its 64-byte public key.
EVP_PKEY *GenerateKey(QByteArray &publicKey)
{
    EVP_PKEY *pkey = EVP_PKEY_Q_keygen(nullptr, nullptr, "SM2");
    unsigned char buf[65];
    size_t length = 0;
    EVP_PKEY_get_octet_string_param(pkey, OSSL_PKEY_PARAM_PUB_KEY, buf, sizeof(buf), &length);
    publicKey = length == 65 ? QByteArray(reinterpret_cast<const char *>(buf) + 1, 64) : QByteArray();
    return pkey;
}

// OpenSSL's SM2 signature (DER ECDSA-Sig) of message under the signer identity id.
QByteArray OpenSslSign(EVP_PKEY *pkey, const QByteArray &message, const QByteArray &id)
{
    EVP_MD_CTX *mctx = EVP_MD_CTX_new();
    EVP_PKEY_CTX *pctx = EVP_PKEY_CTX_new(pkey, nullptr);
    EVP_PKEY_CTX_set1_id(pctx, id.constData(), size_t(id.size()));
    EVP_MD_CTX_set_pkey_ctx(mctx, pctx);
    QByteArray der(128, '\0');
    size_t length = size_t(der.size());
    const bool ok = EVP_DigestSignInit(mctx, nullptr, EVP_sm3(), nullptr, pkey) == 1 &&
                    EVP_DigestSign(mctx, reinterpret_cast<unsigned char *>(der.data()), &length,
                                   reinterpret_cast<const unsigned char *>(message.constData()),
                                   size_t(message.size())) == 1;
    EVP_MD_CTX_free(mctx);
    EVP_PKEY_CTX_free(pctx);
    return ok ? der.left(int(length)) : QByteArray();
}

// r||s from the DER SEQUENCE { INTEGER r, INTEGER s }, read with our own decoder.
QByteArray RawSignature(const QByteArray &der)
{
    Ans1Reader reader;
    reader.OpenData(der);
    if (!reader.IsDataOK())
        return QByteArray();
    QByteArray out;
    for (const QString &id : {QStringLiteral("0.0*1.0"), QStringLiteral("0.0*1.1")}) {
        Ans1BerNodeReader *node = reader.GetNode(id);
        if (!node || node->GetTagNumber() != 2)
            return QByteArray();
        QByteArray value = node->GetValuePart();
        while (value.size() > 32 && value.at(0) == '\0')
            value.remove(0, 1);
        if (value.size() > 32)
            return QByteArray();
        out += QByteArray(32 - value.size(), '\0') + value;
    }
    return out;
}

QByteArray FlipBit(QByteArray bytes, int bit)
{
    bytes[bit / 8] = char(bytes.at(bit / 8) ^ (0x80 >> (bit % 8)));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Sm2Case)

class TestSm2Verify : public QObject
{
    Q_OBJECT

private:
    Oracle oracle;

private slots:
    void curveParametersMatchOpenSsl()
    {
        BIGNUM *p = BN_new(), *a = BN_new(), *b = BN_new(), *gx = BN_new(), *gy = BN_new();
        QVERIFY(EC_GROUP_get_curve(oracle.group, p, a, b, oracle.ctx));
        QVERIFY(EC_POINT_get_affine_coordinates(oracle.group, EC_GROUP_get0_generator(oracle.group), gx, gy,
                                                oracle.ctx));
        QCOMPARE(Sm2Curve::P().toHex(), Bn32(p).toHex());
        QCOMPARE(Sm2Curve::A().toHex(), Bn32(a).toHex());
        QCOMPARE(Sm2Curve::B().toHex(), Bn32(b).toHex());
        QCOMPARE(Sm2Curve::N().toHex(), Bn32(oracle.n).toHex());
        QCOMPARE(Sm2Curve::Gx().toHex(), Bn32(gx).toHex());
        QCOMPARE(Sm2Curve::Gy().toHex(), Bn32(gy).toHex());
        for (BIGNUM *bn : {p, a, b, gx, gy})
            BN_free(bn);
    }

    void multiplyBaseMatchesOpenSsl()
    {
        QList<BIGNUM *> scalars;
        for (int i = 0; i < 20; ++i)
            scalars << oracle.Random();
        BIGNUM *one = BN_new(), *two = BN_new(), *nMinus1 = BN_dup(oracle.n);
        BN_one(one);
        BN_set_word(two, 2);
        BN_sub_word(nMinus1, 1);
        scalars << one << two << nMinus1;
        for (BIGNUM *k : qAsConst(scalars)) {
            const QByteArray kb = Bn32(k);
            unsigned char x[32], y[32];
            QVERIFY(Sm2Curve::MultiplyBase(reinterpret_cast<const unsigned char *>(kb.constData()), x, y));
            QCOMPARE(QByteArray(reinterpret_cast<char *>(x), 32) +
                         QByteArray(reinterpret_cast<char *>(y), 32),
                     oracle.PublicKey(k));
            BN_free(k);
        }
        unsigned char x[32], y[32];
        QVERIFY(!Sm2Curve::MultiplyBase(
            reinterpret_cast<const unsigned char *>(QByteArray(32, '\0').constData()), x, y));
        QVERIFY(!Sm2Curve::MultiplyBase(reinterpret_cast<const unsigned char *>(Sm2Curve::N().constData()), x,
                                        y));
    }

    // Signatures of OpenSSL over messages of many lengths, with the default, an empty and a long identity.
    void acceptsOpenSslSignatures()
    {
        QRandomGenerator rng(32918);
        const QByteArray longId = QByteArray("ALICE123@YAHOO.COM").repeated(3); // ENTL above 255 bits
        for (int round = 0; round < 40; ++round) {
            QByteArray key;
            EVP_PKEY *pkey = GenerateKey(key);
            QCOMPARE(key.size(), 64);
            QByteArray message(rng.bounded(300), '\0');
            for (char &c : message)
                c = char(rng.bounded(256));
            const QByteArray id = round % 3 == 0 ? Sm2DefaultId() : (round % 3 == 1 ? QByteArray() : longId);
            const QByteArray sig = RawSignature(OpenSslSign(pkey, message, id));
            EVP_PKEY_free(pkey);
            QCOMPARE(sig.size(), 64);

            const QByteArray e = Sm2ComputeE(key, message, id);
            QCOMPARE(e, sm3_digest_ByteArray(Sm2ComputeZa(key, id) + message));
            QCOMPARE(Verify(e, key, sig), 0);
            // The same signature under another identity's e must fail.
            const QByteArray otherId = id == Sm2DefaultId() ? QByteArray() : Sm2DefaultId();
            QCOMPARE(Verify(Sm2ComputeE(key, message, otherId), key, sig), -1);
        }
    }

    void rejectsEverySingleBitChange()
    {
        for (int round = 0; round < 2; ++round) {
            QByteArray key;
            EVP_PKEY *pkey = GenerateKey(key);
            const QByteArray message = QByteArray("seal ").repeated(round + 1);
            const QByteArray sig = RawSignature(OpenSslSign(pkey, message, Sm2DefaultId()));
            EVP_PKEY_free(pkey);
            const QByteArray e = Sm2ComputeE(key, message);
            QCOMPARE(Verify(e, key, sig), 0);
            for (int bit = 0; bit < 256; ++bit)
                QVERIFY2(Verify(FlipBit(e, bit), key, sig) == -1, qPrintable(QString::number(bit)));
            for (int bit = 0; bit < 512; ++bit) {
                QVERIFY2(Verify(e, FlipBit(key, bit), sig) == -1, qPrintable(QString::number(bit)));
                QVERIFY2(Verify(e, key, FlipBit(sig, bit)) == -1, qPrintable(QString::number(bit)));
            }
        }
    }

    void edges_data()
    {
        QTest::addColumn<Sm2Case>("sample");
        QTest::addColumn<int>("expected");

        BIGNUM *d = oracle.Random(), *s = oracle.Random(), *t = oracle.Random(), *tmp = BN_new();
        const QByteArray key = oracle.PublicKey(d);
        const Sm2Case good = oracle.Construct(key, s, t);
        const QByteArray n = Bn32(oracle.n);
        const QByteArray r = good.sig.left(32), sv = good.sig.mid(32);
        BIGNUM *nPlus1 = BN_dup(oracle.n), *one = BN_new();
        BN_add_word(nPlus1, 1);
        BN_one(one);

        QTest::newRow("valid") << good << 0;
        QTest::newRow("r zero") << Sm2Case{good.e, key, QByteArray(32, '\0') + sv} << -1;
        QTest::newRow("s zero") << Sm2Case{good.e, key, r + QByteArray(32, '\0')} << -1;
        QTest::newRow("r equals n") << Sm2Case{good.e, key, n + sv} << -1;
        // e fitted so that a check reading s = n as 0 would pass.
        QTest::newRow("s equals n") << oracle.Construct(key, oracle.n, t) << -1;
        QTest::newRow("r above n") << Sm2Case{good.e, key, Bn32(nPlus1) + sv} << -1;
        QTest::newRow("s all ones") << Sm2Case{good.e, key, r + QByteArray(32, '\xFF')} << -1;

        // s = n - 1 and r = n - 1 are the largest values allowed.
        BIGNUM *nMinus1 = BN_dup(oracle.n);
        BN_sub_word(nMinus1, 1);
        QTest::newRow("s is n-1") << oracle.Construct(key, nMinus1, t) << 0;
        BN_mod_sub(tmp, s, one, oracle.n, oracle.ctx); // t = s - 1 gives r = n - 1
        const Sm2Case rMax = oracle.Construct(key, s, tmp);
        QCOMPARE(rMax.sig.left(32), Bn32(nMinus1));
        QTest::newRow("r is n-1") << rMax << 0;

        // t = r + s = 0 mod n: e is chosen so that a check without the t test would pass.
        BIGNUM *zero = BN_new();
        BN_zero(zero);
        {
            Sm2Case c;
            c.key = key;
            BIGNUM *rr = BN_new(), *x1 = BnFrom(oracle.Combine(s, nullptr, nullptr).left(32)), *e = BN_new();
            BN_mod_sub(rr, zero, s, oracle.n, oracle.ctx);
            BN_mod_sub(e, rr, x1, oracle.n, oracle.ctx);
            c.e = Bn32(e);
            c.sig = Bn32(rr) + sv;
            QTest::newRow("t zero") << c << -1;
            BN_free(rr);
            BN_free(x1);
            BN_free(e);
        }

        // [s]G + [t]P at infinity: s = -t*d, and e = r so that taking x1 as 0 would pass.
        BN_mod_mul(tmp, t, d, oracle.n, oracle.ctx);
        BN_mod_sub(tmp, zero, tmp, oracle.n, oracle.ctx);
        const Sm2Case inf = oracle.Construct(key, tmp, t);
        QCOMPARE(inf.e, inf.sig.left(32));
        QTest::newRow("sum at infinity") << inf << -1;

        // [s]G equals [t]P: the sum is a doubling.
        BN_mod_mul(tmp, t, d, oracle.n, oracle.ctx);
        QTest::newRow("sG equals tP") << oracle.Construct(key, tmp, t) << 0;

        // P = G and P = -G: G + P is a doubling or the point at infinity.
        const QByteArray g = Sm2Curve::Gx() + Sm2Curve::Gy();
        QTest::newRow("key is G") << oracle.Construct(g, s, t) << 0;
        QTest::newRow("key is -G") << oracle.Construct(oracle.PublicKey(nMinus1), s, t) << 0;

        // Keys off the curve or with a coordinate not below p.
        QTest::newRow("key y changed")
            << Sm2Case{good.e, key.left(63) + char(key.at(63) ^ 1), good.sig} << -1;
        QTest::newRow("key zero") << Sm2Case{good.e, QByteArray(64, '\0'), good.sig} << -1;
        QTest::newRow("key all ones") << Sm2Case{good.e, QByteArray(64, '\xFF'), good.sig} << -1;
        {
            // A point with a small x, so that x + p still fits in 32 bytes.
            EC_POINT *pt = EC_POINT_new(oracle.group);
            BIGNUM *x = BN_new(), *p = BN_new(), *xp = BN_new();
            EC_GROUP_get_curve(oracle.group, p, nullptr, nullptr, oracle.ctx);
            for (BN_ULONG w = 1;; ++w) {
                BN_set_word(x, w);
                if (EC_POINT_set_compressed_coordinates(oracle.group, pt, x, 0, oracle.ctx))
                    break;
            }
            BIGNUM *y = BN_new();
            EC_POINT_get_affine_coordinates(oracle.group, pt, nullptr, y, oracle.ctx);
            const QByteArray smallKey = Bn32(x) + Bn32(y);
            const Sm2Case c = oracle.Construct(smallKey, s, t);
            QTest::newRow("key with small x") << c << 0;
            BN_add(xp, x, p);
            QTest::newRow("key x plus p") << Sm2Case{c.e, Bn32(xp) + Bn32(y), c.sig} << -1;
            for (BIGNUM *bn : {x, p, xp, y})
                BN_free(bn);
            EC_POINT_free(pt);
        }

        // Lengths other than 32, 64 and 64.
        QTest::newRow("digest 31") << Sm2Case{good.e.left(31), key, good.sig} << -1;
        QTest::newRow("digest 33") << Sm2Case{good.e + '\0', key, good.sig} << -1;
        QTest::newRow("key 65 with prefix") << Sm2Case{good.e, '\x04' + key, good.sig} << -1;
        QTest::newRow("key 63") << Sm2Case{good.e, key.left(63), good.sig} << -1;
        QTest::newRow("signature 63") << Sm2Case{good.e, key, good.sig.left(63)} << -1;
        QTest::newRow("signature 65") << Sm2Case{good.e, key, good.sig + '\0'} << -1;
        QTest::newRow("empty") << Sm2Case{} << -1;

        for (BIGNUM *bn : {d, s, t, tmp, nPlus1, one, nMinus1, zero})
            BN_free(bn);
    }
    void edges()
    {
        QFETCH(Sm2Case, sample);
        QFETCH(int, expected);
        QCOMPARE(Verify(sample), expected);
    }

    void nullPointers()
    {
        QByteArray key(64, '\x01'), sig(64, '\x01');
        const QByteArray e(32, '\x01');
        const auto *ep = reinterpret_cast<const unsigned char *>(e.constData());
        auto *kp = reinterpret_cast<unsigned char *>(key.data());
        auto *sp = reinterpret_cast<unsigned char *>(sig.data());
        QCOMPARE(EccVerify(nullptr, 32, kp, 64, sp, 64), -1);
        QCOMPARE(EccVerify(ep, 32, nullptr, 64, sp, 64), -1);
        QCOMPARE(EccVerify(ep, 32, kp, 64, nullptr, 64), -1);
    }

    void za()
    {
        const QByteArray key = Sm2Curve::Gx() + Sm2Curve::Gy();
        QCOMPARE(Sm2ComputeZa(key).size(), 32);
        QVERIFY(Sm2ComputeZa(key.left(63)).isEmpty());
        QVERIFY(Sm2ComputeZa('\x04' + key).isEmpty());
        QCOMPARE(Sm2ComputeZa(key, QByteArray(8191, 'a')).size(), 32);
        QVERIFY(Sm2ComputeZa(key, QByteArray(8192, 'a')).isEmpty());
        QVERIFY(Sm2ComputeE(key.left(10), "m").isEmpty());
    }

    void verifyIsFast()
    {
        BIGNUM *d = oracle.Random(), *s = oracle.Random(), *t = oracle.Random();
        const Sm2Case c = oracle.Construct(oracle.PublicKey(d), s, t);
        for (BIGNUM *bn : {d, s, t})
            BN_free(bn);
        QElapsedTimer timer;
        timer.start();
        const int rounds = 50;
        for (int i = 0; i < rounds; ++i)
            QCOMPARE(Verify(c), 0);
        const double ms = double(timer.nsecsElapsed()) / 1e6 / rounds;
        qInfo("EccVerify: %.3f ms", ms);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(ms < 20.0, qPrintable(QString::number(ms)));
#endif
    }
};

QTEST_APPLESS_MAIN(TestSm2Verify)
#include "test_sm2verify.moc"
