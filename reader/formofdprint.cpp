#include "reader/formofdprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>

#include "app/qthelper.h"
#include "reader/formofdpage.h"
#include "reader/formofdpagecolumn.h"
#include "reader/formofdprintui.h"
#include "render/ofdpagescene.h"
#include "render/ofdvisualitemsignseal.h"

namespace {
// The printer of the last print job; lives for the run, never stored.
QString &LastPrinterName()
{
    static QString name;
    return name;
}

// Width in pixels of a page preview.
constexpr double kPreviewWidth = 550;
} // namespace

FormOfdPrint::FormOfdPrint(QWidget *parent) : QDialog(parent), m_ui(new Ui_FormOfdPrint)
{
    auto *inner = new QWidget(this);
    m_ui->setupUi(inner);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inner);
    resize(976, 594);
    setWindowTitle(QtHelper::fromString("OFD文件打印"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->scrollArea->verticalScrollBar()->setStyleSheet(QtHelper::GetScrollBarVerticalQss());
    m_ui->scrollArea->horizontalScrollBar()->setStyleSheet(QtHelper::GetScrollBarhorizontalQss());
}

FormOfdPrint::~FormOfdPrint()
{
    delete m_ui;
}

QString FormOfdPrint::GetLastPrinterName()
{
    return LastPrinterName();
}

void FormOfdPrint::SetOfdView(QList<OfdPageScene *> &scenes)
{
    if (m_scenes == scenes && m_count == scenes.size())
        return;
    m_scenes = scenes;
    m_count = scenes.size();
    m_sceneOf = [this](int index) { return m_scenes.value(index); };
    m_sizeOf = [this](int index) {
        OfdPageScene *scene = m_scenes.value(index);
        return scene ? QSizeF(scene->GetPageWidthPixel(), scene->GetPageHeightPixel()) : QSizeF();
    };
}

void FormOfdPrint::SetSceneProvider(int count, const SizeProvider &size, const SceneProvider &scene)
{
    m_scenes.clear();
    m_count = qMax(0, count);
    m_sizeOf = size;
    m_sceneOf = scene;
}

FormOfdPage *FormOfdPrint::GetPreviewPage(int index) const
{
    return m_column ? m_column->GetPage(index) : nullptr;
}

int FormOfdPrint::GetLivePreviewCount() const
{
    return m_column ? m_column->GetLivePageCount() : 0;
}

int FormOfdPrint::RangeNumber(const QString &text) const
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return qBound(1, ok ? number : 1, qMax(1, m_count));
}

void FormOfdPrint::Init()
{
    CreateOfdView();

    const QStringList printers = QPrinterInfo::availablePrinterNames();
    m_ui->comboBoxPrinterName->clear();
    m_ui->comboBoxPrinterName->addItems(printers);
    const QString last = LastPrinterName();
    if (!last.isEmpty() && printers.contains(last))
        m_ui->comboBoxPrinterName->setCurrentIndex(printers.indexOf(last));
    else
        m_ui->comboBoxPrinterName->setCurrentIndex(printers.indexOf(QPrinterInfo::defaultPrinterName()));

    m_ui->comboBoxCopyCount->clear();
    for (int i = 1; i <= 100; ++i)
        m_ui->comboBoxCopyCount->addItem(QString::number(i));
    m_ui->comboBoxCopyCount->setCurrentIndex(0);
    m_ui->radioButtonPageRangAll->setChecked(true);

    // The range boxes take a typed page number (1 to N); their lists hold only the first and the
    // last page, whatever the length of the document.
    for (QComboBox *box : {m_ui->comboBoxPageStart, m_ui->comboBoxPageEnd}) {
        box->clear();
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setValidator(new QIntValidator(1, qMax(1, m_count), box));
        if (m_count > 0)
            box->addItem(QStringLiteral("1"));
        if (m_count > 1)
            box->addItem(QString::number(m_count));
    }
    m_ui->comboBoxPageStart->setCurrentIndex(0);
    m_ui->comboBoxPageEnd->setCurrentIndex(m_ui->comboBoxPageEnd->count() - 1);

    connect(m_ui->pushButtonOk, &QPushButton::clicked, this, &FormOfdPrint::PrintOfd);
    connect(m_ui->pushButtonCancel, &QPushButton::clicked, this, &FormOfdPrint::close);
    connect(m_ui->checkBoxPrintPageNum, &QCheckBox::stateChanged, this,
            [this](int) { ShowPageNum(m_ui->checkBoxPrintPageNum->isChecked()); });
    connect(m_ui->checkBoxPrintByPageIndex, &QCheckBox::stateChanged, this,
            [this](int) { ShowPrintType(m_ui->checkBoxPrintByPageIndex->isChecked()); });
    ShowPrintType(m_ui->checkBoxPrintByPageIndex->isChecked());
}

void FormOfdPrint::CreateOfdView()
{
    if (!m_column) {
        m_column = new FormOfdPageColumn(m_ui->scrollAreaWidgetContents);
        m_column->setObjectName(QStringLiteral("previewColumn"));
        m_ui->verticalLayoutPages->addWidget(m_column, 1);
        connect(m_column, &FormOfdPageColumn::SignalPageCreated, this, [this](FormOfdPage *page) {
            connect(page, &FormOfdPage::SignalShowSelectFlag, this, &FormOfdPrint::OnShowSelectFlag);
        });
        connect(m_column, &FormOfdPageColumn::SignalPagePressed, this, [this](int index) {
            if (index != m_selectedIndex)
                OnShowSelectFlag(GetPreviewPage(index));
        });
    }
    m_column->SetPages(m_count, m_sizeOf, m_sceneOf, EN_OfdPageType_Preview, kPreviewWidth);
    m_column->SetShowPageNum(m_showPageNum);
    m_selectedIndex = -1;
    if (m_count > 0) {
        m_selectedIndex = 0;
        m_column->SetMarkedPage(0);
        m_ui->radioButtonPageRangeCur->setText(QtHelper::fromString("当前选中页(第%1页)").arg(1));
    }
}

