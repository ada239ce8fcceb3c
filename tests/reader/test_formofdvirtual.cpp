#include <QBuffer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "annot/ofdannotsupport.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/pageannotmanage.h"
#include "app/appparam.h"
#include "model/document/ofdfile.h"
#include "reader/formofd.h"
#include "reader/formofdannot.h"
#include "reader/formofdpage.h"
#include "reader/formofdthumbnail.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "sign/oesv2helper.h"
#include "sign/sealsigninfo.h"
#include "viewtestdoc.h"

namespace {
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

ViewTestDoc Pages(int count, const QString &text = QString())
{
    ViewTestDoc doc;
    doc.pageCount = count;
    for (int i = 0; i < count; ++i)
        doc.texts << (text.isEmpty() ? QStringLiteral("Line%1").arg(i) : text);
    return doc;
}

// Widgets of a class under a parent, the page widgets among them.
int PageWidgetsUnder(QWidget *parent)
{
    return parent->findChildren<FormOfdPage *>().size();
}
} // namespace

// The document view of long documents: widgets and scenes only near the view, state that survives a
// page leaving and coming back, scrolling and zooming a column taller than any widget may be.
class TestFormOfdVirtual : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void longDocumentKeepsWidgetsAndScenesFew_data();
    void longDocumentKeepsWidgetsAndScenesFew();
    void pagesAreReadOnlyWhenShown();
    void jumpToLastPageShowsIt();
    void highZoomColumnExceedsWidgetLimit();
    void selectionSurvivesLeavingTheView();
    void searchMarksComeBackWithThePage();
    void newAnnotationKeepsItsScene();
    void annotationPanelOfLongDocument();
    void placedSealKeepsItsScene();
    void customTagShownWhenPageArrives();
    void pageOfOtherSizeIsLaidOutWhenRead();
    void searchReportsProgressAndCanStop();
    void nextAndPreviousHits_data();
    void nextAndPreviousHits();
    void thumbnailsOfLongDocument();

private:
    void Load(const ViewTestDoc &doc);
    std::unique_ptr<FormOfd> m_form;
};

void TestFormOfdVirtual::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
    OfdAnnotSupport::Install();
}

void TestFormOfdVirtual::init()
{
    m_form = std::make_unique<FormOfd>();
    m_form->resize(800, 600);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestFormOfdVirtual::cleanup()
{
    m_form.reset();
    Settle();
}

void TestFormOfdVirtual::Load(const ViewTestDoc &doc)
{
    QVERIFY(LoadView(*m_form, doc));
    Settle();
}

void TestFormOfdVirtual::longDocumentKeepsWidgetsAndScenesFew_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("rate");
    QTest::newRow("one column") << 1 << 1.0;
    QTest::newRow("two columns, small") << 2 << 0.3;
    QTest::newRow("three columns, tiny") << 3 << 0.1;
}

void TestFormOfdVirtual::longDocumentKeepsWidgetsAndScenesFew()
{
    QFETCH(int, columns);
    QFETCH(double, rate);
    Load(Pages(5000));
    QCOMPARE(m_form->GetPageCount(), 5000);
    m_form->ShowPage(columns);
    m_form->SetViewCurrentRate(rate, false);
    m_form->SetSceneBudget(20);
    Settle();
    // Scroll through the whole document in steps of a few pages.
    int most = 0;
    int mostScenes = 0;
    for (int page = 0; page < 5000; page += 97) {
        m_form->ScrollToPage(page);
        Settle();
        QVERIFY(m_form->GetPage(page));
        most = qMax(most, PageWidgetsUnder(m_form.get()));
        mostScenes = qMax(mostScenes, m_form->GetSceneCount());
        QVERIFY(m_form->GetCurShowPageIndex() >= page - columns && m_form->GetCurShowPageIndex() <= page);
    }
    // The pages in sight (a viewport of 600 px), one row each side: a bounded number whatever the length.
    const int pageHeight = m_form->GetPageSlotSize(0).height() + AppParam::PageRowSpace;
    const int rowsInSight = 600 / pageHeight + 2;
    const int bound = (rowsInSight + 2) * columns + 2;
    QVERIFY2(most <= bound, qPrintable(QStringLiteral("%1 widgets, bound %2").arg(most).arg(bound)));
    // Scenes: the budget, or the pages shown when more are in sight than the budget allows.
    QVERIFY2(mostScenes <= qMax(20, bound), qPrintable(QString::number(mostScenes)));
    QVERIFY(m_form->GetLivePageCount() <= bound);
}

