#include "sign/oesv4helper.h"

#include "sign/oescall.h"

#include <QDebug>
#include <QLibrary>

OESV4Helper::OESV4Helper() = default;

OESV4Helper::~OESV4Helper()
{
    Unload();
}

void OESV4Helper::Unload()
{
    m_session = nullptr;
    m_getProviderInfo = nullptr;
    m_openSession = nullptr;
    m_getSealList = nullptr;
    if (m_library) {
        m_library->unload();
        delete m_library;
        m_library = nullptr;
    }
}

bool OESV4Helper::Init(const QString &path)
{
    Unload();
    m_library = new QLibrary(path);
    if (!m_library->load()) {
        qDebug() << "OESV4Helper: cannot load" << path << m_library->errorString();
        delete m_library;
        m_library = nullptr;
        return false;
    }
    m_getProviderInfo =
        reinterpret_cast<OESV4_GetProviderInfo_t *>(m_library->resolve("OESV4_GetProviderInfo"));
    m_openSession = reinterpret_cast<OESV4_OpenSession_t *>(m_library->resolve("OESV4_OpenSession"));
    m_getSealList = reinterpret_cast<OESV4_GetSealList_t *>(m_library->resolve("OESV4_GetSealList"));
    return true;
}

int OESV4Helper::GetProviderInfo(QString &name, QString &company, QString &version, QString &extend)
{
    if (!m_getProviderInfo)
        return OES_NOT_LOADED;
    return OesCall::FourTexts(m_getProviderInfo, name, company, version, extend);
}

int OESV4Helper::GetSealList(QString &list)
{
    if (!m_openSession || !m_getSealList)
        return OES_NOT_LOADED;
    if (!m_session) {
        const int code = m_openSession(&m_session);
        if (code != 0) {
            m_session = nullptr;
            return code;
        }
    }
    QByteArray bytes;
    const int code = OesCall::TwoCall(
        [this](unsigned char *buffer, int *length) { return m_getSealList(m_session, buffer, length); }, 1,
        bytes);
    if (code == 0)
        list = QString::fromUtf8(bytes.constData(), bytes.size());
    return code;
}
