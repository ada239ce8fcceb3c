#include "model/xml/xmlnode.h"

#include "model/xml/ofdcreatorparam.h"
#include "model/xml/xmlhelper.h"
#include "model/xml/xmlnodeparse.h"

namespace {
const QChar kStar = QLatin1Char('*');
const QString kCrLf = QStringLiteral("\r\n");

QString MakeSegment(int level, int index)
{
    return QStringLiteral("%1:%2").arg(level).arg(index);
}

// Splits "level:index"; false unless it has exactly two decimal parts.
bool ParseSegment(const QString &segment, int &level, int &index)
{
    const QStringList parts = segment.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    bool okLevel = false;
    bool okIndex = false;
    const int l = parts[0].toInt(&okLevel);
    const int i = parts[1].toInt(&okIndex);
    if (!okLevel || !okIndex)
        return false;
    level = l;
    index = i;
    return true;
}
} // namespace

XmlNode::XmlNode() : m_nameSpace(OfdCreatorParam::OFD_NameSpace) {}

XmlNode::~XmlNode()
{
    qDeleteAll(m_children);
}

XmlNode *XmlNode::FromData(const QByteArray &bytes)
{
    XmlNodeParse parse;
    parse.ParseXml(bytes);
    return parse.DetachHeaderNode();
}

XmlNode *XmlNode::FromData(const QByteArray &bytes, const QString &childName)
{
    XmlNodeParse parse;
    parse.ParseXml(bytes, childName);
    return parse.DetachHeaderNode();
}

void XmlNode::SetOfdNameSpace()
{
    m_nameSpace = OfdCreatorParam::OFD_NameSpace;
}

void XmlNode::SetQualifiedName(const QString &q)
{
    const int colon = q.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        m_name = q;
        return;
    }
    m_nameSpace = q.left(colon);
    m_name = q.mid(colon + 1);
}

void XmlNode::SetNameSpaceAttr(const QVector<NamePair> &declarations)
{
    m_nsDecls += declarations;
}

void XmlNode::SetNodeId(int level, int index)
{
    const QString segment = MakeSegment(level, index);
    m_nodeId = m_parent ? m_parent->m_nodeId + kStar + segment : segment;
    for (int i = 0; i < m_children.size(); ++i)
        m_children[i]->SetNodeId(level + 1, i);
}

bool XmlNode::GetNodeInfo(int &level, int &index) const
{
    const int star = m_nodeId.lastIndexOf(kStar);
    return ParseSegment(m_nodeId.mid(star + 1), level, index);
}

int XmlNode::GetNodeLevel() const
{
    int level = -1;
    int index = -1;
    if (!GetNodeInfo(level, index))
        return -1;
    return level;
}

void XmlNode::AddAttr(const QString &name, const QString &value)
{
    m_attrs.append(NamePair{name, value});
}

void XmlNode::AddAttrIfNotEmpty(const QString &name, const QString &value)
{
    if (!value.isEmpty())
        AddAttr(name, value);
}

void XmlNode::AddAttr(const QString &name, float value)
{
    AddAttr(name, QStringLiteral("%1").arg(double(value), 0, 'g', 6));
}

void XmlNode::AddAttr(const QString &name, int value)
{
    AddAttr(name, QString::number(value));
}

