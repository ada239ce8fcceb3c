#include "reader/formofdfile.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmlattachments.h"
#include "reader/formofd.h"

namespace {
bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
} // namespace

FormOfdFile::FormOfdFile(QWidget *parent) : FormOfdPanel(QtHelper::fromString("附件"), parent)
{
    setObjectName(QStringLiteral("FormOfdFile"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeWidgetFile"));
    m_tree->setRootIsDecorated(false);
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setHeaderLabels({QtHelper::fromString("名称"), QtHelper::fromString("格式"),
                             QtHelper::fromString("大小"), QtHelper::fromString("创建时间")});
    ContentLayout()->addWidget(m_tree, 1);

    auto *buttons = new QHBoxLayout();
    buttons->setContentsMargins(6, 6, 6, 6);
    m_openButton = new QPushButton(QtHelper::fromString("打开"), this);
    m_openButton->setObjectName(QStringLiteral("pushButtonOpenAttachment"));
    m_saveButton = new QPushButton(QtHelper::fromString("保存"), this);
    m_saveButton->setObjectName(QStringLiteral("pushButtonSaveAttachment"));
    buttons->addStretch(1);
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_saveButton);
    ContentLayout()->addLayout(buttons);

    connect(m_openButton, &QPushButton::clicked, this, &FormOfdFile::OpenCurrent);
    connect(m_saveButton, &QPushButton::clicked, this, &FormOfdFile::SaveCurrent);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *, int) { OpenCurrent(); });
}

FormOfdFile::~FormOfdFile() = default;

OfdFile *FormOfdFile::GetDocument() const
{
    return m_form ? m_form->GetOfdFile() : nullptr;
}

void FormOfdFile::ShowAttachments(FormOfd *form)
{
    m_tree->clear();
    m_form = form;
    OfdFile *file = GetDocument();
    OfdXmlAttachments *attachments = file ? file->GetAttachmentInfoGroup() : nullptr;
    if (!attachments)
        return;
    for (const OfdAttachmentInfo &info : attachments->GetAttachments()) {
        auto *item = new QTreeWidgetItem(m_tree);
        item->setText(0, info.name);
        item->setToolTip(0, info.name);
        item->setText(1, info.format);
        item->setText(2, info.size > 0 ? QStringLiteral("%1 KB").arg(info.size, 0, 'f', 1) : QString());
        item->setText(3, info.creationDate.isValid()
                             ? info.creationDate.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                             : QString());
    }
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    m_tree->resizeColumnToContents(0);
}

int FormOfdFile::GetAttachmentCount() const
{
    return m_tree->topLevelItemCount();
}

const OfdAttachmentInfo *FormOfdFile::GetInfo(int row) const
{
    OfdFile *file = GetDocument();
    OfdXmlAttachments *attachments = file ? file->GetAttachmentInfoGroup() : nullptr;
    if (!attachments || row < 0 || row >= attachments->GetCount())
        return nullptr;
    return &attachments->GetAttachments()[row];
}

QByteArray FormOfdFile::GetAttachmentData(int row) const
{
    const OfdAttachmentInfo *info = GetInfo(row);
    OfdFile *file = GetDocument();
    return info && file ? file->GetOfdFileContent(info->fileLoc) : QByteArray();
}

QString FormOfdFile::SaveAttachment(int row, const QString &dir)
{
    const OfdAttachmentInfo *info = GetInfo(row);
    if (!info || dir.isEmpty())
        return QString();
    const QByteArray bytes = GetAttachmentData(row);
    if (bytes.isEmpty())
        return QString();
    const QString path = QDir(dir).filePath(OfdXmlAttachments::SafeFileName(*info));
    return WriteBytes(path, bytes) ? path : QString();
}

bool FormOfdFile::SaveAttachmentAs(int row, const QString &path)
{
    const QByteArray bytes = GetAttachmentData(row);
    return !bytes.isEmpty() && !path.isEmpty() && WriteBytes(path, bytes);
}

QString FormOfdFile::ExtractToTemp(int row)
{
    if (!m_tempDir) {
        m_tempDir = std::make_unique<QTemporaryDir>();
        if (!m_tempDir->isValid()) {
            m_tempDir.reset();
            return QString();
        }
    }
    return SaveAttachment(row, m_tempDir->path());
}

bool FormOfdFile::OpenAttachment(int row)
{
    const QString path = ExtractToTemp(row);
    return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void FormOfdFile::OpenCurrent()
{
    const int row = m_tree->indexOfTopLevelItem(m_tree->currentItem());
    if (row < 0)
        return;
    if (!OpenAttachment(row))
        QMessageBox::warning(this, QtHelper::fromString("警告"), QtHelper::fromString("打开附件失败！"),
                             QMessageBox::Ok);
}

void FormOfdFile::SaveCurrent()
{
    const int row = m_tree->indexOfTopLevelItem(m_tree->currentItem());
    const OfdAttachmentInfo *info = GetInfo(row);
    if (!info)
        return;
    const QString suggested = QDir(QDir::homePath()).filePath(OfdXmlAttachments::SafeFileName(*info));
    const QString path = QFileDialog::getSaveFileName(this, QtHelper::fromString("保存附件"), suggested);
    if (path.isEmpty())
        return;
    if (!SaveAttachmentAs(row, path))
        QMessageBox::warning(this, QtHelper::fromString("警告"),
                             QtHelper::fromString("保存附件失败！%1").arg(path), QMessageBox::Ok);
}
