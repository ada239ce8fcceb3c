#include <QtTest>

#include <QApplication>
#include <QBuffer>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <memory>

#include "model/content/ofdconvert.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemsignseal.h"
#include "renderfixture.h"
#include "sign/oesv2helper.h"
#include "sign/sealsigninfo.h"

namespace {
// 96 dpi: 3.78 pixels per millimetre.
constexpr double kDpi = 96;
constexpr double kPageMM = 100;
const QColor kSealColor(20, 40, 230);
const QColor kContentColor(0, 160, 0);

double Px(double mm)
{
    return OfdConvert::OfdMMToPixel(mm);
}

QString T(const char *text)
{
    return QString::fromUtf8(text);
}

// A seal picture of one colour.
QByteArray SealPng(const QColor &color)
{
    QImage image(60, 40, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A provider seal with a picture of widthMM x heightMM (0 for none given).
QSharedPointer<OES_SealInfoEx> Seal(double widthMM = 30, double heightMM = 20, bool picture = true)
{
    QSharedPointer<OES_SealInfoEx> seal(new OES_SealInfoEx);
    seal->sealId = QStringLiteral("seal-1");
    seal->sealName = T("测试公章");
    seal->sealData = QByteArray("seal bytes");
    seal->pictureType = QStringLiteral("png");
    if (picture)
        seal->pictureData = SealPng(kSealColor);
    seal->pictureWidth = int(widthMM);
    seal->pictureHeight = int(heightMM);
    return seal;
}

// A mouse event as the view hands it to the scene.
void SendMouse(OfdPageScene &scene, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(pos);
    event.setScreenPos(pos.toPoint());
    event.setLastScenePos(pos);
    event.setButton(button);
    event.setButtons(buttons);
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
        if (buttons & b)
            event.setButtonDownScenePos(b, pos);
    }
    QApplication::sendEvent(&scene, &event);
}

QAction *FindAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu()) {
            if (QAction *inner = FindAction(action->menu(), text))
                return inner;
        }
    }
    return nullptr;
}

// The page content: a green square over the middle of the page, where seals are placed.
QByteArray PageWithSquare()
{
    RenderPackage package;
    package.PageSize(kPageMM, kPageMM);
    package.Content(
        QStringLiteral("<ofd:Layer ID=\"100\"><ofd:PathObject ID=\"101\" Boundary=\"20 20 60 60\" "
                       "Fill=\"true\" Stroke=\"false\"><ofd:FillColor Value=\"0 160 0\"/>"
                       "<ofd:AbbreviatedData>M 0 0 L 60 0 L 60 60 L 0 60 C</ofd:AbbreviatedData>"
                       "</ofd:PathObject></ofd:Layer>"));
    return package.Build();
}

// The scene drawn into a picture at zoom 1.
QImage Render(OfdPageScene &scene)
{
    const QRectF rect = scene.sceneRect();
    QImage image(rect.size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(0, 0), rect.size()), rect);
    return image;
}
} // namespace

// Seals being placed on a page scene: where they go, how the mouse and their menu move them, how
// they are drawn and taken off.
class TestSignSeal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void placement_data();
    void placement();
    void sizeFromProvider_data();
    void sizeFromProvider();
    void placedOnAPoint();
    void dragMovesSealAndRecord();
    void rideSealDragsAlongItsEdge();
    void pressBesideSealDragsNothing();
    void sealFromPoint();
    void deleteSeal();
    void recordsInPlacementOrder();
    void menuChangesRideType_data();
    void menuChangesRideType();
    void menuOfOrdinarySeal();
    void menuDeletes();
    void menuSigns();
    void rightPressOpensMenu();
    void drawsPictureAboveContent();
    void drawsDefaultSeal();

private:
    std::unique_ptr<OfdViewManage> m_manage;
    std::unique_ptr<OfdPageScene> m_scene;
};

void TestSignSeal::initTestCase()
{
    OfdConvert::Init(kDpi);
    OfdRenderInit::Init();
    qRegisterMetaType<OfdPageScene *>();
    qRegisterMetaType<OfdVisualItemSignSeal *>();
}