void XmlNode::AddAttrBool(const QString &name, bool value)
{
    AddAttr(name, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void XmlNode::AddAttrDateTime(const QString &name, const QDateTime &time)
{
    AddAttr(name, time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

QString XmlNode::GetAttr(const QString &name) const
{
    for (const NamePair &attr : m_attrs) {
        if (attr.name == name)
            return attr.value;
    }
    return QString();
}

void XmlNode::SetAttr(const QString &name, const QString &value)
{
    for (NamePair &attr : m_attrs) {
        if (attr.name == name) {
            attr.value = value;
            return;
        }
    }
    AddAttr(name, value);
}

XmlNode *XmlNode::GetOneChildByName(const QString &name) const
{
    for (XmlNode *child : m_children) {
        if (child->m_name == name)
            return child;
    }
    return nullptr;
}

int XmlNode::GetAllChildByName(const QString &name, QList<XmlNode *> &list) const
{
    for (XmlNode *child : m_children) {
        if (child->m_name == name)
            list.append(child);
    }
    return list.size();
}

XmlNode *XmlNode::GetNodeByName(const QString &name, int depth)
{
    if (m_name == name)
        return this;
    if (depth == 0 || depth < -1)
        return nullptr;
    for (XmlNode *child : qAsConst(m_children)) {
        if (XmlNode *found = child->GetNodeByName(name, -1))
            return found;
    }
    return nullptr;
}

XmlNode *XmlNode::GetNodeById(const QString &id)
{
    if (m_nodeId == id)
        return this;
    for (XmlNode *child : qAsConst(m_children)) {
        // A descendant's id always extends its ancestor's id.
        if (id.size() < child->m_nodeId.size() || !id.startsWith(child->m_nodeId))
            continue;
        if (XmlNode *found = child->GetNodeById(id))
            return found;
    }
    return nullptr;
}

void XmlNode::GetNode(QList<XmlNode *> &list, const QString &id, int index)
{
    XmlNode *node = GetNodeById(id);
    if (!node)
        return;
    if (index < 0)
        list += node->m_children;
    else if (index < node->m_children.size())
        list.append(node->m_children[index]);
}

XmlNode *XmlNode::AddChild(XmlNode *node, bool renumber)
{
    node->m_parent = this;
    m_children.append(node);
    if (renumber)
        node->SetNodeId(GetNodeLevel() + 1, m_children.size() - 1);
    return node;
}

XmlNode *XmlNode::AddChild(const QString &name, const QString &text, bool renumber)
{
    auto *node = new XmlNode;
    node->SetName(name);
    if (!text.isEmpty())
        node->SetText(text);
    return AddChild(node, renumber);
}

XmlNode *XmlNode::SetChild(const QString &name, const QString &text)
{
    if (XmlNode *child = GetOneChildByName(name)) {
        if (!text.isEmpty())
            child->SetText(text);
        return child;
    }
    return AddChild(name, text, true);
}

XmlNode *XmlNode::GetOrCreateChildByName(const QString &name, bool &created)
{
    if (XmlNode *child = GetOneChildByName(name)) {
        created = false;
        return child;
    }
    created = true;
    return AddChildByName(name, true);
}

XmlNode *XmlNode::GetOrCreateNode(const QString &id, bool &created)
{
    created = false;
    if (id == m_nodeId)
        return this;
    if (!id.startsWith(m_nodeId))
        return nullptr;

    XmlNode *current = this;
    for (bool moved = true; moved;) {
        moved = false;
        for (XmlNode *child : qAsConst(current->m_children)) {
            if (child->m_nodeId == id)
                return child;
            if (!child->m_nodeId.isEmpty() && id.startsWith(child->m_nodeId + kStar)) {
                current = child;
                moved = true;
                break;
            }
        }
    }

    int level = 0;
    int index = 0;
    if (!GetNextLevelNodeInfo(id, m_nodeId, level, index) || index < 0)
        return nullptr;
    while (m_children.size() <= index) {
        auto *child = new XmlNode;
        child->m_parent = this;
        m_children.append(child);
        child->SetNodeId(level, m_children.size() - 1);
        created = true;
    }
    XmlNode *child = m_children[index];
    return child->m_nodeId == id ? child : nullptr;
}

void XmlNode::SetPlainText(bool plain)
{
    m_plainText = plain;
    for (XmlNode *child : qAsConst(m_children))
        child->SetPlainText(plain);
}

QString XmlNode::CreateXml(bool indent)
{
    SetPlainText(false);
    QString out = OfdCreatorParam::xml_file_start + kCrLf;
    QStringList declared;
    WriteXml(out, indent, declared);
    return out;
}

QString XmlNode::CreateXmlToPlainTxt(bool indent)
{
    SetPlainText(true);
    QString out = OfdCreatorParam::xml_file_start + kCrLf;
    QStringList declared;
    WriteXml(out, indent, declared);
    return out;
}

void XmlNode::WriteXml(QString &out, bool indent, QStringList &declared) const
{
    if (indent) {
        const int level = GetNodeLevel();
        if (level > 0)
            out += QString(level, QLatin1Char('\t'));
    }
    out += QStringLiteral("<%1:%2").arg(m_nameSpace, m_name);
    if (!m_nameSpaceUrl.isEmpty() && !declared.contains(m_nameSpaceUrl)) {
        out += QStringLiteral(" xmlns:%1=\"%2\"").arg(m_nameSpace, m_nameSpaceUrl);
        declared.append(m_nameSpaceUrl);
    }
    for (const NamePair &decl : m_nsDecls) {
        if (declared.contains(decl.value))
            continue;
        // A default namespace has no prefix to bind; "xmlns:=" would not be XML.
        if (decl.name.isEmpty())
            out += QStringLiteral(" xmlns=\"%1\"").arg(decl.value);
        else
            out += QStringLiteral(" xmlns:%1=\"%2\"").arg(decl.name, decl.value);
        declared.append(decl.value);
    }
    for (const NamePair &attr : m_attrs) {
        out += QStringLiteral(" %1=\"%2\"")
                   .arg(attr.name, m_plainText ? attr.value : XmlHelper::XmlStringEscape(attr.value));
    }
    out += QLatin1Char('>');
    if (!m_children.isEmpty()) {
        out += kCrLf;
        for (const XmlNode *child : m_children)
            child->WriteXml(out, indent, declared);
    } else if (!m_text.isEmpty()) {
        out += m_plainText ? m_text : XmlHelper::XmlStringEscape(m_text);
    }
    out += QStringLiteral("</%1:%2>").arg(m_nameSpace, m_name) + kCrLf;
}

bool GetNextLevelNodeInfo(const QString &id, const QString &baseId, int &level, int &index)
{
    if (baseId.size() >= id.size())
        return false;
    QString rest = id.mid(baseId.size());
    if (rest.startsWith(kStar))
        rest.remove(0, 1);
    const int star = rest.indexOf(kStar);
    if (star >= 0)
        rest.truncate(star);
    return ParseSegment(rest, level, index);
}
