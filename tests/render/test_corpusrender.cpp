#include <QtTest>

#include <QDirIterator>
#include <QElapsedTimer>

#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "renderfixture.h"
#include "testdata.h"

// Page 1 of every real document of the corpus renders at 48 dpi without crashing, and a readable
// page with content is not left blank (skipped when the corpus is absent).
class TestCorpusRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstPagesRender();

private:
    QStringList m_files;
};

void TestCorpusRender::initTestCase()
{
    const QString dir = CorpusDir();
    if (dir.isEmpty())
        QSKIP("no corpus folder on this machine");
    QDirIterator it(dir, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        m_files << it.next();
    m_files.sort();
    if (m_files.isEmpty())
        QSKIP("the corpus folder holds no documents");
    OfdConvert::Init(96.0);
    OfdRenderInit::Init();
}

void TestCorpusRender::firstPagesRender()
{
    QElapsedTimer timer;
    timer.start();
    int rendered = 0;
    QStringList unreadable;
    QStringList blank;
    for (const QString &file : qAsConst(m_files)) {
        std::unique_ptr<OfdViewManage> manage = OpenPackageFile(file);
        OfdFile *document = manage ? manage->GetOfdFile(0) : nullptr;
        if (!document || document->GetPageCount() == 0) {
            unreadable << QFileInfo(file).fileName();
            continue;
        }
        const QImage image = OfdPageRenderer::RenderPage(manage.get(), 0, 0, 48);
        if (image.isNull()) {
            unreadable << QFileInfo(file).fileName();
            continue;
        }
        ++rendered;
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        bool inked = false;
        for (int y = 0; y < gray.height() && !inked; ++y) {
            for (int x = 0; x < gray.width() && !inked; ++x)
                inked = gray.constScanLine(y)[x] < 200;
        }
        if (!inked)
            blank << QFileInfo(file).fileName();
    }
    qInfo() << "rendered" << rendered << "of" << m_files.size() << "first pages in" << timer.elapsed()
            << "ms";
    qInfo() << "not renderable:" << unreadable;
    qInfo() << "blank first pages:" << blank;
    QVERIFY(rendered > 0);
    // Most of the corpus has visible content on page 1; a broad failure of drawing shows here.
    QVERIFY2(blank.size() * 10 < rendered, qPrintable(blank.join(QLatin1String(", "))));
}

QTEST_MAIN(TestCorpusRender)
#include "test_corpusrender.moc"
