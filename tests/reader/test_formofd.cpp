#include <QApplication>
#include <QClipboard>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

#include "app/appparam.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/scrollareaofpage.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "viewtestdoc.h"

namespace {
const QString kSeparator = QStringLiteral("\r\n--------------------\r\n");

// Lets layouts and posted events run.
void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

ViewTestDoc Pages(int count)
{
    ViewTestDoc doc;
    doc.pageCount = count;
    for (int i = 0; i < count; ++i)
        doc.texts << QStringLiteral("Line%1").arg(i);
    return doc;
}

// Sends a mouse event to a page the way the window system does (to its viewport).
void SendMouse(FormOfdPage *page, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWidget *target = page->viewport();
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The position in a page's viewport of a point of another page's viewport.
QPoint MapBetween(FormOfdPage *from, const QPoint &pos, FormOfdPage *to)
{
    return to->viewport()->mapFromGlobal(from->viewport()->mapToGlobal(pos));
}
} // namespace

// The document view: layout, zoom, rotation, current page, keys, selection, search, custom tags.
class TestFormOfd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutColumns_data();
    void layoutColumns();
    void sameColumnCountKeepsLayout();
    void zoomRate_data();
    void zoomRate();
    void fitModes();
    void zoomKeepsPosition();
    void zoomAtTopStaysAtTop();
    void rotation_data();
    void rotation();
    void rotationSwapsPageSize();
    void currentPageAfterScrolling();
    void equallyVisiblePagesPickEarlier();
    void keyNavigation_data();
    void keyNavigation();
    void previousNextRows_data();
    void previousNextRows();
    void selectionAcrossPagesAndCopy();
    void selectionOnOnePageEndsOthers();
    void copyWithoutSelectionLeavesClipboard();
    void searchMarksHitsOnSeveralPages();
    void customTagHighlight();
    void ctrlWheelZooms();
    void handToolPans();
    void mouseShapeReachesPages();
    void escapeLeavesFullScreen();

private:
    void Load(const ViewTestDoc &doc);

    std::unique_ptr<FormOfd> m_form;
};

void TestFormOfd::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
}

void TestFormOfd::init()
{
    m_form = std::make_unique<FormOfd>();
    m_form->resize(800, 600);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestFormOfd::cleanup()
{
    m_form.reset();
}

void TestFormOfd::Load(const ViewTestDoc &doc)
{
    QVERIFY(LoadView(*m_form, doc));
    Settle();
}

void TestFormOfd::layoutColumns_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("usedColumns");
    QTest::addColumn<int>("rows");
    QTest::newRow("one column") << 3 << 1 << 1 << 3;
    QTest::newRow("five in two") << 5 << 2 << 2 << 3;
    QTest::newRow("four in two") << 4 << 2 << 2 << 2;
    QTest::newRow("zero is one") << 3 << 0 << 1 << 3;
    QTest::newRow("negative is one") << 2 << -4 << 1 << 2;
    QTest::newRow("three columns") << 7 << 3 << 3 << 3;
}

