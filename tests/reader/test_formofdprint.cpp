#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "app/qthelper.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formofdprint.h"
#include "reader/ofdreadwidget.h"
#include "render/ofdrenderinit.h"
#include "viewtestdoc.h"

namespace {
const QString kQueue = QStringLiteral("OfdTestPdf");
const QString kSecondQueue = QStringLiteral("OfdTestPdf2");

QString T(const char *utf8)
{
    return QtHelper::fromString(utf8);
}

// Runs a tool; its standard output, or a null string when the tool is missing or failed.
QString RunTool(const QString &tool, const QStringList &args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return QString();
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    return out.isNull() ? QStringLiteral("") : out;
}

int PdfPageCount(const QString &pdf)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of each page of the PDF.
QStringList PdfPageTexts(const QString &pdf)
{
    QStringList pages =
        RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The page numbers ("PAGE-n" of the test document) of the printed pages in output order; 0 for a
// page without such a text.
QList<int> PdfPageSequence(const QString &pdf)
{
    QList<int> sequence;
    const QRegularExpression re(QStringLiteral("PAGE-(\\d+)"));
    for (const QString &text : PdfPageTexts(pdf)) {
        const QRegularExpressionMatch m = re.match(text);
        sequence.append(m.hasMatch() ? m.captured(1).toInt() : 0);
    }
    return sequence;
}

// Where CUPS-PDF writes its files: the Out line of its configuration, with ${HOME} and ${USER}.
QString CupsPdfOutDir()
{
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (!conf.open(QIODevice::ReadOnly))
        return QString();
    const QRegularExpression re(QStringLiteral("^Out\\s+(\\S+)\\s*$"));
    for (const QByteArray &line : conf.readAll().split('\n')) {
        const QRegularExpressionMatch m = re.match(QString::fromUtf8(line));
        if (!m.hasMatch())
            continue;
        QString dir = m.captured(1);
        dir.replace(QStringLiteral("${HOME}"), QDir::homePath());
        dir.replace(QStringLiteral("${USER}"), qEnvironmentVariable("USER", QStringLiteral("root")));
        return dir;
    }
    return QString();
}

QStringList PdfFilesIn(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
}

QList<int> Pages(std::initializer_list<int> numbers)
{
    return QList<int>(numbers);
}
} // namespace

// The print dialog: its form, previews, page choice, copies, collation, page-number stamp and the
// remembered printer, printing through a CUPS-PDF queue (or a PDF file where there is none).
class TestFormOfdPrint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithTheDefaultPrinter();
    void formObjectsAndTexts();
    void previewsOnePerPage();
    void clickingAPreviewSelectsIt();
    void pageNumberBoxMarksPreviews();
    void collationText();
    void pageChoice_data();
    void pageChoice();
    void printsPagesInOrder_data();
    void printsPagesInOrder();
    void pageNumberStamp_data();
    void pageNumberStamp();
    void remembersThePrinter();
    void readerWidgetOpensTheDialog();
    void cancelCloses();
    void longDocumentRangeAndPreviews_data();
    void longDocumentRangeAndPreviews();

private:
    bool Load(int pageCount);
    // Prints with the dialog as set up and gives the produced PDF, or an empty string.
    QString PrintAndFetch(FormOfdPrint &dialog, const QString &queue);
    std::unique_ptr<FormOfd> m_form;
    std::unique_ptr<FormOfdPrint> m_dialog;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<OfdPageScene *> m_scenes;
    bool m_useQueue = false;
    QString m_outDir;
    int m_fileJobs = 0;
};

void TestFormOfdPrint::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "poppler-utils missing");
    m_outDir = CupsPdfOutDir();
    m_useQueue =
        !QPrinterInfo::printerInfo(kQueue).isNull() && !m_outDir.isEmpty() && QDir(m_outDir).exists();
    if (m_useQueue)
        qInfo("Printing through the CUPS-PDF queue %s into %s", qPrintable(kQueue), qPrintable(m_outDir));
    else
        qWarning("No CUPS-PDF queue %s (run tools/ensure-printer.sh as root): printing to a PDF file "
                 "printer instead",
                 qPrintable(kQueue));
}

void TestFormOfdPrint::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_form = std::make_unique<FormOfd>();
    m_form->resize(700, 500);
}

