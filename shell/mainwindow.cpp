#include "shell/mainwindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "model/package/ofdfilereader.h"
#include "shell/fileinforecord.h"
#include "shell/packageview.h"

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(AppParam::GetAppDisplayName());
    resize(1200, 800);

    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->installEventFilter(this);
    auto *titleLayout = new QHBoxLayout(m_titleBar);
    titleLayout->setContentsMargins(10, 4, 4, 4);
    auto *title = new QLabel(AppParam::GetAppDisplayName(), m_titleBar);
    titleLayout->addWidget(title);
    titleLayout->addStretch();
    auto *closeButton = new QToolButton(m_titleBar);
    closeButton->setText(QStringLiteral("\u00d7"));
    closeButton->setToolTip(QtHelper::fromString("关闭"));
    connect(closeButton, &QToolButton::clicked, this, &QWidget::close);
    titleLayout->addWidget(closeButton);

    m_tabs = new QTabWidget(this);
    m_tabs->setTabsClosable(true);
    auto *home = new QWidget(m_tabs);
    auto *homeLayout = new QVBoxLayout(home);
    auto *openButton = new QPushButton(QtHelper::fromString("打开"), home);
    connect(openButton, &QPushButton::clicked, this, &MainWindow::OpenByDialog);
    homeLayout->addWidget(openButton, 0, Qt::AlignLeft | Qt::AlignTop);
    homeLayout->addStretch();
    m_tabs->addTab(home, QtHelper::fromString("首页"));
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &MainWindow::CloseTab);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_tabs);
}

MainWindow::~MainWindow() = default;

int MainWindow::GetDocumentTabCount() const
{
    int count = 0;
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (qobject_cast<PackageView *>(m_tabs->widget(i)))
            ++count;
    }
    return count;
}

void MainWindow::OpenNewFile(const QString &path, HomeWidget *from)
{
    Q_UNUSED(from);
    for (int i = 0; i < m_tabs->count(); ++i) {
        auto *view = qobject_cast<PackageView *>(m_tabs->widget(i));
        if (view && view->GetFilePath() == path) {
            m_tabs->setCurrentIndex(i);
            return;
        }
    }
    if (path.toLower().endsWith(QLatin1String(".pdf")))
        return;

    QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    if (!reader->Open(path)) {
        QMessageBox::information(this, QStringLiteral("Title"), QtHelper::fromString("打开文件失败！") + path,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        return;
    }
    FileInfoRecord *record = FileInfoRecord::GetInstance();
    record->AddFile(path, QDateTime::currentDateTime());
    record->SetOpenDir(path);
    record->SaveFile();

    auto *view = new PackageView(reader, m_tabs);
    const int index = m_tabs->addTab(view, QFileInfo(path).completeBaseName());
    m_tabs->setTabToolTip(index, path);
    m_tabs->setCurrentIndex(index);
}

void MainWindow::OpenByDialog()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, QtHelper::fromString("文件对话框！"),
                                                            FileInfoRecord::GetInstance()->GetOpenDir(),
                                                            QtHelper::fromString("OFD文件(*ofd)"));
    for (const QString &file : files)
        OpenNewFile(file, nullptr);
}

void MainWindow::CloseTab(int index)
{
    QWidget *page = m_tabs->widget(index);
    if (!qobject_cast<PackageView *>(page))
        return; // the home tab stays
    m_tabs->removeTab(index);
    delete page;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_titleBar)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragOffset = mouse->globalPos() - frameGeometry().topLeft();
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging && !isMaximized())
            move(static_cast<QMouseEvent *>(event)->globalPos() - m_dragOffset);
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    case QEvent::MouseButtonDblClick:
        isMaximized() ? showNormal() : showMaximized();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
