#include <QtTest>

#include <QElapsedTimer>

#include "model/content/ofdconvert.h"
#include "model/content/ofdxmlpage.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitem.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

QString Root(const QString &docRoot = QStringLiteral("Doc_0/Document.xml"))
{
    return QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>%2</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
        .arg(kNs, docRoot);
}

QString Document(const QString &common = QString(), const QString &box = QStringLiteral("0 0 100 100"))
{
    return QStringLiteral(
               "<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>%2</ofd:PhysicalBox>"
               "</ofd:PageArea>%3</ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" "
               "BaseLoc=\"Pages/Page_0/Content.xml\"/></ofd:Pages></ofd:Document>")
        .arg(kNs, box, common);
}

QString Page(const QString &inner)
{
    return QStringLiteral("<ofd:Page %1>%2</ofd:Page>").arg(kNs, inner);
}

QString Layer(const QString &objects)
{
    return Page(QStringLiteral("<ofd:Content><ofd:Layer ID=\"2\">%1</ofd:Layer></ofd:Content>").arg(objects));
}

// One-page package whose page content (and document resources) the test gives.
PackageBuilder OnePage(const QString &content, const QString &documentRes = QString(),
                       const QString &box = QStringLiteral("0 0 100 100"))
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(documentRes.isEmpty() ? QString()
                                             : QStringLiteral("<ofd:DocumentRes>Res.xml</ofd:DocumentRes>"),
                       box));
    if (!documentRes.isEmpty())
        b.AddText(QStringLiteral("Doc_0/Res.xml"),
                  QStringLiteral("<ofd:Res %1>%2</ofd:Res>").arg(kNs, documentRes));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), content);
    return b;
}

// Opens, loads and renders page 1 at 24 dpi; the picture (null when there is none).
QImage RenderFirstPage(const QByteArray &package, int *pageCount = nullptr, int *itemCount = nullptr)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(package))
        return QImage();
    OfdViewManage view;
    if (!view.SetFileReader(reader))
        return QImage();
    OfdFile *document = view.GetOfdFile(0);
    if (pageCount)
        *pageCount = document ? document->GetPageCount() : 0;
    if (itemCount && document && document->GetPageCount() > 0) {
        OfdPageScene scene;
        scene.SetViewManage(&view);
        scene.SetPageIndex(0, 0);
        scene.CreateScene();
        QList<OfdVisualItem *> items;
        scene.GetVisualItemList(items);
        *itemCount = items.size();
    }
    return OfdPageRenderer::RenderPage(&view, 0, 0, 24);
}
} // namespace

// Packages made to break the reader: none may crash, hang or take unbounded memory; each test says
// what the user gets.
class TestHostilePackages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void hostileEntryNames();
    void zipBombEntryFile();
    void selfReferencingComposite();
    void templateNamingItself();
    void deepNesting();
    void hugeNumbers_data();
    void hugeNumbers();
    void notANumber_data();
    void notANumber();
    void brokenUtf8();
    void missingEverything_data();
    void missingEverything();
};

void TestHostilePackages::initTestCase()
{
    OfdConvert::Init(96);
}

void TestHostilePackages::hostileEntryNames()
{
    // Entries that would escape a folder if anyone wrote them out, and a DocRoot that climbs.
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root(QStringLiteral("../../etc/Document.xml")));
    b.Add(QStringLiteral("../evil.xml"), "<x/>");
    b.Add(QStringLiteral("/etc/passwd"), "root:x:0:0");
    b.AddText(QStringLiteral("etc/Document.xml"), Document());
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(b.Build()));
    QVERIFY(reader->GetFilePathList().contains(QStringLiteral("../evil.xml")));
    OfdFileManage manage;
    QVERIFY(manage.SetFileReader(reader));
    // The location is resolved inside the package ("../" once, then the rest as written); the user
    // gets a document whose pages are missing: zero pages, nothing read from outside the package.
    OfdFile *document = manage.GetOfdFile(0);
    QVERIFY(document);
    QCOMPARE(document->GetPageCount(), 0);
}

void TestHostilePackages::zipBombEntryFile()
{
    // OFD.xml claims almost 4 GiB: it is refused unread, so the package has no document.
    const QByteArray zip = PatchFirstCentralUncompressedSize(
        PackageBuilder().AddText(QStringLiteral("OFD.xml"), Root()).Build(), 0xFFFFFF00u);
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(zip));
    OfdFileManage manage;
    QVERIFY(!manage.SetFileReader(reader));
    QCOMPARE(manage.GetOfdFileCount(), 0);
}