void TestFormOfdPrint::cleanup()
{
    m_dialog.reset();
    m_scenes.clear();
    m_form.reset();
    m_dir.reset();
}

bool TestFormOfdPrint::Load(int pageCount)
{
    ViewTestDoc doc;
    doc.pageCount = pageCount;
    for (int i = 0; i < pageCount; ++i)
        doc.texts << QStringLiteral("PAGE-%1").arg(i + 1);
    if (!LoadView(*m_form, doc))
        return false;
    // As the reader widget does: the view's scenes, built page by page when needed.
    FormOfd *form = m_form.get();
    m_dialog = std::make_unique<FormOfdPrint>();
    m_dialog->SetSceneProvider(
        form->GetPageCount(), [form](int index) { return form->GetPageRealSize(index); },
        [form](int index) { return form->AcquireScene(index); });
    m_dialog->Init();
    for (int i = 0; i < qMin(pageCount, 3); ++i)
        form->AcquireScene(i);
    m_scenes = m_form->GetPageSceneList();
    m_dialog->show();
    return m_dialog->GetPreviewCount() == pageCount;
}

QString TestFormOfdPrint::PrintAndFetch(FormOfdPrint &dialog, const QString &queue)
{
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonOk"));
    if (!ok)
        return QString();
    if (!m_useQueue) {
        const QString file = m_dir->filePath(QStringLiteral("job%1.pdf").arg(++m_fileJobs));
        dialog.SetPrintToFile(file);
        QTest::mouseClick(ok, Qt::LeftButton);
        return QFile::exists(file) ? file : QString();
    }
    auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxPrinterName"));
    const int index = printers->findText(queue);
    if (index < 0)
        return QString();
    printers->setCurrentIndex(index);
    // A title of its own lets the job's file be told from those of other test runs.
    const QString title =
        QStringLiteral("ofdprinttest%1x%2").arg(QCoreApplication::applicationPid()).arg(++m_fileJobs);
    dialog.SetJobName(title);
    QTest::mouseClick(ok, Qt::LeftButton);
    // The job runs in the scheduler; wait until its file stops growing and reads back.
    const QRegularExpression ours(QStringLiteral("^%1\\D").arg(title));
    QElapsedTimer timer;
    timer.start();
    qint64 lastSize = -1;
    while (timer.elapsed() < 60000) {
        QTest::qWait(200);
        const QStringList files = PdfFilesIn(m_outDir).filter(ours);
        if (files.isEmpty())
            continue;
        const QString pdf = QDir(m_outDir).filePath(files.first());
        const qint64 size = QFileInfo(pdf).size();
        const bool stable = size == lastSize;
        lastSize = size;
        if (stable && PdfPageCount(pdf) > 0) {
            const QString copy = m_dir->filePath(QStringLiteral("job%1.pdf").arg(++m_fileJobs));
            QFile::copy(pdf, copy);
            QFile::remove(pdf);
            return copy;
        }
    }
    qWarning("No PDF from queue %s within 60 s", qPrintable(queue));
    return QString();
}

void TestFormOfdPrint::startsWithTheDefaultPrinter()
{
    QVERIFY(Load(1));
    auto *printers = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPrinterName"));
    QCOMPARE(printers->count(), QPrinterInfo::availablePrinterNames().size());
    QVERIFY(FormOfdPrint::GetLastPrinterName().isEmpty());
    QCOMPARE(printers->currentText(), QPrinterInfo::defaultPrinterName());
    if (m_useQueue)
        QCOMPARE(printers->currentText(), kQueue);
}