void TestFormOfdVirtual::pagesAreReadOnlyWhenShown()
{
    Load(Pages(300));
    OfdFile *file = m_form->GetOfdFile();
    int parsed = 0;
    for (int i = 0; i < file->GetPageCount(); ++i)
        parsed += file->IsPageParsed(i) ? 1 : 0;
    // The first pages on screen and one below were read; the rest were laid out from the descriptor.
    QVERIFY2(parsed > 0 && parsed <= 4, qPrintable(QString::number(parsed)));
    QVERIFY(!file->IsPageParsed(250));
    QCOMPARE(m_form->GetPageSlotSize(250), m_form->GetPageSlotSize(0));
    m_form->ScrollToPage(250);
    Settle();
    QVERIFY(file->IsPageParsed(250));
}

void TestFormOfdVirtual::jumpToLastPageShowsIt()
{
    Load(Pages(5000));
    m_form->ScrollToPage(4998);
    Settle();
    QCOMPARE(m_form->GetCurShowPageIndex(), 4998);
    FormOfdPage *page = m_form->GetPage(4998);
    QVERIFY(page && page->isVisible());
    // The widget sits at the top of the view, and it shows its own page.
    QCOMPARE(page->y(), 0);
    QCOMPARE(page->GetPageScene()->GetPageIndex(), 4998);
    const QImage picture = page->grab().toImage();
    const double px = PxPerMM();
    QCOMPARE(picture.pixelColor(QPoint(int(60 * px), int(90 * px))), ViewTestDoc::SquareColor(4998));
}

void TestFormOfdVirtual::highZoomColumnExceedsWidgetLimit()
{
    Load(Pages(5000));
    QVERIFY(m_form->SetViewCurrentRate(FormOfd::GetMaxRate(), false));
    Settle();
    // 5000 pages at rate 64 are far taller than a widget may be (16777215 px).
    QVERIFY(m_form->GetContentHeight() > qint64(QWIDGETSIZE_MAX) * 10);
    m_form->ScrollToPage(4999, 0, 80);
    Settle();
    QCOMPARE(m_form->GetCurShowPageIndex(), 4999);
    FormOfdPage *page = m_form->GetPage(4999);
    QVERIFY(page);
    // The page's top is 80 mm-pixels x 64 above the view: the widget lies there, not far off.
    QCOMPARE(page->y(), -int(80 * 64));
    QCOMPARE(m_form->GetScrollTop(), m_form->GetPageTop(4999) + 80 * 64);
    // Back at the top.
    m_form->ScrollToPage(0);
    Settle();
    QCOMPARE(m_form->GetCurShowPageIndex(), 0);
    QCOMPARE(m_form->GetScrollTop(), m_form->GetPageTop(0));
}

void TestFormOfdVirtual::selectionSurvivesLeavingTheView()
{
    Load(Pages(200));
    m_form->SetSceneBudget(4);
    m_form->SetMouseShape(EN_MouseShape_Text);
    OfdPageScene *scene = m_form->GetPage(1)->GetPageScene();
    scene->SelectText(scene->sceneRect());
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line1"));
    for (int page = 20; page < 200; page += 20) {
        m_form->ScrollToPage(page);
        Settle();
    }
    QVERIFY(m_form->GetSceneCount() <= 6);
    // The page went out of the view, its widget with it, but not its selection.
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line1"));
    m_form->ScrollToPage(1);
    Settle();
    QCOMPARE(m_form->GetPage(1)->GetPageScene(), scene);
    QCOMPARE(m_form->GetPage(1)->GetCopyText(), QStringLiteral("Line1"));
    // Once cleared, the scene may go like any other.
    m_form->ClearAllSelectText();
    m_form->ScrollToPage(150);
    Settle();
    QVERIFY(!m_form->GetSceneIfBuilt(1));
}

