#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsRectItem>
#include <QPainter>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "model/package/ofdfilereader.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "render/ofdrenderinit.h"
#include "testdata.h"
#include "viewtestdoc.h"

namespace {
// Draws a square in multiply mode: something a PDF page cannot show as the screen does.
class MultiplyItem : public QGraphicsRectItem
{
public:
    MultiplyItem() : QGraphicsRectItem(0, 0, 10, 10) {}
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setCompositionMode(QPainter::CompositionMode_Multiply);
        painter->fillRect(rect(), Qt::yellow);
    }
};

// Runs a poppler tool; the output, or a null string when the tool is missing or failed.
QString RunTool(const QString &tool, const QStringList &args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return QString();
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
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

// Size in points of one page.
QSizeF PdfPageSize(const QString &pdf, int page)
{
    const QString info =
        RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                            QString::number(page), pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// Page of the PDF rendered back at dpi dots per inch.
QImage RenderBack(const QString &pdf, int page, int dpi, const QString &dir)
{
    const QString prefix = dir + QStringLiteral("/back");
    QFile::remove(prefix + QStringLiteral(".png"));
    if (RunTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                 QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, prefix})
            .isNull())
        return QImage();
    return QImage(prefix + QStringLiteral(".png"));
}

// Bounding box of the pixels near a colour.
QRect FindColour(const QImage &image, const QColor &colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 40 && qAbs(c.green() - colour.green()) < 40 &&
                qAbs(c.blue() - colour.blue()) < 40)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool SameColour(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}
} // namespace

// Export of the document view to PNG files and PDF files.
class TestFormOfdExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pngFilesAndPixels_data();
    void pngFilesAndPixels();
    void pngKeepsTheView();
    void pdfPages_data();
    void pdfPages();
    void vectorPdfKeepsTextSelectable();
    void vectorPdfKeepsChineseSearchable();
    void autoChoosesPicturesWhenVectorDiffers();
    void progressCanBeCancelled_data();
    void progressCanBeCancelled();
    void corpusFilesExport();

private:
    std::unique_ptr<FormOfd> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFormOfdExport::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
}

void TestFormOfdExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_form = std::make_unique<FormOfd>();
    m_form->resize(700, 500);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    ViewTestDoc doc;
    doc.pageCount = 3;
    doc.texts = QStringList{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")};
    QVERIFY(LoadView(*m_form, doc));
}

void TestFormOfdExport::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestFormOfdExport::pngFilesAndPixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("firstNumber");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("numbered from 1") << "out.png" << 0 << QStringList{"out1.png", "out2.png", "out3.png"};
    QTest::newRow("numbered from 3") << "out.png" << 2 << QStringList{"out3.png", "out4.png", "out5.png"};
    QTest::newRow("dotted name") << "a.b.png" << 0 << QStringList{"a.b1.png", "a.b2.png", "a.b3.png"};
    QTest::newRow("no extension") << "plain" << 0 << QStringList{"plain1.png", "plain2.png", "plain3.png"};
}

void TestFormOfdExport::pngFilesAndPixels()
{
    QFETCH(QString, name);
    QFETCH(int, firstNumber);
    QFETCH(QStringList, files);
    QString path = m_dir->filePath(name);
    QVERIFY(m_form->SaveToImage(path, firstNumber));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files, QDir::Name), files);
    const double px = PxPerMM();
    for (int i = 0; i < files.size(); ++i) {
        const QImage image(m_dir->filePath(files[i]));
        QVERIFY(!image.isNull());
        FormOfdPage *page = m_form->GetPage(i);
        QCOMPARE(image.size(),
                 QSize(int(float(page->GetPageRealWidth())), int(float(page->GetPageRealHeight()))));
        // The square's centre has the page's colour; the corner is white.
        QCOMPARE(image.pixelColor(int(60 * px), int(90 * px)), ViewTestDoc::SquareColor(i));
        QCOMPARE(image.pixelColor(3, 3), QColor(Qt::white));
        // The text line is drawn.
        bool ink = false;
        for (int x = int(10 * px); x < int(40 * px) && !ink; ++x)
            ink = image.pixelColor(x, int(13 * px)).lightness() < 128;
        QVERIFY2(ink, "the page text is in the picture");
    }
}