void TestFormOfd::layoutColumns()
{
    QFETCH(int, pages);
    QFETCH(int, columns);
    QFETCH(int, usedColumns);
    QFETCH(int, rows);
    Load(Pages(pages));
    QCOMPARE(m_form->GetPageColumnCount(), 1);
    m_form->ShowPage(columns);
    Settle();
    QCOMPARE(m_form->GetPageColumnCount(), usedColumns);
    QCOMPARE(m_form->GetPageRowCount(), rows);
    auto left = [this](int i) { return m_form->GetPageLeft(i); };
    auto top = [this](int i) { return m_form->GetPageTop(i); };
    auto size = [this](int i) { return m_form->GetPageSlotSize(i); };
    for (int i = 0; i < pages; ++i) {
        const int row = i / usedColumns;
        const int column = i % usedColumns;
        // Every page sits under the page of its column in the first row, and rows go down.
        QCOMPARE(left(i), left(column));
        QCOMPARE(top(i), top(row * usedColumns));
        if (column > 0)
            QCOMPARE(left(i), left(i - 1) + size(i - 1).width() + AppParam::PageColumnSpace);
        if (row > 0)
            QCOMPARE(top(i), top(i - usedColumns) + size(i - usedColumns).height() + AppParam::PageRowSpace);
        // The widgets that exist stand where their pages are laid out.
        if (m_form->GetSceneIfBuilt(i) && m_form->GetPage(i)->isVisible()) {
            QCOMPARE(m_form->GetPage(i)->pos(), QPoint(left(i), int(top(i) - m_form->GetScrollTop())));
            QCOMPARE(m_form->GetPage(i)->size(), size(i));
        }
    }
    QCOMPARE(top(0), qint64(AppParam::PageFirstRowSpace));
    // The pages of the first row are centred in the view, or in the column when it is wider.
    QCOMPARE(m_form->GetContentWidth(),
             qMax(m_form->GetPageArea()->width(), left(usedColumns - 1) + size(usedColumns - 1).width() + 2));
    const int right = m_form->GetContentWidth() - (left(usedColumns - 1) + size(usedColumns - 1).width());
    QVERIFY2(qAbs(left(0) - right) <= 1, qPrintable(QStringLiteral("%1 vs %2").arg(left(0)).arg(right)));
}

void TestFormOfd::sameColumnCountKeepsLayout()
{
    Load(Pages(4));
    m_form->ShowPage(2);
    Settle();
    const int layouts = m_form->GetLayoutCount();
    m_form->ShowPage(2);
    QCOMPARE(m_form->GetLayoutCount(), layouts);
    m_form->ShowPage(1);
    Settle();
    QCOMPARE(m_form->GetPageRowCount(), 4);
}

void TestFormOfd::zoomRate_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<double>("result");
    QTest::newRow("same") << 1.0 << false << 1.0;
    QTest::newRow("double") << 2.0 << true << 2.0;
    QTest::newRow("half") << 0.5 << true << 0.5;
    QTest::newRow("zero floors") << 0.0 << true << 0.1;
    QTest::newRow("negative floors") << -0.3 << true << 0.1;
    QTest::newRow("tiny floors") << 0.01 << true << 0.1;
    QTest::newRow("huge is capped") << 500.0 << true << 64.0;
    QTest::newRow("not a number") << double(NAN) << false << 1.0;
}

void TestFormOfd::zoomRate()
{
    QFETCH(double, rate);
    QFETCH(bool, changed);
    QFETCH(double, result);
    Load(Pages(2));
    QSignalSpy spy(m_form.get(), &FormOfd::SignalViewRateChanged);
    QCOMPARE(m_form->SetViewCurrentRate(rate, true), changed);
    QCOMPARE(m_form->GetViewCurrentRate(), result);
    QCOMPARE(spy.count(), changed ? 1 : 0);
    FormOfdPage *page = m_form->GetPage(0);
    QCOMPARE(page->width(), int(float(page->GetPageRealWidth() * result)));
    QCOMPARE(page->height(), int(float(page->GetPageRealHeight() * result)));
    QCOMPARE(page->GetRate(), result);
    // The same rate again changes nothing.
    QVERIFY(!m_form->SetViewCurrentRate(result, true));
}

