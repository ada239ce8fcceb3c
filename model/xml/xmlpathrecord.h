#pragma once

#include <QStringList>

// The qualified names of the elements open during a streaming parse, outermost first.
class XmlPathRecord
{
public:
    void Push(const QString &qualifiedName) { m_path.append(qualifiedName); }
    void Pop()
    {
        if (!m_path.isEmpty())
            m_path.removeLast();
    }
    int GetDepth() const { return m_path.size(); }
    bool IsEmpty() const { return m_path.isEmpty(); }
    QString GetLast() const { return m_path.isEmpty() ? QString() : m_path.last(); }
    const QStringList &GetPath() const { return m_path; }
    // True when the path is depth names deep and the innermost ends with suffix, such as ":DocRoot".
    // A suffix that starts with ":" names a local name: it also matches the name without any prefix
    // (packages written with a default namespace, or with none at all).
    bool IsAt(int depth, QLatin1String suffix) const
    {
        return m_path.size() == depth && IsLocalName(m_path.last(), suffix);
    }
    // True when qualifiedName ends with suffix, or, for a suffix ":Name", is exactly "Name".
    static bool IsLocalName(const QString &qualifiedName, QLatin1String suffix)
    {
        if (qualifiedName.endsWith(suffix))
            return true;
        return suffix.size() > 1 && suffix.at(0) == QLatin1Char(':') &&
               qualifiedName.size() == suffix.size() - 1 && qualifiedName == suffix.mid(1);
    }
    // The names, each followed by "/".
    QString ToString() const;

    QString spare; // not used by the parsers

private:
    QStringList m_path;
};
