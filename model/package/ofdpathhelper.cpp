#include "model/package/ofdpathhelper.h"

namespace {
const QChar kSlash = QLatin1Char('/');
}

bool OfdPathHelper::IsStartWithRoot(const QString &p)
{
    return p.startsWith(kSlash);
}

QString OfdPathHelper::RemoveStartSlash(const QString &p)
{
    return p.startsWith(kSlash) ? p.mid(1) : p;
}

QString OfdPathHelper::AddStartSlash(const QString &p)
{
    return p.startsWith(kSlash) ? p : kSlash + p;
}

QString OfdPathHelper::RemoveEndSlash(const QString &p)
{
    return p.endsWith(kSlash) ? p.left(p.size() - 1) : p;
}

QString OfdPathHelper::RemoveLastPathItem(const QString &p)
{
    const int pos = p.lastIndexOf(kSlash);
    return pos < 0 ? p : p.left(pos);
}

QString OfdPathHelper::GetDirectory(const QString &p)
{
    const QString s = RemoveStartSlash(p);
    if (s.endsWith(kSlash))
        return s.left(s.size() - 1);
    return RemoveLastPathItem(s);
}

QString OfdPathHelper::CombinePath(const QString &dir, const QString &rel)
{
    if (rel.startsWith(kSlash))
        return rel.mid(1);
    QString result = RemoveStartSlash(dir);
    if (!result.endsWith(kSlash))
        result += kSlash;
    return result + rel;
}

QString OfdPathHelper::GetOfdFullPath(const QString &base, const QString &loc)
{
    if (loc.startsWith(kSlash))
        return loc.mid(1);
    if (loc.startsWith(QLatin1String("../"))) {
        const QString rest = loc.mid(3);
        if (base.isEmpty())
            return rest;
        const QString dir = GetDirectory(base);
        if (!dir.contains(kSlash))
            return rest;
        return CombinePath(RemoveLastPathItem(dir), rest);
    }
    const QString rest = loc.startsWith(QLatin1String("./")) ? loc.mid(2) : loc;
    if (base.isEmpty())
        return rest;
    // A part at the top of the package (flat packages put every part there) resolves against the top.
    if (!OfdPathHelper::RemoveStartSlash(base).contains(kSlash))
        return rest;
    return CombinePath(GetDirectory(base), rest);
}

QString OfdPathHelper::GetOfdFullPath(const QString &base, const QString &loc, const QString &name)
{
    if (loc.isEmpty())
        return GetOfdFullPath(base, name);
    QString first = GetOfdFullPath(base, loc);
    if (!first.endsWith(kSlash))
        first += kSlash;
    return GetOfdFullPath(first, name);
}

QString GetOfdFullPath(const QString &base, const QString &loc)
{
    return OfdPathHelper::GetOfdFullPath(base, loc);
}

bool IsOfdFilePathEqual(const QString &a, const QString &b)
{
    const QString x = OfdPathHelper::RemoveStartSlash(a);
    const QString y = OfdPathHelper::RemoveStartSlash(b);
    if (x.size() != y.size())
        return false;
    if (x == y)
        return true;
    const int dot = x.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot != y.lastIndexOf(QLatin1Char('.')))
        return false;
    if (x.size() - dot > 5 || x.indexOf(kSlash, dot) >= 0)
        return false;
    if (x.leftRef(dot) != y.leftRef(dot))
        return false;
    return x.midRef(dot).compare(y.midRef(dot), Qt::CaseInsensitive) == 0;
}
