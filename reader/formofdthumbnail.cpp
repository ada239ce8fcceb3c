#include "reader/formofdthumbnail.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"

FormOfdThumbnail::FormOfdThumbnail(QWidget *parent) : FormOfdPanel(QtHelper::fromString("缩略图"), parent)
{
    setObjectName(QStringLiteral("FormOfdThumbnail"));
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollAreaThumbnail"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->verticalScrollBar()->setStyleSheet(QtHelper::GetScrollBarVerticalQss());
    m_contents = new QWidget();
    m_contents->setObjectName(QStringLiteral("thumbnailContents"));
    m_list = new QVBoxLayout(m_contents);
    m_list->setContentsMargins(0, 10, 0, 10);
    m_list->setSpacing(4);
    m_scrollArea->setWidget(m_contents);
    ContentLayout()->addWidget(m_scrollArea);
}

void FormOfdThumbnail::ShowThumbnail(FormOfd *form, int width)
{
    if (m_form)
        disconnect(m_form, nullptr, this, nullptr);
    while (QLayoutItem *item = m_list->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_thumbnails.clear();
    m_form = form;
    if (!form)
        return;
    const QList<OfdPageScene *> scenes = form->GetPageSceneList();
    for (int i = 0; i < scenes.size(); ++i) {
        auto *page = new FormOfdPage(m_contents);
        page->SetPageType(EN_OfdPageType_Thumbnail);
        page->SetPageScene(scenes[i]);
        page->SetPageIndex(i);
        page->ShowPageViewByWidth(width);
        connect(page, &FormOfdPage::SignalMousePress, this, &FormOfdThumbnail::OnThumbnailPress);
        m_list->addWidget(page, 0, Qt::AlignHCenter);
        auto *number = new QLabel(QString::number(i + 1), m_contents);
        number->setAlignment(Qt::AlignHCenter);
        m_list->addWidget(number, 0, Qt::AlignHCenter);
        m_thumbnails.append(page);
    }
    m_list->addStretch(1);
    connect(form, &FormOfd::EventPageIndexChanged, this,
            [this](FormOfd *, int index) { SetCurrentPage(index); });
    SetCurrentPage(form->GetCurShowPageIndex());
}

void FormOfdThumbnail::SetCurrentPage(int index)
{
    for (int i = 0; i < m_thumbnails.size(); ++i)
        m_thumbnails[i]->ShowSelectFlag(i == index);
    if (FormOfdPage *page = GetThumbnail(index))
        m_scrollArea->ensureWidgetVisible(page, 0, 20);
}

void FormOfdThumbnail::OnThumbnailPress(FormOfdPage *page)
{
    const int index = m_thumbnails.indexOf(page);
    if (index < 0)
        return;
    SetCurrentPage(index);
    if (m_form)
        m_form->ScrollToPage(index);
    emit SignalPageClicked(index);
}
