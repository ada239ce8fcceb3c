#include <QtTest>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <memory>

#include "fakedocument.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdspecialcoloraxial.h"
#include "model/content/ofdspecialcolorfactory.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdspecialcolorradial.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/xmlnode.h"
#include "parsehelper.h"

// Shadings (gradient brushes with segments, mapping and extend) and patterns (tiling through a cell
// painter supplied by the renderer).
class TestSpecialColor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void factory_data();
    void factory();
    void segmentPositions_data();
    void segmentPositions();
    void extendStops_data();
    void extendStops();
    void axialBrushPaints_data();
    void axialBrushPaints();
    void segmentColorsUseDocumentSpaces();
    void repeatAndReflect();
    void tinyMapUnitIsBounded();
    void radialBrush();
    void hostileShadingNumbers();
    void fillColorBrushAndSharing();
    void patternAttributes();
    void tileOrigins_data();
    void tileOrigins();
    void tileMirroring();
    void tileCountIsCapped();
    void drawPatternPaintsCells();
    void drawPatternThroughColor();
};

// The special colour made from xml (an AxialShd, RadialShd or Pattern element).
static std::unique_ptr<OfdSpecialColor> Make(const QByteArray &xml)
{
    std::unique_ptr<XmlNode> node(XmlNode::FromData(xml));
    return std::unique_ptr<OfdSpecialColor>(OfdSpecialColorFactory::Create(node.get()));
}

template <typename T>
static std::unique_ptr<T> MakeAs(const QByteArray &xml)
{
    std::unique_ptr<OfdSpecialColor> color = Make(xml);
    if (!dynamic_cast<T *>(color.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T *>(color.release()));
}

static QByteArray Axial(const QByteArray &attrs, const QByteArray &segments)
{
    return "<ofd:AxialShd xmlns:ofd='http://www.ofdspec.org/2016' " + attrs + ">" + segments +
           "</ofd:AxialShd>";
}

static const QByteArray kRedToBlue = "<ofd:Segment Position='0'><ofd:Color Value='255 0 0'/></ofd:Segment>"
                                     "<ofd:Segment Position='1'><ofd:Color Value='0 0 255'/></ofd:Segment>";

void TestSpecialColor::initTestCase()
{
    OfdConvert::Init(96.0);
}

void TestSpecialColor::factory_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("type");
    QTest::newRow("axial") << Axial("StartPoint='0 0' EndPoint='10 0'", kRedToBlue)
                           << int(OfdSpecialColor::SpecialColor_AxialShd);
    QTest::newRow("radial other prefix")
        << QByteArray("<x:RadialShd xmlns:x='urn:x' EndRadius='3'><x:Segment><x:Color "
                      "Value='1 1 1'/></x:Segment></x:RadialShd>")
        << int(OfdSpecialColor::SpecialColor_RadialShd);
    QTest::newRow("pattern") << QByteArray("<ofd:Pattern Width='1' Height='1'/>")
                             << int(OfdSpecialColor::SpecialColor_Pattern);
    QTest::newRow("shading without segments") << Axial("StartPoint='0 0' EndPoint='10 0'", "") << 0;
    QTest::newRow("pattern without size") << QByteArray("<ofd:Pattern Width='0' Height='1'/>") << 0;
    QTest::newRow("pattern with nan size") << QByteArray("<ofd:Pattern Width='nan' Height='1'/>") << 0;
    QTest::newRow("gouraud is not built") << QByteArray("<ofd:GouraudShd/>") << 0;
}

void TestSpecialColor::factory()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, type);
    std::unique_ptr<OfdSpecialColor> color = Make(xml);
    QCOMPARE(color ? int(color->GetType()) : 0, type);
    if (color)
        QCOMPARE(color->IsPattern(), type == OfdSpecialColor::SpecialColor_Pattern);
}

