#include "widgets/appdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "widgets/commonutils.h"
#include "widgets/framelesshelper.h"

AppDialog::AppDialog(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AppDialog"));
    CommonUtils::loadStyleSheet(this, QStringLiteral("CommonWindow"));
    setStyleSheet(styleSheet() + QStringLiteral("\nQDialog#AppDialog { border: 1px solid #c9ced6; }"
                                                "\nQPushButton#closeButton { image: "
                                                "url(:/MainWindow/Resources/btn_close_normal.png); }"
                                                "\nQPushButton#closeButton:hover { image: "
                                                "url(:/MainWindow/Resources/btn_close_highlight.png); }"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);

    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->setAttribute(Qt::WA_StyledBackground);
    auto *titleLayout = new QHBoxLayout(m_titleBar);
    titleLayout->setContentsMargins(8, 0, 0, 0);
    titleLayout->setSpacing(4);
    auto *icon = new QLabel(m_titleBar);
    icon->setObjectName(QStringLiteral("titleIcon"));
    m_titleLabel = new QLabel(m_titleBar);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_closeButton = new QPushButton(m_titleBar);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    titleLayout->addWidget(icon);
    titleLayout->addWidget(m_titleLabel, 1);
    titleLayout->addWidget(m_closeButton);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(m_titleBar);

    auto *content = new QWidget(this);
    m_contentLayout = new QVBoxLayout(content);
    m_contentLayout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(content, 1);

    auto *helper = new FramelessHelper(this);
    helper->SetBorderWidth(0);
    helper->SetTitleBar(m_titleBar);
}

void AppDialog::SetTitle(const QString &title)
{
    m_titleLabel->setText(title);
    setWindowTitle(title);
}

QString AppDialog::GetTitle() const
{
    return m_titleLabel->text();
}

AppAboutDialog::AppAboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AppAboutDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    CommonUtils::loadStyleSheet(this, QStringLiteral("CommonWindow"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(8);
    m_logo = new QLabel(this);
    m_logo->setAlignment(Qt::AlignCenter);
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("labelAboutName"));
    m_name->setAlignment(Qt::AlignCenter);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("labelAboutVersion"));
    m_version->setAlignment(Qt::AlignCenter);
    m_text = new QLabel(this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    auto *ok = new QPushButton(QtHelper::fromString("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    layout->addWidget(m_logo);
    layout->addWidget(m_name);
    layout->addWidget(m_version);
    layout->addWidget(m_text);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setMinimumWidth(340);
}

void AppAboutDialog::SetInfo(const QPixmap &logo, const QString &name, const QString &version,
                             const QString &text)
{
    m_logo->setPixmap(logo);
    m_logo->setVisible(!logo.isNull());
    m_name->setText(name);
    m_version->setText(version);
    m_text->setText(text);
    setWindowTitle(name);
}

QString AppAboutDialog::GetName() const
{
    return m_name->text();
}
