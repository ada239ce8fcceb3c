#include <QtTest>

#include <QBuffer>

#include "model/content/ofdconvert.h"
#include "render/ofdrenderinit.h"
#include "renderfixture.h"

// Pages built in the test, rendered at 254 dpi (10 pixels per millimetre) through the page scene,
// with pixels asserted at known positions: paths, images, clips, shadings, patterns, templates,
// composites and page blocks.
class TestRenderObjects : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pixelProbes_data();
    void pixelProbes();
    void imageUnderCtm();
    void imageAlpha();
    void imageClippedByPath_data();
    void imageClippedByPath();
    void exactPageScale();
    void templateResourcesResolveAgainstTemplate();

private:
    QImage RenderImagePage(const QString &imageAttributes, const QString &children = QString());
};

namespace {
constexpr double kDpi = 254; // 10 pixels per millimetre

// A probe: a point in millimetres and the colour expected there.
struct Probe
{
    double xMM;
    double yMM;
    QColor color;
};
using Probes = QList<Probe>;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 160, 0);

QString Layer(const QString &objects)
{
    return QStringLiteral("<ofd:Layer ID=\"100\">%1</ofd:Layer>").arg(objects);
}

// A path object; attributes are written as given.
QString PathObject(const QString &boundary, const QString &attributes, const QString &data,
                   const QString &children = QString())
{
    return QStringLiteral("<ofd:PathObject ID=\"%1\" Boundary=\"%2\" %3>%4<ofd:AbbreviatedData>%5"
                          "</ofd:AbbreviatedData></ofd:PathObject>")
        .arg(qHash(data + attributes) % 900 + 50)
        .arg(boundary, attributes, children, data);
}

QString Fill(const QString &rgb)
{
    return QStringLiteral("<ofd:FillColor Value=\"%1\"/>").arg(rgb);
}

QString Rect(double w, double h)
{
    return QStringLiteral("M 0 0 L %1 0 L %1 %2 L 0 %2 C").arg(w).arg(h);
}

// A filled square of side size at (x, y), no outline.
QString Square(double x, double y, double size, const QString &rgb)
{
    return PathObject(QStringLiteral("%1 %2 %3 %3").arg(x).arg(y).arg(size),
                      QStringLiteral("Fill=\"true\" Stroke=\"false\""), Rect(size, size), Fill(rgb));
}

QString AxialFill(const QString &extend)
{
    return QStringLiteral("<ofd:FillColor><ofd:AxialShd StartPoint=\"10 0\" EndPoint=\"30 0\" Extend=\"%1\">"
                          "<ofd:Segment Position=\"0\"><ofd:Color Value=\"255 0 0\"/></ofd:Segment>"
                          "<ofd:Segment Position=\"1\"><ofd:Color Value=\"0 0 255\"/></ofd:Segment>"
                          "</ofd:AxialShd></ofd:FillColor>")
        .arg(extend);
}

QString RadialFill(const QString &extend)
{
    return QStringLiteral("<ofd:FillColor><ofd:RadialShd StartPoint=\"20 20\" EndPoint=\"20 20\" "
                          "StartRadius=\"0\" EndRadius=\"10\" Extend=\"%1\">"
                          "<ofd:Segment Position=\"0\"><ofd:Color Value=\"255 0 0\"/></ofd:Segment>"
                          "<ofd:Segment Position=\"1\"><ofd:Color Value=\"0 0 255\"/></ofd:Segment>"
                          "</ofd:RadialShd></ofd:FillColor>")
        .arg(extend);
}