void TestSpecialColor::segmentPositions_data()
{
    QTest::addColumn<QByteArray>("positions"); // one Position attribute text per segment, "-" for none
    QTest::addColumn<QList<double>>("completed");
    QTest::newRow("all given") << QByteArray("0 0.25 1") << QList<double>{0, 0.25, 1};
    QTest::newRow("none given") << QByteArray("- - - - -") << QList<double>{0, 0.25, 0.5, 0.75, 1};
    QTest::newRow("gap between known") << QByteArray("0.2 - - 0.8") << QList<double>{0.2, 0.4, 0.6, 0.8};
    QTest::newRow("clamped") << QByteArray("-1 0.5 3") << QList<double>{0, 0.5, 1};
    QTest::newRow("never decreasing") << QByteArray("0 0.7 0.3 1") << QList<double>{0, 0.7, 0.7, 1};
    QTest::newRow("single without position") << QByteArray("-") << QList<double>{0};
    QTest::newRow("nan is missing") << QByteArray("0 nan 1") << QList<double>{0, 0.5, 1};
}

void TestSpecialColor::segmentPositions()
{
    QFETCH(QByteArray, positions);
    QFETCH(QList<double>, completed);
    QByteArray segments;
    for (const QByteArray &p : positions.split(' ')) {
        segments += p == "-" ? QByteArray("<ofd:Segment>") : "<ofd:Segment Position='" + p + "'>";
        segments += "<ofd:Color Value='0 0 0'/></ofd:Segment>";
    }
    auto axial = MakeAs<OfdSpecialColorAxial>(Axial("StartPoint='0 0' EndPoint='1 0'", segments));
    QVERIFY(axial);
    const QList<double> got = axial->GetSegmentPositions();
    QCOMPARE(got.size(), completed.size());
    for (int i = 0; i < got.size(); ++i)
        QVERIFY2(std::abs(got[i] - completed[i]) < 1e-12, qPrintable(QString::number(got[i])));
}

void TestSpecialColor::extendStops_data()
{
    QTest::addColumn<QByteArray>("extend");
    QTest::addColumn<bool>("startOpaque");
    QTest::addColumn<bool>("endOpaque");
    QTest::newRow("absent: none") << QByteArray() << false << false;
    QTest::newRow("0 none") << QByteArray("Extend='0'") << false << false;
    QTest::newRow("1 start") << QByteArray("Extend='1'") << true << false;
    QTest::newRow("2 end") << QByteArray("Extend='2'") << false << true;
    QTest::newRow("3 both") << QByteArray("Extend=' 3 '") << true << true;
}

void TestSpecialColor::extendStops()
{
    QFETCH(QByteArray, extend);
    QFETCH(bool, startOpaque);
    QFETCH(bool, endOpaque);
    auto axial =
        MakeAs<OfdSpecialColorAxial>(Axial("StartPoint='0 0' EndPoint='10 0' " + extend, kRedToBlue));
    QVERIFY(axial);
    const QGradientStops stops = axial->CreateStops(OfdTypeFillColor());
    QVERIFY(stops.size() >= 2);
    for (int i = 1; i < stops.size(); ++i)
        QVERIFY(stops[i].first > stops[i - 1].first); // equal positions would replace each other
    QCOMPARE(stops.first().first, 0.0);
    QCOMPARE(stops.last().first, 1.0);
    // Pad spread repeats the end stops outside the axis: they decide what is painted there.
    QCOMPARE(stops.first().second.alpha(), startOpaque ? 255 : 0);
    QCOMPARE(stops.last().second.alpha(), endOpaque ? 255 : 0);
    QCOMPARE(stops.first().second.red(), 255);
    QCOMPARE(stops.last().second.blue(), 255);
}

