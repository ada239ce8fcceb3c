#include "reader/formofdprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
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

// The paper sizes offered, in this order.
const QPageSize::PageSizeId kPaperSizes[] = {QPageSize::A4, QPageSize::A3,     QPageSize::A5,
                                             QPageSize::B5, QPageSize::Letter, QPageSize::Legal};

// Size and margin of the page-number stamp on paper, in millimetres.
constexpr double kStampHeightMM = 3.5;
constexpr double kStampMarginMM = 4.0;
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

    // Paper: the sizes offered, the printer's own paper first chosen when it is one of them.
    m_ui->comboBoxPaperSize->clear();
    for (QPageSize::PageSizeId id : kPaperSizes)
        m_ui->comboBoxPaperSize->addItem(QPageSize::name(id), int(id));
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_ui->comboBoxPrinterName->currentText());
    const int paper =
        m_ui->comboBoxPaperSize->findData(int(info.isNull() ? QPageSize::A4 : info.defaultPageSize().id()));
    m_ui->comboBoxPaperSize->setCurrentIndex(qMax(0, paper));
    m_ui->comboBoxOrientation->clear();
    m_ui->comboBoxOrientation->addItems(
        {QtHelper::fromString("自动"), QtHelper::fromString("纵向"), QtHelper::fromString("横向")});
    m_ui->checkBoxFitToPage->setChecked(true);
    if (printers.isEmpty())
        m_ui->comboBoxPrinterName->setPlaceholderText(QtHelper::fromString("（没有打印机）"));

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
            QMessageBox box(QMessageBox::Information, QtHelper::fromString("打印"),
                            QtHelper::fromString("没有找到打印机，无法打印。\n"
                                                 "请先在系统设置中添加打印机，然后再打开打印对话框。"),
                            QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("noPrinterBox"));
            box.exec();
            return;
        }
        LastPrinterName() = printer.printerName();
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_printToFile);
    }

    if (!m_jobName.isEmpty())
        printer.setDocName(m_jobName);

    QHash<int, int> pages;
    GetPageToPrint(pages);
    const int copies = qMax(1, m_ui->comboBoxCopyCount->currentText().toInt());
    const QList<int> sequence = PrintSequence(pages, copies, m_ui->checkBoxPrintByPageIndex->isChecked());
    m_lastSequence.clear();
    m_lastCancelled = false;
    if (sequence.isEmpty())
        return;
    printer.setPageSize(QPageSize(GetPaperSize()));
    printer.setPageOrientation(OrientationFor(GetOrientationMode(), PageSizeOf(sequence.first())));

    QPainter painter;
    if (!painter.begin(&printer)) {
        qWarning() << "FormOfdPrint: the printer cannot be painted on" << printer.printerName();
        return;
    }
    std::unique_ptr<QProgressDialog> progress;
    if (sequence.size() >= m_progressThreshold) {
        progress = std::make_unique<QProgressDialog>(QtHelper::fromString("正在打印…"),
                                                     QtHelper::fromString("取消"), 0, sequence.size(), this);
        progress->setObjectName(QStringLiteral("printProgress"));
        progress->setWindowTitle(QtHelper::fromString("打印"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    bool first = true;
    for (int index : sequence) {
        if (progress && progress->wasCanceled()) {
            // The print service may not be able to withdraw what was sent; nothing more is added.
            m_lastCancelled = true;
            printer.abort();
            break;
        }
        PrintPage(painter, printer, index, first);
        m_lastSequence.append(index);
        first = false;
        if (progress) {
            progress->setLabelText(QtHelper::fromString("正在打印第 %1 页，共 %2 页")
                                       .arg(m_lastSequence.size())
                                       .arg(sequence.size()));
            progress->setValue(m_lastSequence.size());
        }
        emit SignalPagePrinted(m_lastSequence.size(), sequence.size());
    }
    painter.end();
}

QPageSize::PageSizeId FormOfdPrint::GetPaperSize() const
{
    const QVariant id = m_ui->comboBoxPaperSize->currentData();
    return id.isValid() ? QPageSize::PageSizeId(id.toInt()) : QPageSize::A4;
}

int FormOfdPrint::GetOrientationMode() const
{
    return qMax(0, m_ui->comboBoxOrientation->currentIndex());
}

bool FormOfdPrint::IsFitToPage() const
{
    return m_ui->checkBoxFitToPage->isChecked();
}

QPageLayout::Orientation FormOfdPrint::OrientationFor(int mode, const QSizeF &pageSize)
{
    if (mode == 1)
        return QPageLayout::Portrait;
    if (mode == 2)
        return QPageLayout::Landscape;
    return pageSize.width() > pageSize.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QRectF FormOfdPrint::RenderPrintedPage(QPainter &painter, const QRectF &area, double dotsPerMM,
                                       OfdPageScene *scene, int pageIndex, bool fit, bool stamp)
{
    if (!scene || area.isEmpty() || dotsPerMM <= 0)
        return QRectF();
    const QRectF source = scene->GetPageRect();
    if (source.isEmpty())
        return QRectF();
    // The page's own size on paper: scene pixels back to millimetres, then to device dots.
    QSizeF size = source.size() * (dotsPerMM / OfdConvert::PxOfOneMM);
    if (fit)
        size.scale(area.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(), size);
    target.moveCenter(area.center());
    painter.save();
    painter.setClipRect(area);
    scene->render(&painter, target, source, Qt::KeepAspectRatio);
    if (stamp) {
        // Inside the drawn page's top right corner, and on the paper even when the page is larger.
        const QRectF visible = target.intersected(area);
        QFont font = painter.font();
        font.setPixelSize(qMax(1, int(kStampHeightMM * dotsPerMM)));
        painter.setFont(font);
        painter.setPen(QPen(FormOfdPage::GetPageNumPen().color()));
        const QString text = QtHelper::fromString("第%1页").arg(pageIndex + 1);
        const QFontMetricsF metrics(font);
        const double margin = kStampMarginMM * dotsPerMM;
        painter.drawText(QPointF(visible.right() - margin - metrics.horizontalAdvance(text),
                                 visible.top() + margin + metrics.ascent()),
                         text);
    }
    painter.restore();
    return target;
}

QSizeF FormOfdPrint::PageSizeOf(int pageIndex) const
{
    return m_sizeOf ? m_sizeOf(pageIndex) : QSizeF();
}

void FormOfdPrint::PrintPage(QPainter &painter, QPrinter &printer, int pageIndex, bool first)
{
    if (!first) {
        // Each page on paper of its own orientation when the choice is automatic.
        printer.setPageOrientation(OrientationFor(GetOrientationMode(), PageSizeOf(pageIndex)));
        printer.newPage();
    }
    // The page's scene, built for the job when it is not at hand.
    OfdPageScene *scene = m_sceneOf ? m_sceneOf(pageIndex) : nullptr;
    if (!scene)
        return;
    const OfdSignSealOutputGuard hideSeals(scene);
    const QRectF area(QPointF(), printer.pageRect(QPrinter::DevicePixel).size());
    RenderPrintedPage(painter, area, printer.resolution() / 25.4, scene, pageIndex, IsFitToPage(),
                      m_showPageNum);
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
