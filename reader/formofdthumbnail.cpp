#include "reader/formofdthumbnail.h"

#include <QVBoxLayout>

#include "app/qthelper.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formofdpagecolumn.h"

FormOfdThumbnail::FormOfdThumbnail(QWidget *parent) : FormOfdPanel(QtHelper::fromString("缩略图"), parent)
{
    setObjectName(QStringLiteral("FormOfdThumbnail"));
    m_column = new FormOfdPageColumn(this);
    m_column->setObjectName(QStringLiteral("scrollAreaThumbnail"));
    connect(m_column, &FormOfdPageColumn::SignalPagePressed, this, &FormOfdThumbnail::OnThumbnailPress);
    ContentLayout()->addWidget(m_column);
}

void FormOfdThumbnail::ShowThumbnail(FormOfd *form, int width)
{
    if (m_form)
        disconnect(m_form, nullptr, this, nullptr);
    m_form = form;
    if (!form) {
        m_column->SetPages(0, nullptr, nullptr, EN_OfdPageType_Thumbnail, width);
        return;
    }
    // The view's scenes, built when a thumbnail comes into sight; nothing once the view is gone.
    QPointer<FormOfd> guarded(form);
    m_column->SetPages(
        form->GetPageCount(),
        [guarded](int index) { return guarded ? guarded->GetPageRealSize(index) : QSizeF(); },
        [guarded](int index) { return guarded ? guarded->AcquireScene(index) : nullptr; },
        EN_OfdPageType_Thumbnail, width);
    connect(form, &FormOfd::EventPageIndexChanged, this,
            [this](FormOfd *, int index) { SetCurrentPage(index); });
    SetCurrentPage(form->GetCurShowPageIndex());
}

int FormOfdThumbnail::GetThumbnailCount() const
{
    return m_column->GetPageCount();
}

FormOfdPage *FormOfdThumbnail::GetThumbnail(int index) const
{
    return m_column->GetPage(index);
}

int FormOfdThumbnail::GetLiveThumbnailCount() const
{
    return m_column->GetLivePageCount();
}

void FormOfdThumbnail::SetCurrentPage(int index)
{
    if (m_column->GetMarkedPage() == index)
        return;
    m_column->SetMarkedPage(index);
    m_column->EnsurePageVisible(index);
}

void FormOfdThumbnail::OnThumbnailPress(int index)
{
    if (index < 0 || index >= m_column->GetPageCount())
        return;
    SetCurrentPage(index);
    if (m_form)
        m_form->ScrollToPage(index);
    emit SignalPageClicked(index);
}