// A 2 × 2 picture: red, green / blue, and a fully transparent pixel.
QByteArray QuadrantPng()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, kRed);
    image.setPixelColor(1, 0, QColor(0, 255, 0));
    image.setPixelColor(0, 1, kBlue);
    image.setPixelColor(1, 1, QColor(0, 0, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const char *const kImageRes = "<ofd:MultiMedias><ofd:MultiMedia ID=\"10\" Type=\"Image\" Format=\"PNG\">"
                              "<ofd:MediaFile>quad.png</ofd:MediaFile></ofd:MultiMedia></ofd:MultiMedias>";
} // namespace

Q_DECLARE_METATYPE(Probes)

void TestRenderObjects::initTestCase()
{
    OfdConvert::Init(96.0);
    OfdRenderInit::Init();
}

void TestRenderObjects::pixelProbes_data()
{
    QTest::addColumn<QString>("layers");
    QTest::addColumn<QString>("resources");
    QTest::addColumn<QString>("beforeContent");
    QTest::addColumn<QString>("templateLayers");
    QTest::addColumn<Probes>("probes");
    const QString none;
    const QString stroke = QStringLiteral("Fill=\"false\" Stroke=\"true\" ");

    // Paths: fill, line width, dashes, caps, joins, rules, arcs, alpha.
    QTest::newRow("fill") << Layer(Square(10, 10, 20, QStringLiteral("255 0 0"))) << none << none << none
                          << Probes{{20, 20, kRed}, {11, 11, kRed}, {9, 9, kWhite}, {31, 20, kWhite}};
    // The scene finds items by their bounds: a path whose boundary starts off the page is drawn too.
    QTest::newRow("boundary origin off the page")
        << Layer(PathObject("-10 -10 30 30", "Fill=\"true\" Stroke=\"false\"", Rect(30, 30), Fill("255 0 0")))
        << none << none << none << Probes{{5, 5, kRed}, {19, 19, kRed}, {21, 21, kWhite}};
    QTest::newRow("line width")
        << Layer(PathObject("10 10 20 20", stroke + "LineWidth=\"2\"", "M 0 10 L 20 10")) << none << none
        << none << Probes{{20, 20, kBlack}, {20, 20.7, kBlack}, {20, 21.4, kWhite}, {20, 18.6, kWhite}};
    const QString dashed = stroke + "LineWidth=\"1\" DashPattern=\"2 2\"";
    QTest::newRow("dash") << Layer(PathObject("10 10 20 20", dashed, "M 0 10 L 20 10")) << none << none
                          << none
                          << Probes{{11, 20, kBlack}, {13, 20, kWhite}, {15, 20, kBlack}, {17, 20, kWhite}};
    QTest::newRow("dash offset")
        << Layer(PathObject("10 10 20 20", dashed + " DashOffset=\"2\"", "M 0 10 L 20 10")) << none << none
        << none << Probes{{11, 20, kWhite}, {13, 20, kBlack}, {15, 20, kWhite}, {17, 20, kBlack}};
    QTest::newRow("thin dashes keep gaps")
        << Layer(
               PathObject("10 10 20 20", stroke + "LineWidth=\"0.08\" DashPattern=\"2 2\"", "M 0 10 L 20 10"))
        << none << none << none << Probes{{13, 20, kWhite}, {17, 20, kWhite}};
    const QString thick = stroke + "LineWidth=\"4\" ";
    QTest::newRow("cap butt") << Layer(PathObject("10 10 20 20", thick + "Cap=\"Butt\"", "M 0 10 L 20 10"))
                              << none << none << none
                              << Probes{{10.5, 20, kBlack}, {9, 20, kWhite}, {8.5, 21.8, kWhite}};
    QTest::newRow("cap square") << Layer(
                                       PathObject("10 10 20 20", thick + "Cap=\"Square\"", "M 0 10 L 20 10"))
                                << none << none << none << Probes{{9, 20, kBlack}, {8.5, 21.6, kBlack}};
    QTest::newRow("cap round") << Layer(PathObject("10 10 20 20", thick + "Cap=\"Round\"", "M 0 10 L 20 10"))
                               << none << none << none << Probes{{8.5, 20, kBlack}, {8.5, 21.7, kWhite}};
    const QString corner = QStringLiteral("M 0 0 L 20 0 L 20 20");
    QTest::newRow("join miter") << Layer(PathObject("10 10 20 20", thick + "Join=\"Miter\"", corner)) << none
                                << none << none << Probes{{31.7, 8.3, kBlack}, {31.2, 8.8, kBlack}};
    QTest::newRow("join bevel") << Layer(PathObject("10 10 20 20", thick + "Join=\"Bevel\"", corner)) << none
                                << none << none
                                << Probes{{31.7, 8.3, kWhite}, {31.2, 8.8, kWhite}, {30.5, 9.5, kBlack}};
    QTest::newRow("join round") << Layer(PathObject("10 10 20 20", thick + "Join=\"Round\"", corner)) << none
                                << none << none << Probes{{31.7, 8.3, kWhite}, {31.2, 8.8, kBlack}};
    // A right angle's miter is 1.414 line widths long: kept under a limit of 2, bevelled under 1.2.
    QTest::newRow("miter limit keeps a shorter miter")
        << Layer(PathObject("10 10 20 20", thick + "Join=\"Miter\" MiterLimit=\"2\"", corner)) << none << none
        << none << Probes{{31.7, 8.3, kBlack}, {31.2, 8.8, kBlack}};
    QTest::newRow("miter limit bevels a longer miter")
        << Layer(PathObject("10 10 20 20", thick + "Join=\"Miter\" MiterLimit=\"1.2\"", corner)) << none
        << none << none << Probes{{31.7, 8.3, kWhite}, {30.5, 9.5, kBlack}};
    // Two squares wound the same way: the inner one is a hole only under the even-odd rule.
    const QString nested = QStringLiteral("M 0 0 L 20 0 L 20 20 L 0 20 C M 5 5 L 15 5 L 15 15 L 5 15 C");
    const QString filled = QStringLiteral("Fill=\"true\" Stroke=\"false\" ");
    for (const char *rule : {"NonZero", "NoneZero", ""}) {
        const QString attr = *rule ? QStringLiteral("Rule=\"%1\"").arg(QLatin1String(rule)) : QString();
        QTest::newRow(qPrintable(QStringLiteral("rule '%1' fills the middle").arg(QLatin1String(rule))))
            << Layer(PathObject("10 10 20 20", filled + attr, nested, Fill("255 0 0"))) << none << none
            << none << Probes{{20, 20, kRed}, {12, 12, kRed}};
    }
    QTest::newRow("rule Even-Odd leaves a hole")
        << Layer(PathObject("10 10 20 20", filled + "Rule=\"Even-Odd\"", nested, Fill("255 0 0"))) << none
        << none << none << Probes{{20, 20, kWhite}, {12, 12, kRed}};
    // Half circles from (0, 10) to (20, 10) around (10, 10): the sweep flag picks the upper or lower.
    QTest::newRow("arc sweep 1 goes over the top")
        << Layer(PathObject("10 10 20 20", stroke + "LineWidth=\"1\"", "M 0 10 A 10 10 0 0 1 20 10")) << none
        << none << none << Probes{{20, 10, kBlack}, {20, 30, kWhite}, {20, 20, kWhite}};
    QTest::newRow("arc sweep 0 goes under")
        << Layer(PathObject("10 10 20 20", stroke + "LineWidth=\"1\"", "M 0 10 A 10 10 0 0 0 20 10")) << none
        << none << none << Probes{{20, 30, kBlack}, {20, 10, kWhite}};
    QTest::newRow("elliptical arc with rotation")
        << Layer(PathObject("10 10 20 20", stroke + "LineWidth=\"1\"", "M 10 0 A 10 5 90 0 1 10 20")) << none
        << none << none << Probes{{25, 20, kBlack}, {15, 20, kWhite}, {30, 20, kWhite}};
    QTest::newRow("object alpha") << Layer(PathObject("10 10 20 20", filled + "Alpha=\"128\"", Rect(20, 20),
                                                      Fill("255 0 0")))
                                  << none << none << none << Probes{{20, 20, QColor(255, 127, 127)}};
    QTest::newRow("colour alpha") << Layer(PathObject("10 10 20 20", filled, Rect(20, 20),
                                                      "<ofd:FillColor Value=\"0 0 255\" Alpha=\"128\"/>"))
                                  << none << none << none << Probes{{20, 20, QColor(127, 127, 255)}};

    // Shadings: an axial one from x 10 to x 30 on a rectangle from 0 to 40; extend flags.
    const QString band = QStringLiteral("0 0 40 10");
    const QList<QPair<QString, Probes>> axial = {
        {"0", {{5, 5, kWhite}, {11, 5, kRed}, {29, 5, kBlue}, {35, 5, kWhite}}},
        {"1", {{5, 5, kRed}, {35, 5, kWhite}}},
        {"2", {{5, 5, kWhite}, {35, 5, kBlue}}},
        {"3", {{5, 5, kRed}, {20, 5, QColor(128, 0, 128)}, {35, 5, kBlue}}},
    };
    for (const auto &row : axial) {
        QTest::newRow(qPrintable(QStringLiteral("axial extend %1").arg(row.first)))
            << Layer(PathObject(band, filled, Rect(40, 10), AxialFill(row.first))) << none << none << none
            << row.second;
    }
    QTest::newRow("radial extend 0") << Layer(PathObject("0 0 40 40", filled, Rect(40, 40), RadialFill("0")))
                                     << none << none << none
                                     << Probes{
                                            {20, 20, kRed}, {25, 20, QColor(128, 0, 128)}, {35, 20, kWhite}};
    QTest::newRow("radial extend 2") << Layer(PathObject("0 0 40 40", filled, Rect(40, 40), RadialFill("2")))
                                     << none << none << none
                                     << Probes{{20, 20, kRed}, {35, 20, kBlue}, {38, 38, kBlue}};

    // A pattern: a 10 × 10 cell whose left half is red, tiled over the object.
    const QString pattern = QStringLiteral(
        "<ofd:FillColor><ofd:Pattern Width=\"10\" Height=\"10\" XStep=\"10\" YStep=\"10\"><ofd:CellContent>"
        "<ofd:PathObject ID=\"900\" Boundary=\"0 0 5 10\" Fill=\"true\" Stroke=\"false\">"
        "<ofd:FillColor Value=\"255 0 0\"/><ofd:AbbreviatedData>M 0 0 L 5 0 L 5 10 L 0 10 "
        "C</ofd:AbbreviatedData>"
        "</ofd:PathObject></ofd:CellContent></ofd:Pattern></ofd:FillColor>");
    QTest::newRow("pattern tiles its cell")
        << Layer(PathObject("0 0 40 20", filled, Rect(40, 20), pattern)) << none << none << none
        << Probes{{2, 5, kRed}, {7, 5, kWhite}, {12, 5, kRed}, {17, 15, kWhite}, {32, 15, kRed}};

    // Templates: "Background" (also the default) beneath the page's own content, "Foreground" above.
    QTest::newRow("template Background beneath body")
        << Layer(Square(10, 10, 10, QStringLiteral("0 0 255"))) << none
        << QStringLiteral("<ofd:Template TemplateID=\"7\" ZOrder=\"Background\"/>")
        << Layer(Square(0, 0, 30, QStringLiteral("255 0 0")))
        << Probes{{15, 15, kBlue}, {25, 25, kRed}, {35, 35, kWhite}};
    QTest::newRow("template without ZOrder beneath body")
        << Layer(Square(10, 10, 10, QStringLiteral("0 0 255"))) << none
        << QStringLiteral("<ofd:Template TemplateID=\"7\"/>")
        << Layer(Square(0, 0, 30, QStringLiteral("255 0 0"))) << Probes{{15, 15, kBlue}, {25, 25, kRed}};
    QTest::newRow("template Foreground above body")
        << Layer(Square(10, 10, 10, QStringLiteral("0 0 255"))) << none
        << QStringLiteral("<ofd:Template TemplateID=\"7\" ZOrder=\"Foreground\"/>")
        << Layer(Square(0, 0, 30, QStringLiteral("255 0 0")))
        << Probes{{15, 15, kRed}, {25, 25, kRed}, {35, 35, kWhite}};
    // Layer Type orders the layers of one content file the same way; equal types keep their order.
    QTest::newRow("layer types") << QStringLiteral("<ofd:Layer ID=\"100\" Type=\"Foreground\">%1</ofd:Layer>"
                                                   "<ofd:Layer ID=\"101\" Type=\"Body\">%2</ofd:Layer>"
                                                   "<ofd:Layer ID=\"102\">%3</ofd:Layer>"
                                                   "<ofd:Layer ID=\"103\" Type=\"Background\">%4</ofd:Layer>")
                                        .arg(Square(0, 0, 10, QStringLiteral("0 0 255")),
                                             Square(0, 0, 30, QStringLiteral("0 160 0")),
                                             Square(0, 0, 20, QStringLiteral("255 0 0")),
                                             Square(0, 0, 40, QStringLiteral("0 0 0")))
                                 << none << none << none
                                 << Probes{{5, 5, kBlue}, {15, 15, kRed}, {25, 25, kGreen}, {35, 35, kBlack}};

    // A shading strokes an outline with its colours, not in black.
    QTest::newRow("shading stroke")
        << Layer(PathObject(
               "0 0 40 40", thick, "M 5 20 L 35 20",
               QStringLiteral("<ofd:StrokeColor><ofd:AxialShd StartPoint=\"10 0\" EndPoint=\"30 0\" "
                              "Extend=\"3\"><ofd:Segment Position=\"0\"><ofd:Color Value=\"255 0 0\"/>"
                              "</ofd:Segment><ofd:Segment Position=\"1\"><ofd:Color Value=\"0 0 255\"/>"
                              "</ofd:Segment></ofd:AxialShd></ofd:StrokeColor>")))
        << none << none << none << Probes{{7, 20, kRed}, {33, 20, kBlue}, {20, 25, kWhite}};

    // Boundaries clip paths (grown by half their line) and the objects of composites.
    QTest::newRow("path clipped to its boundary")
        << Layer(PathObject("10 10 10 10", QStringLiteral("Fill=\"true\" Stroke=\"false\""), Rect(20, 20),
                            Fill(QStringLiteral("255 0 0"))))
        << none << none << none << Probes{{15, 15, kRed}, {19, 19, kRed}, {22, 22, kWhite}, {28, 15, kWhite}};
    QTest::newRow("stroke along the boundary stays whole")
        << Layer(PathObject("10 10 20 0.01", thick, "M 0 0 L 20 0")) << none << none << none
        << Probes{{15, 10, kBlack}, {15, 11, kBlack}, {15, 9, kBlack}};
    QTest::newRow("composite clipped to its boundary")
        << Layer(QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"22\" Boundary=\"20 20 4 4\"/>"))
        << QStringLiteral("<ofd:CompositeGraphicUnits>"
                          "<ofd:CompositeGraphicUnit ID=\"22\" Width=\"10\" Height=\"10\"><ofd:Content>%1"
                          "</ofd:Content></ofd:CompositeGraphicUnit></ofd:CompositeGraphicUnits>")
               .arg(PathObject("0 0 10 10", QStringLiteral("Fill=\"true\" Stroke=\"false\""), Rect(10, 10),
                               Fill(QStringLiteral("255 0 0"))))
        << none << none << Probes{{22, 22, kRed}, {23.5, 23.5, kRed}, {26, 26, kWhite}, {22, 27, kWhite}};

    // Composites: unit 20 is a red 4 × 4 square; unit 21 holds unit 20 at (5, 5) over a blue square.
    const QString units =
        QStringLiteral(
            "<ofd:CompositeGraphicUnits>"
            "<ofd:CompositeGraphicUnit ID=\"20\" Width=\"4\" Height=\"4\"><ofd:Content>%1</ofd:Content>"
            "</ofd:CompositeGraphicUnit>"
            "<ofd:CompositeGraphicUnit ID=\"21\" Width=\"10\" Height=\"10\"><ofd:Content>%2"
            "<ofd:CompositeObject ID=\"31\" ResourceID=\"20\" Boundary=\"5 5 4 4\"/></ofd:Content>"
            "</ofd:CompositeGraphicUnit></ofd:CompositeGraphicUnits>")
            .arg(Square(0, 0, 4, QStringLiteral("255 0 0")), Square(0, 0, 4, QStringLiteral("0 0 255")));
    QTest::newRow("composite placed at its boundary")
        << Layer(QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"20\" Boundary=\"20 20 4 4\"/>"))
        << units << none << none << Probes{{22, 22, kRed}, {19, 19, kWhite}, {25, 25, kWhite}};
    QTest::newRow("composite under its CTM")
        << Layer(QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"20\" Boundary=\"20 20 8 8\" "
                                "CTM=\"2 0 0 2 0 0\"/>"))
        << units << none << none << Probes{{22, 22, kRed}, {27, 27, kRed}, {29, 29, kWhite}};
    QTest::newRow("nested composites")
        << Layer(
               QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"21\" Boundary=\"20 20 10 10\"/>"))
        << units << none << none
        << Probes{{22, 22, kBlue}, {27, 27, kRed}, {32, 32, kWhite}, {22, 27, kWhite}};
    QTest::newRow("composite above earlier objects")
        << Layer(Square(0, 0, 40, QStringLiteral("0 160 0")) +
                 QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"20\" Boundary=\"20 20 4 4\"/>"))
        << units << none << none << Probes{{22, 22, kRed}, {10, 10, kGreen}};
    QTest::newRow("composite beneath later objects")
        << Layer(QStringLiteral("<ofd:CompositeObject ID=\"40\" ResourceID=\"20\" Boundary=\"20 20 4 4\"/>") +
                 Square(0, 0, 40, QStringLiteral("0 160 0")))
        << units << none << none << Probes{{22, 22, kGreen}};

    // Page blocks, nested ones included, are drawn in document order.
    QTest::newRow("page blocks")
        << Layer(QStringLiteral(
                     "<ofd:PageBlock ID=\"60\">%1<ofd:PageBlock ID=\"61\">%2<ofd:PageBlock ID=\"62\">%3"
                     "</ofd:PageBlock></ofd:PageBlock></ofd:PageBlock>%4")
                     .arg(Square(0, 0, 10, QStringLiteral("255 0 0")),
                          Square(10, 0, 10, QStringLiteral("0 0 255")),
                          Square(20, 0, 10, QStringLiteral("0 160 0")),
                          Square(5, 0, 10, QStringLiteral("0 0 0"))))
        << none << none << none
        << Probes{{2, 5, kRed}, {17, 5, kBlue}, {25, 5, kGreen}, {8, 5, kBlack}, {12, 5, kBlack}};
}

