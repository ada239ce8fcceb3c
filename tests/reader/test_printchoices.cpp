#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formofdprint.h"
#include "reader/ofdreadwidget.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "viewtestdoc.h"

namespace {
QString T(const char *utf8)
{
    return QtHelper::fromString(utf8);
}

QString Run(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Sizes of the PDF's pages in points, from pdfinfo.
QList<QSizeF> PdfPageSizes(const QString &pdf, int pages)
{
    const QString info = Run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                         QStringLiteral("-l"), QString::number(pages), pdf});
    QList<QSizeF> sizes;
    const QRegularExpression re(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    for (auto it = re.globalMatch(info); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

// The bounding box of the pixels close to colour in image.
QRect BoxOf(const QImage &image, const QColor &colour, int tolerance = 40)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                    qAbs(c.blue() - colour.blue()) <
                tolerance)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Closes the next message box and remembers its text and buttons.
void AnswerNextMessageBox(QString *text, QMessageBox::StandardButtons *buttons)
{
    QTimer::singleShot(0, [text, buttons]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *text = box->text();
            *buttons = box->standardButtons();
            box->close();
        }
    });
}
} // namespace

// The printing choices: paper size and orientation, fit to page, the page shown as the current
// page, the page-number stamp in the printed page's corner, the message without a printer and the
// progress dialog with its cancel button. Jobs are written as PDF files and read back with pdfinfo
// and pdftotext.
class TestPrintChoices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void paperChoicesAtStart();
    void paperAndOrientationReachThePaper_data();
    void paperAndOrientationReachThePaper();
    void fitToPageOrOwnSize_data();
    void fitToPageOrOwnSize();
    void stampSitsInTheDrawnPagesCorner_data();
    void stampSitsInTheDrawnPagesCorner();
    void printedStampIsAtThePapersTopRight();
    void noPrinterSaysSo();
    void currentPageIsThePageTheReaderShows();
    void progressDialogCancelStopsTheJob();
    void shortJobsShowNoProgress();

private:
    bool Load(int pageCount, double widthMM = 100, double heightMM = 150);
    QString PrintToPdf();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FormOfd> m_form;
    std::unique_ptr<FormOfdPrint> m_dialog;
    QList<OfdPageScene *> m_scenes;
    int m_jobs = 0;
};

void TestPrintChoices::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("poppler-utils missing (tools/ensure-deps.sh)");
}

void TestPrintChoices::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<FormOfd>();
    m_form->resize(700, 500);
}

void TestPrintChoices::cleanup()
{
    m_dialog.reset();
    m_scenes.clear();
    m_form.reset();
    m_dir.reset();
}

bool TestPrintChoices::Load(int pageCount, double widthMM, double heightMM)
{
    ViewTestDoc doc;
    doc.pageCount = pageCount;
    doc.widthMM = widthMM;
    doc.heightMM = heightMM;
    for (int i = 0; i < pageCount; ++i)
        doc.texts << QStringLiteral("PAGE-%1").arg(i + 1);
    if (!LoadView(*m_form, doc))
        return false;
    // The scenes of every page, built now, as the reader's print dialog gets them on request.
    m_scenes.clear();
    for (int i = 0; i < pageCount; ++i)
        m_scenes.append(m_form->AcquireScene(i));
    FormOfd *form = m_form.get();
    m_dialog = std::make_unique<FormOfdPrint>();
    m_dialog->SetSceneProvider(
        pageCount, [form](int index) { return form->GetPageRealSize(index); },
        [form](int index) { return form->AcquireScene(index); });
    m_dialog->Init();
    return m_dialog->GetPreviewCount() == pageCount && !m_scenes.contains(nullptr);
}

QString TestPrintChoices::PrintToPdf()
{
    const QString file = m_dir->filePath(QStringLiteral("job%1.pdf").arg(++m_jobs));
    m_dialog->SetPrintToFile(file);
    m_dialog->PrintOfd();
    return QFile::exists(file) ? file : QString();
}

void TestPrintChoices::paperChoicesAtStart()
{
    QVERIFY(Load(1));
    auto *paper = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPaperSize"));
    auto *orientation = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxOrientation"));
    auto *fit = m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxFitToPage"));
    QVERIFY(paper && orientation && fit);
    for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::Letter})
        QVERIFY(paper->findData(int(id)) >= 0);
    QCOMPARE(orientation->count(), 3);
    QCOMPARE(orientation->currentText(), T("自动"));
    QVERIFY(fit->isChecked());
    QCOMPARE(fit->text(), T("适合纸张大小"));
}

