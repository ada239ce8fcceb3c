#include "widgets/tabbutton.h"

#include <QHBoxLayout>
#include <QLabel>

TabButton::TabButton(QWidget *parent) : QPushButton(parent)
{
    setObjectName(QStringLiteral("TabButton"));
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 6, 0);
    layout->setSpacing(6);
    m_iconLabel = new QLabel(this);
    m_iconLabel->setObjectName(QStringLiteral("tabIcon"));
    m_iconLabel->setFixedSize(16, 16);
    m_iconLabel->setScaledContents(true);
    m_iconLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_textLabel = new QLabel(this);
    m_textLabel->setObjectName(QStringLiteral("tabText"));
    m_textLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_textLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("tabCloseButton"));
    m_closeButton->setFixedSize(16, 16);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setCursor(Qt::ArrowCursor);
    layout->addWidget(m_iconLabel);
    layout->addWidget(m_textLabel, 1);
    layout->addWidget(m_closeButton);

    connect(m_closeButton, &QPushButton::clicked, this, [this]() { emit SignalClose(this); });
    connect(this, &QPushButton::clicked, this, [this]() { emit SignalClicked(this); });
}

void TabButton::SetText(const QString &text)
{
    m_text = text;
    setToolTip(text);
    UpdateElidedText();
}

void TabButton::SetIcon(const QPixmap &icon)
{
    m_iconLabel->setPixmap(icon);
    m_iconLabel->setVisible(!icon.isNull());
}

void TabButton::SetCloseable(bool closeable)
{
    m_closeButton->setVisible(closeable);
}

bool TabButton::IsCloseable() const
{
    return !m_closeButton->isHidden();
}

void TabButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    UpdateElidedText();
}

void TabButton::UpdateElidedText()
{
    const int width = qMax(0, m_textLabel->width());
    m_textLabel->setText(m_textLabel->fontMetrics().elidedText(m_text, Qt::ElideRight, width));
}
