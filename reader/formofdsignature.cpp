#include "reader/formofdsignature.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "model/document/ofdfile.h"
#include "reader/formofd.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace {
const int kSignatureRole = Qt::UserRole + 1;

QColor LevelColour(int level)
{
    switch (level) {
    case OfdSignatureVerdict::Level_Trusted:
        return QColor(30, 130, 50);
    case OfdSignatureVerdict::Level_Untrusted:
        return QColor(180, 120, 0);
    case OfdSignatureVerdict::Level_Failed:
        return QColor(200, 30, 30);
    default:
        return QColor(110, 110, 110);
    }
}

QString CheckStateText(int state)
{
    switch (state) {
    case OfdSignatureCheck::State_Passed:
        return QtHelper::fromString("通过");
    case OfdSignatureCheck::State_Failed:
        return QtHelper::fromString("未通过");
    case OfdSignatureCheck::State_Untrusted:
        return QtHelper::fromString("未受信任");
    default:
        return QtHelper::fromString("无法检查");
    }
}
} // namespace

FormOfdSignature::FormOfdSignature(QWidget *parent) : FormOfdPanel(QtHelper::fromString("签章"), parent)
{
    setObjectName(QStringLiteral("FormOfdSignature"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeWidgetSignature"));
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setColumnCount(Column_Count);
    QStringList labels;
    labels.reserve(Column_Count);
    for (int column = 0; column < Column_Count; ++column)
        labels << QString();
    labels[Column_Seal] = QtHelper::fromString("印章名称");
    labels[Column_Verdict] = QtHelper::fromString("验证结果");
    labels[Column_Signer] = QtHelper::fromString("签章人");
    labels[Column_Time] = QtHelper::fromString("签章时间");
    labels[Column_Standard] = QtHelper::fromString("签章标准");
    m_tree->setHeaderLabels(labels);
    m_tree->header()->setStretchLastSection(true);
    ContentLayout()->addWidget(m_tree, 1);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) { ShowItem(item); });
}

void FormOfdSignature::ShowSignatures(FormOfd *form)
{
    m_form = form;
    m_tree->clear();
    OfdFile *document = form ? form->GetOfdFile() : nullptr;
    auto *list = document ? dynamic_cast<OfdXmlSignatureManage *>(document->GetSignatures()) : nullptr;
    if (!list || list->GetSignatures().isEmpty()) {
        auto *none = new QTreeWidgetItem(m_tree, {QtHelper::fromString("文件没有签章信息")});
        none->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (OfdXmlSignature *signature : list->GetSignatures()) {
        const OfdSignatureVerdict &verdict = signature->GetVerdict();
        QString seal = verdict.GetSealName();
        if (seal.isEmpty())
            seal = QtHelper::fromString(signature->GetSignatureType() == QLatin1String("Sign") ? "数字签名"
                                                                                               : "签章");
        if (GetStampPage(signature) < 0)
            seal += QtHelper::fromString("（未在页面上显示）");
        auto *row = new QTreeWidgetItem(m_tree);
        row->setText(Column_Seal, seal);
        row->setText(Column_Verdict, verdict.GetText());
        row->setText(Column_Signer, verdict.GetSigner());
        row->setText(Column_Time, verdict.GetSignTime());
        row->setText(Column_Standard, verdict.GetStandard());
        row->setData(Column_Seal, kSignatureRole, QVariant::fromValue(static_cast<void *>(signature)));
        row->setForeground(Column_Verdict, LevelColour(verdict.GetLevel()));
        if (!verdict.GetReason().isEmpty()) {
            row->setToolTip(Column_Seal, verdict.GetReason());
            row->setToolTip(Column_Verdict, verdict.GetReason());
        }
        for (const OfdSignatureCheck &check : verdict.GetChecks()) {
            auto *child = new QTreeWidgetItem(row);
            child->setText(Column_Seal, check.name);
            child->setText(Column_Verdict, CheckStateText(check.state));
            child->setText(Column_Signer, check.detail);
            if (check.state == OfdSignatureCheck::State_Failed)
                child->setForeground(Column_Verdict, LevelColour(OfdSignatureVerdict::Level_Failed));
            child->setToolTip(Column_Signer, check.detail);
            child->setData(Column_Seal, kSignatureRole, row->data(Column_Seal, kSignatureRole));
            child->setFirstColumnSpanned(false);
        }
        // Rows that did not pass open on their checks.
        row->setExpanded(verdict.GetLevel() != OfdSignatureVerdict::Level_Trusted);
    }
    for (int column = 0; column < Column_Count - 1; ++column)
        m_tree->resizeColumnToContents(column);
    // A long seal name must not push the verdict out of a narrow side bar.
    const int room = m_tree->viewport()->width();
    if (room > 0 && m_tree->columnWidth(Column_Seal) > room / 2)
        m_tree->setColumnWidth(Column_Seal, qMax(120, room / 2));
}

OfdXmlSignature *FormOfdSignature::GetSignature(const QTreeWidgetItem *item) const
{
    return item ? static_cast<OfdXmlSignature *>(item->data(Column_Seal, kSignatureRole).value<void *>())
                : nullptr;
}

int FormOfdSignature::GetStampPage(OfdXmlSignature *signature) const
{
    OfdFile *document = m_form ? m_form->GetOfdFile() : nullptr;
    if (!signature || !document)
        return -1;
    for (const OfdSignatureStampAnnot &stamp : signature->GetStampAnnots()) {
        bool ok = false;
        const int id = stamp.pageRef.trimmed().toInt(&ok);
        const int index = ok ? document->GetPageIndex(id) : -1;
        if (index >= 0)
            return index;
    }
    return -1;
}

void FormOfdSignature::ShowItem(const QTreeWidgetItem *item)
{
    const int page = GetStampPage(GetSignature(item));
    if (m_form && page >= 0)
        m_form->ScrollToPage(page);
}
