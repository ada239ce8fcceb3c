#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Edits an XML part as text so that every character outside the edits stays as it was: elements
// are located once (offsets in characters of the decoded text), then insertions and replacements
// are collected and applied together. Only UTF-8 parts (with or without a byte-order mark) that
// decode and encode back to the same bytes are accepted, so an unedited part gives its own bytes.
class OfdXmlTextPatch
{
public:
    // One element of the part; offsets index the decoded text.
    struct Element
    {
        QString qualifiedName;
        QString localName;
        QString prefix;
        int depth = 0;    // 1 for the root
        int parent = -1;  // index of the parent element, -1 for the root
        int start = 0;    // '<' of the start tag
        int startEnd = 0; // just after the start tag's '>'
        int endStart = 0; // '<' of the end tag; equals startEnd - 2 for an empty-element tag
        int end = 0;      // just after the end tag
        bool selfClosing = false;
    };

    // False when the bytes are not well-formed XML or cannot be edited losslessly.
    bool Load(const QByteArray &bytes);
    bool IsLoaded() const { return m_loaded; }

    const QList<Element> &GetElements() const { return m_elements; }
    // Index of the root element (0), -1 when not loaded.
    int GetRoot() const { return m_elements.isEmpty() ? -1 : 0; }
    // Indexes of the element's children, in document order; with a local name only those.
    QList<int> GetChildren(int element, const QString &localName = QString()) const;
    // The prefix bound to the namespace uri on the root element, or null when the root binds none.
    QString GetRootPrefixOf(const QString &uri) const;
    // The namespace uri the root element binds to a prefix; null when it binds none.
    QString GetRootNamespaceUri(const QString &prefix) const;
    // The text of the element between its tags (empty for an empty-element tag).
    QString GetInnerText(int element) const;
    QString GetStartTag(int element) const;

    // Inserts text as the last content of an element (an empty-element tag is opened for it).
    void AppendChildText(int element, const QString &text);
    // Inserts text just before an element.
    void InsertBefore(int element, const QString &text);
    // Removes an element with the white space right before it.
    void RemoveElement(int element);
    // Sets an attribute on the start tag (replacing its value when present).
    void SetAttribute(int element, const QString &name, const QString &value);
    // Replaces the text between the element's tags.
    void SetInnerText(int element, const QString &text);

    bool HasEdits() const { return !m_edits.isEmpty(); }
    // The edited part as bytes (the original bytes when nothing was edited).
    QByteArray GetBytes() const;

    // Escapes text for an attribute value or element content.
    static QString Escape(const QString &text);

private:
    struct Edit
    {
        int from;
        int to; // replaced range [from, to); from == to inserts
        QString text;
        int order; // keeps insertions at one place in call order
    };
    void AddEdit(int from, int to, const QString &text);

    bool m_loaded = false;
    bool m_bom = false;
    QByteArray m_bytes;
    QString m_text;
    QList<Element> m_elements;
    QList<QPair<QString, QString>> m_rootNamespaces; // prefix, uri
    QList<Edit> m_edits;
};