void TestSignSeal::init()
{
    m_manage = OpenPackage(PageWithSquare());
    QVERIFY(m_manage);
    m_scene = std::make_unique<OfdPageScene>();
    m_scene->SetViewManage(m_manage.get());
    m_scene->SetPageIndex(0, 0);
    m_scene->CreateScene();
    QVERIFY(qAbs(m_scene->GetPageWidthPixel() - Px(kPageMM)) < 0.01);
}

void TestSignSeal::cleanup()
{
    m_scene.reset();
    m_manage.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestSignSeal::placement_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QPointF>("topLeft");
    const double page = Px(kPageMM);
    const double w = Px(30);
    const double h = Px(20);
    const double cx = (page - w) / 2;
    const double cy = (page - h) / 2;
    QTest::newRow("ordinary, centred") << int(EN_SealSignType_Normal) << QPointF(cx, cy);
    QTest::newRow("ride left") << int(EN_SealSignType_RideLeft) << QPointF(0, cy);
    QTest::newRow("ride top") << int(EN_SealSignType_RideTop) << QPointF(cx, 0);
    QTest::newRow("ride right") << int(EN_SealSignType_RideRight) << QPointF(page - w, cy);
    QTest::newRow("ride bottom") << int(EN_SealSignType_RideBottom) << QPointF(cx, page - h);
}

void TestSignSeal::placement()
{
    QFETCH(int, type);
    QFETCH(QPointF, topLeft);
    auto info = QSharedPointer<SealSignInfo>::create(Seal(), type);
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    QVERIFY(item);
    QCOMPARE(item->scene(), m_scene.get());
    QCOMPARE(item->GetSealSignInfo(), info);
    const QRectF expected(topLeft, QSizeF(Px(30), Px(20)));
    QCOMPARE(item->sceneBoundingRect(), expected);
    QCOMPARE(info->GetRect(), expected);
    QCOMPARE(info->GetSealType(), type);
    // The seal layer is above every other item of the page.
    for (QGraphicsItem *other : m_scene->items()) {
        if (other != item)
            QVERIFY(other->zValue() < item->zValue());
    }
}

void TestSignSeal::sizeFromProvider_data()
{
    QTest::addColumn<double>("widthMM");
    QTest::addColumn<double>("heightMM");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("given") << 42.0 << 38.0 << QSizeF(Px(42), Px(38));
    QTest::newRow("none given") << 0.0 << 0.0 << QSizeF(Px(40), Px(40));
    QTest::newRow("height missing") << 25.0 << 0.0 << QSizeF(Px(25), Px(40));
}

void TestSignSeal::sizeFromProvider()
{
    QFETCH(double, widthMM);
    QFETCH(double, heightMM);
    QFETCH(QSizeF, expected);
    auto info = QSharedPointer<SealSignInfo>::create(Seal(widthMM, heightMM));
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    QCOMPARE(item->GetSealSize(), expected);
    QCOMPARE(info->GetRect().size(), expected);
    QCOMPARE(info->GetRect().center(), QPointF(Px(kPageMM) / 2, Px(kPageMM) / 2));
}

void TestSignSeal::placedOnAPoint()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal());
    m_scene->AddSignSeal(info, QPointF(100, 150));
    QCOMPARE(info->GetRect().center(), QPointF(100, 150));
    // A ride seal keeps its edge whatever the point.
    auto ride = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideRight));
    m_scene->AddSignSeal(ride, QPointF(100, 150));
    QCOMPARE(ride->GetRect().topLeft(), QPointF(Px(kPageMM) - Px(30), 150 - Px(20) / 2));
    // Near a corner the picture is kept inside the page.
    auto corner = QSharedPointer<SealSignInfo>::create(Seal());
    m_scene->AddSignSeal(corner, QPointF(5, Px(kPageMM) - 2));
    QCOMPARE(corner->GetRect().topLeft(), QPointF(0, Px(kPageMM) - Px(20)));
}

void TestSignSeal::dragMovesSealAndRecord()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal());
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    const QRectF start = info->GetRect();
    const QPointF grip = start.center() + QPointF(5, -3);
    SendMouse(*m_scene, QEvent::GraphicsSceneMousePress, grip, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(m_scene->GetDragSeal(), item);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, grip + QPointF(10, 4), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(info->GetRect(), start.translated(10, 4));
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, grip + QPointF(-20, 30), Qt::NoButton,
              Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseRelease, grip + QPointF(-20, 30), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(m_scene->GetDragSeal(), static_cast<OfdVisualItemSignSeal *>(nullptr));
    QCOMPARE(info->GetRect(), start.translated(-20, 30));
    QCOMPARE(item->sceneBoundingRect(), info->GetRect());
    // Once released, moving the mouse moves nothing.
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, grip + QPointF(50, 50), Qt::NoButton, Qt::NoButton);
    QCOMPARE(info->GetRect(), start.translated(-20, 30));
}