void TestFormOfdPrint::formObjectsAndTexts()
{
    QVERIFY(Load(3));
    QCOMPARE(m_dialog->windowTitle(), T("OFD文件打印"));
    QCOMPARE(m_dialog->size(), QSize(976, 594));
    QVERIFY(!(m_dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    auto radio = [this](const char *name) {
        return m_dialog->findChild<QRadioButton *>(QLatin1String(name));
    };
    auto combo = [this](const char *name) { return m_dialog->findChild<QComboBox *>(QLatin1String(name)); };
    auto check = [this](const char *name) { return m_dialog->findChild<QCheckBox *>(QLatin1String(name)); };
    QVERIFY(m_dialog->findChild<QGroupBox *>(QStringLiteral("groupBoxPrintRange")));
    QCOMPARE(m_dialog->findChild<QGroupBox *>(QStringLiteral("groupBoxPrintRange"))->title(), T("打印范围"));
    QCOMPARE(radio("radioButtonPageRangAll")->text(), T("所有页"));
    QVERIFY(radio("radioButtonPageRangAll")->isChecked());
    QCOMPARE(radio("radioButtonPageRangeCur")->text(), T("当前选中页(第1页)"));
    QCOMPARE(radio("radioButtonRangeSet")->text(), T("指定范围"));
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("labelTo"))->text(), T("到"));
    QCOMPARE(check("checkBoxPrintPageNum")->text(), T("打印页码"));
    QVERIFY(!check("checkBoxPrintPageNum")->isChecked());
    QCOMPARE(check("checkBoxPrintByPageIndex")->text(), T("逐份打印"));
    QVERIFY(!check("checkBoxPrintByPageIndex")->isChecked());
    QCOMPARE(m_dialog->findChild<QPushButton *>(QStringLiteral("pushButtonOk"))->text(), T("打印"));
    QCOMPARE(m_dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCancel"))->text(), T("取消"));
    QVERIFY(m_dialog->findChild<QScrollArea *>(QStringLiteral("scrollArea")));

    QComboBox *copies = combo("comboBoxCopyCount");
    QCOMPARE(copies->count(), 100);
    QCOMPARE(copies->itemText(0), QStringLiteral("1"));
    QCOMPARE(copies->itemText(99), QStringLiteral("100"));
    QCOMPARE(copies->currentText(), QStringLiteral("1"));
    QComboBox *start = combo("comboBoxPageStart");
    QComboBox *end = combo("comboBoxPageEnd");
    // The lists hold the first and the last page only; any number can be typed.
    QCOMPARE(start->count(), 2);
    QCOMPARE(end->count(), 2);
    QVERIFY(start->isEditable() && end->isEditable());
    QCOMPARE(start->currentText(), QStringLiteral("1"));
    QCOMPARE(end->currentText(), QStringLiteral("3"));

    QStringList labels;
    for (QLabel *label : m_dialog->findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"打印机", "名称:", "打印份数"}) {
        const bool asLabel = labels.contains(T(text));
        bool asGroup = false;
        for (QGroupBox *box : m_dialog->findChildren<QGroupBox *>())
            asGroup = asGroup || box->title() == T(text);
        QVERIFY2(asLabel || asGroup, text);
    }
}

void TestFormOfdPrint::previewsOnePerPage()
{
    QVERIFY(Load(3));
    QList<FormOfdPage *> pages;
    for (int i = 0; i < m_dialog->GetPreviewCount(); ++i)
        pages << m_dialog->GetPreviewPage(i);
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(pages[i]->GetPageType(), EN_OfdPageType_Preview);
        QCOMPARE(pages[i]->GetPageIndex(), i);
        QCOMPARE(pages[i]->GetPageScene(), m_form->GetSceneIfBuilt(i));
        QVERIFY(pages[i]->GetPageScene());
        QCOMPARE(pages[i]->width(), 550);
        QCOMPARE(pages[i]->IsShowSelectFlag(), i == 0);
        QVERIFY(m_dialog->isAncestorOf(pages[i]));
    }
    QCOMPARE(m_dialog->GetSelectedPage(), pages[0]);
    // The reading view keeps its scenes when the dialog goes.
    m_dialog.reset();
    QCOMPARE(m_form->GetPageSceneList(), m_scenes);
    QCOMPARE(m_scenes[2]->GetPageIndex(), 2);
}