void TestFormOfdVirtual::searchMarksComeBackWithThePage()
{
    ViewTestDoc doc = Pages(120);
    doc.texts[3] = QStringLiteral("needle here");
    doc.texts[110] = QStringLiteral("a needle and a needle");
    Load(doc);
    m_form->SetSceneBudget(4);
    QCOMPARE(m_form->SearchText(QStringLiteral("needle")), 3);
    QCOMPARE(m_form->GetSearchHitCount(3), 1);
    QCOMPARE(m_form->GetSearchHitCount(110), 2);
    QCOMPARE(m_form->GetSearchHitCount(4), 0);
    Settle();
    // Far away the scenes of the hit pages were dropped; back, the marks are drawn again.
    m_form->ScrollToPage(60);
    Settle();
    QVERIFY(!m_form->GetSceneIfBuilt(3));
    m_form->ScrollToPage(3);
    Settle();
    FormOfdPage *page = m_form->GetPage(3);
    QCOMPARE(page->GetSearchHitCount(), 1);
    // One rectangle per character of the hit, kept after the page's first paint.
    QCOMPARE(page->GetPageScene()->GetSearchRects().size(), 6);
    const QRectF hit = page->GetPageScene()->GetSearchRects().first();
    QVERIFY(hit.top() >= 9 * PxPerMM() && hit.bottom() <= 19 * PxPerMM());
}

void TestFormOfdVirtual::newAnnotationKeepsItsScene()
{
    Load(Pages(100));
    m_form->SetSceneBudget(3);
    m_form->SetReaderView(EN_OfdReaderView_Annot);
    m_form->SetAnnot(EN_AnnotType_Rect);
    m_form->SetMouseShape(EN_MouseShape_Annot);
    FormOfdPage *page = m_form->GetPage(0);
    OfdPageScene *scene = page->GetPageScene();
    PageAnnotManage *manage = PageAnnotManage::FromScene(scene);
    QVERIFY(manage);
    QVERIFY(manage->DrawAnnotStart(QPointF(20, 20)));
    manage->DrawAnnotMove(QPointF(80, 90));
    QVERIFY(manage->DrawAnnotEnd(QPointF(80, 90)));
    QVERIFY(manage->IsHaveNewAnnot());
    for (int p = 10; p < 100; p += 10) {
        m_form->ScrollToPage(p);
        Settle();
    }
    // The drawn annotation exists only in its scene: the scene stayed.
    QCOMPARE(m_form->GetSceneIfBuilt(0), scene);
    m_form->ScrollToPage(0);
    Settle();
    QCOMPARE(m_form->GetPage(0)->GetPageScene(), scene);
    QCOMPARE(PageAnnotManage::FromScene(scene)->GetNewAnnotGroup().size(), 1);
    // Every page is handed to the writer: the built scene for page 0, nothing for pages without one.
    const QList<OfdPageScene *> scenes = m_form->GetPageSceneList();
    QCOMPARE(scenes.size(), 100);
    QCOMPARE(scenes[0], scene);
    QVERIFY(!scenes[50]);
}

