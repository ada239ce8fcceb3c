#include "sign/oesapi.h"
#include "sign/ofdsignedvalue.h"
#include "sign/sealfixtures.h"
#include "sign/sm3.h"
#include "tools/sealprovider/testprovider.h"

#include <QLibrary>
#include <QSet>
#include <QtTest>

#include <functional>

using namespace SealFixtures;
using namespace TestSeal;

namespace {

const QString kLibrary = QStringLiteral(OFD_OESHOME "/KingGrid/oes.dll");
const QByteArray kSealId("TESTSEAL-38540-01");
const QByteArray kMethod("1.2.156.10197.1.501");
const QByteArray kTime("2024-03-01 08:30:15");
const QByteArray kProperty("/Doc_0/Signs/Sign_0/Signature.xml");

const unsigned char *U(const QByteArray &bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.constData());
}

// One output function of the provider in the two-call form.
using OutputCall = std::function<int(unsigned char *, int *)>;

} // namespace

class TestSealProviderExports : public QObject
{
    Q_OBJECT

private:
    QLibrary m_library{kLibrary};

    template <typename T>
    T *Resolve(const char *name)
    {
        return reinterpret_cast<T *>(m_library.resolve(name));
    }

    int Login(const QByteArray &pin) { return Resolve<OES_Login_t>("OES_Login")(U(pin), pin.size()); }

    QMap<QString, OutputCall> OutputCalls()
    {
        const QByteArray digest = sm3_digest_ByteArray(SampleSignatureXml());
        QMap<QString, OutputCall> calls;
        auto sealList = Resolve<OES_GetSealList_t>("OES_GetSealList");
        calls[QStringLiteral("OES_GetSealList")] = sealList;
        auto getSeal = Resolve<OES_GetSeal_t>("OES_GetSeal");
        calls[QStringLiteral("OES_GetSeal")] = [getSeal](unsigned char *buffer, int *length) {
            return getSeal(U(kSealId), kSealId.size(), buffer, length);
        };
        calls[QStringLiteral("OES_GetSignDateTime")] = Resolve<OES_GetSignDateTime_t>("OES_GetSignDateTime");
        calls[QStringLiteral("OES_GetSignMethod")] = Resolve<OES_GetSignMethod_t>("OES_GetSignMethod");
        auto message = Resolve<OES_GetErrMessage_t>("OES_GetErrMessage");
        calls[QStringLiteral("OES_GetErrMessage")] = [message](unsigned char *buffer, int *length) {
            return message(EN_TestProvider_WrongPin, buffer, length);
        };
        auto sign = Resolve<OES_Sign_t>("OES_Sign");
        calls[QStringLiteral("OES_Sign")] = [sign, digest](unsigned char *buffer, int *length) {
            return sign(U(kSealId), kSealId.size(), U(kProperty), kProperty.size(), U(digest), digest.size(),
                        U(kMethod), kMethod.size(), U(kTime), kTime.size(), buffer, length);
        };
        return calls;
    }

    // The signed value of one complete two-call signing.
    QByteArray SignOnce()
    {
        const OutputCall sign = OutputCalls()[QStringLiteral("OES_Sign")];
        int length = 0;
        if (sign(nullptr, &length) != 0)
            return QByteArray();
        QByteArray buffer(length, '\0');
        if (sign(reinterpret_cast<unsigned char *>(buffer.data()), &length) != 0)
            return QByteArray();
        return buffer.left(length);
    }

private slots:
    void initTestCase() { QVERIFY2(m_library.load(), qPrintable(m_library.errorString())); }

    void exports_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"OES_GetProviderInfo", "OES_GetSealList", "OES_GetSeal", "OES_GetSignDateTime",
              "OES_GetSignMethod", "OES_Login", "OES_Sign", "OES_Verify", "OES_GetErrMessage",
              "OESV4_GetProviderInfo", "OESV4_OpenSession", "OESV4_GetSealList"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void exports()
    {
        QFETCH(QString, name);
        QVERIFY(m_library.resolve(name.toLatin1().constData()));
    }