// Paints brush over a 100 × 10 image (transparent first) and returns the pixel at x, 5.
static QColor PaintedAt(const QBrush &brush, int x)
{
    QImage image(100, 10, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(image.rect(), brush);
    painter.end();
    return QColor::fromRgba(image.pixel(x, 5));
}

void TestSpecialColor::axialBrushPaints_data()
{
    QTest::addColumn<QByteArray>("extend");
    QTest::addColumn<int>("x");
    QTest::addColumn<QColor>("color");
    // Axis from x 20 to x 80 (millimetres × 1 unit per mm).
    QTest::newRow("before start, no extend") << QByteArray("Extend='0'") << 5 << QColor(0, 0, 0, 0);
    QTest::newRow("before start, extended") << QByteArray("Extend='1'") << 5 << QColor(255, 0, 0);
    QTest::newRow("after end, no extend") << QByteArray("Extend='1'") << 95 << QColor(0, 0, 0, 0);
    QTest::newRow("after end, extended") << QByteArray("Extend='3'") << 95 << QColor(0, 0, 255);
    QTest::newRow("middle") << QByteArray("Extend='0'") << 50 << QColor(127, 0, 127);
}

void TestSpecialColor::axialBrushPaints()
{
    QFETCH(QByteArray, extend);
    QFETCH(int, x);
    QFETCH(QColor, color);
    OfdTypeFillColor owner;
    owner.SetSpecialColor(OfdSpecialColorFactory::Create(
        std::unique_ptr<XmlNode>(
            XmlNode::FromData(Axial("StartPoint='20 0' EndPoint='80 0' " + extend, kRedToBlue)))
            .get()));
    QVERIFY(owner.IsCreateBrush());
    const QBrush brush = owner.CreateBrush(1.0);
    QCOMPARE(brush.style(), Qt::LinearGradientPattern);
    const QColor painted = PaintedAt(brush, x);
    QVERIFY2(std::abs(painted.alpha() - color.alpha()) <= 3, qPrintable(painted.name(QColor::HexArgb)));
    if (color.alpha() == 255) {
        QVERIFY2(std::abs(painted.red() - color.red()) <= 4 && std::abs(painted.blue() - color.blue()) <= 4,
                 qPrintable(painted.name(QColor::HexArgb)));
    }
}

void TestSpecialColor::segmentColorsUseDocumentSpaces()
{
    FakeDocument document;
    document.AddSpace(4, QStringLiteral("CMYK"));
    document.AddSpace(5, QStringLiteral("GRAY"), 1);
    FakeItem item(&document);
    OfdTypeFillColor owner;
    owner.SetPageItem(&item);
    owner.SetSpecialColor(OfdSpecialColorFactory::Create(
        std::unique_ptr<XmlNode>(
            XmlNode::FromData(
                Axial("StartPoint='0 0' EndPoint='1 0' Extend='3'",
                      "<ofd:Segment Position='0'><ofd:Color ColorSpace='4' Value='0 255 255 0'/>"
                      "</ofd:Segment><ofd:Segment Position='1'><ofd:Color ColorSpace='5' Value='1' "
                      "Alpha='128'/></ofd:Segment>")))
            .get()));
    const QGradientStops stops =
        static_cast<OfdSpecialColorShading *>(owner.GetSpecialColor())->CreateStops(owner);
    QCOMPARE(stops.first().second.rgba(), QColor(255, 0, 0).rgba());         // CMYK 0 255 255 0
    QCOMPARE(stops.last().second.rgba(), QColor(255, 255, 255, 128).rgba()); // 1-bit gray 1
    QVERIFY(document.colorSpaceLookups >= 2);
}

void TestSpecialColor::repeatAndReflect()
{
    const QByteArray blackToWhite =
        "<ofd:Segment Position='0'><ofd:Color Value='0 0 0'/></ofd:Segment>"
        "<ofd:Segment Position='1'><ofd:Color Value='200 200 200'/></ofd:Segment>";
    auto repeat = MakeAs<OfdSpecialColorAxial>(
        Axial("StartPoint='0 0' EndPoint='40 0' MapType='Repeat' MapUnit='10' Extend='3'", blackToWhite));
    auto reflect = MakeAs<OfdSpecialColorAxial>(
        Axial("StartPoint='0 0' EndPoint='40 0' MapType='Reflect' MapUnit='10' Extend='3'", blackToWhite));
    auto direct = MakeAs<OfdSpecialColorAxial>(
        Axial("StartPoint='0 0' EndPoint='40 0' MapType='Direct' MapUnit='10' Extend='3'", blackToWhite));
    QVERIFY(repeat && reflect && direct);
    const OfdTypeFillColor owner;
    // t = 0.3 lies 20 % into the second period (of four).
    QCOMPARE(repeat->GetColorAt(owner, 0.3).red(), 40);
    QCOMPARE(reflect->GetColorAt(owner, 0.3).red(), 160);
    QCOMPARE(direct->GetColorAt(owner, 0.3).red(), 60);
    // The brush repeats: just after a period boundary the colour starts again from black.
    const QBrush brush = [&] {
        OfdTypeFillColor c;
        c.SetSpecialColor(
            MakeAs<OfdSpecialColorAxial>(
                Axial("StartPoint='0 0' EndPoint='80 0' MapType='Repeat' MapUnit='20' Extend='3'",
                      blackToWhite))
                .release());
        return c.CreateBrush(1.0);
    }();
    QVERIFY(PaintedAt(brush, 19).red() > 180);
    QVERIFY(PaintedAt(brush, 21).red() < 20);
}

void TestSpecialColor::tinyMapUnitIsBounded()
{
    QByteArray segments;
    for (int i = 0; i < 40; ++i)
        segments += "<ofd:Segment><ofd:Color Value='" + QByteArray::number(i) + " 0 0'/></ofd:Segment>";
    auto axial = MakeAs<OfdSpecialColorAxial>(
        Axial("StartPoint='0 0' EndPoint='1000 0' MapType='Repeat' MapUnit='1e-12'", segments));
    QVERIFY(axial);
    const QGradientStops stops = axial->CreateStops(OfdTypeFillColor());
    QVERIFY(stops.size() <= OfdSpecialColorShading::kMaxStops + 2 * 42);
    QVERIFY(stops.size() > 40);
}

void TestSpecialColor::radialBrush()
{
    auto radial = MakeAs<OfdSpecialColorRadial>(
        "<ofd:RadialShd StartPoint='15 17' StartRadius='3' EndPoint='13 14' EndRadius='12' Extend='0'>" +
        kRedToBlue + "</ofd:RadialShd>");
    QVERIFY(radial);
    const QBrush brush = radial->CreateBrush(OfdTypeFillColor(), 2.0);
    QCOMPARE(brush.style(), Qt::RadialGradientPattern);
    const auto *gradient = static_cast<const QRadialGradient *>(brush.gradient());
    QCOMPARE(gradient->center(), QPointF(26, 28));
    QCOMPARE(gradient->centerRadius(), 24.0);
    QCOMPARE(gradient->focalPoint(), QPointF(30, 34));
    QCOMPARE(gradient->focalRadius(), 6.0);
    QVERIFY(brush.transform().isIdentity());
    QCOMPARE(gradient->stops().first().second.alpha(), 0);

    // Eccentricity squeezes across Angle around the end point: with angle 0, y shrinks.
    auto ellipse = MakeAs<OfdSpecialColorRadial>(
        "<ofd:RadialShd EndPoint='10 10' EndRadius='5' Eccentricity='0.8' Angle='0'>" + kRedToBlue +
        "</ofd:RadialShd>");
    const QTransform t = ellipse->CreateBrush(OfdTypeFillColor(), 1.0).transform();
    QCOMPARE(t.map(QPointF(10, 10)), QPointF(10, 10));
    QCOMPARE(t.map(QPointF(15, 10)), QPointF(15, 10));
    QVERIFY(std::abs(t.map(QPointF(10, 15)).y() - 13.0) < 1e-9); // 5 × sqrt(1 − 0.64) = 3
}

void TestSpecialColor::hostileShadingNumbers()
{
    auto radial = MakeAs<OfdSpecialColorRadial>(
        "<ofd:RadialShd StartPoint='nan inf' StartRadius='-5' EndPoint='1e300 0' EndRadius='inf' "
        "Eccentricity='2' MapType='Reflect' MapUnit='nan'>" +
        kRedToBlue + "</ofd:RadialShd>");
    QVERIFY(radial);
    QCOMPARE(radial->GetStartPoint(), QPointF(0, 0));
    QCOMPARE(radial->GetStartRadius(), 0.0);
    QVERIFY(std::isfinite(radial->GetEndPoint().x()));
    QVERIFY(std::isfinite(radial->GetEndRadius()));
    const QBrush brush = radial->CreateBrush(OfdTypeFillColor(), 1.0);
    PaintedAt(brush, 50);                    // must not crash or hang
    QVERIFY(brush.transform().isIdentity()); // eccentricity outside 0..1 is ignored
}

void TestSpecialColor::fillColorBrushAndSharing()
{
    OfdTypeFillColor color;
    QCOMPARE(ParseInWrapper("<ofd:FillColor><ofd:AxialShd StartPoint='0 0' EndPoint='25.4 0'>" + kRedToBlue +
                                "</ofd:AxialShd></ofd:FillColor>",
                            [&](QXmlStreamReader &r) { color.ParseXml(r); }),
             QStringLiteral("Next"));
    QVERIFY(color.IsCreateBrush());
    QVERIFY(!color.IsDrawPattern());
    // Default units are pixels at the current resolution: 25.4 mm is 96 px.
    const auto *gradient = static_cast<const QLinearGradient *>(color.CreateBrush().gradient());
    QCOMPARE(gradient->finalStop(), QPointF(96, 0));
    OfdTypeFillColor copy = color;
    QCOMPARE(copy.GetSpecialColor(), color.GetSpecialColor());
    OfdTypeFillColor assigned;
    assigned = color;
    color = OfdTypeFillColor();
    QVERIFY(assigned.IsCreateBrush()); // still alive through the copies
    QCOMPARE(assigned.GetSpecialColor(), copy.GetSpecialColor());
    QCOMPARE(OfdTypeFillColor().CreateBrush().style(), Qt::NoBrush);
    QVERIFY(!OfdTypeFillColor().DrawPattern(nullptr, QRectF(0, 0, 1, 1)));
}

void TestSpecialColor::patternAttributes()
{
    auto pattern = MakeAs<OfdSpecialColorPattern>(
        "<ofd:Pattern xmlns:ofd='http://www.ofdspec.org/2016' Width='107' Height='26.2' XStep='127' "
        "ReflectMethod='RowAndColumn' RelativeTo='Page' CTM='0.7071 -0.7071 0.7071 0.7071 0 148.5'>"
        "<ofd:CellContent Thumbnail='9'><ofd:TextObject ID='95' Size='26'><ofd:TextCode X='0' Y='22'>A&amp;B"
        "</ofd:TextCode></ofd:TextObject></ofd:CellContent></ofd:Pattern>");
    QVERIFY(pattern);
    QCOMPARE(pattern->GetWidth(), 107.0);
    QCOMPARE(pattern->GetHeight(), 26.2);
    QCOMPARE(pattern->GetXStep(), 127.0);
    QCOMPARE(pattern->GetYStep(), 26.2); // defaults to the height
    QCOMPARE(pattern->GetReflectMethod(), OfdSpecialColorPattern::Reflect_RowAndColumn);
    QVERIFY(pattern->IsRelativeToPage());
    QCOMPARE(pattern->GetCTM().GetCTMText(), QStringLiteral("0.7071 -0.7071 0.7071 0.7071 0 148.5"));
    QCOMPARE(pattern->GetThumbnail(), 9);
    // The cell reads back as a part of its own with its objects and escaped text.
    OfdXmlStreamReader reader(pattern->GetCellContentXml());
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.qualifiedName().toString(), QStringLiteral("ofd:CellContent"));
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.name().toString(), QStringLiteral("TextObject"));
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.readElementText(), QStringLiteral("A&B"));

    auto plain =
        MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='4' Height='3' XStep='-1' ReflectMethod='x'/>");
    QCOMPARE(plain->GetXStep(), 4.0);
    QCOMPARE(plain->GetReflectMethod(), OfdSpecialColorPattern::Reflect_Normal);
    QVERIFY(!plain->IsRelativeToPage());
    QVERIFY(!plain->GetCTM().IsValidate());
    QVERIFY(plain->GetCellContentXml().isEmpty());
}

