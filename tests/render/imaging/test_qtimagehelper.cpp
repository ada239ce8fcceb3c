#include <QtTest>

#include "render/imaging/qtimagehelper.h"

// Making a colour transparent (white for seal pictures).
class TestQtImageHelper : public QObject
{
    Q_OBJECT
private slots:
    void makeTransparent_data();
    void makeTransparent();
    void keepsAlphaOfOtherPixels();
    void indexedAndMonoImages();
    void nullImageStaysNull();
};

namespace {

// Five pixels in a row: white, near white (250), red, black, pale grey (235).
QImage Strip()
{
    QImage image(5, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(250, 250, 250));
    image.setPixel(2, 0, qRgb(255, 0, 0));
    image.setPixel(3, 0, qRgb(0, 0, 0));
    image.setPixel(4, 0, qRgb(235, 235, 235));
    return image;
}

} // namespace

void TestQtImageHelper::makeTransparent_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QString>("cleared"); // one letter per pixel: 'x' transparent, '.' kept
    QTest::newRow("white exact") << QColor(Qt::white) << 0 << QStringLiteral("x....");
    QTest::newRow("white 5") << QColor(Qt::white) << 5 << QStringLiteral("xx...");
    QTest::newRow("white 20") << QColor(Qt::white) << 20 << QStringLiteral("xx..x");
    QTest::newRow("red") << QColor(Qt::red) << 0 << QStringLiteral("..x..");
    QTest::newRow("black 300 clamps") << QColor(Qt::black) << 300 << QStringLiteral("xxxxx");
    QTest::newRow("negative is exact") << QColor(Qt::white) << -4 << QStringLiteral("x....");
}

void TestQtImageHelper::makeTransparent()
{
    QFETCH(QColor, color);
    QFETCH(int, tolerance);
    QFETCH(QString, cleared);
    const QImage original = Strip();
    QImage image = original;
    QtImageHelper::MakeTransparent(image, color, tolerance);
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    QCOMPARE(image.size(), original.size());
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, 0);
        if (cleared[x] == QLatin1Char('x'))
            QCOMPARE(pixel, QRgb(0));
        else
            QCOMPARE(pixel, original.pixel(x, 0));
    }
}

void TestQtImageHelper::keepsAlphaOfOtherPixels()
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 255, 100));
    image.setPixel(1, 0, qRgba(255, 255, 255, 100)); // half-transparent white also goes
    QtImageHelper::MakeTransparent(image);
    QCOMPARE(image.pixel(0, 0), qRgba(0, 0, 255, 100));
    QCOMPARE(qAlpha(image.pixel(1, 0)), 0);
}

void TestQtImageHelper::indexedAndMonoImages()
{
    QImage mono(8, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    mono.setPixel(3, 1, 1);
    QtImageHelper::MakeTransparent(mono);
    QCOMPARE(mono.format(), QImage::Format_ARGB32);
    QCOMPARE(qAlpha(mono.pixel(0, 0)), 0);
    QCOMPARE(mono.pixel(3, 1), qRgb(0, 0, 0));
}

void TestQtImageHelper::nullImageStaysNull()
{
    QImage image;
    QtImageHelper::MakeTransparent(image);
    QVERIFY(image.isNull());
}

QTEST_MAIN(TestQtImageHelper)
#include "test_qtimagehelper.moc"
