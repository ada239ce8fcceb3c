#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace TestSeal {
class Sm2TestKey;
}

// Codes of the test seal provider; every one has a Chinese text (TestSealProvider::ErrorText).
enum EN_TestProviderCode
{
    EN_TestProvider_OK = 0,
    EN_TestProvider_WrongPin = 0x1001,         // "口令错误"
    EN_TestProvider_NotLoggedIn = 0x1002,      // "尚未登录"
    EN_TestProvider_NoSuchSeal = 0x1003,       // "印章不存在"
    EN_TestProvider_BufferTooSmall = 0x1004,   // "缓冲区不足"
    EN_TestProvider_BadArgument = 0x1005,      // "参数错误"
    EN_TestProvider_BadDigestLength = 0x1006,  // "数据摘要长度错误"
    EN_TestProvider_UnknownMethod = 0x1007,    // "签名算法不支持"
    EN_TestProvider_BadTime = 0x1008,          // "签章时间格式错误"
    EN_TestProvider_SignFailed = 0x1009,       // "签名失败"
    EN_TestProvider_BadSignedValue = 0x100A,   // "签名值格式错误"
    EN_TestProvider_DigestMismatch = 0x100B,   // "数据摘要不一致"
    EN_TestProvider_WrongCertificate = 0x100C, // "签名证书不符"
    EN_TestProvider_SealMismatch = 0x100D,     // "印章数据不一致"
    EN_TestProvider_SignatureInvalid = 0x100E, // "签名值验证失败"
    EN_TestProvider_KeyUnavailable = 0x100F,   // "签章密钥不可用"
};

// The state of the test seal provider behind the exported OES functions: its fixed SM2 key and
// certificate, its seals (built once per load of the library), the login state, signing and verifying.
class TestSealProvider
{
public:
    // One seal of the provider.
    struct Seal
    {
        QString id;
        QString name;
        int standard = 2; // 2 GB/T 38540-2020, 1 GM/T 0031-2014
        QByteArray data;  // the SES_Seal
    };

    static TestSealProvider &Instance();
    ~TestSealProvider();

    static QString ProviderName();
    static QString Company();
    static QString Version();
    static QString Extend();
    static QString SignMethod();
    // Text of a code; empty for a code the provider does not have.
    static QString ErrorText(int code);

    // Seals in list order.
    const QList<Seal> &Seals() const { return m_seals; }
    // Identifier and name of every seal, each text followed by a zero byte.
    QByteArray SealList() const;
    const Seal *FindSeal(const QString &id) const;

    // Accepts the fixed PIN only; a wrong PIN logs out.
    int Login(const QByteArray &pin);
    bool IsLoggedIn() const { return m_loggedIn; }

    // An SES_Signature over the digest with the seal, of the seal's standard; needs a login.
    int Sign(const QString &sealId, const QString &documentProperty, const QByteArray &digest,
             const QString &signMethod, const QString &signDateTime, QByteArray &signedValue) const;
    // Checks structure, data hash against the digest, certificate, embedded seal (when sealData is given)
    // and the SM2 signature value.
    int Verify(const QByteArray &sealData, const QByteArray &digest, const QByteArray &signedValue) const;

private:
    TestSealProvider();
    TestSealProvider(const TestSealProvider &) = delete;
    TestSealProvider &operator=(const TestSealProvider &) = delete;

    std::unique_ptr<TestSeal::Sm2TestKey> m_key;
    QList<Seal> m_seals;
    bool m_loggedIn = false;
};