void TestRenderObjects::pixelProbes()
{
    QFETCH(QString, layers);
    QFETCH(QString, resources);
    QFETCH(QString, beforeContent);
    QFETCH(QString, templateLayers);
    QFETCH(Probes, probes);
    RenderPackage package;
    package.PageSize(40, 40).Content(layers, beforeContent).Resources(resources);
    if (!templateLayers.isEmpty())
        package.Template(7, templateLayers);
    const QImage image = package.Render(kDpi);
    QCOMPARE(image.size(), QSize(400, 400));
    for (const Probe &probe : probes) {
        const int x = int(probe.xMM * 10);
        const int y = int(probe.yMM * 10);
        QVERIFY2(IsColor(image, x, y, probe.color),
                 qPrintable(QStringLiteral("at %1 mm, %2 mm: %3, expected rgb(%4,%5,%6)")
                                .arg(probe.xMM)
                                .arg(probe.yMM)
                                .arg(Describe(image, x, y))
                                .arg(probe.color.red())
                                .arg(probe.color.green())
                                .arg(probe.color.blue())));
    }
}

QImage TestRenderObjects::RenderImagePage(const QString &imageAttributes, const QString &children)
{
    return RenderPackage()
        .PageSize(40, 40)
        .Resources(QLatin1String(kImageRes))
        .ResFile(QStringLiteral("quad.png"), QuadrantPng())
        .Content(Layer(QStringLiteral("<ofd:ImageObject ID=\"70\" ResourceID=\"10\" %1>%2</ofd:ImageObject>")
                           .arg(imageAttributes, children)))
        .Render(kDpi);
}