void TestFormOfd::fitModes()
{
    Load(Pages(3));
    const double width = m_form->GetPage(0)->GetPageRealWidth();
    const double height = m_form->GetPage(0)->GetPageRealHeight();
    QCOMPARE(m_form->GetWndWidth(), m_form->contentsRect().width() - 25);
    QCOMPARE(m_form->GetWndHeight(), m_form->height() - 22);
    QCOMPARE(m_form->GetFitWidthRate(), double(float(m_form->GetWndWidth() / width)));
    QCOMPARE(m_form->GetFitHeightRate(), double(float(m_form->GetWndHeight() / height)));
    m_form->ShowPage(2);
    Settle();
    QCOMPARE(m_form->GetFitWidthRate(), double(float(m_form->GetWndWidth() / width / 2)));
    // Fit height shows a whole page in the view.
    QVERIFY(m_form->SetViewCurrentRate(m_form->GetFitHeightRate(), false));
    Settle();
    QVERIFY(m_form->GetPage(0)->height() <= m_form->GetScrollArea()->viewport()->height());

    // A single page in two-page mode uses the whole width.
    cleanup();
    init();
    Load(Pages(1));
    m_form->ShowPage(2);
    QCOMPARE(m_form->GetFitWidthRate(), double(float(m_form->GetWndWidth() / width)));
}

void TestFormOfd::zoomKeepsPosition()
{
    Load(Pages(10));
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    QVERIFY(bar->isVisible());
    bar->setValue(int(m_form->GetPageTop(4)) + 100);
    const int value = bar->value();
    const double spacing = AppParam::PageFirstRowSpace + 4 * AppParam::PageRowSpace;
    const double total = 10 * AppParam::PageRowSpace + AppParam::PageFirstRowSpace;
    const double ratio = (value - spacing) / (bar->maximum() - total);
    QCOMPARE(m_form->GetCurShowPageIndex(), 4);

    QVERIFY(m_form->SetViewCurrentRate(2.0, true));
    const int expectedMaxBefore = bar->maximum();
    Q_UNUSED(expectedMaxBefore);
    QTRY_VERIFY(bar->value() != value);
    Settle();
    const int expected = int((bar->maximum() - total) * ratio + spacing);
    QCOMPARE(bar->value(), expected);
    QCOMPARE(m_form->GetCurShowPageIndex(), 4);
    // The same place of page 5 is still at the top of the view (the restore is proportional).
    const double offsetInPage = (bar->value() - m_form->GetPageTop(4)) / 2.0;
    QVERIFY2(qAbs(offsetInPage - 100) < 150, qPrintable(QString::number(offsetInPage)));
}

void TestFormOfd::zoomAtTopStaysAtTop()
{
    Load(Pages(6));
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    QCOMPARE(bar->value(), 0);
    QVERIFY(m_form->SetViewCurrentRate(1.7, true));
    Settle();
    QCOMPARE(bar->value(), 0);
    QCOMPARE(m_form->GetCurShowPageIndex(), 0);
}

void TestFormOfd::rotation_data()
{
    QTest::addColumn<QList<double>>("steps");
    QTest::addColumn<double>("result");
    QTest::newRow("right") << QList<double>{90} << 90.0;
    QTest::newRow("four rights stay 360") << QList<double>{90, 90, 90, 90} << 360.0;
    QTest::newRow("five rights") << QList<double>{90, 90, 90, 90, 90} << 90.0;
    QTest::newRow("left from zero") << QList<double>{-90} << 270.0;
    QTest::newRow("left and right") << QList<double>{-90, 90} << 360.0;
    QTest::newRow("fraction dropped") << QList<double>{90.7} << 90.0;
    QTest::newRow("far negative") << QList<double>{-810} << 270.0;
}

void TestFormOfd::rotation()
{
    QFETCH(QList<double>, steps);
    QFETCH(double, result);
    Load(Pages(2));
    QSignalSpy spy(m_form.get(), &FormOfd::SignalRotationChanged);
    for (double step : steps)
        m_form->ViewRotationRight(step);
    QCOMPARE(m_form->GetViewRotation(), result);
    QCOMPARE(spy.count(), steps.size());
    for (FormOfdPage *page : m_form->GetPageList())
        QCOMPARE(page->GetRotation(), result);
}