void TestFormOfdExport::pngKeepsTheView()
{
    m_form->SetViewCurrentRate(1.5, false);
    m_form->ViewRotationRight(90);
    FormOfdPage *page = m_form->GetPage(1);
    const QSize shown = page->size();
    QString path = m_dir->filePath(QStringLiteral("keep.png"));
    QVERIFY(m_form->SaveToImage(path, 0));
    // The picture is the page upright at its natural size; the view keeps its zoom and rotation.
    const QImage image(m_dir->filePath(QStringLiteral("keep2.png")));
    QCOMPARE(image.width(), int(float(page->GetPageRealWidth())));
    QCOMPARE(image.pixelColor(int(60 * PxPerMM()), int(90 * PxPerMM())), ViewTestDoc::SquareColor(1));
    QCOMPARE(page->size(), shown);
    QCOMPARE(page->GetRate(), 1.5);
    QCOMPARE(page->GetRotation(), 90.0);
    QCOMPARE(page->GetGrabCount(), 1);
}

void TestFormOfdExport::pdfPages_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("vector") << int(EN_PdfExportMode_Vector);
    QTest::newRow("pictures") << int(EN_PdfExportMode_Picture);
    QTest::newRow("automatic") << int(EN_PdfExportMode_Auto);
}

void TestFormOfdExport::pdfPages()
{
    QFETCH(int, mode);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("poppler-utils are not installed");
    QString pdf = m_dir->filePath(QStringLiteral("out.pdf"));
    QVERIFY(m_form->SaveToPdf(pdf, EN_PdfExportMode(mode)));
    QCOMPARE(PdfPageCount(pdf), 3);
    const QSizeF size = PdfPageSize(pdf, 2);
    const bool vector = mode != EN_PdfExportMode_Picture; // the plain document is drawn exactly
    if (vector) {
        // The page keeps its own size: 100 x 150 mm.
        QVERIFY2(qAbs(size.width() - 100 / 25.4 * 72) < 1 && qAbs(size.height() - 150 / 25.4 * 72) < 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    } else {
        QVERIFY2(qAbs(size.width() - 595) < 2 && qAbs(size.height() - 842) < 2, "A4 pages");
    }
    for (int page = 1; page <= 3; ++page) {
        const QImage back = RenderBack(pdf, page, 72, m_dir->path());
        QVERIFY(!back.isNull());
        const double ptPerMM = 72 / 25.4;
        if (vector) {
            // Whole pixels of a page 283.46 points wide.
            QVERIFY2(qAbs(back.width() - 100 * ptPerMM) <= 1 && qAbs(back.height() - 150 * ptPerMM) <= 1,
                     qPrintable(QStringLiteral("%1 x %2").arg(back.width()).arg(back.height())));
            QVERIFY(SameColour(back.pixelColor(int(60 * ptPerMM), int(90 * ptPerMM)),
                               ViewTestDoc::SquareColor(page - 1)));
            QVERIFY(SameColour(back.pixelColor(int(40 * ptPerMM), int(90 * ptPerMM)), Qt::white));
        } else {
            // The page picture fills the printable width of A4: the square keeps its place relative
            // to the page picture and is square.
            const QRect square = FindColour(back, ViewTestDoc::SquareColor(page - 1));
            QVERIFY(!square.isEmpty());
            QVERIFY2(qAbs(square.width() - square.height()) <= 2, "square");
            const double scale = square.width() / (20 * ptPerMM);
            QVERIFY2(scale > 1.7 && scale < 2.2, qPrintable(QString::number(scale)));
            QVERIFY(FindColour(back, ViewTestDoc::SquareColor(page % 3)).isEmpty());
        }
    }
}

void TestFormOfdExport::vectorPdfKeepsTextSelectable()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    QString vector = m_dir->filePath(QStringLiteral("vector.pdf"));
    QVERIFY(m_form->SaveToPdf(vector));
    const QString text = RunTool(QStringLiteral("pdftotext"), {vector, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("First")) && text.contains(QStringLiteral("Third")),
             qPrintable(text));
    QString pictures = m_dir->filePath(QStringLiteral("pictures.pdf"));
    QVERIFY(m_form->SaveToPdf(pictures, EN_PdfExportMode_Picture));
    QVERIFY(!RunTool(QStringLiteral("pdftotext"), {pictures, QStringLiteral("-")})
                 .contains(QStringLiteral("First")));
}

void TestFormOfdExport::vectorPdfKeepsChineseSearchable()
{
    // 文, 人 and 民 share their glyphs with radicals in CJK fonts; the export gives the ideographs.
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    ViewTestDoc doc;
    doc.pageCount = 1;
    doc.texts = QStringList{QString::fromUtf8("人民文")};
    FormOfd form;
    form.resize(700, 500);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(LoadView(form, doc));
    QString vector = m_dir->filePath(QStringLiteral("chinese.pdf"));
    QVERIFY(form.SaveToPdf(vector, EN_PdfExportMode_Vector));
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {vector, QStringLiteral("-")}).remove(QLatin1Char(' '));
    QVERIFY2(text.contains(QString::fromUtf8("人民文")), qPrintable(text));
}

