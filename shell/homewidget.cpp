#include "shell/homewidget.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "shell/fileinforecord.h"
#include "shell/formfileitem.h"
#include "widgets/commonutils.h"

HomeWidget::HomeWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HomeWidget"));
    setAttribute(Qt::WA_StyledBackground);
    CommonUtils::loadStyleSheet(this, QStringLiteral("MainWindow"));
    CommonUtils::loadStyleSheet(this, QStringLiteral("Scroll"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->setSpacing(40);

    // Left: the program and the open button.
    auto *left = new QVBoxLayout;
    left->setSpacing(14);
    auto *logo = new QLabel(this);
    const QString appIcon = AppParam::AppStatus == 2 ? QStringLiteral(":/MainWindow/Resources/app_lumeno.png")
                                                     : QStringLiteral(":/MainWindow/Resources/app_ofd.png");
    logo->setPixmap(QPixmap(appIcon).scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    logo->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel(AppParam::GetAppDisplayName(), this);
    name->setAlignment(Qt::AlignCenter);
    name->setStyleSheet(QStringLiteral("font-size: 20px; color: #333333;"));
    m_openButton = new QPushButton(QtHelper::fromString("打开文件"), this);
    m_openButton->setObjectName(QStringLiteral("pushButtonOpen"));
    m_openButton->setCursor(Qt::PointingHandCursor);
    auto *hint = new QLabel(QtHelper::fromString("也可以把 .ofd 文件拖到窗口里"), this);
    hint->setAlignment(Qt::AlignCenter);
    hint->setStyleSheet(QStringLiteral("color: #8a9099;"));
    left->addStretch(1);
    left->addWidget(logo);
    left->addWidget(name);
    left->addSpacing(10);
    left->addWidget(m_openButton, 0, Qt::AlignHCenter);
    left->addWidget(hint);
    left->addStretch(2);
    layout->addLayout(left, 2);

    // Right: the recent files.
    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    auto *header = new QHBoxLayout;
    auto *recent = new QLabel(QtHelper::fromString("最近打开"), this);
    recent->setObjectName(QStringLiteral("labelRecent"));
    m_clearButton = new QPushButton(QtHelper::fromString("清空记录"), this);
    m_clearButton->setObjectName(QStringLiteral("pushButtonClear"));
    m_clearButton->setCursor(Qt::PointingHandCursor);
    header->addWidget(recent);
    header->addStretch(1);
    header->addWidget(m_clearButton);
    right->addLayout(header);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listWidget = new QWidget(scroll);
    m_listWidget->setObjectName(QStringLiteral("recentList"));
    m_listLayout = new QVBoxLayout(m_listWidget);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(0);
    m_emptyLabel = new QLabel(QtHelper::fromString("还没有打开过文件"), m_listWidget);
    m_emptyLabel->setStyleSheet(QStringLiteral("color: #9ea4ad; padding: 20px;"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_listLayout->addWidget(m_emptyLabel);
    m_listLayout->addStretch(1);
    scroll->setWidget(m_listWidget);
    right->addWidget(scroll, 1);
    layout->addLayout(right, 3);

    connect(m_openButton, &QPushButton::clicked, this, &HomeWidget::OpenByDialog);
    connect(m_clearButton, &QPushButton::clicked, this, &HomeWidget::ClearRecord);
    RefreshFileList();
}

void HomeWidget::RefreshFileList()
{
    // Items go later: this may run inside a signal of one of them.
    for (FormFileItem *item : m_items) {
        item->hide();
        m_listLayout->removeWidget(item);
        item->deleteLater();
    }
    m_items.clear();
    const QList<FileInfoItem> &files = FileInfoRecord::GetInstance()->GetFileList();
    for (int i = 0; i < files.size(); ++i) {
        auto *item = new FormFileItem(i + 1, files[i].fullPath, files[i].lastReadTime, m_listWidget);
        connect(item, &FormFileItem::SignalOpenFile, this, &HomeWidget::OpenFile);
        connect(item, &FormFileItem::SignalDeleteFile, this, &HomeWidget::DeleteFile);
        m_listLayout->insertWidget(i, item);
        m_items.append(item);
    }
    m_emptyLabel->setVisible(m_items.isEmpty());
    m_clearButton->setEnabled(!m_items.isEmpty());
}

void HomeWidget::OpenFile(const QString &path)
{
    emit SignalOpenFile(path, m_default ? nullptr : this);
}

void HomeWidget::OpenByDialog()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, QtHelper::fromString("文件对话框！"),
                                                            FileInfoRecord::GetInstance()->GetOpenDir(),
                                                            QtHelper::fromString("OFD文件(*ofd)"));
    // A non-default home page gives its tab to the first file; the others get tabs of their own.
    bool first = true;
    for (const QString &file : files) {
        emit SignalOpenFile(file, m_default || !first ? nullptr : this);
        first = false;
    }
}

void HomeWidget::DeleteFile(const QString &path)
{
    FileInfoRecord::GetInstance()->DeleteFile(path, true);
    RefreshFileList();
}

void HomeWidget::ClearRecord()
{
    FileInfoRecord::GetInstance()->ClearRecord(true);
    RefreshFileList();
}
