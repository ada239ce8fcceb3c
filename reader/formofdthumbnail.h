#pragma once

#include <QList>
#include <QPointer>

#include "reader/formofdpanel.h"

class FormOfd;
class FormOfdPage;
class QScrollArea;
class QVBoxLayout;

// Thumbnail panel: one small page widget (page type 1) per page of a document view, showing the
// view's page scenes; clicking one scrolls the view to that page, and the current page is marked.
//
// Interface: ShowThumbnail(FormOfd* form, int width = 200), GetThumbnailCount(), GetThumbnail(i),
// SetCurrentPage(int index); signal SignalPageClicked(int pageIndex); SignalClose() (base).
class FormOfdThumbnail : public FormOfdPanel
{
    Q_OBJECT
public:
    explicit FormOfdThumbnail(QWidget *parent = nullptr);

    // Builds the thumbnails of the view's pages at the given width and follows the view's page.
    void ShowThumbnail(FormOfd *form, int width = 200);
    int GetThumbnailCount() const { return m_thumbnails.size(); }
    FormOfdPage *GetThumbnail(int index) const { return m_thumbnails.value(index); }
    // Marks the thumbnail of the page and brings it into sight.
    void SetCurrentPage(int index);

signals:
    void SignalPageClicked(int pageIndex);

private:
    void OnThumbnailPress(FormOfdPage *page);

    QPointer<FormOfd> m_form;
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_contents = nullptr;
    QVBoxLayout *m_list = nullptr;
    QList<FormOfdPage *> m_thumbnails;
};
