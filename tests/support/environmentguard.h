#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Sets an environment variable (unsets it for a null value) and puts back the old state when it goes.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QString &value) : m_name(name)
    {
        m_wasSet = qEnvironmentVariableIsSet(name);
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~EnvironmentGuard()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    bool m_wasSet = false;
    QByteArray m_old;
};
