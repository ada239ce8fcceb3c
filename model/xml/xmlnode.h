#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>

// A name with its value: an attribute, or a namespace prefix with its URI.
struct NamePair
{
    QString name;
    QString value;
};

// One element of a package part: prefix, namespace URI, local name, text, attributes and children in
// source order, and a positional id "0:0*1:2*2:0" (level:index per step from the root).
// A node owns its children; the root is owned by whoever detached it from the parser.
class XmlNode
{
public:
    XmlNode();
    ~XmlNode();
    XmlNode(const XmlNode &) = delete;
    XmlNode &operator=(const XmlNode &) = delete;

    // Parses bytes and returns the root (null when the data held no element); the caller owns it.
    static XmlNode *FromData(const QByteArray &bytes);
    // The same, keeping only the root's direct children named childName.
    static XmlNode *FromData(const QByteArray &bytes, const QString &childName);

    void SetName(const QString &name) { m_name = name; }
    const QString &GetName() const { return m_name; }
    void SetText(const QString &text) { m_text = text; }
    const QString &GetText() const { return m_text; }
    bool IsHaveText() const { return !m_text.isEmpty(); }
    void AppendText(const QString &text) { m_text += text; }

    void SetNameSpace(const QString &prefix) { m_nameSpace = prefix; }
    const QString &GetNameSpace() const { return m_nameSpace; }
    void SetOfdNameSpace();
    void SetNameSpaceUrl(const QString &url) { m_nameSpaceUrl = url; }
    const QString &GetNameSpaceUrl() const { return m_nameSpaceUrl; }
    bool IsHaveNameSpaceUrl() const { return !m_nameSpaceUrl.isEmpty(); }
    // "p:name" sets prefix and name; a plain name keeps the prefix.
    void SetQualifiedName(const QString &q);
    // Appends {prefix, URI} declarations made on this element.
    void SetNameSpaceAttr(const QVector<NamePair> &declarations);
    const QVector<NamePair> &GetNameSpaceAttr() const { return m_nsDecls; }

    void SetNodeId(const QString &id) { m_nodeId = id; }
    const QString &GetNodeId() const { return m_nodeId; }
    // Numbers this node (prefixed by the parent's id) and renumbers its subtree.
    void SetNodeId(int level, int index);
    void ResetNodeId() { SetNodeId(0, 0); }
    bool GetNodeInfo(int &level, int &index) const;
    // Level from the last id segment, -1 when the id is empty or malformed.
    int GetNodeLevel() const;

    void AddAttr(const QString &name, const QString &value);
    void AddAttrIfNotEmpty(const QString &name, const QString &value);
    void AddAttr(const QString &name, const char *value) { AddAttr(name, QString::fromUtf8(value)); }
    void AddAttr(const QString &name, float value);
    void AddAttr(const QString &name, double value) { AddAttr(name, float(value)); }
    void AddAttr(const QString &name, int value);
    void AddAttrBool(const QString &name, bool value);
    void AddAttrDateTime(const QString &name, const QDateTime &time);
    QString GetAttr(const QString &name) const;
    void SetAttr(const QString &name, const QString &value);
    const QVector<NamePair> &GetAttrs() const { return m_attrs; }

    XmlNode *GetParent() const { return m_parent; }
    const QList<XmlNode *> &GetChildren() const { return m_children; }
    int GetChildCount() const { return m_children.size(); }
    XmlNode *GetChild(int i) const { return m_children.value(i, nullptr); }

    XmlNode *GetOneChildByName(const QString &name) const;
    int GetAllChildByName(const QString &name, QList<XmlNode *> &list) const;
    // Pre-order search from this node; callers pass depth -1 (no limit).
    XmlNode *GetNodeByName(const QString &name, int depth = -1);
    XmlNode *GetNodeById(const QString &id);
    // Appends the children of the node with that id (index < 0) or only child number index.
    void GetNode(QList<XmlNode *> &list, const QString &id, int index = -1);

    XmlNode *AddChild(XmlNode *node, bool renumber);
    XmlNode *AddChild(const QString &name, const QString &text, bool renumber);
    XmlNode *AddChildByName(const QString &name, bool renumber)
    {
        return AddChild(name, QString(), renumber);
    }
    XmlNode *SetChild(const QString &name, const QString &text);
    XmlNode *GetOrCreateChildByName(const QString &name, bool &created);
    // Reaches (creating unnamed children as needed) the node with an id one level below this one.
    XmlNode *GetOrCreateNode(const QString &id, bool &created);

    // Serialises the tree rooted here, escaping text and values / writing them raw.
    QString CreateXml(bool indent);
    QString CreateXmlToPlainTxt(bool indent);

private:
    void SetPlainText(bool plain);
    void WriteXml(QString &out, bool indent, QStringList &declared) const;

    QString m_nodeId;
    QString m_nameSpaceUrl;
    QString m_nameSpace;
    QString m_name;
    QString m_text;
    QVector<NamePair> m_attrs;
    QVector<NamePair> m_nsDecls;
    QList<XmlNode *> m_children;
    XmlNode *m_parent = nullptr;
    bool m_plainText = false;
};

// Level and index of the id segment right after baseId; false when id is not below baseId.
bool GetNextLevelNodeInfo(const QString &id, const QString &baseId, int &level, int &index);
