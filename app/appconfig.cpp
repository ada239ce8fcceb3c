#include "app/appconfig.h"

#include <QDir>
#include <QSettings>

QString AppConfig::ConfigDir()
{
    // The XDG base-directory rules: a relative value is to be ignored.
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QLatin1Char('/') + FolderName());
}

bool AppConfig::EnsureConfigDir()
{
    return QDir().mkpath(ConfigDir());
}

QString AppConfig::FilePath(const QString &name)
{
    return ConfigDir() + QLatin1Char('/') + name;
}

QSettings *AppConfig::CreateSettings()
{
    EnsureConfigDir();
    auto *settings = new QSettings(FilePath(QStringLiteral("ofdreader.conf")), QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}