    void twoCallForm_data()
    {
        QTest::addColumn<QString>("function");
        for (const QString &name : OutputCalls().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void twoCallForm()
    {
        QFETCH(QString, function);
        QCOMPARE(Login(OES_FIXED_PIN), 0);
        const OutputCall call = OutputCalls()[function];

        // A null buffer asks for the length.
        int needed = -1;
        QCOMPARE(call(nullptr, &needed), 0);
        QVERIFY(needed > 0);

        // A buffer one byte short gets nothing and learns the length.
        QByteArray small(needed - 1, '\xAA');
        int length = small.size();
        QCOMPARE(call(reinterpret_cast<unsigned char *>(small.data()), &length),
                 int(EN_TestProvider_BufferTooSmall));
        QCOMPARE(length, needed);
        QCOMPARE(small, QByteArray(needed - 1, '\xAA'));

        // A larger buffer gets exactly the value; the bytes after it stay as they were.
        QByteArray large(needed + 5, '\xAA');
        length = large.size();
        QCOMPARE(call(reinterpret_cast<unsigned char *>(large.data()), &length), 0);
        QCOMPARE(length, needed);
        QCOMPARE(large.mid(needed), QByteArray(5, '\xAA'));

        // No length pointer: refused.
        QCOMPARE(call(nullptr, nullptr), int(EN_TestProvider_BadArgument));
    }

    void providerInfoForm()
    {
        auto info = Resolve<OES_GetProviderInfo_t>("OES_GetProviderInfo");
        int lengths[4] = {0, 0, 0, 0};
        QCOMPARE(info(nullptr, &lengths[0], nullptr, &lengths[1], nullptr, &lengths[2], nullptr, &lengths[3]),
                 0);
        QCOMPARE(lengths[0], QByteArray("OFD阅读器测试印章服务").size());
        QCOMPARE(lengths[2], 5);
        QByteArray buffers[4];
        for (int i = 0; i < 4; ++i)
            buffers[i] = QByteArray(lengths[i], '\0');
        auto b = [&buffers](int i) { return reinterpret_cast<unsigned char *>(buffers[i].data()); };
        int version = lengths[2] - 1;
        QCOMPARE(info(b(0), &lengths[0], b(1), &lengths[1], b(2), &version, b(3), &lengths[3]),
                 int(EN_TestProvider_BufferTooSmall));
        QCOMPARE(version, 5);
        QCOMPARE(info(b(0), &lengths[0], b(1), &lengths[1], b(2), &lengths[2], b(3), &lengths[3]), 0);
        QCOMPARE(buffers[2], QByteArray("1.0.0"));
        QCOMPARE(QString::fromUtf8(buffers[1]), QStringLiteral("OFD阅读器开发组"));
    }

    void signNeedsLogin()
    {
        QCOMPARE(Login("111111"), int(EN_TestProvider_WrongPin));
        QVERIFY(SignOnce().isEmpty());
        int length = 0;
        QCOMPARE(OutputCalls()[QStringLiteral("OES_Sign")](nullptr, &length),
                 int(EN_TestProvider_NotLoggedIn));
        // The PIN is compared whole.
        QCOMPARE(Login(QByteArray(OES_FIXED_PIN) + '0'), int(EN_TestProvider_WrongPin));
        QCOMPARE(Login(QByteArray(OES_FIXED_PIN).left(5)), int(EN_TestProvider_WrongPin));
        QCOMPARE(Login(OES_FIXED_PIN), 0);
        QVERIFY(!SignOnce().isEmpty());
    }

    void signTwoCallsGiveOneValue()
    {
        QCOMPARE(Login(OES_FIXED_PIN), 0);
        const QByteArray first = SignOnce();
        const QByteArray second = SignOnce();
        QVERIFY(!first.isEmpty());
        // Each complete signing is a new SM2 signature (randomised), each valid.
        QVERIFY(first != second);
        for (const QByteArray &signedValue : {first, second}) {
            OfdSignedValue value;
            value.SetExpectedDigest(sm3_digest_base64(SampleSignatureXml()));
            QVERIFY(value.ParseData(signedValue));
            QVERIFY(value.CheckSignValue());
        }
    }

    void badArguments_data()
    {
        QTest::addColumn<int>("idLength");
        QTest::addColumn<bool>("nullId");
        QTest::newRow("negative length") << -1 << false;
        QTest::newRow("null bytes with a length") << 4 << true;
    }

    void badArguments()
    {
        QFETCH(int, idLength);
        QFETCH(bool, nullId);
        const unsigned char *id = nullId ? nullptr : U(kSealId);
        int length = 0;
        QCOMPARE(Resolve<OES_GetSeal_t>("OES_GetSeal")(id, idLength, nullptr, &length),
                 int(EN_TestProvider_BadArgument));
        QCOMPARE(Resolve<OES_Login_t>("OES_Login")(id, idLength), int(EN_TestProvider_BadArgument));
        const QByteArray digest = sm3_digest_ByteArray(SampleSignatureXml());
        QCOMPARE(Resolve<OES_Verify_t>("OES_Verify")(id, idLength, U(kProperty), kProperty.size(), U(digest),
                                                     digest.size(), U(kMethod), kMethod.size(), U(kTime),
                                                     kTime.size(), U(kSealId), kSealId.size(), 0),
                 int(EN_TestProvider_BadArgument));
    }

    void errorTexts()
    {
        auto message = Resolve<OES_GetErrMessage_t>("OES_GetErrMessage");
        auto text = [message](int code) {
            int length = 0;
            if (message(code, nullptr, &length) != 0)
                return QString();
            QByteArray buffer(length, '\0');
            if (message(code, reinterpret_cast<unsigned char *>(buffer.data()), &length) != 0)
                return QString();
            return QString::fromUtf8(buffer.left(length));
        };
        QSet<QString> texts;
        for (int code = EN_TestProvider_WrongPin; code <= EN_TestProvider_KeyUnavailable; ++code) {
            const QString t = text(code);
            QVERIFY2(!t.isEmpty() && t.at(0).unicode() >= 0x4E00, qPrintable(QString::number(code, 16)));
            texts << t;
        }
        QCOMPARE(texts.size(), EN_TestProvider_KeyUnavailable - EN_TestProvider_WrongPin + 1);
        QCOMPARE(text(EN_TestProvider_BufferTooSmall), QStringLiteral("缓冲区不足"));
        QCOMPARE(text(0x7777), QStringLiteral("未知错误 (0x7777)"));
    }

    void sealsAreTheSameOnEveryBuild()
    {
        // The provider builds its seals when it is loaded; a seal chosen before a reload must still be
        // the same seal when signing, so the maker's signature over it may not vary.
        const Sm2TestKey key(ProviderKeyPem(), ProviderCertificatePem());
        QVERIFY(key.IsValid());
        const QByteArray message("seal to be signed");
        const QByteArray first = key.SignDeterministic(message);
        QVERIFY(!first.isEmpty());
        QCOMPARE(key.SignDeterministic(message), first);
        QVERIFY(OpenSslVerify(key.PublicKey(), message, first, Sm2Digest::WithZa));
        QVERIFY(key.SignDeterministic("another message") != first);
        QVERIFY(!OpenSslVerify(key.PublicKey(), "another message", first, Sm2Digest::WithZa));
        for (int type : {1, 2}) {
            SealOptions options;
            options.type = type;
            options.deterministic = true;
            QCOMPARE(BuildSeal(options, key).data, BuildSeal(options, key).data);
        }
    }

    void v4Session()
    {
        auto open = Resolve<OESV4_OpenSession_t>("OESV4_OpenSession");
        auto list = Resolve<OESV4_GetSealList_t>("OESV4_GetSealList");
        QCOMPARE(open(nullptr), int(EN_TestProvider_BadArgument));
        void *session = nullptr;
        QCOMPARE(open(&session), 0);
        QVERIFY(session);
        int length = 0;
        QCOMPARE(list(session, nullptr, &length), 0);
        QVERIFY(length > 0);
        int other = 0;
        QCOMPARE(list(&other, nullptr, &length), int(EN_TestProvider_BadArgument));
    }
};

QTEST_MAIN(TestSealProviderExports)
#include "test_sealprovider.moc"
