#pragma once

#include <QList>
#include <QPointer>

#include "reader/formofd.h"
#include "reader/formofdpanel.h"

class QTreeWidget;
class QTreeWidgetItem;

// Annotation panel: the annotations of the document grouped by page, each with a check box for its
// visibility; clicking an entry scrolls the view to its page.
//
// Interface: ShowAnnots(FormOfd* form) (all pages from FormOfd::CreateAnnotViewData(-1)),
// SetAnnotViewData(entries), UpdatePage(int pageIndex, entries) (after SignalAnnotChanged),
// GetTree(); signals SignalAnnotCheckChanged(int pageIndex, QList<int> itemIds, bool visible)
// (also forwarded to the page), SignalAnnotClicked(int pageIndex); SignalClose() (base).
class FormOfdAnnot : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdAnnot(QWidget *parent = nullptr);

    void ShowAnnots(FormOfd *form);
    void SetAnnotViewData(const QList<FormOfdAnnotEntry> &entries);
    void UpdatePage(int pageIndex, const QList<FormOfdAnnotEntry> &entries);
    QTreeWidget *GetTree() const { return m_tree; }

signals:
    void SignalAnnotCheckChanged(int pageIndex, QList<int> itemIds, bool visible);
    void SignalAnnotClicked(int pageIndex);

private:
    QTreeWidgetItem *FindPageItem(int pageIndex, bool create);
    void AddEntry(QTreeWidgetItem *pageItem, const FormOfdAnnotEntry &entry);
    void OnItemChanged(QTreeWidgetItem *item, int column);

    QPointer<FormOfd> m_form;
    QTreeWidget *m_tree = nullptr;
    bool m_filling = false;
};
