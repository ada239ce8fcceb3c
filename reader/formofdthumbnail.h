#pragma once

#include <QList>
#include <QPointer>

#include "reader/formofdpanel.h"

class FormOfd;
class FormOfdPage;
class FormOfdPageColumn;

// Thumbnail panel: small page widgets (page type 1) of a document view's pages, showing the view's
// page scenes; clicking one scrolls the view to that page, and the current page is marked. Only
// the thumbnails in sight exist (FormOfdPageColumn).
//
// Interface: ShowThumbnail(FormOfd* form, int width = 200), GetThumbnailCount(), GetThumbnail(i)
// (made on request when out of sight), GetLiveThumbnailCount(), SetCurrentPage(int index); signal
// SignalPageClicked(int pageIndex); SignalClose() (base).
class FormOfdThumbnail : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdThumbnail(QWidget *parent = nullptr);

    // Builds the thumbnails of the view's pages at the given width and follows the view's page.
    void ShowThumbnail(FormOfd *form, int width = 200);
    int GetThumbnailCount() const;
    FormOfdPage *GetThumbnail(int index) const;
    int GetLiveThumbnailCount() const;
    // Marks the thumbnail of the page and brings it into sight.
    void SetCurrentPage(int index);

signals:
    void SignalPageClicked(int pageIndex);

private:
    void OnThumbnailPress(int index);

    QPointer<FormOfd> m_form;
    FormOfdPageColumn *m_column = nullptr;
};
