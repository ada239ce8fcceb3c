#pragma once

#include <QString>

// Package paths as the descriptors and resource files resolve them, with "." and ".." segments
// that the one-step location rules leave in place folded away ("Doc_0/./a" → "Doc_0/a",
// "Doc_0/Res/../../Doc_0/x" → "Doc_0/x"). A ".." that would climb above the package root is
// dropped. Paths without such segments are returned unchanged.
QString NormalizeOfdPath(const QString &path);