void TestFormOfd::rotationSwapsPageSize()
{
    Load(Pages(2));
    FormOfdPage *page = m_form->GetPage(1);
    const QSize upright = page->size();
    QVERIFY(upright.height() > upright.width());
    m_form->ViewRotationRight(90);
    QCOMPARE(page->size(), upright.transposed());
    // The page's top edge now runs down its right side: the square near the page's left edge moves
    // to the top half of the turned widget, and its colour is there.
    const QImage picture = page->grab().toImage();
    const double px = PxPerMM();
    // Page point (x, y) turns to widget point (height - y, x).
    const QPoint centre(int(page->width() - (80 + 10) * px), int((50 + 10) * px));
    QCOMPARE(picture.pixelColor(centre), ViewTestDoc::SquareColor(1));
    m_form->ViewRotationRight(90);
    QCOMPARE(page->size(), upright);
}

void TestFormOfd::currentPageAfterScrolling()
{
    Load(Pages(6));
    QSignalSpy spy(m_form.get(), &FormOfd::EventPageIndexChanged);
    QCOMPARE(m_form->GetCurShowPageIndex(), 0);
    m_form->ScrollToPage(3);
    QCOMPARE(m_form->GetCurShowPageIndex(), 3);
    QCOMPARE(m_form->GetCurShowPage(), m_form->GetPage(3));
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(1).toInt(), 3);
    QCOMPARE(m_form->GetScrollArea()->verticalScrollBar()->value(), m_form->GetPageTop(3));
    // Page 3 top plus 20 px at rate 1, then at rate 2 the offset doubles.
    m_form->ScrollToPage(3, 0, 20);
    QCOMPARE(m_form->GetScrollArea()->verticalScrollBar()->value(), m_form->GetPageTop(3) + 20);
    m_form->SetViewCurrentRate(2.0, false);
    m_form->ScrollToPage(3, 0, 20);
    QCOMPARE(m_form->GetScrollArea()->verticalScrollBar()->value(), m_form->GetPageTop(3) + 40);
    // Scrolling most of page 4 into view makes it current.
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    bar->setValue(int(m_form->GetPageTop(4)) - 100);
    QCOMPARE(m_form->GetCurShowPageIndex(), 4);
    QCOMPARE(spy.last().at(1).toInt(), 4);
    // Out-of-range indices are clamped.
    m_form->ScrollToPage(99);
    QCOMPARE(m_form->GetCurShowPageIndex(), 5);
    QCOMPARE(m_form->GetCurPageRealWidth(), m_form->GetPage(5)->GetPageRealWidth());
}

void TestFormOfd::equallyVisiblePagesPickEarlier()
{
    Load(Pages(4));
    m_form->ShowPage(2);
    Settle();
    m_form->ScrollToPage(2);
    QCOMPARE(m_form->GetCurShowPageIndex(), 2);
    m_form->ScrollToPage(1);
    QCOMPARE(m_form->GetCurShowPageIndex(), 0);
}

void TestFormOfd::keyNavigation_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("onPage");
    QTest::addColumn<int>("expected");
    const int down = Qt::Key_PageDown;
    const int up = Qt::Key_PageUp;
    QTest::newRow("page down") << 0 << QList<int>{down} << false << 1;
    QTest::newRow("page down twice") << 0 << QList<int>{down, down} << false << 2;
    QTest::newRow("page down from a page widget") << 0 << QList<int>{down} << true << 1;
    QTest::newRow("page up") << 3 << QList<int>{up} << false << 2;
    QTest::newRow("page up at the start") << 0 << QList<int>{up} << false << 0;
    QTest::newRow("end") << 0 << QList<int>{int(Qt::Key_End)} << false << 5;
    QTest::newRow("page down on the last page") << 0 << QList<int>{int(Qt::Key_End), down} << false << 5;
    QTest::newRow("home") << 4 << QList<int>{int(Qt::Key_Home)} << true << 0;
}

