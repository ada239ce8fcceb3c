#include <QtTest>

#include <QFont>
#include <limits>
#include <memory>

#include "fakepackagedocument.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypecompositegraphicunit.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/document/fontbaselinecach.h"
#include "model/document/ofdxmlres.h"
#include "model/document/ofdxmlresmanange.h"

// Resource files: what they hold, how their file locations become package paths, and the order in
// which a document searches its public, document and page resources.
class TestOfdResources : public QObject
{
    Q_OBJECT
private slots:
    void parseAllKinds();
    void rewrittenPaths_data();
    void rewrittenPaths();
    void laterMultiMediaReplaces();
    void drawParamColorsReachSpaces();
    void fontPrecedence();
    void colorSpacePrecedence();
    void drawParamPrecedence();
    void multiMediaPrecedence();
    void pageOnlyResourcesNotGlobal();
    void unreadableFilesAddNothing();
    void groupAsksFilesInOrder();
    void baselineCache();
};

static QByteArray Res(const QByteArray &body, const QByteArray &rootAttrs = QByteArray())
{
    return "<?xml version='1.0' encoding='UTF-8'?><ofd:Res xmlns:ofd='http://www.ofdspec.org/2016' " +
           rootAttrs + ">" + body + "</ofd:Res>";
}

void TestOfdResources::parseAllKinds()
{
    OfdXmlRes res;
    res.SetOfdFilePath(QStringLiteral("Doc_0/DocumentRes.xml"));
    res.SetResType(OfdXmlRes::ResType_Document);
    res.PasrseXml(
        Res("<ofd:Fonts><ofd:Font ID='3' FontName='A'/><ofd:Font ID='3' FontName='B'/></ofd:Fonts>"
            "<ofd:ColorSpaces><ofd:ColorSpace ID='5' Type='GRAY'/></ofd:ColorSpaces>"
            "<ofd:DrawParams><ofd:Wrapper><ofd:DrawParam ID='7' LineWidth='2'/></ofd:Wrapper>"
            "</ofd:DrawParams>"
            "<ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID='9' Width='1' Height='2'>"
            "<ofd:Content ID='10'/></ofd:CompositeGraphicUnit></ofd:CompositeGraphicUnits>"
            "<ofd:MultiMedias><ofd:MultiMedia ID='8' Type='Image'><ofd:MediaFile>a.png</ofd:MediaFile>"
            "</ofd:MultiMedia></ofd:MultiMedias>"
            "<ofd:Unknown><ofd:Font ID='99'/></ofd:Unknown>"
            "<ofd:Fonts><ofd:ColorSpace ID='6' Type='RGB'/></ofd:Fonts>",
            "BaseLoc='Res'"));
    QCOMPARE(res.GetResType(), OfdXmlRes::ResType_Document);
    QCOMPARE(res.GetBaseLoc(), QStringLiteral("Res"));
    QCOMPARE(res.GetFonts().size(), 2);
    QCOMPARE(res.GetFont(3)->GetFontName(), QStringLiteral("A")); // the first with that id
    QVERIFY(!res.GetFont(99));                                    // only inside a font list
    QCOMPARE(res.ColorSpace(5)->GetType(), QStringLiteral("GRAY"));
    QVERIFY(!res.ColorSpace(6));                    // a colour space in a font list is not one
    QVERIFY(res.GetDrawParam(QStringLiteral("7"))); // found inside an unknown wrapper
    QVERIFY(!res.GetDrawParam(QStringLiteral(" 7")));
    QCOMPARE(res.GetCompositeGraphicUnit(9)->GetHeight(), 2.0f);
    QVERIFY(res.GetCompositeGraphicUnit(9)->GetContent());
    QCOMPARE(res.GetMultiMedia(8)->GetMediaFile(), QStringLiteral("Doc_0/Res/a.png"));
    QVERIFY(!res.GetMultiMedia(1));
}

