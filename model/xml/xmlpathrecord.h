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
    bool IsAt(int depth, QLatin1String suffix) const
    {
        return m_path.size() == depth && m_path.last().endsWith(suffix);
    }
    // The names, each followed by "/".
    QString ToString() const;

    QString spare; // not used by the parsers

private:
    QStringList m_path;
};