void TestFormOfd::keyNavigation()
{
    QFETCH(int, start);
    QFETCH(QList<int>, keys);
    QFETCH(bool, onPage);
    QFETCH(int, expected);
    Load(Pages(6));
    m_form->ScrollToPage(start);
    QCOMPARE(m_form->GetCurShowPageIndex(), start);
    QWidget *target = onPage ? static_cast<QWidget *>(m_form->GetCurShowPage()) : m_form->GetPageArea();
    for (int key : keys)
        QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(m_form->GetCurShowPageIndex(), expected);
    if (expected < 5)
        QCOMPARE(m_form->GetScrollArea()->verticalScrollBar()->value(), m_form->GetPageTop(expected));
}

void TestFormOfd::previousNextRows_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("previous row from page 5") << 2 << 4 << -1 << 2;
    QTest::newRow("next row from page 3") << 2 << 2 << 1 << 4;
    QTest::newRow("previous at the top") << 2 << 0 << -1 << 0;
    QTest::newRow("next at the end") << 2 << 4 << 1 << 4;
    QTest::newRow("one column next") << 1 << 1 << 1 << 2;
}

void TestFormOfd::previousNextRows()
{
    QFETCH(int, columns);
    QFETCH(int, start);
    QFETCH(int, delta);
    QFETCH(int, expected);
    Load(Pages(6));
    m_form->ShowPage(columns);
    Settle();
    m_form->ScrollToPage(start);
    QCOMPARE(m_form->GetCurShowPageIndex(), start);
    m_form->MoveRow(delta);
    QCOMPARE(m_form->GetCurShowPageIndex(), expected);
    // Keys Up and Down move by one step of 20 px.
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    bar->setValue(100);
    QTest::keyClick(m_form->GetPageArea(), Qt::Key_Down);
    QCOMPARE(bar->value(), 120);
    QTest::keyClick(m_form->GetPageArea(), Qt::Key_Up);
    QCOMPARE(bar->value(), 100);
}