void TestFormOfdPrint::clickingAPreviewSelectsIt()
{
    QVERIFY(Load(3));
    QList<FormOfdPage *> pages;
    for (int i = 0; i < m_dialog->GetPreviewCount(); ++i)
        pages << m_dialog->GetPreviewPage(i);
    QTest::mouseClick(pages[2]->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QCOMPARE(m_dialog->GetSelectedPage(), pages[2]);
    QVERIFY(pages[2]->IsShowSelectFlag());
    QVERIFY(!pages[0]->IsShowSelectFlag());
    auto *cur = m_dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonPageRangeCur"));
    QCOMPARE(cur->text(), T("当前选中页(第3页)"));
    QTest::mouseClick(pages[1]->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QVERIFY(!pages[2]->IsShowSelectFlag());
    QCOMPARE(cur->text(), T("当前选中页(第2页)"));
}

void TestFormOfdPrint::pageNumberBoxMarksPreviews()
{
    QVERIFY(Load(2));
    auto *box = m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxPrintPageNum"));
    for (bool on : {true, false}) {
        box->setChecked(on);
        for (int i = 0; i < m_dialog->GetPreviewCount(); ++i)
            QCOMPARE(m_dialog->GetPreviewPage(i)->IsShowPageNum(), on);
    }
}

void TestFormOfdPrint::collationText()
{
    QVERIFY(Load(2));
    auto *label = m_dialog->findChild<QLabel *>(QStringLiteral("labelPrintType"));
    QCOMPARE(label->text(), QStringLiteral("1, 1; 2, 2; 3, 3; ..."));
    m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxPrintByPageIndex"))->setChecked(true);
    QCOMPARE(label->text(), QStringLiteral("1, 2, 3 ...;  1, 2, 3 ..."));
    m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxPrintByPageIndex"))->setChecked(false);
    QCOMPARE(label->text(), QStringLiteral("1, 1; 2, 2; 3, 3; ..."));
}

// Common columns of the page-choice rows: pages of the document, the range choice ("all", "cur",
// "set"), the range boxes (1-based), the preview clicked before (0-based, -1 none), copies,
// collation and the printed page numbers in order.
static void PageChoiceColumns()
{
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<QList<int>>("expected");
}

static void PageChoiceRows()
{
    const QString all = QStringLiteral("all"), cur = QStringLiteral("cur"), set = QStringLiteral("set");
    QTest::newRow("all pages") << 3 << all << 1 << 3 << -1 << 1 << false << Pages({1, 2, 3});
    QTest::newRow("range backwards 3 to 1") << 4 << set << 3 << 1 << -1 << 1 << false << Pages({1, 2, 3});
    QTest::newRow("range 2 to 3") << 4 << set << 2 << 3 << -1 << 1 << false << Pages({2, 3});
    QTest::newRow("range of one page") << 4 << set << 4 << 4 << -1 << 1 << false << Pages({4});
    QTest::newRow("current page at start") << 3 << cur << 1 << 3 << -1 << 1 << false << Pages({1});
    QTest::newRow("current page clicked") << 3 << cur << 1 << 3 << 2 << 1 << false << Pages({3});
    QTest::newRow("copies without collation")
        << 2 << all << 1 << 2 << -1 << 2 << false << Pages({1, 1, 2, 2});
    QTest::newRow("copies with collation") << 2 << all << 1 << 2 << -1 << 2 << true << Pages({1, 2, 1, 2});
    QTest::newRow("range 3 copies collated")
        << 4 << set << 3 << 2 << -1 << 3 << true << Pages({2, 3, 2, 3, 2, 3});
    QTest::newRow("current page 2 copies") << 3 << cur << 1 << 3 << 1 << 2 << true << Pages({2, 2});
    QTest::newRow("one page, all") << 1 << all << 1 << 1 << -1 << 1 << false << Pages({1});
    QTest::newRow("one page, current") << 1 << cur << 1 << 1 << -1 << 1 << false << Pages({1});
    QTest::newRow("one page, range") << 1 << set << 1 << 1 << -1 << 1 << false << Pages({1});
}

// Sets the dialog's choices from the current row.
static void ApplyChoice(FormOfdPrint &dialog, const QString &choice, int start, int end, int clicked,
                        int copies, bool collate)
{
    if (clicked >= 0)
        QTest::mouseClick(dialog.GetPreviewPage(clicked)->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(20, 20));
    const char *radio = choice == QLatin1String("all")   ? "radioButtonPageRangAll"
                        : choice == QLatin1String("cur") ? "radioButtonPageRangeCur"
                                                         : "radioButtonRangeSet";
    dialog.findChild<QRadioButton *>(QLatin1String(radio))->setChecked(true);
    auto *startBox = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxPageStart"));
    auto *endBox = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxPageEnd"));
    startBox->setCurrentText(QString::number(start));
    endBox->setCurrentText(QString::number(end));
    auto *copyBox = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxCopyCount"));
    copyBox->setCurrentIndex(copyBox->findText(QString::number(copies)));
    dialog.findChild<QCheckBox *>(QStringLiteral("checkBoxPrintByPageIndex"))->setChecked(collate);
}

void TestFormOfdPrint::pageChoice_data()
{
    PageChoiceColumns();
    PageChoiceRows();
}

// The page set and printing order the choices give, checked without a printer.
void TestFormOfdPrint::pageChoice()
{
    QFETCH(int, pageCount);
    QFETCH(QString, choice);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, clicked);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(QList<int>, expected);
    QVERIFY(Load(pageCount));
    ApplyChoice(*m_dialog, choice, start, end, clicked, copies, collate);
    QHash<int, int> pages;
    m_dialog->GetPageToPrint(pages);
    QList<int> set;
    for (int number : expected) {
        if (!set.contains(number - 1))
            set << number - 1;
    }
    QList<int> got = pages.keys();
    std::sort(got.begin(), got.end());
    std::sort(set.begin(), set.end());
    QCOMPARE(got, set);
}

void TestFormOfdPrint::printsPagesInOrder_data()
{
    PageChoiceColumns();
    PageChoiceRows();
}

void TestFormOfdPrint::printsPagesInOrder()
{
    QFETCH(int, pageCount);
    QFETCH(QString, choice);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, clicked);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(QList<int>, expected);
    QVERIFY(Load(pageCount));
    ApplyChoice(*m_dialog, choice, start, end, clicked, copies, collate);
    const QString pdf = PrintAndFetch(*m_dialog, kQueue);
    QVERIFY(!pdf.isEmpty());
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(PdfPageCount(pdf), expected.size());
    QCOMPARE(PdfPageSequence(pdf), expected);
    QList<int> sequence;
    for (int index : m_dialog->GetLastPrintedSequence())
        sequence << index + 1;
    QCOMPARE(sequence, expected);
    // No stamp unless asked for.
    QVERIFY(!PdfPageTexts(pdf).join(QString()).contains(T("页")));
}

