// The exported OES functions of the test seal provider; declared with the function types the reader calls
// them through.

#include "sign/oesapi.h"
#include "tools/sealprovider/testprovider.h"

#include <QDateTime>

#include <cstring>
#include <initializer_list>

#define OES_EXPORT __attribute__((visibility("default")))

extern "C" {
OES_EXPORT OES_GetProviderInfo_t OES_GetProviderInfo;
OES_EXPORT OES_GetSealList_t OES_GetSealList;
OES_EXPORT OES_GetSeal_t OES_GetSeal;
OES_EXPORT OES_GetSignDateTime_t OES_GetSignDateTime;
OES_EXPORT OES_GetSignMethod_t OES_GetSignMethod;
OES_EXPORT OES_Login_t OES_Login;
OES_EXPORT OES_Sign_t OES_Sign;
OES_EXPORT OES_Verify_t OES_Verify;
OES_EXPORT OES_GetErrMessage_t OES_GetErrMessage;
OES_EXPORT OESV4_GetProviderInfo_t OESV4_GetProviderInfo;
OES_EXPORT OESV4_OpenSession_t OESV4_OpenSession;
OES_EXPORT OESV4_GetSealList_t OESV4_GetSealList;
}

namespace {

// An input argument as bytes; false for a negative count or a null pointer with a positive count.
bool Input(const unsigned char *data, int length, QByteArray &out)
{
    if (length < 0 || (!data && length > 0))
        return false;
    out = length > 0 ? QByteArray(reinterpret_cast<const char *>(data), length) : QByteArray();
    return true;
}

// The output side of the two-call form: a null buffer asks for the length; a buffer shorter than the
// value gets nothing but the needed length.
int Output(const QByteArray &value, unsigned char *buffer, int *length)
{
    if (!length)
        return EN_TestProvider_BadArgument;
    if (!buffer) {
        *length = value.size();
        return EN_TestProvider_OK;
    }
    if (*length < value.size()) {
        *length = value.size();
        return EN_TestProvider_BufferTooSmall;
    }
    if (!value.isEmpty())
        memcpy(buffer, value.constData(), size_t(value.size()));
    *length = value.size();
    return EN_TestProvider_OK;
}

int ProviderInfo(unsigned char *name, int *nameLength, unsigned char *company, int *companyLength,
                 unsigned char *version, int *versionLength, unsigned char *extend, int *extendLength)
{
    const int codes[4] = {Output(TestSealProvider::ProviderName().toUtf8(), name, nameLength),
                          Output(TestSealProvider::Company().toUtf8(), company, companyLength),
                          Output(TestSealProvider::Version().toUtf8(), version, versionLength),
                          Output(TestSealProvider::Extend().toUtf8(), extend, extendLength)};
    for (int code : codes)
        if (code != EN_TestProvider_OK)
            return code;
    return EN_TestProvider_OK;
}

// The signed value made by the last length query of OES_Sign, with its arguments.
struct SignCache
{
    QByteArray key;
    QByteArray value;
};

SignCache &LastSign()
{
    static SignCache cache;
    return cache;
}

// The arguments, each preceded by its length, as one byte string.
QByteArray CacheKey(std::initializer_list<QByteArray> parts)
{
    QByteArray key;
    for (const QByteArray &part : parts)
        key += QByteArray::number(part.size()) + ':' + part;
    return key;
}

} // namespace

int OES_GetProviderInfo(unsigned char *name, int *nameLength, unsigned char *company, int *companyLength,
                        unsigned char *version, int *versionLength, unsigned char *extend, int *extendLength)
{
    return ProviderInfo(name, nameLength, company, companyLength, version, versionLength, extend,
                        extendLength);
}

int OES_GetSealList(unsigned char *list, int *listLength)
{
    return Output(TestSealProvider::Instance().SealList(), list, listLength);
}

int OES_GetSeal(const unsigned char *sealId, int sealIdLength, unsigned char *seal, int *sealLength)
{
    QByteArray id;
    if (!Input(sealId, sealIdLength, id))
        return EN_TestProvider_BadArgument;
    const TestSealProvider::Seal *found = TestSealProvider::Instance().FindSeal(QString::fromUtf8(id));
    if (!found)
        return EN_TestProvider_NoSuchSeal;
    return Output(found->data, seal, sealLength);
}