void TestRenderObjects::imageUnderCtm()
{
    // The picture fills the unit square of its space; the CTM makes it 20 mm wide and 10 mm high.
    const QImage image = RenderImagePage(QStringLiteral("Boundary=\"10 10 20 10\" CTM=\"20 0 0 10 0 0\""));
    QVERIFY2(IsColor(image, 150, 125, kRed), qPrintable(Describe(image, 150, 125)));
    QVERIFY2(IsColor(image, 250, 125, QColor(0, 255, 0)), qPrintable(Describe(image, 250, 125)));
    QVERIFY2(IsColor(image, 150, 175, kBlue), qPrintable(Describe(image, 150, 175)));
    QVERIFY2(IsColor(image, 250, 175, kWhite), qPrintable(Describe(image, 250, 175))); // transparent pixel
    QVERIFY2(IsColor(image, 150, 215, kWhite), qPrintable(Describe(image, 150, 215)));
    QVERIFY2(IsColor(image, 95, 125, kWhite), qPrintable(Describe(image, 95, 125)));

    // A rotating CTM: 90° clockwise turns the red corner to the top right.
    const QImage turned = RenderImagePage(QStringLiteral("Boundary=\"10 10 20 20\" CTM=\"0 20 -20 0 20 0\""));
    QVERIFY2(IsColor(turned, 250, 150, kRed), qPrintable(Describe(turned, 250, 150)));
    QVERIFY2(IsColor(turned, 150, 150, kBlue), qPrintable(Describe(turned, 150, 150)));
}

