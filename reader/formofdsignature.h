#pragma once

#include <QPointer>

#include "reader/formofdpanel.h"

class FormOfd;
class OfdXmlSignature;
class QTreeWidget;
class QTreeWidgetItem;

// Signature panel: one row per signature of the document (seal name, signer, time, standard,
// verdict) with its checks below it; signatures whose stamp is on no page are listed too. Choosing a
// signature scrolls the view to the page of its first stamp.
//
// Interface: ShowSignatures(FormOfd*), GetTree(), GetSignature(item), GetStampPage(signature) (page
// index of the first stamp, -1 when on no page); SignalClose() (base).
class FormOfdSignature : public FormOfdPanel
{
    Q_OBJECT
public:
    // Columns of the tree.
    enum EN_Column
    {
        // The verdict comes second, so that a narrow side bar still shows it.
        Column_Seal = 0,
        Column_Verdict,
        Column_Signer,
        Column_Time,
        Column_Standard,
        Column_Count
    };

    explicit FormOfdSignature(QWidget *parent = nullptr);

    void ShowSignatures(FormOfd *form);
    QTreeWidget *GetTree() const { return m_tree; }
    OfdXmlSignature *GetSignature(const QTreeWidgetItem *item) const;
    int GetStampPage(OfdXmlSignature *signature) const;

private:
    void ShowItem(const QTreeWidgetItem *item);

    QPointer<FormOfd> m_form;
    QTreeWidget *m_tree = nullptr;
};
