#include "model/document/ofdoutline.h"

#include "model/xml/xmlnode.h"

namespace {
bool ReadDouble(const XmlNode *node, const char *name, double &value)
{
    bool ok = false;
    const double v = node->GetAttr(QLatin1String(name)).trimmed().toDouble(&ok);
    if (ok && qIsFinite(v))
        value = v;
    return ok;
}

OfdOutlineAction ReadAction(const XmlNode *actionNode)
{
    OfdOutlineAction action;
    action.event = actionNode->GetAttr(QStringLiteral("Event"));
    for (const XmlNode *child : actionNode->GetChildren()) {
        const QString &name = child->GetName();
        if (name == QLatin1String("Region"))
            continue;
        action.kind = name;
        if (name == QLatin1String("Goto")) {
            if (const XmlNode *dest = child->GetOneChildByName(QStringLiteral("Dest"))) {
                action.hasDest = true;
                const QString type = dest->GetAttr(QStringLiteral("Type"));
                if (!type.isEmpty())
                    action.dest.type = type;
                action.dest.pageId = dest->GetAttr(QStringLiteral("PageID")).trimmed().toInt();
                action.dest.hasLeft = ReadDouble(dest, "Left", action.dest.left);
                action.dest.hasTop = ReadDouble(dest, "Top", action.dest.top);
                ReadDouble(dest, "Right", action.dest.right);
                ReadDouble(dest, "Bottom", action.dest.bottom);
                ReadDouble(dest, "Zoom", action.dest.zoom);
            } else if (const XmlNode *mark = child->GetOneChildByName(QStringLiteral("Bookmark"))) {
                action.bookmark = mark->GetAttr(QStringLiteral("Name"));
            }
        } else if (name == QLatin1String("URI")) {
            action.uri = child->GetAttr(QStringLiteral("URI"));
        }
        break;
    }
    return action;
}

void ReadEntries(const XmlNode *parent, QList<OfdOutlineElem *> &out, int depth)
{
    if (depth > OfdOutline::kMaxDepth)
        return;
    for (const XmlNode *node : parent->GetChildren()) {
        if (node->GetName() != QLatin1String("OutlineElem"))
            continue;
        auto *elem = new OfdOutlineElem;
        elem->title = node->GetAttr(QStringLiteral("Title"));
        elem->expanded =
            node->GetAttr(QStringLiteral("Expanded")).compare(QLatin1String("false"), Qt::CaseInsensitive) !=
            0;
        if (const XmlNode *actions = node->GetOneChildByName(QStringLiteral("Actions"))) {
            for (const XmlNode *action : actions->GetChildren()) {
                if (action->GetName() == QLatin1String("Action"))
                    elem->actions.append(ReadAction(action));
            }
        }
        ReadEntries(node, elem->children, depth + 1);
        out.append(elem);
    }
}

int Count(const QList<OfdOutlineElem *> &list)
{
    int n = list.size();
    for (const OfdOutlineElem *e : list)
        n += Count(e->children);
    return n;
}
} // namespace

OfdOutlineElem::~OfdOutlineElem()
{
    qDeleteAll(children);
}

const OfdOutlineDest *OfdOutlineElem::GetGotoDest() const
{
    for (const OfdOutlineAction &action : actions) {
        if (action.kind == QLatin1String("Goto") && action.hasDest)
            return &action.dest;
    }
    return nullptr;
}

OfdOutline::~OfdOutline()
{
    qDeleteAll(m_roots);
}

OfdOutline *OfdOutline::FromNode(const XmlNode *outlinesNode)
{
    if (!outlinesNode)
        return nullptr;
    auto *outline = new OfdOutline;
    ReadEntries(outlinesNode, outline->m_roots, 0);
    return outline;
}

int OfdOutline::GetCount() const
{
    return Count(m_roots);
}
