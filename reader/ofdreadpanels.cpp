#include "reader/ofdreadpanels.h"

#include "reader/formofd.h"
#include "reader/formofdannot.h"
#include "reader/formofdcustomtag.h"
#include "reader/formofdfile.h"
#include "reader/formofdoutline.h"
#include "reader/formofdsignature.h"
#include "reader/formofdthumbnail.h"

namespace ReaderPanels {

QWidget *CreatePanel(int panel, FormOfd *view, QWidget *parent, const std::function<void()> &onClose)
{
    if (!view)
        return nullptr;
    // Each panel follows the view by itself (a click scrolls it); the reader only fills it.
    FormOfdPanel *created = nullptr;
    switch (panel) {
    case EN_Panel_Thumbnail: {
        auto *thumbnails = new FormOfdThumbnail(parent);
        thumbnails->ShowThumbnail(view, 200);
        created = thumbnails;
        break;
    }
    case EN_Panel_Outline: {
        auto *outline = new FormOfdOutline(parent);
        outline->ShowOutline(view);
        created = outline;
        break;
    }
    case EN_Panel_Customtag: {
        auto *tags = new FormOfdCustomtag(parent);
        tags->ShowCustomTags(view);
        created = tags;
        break;
    }
    case EN_Panel_Annot: {
        auto *annots = new FormOfdAnnot(parent);
        annots->ShowAnnots(view);
        created = annots;
        break;
    }
    case EN_Panel_Attachment: {
        auto *files = new FormOfdFile(parent);
        files->ShowAttachments(view);
        created = files;
        break;
    }
    case EN_Panel_Signature: {
        auto *signatures = new FormOfdSignature(parent);
        signatures->ShowSignatures(view);
        created = signatures;
        break;
    }
    default:
        return nullptr;
    }
    QObject::connect(created, &FormOfdPanel::SignalClose, created, [onClose]() {
        if (onClose)
            onClose();
    });
    return created;
}

void RefreshSignaturePanel(QWidget *panel, FormOfd *view)
{
    if (auto *signatures = qobject_cast<FormOfdSignature *>(panel))
        signatures->ShowSignatures(view);
}

void RefreshAnnotPanel(QWidget *panel, FormOfd *view, FormOfdPage *page)
{
    auto *annots = qobject_cast<FormOfdAnnot *>(panel);
    if (!annots || !view || !page)
        return;
    const int index = page->GetPageIndex();
    if (index >= 0)
        annots->UpdatePage(index, view->CreateAnnotViewData(index));
}

} // namespace ReaderPanels
