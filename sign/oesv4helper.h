#pragma once

#include "sign/oesapi.h"

#include <QByteArray>
#include <QString>

class QLibrary;

// Access to a provider library of the second generation of the OES interface (OESV4_* functions):
// provider information and the seal list of a session. Owns the loaded library. Nothing in the reader
// uses it.
class OESV4Helper
{
public:
    OESV4Helper();
    ~OESV4Helper();

    // Drops any loaded library, then loads the one at path and resolves "OESV4_GetProviderInfo",
    // "OESV4_OpenSession" and "OESV4_GetSealList"; false when it cannot be loaded.
    bool Init(const QString &path);
    bool IsLoaded() const { return m_library != nullptr; }

    // Two-call form as OESV2Helper::GetProviderInfo in edition 2; OES_NOT_LOADED without the library.
    int GetProviderInfo(QString &name, QString &company, QString &version, QString &extend);
    // Opens a session (once per loaded library) and reads its seal list in the two-call form; the list
    // is the UTF-8 text of the list bytes, zero separators kept.
    int GetSealList(QString &list);

private:
    Q_DISABLE_COPY(OESV4Helper)

    void Unload();

    QLibrary *m_library = nullptr;
    void *m_session = nullptr;
    OESV4_GetProviderInfo_t *m_getProviderInfo = nullptr;
    OESV4_OpenSession_t *m_openSession = nullptr;
    OESV4_GetSealList_t *m_getSealList = nullptr;
};