void TestHostilePackages::selfReferencingComposite()
{
    const QString units = QStringLiteral(
        "<ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID=\"5\" Width=\"10\" "
        "Height=\"10\"><ofd:Content>"
        "<ofd:PathObject ID=\"51\" Boundary=\"0 0 10 10\" Fill=\"true\"><ofd:FillColor Value=\"255 0 0\"/>"
        "<ofd:AbbreviatedData>M 0 0 L 10 0 L 10 10 L 0 10 C</ofd:AbbreviatedData></ofd:PathObject>"
        "<ofd:CompositeObject ID=\"52\" ResourceID=\"6\" Boundary=\"0 0 10 10\"/></ofd:Content>"
        "</ofd:CompositeGraphicUnit><ofd:CompositeGraphicUnit ID=\"6\" Width=\"10\" "
        "Height=\"10\"><ofd:Content>"
        "<ofd:CompositeObject ID=\"61\" ResourceID=\"5\" Boundary=\"0 0 10 10\"/></ofd:Content>"
        "</ofd:CompositeGraphicUnit></ofd:CompositeGraphicUnits>");
    QElapsedTimer timer;
    timer.start();
    int items = 0;
    const QImage image = RenderFirstPage(
        OnePage(Layer(QStringLiteral(
                    "<ofd:CompositeObject ID=\"3\" ResourceID=\"5\" Boundary=\"10 10 10 10\"/>")),
                units)
            .Build(),
        nullptr, &items);
    QVERIFY(timer.elapsed() < 5000);
    // The unit is drawn as far as the cycle allows: a few items, not an endless chain.
    QVERIFY(items >= 1);
    QVERIFY(items <= 32);
    QVERIFY(!image.isNull());
    QCOMPARE(image.pixelColor(14, 14), QColor(255, 0, 0)); // the red square at 10..20 mm, 24 dpi
}

void TestHostilePackages::templateNamingItself()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(QStringLiteral("<ofd:TemplatePage ID=\"4\" BaseLoc=\"Tpl.xml\"/>")));
    b.AddText(QStringLiteral("Doc_0/Tpl.xml"), Page(QStringLiteral("<ofd:Template TemplateID=\"4\"/>")));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
              Page(QStringLiteral("<ofd:Template TemplateID=\"4\"/>")));
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(b.Build()));
    OfdViewManage view;
    QVERIFY(view.SetFileReader(reader));
    OfdXmlPage *page = view.GetOfdFile(0)->GetPage(0);
    QCOMPARE(page->GetGroups().size(), 2); // the template once, then the page itself
    QVERIFY(!OfdPageRenderer::RenderPage(&view, 0, 0, 24).isNull());
}

void TestHostilePackages::deepNesting()
{
    QString blocks;
    for (int i = 0; i < 20000; ++i)
        blocks += QStringLiteral("<ofd:PageBlock>");
    blocks += QStringLiteral("<ofd:PathObject ID=\"9\"/>");
    for (int i = 0; i < 20000; ++i)
        blocks += QStringLiteral("</ofd:PageBlock>");
    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    int items = 0;
    const QImage image = RenderFirstPage(OnePage(Layer(blocks)).Build(), &pages, &items);
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(pages, 1);
    QCOMPARE(items, 0); // the object lies deeper than any real page block; the page shows empty
    QVERIFY(!image.isNull());
}

void TestHostilePackages::hugeNumbers_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("objects");
    QTest::addColumn<bool>("picture");
    QTest::newRow("page of a billion mm") << "0 0 1e9 1e9"
                                          << "" << false;
    QTest::newRow("huge boundary")
        << "0 0 100 100"
        << "<ofd:PathObject ID=\"3\" Boundary=\"0 0 1e30 1e30\" Fill=\"true\">"
           "<ofd:AbbreviatedData>M 0 0 L 1e30 0 L 1e30 1e30 C</ofd:AbbreviatedData>"
           "</ofd:PathObject>"
        << true;
    QTest::newRow("huge text size")
        << "0 0 100 100"
        << "<ofd:TextObject ID=\"3\" Boundary=\"0 0 100 100\" Font=\"1\" Size=\"1e30\">"
           "<ofd:TextCode X=\"0\" Y=\"10\">A</ofd:TextCode></ofd:TextObject>"
        << true;
    QTest::newRow("huge line width and dash")
        << "0 0 100 100"
        << "<ofd:PathObject ID=\"3\" LineWidth=\"1e20\" DashPattern=\"1e-30 1e30\">"
           "<ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject>"
        << true;
    QTest::newRow("huge delta repetition")
        << "0 0 100 100"
        << "<ofd:TextObject ID=\"3\" Font=\"1\" Size=\"5\"><ofd:TextCode X=\"0\" "
           "Y=\"10\" DeltaX=\"g 2000000000 1\">ABC</ofd:TextCode></ofd:TextObject>"
        << true;
}