void TestSignSeal::rideSealDragsAlongItsEdge()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideRight));
    m_scene->AddSignSeal(info);
    const QRectF start = info->GetRect();
    const QPointF grip = start.center();
    SendMouse(*m_scene, QEvent::GraphicsSceneMousePress, grip, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, grip + QPointF(-40, 25), Qt::NoButton,
              Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseRelease, grip + QPointF(-40, 25), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(info->GetRect(), start.translated(0, 25));
}

void TestSignSeal::pressBesideSealDragsNothing()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal());
    m_scene->AddSignSeal(info);
    const QRectF start = info->GetRect();
    const QPointF beside = start.topLeft() - QPointF(10, 10);
    SendMouse(*m_scene, QEvent::GraphicsSceneMousePress, beside, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(m_scene->GetDragSeal(), static_cast<OfdVisualItemSignSeal *>(nullptr));
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, beside + QPointF(30, 30), Qt::NoButton,
              Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseRelease, beside + QPointF(30, 30), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(info->GetRect(), start);
}

void TestSignSeal::sealFromPoint()
{
    const QPointF centre(Px(kPageMM) / 2, Px(kPageMM) / 2);
    // Without placed seals the page content is no seal.
    QCOMPARE(m_scene->GetSignSealFromPoint(centre), static_cast<OfdVisualItemSignSeal *>(nullptr));
    OfdVisualItemSignSeal *first = m_scene->AddSignSeal(QSharedPointer<SealSignInfo>::create(Seal()));
    QCOMPARE(m_scene->GetSignSealFromPoint(centre), first);
    QCOMPARE(m_scene->GetSignSealFromPoint(QPointF(5, 5)), static_cast<OfdVisualItemSignSeal *>(nullptr));
    // A later seal over the first one is the one found.
    OfdVisualItemSignSeal *second =
        m_scene->AddSignSeal(QSharedPointer<SealSignInfo>::create(Seal()), centre + QPointF(Px(10), 0));
    QCOMPARE(m_scene->GetSignSealFromPoint(centre), second);
    QCOMPARE(m_scene->GetSignSealFromPoint(centre - QPointF(Px(12), 0)), first);
    m_scene->DeleteSeal(second);
    QCOMPARE(m_scene->GetSignSealFromPoint(centre), first);
}

void TestSignSeal::deleteSeal()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal());
    QPointer<OfdVisualItemSignSeal> item = m_scene->AddSignSeal(info);
    const int itemCount = m_scene->items().size();
    m_scene->DeleteSeal(item);
    QVERIFY(m_scene->GetSealSignInfo().isEmpty());
    QVERIFY(m_scene->GetSignSealItems().isEmpty());
    QCOMPARE(m_scene->items().size(), itemCount - 1);
    QVERIFY(!m_scene->items().contains(item.data()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(item.isNull());
    // A seal that is not on the scene any more is ignored.
    m_scene->DeleteSeal(nullptr);
    QVERIFY(m_scene->GetSealSignInfo().isEmpty());
}

void TestSignSeal::recordsInPlacementOrder()
{
    auto a = QSharedPointer<SealSignInfo>::create(Seal());
    auto b = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideLeft));
    auto c = QSharedPointer<SealSignInfo>::create(Seal(40, 40));
    m_scene->AddSignSeal(a);
    OfdVisualItemSignSeal *middle = m_scene->AddSignSeal(b);
    m_scene->AddSignSeal(c);
    QCOMPARE(m_scene->GetSealSignInfo(), (QList<QSharedPointer<SealSignInfo>>{a, b, c}));
    m_scene->DeleteSeal(middle);
    QCOMPARE(m_scene->GetSealSignInfo(), (QList<QSharedPointer<SealSignInfo>>{a, c}));
    m_scene->ClearSignSeals();
    QVERIFY(m_scene->GetSealSignInfo().isEmpty());
}