void TestFormOfdExport::autoChoosesPicturesWhenVectorDiffers()
{
    QVERIFY(m_form->IsVectorPdfExact());
    m_form->GetPage(1)->GetPageScene()->addItem(new MultiplyItem());
    QVERIFY(!m_form->IsVectorPdfExact());
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo is not installed");
    QString pdf = m_dir->filePath(QStringLiteral("auto.pdf"));
    QVERIFY(m_form->SaveToPdf(pdf));
    QCOMPARE(PdfPageCount(pdf), 3);
    const QSizeF size = PdfPageSize(pdf, 1);
    QVERIFY2(qAbs(size.width() - 595) < 2, "page pictures on A4");
}

void TestFormOfdExport::progressCanBeCancelled_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::newRow("png") << false;
    QTest::newRow("pdf") << true;
}

void TestFormOfdExport::progressCanBeCancelled()
{
    QFETCH(bool, pdf);
    m_form->SetExportProgressThreshold(2);
    int seen = 0;
    bool dialogShown = false;
    connect(m_form.get(), &FormOfd::SignalExportProgress, this, [&](int done, int total) {
        QCOMPARE(total, 3);
        ++seen;
        auto *progress = m_form->findChild<QProgressDialog *>(QStringLiteral("exportProgress"));
        if (progress && done == 1) {
            dialogShown = progress->isVisible();
            progress->cancel();
        }
    });
    QString name = m_dir->filePath(pdf ? QStringLiteral("c.pdf") : QStringLiteral("c.png"));
    // A file of an earlier export under the same name.
    const QString earlier = pdf ? name : m_dir->filePath(QStringLiteral("c1.png"));
    {
        QFile old(earlier);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier export");
    }
    QVERIFY(!(pdf ? m_form->SaveToPdf(name) : m_form->SaveToImage(name, 0)));
    QCOMPARE(seen, 1);
    QVERIFY(dialogShown);
    // Cancelled: reported as such, nothing new written, the earlier file untouched, no part files.
    QVERIFY(m_form->IsExportCancelled());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(earlier).fileName()});
    {
        QFile old(earlier);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier export"));
    }
    QVERIFY(!m_form->findChild<QProgressDialog *>(QStringLiteral("exportProgress")));
    // Below the threshold there is no dialog and everything is written.
    m_form->SetExportProgressThreshold(10);
    seen = 0;
    dialogShown = false;
    QVERIFY(pdf ? m_form->SaveToPdf(name) : m_form->SaveToImage(name, 0));
    QVERIFY(!m_form->IsExportCancelled());
    QCOMPARE(seen, 3);
    QVERIFY(!dialogShown);
}

void TestFormOfdExport::corpusFilesExport()
{
    const QString corpus = CorpusDir();
    if (corpus.isEmpty())
        QSKIP("no corpus of real files");
    const bool havePdfInfo = !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
    QStringList files;
    QDirIterator it(corpus, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    QElapsedTimer timer;
    timer.start();
    int exported = 0;
    for (const QString &path : qAsConst(files)) {
        if (timer.elapsed() > 3000)
            break; // a sample of the corpus keeps the test fast
        QSharedPointer<OfdFileReader> reader(new OfdFileReader());
        FormOfd form;
        form.resize(600, 400);
        if (!reader->Open(path) || !form.SetOfdFileReader(reader))
            continue; // files the package reader refuses are its tests' business
        form.ShowPages();
        const int pages = form.GetPageCount();
        // Page widgets exist only near the viewport.
        QVERIFY(form.GetPageList().size() <= pages);
        if (pages == 0 || pages > 12)
            continue;
        QString pdf = m_dir->filePath(QStringLiteral("corpus.pdf"));
        QVERIFY2(form.SaveToPdf(pdf), qPrintable(path));
        if (havePdfInfo)
            QVERIFY2(PdfPageCount(pdf) == pages, qPrintable(path));
        QString png = m_dir->filePath(QStringLiteral("corpus.png"));
        QVERIFY2(form.SaveToImage(png, 0), qPrintable(path));
        ++exported;
    }
    QVERIFY(exported > 0);
}

QTEST_MAIN(TestFormOfdExport)
#include "test_formofdexport.moc"
