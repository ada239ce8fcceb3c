#include <QtTest>

#include "model/content/ofdconvert.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "renderfixture.h"

// Packages as other producers write them: with a default namespace, an older or another namespace
// URI or none, DocRoot as an attribute, all entries under one top folder, byte-order marks. Each one
// opens and its page shows a red square at a known place.
class TestProducerPackages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void packageOpensAndDraws_data();
    void packageOpensAndDraws();
};

namespace {

// How a producer writes its parts.
struct Style
{
    QString prefix;     // element prefix with its colon, or empty
    QString namespaces; // namespace declarations of each root element
    QString folder;     // top folder holding every entry, with its "/", or empty
    bool docRootAttribute = false;
    bool byteOrderMark = false;
};

QByteArray Part(const Style &style, const QString &xml)
{
    QString text = xml;
    text.replace(QStringLiteral("<:"), QLatin1Char('<') + style.prefix);
    text.replace(QStringLiteral("</:"), QStringLiteral("</") + style.prefix);
    text.replace(QStringLiteral("$NS"), style.namespaces);
    QByteArray bytes = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + text.toUtf8();
    if (style.byteOrderMark)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

// A 40 x 40 mm page with a red 10 x 10 mm square at (10, 10), through a public resource file.
QByteArray BuildPackage(const Style &style)
{
    PackageBuilder builder;
    const QString docBody =
        style.docRootAttribute
            ? QStringLiteral("<:DocBody DocRoot=\"Doc_0/Document.xml\"><:DocInfo><:DocID>p</:DocID>"
                             "</:DocInfo></:DocBody>")
            : QStringLiteral("<:DocBody><:DocInfo><:DocID>p</:DocID></:DocInfo>"
                             "<:DocRoot>Doc_0/Document.xml</:DocRoot></:DocBody>");
    builder.Add(
        style.folder + QStringLiteral("OFD.xml"),
        Part(style, QStringLiteral("<:OFD $NS Version=\"1.0\" DocType=\"OFD\">%1</:OFD>").arg(docBody)));
    builder.Add(
        style.folder + QStringLiteral("Doc_0/Document.xml"),
        Part(style, QStringLiteral("<:Document $NS><:CommonData><:MaxUnitID>20</:MaxUnitID><:PageArea>"
                                   "<:PhysicalBox>0 0 40 40</:PhysicalBox></:PageArea>"
                                   "<:PublicRes>PublicRes.xml</:PublicRes></:CommonData><:Pages>"
                                   "<:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/></:Pages>"
                                   "</:Document>")));
    builder.Add(
        style.folder + QStringLiteral("Doc_0/PublicRes.xml"),
        Part(style, QStringLiteral("<:Res $NS BaseLoc=\"Res\"><:DrawParams><:DrawParam ID=\"5\">"
                                   "<:FillColor Value=\"255 0 0\"/></:DrawParam></:DrawParams></:Res>")));
    builder.Add(
        style.folder + QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
        Part(style, QStringLiteral("<:Page $NS><:Content><:Layer ID=\"2\"><:PathObject ID=\"3\" "
                                   "Boundary=\"10 10 10 10\" Fill=\"true\" Stroke=\"false\" DrawParam=\"5\">"
                                   "<:AbbreviatedData>M 0 0 L 10 0 L 10 10 L 0 10 C</:AbbreviatedData>"
                                   "</:PathObject></:Layer></:Content></:Page>")));
    return builder.Build();
}

const QString kNs2016 = QStringLiteral("http://www.ofdspec.org/2016");

} // namespace

Q_DECLARE_METATYPE(Style)

void TestProducerPackages::initTestCase()
{
    OfdConvert::Init(96.0);
    OfdRenderInit::Init();
}

void TestProducerPackages::packageOpensAndDraws_data()
{
    QTest::addColumn<Style>("style");
    const QString prefixed = QStringLiteral("xmlns:ofd=\"%1\"").arg(kNs2016);
    QTest::newRow("ofd prefix") << Style{QStringLiteral("ofd:"), prefixed, QString()};
    QTest::newRow("default namespace")
        << Style{QString(), QStringLiteral("xmlns=\"%1\"").arg(kNs2016), QString()};
    QTest::newRow("older namespace") << Style{QString(), QStringLiteral("xmlns=\"http://www.ofdspec.org\""),
                                              QString()};
    QTest::newRow("other prefix and URI")
        << Style{QStringLiteral("x:"), QStringLiteral("xmlns:x=\"urn:example:ofd\""), QString()};
    QTest::newRow("no namespace") << Style{QString(), QString(), QString()};
    Style attribute{QStringLiteral("ofd:"), prefixed, QString()};
    attribute.docRootAttribute = true;
    QTest::newRow("DocRoot as attribute") << attribute;
    QTest::newRow("one top folder") << Style{QStringLiteral("ofd:"), prefixed, QStringLiteral("invoice/")};
    Style bom{QString(), QStringLiteral("xmlns=\"%1\"").arg(kNs2016), QString()};
    bom.byteOrderMark = true;
    QTest::newRow("byte-order marks") << bom;
}

void TestProducerPackages::packageOpensAndDraws()
{
    QFETCH(Style, style);
    std::unique_ptr<OfdViewManage> manage = OpenPackage(BuildPackage(style));
    QVERIFY2(manage, "the package does not open");
    QCOMPARE(manage->GetOfdFileCount(), 1);
    const QImage image = OfdPageRenderer::RenderPage(manage.get(), 0, 0, 254); // 10 pixels per mm
    QCOMPARE(image.size(), QSize(400, 400));
    QVERIFY2(IsColor(image, 150, 150, QColor(255, 0, 0)), qPrintable(Describe(image, 150, 150)));
    QVERIFY2(IsColor(image, 250, 250, QColor(255, 255, 255)), qPrintable(Describe(image, 250, 250)));
}

QTEST_MAIN(TestProducerPackages)
#include "test_producerpackages.moc"
