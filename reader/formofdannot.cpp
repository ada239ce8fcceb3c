#include "reader/formofdannot.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qthelper.h"

namespace {
const int kPageRole = Qt::UserRole + 1;
const int kIdsRole = Qt::UserRole + 2;

QVariantList ToVariant(const QList<int> &ids)
{
    QVariantList list;
    for (int id : ids)
        list.append(id);
    return list;
}

QList<int> FromVariant(const QVariant &value)
{
    QList<int> ids;
    for (const QVariant &v : value.toList())
        ids.append(v.toInt());
    return ids;
}
} // namespace

FormOfdAnnot::FormOfdAnnot(QWidget *parent) : FormOfdPanel(QtHelper::fromString("批注"), parent)
{
    setObjectName(QStringLiteral("FormOfdAnnot"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeWidgetAnnot"));
    m_tree->setHeaderHidden(true);
    m_tree->setFrameShape(QFrame::NoFrame);
    ContentLayout()->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemChanged, this, &FormOfdAnnot::OnItemChanged);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) {
        const int page = item->data(0, kPageRole).toInt();
        if (m_form)
            m_form->ScrollToPage(page);
        emit SignalAnnotClicked(page);
    });
}

void FormOfdAnnot::ShowAnnots(FormOfd *form)
{
    m_form = form;
    SetAnnotViewData(form ? form->CreateAnnotViewData(-1) : QList<FormOfdAnnotEntry>());
}

void FormOfdAnnot::SetAnnotViewData(const QList<FormOfdAnnotEntry> &entries)
{
    m_filling = true;
    m_tree->clear();
    for (const FormOfdAnnotEntry &entry : entries)
        AddEntry(FindPageItem(entry.pageIndex, true), entry);
    m_tree->expandAll();
    m_filling = false;
}

void FormOfdAnnot::UpdatePage(int pageIndex, const QList<FormOfdAnnotEntry> &entries)
{
    m_filling = true;
    delete FindPageItem(pageIndex, false);
    for (const FormOfdAnnotEntry &entry : entries) {
        if (entry.pageIndex == pageIndex)
            AddEntry(FindPageItem(pageIndex, true), entry);
    }
    if (QTreeWidgetItem *item = FindPageItem(pageIndex, false))
        item->setExpanded(true);
    m_filling = false;
}

QTreeWidgetItem *FormOfdAnnot::FindPageItem(int pageIndex, bool create)
{
    int insertAt = m_tree->topLevelItemCount();
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_tree->topLevelItem(i);
        const int index = item->data(0, kPageRole).toInt();
        if (index == pageIndex)
            return item;
        if (index > pageIndex) {
            insertAt = i;
            break;
        }
    }
    if (!create)
        return nullptr;
    auto *item = new QTreeWidgetItem();
    item->setText(0, QtHelper::fromString("第%1页").arg(pageIndex + 1));
    item->setData(0, kPageRole, pageIndex);
    m_tree->insertTopLevelItem(insertAt, item);
    return item;
}

void FormOfdAnnot::AddEntry(QTreeWidgetItem *pageItem, const FormOfdAnnotEntry &entry)
{
    auto *item = new QTreeWidgetItem(pageItem);
    QString text = entry.subtype.isEmpty() ? entry.type : entry.subtype;
    if (!entry.creator.isEmpty())
        text += QStringLiteral("  ") + entry.creator;
    item->setText(0, text);
    if (entry.lastModDate.isValid())
        item->setToolTip(0, entry.lastModDate.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    item->setData(0, kPageRole, entry.pageIndex);
    item->setData(0, kIdsRole, ToVariant(entry.itemIds));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, entry.visible ? Qt::Checked : Qt::Unchecked);
}

void FormOfdAnnot::OnItemChanged(QTreeWidgetItem *item, int column)
{
    if (m_filling || column != 0 || !item->parent())
        return;
    const int page = item->data(0, kPageRole).toInt();
    const QList<int> ids = FromVariant(item->data(0, kIdsRole));
    const bool visible = item->checkState(0) == Qt::Checked;
    if (m_form) {
        if (FormOfdPage *p = m_form->GetPage(page))
            p->OnAnnotCheckChanged(ids, visible);
    }
    emit SignalAnnotCheckChanged(page, ids, visible);
}
