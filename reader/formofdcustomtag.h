#pragma once

#include <QList>
#include <QPointer>

#include "reader/formofdpage.h"
#include "reader/formofdpanel.h"

class FormOfd;
class QTreeWidget;
class QTreeWidgetItem;
class XmlNode;

// Custom-tag panel: the tag files of the document as trees of their elements; choosing an element
// highlights every page object referenced under it in the document view.
//
// Interface: ShowCustomTags(FormOfd* form), GetTree(), GetItemRefs(item) (the references under a
// tree item), ShowItem(item) (highlight them); SignalClose() (base).
class FormOfdCustomtag : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdCustomtag(QWidget *parent = nullptr);

    void ShowCustomTags(FormOfd *form);
    QTreeWidget *GetTree() const { return m_tree; }
    QList<OfdXmlCustomTagPageRef *> GetItemRefs(const QTreeWidgetItem *item) const;
    void ShowItem(const QTreeWidgetItem *item);

private:
    void AddNode(QTreeWidgetItem *parent, const XmlNode *node, int tagIndex, const QString &path);

    QPointer<FormOfd> m_form;
    QTreeWidget *m_tree = nullptr;
};