void TestSpecialColor::tileOrigins_data()
{
    QTest::addColumn<QByteArray>("attrs");
    QTest::addColumn<double>("units");
    QTest::addColumn<QPointF>("objectOrigin");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QList<QPointF>>("origins");
    QTest::newRow("steps") << QByteArray("Width='10' Height='5' XStep='20' YStep='10'") << 1.0 << QPointF()
                           << QRectF(0, 0, 50, 20)
                           << QList<QPointF>{{0, 0}, {20, 0}, {40, 0}, {0, 10}, {20, 10}, {40, 10}};
    QTest::newRow("steps default to size")
        << QByteArray("Width='10' Height='10'") << 1.0 << QPointF() << QRectF(5, 5, 10, 10)
        << QList<QPointF>{{0, 0}, {10, 0}, {0, 10}, {10, 10}};
    QTest::newRow("units scale") << QByteArray("Width='10' Height='10'") << 2.0 << QPointF()
                                 << QRectF(0, 0, 30, 10) << QList<QPointF>{{0, 0}, {20, 0}};
    QTest::newRow("ctm moves the tiling") << QByteArray("Width='10' Height='10' CTM='1 0 0 1 3 4'") << 1.0
                                          << QPointF() << QRectF(3, 4, 10, 10) << QList<QPointF>{{3, 4}};
    QTest::newRow("relative to page")
        << QByteArray("Width='10' Height='10' RelativeTo='Page'") << 1.0 << QPointF(5, 3)
        << QRectF(0, 0, 10, 5) << QList<QPointF>{{-5, -3}, {5, -3}};
    QTest::newRow("object origin ignored otherwise")
        << QByteArray("Width='10' Height='10'") << 1.0 << QPointF(5, 3) << QRectF(0, 0, 10, 5)
        << QList<QPointF>{{0, 0}};
}

