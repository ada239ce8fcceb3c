#include "reader/formofdprint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "reader/formofdpage.h"
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
    if (m_scenes == scenes)
        return;
    m_scenes = scenes;
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

    m_ui->comboBoxPageStart->clear();
    m_ui->comboBoxPageEnd->clear();
    for (int i = 1; i <= m_pages.size(); ++i) {
        m_ui->comboBoxPageStart->addItem(QString::number(i));
        m_ui->comboBoxPageEnd->addItem(QString::number(i));
    }
    m_ui->comboBoxPageStart->setCurrentIndex(0);
    m_ui->comboBoxPageEnd->setCurrentIndex(m_pages.size() - 1);

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
    QVBoxLayout *column = m_ui->verticalLayoutPages;
    int index = 0;
    for (OfdPageScene *scene : qAsConst(m_scenes)) {
        auto *page = new FormOfdPage(nullptr);
        page->SetPageScene(scene);
        page->SetPageType(EN_OfdPageType_Preview);
        connect(page, &FormOfdPage::SignalShowSelectFlag, this, &FormOfdPrint::OnShowSelectFlag);
        page->ShowView(false);
        page->ShowPageViewByWidth(kPreviewWidth);
        if (index == 0) {
            page->ShowSelectFlag(true);
            m_ui->radioButtonPageRangeCur->setText(QtHelper::fromString("当前选中页(第%1页)").arg(1));
            m_selectedPage = page;
        }
        auto *row = new QHBoxLayout();
        row->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
        row->addWidget(page);
        row->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
        column->addLayout(row);
        auto *number = new QLabel(QString::number(index + 1), m_ui->scrollAreaWidgetContents);
        number->setObjectName(QStringLiteral("labelPageNum"));
        number->setAlignment(Qt::AlignCenter);
        column->addWidget(number, 0, Qt::AlignHCenter);
        m_pages.append(page);
        ++index;
    }
    column->addStretch(1);
}

void FormOfdPrint::GetPageToPrint(QHash<int, int> &pages)
{
    if (m_ui->radioButtonPageRangAll->isChecked()) {
        for (int i = 0; i < m_pages.size(); ++i)
            pages.insert(i, i);
    } else if (m_ui->radioButtonRangeSet->isChecked()) {
        const int a = m_ui->comboBoxPageStart->currentText().toInt();
        const int b = m_ui->comboBoxPageEnd->currentText().toInt();
        for (int number = qMin(a, b); number <= qMax(a, b); ++number)
            pages.insert(number - 1, number - 1);
    } else if (m_ui->radioButtonPageRangeCur->isChecked()) {
        if (m_selectedPage)
            pages.insert(m_selectedPage->GetPageIndex(), m_selectedPage->GetPageIndex());
    }
}

QList<FormOfdPage *> FormOfdPrint::PrintSequence(const QHash<int, int> &pages, int copies, bool collate) const
{
    QList<FormOfdPage *> sequence;
    if (collate) {
        for (int copy = 0; copy < copies; ++copy) {
            for (int i = 0; i < m_pages.size(); ++i) {
                if (pages.contains(i))
                    sequence.append(m_pages[i]);
            }
        }
    } else {
        for (int i = 0; i < m_pages.size(); ++i) {
            if (!pages.contains(i))
                continue;
            for (int copy = 0; copy < copies; ++copy)
                sequence.append(m_pages[i]);
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
    const QList<FormOfdPage *> sequence =
        PrintSequence(pages, copies, m_ui->checkBoxPrintByPageIndex->isChecked());
    m_lastSequence.clear();
    bool first = true;
    for (FormOfdPage *page : sequence) {
        PrintPage(painter, printer, page, first);
        m_lastSequence.append(page->GetPageIndex());
        first = false;
    }
    painter.end();
}

void FormOfdPrint::PrintPage(QPainter &painter, QPrinter &printer, FormOfdPage *page, bool first)
{
    if (!first)
        printer.newPage();
    painter.save();
    const OfdSignSealOutputGuard hideSeals(page->GetPageScene());
    page->render(&painter, QRectF(), page->viewport()->rect(), Qt::KeepAspectRatio);
    if (page->IsShowPageNum())
        DrawPageNum(&painter, page);
    painter.restore();
}

void FormOfdPrint::DrawPageNum(QPainter *painter, FormOfdPage *page)
{
    painter->setPen(FormOfdPage::GetPageNumPen());
    painter->drawText(QPointF(page->width() - 58, 16),
                      QtHelper::fromString("第%1页").arg(page->GetPageIndex() + 1));
}

void FormOfdPrint::ShowPrintType(bool collate)
{
    m_ui->labelPrintType->setText(collate ? QStringLiteral("1, 2, 3 ...;  1, 2, 3 ...")
                                          : QStringLiteral("1, 1; 2, 2; 3, 3; ..."));
}

void FormOfdPrint::ShowPageNum(bool on)
{
    for (FormOfdPage *page : qAsConst(m_pages))
        page->ShowPageNum(on);
}

void FormOfdPrint::ShowCurPageIndex(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    FormOfdPage *page = m_pages[index];
    page->ShowSelectFlag(true);
    OnShowSelectFlag(page);
    m_ui->scrollArea->ensureWidgetVisible(page);
}

void FormOfdPrint::OnShowSelectFlag(FormOfdPage *page)
{
    if (m_selectedPage && m_selectedPage != page)
        m_selectedPage->ShowSelectFlag(false);
    m_selectedPage = page;
    if (page)
        m_ui->radioButtonPageRangeCur->setText(
            QtHelper::fromString("当前选中页(第%1页)").arg(page->GetPageIndex() + 1));
}
