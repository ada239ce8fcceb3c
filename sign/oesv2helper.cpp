#include "sign/oesv2helper.h"

#include "app/appparam.h"
#include "sign/oescall.h"
#include "sign/sealreader0031.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLibrary>

namespace {

const char kSampleSignedValue[] = ":/MainWindow/Resources/ToolBar/SignedValue.dat";

unsigned char *Bytes(QByteArray &buffer)
{
    return reinterpret_cast<unsigned char *>(buffer.data());
}

const unsigned char *Bytes(const QByteArray &bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.constData());
}

} // namespace

QSharedPointer<StringData> StringData::FromString(const QString &text)
{
    QSharedPointer<StringData> data(new StringData);
    data->m_bytes = text.toUtf8();
    data->m_length = data->m_bytes.size();
    data->m_bytes.append(QByteArray(10, '\0'));
    return data;
}

OESV2Helper::OESV2Helper() = default;

OESV2Helper::~OESV2Helper()
{
    Unload();
}

QString OESV2Helper::GetOESDllPath_KingGrid()
{
    // Only an absolute OESV2_HOME is used: a relative one, or none, would load whatever library lies in
    // the working folder, which may be the folder of a downloaded document.
    const QString home = qEnvironmentVariable("OESV2_HOME");
    const QString relative = QStringLiteral("KingGrid/oes.dll");
    const QString folder = QDir::isAbsolutePath(home) ? home : GetSystemOesHome();
    return folder + QLatin1Char('/') + relative;
}

QString OESV2Helper::GetSystemOesHome()
{
    return QStringLiteral("/usr/lib/ofdreader/oes");
}

QString OESV2Helper::GetFixedPin()
{
    return QString::fromLatin1(OES_FIXED_PIN);
}

QByteArray OESV2Helper::GetSampleSignedValue()
{
    QFile file(QString::fromLatin1(kSampleSignedValue));
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "OESV2Helper: no sample signed value at" << file.fileName();
        return QByteArray();
    }
    return file.readAll();
}

QList<QSharedPointer<OES_SealInfo>> OESV2Helper::ParseSealList(const QByteArray &list)
{
    QList<QByteArray> texts = list.split('\0');
    // The split leaves an empty piece after the last terminator.
    if (!texts.isEmpty() && list.endsWith('\0'))
        texts.removeLast();
    QList<QSharedPointer<OES_SealInfo>> seals;
    for (int i = 0; i + 1 < texts.size(); i += 2) {
        QSharedPointer<OES_SealInfo> seal(new OES_SealInfo);
        seal->sealId = QString::fromUtf8(texts.at(i));
        seal->sealName = QString::fromUtf8(texts.at(i + 1));
        seals << seal;
    }
    return seals;
}

bool OESV2Helper::IsProviderEdition()
{
    return AppParam::AppStatus == 2;
}

void OESV2Helper::Unload()
{
    m_getProviderInfo = nullptr;
    m_getSealList = nullptr;
    m_getSeal = nullptr;
    m_getSignDateTime = nullptr;
    m_getSignMethod = nullptr;
    m_login = nullptr;
    m_sign = nullptr;
    m_verify = nullptr;
    m_getErrMessage = nullptr;
    if (m_library) {
        m_library->unload();
        delete m_library;
        m_library = nullptr;
    }
}

bool OESV2Helper::LoadDll(const QString &path)
{
    Unload();
    m_library = new QLibrary(path);
    if (!m_library->load()) {
        qDebug() << "OESV2Helper: cannot load" << path << m_library->errorString();
        delete m_library;
        m_library = nullptr;
        return false;
    }
    m_getProviderInfo = reinterpret_cast<OES_GetProviderInfo_t *>(m_library->resolve("OES_GetProviderInfo"));
    m_getSealList = reinterpret_cast<OES_GetSealList_t *>(m_library->resolve("OES_GetSealList"));
    m_getSeal = reinterpret_cast<OES_GetSeal_t *>(m_library->resolve("OES_GetSeal"));
    m_getSignDateTime = reinterpret_cast<OES_GetSignDateTime_t *>(m_library->resolve("OES_GetSignDateTime"));
    m_getSignMethod = reinterpret_cast<OES_GetSignMethod_t *>(m_library->resolve("OES_GetSignMethod"));
    m_login = reinterpret_cast<OES_Login_t *>(m_library->resolve("OES_Login"));
    m_sign = reinterpret_cast<OES_Sign_t *>(m_library->resolve("OES_Sign"));
    m_verify = reinterpret_cast<OES_Verify_t *>(m_library->resolve("OES_Verify"));
    m_getErrMessage = reinterpret_cast<OES_GetErrMessage_t *>(m_library->resolve("OES_GetErrMessage"));
    return true;
}

bool OESV2Helper::LoadDll_KingGrid()
{
    if (!IsProviderEdition())
        return true;
    return LoadDll(GetOESDllPath_KingGrid());
}

int OESV2Helper::Login(const QString &pin)
{
    if (!IsProviderEdition())
        return 0;
    if (!m_login)
        return OES_NOT_LOADED;
    const QSharedPointer<StringData> text = StringData::FromString(pin);
    return m_login(text->GetData(), text->GetLength());
}

int OESV2Helper::GetProviderInfo(QString &name, QString &company, QString &version, QString &extend)
{
    if (!IsProviderEdition()) {
        name = QStringLiteral("name");
        company = QStringLiteral("Company");
        version = QStringLiteral("version");
        extend = QStringLiteral("extend");
        return 0;
    }
    if (!m_getProviderInfo)
        return OES_NOT_LOADED;
    return OesCall::FourTexts(m_getProviderInfo, name, company, version, extend);
}