void TestSpecialColor::tileOrigins()
{
    QFETCH(QByteArray, attrs);
    QFETCH(double, units);
    QFETCH(QPointF, objectOrigin);
    QFETCH(QRectF, area);
    QFETCH(QList<QPointF>, origins);
    auto pattern = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern " + attrs + "/>");
    QVERIFY(pattern);
    QList<QPointF> got;
    for (const QTransform &t : pattern->GetTileTransforms(area, units, objectOrigin))
        got << t.map(QPointF(0, 0));
    QCOMPARE(got, origins);
}

void TestSpecialColor::tileMirroring()
{
    auto row = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='10' Height='5' XStep='20' YStep='10' "
                                              "ReflectMethod='Row'/>");
    auto column = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='10' Height='5' XStep='20' YStep='10' "
                                                 "ReflectMethod='Column'/>");
    const QRectF area(0, 0, 30, 15); // tiles (0,0) (1,0) (0,1) (1,1)
    const QList<QTransform> r = row->GetTileTransforms(area, 1.0);
    const QList<QTransform> c = column->GetTileTransforms(area, 1.0);
    QCOMPARE(r.size(), 4);
    QCOMPARE(c.size(), 4);
    // Cell point (1, 1): odd columns mirrored left to right, odd rows top to bottom.
    QCOMPARE(r[0].map(QPointF(1, 1)), QPointF(1, 1));
    QCOMPARE(r[1].map(QPointF(1, 1)), QPointF(29, 1));
    QCOMPARE(r[2].map(QPointF(1, 1)), QPointF(1, 11));
    QCOMPARE(c[1].map(QPointF(1, 1)), QPointF(21, 1));
    QCOMPARE(c[2].map(QPointF(1, 1)), QPointF(1, 14));
    QCOMPARE(c[3].map(QPointF(1, 1)), QPointF(21, 14));
}