void TestFormOfdPrint::pageNumberStamp_data()
{
    QTest::addColumn<bool>("collate");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("not collated") << false << Pages({1, 1, 2, 2, 3, 3});
    QTest::newRow("collated") << true << Pages({1, 2, 3, 1, 2, 3});
}

// Each printed page carries "第n页" of its own page near its top right corner.
void TestFormOfdPrint::pageNumberStamp()
{
    QFETCH(bool, collate);
    QFETCH(QList<int>, expected);
    QVERIFY(Load(3));
    ApplyChoice(*m_dialog, QStringLiteral("all"), 1, 3, -1, 2, collate);
    m_dialog->findChild<QCheckBox *>(QStringLiteral("checkBoxPrintPageNum"))->setChecked(true);
    const QString pdf = PrintAndFetch(*m_dialog, kQueue);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(PdfPageSequence(pdf), expected);
    const QStringList texts = PdfPageTexts(pdf);
    QCOMPARE(texts.size(), expected.size());
    const QRegularExpression stamp(T("第\\s*(\\d+)\\s*页"));
    for (int i = 0; i < texts.size(); ++i) {
        const QRegularExpressionMatch m = stamp.match(texts[i]);
        QVERIFY2(m.hasMatch(), qPrintable(texts[i]));
        QCOMPARE(m.captured(1).toInt(), expected[i]);
    }
    // Position: the stamp's words lie in the top tenth of the page, right of the middle.
    const QString html = RunTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("2"),
                                  QStringLiteral("-l"), QStringLiteral("2"), pdf, QStringLiteral("-")});
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"")).match(html);
    QVERIFY(page.hasMatch());
    const double width = page.captured(1).toDouble(), height = page.captured(2).toDouble();
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    bool found = false;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch w = it.next();
        if (!w.captured(3).contains(T("第")) && !w.captured(3).contains(T("页")))
            continue;
        found = true;
        QVERIFY2(w.captured(1).toDouble() > width / 2, qPrintable(w.captured(0)));
        QVERIFY2(w.captured(2).toDouble() < height / 10, qPrintable(w.captured(0)));
    }
    QVERIFY(found);
}