void TestRenderObjects::imageAlpha()
{
    const QImage image =
        RenderImagePage(QStringLiteral("Boundary=\"10 10 20 20\" CTM=\"20 0 0 20 0 0\" Alpha=\"128\""));
    QVERIFY2(IsColor(image, 150, 150, QColor(255, 127, 127), 12), qPrintable(Describe(image, 150, 150)));
    QVERIFY2(IsColor(image, 150, 250, QColor(127, 127, 255), 12), qPrintable(Describe(image, 150, 250)));
}

void TestRenderObjects::imageClippedByPath_data()
{
    QTest::addColumn<QString>("clips");
    // The same region twice: the left half of the picture. With TransFlag true the clip is in the
    // object's space before its CTM (the picture's unit square); with false, in its boundary.
    QTest::newRow("TransFlag true") << QStringLiteral(
        "<ofd:Clips TransFlag=\"true\"><ofd:Clip><ofd:Area><ofd:Path Boundary=\"0 0 0.5 1\">"
        "<ofd:AbbreviatedData>M 0 0 L 0.5 0 L 0.5 1 L 0 1 C</ofd:AbbreviatedData></ofd:Path></ofd:Area>"
        "</ofd:Clip></ofd:Clips>");
    QTest::newRow("TransFlag false") << QStringLiteral(
        "<ofd:Clips TransFlag=\"false\"><ofd:Clip><ofd:Area><ofd:Path Boundary=\"0 0 10 20\">"
        "<ofd:AbbreviatedData>M 0 0 L 10 0 L 10 20 L 0 20 C</ofd:AbbreviatedData></ofd:Path></ofd:Area>"
        "</ofd:Clip></ofd:Clips>");
}