void TestFormOfdVirtual::annotationPanelOfLongDocument()
{
    // Annotations on pages 4 and 1501 of 2,000; the second of page 1501's is hidden in the file.
    ViewTestDoc doc = Pages(2000);
    doc.documentExtra = QStringLiteral("<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>");
    const QString ns = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
    const auto annot = [](int id, const QString &subtype, bool visible) {
        return QStringLiteral("<ofd:Annot ID=\"%1\" Type=\"Path\" Subtype=\"%2\" Creator=\"Tester\" "
                              "LastModDate=\"2024-01-02\"%3><ofd:Appearance Boundary=\"10 10 30 30\">"
                              "<ofd:PathObject ID=\"%4\" Boundary=\"0 0 30 30\"><ofd:AbbreviatedData>M 0 0 "
                              "L 30 30</ofd:AbbreviatedData></ofd:PathObject></ofd:Appearance></ofd:Annot>")
            .arg(id)
            .arg(subtype, visible ? QString() : QStringLiteral(" Visible=\"false\""))
            .arg(id + 1);
    };
    doc.extraFiles.append(
        {QStringLiteral("Doc_0/Annots/Annotations.xml"),
         QStringLiteral(
             "<ofd:Annotations %1><ofd:Page PageID=\"%2\"><ofd:FileLoc>Page_3/Annotation.xml"
             "</ofd:FileLoc></ofd:Page><ofd:Page PageID=\"%3\"><ofd:FileLoc>Page_1500/Annotation.xml"
             "</ofd:FileLoc></ofd:Page></ofd:Annotations>")
             .arg(ns)
             .arg(ViewTestDoc::PageId(3))
             .arg(ViewTestDoc::PageId(1500))
             .toUtf8()});
    doc.extraFiles.append({QStringLiteral("Doc_0/Annots/Page_3/Annotation.xml"),
                           QStringLiteral("<ofd:PageAnnot %1>%2</ofd:PageAnnot>")
                               .arg(ns, annot(5000, QStringLiteral("Line"), true))
                               .toUtf8()});
    doc.extraFiles.append(
        {QStringLiteral("Doc_0/Annots/Page_1500/Annotation.xml"),
         QStringLiteral("<ofd:PageAnnot %1>%2%3</ofd:PageAnnot>")
             .arg(ns, annot(5010, QStringLiteral("Rect"), true), annot(5020, QStringLiteral("Arrow"), false))
             .toUtf8()});
    Load(doc);
    m_form->SetSceneBudget(10);
    const int scenesBefore = m_form->GetSceneCount();

    // Listing every page's annotations builds no page.
    FormOfdAnnot panel;
    panel.ShowAnnots(m_form.get());
    QCOMPARE(m_form->GetSceneCount(), scenesBefore);
    QVERIFY(!m_form->GetSceneIfBuilt(1500));
    QTreeWidget *tree = panel.GetTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString::fromUtf8("第4页"));
    QTreeWidgetItem *far = tree->topLevelItem(1);
    QCOMPARE(far->text(0), QString::fromUtf8("第1501页"));
    QCOMPARE(far->childCount(), 2);
    QVERIFY(far->child(0)->text(0).startsWith(QStringLiteral("Rect")));
    QCOMPARE(far->child(0)->checkState(0), Qt::Checked);
    QCOMPARE(far->child(1)->checkState(0), Qt::Unchecked);

    // Unticking an annotation of a page never built hides that very item once the page is there,
    // and the page keeps it hidden after it left the view and came back.
    far->child(0)->setCheckState(0, Qt::Unchecked);
    OfdPageScene *scene = m_form->GetSceneIfBuilt(1500);
    QVERIFY(scene);
    PageAnnotManage *manage = PageAnnotManage::FromScene(scene);
    QVERIFY(manage);
    QCOMPARE(manage->GetLoadedAnnotGroup().size(), 2);
    QVERIFY(!manage->GetLoadedAnnotGroup()[0]->isVisible());
    QVERIFY(!manage->GetLoadedAnnotGroup()[1]->isVisible());
    for (int p = 0; p < 2000; p += 150) {
        m_form->ScrollToPage(p);
        Settle();
    }
    m_form->ScrollToPage(1500);
    Settle();
    QCOMPARE(m_form->GetSceneIfBuilt(1500), scene);
    QVERIFY(!manage->GetLoadedAnnotGroup()[0]->isVisible());
    // The list made again from the built scene agrees with the one made from the files.
    const QList<FormOfdAnnotEntry> entries = m_form->CreateAnnotViewData(1500);
    QCOMPARE(entries.size(), 2);
    QVERIFY(!entries[0].visible);
    QCOMPARE(entries[0].subtype, QStringLiteral("Rect"));
    QCOMPARE(entries[0].itemIds, QList<int>({manage->GetLoadedAnnotGroup()[0]->GetItemId()}));
    QCOMPARE(entries[0].lastModDate.date(), QDate(2024, 1, 2));
}