void TestSpecialColor::tileCountIsCapped()
{
    auto tiny = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='0.001' Height='0.001'/>");
    QCOMPARE(tiny->GetTileTransforms(QRectF(0, 0, 1000, 1000), 1.0).size(),
             OfdSpecialColorPattern::kMaxTiles);
    auto singular = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='1' Height='1' CTM='0 0 0 0 0 0'/>");
    QVERIFY(singular->GetTileTransforms(QRectF(0, 0, 10, 10), 1.0).isEmpty());
    auto normal = MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='1' Height='1'/>");
    QVERIFY(normal->GetTileTransforms(QRectF(0, 0, 1e300, 10), 1.0).isEmpty());
    QVERIFY(normal->GetTileTransforms(QRectF(), 1.0).isEmpty());
}

void TestSpecialColor::drawPatternPaintsCells()
{
    auto pattern =
        MakeAs<OfdSpecialColorPattern>("<ofd:Pattern Width='10' Height='10' XStep='20' YStep='20'/>");
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    int calls = 0;
    const bool drawn = pattern->DrawPattern(
        &painter, QRectF(0, 0, 40, 40), OfdTypeFillColor(), 1.0, QPointF(),
        [&](QPainter *p, const OfdSpecialColorPattern &cell, const OfdTypeFillColor &, double units) {
            ++calls;
            QCOMPARE(&cell, pattern.get());
            QCOMPARE(units, 1.0);
            p->fillRect(QRectF(-5, -5, 100, 100), Qt::red); // spills over: clipped to the cell
        });
    painter.end();
    QVERIFY(drawn);
    QCOMPARE(calls, 4);
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(image.pixelColor(25, 25), QColor(Qt::red));
    QCOMPARE(image.pixelColor(15, 5), QColor(Qt::white)); // between cells
    QCOMPARE(image.pixelColor(5, 15), QColor(Qt::white));
    QVERIFY(!pattern->DrawPattern(&painter, QRectF(0, 0, 1, 1), OfdTypeFillColor(), 1.0, QPointF(),
                                  OfdPatternCellPainter()));
}