void TestFormOfd::selectionAcrossPagesAndCopy()
{
    ViewTestDoc doc = Pages(3);
    doc.texts[1].clear(); // the middle page has no text
    Load(doc);
    m_form->SetViewCurrentRate(0.4, false);
    Settle();
    m_form->SetMouseShape(EN_MouseShape_Text);
    FormOfdPage *first = m_form->GetPage(0);
    FormOfdPage *last = m_form->GetPage(2);
    const QPoint press(2, 2);
    const QPoint end = MapBetween(last, QPoint(last->width() - 2, last->height() - 2), first);
    SendMouse(first, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    SendMouse(first, QEvent::MouseMove, press + QPoint(10, 10), Qt::NoButton, Qt::LeftButton);
    SendMouse(first, QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
    SendMouse(first, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);

    QCOMPARE(first->GetCopyText(), QStringLiteral("Line0"));
    QCOMPARE(last->GetCopyText(), QStringLiteral("Line2"));
    QCOMPARE(m_form->GetSelectingPages(), (QList<FormOfdPage *>{first, last}));
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line0") + kSeparator + QStringLiteral("Line2"));

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(first, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Line0") + kSeparator + QStringLiteral("Line2"));

    // Dragging back onto the first page only drops the other pages' selections.
    SendMouse(first, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    SendMouse(first, QEvent::MouseMove, QPoint(first->width() - 2, first->height() / 3), Qt::NoButton,
              Qt::LeftButton);
    SendMouse(first, QEvent::MouseButtonRelease, QPoint(first->width() - 2, first->height() / 3),
              Qt::LeftButton, Qt::NoButton);
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line0"));
}

void TestFormOfd::selectionOnOnePageEndsOthers()
{
    Load(Pages(3));
    m_form->SetMouseShape(EN_MouseShape_Text);
    OfdPageScene *scene0 = m_form->GetPage(0)->GetPageScene();
    OfdPageScene *scene2 = m_form->GetPage(2)->GetPageScene();
    scene0->SelectText(scene0->sceneRect());
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line0"));
    scene2->SelectText(scene2->sceneRect());
    QCOMPARE(m_form->GetCopyText(), QStringLiteral("Line2"));
    QCOMPARE(m_form->GetSelectingPages(), QList<FormOfdPage *>{m_form->GetPage(2)});
    // An empty selection leaves no selecting page.
    scene2->SelectText(QRectF(1, 1, 1, 1));
    QVERIFY(m_form->GetSelectingPages().isEmpty());
    QVERIFY(m_form->GetCopyText().isEmpty());
}

void TestFormOfd::copyWithoutSelectionLeavesClipboard()
{
    Load(Pages(2));
    QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
    m_form->ActionCopyClick();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
    QTest::keyClick(m_form->GetPageArea(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
}

void TestFormOfd::searchMarksHitsOnSeveralPages()
{
    ViewTestDoc doc = Pages(5);
    doc.texts = QStringList{QStringLiteral("Alpha one"), QStringLiteral("nothing"),
                            QStringLiteral("alpha Alpha"), QStringLiteral("beta"), QStringLiteral("ALPHA")};
    Load(doc);
    // Pages far down have no widget and no scene yet: the search builds them page by page.
    QVERIFY(!m_form->GetSceneIfBuilt(4));
    QCOMPARE(m_form->SearchText(QStringLiteral("alpha")), 4);
    const QList<int> expected{1, 0, 2, 0, 1};
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(m_form->GetSearchHitCount(i), expected[i]);
        FormOfdPage *page = m_form->GetPage(i);
        QCOMPARE(page->GetSearchHitCount(), expected[i]);
        QVERIFY(!page->IsSearchPending());
    }
    // The hit rectangles lie on the text line of the page.
    const QRectF hit = m_form->GetPage(2)->GetPageScene()->GetSearchRects().first();
    QVERIFY(hit.top() >= 9 * PxPerMM() && hit.bottom() <= 19 * PxPerMM());
    // From the second page on, the search shows the next page with a hit.
    m_form->ScrollToPage(1);
    QCOMPARE(m_form->SearchText(QStringLiteral("Alpha")), 4);
    QCOMPARE(m_form->GetCurShowPageIndex(), 2);
    QCOMPARE(m_form->SearchText(QStringLiteral("gamma")), 0);
    QCOMPARE(m_form->GetPage(2)->GetSearchHitCount(), 0);
}

void TestFormOfd::customTagHighlight()
{
    ViewTestDoc doc = Pages(4);
    Load(doc);
    const double px = PxPerMM();
    OfdXmlCustomTagPageRef onPage2{QStringLiteral("No"), QStringLiteral("Invoice/No"), ViewTestDoc::PageId(2),
                                   ViewTestDoc::TextId(2)};
    OfdXmlCustomTagPageRef onPage3{QStringLiteral("Sum"), QStringLiteral("Invoice/Sum"),
                                   ViewTestDoc::PageId(3), ViewTestDoc::SquareId(3)};
    OfdXmlCustomTagPageRef missing{QStringLiteral("X"), QStringLiteral("Invoice/X"), 999, 1};
    QList<OfdXmlCustomTagPageRef *> refs{&onPage3, &onPage2, &missing};
    m_form->ShowCustomtagNode(refs);
    FormOfdPage *page2 = m_form->GetPage(2);
    FormOfdPage *page3 = m_form->GetPage(3);
    QCOMPARE(page2->GetCustomTagRects().size(), 1);
    QCOMPARE(page3->GetCustomTagRects().size(), 1);
    QVERIFY(m_form->GetPage(0)->GetCustomTagRects().isEmpty());
    const QRectF square = page3->GetCustomTagRects().first();
    const QRectF drawn(50 * px, 80 * px, 20 * px, 20 * px);
    QVERIFY(square.contains(drawn.adjusted(1, 1, -1, -1)));
    QVERIFY(drawn.adjusted(-4, -4, 4, 4).contains(square));
    // The view shows the lowest page's object 40 px below the top.
    const int itemTop = page2->GetItemRect(ViewTestDoc::TextId(2)).top();
    QCOMPARE(m_form->GetScrollArea()->verticalScrollBar()->value(), m_form->GetPageTop(2) + itemTop - 40);
    QCOMPARE(m_form->GetCurShowPageIndex(), 2);
    // The highlight is drawn over the square.
    const QImage picture = page3->grab().toImage();
    const QColor over = picture.pixelColor(QPoint(int(60 * px), int(90 * px)));
    QVERIFY2(over != ViewTestDoc::SquareColor(3) && over.blue() > over.green(), qPrintable(over.name()));
    // A press on a page ends the highlight.
    SendMouse(page2, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    SendMouse(page2, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    QVERIFY(page2->GetCustomTagRects().isEmpty());
    QVERIFY(page3->GetCustomTagRects().isEmpty());
}

void TestFormOfd::ctrlWheelZooms()
{
    Load(Pages(4));
    QWidget *viewport = m_form->GetScrollArea()->viewport();
    QSignalSpy spy(m_form.get(), &FormOfd::SignalViewRateChanged);
    const QPoint at(200, 200);
    QWheelEvent zoomIn(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &zoomIn);
    QCOMPARE(m_form->GetViewCurrentRate(), 1.1);
    QCOMPARE(spy.count(), 1);
    QWheelEvent zoomOut(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &zoomOut);
    QCOMPARE(m_form->GetViewCurrentRate(), 0.9);
    // Without Ctrl the wheel scrolls.
    Settle();
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    const int before = bar->value();
    QWheelEvent scroll(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &scroll);
    QCOMPARE(m_form->GetViewCurrentRate(), 0.9);
    QVERIFY(bar->value() > before);
}

void TestFormOfd::handToolPans()
{
    Load(Pages(4));
    m_form->SetMouseShape(EN_MouseShape_Hand);
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    bar->setValue(300);
    FormOfdPage *page = m_form->GetCurShowPage();
    const QPoint start(100, 200);
    SendMouse(page, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(page, QEvent::MouseMove, start + QPoint(0, -50), Qt::NoButton, Qt::LeftButton);
    SendMouse(page, QEvent::MouseButtonRelease, start + QPoint(0, -50), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(bar->value(), 350);
}

void TestFormOfd::mouseShapeReachesPages()
{
    Load(Pages(2));
    m_form->SetMouseShape(EN_MouseShape_Text);
    QCOMPARE(m_form->GetMouseShape(), EN_MouseShape_Text);
    for (FormOfdPage *page : m_form->GetPageList()) {
        QCOMPARE(page->GetPageScene()->GetMouseShape(), EN_MouseShape_Text);
        QVERIFY(page->viewport()->hasMouseTracking());
    }
    m_form->SetMouseShape(EN_MouseShape_Annot);
    QCOMPARE(m_form->GetPage(1)->GetPageScene()->GetMouseShape(), EN_MouseShape_Annot);
    QVERIFY(!m_form->GetPage(1)->viewport()->hasMouseTracking());
    QCOMPARE(m_form->cursor().shape(), AppParam::CursorAnnot.shape());
    m_form->SetAnnot(EN_AnnotType_Pen);
    QCOMPARE(m_form->GetPage(0)->GetAnnot(), EN_AnnotType_Pen);
}

void TestFormOfd::escapeLeavesFullScreen()
{
    Load(Pages(2));
    QSignalSpy spy(m_form.get(), &FormOfd::SignalLeaveFullScreen);
    QTest::keyClick(m_form->GetPageArea(), Qt::Key_Escape);
    QCOMPARE(spy.count(), 0);
    m_form->showFullScreen();
    QTRY_VERIFY(m_form->isFullScreen());
    QTest::keyClick(m_form->GetPage(0), Qt::Key_Escape);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).value<FormOfd *>(), m_form.get());
}

QTEST_MAIN(TestFormOfd)
#include "test_formofd.moc"
