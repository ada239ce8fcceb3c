#include "reader/formofdcustomtag.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmlcustomtags.h"
#include "model/xml/xmlnode.h"
#include "reader/formofd.h"

namespace {
const int kTagRole = Qt::UserRole + 1;
const int kPathRole = Qt::UserRole + 2;
} // namespace

FormOfdCustomtag::FormOfdCustomtag(QWidget *parent) : FormOfdPanel(QtHelper::fromString("标引"), parent)
{
    setObjectName(QStringLiteral("FormOfdCustomtag"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeWidgetCustomtag"));
    m_tree->setHeaderHidden(true);
    m_tree->setFrameShape(QFrame::NoFrame);
    ContentLayout()->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) { ShowItem(item); });
}

void FormOfdCustomtag::ShowCustomTags(FormOfd *form)
{
    m_tree->clear();
    m_form = form;
    OfdFile *file = form ? form->GetOfdFile() : nullptr;
    OfdXmlCustomTags *tags = file ? file->GetCustomTags() : nullptr;
    if (!tags)
        return;
    for (int i = 0; i < tags->GetCount(); ++i) {
        const OfdCustomTag *tag = tags->GetTag(i);
        if (!tag)
            continue;
        if (tag->tree) {
            AddNode(nullptr, tag->tree.get(), i, tag->tree->GetName());
        } else {
            // A tag whose file could not be read still shows, under its name space.
            auto *item = new QTreeWidgetItem(m_tree);
            item->setText(0, tag->nameSpace.isEmpty() ? tag->fileLoc : tag->nameSpace);
            item->setData(0, kTagRole, i);
            item->setData(0, kPathRole, QString());
        }
    }
    m_tree->expandAll();
}

void FormOfdCustomtag::AddNode(QTreeWidgetItem *parent, const XmlNode *node, int tagIndex,
                               const QString &path)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    const QString text = node->GetText().trimmed();
    item->setText(0, text.isEmpty() ? node->GetName() : node->GetName() + QStringLiteral(": ") + text);
    item->setToolTip(0, path);
    item->setData(0, kTagRole, tagIndex);
    item->setData(0, kPathRole, path);
    for (const XmlNode *child : node->GetChildren()) {
        if (child->GetName() == QLatin1String("ObjectRef"))
            continue;
        AddNode(item, child, tagIndex, path + QLatin1Char('/') + child->GetName());
    }
}

QList<OfdXmlCustomTagPageRef *> FormOfdCustomtag::GetItemRefs(const QTreeWidgetItem *item) const
{
    QList<OfdXmlCustomTagPageRef *> refs;
    OfdFile *file = m_form ? m_form->GetOfdFile() : nullptr;
    OfdXmlCustomTags *tags = file ? file->GetCustomTags() : nullptr;
    if (!item || !tags)
        return refs;
    const OfdCustomTag *tag = tags->GetTag(item->data(0, kTagRole).toInt());
    if (!tag)
        return refs;
    const QString path = item->data(0, kPathRole).toString();
    const QString prefix = path + QLatin1Char('/');
    for (const OfdCustomTagRef &ref : tag->refs) {
        if (path.isEmpty() || ref.tagPath == path || ref.tagPath.startsWith(prefix)) {
            // The view only reads the references; the document keeps them for its lifetime.
            refs.append(const_cast<OfdCustomTagRef *>(&ref));
        }
    }
    return refs;
}

void FormOfdCustomtag::ShowItem(const QTreeWidgetItem *item)
{
    if (!m_form)
        return;
    QList<OfdXmlCustomTagPageRef *> refs = GetItemRefs(item);
    m_form->ShowCustomtagNode(refs);
}
