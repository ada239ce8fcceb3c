#include <QtTest>

#include <QWidget>

#include "app/appparam.h"
#include "app/mytimer.h"
#include "app/ofdparams.h"
#include "app/qthelper.h"

// Process-wide parameters, cursors, the stopwatch and the small helpers.
class TestAppParam : public QObject
{
    Q_OBJECT
private slots:
    void cursorsBeforeAndAfterInit();
    void widgetCursor_data();
    void widgetCursor();
    void stopwatch();
    void stopwatchAcrossMidnightIsNegative();
    void cmykToRgb_data();
    void cmykToRgb();
    void fromString();
    void sharedBrushes();
    void delayProcessesEvents();
};

void TestAppParam::cursorsBeforeAndAfterInit()
{
    QCOMPARE(AppParam::CursorHand.shape(), Qt::ArrowCursor);
    AppParam::Init();
    QCOMPARE(AppParam::CursorHand.shape(), Qt::ClosedHandCursor);
    QCOMPARE(AppParam::CursorText.shape(), Qt::ArrowCursor);
    QCOMPARE(AppParam::CursorAnnot.shape(), Qt::SizeAllCursor);
    QCOMPARE(AppParam::PageColumnSpace, 5);
    QCOMPARE(AppParam::PageFirstRowSpace, 10);
    QCOMPARE(AppParam::PageRowSpace, 10);
}

void TestAppParam::widgetCursor_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("cursor");
    QTest::newRow("hand") << 0 << int(Qt::ClosedHandCursor);
    QTest::newRow("text") << 1 << int(Qt::ArrowCursor);
    QTest::newRow("annot") << 2 << int(Qt::SizeAllCursor);
    QTest::newRow("any other") << 9 << int(Qt::SizeAllCursor);
}

void TestAppParam::widgetCursor()
{
    QFETCH(int, shape);
    QFETCH(int, cursor);
    AppParam::Init();
    QWidget widget;
    widget.setCursor(Qt::IBeamCursor);
    QtHelper::SetWidgetCursor(&widget, EN_MouseShape(shape));
    QCOMPARE(int(widget.cursor().shape()), cursor);
    QtHelper::SetWidgetCursor(nullptr, EN_MouseShape(shape)); // harmless
}

void TestAppParam::stopwatch()
{
    MyTimer unstarted;
    QCOMPARE(unstarted.GetSpanMS(), 0);
    MyTimer timer(true);
    QTest::qWait(30);
    const int span = timer.GetSpanMS();
    QVERIFY2(span >= 25 && span < 5000, qPrintable(QString::number(span)));
}

void TestAppParam::stopwatchAcrossMidnightIsNegative()
{
    // Started "late in the day", read now: what a span over midnight looks like.
    const QTime now = QTime::currentTime();
    MyTimer timer;
    timer.SetStartTime(now.addSecs(now.hour() < 23 ? 3600 : -82800));
    if (now.hour() < 23)
        QVERIFY(timer.GetSpanMS() < -3500000);
    else
        QVERIFY(timer.GetSpanMS() > 0);
}

void TestAppParam::cmykToRgb_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("rgb");
    QTest::newRow("white") << 0 << 0 << 0 << 0 << QColor(255, 255, 255);
    QTest::newRow("black by k") << 0 << 0 << 0 << 255 << QColor(0, 0, 0);
    QTest::newRow("cyan") << 255 << 0 << 0 << 0 << QColor(0, 255, 255);
    QTest::newRow("half k") << 0 << 0 << 0 << 128 << QColor(127, 127, 127);
    // 255 * (1 - 100/255) * (1 - 50/255) = 124.51 -> 125; (1 - 200/255) * 205 = 44.22 -> 44
    QTest::newRow("rounded half up") << 100 << 200 << 0 << 50 << QColor(125, 44, 205);
    QTest::newRow("out of range clamps") << -20 << 300 << 0 << 0 << QColor(255, 0, 255);
}

void TestAppParam::cmykToRgb()
{
    QFETCH(int, c);
    QFETCH(int, m);
    QFETCH(int, y);
    QFETCH(int, k);
    QFETCH(QColor, rgb);
    QCOMPARE(QtHelper::CMYK2RGB(c, m, y, k), rgb);
}

void TestAppParam::fromString()
{
    QCOMPARE(QtHelper::fromString("打开文件失败！"),
             QString(QChar(0x6253)) + QString::fromUtf8("开文件失败！"));
    QCOMPARE(QtHelper::fromString(QByteArray("\xe5\xae\x8b")), QString(QChar(0x5b8b)));
}

void TestAppParam::sharedBrushes()
{
    std::unique_ptr<QBrush> select(OfdViewParam::CreatTextSelectBrush());
    std::unique_ptr<QBrush> search(OfdViewParam::CreatTextSearchBrush());
    std::unique_ptr<QBrush> tag(OfdViewParam::CreatCustomTagBrush());
    QCOMPARE(select->color(), QColor(8, 120, 215));
    QCOMPARE(search->color(), QColor(255, 150, 50));
    QCOMPARE(tag->color(), QColor(0, 120, 215));
    QCOMPARE(select->style(), Qt::SolidPattern);
    QVERIFY(select.get() != std::unique_ptr<QBrush>(OfdViewParam::CreatTextSelectBrush()).get());
}

void TestAppParam::delayProcessesEvents()
{
    bool fired = false;
    QTimer::singleShot(10, [&fired]() { fired = true; });
    QElapsedTimer clock;
    clock.start();
    QtHelper::DelayAsyn(60);
    QVERIFY(fired);
    QVERIFY(clock.elapsed() >= 60);
}

QTEST_MAIN(TestAppParam)
#include "test_appparam.moc"