void TestOfdResources::rewrittenPaths_data()
{
    QTest::addColumn<QString>("resPath");
    QTest::addColumn<QByteArray>("rootAttrs");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("path");
    QTest::newRow("base loc") << "Doc_0/DocumentRes.xml" << QByteArray("BaseLoc='Res'") << "image_80.png"
                              << "Doc_0/Res/image_80.png";
    QTest::newRow("absolute ignores base")
        << "Doc_0/DocumentRes.xml" << QByteArray("BaseLoc='Res'") << "/Doc_0/Res/font_1.ttf"
        << "Doc_0/Res/font_1.ttf";
    QTest::newRow("no base loc: own directory") << "Doc_0/PublicRes.xml" << QByteArray() << "Res/a.png"
                                                << "Doc_0/Res/a.png";
    QTest::newRow("absolute base loc")
        << "Doc_0/PublicRes.xml" << QByteArray("BaseLoc='/Doc_0/Res'") << "a.png"
        << "Doc_0/Res/a.png";
    QTest::newRow("base loc with slash") << "Doc_0/PublicRes.xml" << QByteArray("BaseLoc='Res/'") << "a.png"
                                         << "Doc_0/Res/a.png";
    QTest::newRow("page resources") << "Doc_0/Pages/Page_0/PageRes.xml" << QByteArray("BaseLoc='Res'")
                                    << "i.jpg"
                                    << "Doc_0/Pages/Page_0/Res/i.jpg";
    QTest::newRow("climbing out of the base")
        << "Doc_0/PublicRes.xml" << QByteArray("BaseLoc='Res'") << "../../Doc_0/Res/font_4.ttf"
        << "Doc_0/Res/font_4.ttf";
    QTest::newRow("padded text") << "Doc_0/PublicRes.xml" << QByteArray("BaseLoc=' Res '") << "\n  a.png\n"
                                 << "Doc_0/Res/a.png";
}

void TestOfdResources::rewrittenPaths()
{
    QFETCH(QString, resPath);
    QFETCH(QByteArray, rootAttrs);
    QFETCH(QString, location);
    QFETCH(QString, path);
    OfdXmlRes res;
    res.SetOfdFilePath(resPath);
    res.PasrseXml(Res("<ofd:Fonts><ofd:Font ID='1'><ofd:FontFile>" + location.toUtf8() +
                          "</ofd:FontFile></ofd:Font><ofd:Font ID='2'/></ofd:Fonts>"
                          "<ofd:MultiMedias><ofd:MultiMedia ID='1'><ofd:MediaFile>" +
                          location.toUtf8() + "</ofd:MediaFile></ofd:MultiMedia></ofd:MultiMedias>",
                      rootAttrs));
    QCOMPARE(res.GetFont(1)->GetFontFile(), path);
    QCOMPARE(res.GetMultiMedia(1)->GetMediaFile(), path);
    QVERIFY(res.GetFont(2)->GetFontFile().isEmpty()); // no file: nothing to rewrite
}

void TestOfdResources::laterMultiMediaReplaces()
{
    OfdXmlRes res;
    res.SetOfdFilePath(QStringLiteral("Doc_0/DocumentRes.xml"));
    res.PasrseXml(
        Res("<ofd:MultiMedias><ofd:MultiMedia ID='4' Format='A'/><ofd:MultiMedia ID='4' Format='B'/>"
            "</ofd:MultiMedias><ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID='1' Width='1'/>"
            "<ofd:CompositeGraphicUnit ID='1' Width='2'/></ofd:CompositeGraphicUnits>"));
    QCOMPARE(res.GetMultiMedias().size(), 1);
    QCOMPARE(res.GetMultiMedia(4)->GetFormat(), QStringLiteral("B"));
    QCOMPARE(res.GetCompositeGraphicUnit(1)->GetWidth(), 2.0f);
}