void TestFormOfdVirtual::placedSealKeepsItsScene()
{
    Load(Pages(100));
    m_form->SetSceneBudget(3);
    QSharedPointer<OES_SealInfoEx> seal(new OES_SealInfoEx);
    seal->sealId = QStringLiteral("a");
    seal->sealData = QByteArray("a");
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QBuffer buffer(&seal->pictureData);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    seal->pictureType = QStringLiteral("png");
    seal->pictureWidth = 30;
    seal->pictureHeight = 30;
    OfdPageScene *scene = m_form->GetPage(0)->GetPageScene();
    QVERIFY(m_form->ShowFreeSign(seal));
    for (int p = 10; p < 100; p += 10) {
        m_form->ScrollToPage(p);
        Settle();
    }
    QCOMPARE(m_form->GetSceneIfBuilt(0), scene);
    QCOMPARE(m_form->GetSealSignInfo().size(), 1);
    QCOMPARE(m_form->GetSealSignInfo().first()->GetPageIndex(), 0);
}

void TestFormOfdVirtual::customTagShownWhenPageArrives()
{
    Load(Pages(100));
    OfdXmlCustomTagPageRef far{QStringLiteral("No"), QStringLiteral("Invoice/No"), ViewTestDoc::PageId(80),
                               ViewTestDoc::SquareId(80)};
    QList<OfdXmlCustomTagPageRef *> refs{&far};
    m_form->ShowCustomtagNode(refs);
    Settle();
    // The view went to the tagged page, which shows the highlight over the square.
    QCOMPARE(m_form->GetCurShowPageIndex(), 80);
    QCOMPARE(m_form->GetPage(80)->GetCustomTagRects().size(), 1);
    m_form->ScrollToPage(10);
    Settle();
    m_form->ScrollToPage(80);
    Settle();
    QCOMPARE(m_form->GetPage(80)->GetCustomTagRects().size(), 1);
}

void TestFormOfdVirtual::pageOfOtherSizeIsLaidOutWhenRead()
{
    // Page 40 carries its own, wider area; before it is read it is laid out like the others.
    ViewTestDoc doc = Pages(60);
    doc.pageAreas.insert(40, QSizeF(200, 150));
    Load(doc);
    const QSize before = m_form->GetPageSlotSize(40);
    QCOMPARE(before, m_form->GetPageSlotSize(0));
    const qint64 below = m_form->GetPageTop(41);
    m_form->ScrollToPage(40);
    Settle();
    const QSize after = m_form->GetPageSlotSize(40);
    QCOMPARE(after.width(), int(float(200 * PxPerMM())));
    QCOMPARE(after.height(), int(float(150 * PxPerMM())));
    QCOMPARE(m_form->GetPage(40)->size(), after);
    // The pages below moved up by the height the page lost, and page 40 stays in view.
    QCOMPARE(m_form->GetPageTop(41), below - (before.height() - after.height()));
    QCOMPARE(m_form->GetCurShowPageIndex(), 40);
}

