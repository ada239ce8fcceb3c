#pragma once

#include <QList>
#include <QString>

class XmlNode;

// Where a "Goto" action leads: a page (by its ID) and a position on it. Positions are millimetres;
// the flags tell which were written.
struct OfdOutlineDest
{
    QString type = QStringLiteral("XYZ"); // XYZ, Fit, FitH, FitV, FitR
    int pageId = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    double zoom = 0; // 0: keep the current zoom
    bool hasLeft = false, hasTop = false;
};

// One action of an outline entry. Only "Goto" actions with a destination move the view; the others
// are kept for display.
struct OfdOutlineAction
{
    QString event; // e.g. "CLICK"
    QString kind;  // "Goto", "URI", "GotoA", "Sound", "Movie"
    bool hasDest = false;
    OfdOutlineDest dest;
    QString bookmark; // a Goto that names a bookmark instead of a destination
    QString uri;
};

// One entry of the outline tree with its children (owned).
class OfdOutlineElem
{
public:
    OfdOutlineElem() = default;
    ~OfdOutlineElem();
    OfdOutlineElem(const OfdOutlineElem &) = delete;
    OfdOutlineElem &operator=(const OfdOutlineElem &) = delete;

    QString title;
    bool expanded = true;
    QList<OfdOutlineAction> actions;
    QList<OfdOutlineElem *> children;

    // The destination of the first Goto action that has one, or null.
    const OfdOutlineDest *GetGotoDest() const;
};

// The outline (table of contents) of a document, read from the Outlines element of Document.xml.
class OfdOutline
{
public:
    OfdOutline() = default;
    ~OfdOutline();
    OfdOutline(const OfdOutline &) = delete;
    OfdOutline &operator=(const OfdOutline &) = delete;

    // Reads the entries of an Outlines element; null when node is null.
    static OfdOutline *FromNode(const XmlNode *outlinesNode);

    const QList<OfdOutlineElem *> &GetRoots() const { return m_roots; }
    // Entries in the whole tree.
    int GetCount() const;

    // Outline trees are not allowed to nest deeper than this.
    static constexpr int kMaxDepth = 64;

private:
    QList<OfdOutlineElem *> m_roots;
};
