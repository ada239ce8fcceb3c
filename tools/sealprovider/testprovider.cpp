#include "tools/sealprovider/testprovider.h"

#include "sign/oesapi.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "tools/testseal/testseal.h"

#include <QDateTime>

using namespace TestSeal;

namespace {

// Sealing time of the provider's seals; fixed so that only their signatures differ between loads.
const QDateTime kSealCreated(QDate(2024, 1, 1), QTime(0, 0, 0), Qt::UTC);
const QDateTime kSealValidEnd(QDate(2049, 12, 31), QTime(23, 59, 59), Qt::UTC);

TestSealProvider::Seal MakeSeal(const Sm2TestKey &key, const QString &id, const QString &name, int standard,
                                SealPictureStyle style, int sizeMm)
{
    SealOptions options;
    options.type = standard;
    options.vid = QStringLiteral("OFDTESTPROVIDER");
    options.esId = id;
    options.sealName = name;
    options.createDate = kSealCreated;
    options.validStart = kSealCreated;
    options.validEnd = kSealValidEnd;
    options.pictureType = QStringLiteral("png");
    options.pictureData = SealPicturePng(style);
    options.pictureWidth = sizeMm;
    options.pictureHeight = sizeMm;
    // The same seal bytes on every load, as a real provider keeps its seals.
    options.deterministic = true;
    TestSealProvider::Seal seal;
    seal.id = id;
    seal.name = name;
    seal.standard = standard;
    seal.data = BuildSeal(options, key).data;
    return seal;
}

// "yyyy-MM-dd hh:mm:ss" or "yyyyMMddhhmmss" in local time; empty means now. Invalid when neither fits.
QDateTime ReadSignTime(const QString &text)
{
    if (text.isEmpty())
        return QDateTime::currentDateTime();
    QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!time.isValid())
        time = QDateTime::fromString(text, QStringLiteral("yyyyMMddhhmmss"));
    return time;
}

} // namespace

TestSealProvider &TestSealProvider::Instance()
{
    static TestSealProvider provider;
    return provider;
}

TestSealProvider::TestSealProvider() : m_key(new Sm2TestKey(ProviderKeyPem(), ProviderCertificatePem()))
{
    if (!m_key->IsValid())
        return;
    m_seals << MakeSeal(*m_key, QStringLiteral("TESTSEAL-38540-01"), QStringLiteral("测试公章"), 2,
                        SealPictureStyle::Round, 40)
            << MakeSeal(*m_key, QStringLiteral("TESTSEAL-38540-02"), QStringLiteral("测试合同专用章"), 2,
                        SealPictureStyle::Oval, 45)
            << MakeSeal(*m_key, QStringLiteral("TESTSEAL-0031-01"), QStringLiteral("测试财务专用章"), 1,
                        SealPictureStyle::DoubleRound, 38);
}

TestSealProvider::~TestSealProvider() = default;

QString TestSealProvider::ProviderName()
{
    return QStringLiteral("OFD阅读器测试印章服务");
}

QString TestSealProvider::Company()
{
    return QStringLiteral("OFD阅读器开发组");
}

QString TestSealProvider::Version()
{
    return QStringLiteral("1.0.0");
}

QString TestSealProvider::Extend()
{
    return QStringLiteral("GB/T 38540-2020, GM/T 0031-2014; for tests only");
}

QString TestSealProvider::SignMethod()
{
    return QStringLiteral("1.2.156.10197.1.501");
}