void TestFormOfdVirtual::searchReportsProgressAndCanStop()
{
    ViewTestDoc doc = Pages(400);
    doc.texts[5] = QStringLiteral("target");
    doc.texts[390] = QStringLiteral("target");
    Load(doc);
    QSignalSpy progress(m_form.get(), &FormOfd::SignalSearchProgress);
    QCOMPARE(m_form->SearchText(QStringLiteral("target")), 2);
    // One report per page, then the end (-1).
    QCOMPARE(progress.count(), 401);
    QCOMPARE(progress.first().at(0).toInt(), 0);
    QCOMPARE(progress.last().at(0).toInt(), -1);
    // The first hit is shown.
    QCOMPARE(m_form->GetCurShowPageIndex(), 5);

    // Stopped from the progress report: the pages after it are not searched.
    progress.clear();
    connect(m_form.get(), &FormOfd::SignalSearchProgress, m_form.get(), [this](int page, int searched, int) {
        if (page >= 0 && searched == 50)
            m_form->CancelSearch();
    });
    m_form->ScrollToPage(0);
    QCOMPARE(m_form->SearchText(QStringLiteral("target")), 1);
    QCOMPARE(progress.count(), 52);
    QCOMPARE(m_form->GetSearchHitCount(390), 0);
    QVERIFY(!m_form->IsSearching());
}

void TestFormOfdVirtual::nextAndPreviousHits_data()
{
    QTest::addColumn<QList<bool>>("moves"); // true: backwards
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("hit");
    QTest::newRow("first") << QList<bool>{} << 2 << 0;
    QTest::newRow("second on the same page") << QList<bool>{false} << 2 << 1;
    QTest::newRow("next page") << QList<bool>{false, false} << 30 << 0;
    QTest::newRow("round the end") << QList<bool>{false, false, false, false} << 2 << 0;
    QTest::newRow("back round the start") << QList<bool>{true} << 70 << 0;
    QTest::newRow("back and forth") << QList<bool>{false, false, true} << 2 << 1;
}

void TestFormOfdVirtual::nextAndPreviousHits()
{
    QFETCH(QList<bool>, moves);
    QFETCH(int, page);
    QFETCH(int, hit);
    ViewTestDoc doc = Pages(80);
    doc.texts[2] = QStringLiteral("key key");
    doc.texts[30] = QStringLiteral("key");
    doc.texts[70] = QStringLiteral("key");
    Load(doc);
    m_form->SetSceneBudget(3);
    QCOMPARE(m_form->SearchText(QStringLiteral("key")), 4);
    for (bool backwards : moves)
        QVERIFY(m_form->ShowNextHit(backwards));
    Settle();
    int shownPage = -1;
    int shownHit = -1;
    QVERIFY(m_form->GetCurrentHit(shownPage, shownHit));
    QCOMPARE(shownPage, page);
    QCOMPARE(shownHit, hit);
    QCOMPARE(m_form->GetCurShowPageIndex(), page);
    // The hit itself lies in the view, near its top.
    FormOfdPage *widget = m_form->GetPage(page);
    const QRect rect = widget->mapFromScene(widget->GetPageScene()->GetSearchRects().at(hit)).boundingRect();
    const int inView = widget->y() + rect.top();
    QVERIFY2(inView >= 0 && inView < 600, qPrintable(QString::number(inView)));
}

void TestFormOfdVirtual::thumbnailsOfLongDocument()
{
    Load(Pages(3000));
    FormOfdThumbnail panel;
    panel.resize(260, 500);
    panel.ShowThumbnail(m_form.get(), 200);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.GetThumbnailCount(), 3000);
    QVERIFY(panel.GetLiveThumbnailCount() <= 6);
    // Following the view far down: the thumbnail there is made and marked, few exist.
    m_form->ScrollToPage(2500);
    Settle();
    QVERIFY(panel.GetLiveThumbnailCount() <= 6);
    FormOfdPage *thumb = panel.GetThumbnail(2500);
    QVERIFY(thumb->IsShowSelectFlag());
    QCOMPARE(thumb->GetPageScene(), m_form->GetPage(2500)->GetPageScene());
    QVERIFY(thumb->isVisible());
    QVERIFY(m_form->GetSceneCount() <= m_form->GetSceneBudget() + 8);
}

QTEST_MAIN(TestFormOfdVirtual)
#include "test_formofdvirtual.moc"