void TestFormOfdPrint::remembersThePrinter()
{
    if (!m_useQueue || QPrinterInfo::printerInfo(kSecondQueue).isNull())
        QSKIP("Needs the CUPS-PDF queues OfdTestPdf and OfdTestPdf2 (tools/ensure-printer.sh)");
    QVERIFY(Load(2));
    auto *printers = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPrinterName"));
    QCOMPARE(printers->currentText(), QPrinterInfo::defaultPrinterName());
    QVERIFY(QPrinterInfo::defaultPrinterName() != kSecondQueue);
    const QString pdf = PrintAndFetch(*m_dialog, kSecondQueue);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(PdfPageCount(pdf), 2);
    QCOMPARE(FormOfdPrint::GetLastPrinterName(), kSecondQueue);

    // A second dialog in the same run preselects the printer used last.
    FormOfdPrint again;
    again.SetOfdView(m_scenes);
    again.Init();
    QCOMPARE(again.findChild<QComboBox *>(QStringLiteral("comboBoxPrinterName"))->currentText(),
             kSecondQueue);
    // Back to the default queue for the next dialogs.
    QVERIFY(!PrintAndFetch(again, kQueue).isEmpty());
    QCOMPARE(FormOfdPrint::GetLastPrinterName(), kQueue);
}

void TestFormOfdPrint::readerWidgetOpensTheDialog()
{
    ViewTestDoc doc;
    doc.pageCount = 2;
    OfdReadWidget widget;
    QVERIFY(widget.ShowOfd(doc.Open()));
    QPointer<FormOfdPrint> seen;
    int previews = -1;
    QTimer::singleShot(0, this, [&] {
        seen = qobject_cast<FormOfdPrint *>(QApplication::activeModalWidget());
        if (!seen)
            return;
        previews = seen->GetPreviewCount();
        QTest::mouseClick(seen->findChild<QPushButton *>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(10000);
    QTest::mouseClick(widget.findChild<QPushButton *>(QStringLiteral("pushButtonPrint")), Qt::LeftButton);
    QVERIFY(guard.isActive());
    QCOMPARE(previews, 2);
    // The dialog lived for its exec only.
    QVERIFY(seen.isNull());
    QVERIFY(!widget.findChild<FormOfdPrint *>());
}

void TestFormOfdPrint::cancelCloses()
{
    QVERIFY(Load(1));
    QVERIFY(m_dialog->isVisible());
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
}

void TestFormOfdPrint::longDocumentRangeAndPreviews_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("deep inside") << QStringLiteral("1500") << QStringLiteral("1502") << 1500 << 1502;
    QTest::newRow("backwards") << QStringLiteral("2000") << QStringLiteral("1999") << 1999 << 2000;
    QTest::newRow("beyond the end is the end")
        << QStringLiteral("1998") << QStringLiteral("9999") << 1998 << 2000;
    QTest::newRow("not a number is the first") << QStringLiteral("x") << QStringLiteral("2") << 1 << 2;
}

// A long document: the range boxes take any typed page and the previews are few.
void TestFormOfdPrint::longDocumentRangeAndPreviews()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, first);
    QFETCH(int, last);
    QVERIFY(Load(2000));
    QVERIFY(m_dialog->GetLivePreviewCount() <= 4);
    auto *startBox = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPageStart"));
    auto *endBox = m_dialog->findChild<QComboBox *>(QStringLiteral("comboBoxPageEnd"));
    QCOMPARE(startBox->count(), 2);
    QCOMPARE(endBox->currentText(), QStringLiteral("2000"));
    m_dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonRangeSet"))->setChecked(true);
    startBox->setCurrentText(start);
    endBox->setCurrentText(end);
    QHash<int, int> pages;
    m_dialog->GetPageToPrint(pages);
    QList<int> got = pages.keys();
    std::sort(got.begin(), got.end());
    QList<int> expected;
    for (int number = first; number <= last; ++number)
        expected << number - 1;
    QCOMPARE(got, expected);
    // The preview of a far page is made on request and shows that page.
    FormOfdPage *far = m_dialog->GetPreviewPage(1700);
    QVERIFY(far);
    QCOMPARE(far->GetPageIndex(), 1700);
    m_dialog->ShowCurPageIndex(1700);
    QCOMPARE(m_dialog->GetSelectedIndex(), 1700);
    QVERIFY(m_dialog->GetLivePreviewCount() <= 6);
}

QTEST_MAIN(TestFormOfdPrint)
#include "test_formofdprint.moc"