int OES_GetSignDateTime(unsigned char *time, int *timeLength)
{
    return Output(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8(), time,
                  timeLength);
}

int OES_GetSignMethod(unsigned char *method, int *methodLength)
{
    return Output(TestSealProvider::SignMethod().toUtf8(), method, methodLength);
}

int OES_Login(const unsigned char *pin, int pinLength)
{
    QByteArray text;
    if (!Input(pin, pinLength, text))
        return EN_TestProvider_BadArgument;
    return TestSealProvider::Instance().Login(text);
}

int OES_Sign(const unsigned char *sealId, int sealIdLength, const unsigned char *documentProperty,
             int documentPropertyLength, const unsigned char *digest, int digestLength,
             const unsigned char *signMethod, int signMethodLength, const unsigned char *signDateTime,
             int signDateTimeLength, unsigned char *signedValue, int *signedValueLength)
{
    QByteArray id, property, hash, method, time;
    if (!Input(sealId, sealIdLength, id) || !Input(documentProperty, documentPropertyLength, property) ||
        !Input(digest, digestLength, hash) || !Input(signMethod, signMethodLength, method) ||
        !Input(signDateTime, signDateTimeLength, time) || !signedValueLength)
        return EN_TestProvider_BadArgument;
    // SM2 signatures are randomised, so the value made for the length query is kept and handed out by the
    // call with the buffer when the arguments are the same.
    const QByteArray key = CacheKey({id, property, hash, method, time});
    SignCache &cache = LastSign();
    TestSealProvider &provider = TestSealProvider::Instance();
    if (!provider.IsLoggedIn())
        return EN_TestProvider_NotLoggedIn;
    QByteArray value;
    if (cache.key == key && !cache.value.isEmpty()) {
        value = cache.value;
    } else {
        const int code = provider.Sign(QString::fromUtf8(id), QString::fromUtf8(property), hash,
                                       QString::fromUtf8(method), QString::fromUtf8(time), value);
        if (code != EN_TestProvider_OK)
            return code;
        cache.key = key;
        cache.value = value;
    }
    const int code = Output(value, signedValue, signedValueLength);
    if (signedValue && code == EN_TestProvider_OK)
        cache = SignCache();
    return code;
}

int OES_Verify(const unsigned char *sealData, int sealDataLength, const unsigned char *documentProperty,
               int documentPropertyLength, const unsigned char *digest, int digestLength,
               const unsigned char *signMethod, int signMethodLength, const unsigned char *signDateTime,
               int signDateTimeLength, const unsigned char *signedValue, int signedValueLength, int online)
{
    Q_UNUSED(online)
    QByteArray seal, property, hash, method, time, value;
    if (!Input(sealData, sealDataLength, seal) ||
        !Input(documentProperty, documentPropertyLength, property) || !Input(digest, digestLength, hash) ||
        !Input(signMethod, signMethodLength, method) || !Input(signDateTime, signDateTimeLength, time) ||
        !Input(signedValue, signedValueLength, value))
        return EN_TestProvider_BadArgument;
    return TestSealProvider::Instance().Verify(seal, hash, value);
}

int OES_GetErrMessage(int errorCode, unsigned char *message, int *messageLength)
{
    QString text = TestSealProvider::ErrorText(errorCode);
    if (text.isEmpty())
        text = QStringLiteral("未知错误 (0x%1)").arg(errorCode, 0, 16);
    return Output(text.toUtf8(), message, messageLength);
}

int OESV4_GetProviderInfo(unsigned char *name, int *nameLength, unsigned char *company, int *companyLength,
                          unsigned char *version, int *versionLength, unsigned char *extend,
                          int *extendLength)
{
    return ProviderInfo(name, nameLength, company, companyLength, version, versionLength, extend,
                        extendLength);
}

int OESV4_OpenSession(void **session)
{
    if (!session)
        return EN_TestProvider_BadArgument;
    *session = &TestSealProvider::Instance();
    return EN_TestProvider_OK;
}

int OESV4_GetSealList(void *session, unsigned char *list, int *listLength)
{
    if (session != &TestSealProvider::Instance())
        return EN_TestProvider_BadArgument;
    return Output(TestSealProvider::Instance().SealList(), list, listLength);
}