void TestSignSeal::menuChangesRideType_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("type");
    QTest::addColumn<QPointF>("topLeft");
    // The seal starts on the right edge, 30 pixels above the middle of the page.
    const double page = Px(kPageMM);
    const double w = Px(30);
    const double h = Px(20);
    const double y = (page - h) / 2 - 30;
    const double x = page - w;
    QTest::newRow("left") << T("骑缝章-左") << int(EN_SealSignType_RideLeft) << QPointF(0, y);
    QTest::newRow("right") << T("骑缝章-右") << int(EN_SealSignType_RideRight) << QPointF(x, y);
    QTest::newRow("top") << T("骑缝章-上") << int(EN_SealSignType_RideTop) << QPointF(x, 0);
    QTest::newRow("bottom") << T("骑缝章-下") << int(EN_SealSignType_RideBottom) << QPointF(x, page - h);
}

void TestSignSeal::menuChangesRideType()
{
    QFETCH(QString, action);
    QFETCH(int, type);
    QFETCH(QPointF, topLeft);
    auto info = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideRight));
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    item->MoveSeal(QPointF(0, -30));
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{T("执行签章"), T("删除印章"), T("更改骑缝章类型")}));
    QMenu *types = menu->actions().at(2)->menu();
    QVERIFY(types);
    texts.clear();
    for (QAction *a : types->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{T("骑缝章-左"), T("骑缝章-右"), T("骑缝章-上"), T("骑缝章-下")}));
    QVERIFY(FindAction(menu.get(), T("骑缝章-右"))->isChecked());

    FindAction(menu.get(), action)->trigger();
    QCOMPARE(info->GetSealType(), type);
    QCOMPARE(info->GetRect(), QRectF(topLeft, QSizeF(Px(30), Px(20))));
    QCOMPARE(item->sceneBoundingRect(), info->GetRect());
    QCOMPARE(m_scene->GetSealSignInfo().size(), 1);
}

void TestSignSeal::menuOfOrdinarySeal()
{
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(QSharedPointer<SealSignInfo>::create(Seal()));
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{T("执行签章"), T("删除印章"), T("更改骑缝章类型")}));
    // Choosing an edge turns the ordinary seal into a seal across pages on that edge.
    const QRectF before = item->GetSealSignInfo()->GetRect();
    FindAction(menu.get(), T("骑缝章-左"))->trigger();
    QCOMPARE(item->GetSealSignInfo()->GetSealType(), int(EN_SealSignType_RideLeft));
    QCOMPARE(item->GetSealSignInfo()->GetRect().left(), 0.0);
    QCOMPARE(item->GetSealSignInfo()->GetRect().top(), before.top());
}

void TestSignSeal::menuDeletes()
{
    auto keep = QSharedPointer<SealSignInfo>::create(Seal());
    auto gone = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideTop));
    m_scene->AddSignSeal(keep);
    QPointer<OfdVisualItemSignSeal> item = m_scene->AddSignSeal(gone);
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    FindAction(menu.get(), T("删除印章"))->trigger();
    QCOMPARE(m_scene->GetSealSignInfo(), (QList<QSharedPointer<SealSignInfo>>{keep}));
    QVERIFY(!m_scene->items().contains(item.data()));
    menu.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(item.isNull());
}

void TestSignSeal::menuSigns()
{
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(QSharedPointer<SealSignInfo>::create(Seal()));
    QSignalSpy spy(m_scene.get(), &OfdPageScene::SignalSignSeal);
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    FindAction(menu.get(), T("执行签章"))->trigger();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<OfdPageScene *>(), m_scene.get());
    QCOMPARE(spy.at(0).at(1).value<OfdVisualItemSignSeal *>(), item);
    // Asking to sign leaves the seal where it is; the document view takes it off once signed.
    QCOMPARE(m_scene->GetSealSignInfo().size(), 1);
}