void TestOfdResources::drawParamColorsReachSpaces()
{
    FakePackageDocument document;
    document.files.insert(QStringLiteral("Doc_0/PublicRes.xml"),
                          Res("<ofd:ColorSpaces><ofd:ColorSpace ID='2' Type='CMYK'/></ofd:ColorSpaces>"
                              "<ofd:DrawParams><ofd:DrawParam ID='4'><ofd:FillColor ColorSpace='2' "
                              "Value='0 0 0 255'/></ofd:DrawParam><ofd:DrawParam ID='5'/></ofd:DrawParams>"));
    QVERIFY(document.resources.ParseRes(QStringLiteral("Doc_0/PublicRes.xml"), OfdXmlRes::ResType_Public));
    OfdTypeFillColor *fill = document.GetFillColor(QStringLiteral("4"), 0);
    QVERIFY(fill);
    QCOMPARE(fill->GetOfdFile(), &document);
    QCOMPARE(fill->CreateQColor().rgba(), QColor(0, 0, 0).rgba());
    QVERIFY(fill->GetColorSpace(2)->IsCMYK());
    QVERIFY(!document.GetStrokeColor(QStringLiteral("4"), 0)); // the parameter gives no stroke colour
    QVERIFY(document.GetDrawParam(QStringLiteral("5"), 0));
    QVERIFY(!document.GetFillColor(QStringLiteral("5"), 0));
}

static FakePackageDocument *MakeDocument()
{
    auto *document = new FakePackageDocument;
    document->files.insert(QStringLiteral("Doc_0/PublicRes.xml"),
                           Res("<ofd:Fonts><ofd:Font ID='1' FontName='public'/></ofd:Fonts>"
                               "<ofd:ColorSpaces><ofd:ColorSpace ID='3' Type='GRAY'/></ofd:ColorSpaces>"
                               "<ofd:DrawParams><ofd:DrawParam ID='7' LineWidth='1'/></ofd:DrawParams>"));
    document->files.insert(
        QStringLiteral("Doc_0/DocumentRes.xml"),
        Res("<ofd:Fonts><ofd:Font ID='1' FontName='document'/><ofd:Font ID='2' "
            "FontName='document'/></ofd:Fonts>"
            "<ofd:ColorSpaces><ofd:ColorSpace ID='3' Type='CMYK'/><ofd:ColorSpace ID='4' Type='CMYK'/>"
            "</ofd:ColorSpaces>"
            "<ofd:DrawParams><ofd:DrawParam ID='7' LineWidth='2'><ofd:FillColor Value='1 1 "
            "1'/></ofd:DrawParam>"
            "<ofd:DrawParam ID='8' LineWidth='2'/></ofd:DrawParams>"
            "<ofd:MultiMedias><ofd:MultiMedia ID='20' Format='doc'/></ofd:MultiMedias>"
            "<ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID='30'/></ofd:CompositeGraphicUnits>",
            "BaseLoc='Res'"));
    document->files.insert(
        QStringLiteral("Doc_0/Pages/Page_0/PageRes.xml"),
        Res("<ofd:DrawParams><ofd:DrawParam ID='8' LineWidth='3'><ofd:FillColor Value='3 3 3'/>"
            "</ofd:DrawParam></ofd:DrawParams>"
            "<ofd:MultiMedias><ofd:MultiMedia ID='20' Format='page'/></ofd:MultiMedias>"
            "<ofd:Fonts><ofd:Font ID='40' FontName='page'/></ofd:Fonts>"
            "<ofd:ColorSpaces><ofd:ColorSpace ID='41' Type='GRAY'/></ofd:ColorSpaces>"
            "<ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID='42'/></ofd:CompositeGraphicUnits>"));
    document->resources.ParseRes(QStringLiteral("Doc_0/PublicRes.xml"), OfdXmlRes::ResType_Public);
    document->resources.ParseRes(QStringLiteral("Doc_0/DocumentRes.xml"), OfdXmlRes::ResType_Document);
    document->AddPageRes(QStringLiteral("Doc_0/Pages/Page_0/PageRes.xml"), 11);
    return document;
}

