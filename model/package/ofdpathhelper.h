#pragma once

#include <QString>

// Rules for package paths: entries are named without a leading "/", locations written inside a part
// are absolute ("/..."), relative to the part's directory, or start with "./" or "../".
class OfdPathHelper
{
public:
    static bool IsStartWithRoot(const QString &p);
    static QString RemoveStartSlash(const QString &p);
    static QString AddStartSlash(const QString &p);
    static QString RemoveEndSlash(const QString &p);
    static QString RemoveLastPathItem(const QString &p);
    static QString GetDirectory(const QString &p);
    static QString CombinePath(const QString &dir, const QString &rel);

    // Resolves loc, found in the part whose package path is base.
    static QString GetOfdFullPath(const QString &base, const QString &loc);
    // Resolves a file name inside a location (a resource file's base location, say).
    static QString GetOfdFullPath(const QString &base, const QString &loc, const QString &name);
};

QString GetOfdFullPath(const QString &base, const QString &loc);

// Package paths are equal when identical, or when only the letter case of a short extension differs.
bool IsOfdFilePathEqual(const QString &a, const QString &b);
