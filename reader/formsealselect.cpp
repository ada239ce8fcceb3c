#include "reader/formsealselect.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "render/ofdvisualitemsignseal.h"
#include "sign/oesv2helper.h"

namespace {
const int kIconSize = 72;

QIcon SealIcon(const OES_SealInfoEx &seal)
{
    QImage image;
    if (!seal.pictureData.isEmpty())
        image = QImage::fromData(seal.pictureData);
    if (image.isNull())
        image = OfdVisualItemSignSeal::CreateDefaultSealImage(QSizeF(kIconSize, kIconSize), seal.sealName);
    return QIcon(QPixmap::fromImage(
        image.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
} // namespace

FormSealSelect::FormSealSelect(QWidget *parent) : QDialog(parent)
{
    BuildForm();
    LoadProviderSeals();
}

FormSealSelect::FormSealSelect(const QList<QSharedPointer<OES_SealInfoEx>> &seals, QWidget *parent)
    : QDialog(parent)
{
    BuildForm();
    SetSealList(seals);
}

FormSealSelect::~FormSealSelect() = default;

void FormSealSelect::BuildForm()
{
    setObjectName(QStringLiteral("FormSealSelect"));
    setWindowTitle(QtHelper::fromString("印章选择"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(420, 360);

    auto *layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("sealList"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(kIconSize, kIconSize));
    m_list->setGridSize(QSize(kIconSize + 48, kIconSize + 40));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setWordWrap(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_list);

    m_buttons = new QDialogButtonBox(this);
    m_buttons->addButton(QtHelper::fromString("确定"), QDialogButtonBox::AcceptRole);
    m_buttons->addButton(QtHelper::fromString("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &FormSealSelect::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FormSealSelect::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FormSealSelect::OnItemDoubleClicked);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int) { UpdateButtons(); });
    UpdateButtons();
}

bool FormSealSelect::LoadProviderSeals()
{
    OESV2Helper helper;
    m_providerFailed = !helper.LoadDll_KingGrid();
    if (m_providerFailed) {
        SetSealList(QList<QSharedPointer<OES_SealInfoEx>>());
        QMessageBox::warning(
            this, QtHelper::fromString("警告"),
            QtHelper::fromString("加载OES DLL失败！路径:%1").arg(OESV2Helper::GetOESDllPath_KingGrid()),
            QMessageBox::Ok);
        return false;
    }
    SetSealList(helper.GetSealListEx());
    return true;
}

void FormSealSelect::SetSealList(const QList<QSharedPointer<OES_SealInfoEx>> &seals)
{
    m_seals.clear();
    m_selected.reset();
    m_list->clear();
    for (const QSharedPointer<OES_SealInfoEx> &seal : seals) {
        if (!seal)
            continue;
        m_seals.append(seal);
        auto *item = new QListWidgetItem(SealIcon(*seal), seal->sealName, m_list);
        item->setToolTip(seal->sealName);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (!m_seals.isEmpty())
        m_list->setCurrentRow(0);
    UpdateButtons();
}

void FormSealSelect::UpdateButtons()
{
    const QList<QAbstractButton *> buttons = m_buttons->buttons();
    for (QAbstractButton *button : buttons) {
        if (m_buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
            button->setEnabled(m_list->currentRow() >= 0);
    }
}

void FormSealSelect::OnItemDoubleClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    m_list->setCurrentItem(item);
    accept();
}

void FormSealSelect::accept()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_seals.size())
        return;
    m_selected = m_seals.at(row);
    QDialog::accept();
}