void TestHostilePackages::hugeNumbers()
{
    QFETCH(QString, box);
    QFETCH(QString, objects);
    QFETCH(bool, picture);
    QElapsedTimer timer;
    timer.start();
    const QString fonts = QStringLiteral("<ofd:Fonts><ofd:Font ID=\"1\" FontName=\"SimSun\"/></ofd:Fonts>");
    const QImage image = RenderFirstPage(OnePage(Layer(objects), fonts, box).Build());
    // A page too big for a picture gives none (the user sees an empty page); anything else renders.
    QCOMPARE(!image.isNull(), picture);
    QVERIFY(timer.elapsed() < 10000);
}

void TestHostilePackages::notANumber_data()
{
    QTest::addColumn<QString>("objects");
    QTest::newRow("nan boundary") << "<ofd:PathObject ID=\"3\" Boundary=\"nan nan 5 5\"/>";
    QTest::newRow("inf ctm") << "<ofd:PathObject ID=\"3\" Boundary=\"0 0 5 5\" CTM=\"inf 0 0 nan 0 0\">"
                                "<ofd:AbbreviatedData>M 0 0 L 1 1</ofd:AbbreviatedData></ofd:PathObject>";
    QTest::newRow("nan path data")
        << "<ofd:PathObject ID=\"3\" Boundary=\"0 0 5 5\"><ofd:AbbreviatedData>"
           "M nan 0 L inf 1 B 1 2 3 nan 5 6 A 1 1 0 1 1 nan 3 C</ofd:AbbreviatedData>"
           "</ofd:PathObject>";
    QTest::newRow("nan text")
        << "<ofd:TextObject ID=\"3\" Boundary=\"0 0 5 5\" Font=\"1\" Size=\"nan\">"
           "<ofd:TextCode X=\"nan\" Y=\"inf\" DeltaX=\"nan 1\">AB</ofd:TextCode></ofd:TextObject>";
    QTest::newRow("nan colour")
        << "<ofd:PathObject ID=\"3\" Boundary=\"0 0 5 5\" Fill=\"true\"><ofd:FillColor "
           "Value=\"nan inf -1\" Alpha=\"nan\"/><ofd:AbbreviatedData>M 0 0 L 5 0 L 5 5 C"
           "</ofd:AbbreviatedData></ofd:PathObject>";
    QTest::newRow("nan image")
        << "<ofd:ImageObject ID=\"3\" Boundary=\"0 0 5 5\" CTM=\"nan 0 0 5 0 0\" ResourceID=\"x\"/>";
}

void TestHostilePackages::notANumber()
{
    QFETCH(QString, objects);
    const QString fonts = QStringLiteral("<ofd:Fonts><ofd:Font ID=\"1\" FontName=\"SimSun\"/></ofd:Fonts>");
    int pages = 0;
    const QImage image = RenderFirstPage(OnePage(Layer(objects), fonts).Build(), &pages);
    QCOMPARE(pages, 1);
    QVERIFY(!image.isNull()); // the page shows; the broken object draws nothing or what it can
}

void TestHostilePackages::brokenUtf8()
{
    QByteArray content = Layer(QStringLiteral("<ofd:PathObject ID=\"3\" Boundary=\"0 0 5 5\"/>"
                                              "<ofd:PathObject ID=\"4\" Boundary=\"0 0 5 5\"/>"))
                             .toUtf8();
    content.insert(content.indexOf("<ofd:PathObject ID=\"4\""), QByteArray("\xff\xfe\xc3"));
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"), Document());
    b.Add(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), content);
    int items = 0;
    RenderFirstPage(b.Build(), nullptr, &items);
    QCOMPARE(items, 2); // the stray bytes cost nothing of the page
}

void TestHostilePackages::missingEverything_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<int>("pages");
    QTest::newRow("no OFD.xml")
        << PackageBuilder().AddText(QStringLiteral("x.xml"), QStringLiteral("<x/>")).Build() << -1;
    QTest::newRow("empty OFD.xml") << PackageBuilder().Add(QStringLiteral("OFD.xml"), "").Build() << -1;
    QTest::newRow("no document") << PackageBuilder().AddText(QStringLiteral("OFD.xml"), Root()).Build() << 0;
    PackageBuilder noPages;
    noPages.AddText(QStringLiteral("OFD.xml"), Root());
    noPages.AddText(QStringLiteral("Doc_0/Document.xml"), Document());
    QTest::newRow("no page files") << noPages.Build() << 0;
}

void TestHostilePackages::missingEverything()
{
    QFETCH(QByteArray, package);
    QFETCH(int, pages);
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(package));
    OfdViewManage view;
    const bool loaded = view.SetFileReader(reader);
    QCOMPARE(loaded, pages >= 0);
    if (loaded) {
        QCOMPARE(view.GetOfdFile(0)->GetPageCount(), pages);
        QVERIFY(OfdPageRenderer::RenderPage(&view, 0, 0, 24).isNull());
    }
}

QTEST_MAIN(TestHostilePackages)
#include "test_hostilepackages.moc"