void TestPrintChoices::paperAndOrientationReachThePaper_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<double>("pageWidthMM");
    QTest::addColumn<double>("pageHeightMM");
    QTest::addColumn<QSizeF>("expectedPts");
    const QSizeF a4(595.3, 841.9), a5(419.5, 595.3), letter(612, 792);
    QTest::newRow("A4 auto, tall page") << int(QPageSize::A4) << 0 << 100.0 << 150.0 << a4;
    QTest::newRow("A4 auto, wide page") << int(QPageSize::A4) << 0 << 150.0 << 100.0 << a4.transposed();
    QTest::newRow("A5 portrait, wide page") << int(QPageSize::A5) << 1 << 150.0 << 100.0 << a5;
    QTest::newRow("Letter landscape, tall page")
        << int(QPageSize::Letter) << 2 << 100.0 << 150.0 << letter.transposed();
}

void TestPrintChoices::paperAndOrientationReachThePaper()
{
    QFETCH(int, paper);
    QFETCH(int, orientation);
    QFETCH(double, pageWidthMM);
    QFETCH(double, pageHeightMM);
    QFETCH(QSizeF, expectedPts);
    QVERIFY(Load(2, pageWidthMM, pageHeightMM));
    auto *paperBox = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPaperSize"));
    paperBox->setCurrentIndex(paperBox->findData(paper));
    QCOMPARE(m_dialog->GetPaperSize(), QPageSize::PageSizeId(paper));
    m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxOrientation"))->setCurrentIndex(orientation);
    const QString pdf = PrintToPdf();
    QVERIFY(!pdf.isEmpty());
    const QList<QSizeF> sizes = PdfPageSizes(pdf, 2);
    QCOMPARE(sizes.size(), 2);
    for (const QSizeF &size : sizes) {
        QVERIFY2(qAbs(size.width() - expectedPts.width()) < 1.5 &&
                     qAbs(size.height() - expectedPts.height()) < 1.5,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    }
}

void TestPrintChoices::fitToPageOrOwnSize_data()
{
    QTest::addColumn<bool>("fit");
    QTest::newRow("fit to page") << true;
    QTest::newRow("own size") << false;
}

// A 100 x 150 mm page on a 200 x 300 mm area at 4 dots per millimetre: fitted it fills the area,
// at its own size it is 400 x 600 dots in the middle. The page's square (20 mm at 50, 80 mm) shows
// where the page went.
void TestPrintChoices::fitToPageOrOwnSize()
{
    QFETCH(bool, fit);
    QVERIFY(Load(1));
    const double dotsPerMM = 4;
    QImage paper(800, 1200, QImage::Format_ARGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    const QRectF drawn = FormOfdPrint::RenderPrintedPage(painter, QRectF(0, 0, 800, 1200), dotsPerMM,
                                                         m_scenes[0], 0, fit, false);
    painter.end();
    const double scale = fit ? 2.0 : 1.0; // paper dots per page dot at 4 dots/mm
    const QRectF expected = fit ? QRectF(0, 0, 800, 1200) : QRectF(200, 300, 400, 600);
    QVERIFY2(qAbs(drawn.left() - expected.left()) < 1 && qAbs(drawn.width() - expected.width()) < 1,
             qPrintable(QStringLiteral("%1 %2").arg(drawn.left()).arg(drawn.width())));
    const QRect square = BoxOf(paper, ViewTestDoc::SquareColor(0));
    const double mm = dotsPerMM * scale;
    QVERIFY(!square.isEmpty());
    QVERIFY2(qAbs(square.left() - (expected.left() + 50 * mm)) <= 2,
             qPrintable(QString::number(square.left())));
    QVERIFY2(qAbs(square.top() - (expected.top() + 80 * mm)) <= 2, qPrintable(QString::number(square.top())));
    QVERIFY2(qAbs(square.width() - 20 * mm) <= 3, qPrintable(QString::number(square.width())));
}

void TestPrintChoices::stampSitsInTheDrawnPagesCorner_data()
{
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("pageIndex");
    QTest::newRow("fitted, page 1") << true << 0;
    QTest::newRow("own size, page 3") << false << 2;
}

void TestPrintChoices::stampSitsInTheDrawnPagesCorner()
{
    QFETCH(bool, fit);
    QFETCH(int, pageIndex);
    QVERIFY(Load(3));
    const double dotsPerMM = 4;
    QImage paper(1000, 1200, QImage::Format_ARGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const QRectF drawn = FormOfdPrint::RenderPrintedPage(painter, QRectF(0, 0, 1000, 1200), dotsPerMM,
                                                         m_scenes[pageIndex], pageIndex, fit, true);
    painter.end();
    const QRect stamp = BoxOf(paper, FormOfdPage::GetPageNumPen().color(), 60);
    QVERIFY(!stamp.isEmpty());
    // Within 10 mm of the drawn page's top right corner, inside the page.
    QVERIFY2(
        stamp.right() <= drawn.right() && stamp.right() > drawn.right() - 10 * dotsPerMM,
        qPrintable(QStringLiteral("stamp right %1, page right %2").arg(stamp.right()).arg(drawn.right())));
    QVERIFY2(stamp.top() >= drawn.top() && stamp.bottom() < drawn.top() + 10 * dotsPerMM,
             qPrintable(QStringLiteral("stamp top %1, page top %2").arg(stamp.top()).arg(drawn.top())));
    QVERIFY(stamp.height() >= 2 * dotsPerMM); // about 3.5 mm high, readable on paper
}

// The printed stamp is at the top right of the paper, not where the preview's width would put it.
void TestPrintChoices::printedStampIsAtThePapersTopRight()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext missing");
    QVERIFY(Load(2));
    m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxPrintPageNum"))->setChecked(true);
    const QString pdf = PrintToPdf();
    QVERIFY(!pdf.isEmpty());
    const QString html =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"")).match(html);
    QVERIFY(page.hasMatch());
    const double width = page.captured(1).toDouble();
    const double height = page.captured(2).toDouble();
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int stamps = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch w = it.next();
        if (!w.captured(5).contains(T("页")))
            continue;
        ++stamps;
        // A4 is 595 pt wide: the stamp ends within 20 mm (57 pt) of the right edge, near the top.
        QVERIFY2(w.captured(3).toDouble() > width - 57, qPrintable(w.captured(0)));
        QVERIFY2(w.captured(2).toDouble() < height / 10, qPrintable(w.captured(0)));
    }
    QCOMPARE(stamps, 2);
}

