#include "shell/pagetabbar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVariant>

#include "app/qthelper.h"
#include "widgets/commonutils.h"
#include "widgets/tabbutton.h"

PageTabBar::PageTabBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PageTabBar"));
    CommonUtils::loadStyleSheet(this, QStringLiteral("PageBar"));
    CommonUtils::loadStyleSheet(this, QStringLiteral("TabButton"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(36);

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_scrollLeft = new QPushButton(QStringLiteral("<"), this);
    m_scrollLeft->setObjectName(QStringLiteral("scrollLeftButton"));
    m_scrollRight = new QPushButton(QStringLiteral(">"), this);
    m_scrollRight->setObjectName(QStringLiteral("scrollRightButton"));
    for (QPushButton *button : {m_scrollLeft, m_scrollRight}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(20, 28);
        button->hide();
    }
    connect(m_scrollLeft, &QPushButton::clicked, this, [this]() { ScrollBy(-200); });
    connect(m_scrollRight, &QPushButton::clicked, this, [this]() { ScrollBy(200); });

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("tabScrollArea"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_scrollArea->setFixedHeight(36);
    m_container = new QWidget(m_scrollArea);
    m_container->setObjectName(QStringLiteral("tabContainer"));
    m_tabLayout = new QHBoxLayout(m_container);
    m_tabLayout->setContentsMargins(4, 0, 0, 0);
    m_tabLayout->setSpacing(0);
    m_tabLayout->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    m_scrollArea->setWidget(m_container);

    m_addButton = new QPushButton(this);
    m_addButton->setObjectName(QStringLiteral("addTabButton"));
    m_addButton->setFocusPolicy(Qt::NoFocus);
    m_addButton->setToolTip(QtHelper::fromString("新建首页"));
    connect(m_addButton, &QPushButton::clicked, this, &PageTabBar::SignalAddTab);

    layout->addWidget(m_scrollLeft);
    layout->addWidget(m_scrollArea, 1);
    layout->addWidget(m_scrollRight);
    layout->addWidget(m_addButton, 0, Qt::AlignVCenter);
    layout->addStretch(1); // empty room of the title row: it moves the window
}

void PageTabBar::AddTabButton(TabButton *button)
{
    if (!button || m_buttons.contains(button))
        return;
    m_buttons.append(button);
    m_group->addButton(button);
    m_tabLayout->addWidget(button);
    button->show();
    connect(button, &TabButton::SignalClicked, this, &PageTabBar::SignalTabClicked);
    connect(button, &TabButton::SignalClose, this, &PageTabBar::SignalTabClose);
    QTimer::singleShot(0, this, &PageTabBar::UpdateScrollButtons);
}

void PageTabBar::RemoveTabButton(TabButton *button)
{
    if (!m_buttons.removeOne(button))
        return;
    m_group->removeButton(button);
    m_tabLayout->removeWidget(button);
    disconnect(button, nullptr, this, nullptr);
    button->hide();
    button->setParent(nullptr);
    QTimer::singleShot(0, this, &PageTabBar::UpdateScrollButtons);
}

void PageTabBar::SetCurrentTab(TabButton *button)
{
    if (!button || !m_buttons.contains(button))
        return;
    button->setChecked(true);
    QTimer::singleShot(0, this, [this, button]() {
        if (m_buttons.contains(button))
            EnsureVisible(button);
    });
}

TabButton *PageTabBar::GetCurrentTab() const
{
    return qobject_cast<TabButton *>(m_group->checkedButton());
}

TabButton *PageTabBar::FindTab(int fileId) const
{
    for (TabButton *button : m_buttons) {
        if (button->property("fileId").toInt() == fileId)
            return button;
    }
    return nullptr;
}

void PageTabBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UpdateScrollButtons();
}

void PageTabBar::UpdateScrollButtons()
{
    int needed = m_tabLayout->contentsMargins().left();
    for (TabButton *button : m_buttons)
        needed += button->width();
    // The strip takes the room its tabs need, up to the room the bar has.
    const int room = width() - m_addButton->width() - 2 * m_scrollLeft->width();
    const bool overflow = needed > width() - m_addButton->width();
    m_scrollLeft->setVisible(overflow);
    m_scrollRight->setVisible(overflow);
    m_scrollArea->setMaximumWidth(overflow ? qMax(0, room) : needed);
}

void PageTabBar::ScrollBy(int dx)
{
    QScrollBar *bar = m_scrollArea->horizontalScrollBar();
    bar->setValue(bar->value() + dx);
}

void PageTabBar::EnsureVisible(TabButton *button)
{
    m_scrollArea->ensureWidgetVisible(button, 0, 0);
}