void TestOfdResources::fontPrecedence()
{
    std::unique_ptr<FakePackageDocument> document(MakeDocument());
    QCOMPARE(document->GetFont(1)->GetFontName(), QStringLiteral("public"));
    QCOMPARE(document->GetFont(2)->GetFontName(), QStringLiteral("document"));
    QVERIFY(!document->GetFont(5));
}

void TestOfdResources::colorSpacePrecedence()
{
    std::unique_ptr<FakePackageDocument> document(MakeDocument());
    OfdTypeColorSpace *defaultSpace = document->resources.GetDefaultColorSpace();
    QVERIFY(defaultSpace->IsRGB());
    QCOMPARE(defaultSpace->GetBitsPerComponent(), 8);
    QCOMPARE(document->GetColorSpace(0), defaultSpace);
    QVERIFY(document->GetColorSpace(3)->IsGRAY()); // public before document
    QVERIFY(document->GetColorSpace(4)->IsCMYK());
    QCOMPARE(document->GetColorSpace(77), defaultSpace);
    QCOMPARE(document->GetColorSpace(-1), defaultSpace);
}

void TestOfdResources::drawParamPrecedence()
{
    std::unique_ptr<FakePackageDocument> document(MakeDocument());
    bool found = false;
    // Declared in the page's file and in DocumentRes.xml: the page wins for that page only.
    QCOMPARE(
        document->GetDrawParam(QStringLiteral("8"), 11)->GetAttrValue(QStringLiteral("LineWidth"), found),
        QStringLiteral("3"));
    QCOMPARE(document->GetDrawParam(QStringLiteral("8"), 0)->GetAttrValue(QStringLiteral("LineWidth"), found),
             QStringLiteral("2"));
    QCOMPARE(
        document->GetDrawParam(QStringLiteral("8"), 12)->GetAttrValue(QStringLiteral("LineWidth"), found),
        QStringLiteral("2"));
    QCOMPARE(document->GetFillColor(QStringLiteral("8"), 11)->GetValues().first(), 3.0f);
    QCOMPARE(document->GetFillColor(QStringLiteral("8"), 0), nullptr);
    // Public before document; a page without the id falls back to the document files.
    QCOMPARE(
        document->GetDrawParam(QStringLiteral("7"), 11)->GetAttrValue(QStringLiteral("LineWidth"), found),
        QStringLiteral("1"));
    // The colour belongs to the parameter that is found, not to a later one with a colour.
    QCOMPARE(document->GetFillColor(QStringLiteral("7"), 0), nullptr);
    QVERIFY(!document->GetDrawParam(QStringLiteral("9"), 11));
}

void TestOfdResources::multiMediaPrecedence()
{
    std::unique_ptr<FakePackageDocument> document(MakeDocument());
    QCOMPARE(document->GetMultiMedia(20, 11)->GetFormat(), QStringLiteral("page"));
    QCOMPARE(document->GetMultiMedia(20, 0)->GetFormat(), QStringLiteral("doc"));
    QCOMPARE(document->GetMultiMedia(20, 99)->GetFormat(), QStringLiteral("doc"));
    QVERIFY(document->GetCompositeGraphicUnit(30));
}

void TestOfdResources::pageOnlyResourcesNotGlobal()
{
    std::unique_ptr<FakePackageDocument> document(MakeDocument());
    QVERIFY(!document->GetFont(40));
    QCOMPARE(document->GetColorSpace(41), document->resources.GetDefaultColorSpace());
    QVERIFY(!document->GetCompositeGraphicUnit(42));
    QCOMPARE(document->resources.GetPageRes(11)->GetResCount(), 1);
    QCOMPARE(document->resources.GetPageRes(11)->GetResList().first()->GetResType(), OfdXmlRes::ResType_Page);
}