void TestPrintChoices::noPrinterSaysSo()
{
    QVERIFY(Load(1));
    // As on a machine without any print queue.
    m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPrinterName"))->clear();
    QString text;
    QMessageBox::StandardButtons buttons;
    AnswerNextMessageBox(&text, &buttons);
    m_dialog->PrintOfd();
    QVERIFY2(text.contains(T("没有找到打印机")), qPrintable(text));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(m_dialog->GetLastPrintedSequence().isEmpty());
}

void TestPrintChoices::currentPageIsThePageTheReaderShows()
{
    ViewTestDoc doc;
    doc.pageCount = 4;
    const QString path = m_dir->filePath(QStringLiteral("four.ofd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(doc.Build());
    file.close();
    OfdReadWidget reader;
    reader.resize(900, 700);
    reader.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reader));
    QVERIFY(reader.OpenFile(path));
    QTest::qWait(20); // the view lays its pages out
    reader.GetFormOfd()->ScrollToPage(2);
    QTRY_COMPARE(reader.GetFormOfd()->GetCurShowPageIndex(), 2);

    int selected = -1;
    QString label;
    QTimer::singleShot(0, [&]() {
        if (auto *dialog = qobject_cast<FormOfdPrint *>(QApplication::activeModalWidget())) {
            selected = dialog->GetSelectedPage() ? dialog->GetSelectedPage()->GetPageIndex() : -1;
            label = dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonPageRangeCur"))->text();
            dialog->close();
        }
    });
    reader.ShowPrintDialog();
    QCOMPARE(selected, 2);
    QCOMPARE(label, T("当前选中页(第3页)"));
}

void TestPrintChoices::progressDialogCancelStopsTheJob()
{
    QVERIFY(Load(4));
    m_dialog->SetProgressThreshold(2);
    bool sawDialog = false;
    connect(m_dialog.get(), &FormOfdPrint::SignalPagePrinted, this, [&](int done, int total) {
        QCOMPARE(total, 4);
        if (done != 1)
            return;
        auto *progress = m_dialog->findChild<QProgressDialog *>(QStringLiteral("printProgress"));
        sawDialog = progress != nullptr;
        if (progress) {
            QCOMPARE(progress->maximum(), 4);
            progress->cancel();
        }
    });
    PrintToPdf();
    QVERIFY(sawDialog);
    QVERIFY(m_dialog->WasLastJobCancelled());
    QCOMPARE(m_dialog->GetLastPrintedSequence(), QList<int>({0}));
}

void TestPrintChoices::shortJobsShowNoProgress()
{
    QVERIFY(Load(2));
    bool sawDialog = true;
    connect(m_dialog.get(), &FormOfdPrint::SignalPagePrinted, this, [&](int, int) {
        sawDialog = m_dialog->findChild<QProgressDialog *>(QStringLiteral("printProgress")) != nullptr;
    });
    QVERIFY(!PrintToPdf().isEmpty());
    QVERIFY(!sawDialog);
    QVERIFY(!m_dialog->WasLastJobCancelled());
    QCOMPARE(m_dialog->GetLastPrintedSequence(), QList<int>({0, 1}));
}

QTEST_MAIN(TestPrintChoices)
#include "test_printchoices.moc"
