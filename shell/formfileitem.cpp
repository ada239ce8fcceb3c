#include "shell/formfileitem.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "widgets/clickablelabel.h"

FormFileItem::FormFileItem(int number, const QString &fullPath, const QDateTime &lastReadTime,
                           QWidget *parent)
    : QWidget(parent), m_fullPath(fullPath)
{
    setObjectName(QStringLiteral("FormFileItem"));
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setToolTip(fullPath);
    setFixedHeight(52);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 4, 12, 4);
    layout->setSpacing(10);

    m_number = new QLabel(QString::number(number), this);
    m_number->setObjectName(QStringLiteral("labelIndex"));
    m_number->setAlignment(Qt::AlignCenter);

    const QFileInfo info(fullPath);
    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    m_fileName = new ClickableLabel(info.fileName(), this);
    m_fileName->setObjectName(QStringLiteral("labelFileName"));
    m_folder = new QLabel(QDir::toNativeSeparators(info.absolutePath()), this);
    m_folder->setObjectName(QStringLiteral("labelFileTime"));
    m_folder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    names->addWidget(m_fileName);
    names->addWidget(m_folder);

    m_time = new QLabel(lastReadTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), this);
    m_time->setObjectName(QStringLiteral("labelFileTime"));

    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("pushButtonItemClose"));
    m_closeButton->setToolTip(QtHelper::fromString("从列表中删除"));
    m_closeButton->setCursor(Qt::ArrowCursor);
    m_closeButton->setFocusPolicy(Qt::NoFocus);

    layout->addWidget(m_number);
    layout->addLayout(names, 1);
    layout->addWidget(m_time);
    layout->addWidget(m_closeButton);

    connect(m_fileName, &ClickableLabel::clicked, this, [this]() { emit SignalOpenFile(m_fullPath); });
    connect(m_closeButton, &QPushButton::clicked, this, [this]() { emit SignalDeleteFile(m_fullPath); });
}

QString FormFileItem::GetNumberText() const
{
    return m_number->text();
}

QString FormFileItem::GetFileNameText() const
{
    return m_fileName->text();
}

QString FormFileItem::GetTimeText() const
{
    return m_time->text();
}

void FormFileItem::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
        emit SignalOpenFile(m_fullPath);
}