int OESV2Helper::GetSealList(QByteArray &list)
{
    if (!m_getSealList)
        return OES_NOT_LOADED;
    QByteArray bytes;
    const int code = OesCall::TwoCall(
        [this](unsigned char *buffer, int *length) { return m_getSealList(buffer, length); }, 1, bytes);
    if (code == 0)
        list.append(bytes);
    return code;
}

QList<QSharedPointer<OES_SealInfo>> OESV2Helper::GetSealList()
{
    QByteArray list;
    if (GetSealList(list) != 0)
        return QList<QSharedPointer<OES_SealInfo>>();
    return ParseSealList(list);
}

int OESV2Helper::GetSeal(const QString &sealId, QByteArray &seal)
{
    if (!m_getSeal)
        return OES_NOT_LOADED;
    const QSharedPointer<StringData> id = StringData::FromString(sealId);
    return OesCall::TwoCall(
        [this, &id](unsigned char *buffer, int *length) {
            return m_getSeal(id->GetData(), id->GetLength(), buffer, length);
        },
        1, seal);
}

QList<QSharedPointer<OES_SealInfoEx>> OESV2Helper::GetSealListEx()
{
    QList<QSharedPointer<OES_SealInfoEx>> seals;
    for (const QSharedPointer<OES_SealInfo> &entry : GetSealList()) {
        QByteArray data;
        if (GetSeal(entry->sealId, data) != 0)
            continue;
        SealReader_0031 reader;
        reader.ParseData(data);
        QSharedPointer<OES_SealInfoEx> seal(new OES_SealInfoEx);
        seal->sealId = entry->sealId;
        seal->sealName = entry->sealName;
        seal->sealData = data;
        seal->pictureType = reader.GetImageType();
        seal->pictureData = reader.GetImageData();
        seal->pictureWidth = reader.GetImageWidth();
        seal->pictureHeight = reader.GetImageHeight();
        seals << seal;
    }
    return seals;
}

int OESV2Helper::GetSignDateTime(QString &time)
{
    if (!IsProviderEdition()) {
        time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        return 0;
    }
    if (!m_getSignDateTime)
        return OES_NOT_LOADED;
    QByteArray bytes;
    const int code = OesCall::TwoCall(
        [this](unsigned char *buffer, int *length) { return m_getSignDateTime(buffer, length); }, 1, bytes);
    if (code == 0)
        time = OesCall::TextOf(bytes);
    return code;
}

int OESV2Helper::GetSignMethod(QString &method)
{
    if (!IsProviderEdition()) {
        method = QStringLiteral("1.2.156.10197.1.501");
        return 0;
    }
    if (!m_getSignMethod)
        return OES_NOT_LOADED;
    QByteArray bytes;
    const int code = OesCall::TwoCall(
        [this](unsigned char *buffer, int *length) { return m_getSignMethod(buffer, length); }, 1, bytes);
    if (code == 0)
        method = OesCall::TextOf(bytes);
    return code;
}

int OESV2Helper::Sign(SignInfoInput &input, QByteArray &signedValue)
{
    if (!IsProviderEdition()) {
        signedValue = GetSampleSignedValue();
        return 0;
    }
    int code = Login(input.pin);
    if (code != 0)
        return code;
    if (!m_sign)
        return OES_NOT_LOADED;
    const QSharedPointer<StringData> sealId = StringData::FromString(input.sealId);
    const QSharedPointer<StringData> property = StringData::FromString(input.documentProperty);
    const QSharedPointer<StringData> method = StringData::FromString(input.signMethod);
    const QSharedPointer<StringData> time = StringData::FromString(input.signDateTime);
    const QByteArray digest = input.digest;
    QByteArray bytes;
    code = OesCall::TwoCall(
        [&](unsigned char *buffer, int *length) {
            return m_sign(sealId->GetData(), sealId->GetLength(), property->GetData(), property->GetLength(),
                          Bytes(digest), digest.size(), method->GetData(), method->GetLength(),
                          time->GetData(), time->GetLength(), buffer, length);
        },
        10, bytes);
    if (code == 0)
        signedValue = bytes;
    return code;
}

int OESV2Helper::Verify(VerifyInfoInput &input)
{
    const int code = Login(GetFixedPin());
    if (code != 0)
        return code;
    if (!m_verify)
        return OES_NOT_LOADED;
    const QSharedPointer<StringData> property = StringData::FromString(input.documentProperty);
    const QSharedPointer<StringData> method = StringData::FromString(input.signMethod);
    const QSharedPointer<StringData> time = StringData::FromString(input.signDateTime);
    return m_verify(Bytes(input.sealData), input.sealData.size(), property->GetData(), property->GetLength(),
                    Bytes(input.digest), input.digest.size(), method->GetData(), method->GetLength(),
                    time->GetData(), time->GetLength(), Bytes(input.signedValue), input.signedValue.size(),
                    input.online ? 1 : 0);
}

QString OESV2Helper::GetErrMessage(int code)
{
    if (!m_getErrMessage)
        return QString();
    QByteArray bytes;
    const int result = OesCall::TwoCall(
        [this, code](unsigned char *buffer, int *length) { return m_getErrMessage(code, buffer, length); }, 2,
        bytes);
    return result == 0 ? OesCall::TextOf(bytes) : QString();
}