void TestOfdResources::unreadableFilesAddNothing()
{
    FakePackageDocument document;
    QVERIFY(!document.resources.ParseRes(QStringLiteral("Doc_0/PublicRes.xml"), OfdXmlRes::ResType_Public));
    QVERIFY(!document.resources.ParseRes(QString(), OfdXmlRes::ResType_Document));
    QVERIFY(!document.resources.AddPageRes(QStringLiteral("x.xml"), 3));
    QVERIFY(document.resources.GetDocumentRes().isEmpty());
    QVERIFY(!document.resources.GetPageRes(3));
    QCOMPARE(document.reads, 2); // the empty path is not even asked for
    document.files.insert(QStringLiteral("broken.xml"), Res("<ofd:Fonts><ofd:Font ID='1'/><ofd:Font ID='2'"));
    QVERIFY(document.resources.ParseRes(QStringLiteral("broken.xml"), OfdXmlRes::ResType_Public));
    QVERIFY(document.GetFont(1)); // read before the error
}

void TestOfdResources::groupAsksFilesInOrder()
{
    FakePackageDocument document;
    document.files.insert(QStringLiteral("a.xml"),
                          Res("<ofd:DrawParams><ofd:DrawParam ID='1'/></ofd:DrawParams>"
                              "<ofd:MultiMedias><ofd:MultiMedia ID='1' Format='a'/></ofd:MultiMedias>"));
    document.files.insert(
        QStringLiteral("b.xml"),
        Res("<ofd:DrawParams><ofd:DrawParam ID='1'><ofd:StrokeColor Value='1 2 3'/></ofd:DrawParam>"
            "<ofd:DrawParam ID='2'><ofd:StrokeColor Value='4 5 6'/></ofd:DrawParam>"
            "</ofd:DrawParams>"
            "<ofd:MultiMedias><ofd:MultiMedia ID='1' Format='b'/><ofd:MultiMedia ID='2' "
            "Format='b'/></ofd:MultiMedias>"));
    document.AddPageRes(QStringLiteral("a.xml"), 5);
    document.AddPageRes(QStringLiteral("b.xml"), 5);
    const OfdXmlResManange *group = document.resources.GetPageRes(5);
    QCOMPARE(group->GetResCount(), 2);
    QCOMPARE(group->GetMultiMedia(1)->GetFormat(), QStringLiteral("a"));
    QCOMPARE(group->GetMultiMedia(2)->GetFormat(), QStringLiteral("b"));
    QVERIFY(!group->GetStrokeColor(QStringLiteral("1"))); // a.xml's parameter, which has none
    QCOMPARE(group->GetStrokeColor(QStringLiteral("2"))->GetValues().first(), 4.0f);
    QCOMPARE(group->GetDrawParam(QStringLiteral("2")), document.GetDrawParam(QStringLiteral("2"), 5));
}

void TestOfdResources::baselineCache()
{
    FontBaselineCach cache;
    QFont font;
    font.setPixelSize(20);
    const float baseline = cache.GetBaseline(font, 3, 5.0f);
    QCOMPARE(baseline, FontBaselineCach::GetBaselineFrontFont(font));
    QVERIFY(baseline > 0);
    QFont bigger;
    bigger.setPixelSize(80);
    // Same id and size: the cached value, even though the font given now is larger.
    QCOMPARE(cache.GetBaseline(bigger, 3, 5.0f), baseline);
    QVERIFY(cache.GetBaseline(bigger, 3, 5.5f) > baseline);
    QVERIFY(cache.GetBaseline(bigger, 4, 5.0f) > baseline);
    QCOMPARE(cache.GetEntryCount(), 3);
    cache.GetBaseline(bigger, 4, std::numeric_limits<float>::quiet_NaN());
    QCOMPARE(cache.GetEntryCount(), 3); // not a key
}

QTEST_MAIN(TestOfdResources)
#include "test_ofdresources.moc"