void FormOfdPrint::GetPageToPrint(QHash<int, int> &pages)
{
    if (m_ui->radioButtonPageRangAll->isChecked()) {
        for (int i = 0; i < m_count; ++i)
            pages.insert(i, i);
    } else if (m_ui->radioButtonRangeSet->isChecked()) {
        if (m_count == 0)
            return;
        const int a = RangeNumber(m_ui->comboBoxPageStart->currentText());
        const int b = RangeNumber(m_ui->comboBoxPageEnd->currentText());
        for (int number = qMin(a, b); number <= qMax(a, b); ++number)
            pages.insert(number - 1, number - 1);
    } else if (m_ui->radioButtonPageRangeCur->isChecked()) {
        if (m_selectedIndex >= 0)
            pages.insert(m_selectedIndex, m_selectedIndex);
    }
}

QList<int> FormOfdPrint::PrintSequence(const QHash<int, int> &pages, int copies, bool collate) const
{
    QList<int> ordered = pages.keys();
    std::sort(ordered.begin(), ordered.end());
    QList<int> sequence;
    if (collate) {
        for (int copy = 0; copy < copies; ++copy)
            sequence += ordered;
    } else {
        for (int index : qAsConst(ordered)) {
            for (int copy = 0; copy < copies; ++copy)
                sequence.append(index);
        }
    }
    return sequence;
}

void FormOfdPrint::PrintOfd()
{
    QPrinter printer(QPrinter::ScreenResolution);
    if (m_printToFile.isEmpty()) {
        printer.setPrinterName(m_ui->comboBoxPrinterName->currentText());
        if (printer.printerName().isEmpty()) {
            qDebug() << "FormOfdPrint: no printer, nothing printed";
            return;
        }
        LastPrinterName() = printer.printerName();
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_printToFile);
    }

    if (!m_jobName.isEmpty())
        printer.setDocName(m_jobName);

    QPainter painter;
    if (!painter.begin(&printer)) {
        qDebug() << "FormOfdPrint: the printer cannot be painted on" << printer.printerName();
        return;
    }
    QHash<int, int> pages;
    GetPageToPrint(pages);
    const int copies = qMax(1, m_ui->comboBoxCopyCount->currentText().toInt());
    const QList<int> sequence = PrintSequence(pages, copies, m_ui->checkBoxPrintByPageIndex->isChecked());
    m_lastSequence.clear();
    bool first = true;
    for (int index : sequence) {
        PrintPage(painter, printer, index, first);
        m_lastSequence.append(index);
        first = false;
    }
    painter.end();
}

void FormOfdPrint::PrintPage(QPainter &painter, QPrinter &printer, int pageIndex, bool first)
{
    if (!first)
        printer.newPage();
    // The page's scene, built for the job when it is not at hand; drawn into the whole printer page
    // with its proportions kept, as its preview shows it.
    OfdPageScene *scene = m_sceneOf ? m_sceneOf(pageIndex) : nullptr;
    painter.save();
    if (scene) {
        const OfdSignSealOutputGuard hideSeals(scene);
        const QRectF target(QPointF(0, 0), QSizeF(painter.device()->width(), painter.device()->height()));
        scene->render(&painter, target, scene->sceneRect(), Qt::KeepAspectRatio);
    }
    if (m_showPageNum)
        DrawPageNum(&painter, pageIndex, kPreviewWidth);
    painter.restore();
}

void FormOfdPrint::DrawPageNum(QPainter *painter, FormOfdPage *page)
{
    if (page)
        DrawPageNum(painter, page->GetPageIndex(), page->width());
}

void FormOfdPrint::DrawPageNum(QPainter *painter, int pageIndex, double previewWidth)
{
    painter->setPen(FormOfdPage::GetPageNumPen());
    painter->drawText(QPointF(previewWidth - 58, 16), QtHelper::fromString("第%1页").arg(pageIndex + 1));
}

void FormOfdPrint::ShowPrintType(bool collate)
{
    m_ui->labelPrintType->setText(collate ? QStringLiteral("1, 2, 3 ...;  1, 2, 3 ...")
                                          : QStringLiteral("1, 1; 2, 2; 3, 3; ..."));
}

void FormOfdPrint::ShowPageNum(bool on)
{
    m_showPageNum = on;
    if (m_column)
        m_column->SetShowPageNum(on);
}

void FormOfdPrint::ShowCurPageIndex(int index)
{
    if (index < 0 || index >= m_count || !m_column)
        return;
    m_column->EnsurePageVisible(index);
    OnShowSelectFlag(GetPreviewPage(index));
}

void FormOfdPrint::OnShowSelectFlag(FormOfdPage *page)
{
    if (!page || !m_column)
        return;
    // The column keeps the mark for previews that come and go.
    m_selectedIndex = page->GetPageIndex();
    m_column->SetMarkedPage(m_selectedIndex);
    m_ui->radioButtonPageRangeCur->setText(
        QtHelper::fromString("当前选中页(第%1页)").arg(m_selectedIndex + 1));
}
