#pragma once

#include "sign/oesapi.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

class QLibrary;

// A text as the OES functions take it: its UTF-8 bytes followed by 10 zero bytes, and the byte count of
// the text alone. Shared; freed with its last user.
class StringData
{
public:
    static QSharedPointer<StringData> FromString(const QString &text);

    const unsigned char *GetData() const
    {
        return reinterpret_cast<const unsigned char *>(m_bytes.constData());
    }
    // Bytes of the text, the trailing zeros not counted.
    int GetLength() const { return m_length; }
    // The whole buffer, zeros included.
    QByteArray GetBuffer() const { return m_bytes; }

private:
    QByteArray m_bytes;
    int m_length = 0;
};

// One entry of the provider's seal list.
struct OES_SealInfo
{
    QString sealId;
    QString sealName;
};

// A seal of the provider with its SES_Seal bytes and the picture read from them.
struct OES_SealInfoEx
{
    QString sealId;
    QString sealName;
    QByteArray sealData; // the SES_Seal as the provider returns it
    QString pictureType; // for example "png"
    QByteArray pictureData;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// What a signing asks of the provider.
struct SignInfoInput
{
    QString sealId;
    QString documentProperty; // location of the signature in the package
    QByteArray digest;        // raw 32-byte SM3 of the new Signature.xml
    QString signMethod;
    QString signDateTime;
    QString pin;
};

// What a provider verification of one signature hands over.
struct VerifyInfoInput
{
    QByteArray sealData;
    QString documentProperty;
    QByteArray digest; // raw 32-byte SM3 of the Signature.xml
    QString signMethod;
    QString signDateTime;
    QByteArray signedValue;
    bool online = false;
};

// Access to a seal-provider library through the OES functions: loading, the nine functions resolved by
// name, the two-call form of every output buffer, and the built-in answers of the editions that sign
// without a provider. Owns the loaded library.
class OESV2Helper
{
public:
    OESV2Helper();
    ~OESV2Helper();

    // Every operation that needs the library returns this while none is loaded.
    static const int NotLoadedCode = OES_NOT_LOADED;

    // "$OESV2_HOME/KingGrid/oes.dll" for an absolute OESV2_HOME, else the same under GetSystemOesHome().
    static QString GetOESDllPath_KingGrid();
    // The folder of the provider library when OESV2_HOME is unset or not an absolute path.
    static QString GetSystemOesHome();
    // The fixed six-digit PIN used for signing and verification.
    static QString GetFixedPin();
    // The sample signed value of the application resources, answered by Sign outside edition 2.
    static QByteArray GetSampleSignedValue();
    // Seal identifier and name pairs of a seal list: zero-terminated UTF-8 texts, taken two by two (an
    // unpaired last text is dropped).
    static QList<QSharedPointer<OES_SealInfo>> ParseSealList(const QByteArray &list);

    // Drops any loaded library, then loads the one at path and resolves the nine functions; false when it
    // cannot be loaded.
    bool LoadDll(const QString &path);
    // Edition 2: LoadDll(GetOESDllPath_KingGrid()); other editions: true without loading.
    bool LoadDll_KingGrid();
    bool IsLoaded() const { return m_library != nullptr; }

    int Login(const QString &pin);
    int GetProviderInfo(QString &name, QString &company, QString &version, QString &extend);
    // Appends the seal-list bytes to list.
    int GetSealList(QByteArray &list);
    // The seal list as pairs; empty when the call fails.
    QList<QSharedPointer<OES_SealInfo>> GetSealList();
    int GetSeal(const QString &sealId, QByteArray &seal);
    // Every seal of the list that could be fetched, with its picture; seals that fail are left out.
    QList<QSharedPointer<OES_SealInfoEx>> GetSealListEx();
    int GetSignDateTime(QString &time);
    int GetSignMethod(QString &method);
    // Logs in with the input's PIN, then signs; the signed value is set on success.
    int Sign(SignInfoInput &input, QByteArray &signedValue);
    // Logs in with the fixed PIN, then verifies.
    int Verify(VerifyInfoInput &input);
    // The provider's text of a code; empty when the provider gives none or no library is loaded.
    QString GetErrMessage(int code);

private:
    Q_DISABLE_COPY(OESV2Helper)

    void Unload();
    static bool IsProviderEdition();

    QLibrary *m_library = nullptr;
    OES_GetProviderInfo_t *m_getProviderInfo = nullptr;
    OES_GetSealList_t *m_getSealList = nullptr;
    OES_GetSeal_t *m_getSeal = nullptr;
    OES_GetSignDateTime_t *m_getSignDateTime = nullptr;
    OES_GetSignMethod_t *m_getSignMethod = nullptr;
    OES_Login_t *m_login = nullptr;
    OES_Sign_t *m_sign = nullptr;
    OES_Verify_t *m_verify = nullptr;
    OES_GetErrMessage_t *m_getErrMessage = nullptr;
};
