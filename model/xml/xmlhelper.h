#pragma once

#include <QString>

// Escaping and name helpers for XML text.
class XmlHelper
{
public:
    // True when s holds any of < > " &.
    static bool IsNeedEscape(const QString &s);
    // s with < > & " replaced by their entities; the apostrophe stays.
    static QString XmlStringEscape(const QString &s);
    // The local part of a qualified name.
    static QString GetXmlNameWithoutNamespace(const QString &q);
};