void TestSpecialColor::drawPatternThroughColor()
{
    OfdTypeFillColor color;
    ParseInWrapper("<ofd:FillColor Value='0 0 0'><ofd:Pattern Width='25.4' Height='25.4' RelativeTo='Page'>"
                   "<ofd:CellContent/></ofd:Pattern></ofd:FillColor>",
                   [&](QXmlStreamReader &r) { color.ParseXml(r); });
    QVERIFY(color.IsDrawPattern());
    QVERIFY(!color.IsCreateBrush());
    FakeDocument document;
    FakeItem item(&document, 0, QPointF(12.7, 0)); // the object starts half a cell into the page
    color.SetPageItem(&item);
    QImage image(10, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    QVERIFY(!color.DrawPattern(&painter, QRectF(0, 0, 96, 96))); // no cell painter installed yet
    QList<QPointF> origins;
    OfdSpecialColorPattern::SetCellPainter(
        [&](QPainter *p, const OfdSpecialColorPattern &, const OfdTypeFillColor &, double units) {
            QCOMPARE(units, OfdConvert::PxOfOneMM);
            origins << p->transform().map(QPointF(0, 0));
        });
    QVERIFY(color.DrawPattern(&painter, QRectF(0, 0, 96, 48)));
    OfdSpecialColorPattern::SetCellPainter(OfdPatternCellPainter());
    painter.end();
    // Cells of 96 px anchored at the page origin, which lies 48 px left of the object.
    QCOMPARE(origins, (QList<QPointF>{{-48, 0}, {48, 0}}));
}

QTEST_MAIN(TestSpecialColor)
#include "test_specialcolor.moc"
