#pragma once

#include <QString>

class QSettings;

// Where the reader keeps what it remembers between runs: one folder per user,
// $XDG_CONFIG_HOME/ofdreader (~/.config/ofdreader when the variable is unset or not absolute),
// holding the recent-file record and the settings file.
class AppConfig
{
public:
    // Name of the folder inside the user's config folder.
    static QString FolderName() { return QStringLiteral("ofdreader"); }
    // Absolute path of the folder; it may not exist yet.
    static QString ConfigDir();
    // Makes the folder when it is missing; false when it cannot be made.
    static bool EnsureConfigDir();
    // Absolute path of a file in the folder.
    static QString FilePath(const QString &name);
    // The settings file (window geometry, zoom mode, side bar), an INI file in the folder. The
    // caller owns the object.
    static QSettings *CreateSettings();
};
