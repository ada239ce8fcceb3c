#include <QBuffer>
#include <QGraphicsItem>
#include <QPainter>
#include <QtTest>

#include "render/imaging/ofdimagecache.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemimage.h"
#include "renderfixture.h"

namespace {
QImage Filled(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray Png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A page of count images side by side, image i a PNG of its own colour (or all the same picture).
QByteArray ImagePage(int count, bool samePicture)
{
    RenderPackage package;
    QString media;
    QString objects;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("i%1.png").arg(samePicture ? 0 : i);
        media += QStringLiteral("<ofd:MultiMedia ID=\"%1\" Type=\"Image\"><ofd:MediaFile>%2</ofd:MediaFile>"
                                "</ofd:MultiMedia>")
                     .arg(100 + i)
                     .arg(name);
        if (!samePicture || i == 0)
            package.ResFile(name, Png(Filled(200, 200, QColor(i * 20 % 256, 100, 200))));
        objects += QStringLiteral("<ofd:ImageObject ID=\"%1\" ResourceID=\"%2\" Boundary=\"%3 0 10 10\" "
                                  "CTM=\"10 0 0 10 0 0\"/>")
                       .arg(200 + i)
                       .arg(100 + i)
                       .arg(i * 10);
    }
    package.PageSize(10.0 * count, 10);
    package.Resources(QStringLiteral("<ofd:MultiMedias>%1</ofd:MultiMedias>").arg(media));
    package.Content(QStringLiteral("<ofd:Layer ID=\"2\">%1</ofd:Layer>").arg(objects));
    return package.Build();
}

// Builds the scene of page 1 and returns its image items.
QList<OfdVisualItemImage *> BuildImageItems(OfdPageScene &scene, OfdViewManage *manage)
{
    scene.SetViewManage(manage);
    scene.SetPageIndex(0, 0);
    scene.CreateScene();
    QList<OfdVisualItemImage *> images;
    for (QGraphicsItem *item : scene.items()) {
        if (auto *image = dynamic_cast<OfdVisualItemImage *>(item))
            images.append(image);
    }
    return images;
}
} // namespace

// Decoded pictures: one cache for the process, within its byte budget, decoded again on need.
class TestImageCache : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void keepsWithinBudget_data();
    void keepsWithinBudget();
    void pictureLargerThanBudgetIsNotKept();
    void itemsDecodeAgainAfterEviction();
    void samePictureIsKeptOnce();
};

void TestImageCache::initTestCase()
{
    OfdRenderInit::Init();
    QCOMPARE(OfdImageCache::Instance().GetBudget(), OfdImageCache::kDefaultBudget);
    QCOMPARE(OfdImageCache::kDefaultBudget, qint64(256) * 1024 * 1024);
}

void TestImageCache::cleanup()
{
    OfdImageCache::Instance().Clear();
    OfdImageCache::Instance().SetBudget(OfdImageCache::kDefaultBudget);
}

void TestImageCache::keepsWithinBudget_data()
{
    QTest::addColumn<int>("budgetKiB");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("kept");
    // Each picture is 100 x 100 x 4 bytes, about 40 KiB.
    QTest::newRow("all fit") << 1000 << 10 << 10;
    QTest::newRow("five fit") << 200 << 10 << 5;
    QTest::newRow("one fits") << 50 << 4 << 1;
}

void TestImageCache::keepsWithinBudget()
{
    QFETCH(int, budgetKiB);
    QFETCH(int, pictures);
    QFETCH(int, kept);
    OfdImageCache &cache = OfdImageCache::Instance();
    cache.SetBudget(qint64(budgetKiB) * 1024);
    QList<QByteArray> keys;
    for (int i = 0; i < pictures; ++i) {
        keys << OfdImageCache::KeyOf(QByteArray::number(i));
        cache.Insert(keys.last(), Filled(100, 100, QColor(i, 0, 0)));
        QVERIFY(cache.GetUsedBytes() <= cache.GetBudget());
    }
    QCOMPARE(cache.GetCount(), kept);
    // The most recent are kept, with their pixels.
    const QImage last = cache.Find(keys.last());
    QCOMPARE(last.pixelColor(5, 5), QColor(pictures - 1, 0, 0));
    if (kept < pictures)
        QVERIFY(cache.Find(keys.first()).isNull());
}

void TestImageCache::pictureLargerThanBudgetIsNotKept()
{
    OfdImageCache &cache = OfdImageCache::Instance();
    cache.SetBudget(64 * 1024);
    cache.Insert(OfdImageCache::KeyOf("big"), Filled(400, 400, Qt::red));
    QCOMPARE(cache.GetCount(), 0);
    QVERIFY(cache.Find(OfdImageCache::KeyOf("big")).isNull());
}

void TestImageCache::itemsDecodeAgainAfterEviction()
{
    // Ten pictures of 160 KiB decoded on a page, with room for three: drawing the page still shows
    // every one of them, and the cache never holds more than its budget.
    OfdImageCache &cache = OfdImageCache::Instance();
    cache.SetBudget(3 * 160 * 1024 + 1024);
    auto manage = OpenPackage(ImagePage(10, false));
    QVERIFY(manage);
    OfdPageScene scene;
    const QList<OfdVisualItemImage *> images = BuildImageItems(scene, manage.get());
    QCOMPARE(images.size(), 10);
    for (int round = 0; round < 2; ++round) {
        for (OfdVisualItemImage *item : images) {
            const QImage picture = item->GetImage();
            QVERIFY(!picture.isNull());
            QCOMPARE(picture.size(), QSize(200, 200));
            QVERIFY(cache.GetUsedBytes() <= cache.GetBudget());
        }
    }
    QCOMPARE(cache.GetCount(), 3);
    // The page drawn: every picture at its place, in its colour.
    QImage page(int(scene.width()), int(scene.height()), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    scene.render(&painter);
    painter.end();
    for (int i = 0; i < 10; ++i) {
        const int x = int((i * 10 + 5) * scene.width() / 100.0);
        QVERIFY2(IsColor(page, x, page.height() / 2, QColor(i * 20 % 256, 100, 200), 12),
                 qPrintable(Describe(page, x, page.height() / 2)));
    }
}

void TestImageCache::samePictureIsKeptOnce()
{
    auto manage = OpenPackage(ImagePage(6, true));
    QVERIFY(manage);
    OfdPageScene scene;
    const QList<OfdVisualItemImage *> images = BuildImageItems(scene, manage.get());
    QCOMPARE(images.size(), 6);
    for (OfdVisualItemImage *item : images)
        QVERIFY(!item->GetImage().isNull());
    QCOMPARE(OfdImageCache::Instance().GetCount(), 1);
    // One decoded copy shared by every item.
    QCOMPARE(images[0]->GetImage().constBits(), images[5]->GetImage().constBits());
}

QTEST_MAIN(TestImageCache)
#include "test_imagecache.moc"
