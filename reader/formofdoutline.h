#pragma once

#include <QPointer>

#include "reader/formofdpanel.h"

class FormOfd;
class OfdOutlineElem;
class QTreeWidget;
class QTreeWidgetItem;

// Outline panel: the document's outline as a tree; clicking an entry follows its "Goto" actions
// in the document view (zoom from the destination when given, then the page at the destination's
// top).
//
// Interface: ShowOutline(FormOfd* form), GetTree(), GotoOutline(const OfdOutlineElem*) -> page
// index reached (-1 when none); signal SignalOutlineGoto(int pageIndex); SignalClose() (base).
class FormOfdOutline : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdOutline(QWidget *parent = nullptr);

    // Builds the tree from the view's document (empty when it has no outline).
    void ShowOutline(FormOfd *form);
    QTreeWidget *GetTree() const { return m_tree; }
    int GotoOutline(const OfdOutlineElem *elem);
    // The outline entry an item of the tree shows.
    static const OfdOutlineElem *GetItemElem(const QTreeWidgetItem *item);

signals:
    void SignalOutlineGoto(int pageIndex);

private:
    void AddChildren(QTreeWidgetItem *parent, const QList<OfdOutlineElem *> &elems);

    QPointer<FormOfd> m_form;
    QTreeWidget *m_tree = nullptr;
};