void TestSignSeal::rightPressOpensMenu()
{
    auto info = QSharedPointer<SealSignInfo>::create(Seal(), int(EN_SealSignType_RideRight));
    m_scene->AddSignSeal(info);
    const QRectF start = info->GetRect();
    QStringList shown;
    QTimer::singleShot(0, [&shown]() {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                shown << a->text();
            // Choose "骑缝章-左" the way the user does.
            if (QAction *left = FindAction(menu, T("骑缝章-左")))
                left->trigger();
            menu->close();
        }
    });
    SendMouse(*m_scene, QEvent::GraphicsSceneMousePress, start.center(), Qt::RightButton, Qt::RightButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseRelease, start.center(), Qt::RightButton, Qt::NoButton);
    QCOMPARE(shown, (QStringList{T("执行签章"), T("删除印章"), T("更改骑缝章类型")}));
    QCOMPARE(info->GetSealType(), int(EN_SealSignType_RideLeft));
    QCOMPARE(info->GetRect().topLeft(), QPointF(0, start.top()));
    QCOMPARE(m_scene->GetDragSeal(), static_cast<OfdVisualItemSignSeal *>(nullptr));
}

void TestSignSeal::drawsPictureAboveContent()
{
    const QImage before = Render(*m_scene);
    const QPoint centre(qRound(Px(kPageMM) / 2), qRound(Px(kPageMM) / 2));
    QVERIFY2(IsColor(before, centre.x(), centre.y(), kContentColor, 10),
             qPrintable(Describe(before, centre.x(), centre.y())));

    auto info = QSharedPointer<SealSignInfo>::create(Seal());
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    QVERIFY(item->HasSealPicture());
    QImage image = Render(*m_scene);
    QVERIFY2(IsColor(image, centre.x(), centre.y(), kSealColor, 10),
             qPrintable(Describe(image, centre.x(), centre.y())));
    // Just outside the seal the page content shows.
    const QRect rect = info->GetRect().toAlignedRect();
    QVERIFY(IsColor(image, rect.left() - 3, centre.y(), kContentColor, 10));
    QVERIFY(IsColor(image, rect.left() + 3, centre.y(), kSealColor, 10));

    // Dragged elsewhere, the picture goes along.
    SendMouse(*m_scene, QEvent::GraphicsSceneMousePress, centre, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseMove, centre + QPointF(0, 120), Qt::NoButton,
              Qt::LeftButton);
    SendMouse(*m_scene, QEvent::GraphicsSceneMouseRelease, centre + QPointF(0, 120), Qt::LeftButton,
              Qt::NoButton);
    image = Render(*m_scene);
    QVERIFY(IsColor(image, centre.x(), centre.y(), kContentColor, 10));
    QVERIFY2(IsColor(image, centre.x(), centre.y() + 120, kSealColor, 10),
             qPrintable(Describe(image, centre.x(), centre.y() + 120)));
}

void TestSignSeal::drawsDefaultSeal()
{
    // No picture: a red circle outline the size of 40 x 40 mm.
    auto info = QSharedPointer<SealSignInfo>::create(Seal(0, 0, false));
    OfdVisualItemSignSeal *item = m_scene->AddSignSeal(info);
    QVERIFY(!item->HasSealPicture());
    const QImage image = Render(*m_scene);
    const QRect rect = info->GetRect().toAlignedRect();
    const int y = rect.center().y();
    auto isRed = [&](int x, int py) {
        const QColor c = image.pixelColor(x, py);
        return c.red() > 180 && c.green() < 90 && c.blue() < 90;
    };
    bool leftRed = false;
    bool rightRed = false;
    for (int dx = 0; dx < 12; ++dx) {
        leftRed = leftRed || isRed(rect.left() + dx, y);
        rightRed = rightRed || isRed(rect.right() - dx, y);
    }
    QVERIFY(leftRed);
    QVERIFY(rightRed);
    // Inside the ring near its edge the page content still shows (the ring is an outline).
    QVERIFY(IsColor(image, rect.left() + 20, rect.top() + 60, kContentColor, 10));
    // Corners of the square picture lie outside the ring.
    QVERIFY(IsColor(image, rect.left() + 2, rect.top() + 2, kContentColor, 10));
    // An undecodable picture is drawn the same way.
    auto broken = Seal();
    broken->pictureData = QByteArray("not a picture");
    OfdVisualItemSignSeal *other = m_scene->AddSignSeal(QSharedPointer<SealSignInfo>::create(broken));
    QVERIFY(!other->HasSealPicture());
    QCOMPARE(other->GetPicture().size(), other->GetSealSize().toSize());
}

QTEST_MAIN(TestSignSeal)
#include "test_signseal.moc"
