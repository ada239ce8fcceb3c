#pragma once

#include <QString>

#include "model/xml/xmlpathrecord.h"

class QXmlStreamReader;

// Drives the recursive step shared by the typed part parsers: it walks the start elements of a
// part, keeping the path of open elements. The caller looks at each element by depth and name
// suffix, and either reads its text, skips it, or simply calls Next() again to enter it.
//
//   OfdXmlStreamReader reader(bytes);
//   OfdXmlStreamStep step(reader, "DocBody*:");
//   while (step.Next()) {
//       if (step.IsAt(2, ":DocRoot")) root = step.ReadText();
//       else if (step.IsAt(1, ":DocBody") || step.IsAt(2, ":DocInfo")) continue;
//       else step.Skip();
//   }
class OfdXmlStreamStep
{
public:
    // tracePrefix names the parser in the trace lines of the debug log.
    OfdXmlStreamStep(QXmlStreamReader &reader, const QString &tracePrefix);

    // Moves to the next start element; false at the end of the outermost element or on an error.
    bool Next();
    // Starts the walk inside the element the reader is on: its name becomes the first path entry, so
    // its children are at depth 2. Used by parsers handed a reader positioned on their element.
    void EnterCurrent();
    // The current element was read to its end tag by another parser; forget it.
    void Consumed();

    bool IsAt(int depth, QLatin1String suffix) const { return m_path.IsAt(depth, suffix); }
    int GetDepth() const { return m_path.GetDepth(); }
    const XmlPathRecord &GetPath() const { return m_path; }
    QXmlStreamReader &Reader() { return m_reader; }

    // Text of the current element (child elements skipped); consumes its end tag.
    QString ReadText();
    // Skips the current element with its subtree.
    void Skip();
    // An attribute of the current element by local name, empty when absent.
    QString Attr(QLatin1String name) const;
    bool HasError() const;

private:
    QXmlStreamReader &m_reader;
    XmlPathRecord m_path;
    QString m_tracePrefix;
    bool m_started = false;
};