QString TestSealProvider::ErrorText(int code)
{
    switch (code) {
    case EN_TestProvider_OK:
        return QStringLiteral("成功");
    case EN_TestProvider_WrongPin:
        return QStringLiteral("口令错误");
    case EN_TestProvider_NotLoggedIn:
        return QStringLiteral("尚未登录");
    case EN_TestProvider_NoSuchSeal:
        return QStringLiteral("印章不存在");
    case EN_TestProvider_BufferTooSmall:
        return QStringLiteral("缓冲区不足");
    case EN_TestProvider_BadArgument:
        return QStringLiteral("参数错误");
    case EN_TestProvider_BadDigestLength:
        return QStringLiteral("数据摘要长度错误");
    case EN_TestProvider_UnknownMethod:
        return QStringLiteral("签名算法不支持");
    case EN_TestProvider_BadTime:
        return QStringLiteral("签章时间格式错误");
    case EN_TestProvider_SignFailed:
        return QStringLiteral("签名失败");
    case EN_TestProvider_BadSignedValue:
        return QStringLiteral("签名值格式错误");
    case EN_TestProvider_DigestMismatch:
        return QStringLiteral("数据摘要不一致");
    case EN_TestProvider_WrongCertificate:
        return QStringLiteral("签名证书不符");
    case EN_TestProvider_SealMismatch:
        return QStringLiteral("印章数据不一致");
    case EN_TestProvider_SignatureInvalid:
        return QStringLiteral("签名值验证失败");
    case EN_TestProvider_KeyUnavailable:
        return QStringLiteral("签章密钥不可用");
    default:
        return QString();
    }
}

QByteArray TestSealProvider::SealList() const
{
    QByteArray list;
    for (const Seal &seal : m_seals)
        list += seal.id.toUtf8() + '\0' + seal.name.toUtf8() + '\0';
    return list;
}

const TestSealProvider::Seal *TestSealProvider::FindSeal(const QString &id) const
{
    for (const Seal &seal : m_seals)
        if (seal.id == id)
            return &seal;
    return nullptr;
}

int TestSealProvider::Login(const QByteArray &pin)
{
    m_loggedIn = pin == QByteArray(OES_FIXED_PIN);
    return m_loggedIn ? EN_TestProvider_OK : EN_TestProvider_WrongPin;
}

int TestSealProvider::Sign(const QString &sealId, const QString &documentProperty, const QByteArray &digest,
                           const QString &signMethod, const QString &signDateTime,
                           QByteArray &signedValue) const
{
    if (!m_key->IsValid())
        return EN_TestProvider_KeyUnavailable;
    if (!m_loggedIn)
        return EN_TestProvider_NotLoggedIn;
    const Seal *seal = FindSeal(sealId);
    if (!seal)
        return EN_TestProvider_NoSuchSeal;
    if (digest.size() != 32)
        return EN_TestProvider_BadDigestLength;
    if (signMethod != SignMethod())
        return EN_TestProvider_UnknownMethod;
    const QDateTime time = ReadSignTime(signDateTime);
    if (!time.isValid())
        return EN_TestProvider_BadTime;

    SignedValueOptions options;
    options.type = seal->standard;
    options.seal = seal->data;
    options.signTime = time.toUTC();
    options.dataHash = digest;
    options.propertyInfo = documentProperty;
    options.algorithm = SignMethod();
    options.digest = Sm2Digest::WithZa;
    const BuiltSignedValue built = BuildSignedValue(options, *m_key);
    if (built.signature.isEmpty())
        return EN_TestProvider_SignFailed;
    signedValue = built.data;
    return EN_TestProvider_OK;
}

int TestSealProvider::Verify(const QByteArray &sealData, const QByteArray &digest,
                             const QByteArray &signedValue) const
{
    if (!m_key->IsValid())
        return EN_TestProvider_KeyUnavailable;
    if (digest.size() != 32)
        return EN_TestProvider_BadDigestLength;
    OfdSignedValue value;
    value.SetExpectedDigest(QString::fromLatin1(digest.toBase64()));
    if (!value.ParseData(signedValue)) {
        // The data hash is read before it is compared; a hash that was read and differs is a mismatch.
        if (value.GetType() != 0 && !value.GetDataHash().isEmpty() && value.GetDataHash() != digest)
            return EN_TestProvider_DigestMismatch;
        return EN_TestProvider_BadSignedValue;
    }
    if (value.GetSignatureAlgorithm() != SignMethod())
        return EN_TestProvider_UnknownMethod;
    if (!value.GetCertificate() || value.GetCertificate()->GetData() != m_key->Certificate())
        return EN_TestProvider_WrongCertificate;
    if (!sealData.isEmpty() && sealData != value.GetSealData())
        return EN_TestProvider_SealMismatch;
    if (!OpenSslVerify(m_key->PublicKey(), value.GetToSignData(), value.GetSignatureData(),
                       Sm2Digest::WithZa))
        return EN_TestProvider_SignatureInvalid;
    return EN_TestProvider_OK;
}