void TestRenderObjects::imageClippedByPath()
{
    QFETCH(QString, clips);
    const QImage image =
        RenderImagePage(QStringLiteral("Boundary=\"10 10 20 20\" CTM=\"20 0 0 20 0 0\""), clips);
    QVERIFY2(IsColor(image, 150, 150, kRed), qPrintable(Describe(image, 150, 150)));
    QVERIFY2(IsColor(image, 150, 250, kBlue), qPrintable(Describe(image, 150, 250)));
    QVERIFY2(IsColor(image, 250, 150, kWhite), qPrintable(Describe(image, 250, 150)));
    QVERIFY2(IsColor(image, 210, 150, kWhite), qPrintable(Describe(image, 210, 150)));
}

void TestRenderObjects::exactPageScale()
{
    // 120 mm is 453.5 pixels at 96 dpi: the picture has 454 columns and the page keeps 96/25.4
    // pixels per millimetre. A bar from 99.5 to 100.5 mm covers pixels 376.06 .. 379.84; stretched to
    // the rounded width it would cover 376.44 .. 380.23.
    const QImage image = RenderPackage()
                             .PageSize(120, 20)
                             .Content(Layer(PathObject("99.5 0 1 20", "Fill=\"true\" Stroke=\"false\"",
                                                       Rect(1, 20), Fill("0 0 0"))))
                             .Render(96);
    QCOMPARE(image.size(), QSize(454, 76));
    QVERIFY2(qRed(image.pixel(376, 30)) < 40, qPrintable(Describe(image, 376, 30)));
    QVERIFY2(qRed(image.pixel(380, 30)) > 245, qPrintable(Describe(image, 380, 30)));
}

