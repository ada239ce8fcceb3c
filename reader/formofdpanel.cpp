#include "reader/formofdpanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/qthelper.h"

FormOfdPanel::FormOfdPanel(const QString &title, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *titleRow = new QWidget(this);
    titleRow->setObjectName(QStringLiteral("panelTitle"));
    titleRow->setFixedHeight(32);
    titleRow->setStyleSheet(
        QStringLiteral("#panelTitle{background-color:#d8d8d8;border-bottom:1px solid #c8c8c8;}"));
    auto *titleLayout = new QHBoxLayout(titleRow);
    titleLayout->setContentsMargins(8, 0, 4, 0);
    m_title = new QLabel(title, titleRow);
    m_title->setObjectName(QStringLiteral("labelTitle"));
    m_closeButton = new QToolButton(titleRow);
    m_closeButton->setObjectName(QStringLiteral("buttonClose"));
    m_closeButton->setText(QStringLiteral("\u00d7"));
    m_closeButton->setToolTip(QtHelper::fromString("关闭"));
    m_closeButton->setAutoRaise(true);
    titleLayout->addWidget(m_title);
    titleLayout->addStretch(1);
    titleLayout->addWidget(m_closeButton);
    layout->addWidget(titleRow);

    m_content = new QVBoxLayout();
    m_content->setContentsMargins(0, 0, 0, 0);
    m_content->setSpacing(0);
    layout->addLayout(m_content, 1);
    connect(m_closeButton, &QToolButton::clicked, this, &FormOfdPanel::SignalClose);
}

QString FormOfdPanel::GetTitle() const
{
    return m_title->text();
}
