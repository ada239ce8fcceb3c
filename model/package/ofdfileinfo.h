#pragma once

#include <QByteArray>
#include <QString>

// One file of a package being written: its package path and its bytes.
struct OfdFileInfo
{
    QString path;
    QByteArray data;
};
