#pragma once

#include <functional>

class FormOfd;
class FormOfdPage;
class QWidget;

// Creates the side panels of the reader widget and keeps them in step with the document view.
namespace ReaderPanels {
// Panel kinds, in the order of the reader's current-panel number.
enum EN_Panel
{
    EN_Panel_Outline = 0,
    EN_Panel_Thumbnail = 1,
    EN_Panel_Customtag = 2,
    EN_Panel_Annot = 3,
    EN_Panel_Attachment = 4,
    EN_Panel_Signature = 5,
    EN_Panel_Count = 6,
};

// A new panel of that kind filled from the view, or null for an unknown kind; onClose runs when
// the panel asks to close the side bar.
QWidget *CreatePanel(int panel, FormOfd *view, QWidget *parent, const std::function<void()> &onClose);
// Refreshes the annotation panel with the view's annotation data of one page.
void RefreshAnnotPanel(QWidget *panel, FormOfd *view, FormOfdPage *page);
// Lists the view's signatures again in the signature panel (after their verdicts changed).
void RefreshSignaturePanel(QWidget *panel, FormOfd *view);
} // namespace ReaderPanels
