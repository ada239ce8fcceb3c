#include "model/document/ofdpathnormalize.h"

#include <QStringList>

QString NormalizeOfdPath(const QString &path)
{
    if (!path.contains(QLatin1String("./")) && !path.endsWith(QLatin1String("/.")) &&
        !path.endsWith(QLatin1String("/..")))
        return path;
    const bool rooted = path.startsWith(QLatin1Char('/'));
    QStringList out;
    for (const QString &segment : path.split(QLatin1Char('/'))) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (!out.isEmpty() && !out.last().isEmpty())
                out.removeLast();
            continue;
        }
        out << segment;
    }
    // Empty segments from doubled slashes stay as written; only a leading one came from the root.
    QString result = out.join(QLatin1Char('/'));
    if (rooted && !result.startsWith(QLatin1Char('/')))
        result.prepend(QLatin1Char('/'));
    return result;
}