void TestRenderObjects::templateResourcesResolveAgainstTemplate()
{
    // The template names its own resource file, next to its content: a draw parameter that fills
    // green. Resolved against the page instead, the file is not found and nothing is filled.
    const QString res = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" "
        "BaseLoc=\"Res\"><ofd:DrawParams><ofd:DrawParam ID=\"500\"><ofd:FillColor Value=\"0 160 0\"/>"
        "</ofd:DrawParam></ofd:DrawParams></ofd:Res>");
    const QImage image =
        RenderPackage()
            .PageSize(40, 40)
            .Content(Layer(Square(30, 30, 5, QStringLiteral("0 0 255"))),
                     QStringLiteral("<ofd:Template TemplateID=\"7\"/>"))
            .Template(7,
                      Layer(PathObject("5 5 10 10",
                                       QStringLiteral("Fill=\"true\" Stroke=\"false\" DrawParam=\"500\""),
                                       Rect(10, 10))),
                      QStringLiteral("<ofd:PageRes>TplRes.xml</ofd:PageRes>"))
            .PackageFile(QStringLiteral("Doc_0/Tpls/Tpl_7/TplRes.xml"), res.toUtf8())
            .Render(kDpi);
    QVERIFY2(IsColor(image, 100, 100, kGreen), qPrintable(Describe(image, 100, 100)));
    QVERIFY2(IsColor(image, 320, 320, kBlue), qPrintable(Describe(image, 320, 320)));
}

QTEST_MAIN(TestRenderObjects)
#include "test_renderobjects.moc"
