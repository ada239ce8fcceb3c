#include <QtTest>

#include <memory>

#include "fakepagedocument.h"
#include "model/content/ofdpageitemcomposite.h"
#include "model/content/ofdpageitemimage.h"
#include "model/content/ofdpageitempath.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdtypepageclips.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/xml/xmlnode.h"

namespace {
QByteArray Page(const QByteArray &inner)
{
    return "<?xml version='1.0' encoding='UTF-8'?><ofd:Page xmlns:ofd='http://www.ofdspec.org/2016'>" +
           inner + "</ofd:Page>";
}

QByteArray Layer(const QByteArray &objects, const QByteArray &layerAttrs = QByteArray())
{
    return Page("<ofd:Content><ofd:Layer ID='2' " + layerAttrs + ">" + objects +
                "</ofd:Layer></ofd:Content>");
}

// A parsed page whose objects the test looks at; the document lives as long as the page.
struct ParsedPage
{
    FakePageDocument document;
    OfdXmlPage page;

    explicit ParsedPage(const QByteArray &content, const QString &id = QStringLiteral("7"))
    {
        page.SetOfdFile(&document);
        page.SetPage(id, QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), content);
    }
    void Parse() { page.TryParse(); }
    QList<OfdPageItem *> Items(int layer = 0)
    {
        Parse();
        OfdXmlPageLayerGroup *body = page.GetBodyGroup();
        if (!body || layer >= body->GetLayers().size())
            return {};
        return *body->GetLayers()[layer]->GetPageItem();
    }
};

QList<int> Ids(const QList<OfdPageItem *> &items)
{
    QList<int> ids;
    for (OfdPageItem *item : items)
        ids.append(item->GetID());
    return ids;
}
} // namespace

// Turning a page's content file into layer groups, layers and page objects.
class TestPageContent : public QObject
{
    Q_OBJECT
private slots:
    void parsesOnce();
    void templatesGoBeneathInReverseOrder();
    void templateKinds_data();
    void templateKinds();
    void missingTemplateAddsNoGroup();
    void pageBlocksAreFlattenedInOrder();
    void pageRefIdAndPageRes();
    void physicalBoxOfOwnAreaOnly();
    void baseAttributes();
    void visible_data();
    void visible();
    void boundaryForms_data();
    void boundaryForms();
    void ctmNeedsSixNumbers();
    void pathDefaults();
    void pathFallsBackToDrawParam();
    void pathRule_data();
    void pathRule();
    void ownColoursWinOverDrawParam();
    void drawParamSuppliesMissingColours();
    void textInheritsLayerColour();
    void textOwnAttributes();
    void imageAndCompositeAttributes();
    void clipsOnEveryKind();
    void brokenXmlKeepsWhatWasRead();
    void patternCellBlock();
};

void TestPageContent::parsesOnce()
{
    ParsedPage p(Layer("<ofd:PathObject ID='3'/>"));
    QVERIFY(p.page.TryParse());
    QVERIFY(!p.page.TryParse());
    QCOMPARE(p.page.GetGroups().size(), 1);
    QCOMPARE(p.page.GetBodyGroup()->GetKind(), QStringLiteral("Body"));
    QCOMPARE(p.page.GetBodyGroup()->GetTemplateFlag(), 0);
}

void TestPageContent::templatesGoBeneathInReverseOrder()
{
    ParsedPage p(Page("<ofd:Template TemplateID='1'/><ofd:Template TemplateID='2' ZOrder='Foreground'/>"
                      "<ofd:Content><ofd:Layer><ofd:PathObject ID='30'/></ofd:Layer></ofd:Content>"));
    p.document.AddTemplate(1, Layer("<ofd:PathObject ID='10'/>"));
    // A template's own template references are kept but not followed.
    p.document.AddTemplate(2, Page("<ofd:Template TemplateID='1'/><ofd:Content><ofd:Layer>"
                                   "<ofd:PathObject ID='20'/></ofd:Layer></ofd:Content>"));
    p.Parse();
    const QList<OfdXmlPageLayerGroup *> &groups = p.page.GetGroups();
    QCOMPARE(groups.size(), 3);
    QCOMPARE(groups[0]->GetLayers()[0]->GetPageItem()->first()->GetID(), 20);
    QCOMPARE(groups[1]->GetLayers()[0]->GetPageItem()->first()->GetID(), 10);
    QCOMPARE(groups[2], p.page.GetBodyGroup());
    QCOMPARE(groups[0]->GetTemplateFlag(), 1);
    QCOMPARE(groups[0]->GetTemplates().size(), 1);
}

void TestPageContent::templateKinds_data()
{
    QTest::addColumn<QByteArray>("reference");
    QTest::addColumn<QString>("kind");
    QTest::newRow("absent") << QByteArray("<ofd:Template TemplateID='4'/>") << "Background";
    QTest::newRow("empty") << QByteArray("<ofd:Template TemplateID='4' ZOrder=''/>") << "Background";
    QTest::newRow("foreground") << QByteArray("<ofd:Template TemplateID='4' ZOrder='Foreground'/>")
                                << "Foreground";
}

void TestPageContent::templateKinds()
{
    QFETCH(QByteArray, reference);
    ParsedPage p(Page(reference + "<ofd:Content/>"));
    p.document.AddTemplate(4, Layer("<ofd:PathObject ID='1'/>"));
    p.Parse();
    QCOMPARE(p.page.GetGroups().size(), 2);
    QTEST(p.page.GetGroups()[0]->GetKind(), "kind");
}

void TestPageContent::missingTemplateAddsNoGroup()
{
    ParsedPage p(Page("<ofd:Template TemplateID='9'/><ofd:Content/>"));
    p.Parse();
    QCOMPARE(p.page.GetGroups().size(), 1);
}

void TestPageContent::pageBlocksAreFlattenedInOrder()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1'/>"
                       "<ofd:PageBlock ID='90'><ofd:TextObject ID='2'/><ofd:PathObject ID='3'/>"
                       "<ofd:PageBlock ID='91'><ofd:ImageObject ID='4'/>"
                       "<ofd:PageBlock><ofd:PathObject ID='5'/></ofd:PageBlock></ofd:PageBlock>"
                       "<ofd:PathObject ID='6'/></ofd:PageBlock>"
                       "<ofd:Unknown><ofd:PathObject ID='99'/></ofd:Unknown>"
                       "<ofd:CompositeObject ID='7' ResourceID='3'/>"));
    const QList<OfdPageItem *> items = p.Items();
    // Nested blocks are drawn too, and so is an object one level inside any other element.
    QCOMPARE(Ids(items), QList<int>({1, 2, 3, 4, 5, 6, 99, 7}));
    QCOMPARE(items[1]->GetItemType(), int(EN_PageItemType_Text));
    QCOMPARE(items[3]->GetItemType(), int(EN_PageItemType_Image));
    QCOMPARE(items[7]->GetItemType(), int(EN_PageItemType_Composite));
    for (OfdPageItem *item : items) {
        QCOMPARE(item->GetLayer(), p.page.GetBodyGroup()->GetLayers()[0]);
        QCOMPARE(item->GetOfdFile(), &p.document);
    }
}

void TestPageContent::pageRefIdAndPageRes()
{
    ParsedPage p(
        Page("<ofd:PageRes>PageRes.xml</ofd:PageRes><ofd:PageRes>/Doc_0/Res/Shared.xml</ofd:PageRes>"
             "<ofd:Content><ofd:Layer><ofd:PathObject ID='1' DrawParam='5'/></ofd:Layer></ofd:Content>"),
        QStringLiteral(" 12 "));
    p.Parse();
    QCOMPARE(p.page.GetPageRefId(), 12);
    QCOMPARE(p.document.pageRes.size(), 2);
    QCOMPARE(p.document.pageRes[0], qMakePair(QStringLiteral("Doc_0/Pages/Page_0/PageRes.xml"), 12));
    QCOMPARE(p.document.pageRes[1], qMakePair(QStringLiteral("Doc_0/Res/Shared.xml"), 12));
    // Draw parameters are looked up with the page's key.
    QVERIFY(!p.document.drawParamPageKeys.isEmpty());
    QCOMPARE(p.document.drawParamPageKeys.first(), 12);
    QCOMPARE(p.page.GetBodyGroup()->GetLayers()[0]->GetPageItem()->first()->GetPageRefId(), 12);
}

void TestPageContent::physicalBoxOfOwnAreaOnly()
{
    ParsedPage own(Page("<ofd:Area><ofd:PhysicalBox>0 0 148 210</ofd:PhysicalBox></ofd:Area><ofd:Content/>"));
    own.Parse();
    QRectF box;
    QVERIFY(own.page.GetPageArea_PhysicalBox(box));
    QCOMPARE(box, QRectF(0, 0, 148, 210));

    ParsedPage fromTemplate(Page("<ofd:Template TemplateID='1'/><ofd:Content/>"));
    fromTemplate.document.AddTemplate(
        1, Page("<ofd:Area><ofd:PhysicalBox>0 0 10 10</ofd:PhysicalBox></ofd:Area>"));
    fromTemplate.Parse();
    QVERIFY(!fromTemplate.page.GetPageArea_PhysicalBox(box));
}

void TestPageContent::baseAttributes()
{
    ParsedPage p(Layer("<ofd:PathObject ID='8' Boundary='10 20.5 30 40' CTM='1 0 0 1 5 6' DrawParam='3' "
                       "Alpha='128'/>"));
    OfdPageItem *item = p.Items().first();
    QCOMPARE(item->GetID(), 8);
    QCOMPARE(item->GetBoundary(), QRectF(10, 20.5, 30, 40));
    QCOMPARE(item->GetBoundaryText(), QStringLiteral("10 20.5 30 40"));
    QVERIFY(item->GetCTM().IsValidate());
    QCOMPARE(item->GetCTM().E(), 5.0);
    QCOMPARE(item->GetDrawParamId(), QStringLiteral("3"));
    QCOMPARE(item->GetAlpha(), 128);
    QCOMPARE(item->GetDebugInfo(), QStringLiteral("path id=8"));
}

void TestPageContent::visible_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<bool>("visible");
    QTest::newRow("absent") << QByteArray() << true;
    QTest::newRow("empty") << QByteArray("Visible=''") << true;
    QTest::newRow("true") << QByteArray("Visible='true'") << true;
    QTest::newRow("TRUE") << QByteArray("Visible='TRUE'") << true;
    QTest::newRow("false") << QByteArray("Visible='false'") << false;
    QTest::newRow("other word") << QByteArray("Visible='yes'") << false;
}

void TestPageContent::visible()
{
    QFETCH(QByteArray, attr);
    ParsedPage p(Layer("<ofd:TextObject ID='1' " + attr + "/>"));
    QTEST(p.Items().first()->IsVisible(), "visible");
}

void TestPageContent::boundaryForms_data()
{
    QTest::addColumn<QByteArray>("boundary");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("spaces and tabs") << QByteArray("1  2\t3 4") << QRectF(1, 2, 3, 4);
    QTest::newRow("three numbers") << QByteArray("1 2 3") << QRectF();
    QTest::newRow("five numbers") << QByteArray("1 2 3 4 5") << QRectF(1, 2, 3, 4);
    QTest::newRow("not finite") << QByteArray("1 2 inf 4") << QRectF();
    QTest::newRow("single precision") << QByteArray("0.1 0 1 1") << QRectF(double(0.1f), 0, 1, 1);
}

void TestPageContent::boundaryForms()
{
    QFETCH(QByteArray, boundary);
    ParsedPage p(Layer("<ofd:PathObject ID='1' Boundary='" + boundary + "'/>"));
    QTEST(p.Items().first()->GetBoundary(), "rect");
}

void TestPageContent::ctmNeedsSixNumbers()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1' CTM='1 0 0 1 5'/><ofd:PathObject ID='2' CTM='2 0 0 2 0 0'/>"));
    const QList<OfdPageItem *> items = p.Items();
    QVERIFY(!items[0]->GetCTM().IsValidate());
    QVERIFY(items[1]->GetCTM().IsValidate());
}

void TestPageContent::pathDefaults()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1'/>"));
    auto *path = static_cast<OfdPageItemPath *>(p.Items().first());
    QCOMPARE(path->GetLineWidth(), 0.353);
    QCOMPARE(path->GetJoin(), QStringLiteral("Miter"));
    QCOMPARE(path->GetCap(), QStringLiteral("Butt"));
    QCOMPARE(path->GetMiterLimit(), 4.234000205993652);
    QVERIFY(path->IsStroke());
    QVERIFY(!path->IsFill());
    QCOMPARE(path->GetRule(), QStringLiteral("NoneZero"));
    QVERIFY(!path->IsHaveDashPattern());
    QCOMPARE(path->GetAlpha(), 255);
    QVERIFY(!path->GetFillColor().IsSet());
    QVERIFY(!path->GetStrokeColor().IsSet());
}

void TestPageContent::pathFallsBackToDrawParam()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1' DrawParam='5'/>"
                       "<ofd:PathObject ID='2' DrawParam='5' LineWidth='2' Join=''/>"
                       "<ofd:PathObject ID='3' DrawParam='404'/>"));
    p.document.AddDrawParam("<ofd:DrawParam ID='5' LineWidth='0.75' Join='Round' Cap='Square' MiterLimit='8' "
                            "DashOffset='1' DashPattern='2 1'/>");
    const QList<OfdPageItem *> items = p.Items();
    auto *a = static_cast<OfdPageItemPath *>(items[0]);
    QCOMPARE(a->GetLineWidth(), 0.75);
    QCOMPARE(a->GetJoin(), QStringLiteral("Round"));
    QCOMPARE(a->GetCap(), QStringLiteral("Square"));
    QCOMPARE(a->GetMiterLimit(), 8.0);
    QCOMPARE(a->GetDashOffset(), 1.0);
    QCOMPARE(a->GetDashPattern(), QList<float>({2.f, 1.f}));
    auto *b = static_cast<OfdPageItemPath *>(items[1]);
    QCOMPARE(b->GetLineWidth(), 2.0);
    QCOMPARE(b->GetJoin(), QStringLiteral("Round")); // an empty attribute falls back as well
    auto *c = static_cast<OfdPageItemPath *>(items[2]);
    QCOMPARE(c->GetLineWidth(), 0.353);
}

void TestPageContent::pathRule_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("nonZero");
    QTest::newRow("default") << QByteArray() << "NoneZero" << true;
    QTest::newRow("NoneZero") << QByteArray("Rule='NoneZero'") << "NoneZero" << true;
    QTest::newRow("standard NonZero") << QByteArray("Rule='NonZero'") << "NonZero" << true;
    QTest::newRow("Even-Odd") << QByteArray("Rule='Even-Odd'") << "Even-Odd" << false;
    QTest::newRow("lower case") << QByteArray("Rule='nonezero'") << "nonezero" << false;
}

void TestPageContent::pathRule()
{
    QFETCH(QByteArray, rule);
    ParsedPage p(Layer("<ofd:PathObject ID='1' " + rule + "/>"));
    auto *path = static_cast<OfdPageItemPath *>(p.Items().first());
    QTEST(path->GetRule(), "stored");
    QTEST(path->IsNonZeroRule(), "nonZero");
}

void TestPageContent::ownColoursWinOverDrawParam()
{
    ParsedPage p(
        Layer("<ofd:TextObject ID='1' DrawParam='5' Font='2' Size='3'><ofd:FillColor Value='255 0 0'/>"
              "<ofd:TextCode X='0' Y='3'>A</ofd:TextCode></ofd:TextObject>"
              "<ofd:PathObject ID='2' DrawParam='5' Fill='true'><ofd:FillColor Value='255 0 0'/>"
              "<ofd:StrokeColor Value='0 0 255'/></ofd:PathObject>"));
    p.document.AddDrawParam("<ofd:DrawParam ID='5'><ofd:FillColor Value='0 128 0'/>"
                            "<ofd:StrokeColor Value='9 9 9'/></ofd:DrawParam>");
    const QList<OfdPageItem *> items = p.Items();
    auto *text = static_cast<OfdPageItemText *>(items[0]);
    QCOMPARE(text->GetFillColor().GetValues(), QList<float>({255, 0, 0}));
    auto *path = static_cast<OfdPageItemPath *>(items[1]);
    QCOMPARE(path->GetFillColor().GetValues(), QList<float>({255, 0, 0}));
    QCOMPARE(path->GetStrokeColor().GetValues(), QList<float>({0, 0, 255}));
}

void TestPageContent::drawParamSuppliesMissingColours()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1' DrawParam='5' Fill='true'/>"
                       "<ofd:PathObject ID='2' DrawParam='5'/>"
                       "<ofd:TextObject ID='3' DrawParam='5' Stroke='true'/>"));
    p.document.AddDrawParam("<ofd:DrawParam ID='5'><ofd:FillColor Value='0 128 0'/>"
                            "<ofd:StrokeColor Value='9 9 9'/></ofd:DrawParam>");
    const QList<OfdPageItem *> items = p.Items();
    auto *filled = static_cast<OfdPageItemPath *>(items[0]);
    QCOMPARE(filled->GetFillColor().GetValues(), QList<float>({0, 128, 0}));
    QCOMPARE(filled->GetStrokeColor().GetValues(), QList<float>({9, 9, 9}));
    QCOMPARE(filled->GetFillColor().GetPageItem(), static_cast<OfdItemContext *>(filled));
    auto *unfilled = static_cast<OfdPageItemPath *>(items[1]);
    QVERIFY(!unfilled->GetFillColor().IsSet()); // Fill is false: nothing to take
    auto *text = static_cast<OfdPageItemText *>(items[2]);
    QCOMPARE(text->GetFillColor().GetValues(), QList<float>({0, 128, 0}));
    QCOMPARE(text->GetStrokeColor().GetValues(), QList<float>({9, 9, 9}));
}

void TestPageContent::textInheritsLayerColour()
{
    ParsedPage p(Layer("<ofd:TextObject ID='1'/><ofd:TextObject ID='2'><ofd:FillColor Value='1 2 3'/>"
                       "</ofd:TextObject><ofd:TextObject ID='3' DrawParam='6'/>",
                       "DrawParam='5'"));
    p.document.AddDrawParam("<ofd:DrawParam ID='5'><ofd:FillColor Value='0 128 0'/></ofd:DrawParam>");
    p.document.AddDrawParam("<ofd:DrawParam ID='6' LineWidth='1'/>");
    const QList<OfdPageItem *> items = p.Items();
    QVERIFY(items[0]->GetInheritFillColor());
    QCOMPARE(items[0]->GetInheritFillColor()->GetValues(), QList<float>({0, 128, 0}));
    QVERIFY(!items[1]->GetInheritFillColor());
    // A text naming a draw parameter without colour takes nothing from the layer.
    QVERIFY(!items[2]->GetInheritFillColor());
}

void TestPageContent::textOwnAttributes()
{
    ParsedPage p(
        Layer("<ofd:TextObject ID='1' Font='4' Size='3.5' Fill='false' Stroke='true' Italic='true' "
              "Weight='700' CharDirection='90' ReadDirection='180'>"
              "<ofd:CGTransform CodePosition='0' CodeCount='2' GlyphCount='1'><ofd:Glyphs>5</ofd:Glyphs>"
              "</ofd:CGTransform><ofd:TextCode X='1' Y='2' DeltaX='3'>AB</ofd:TextCode>"
              "<ofd:TextCode X='10' Y='2'>C</ofd:TextCode></ofd:TextObject>"
              "<ofd:TextObject ID='2'/>"));
    const QList<OfdPageItem *> items = p.Items();
    auto *text = static_cast<OfdPageItemText *>(items[0]);
    QCOMPARE(text->GetFontID(), 4);
    QCOMPARE(text->GetFontSize(), 3.5f);
    QVERIFY(!text->IsFill());
    QVERIFY(text->IsStroke());
    QVERIFY(text->IsItalic());
    QCOMPARE(text->GetWeight(), 700);
    QCOMPARE(text->GetCharDirection(), 90);
    QCOMPARE(text->GetReadDirection(), 180);
    QVERIFY(text->IsHaveCGTransformManage());
    QCOMPARE(text->GetTextCodeManage().GetCodeCount(), 2);
    QCOMPARE(text->GetTextCodeManage().GetText(), QStringLiteral("ABC"));
    auto *plain = static_cast<OfdPageItemText *>(items[1]);
    QVERIFY(plain->IsFill());
    QVERIFY(!plain->IsStroke());
    QCOMPARE(plain->GetWeight(), 400);
    QVERIFY(!plain->IsHaveCGTransformManage());
}

void TestPageContent::imageAndCompositeAttributes()
{
    ParsedPage p(Layer("<ofd:ImageObject ID='1' ResourceID='12.7' Alpha='64'><ofd:Border LineWidth='1'/>"
                       "</ofd:ImageObject><ofd:CompositeObject ID='2' ResourceID='33'><ofd:Anything/>"
                       "</ofd:CompositeObject><ofd:PathObject ID='3'/>"));
    const QList<OfdPageItem *> items = p.Items();
    QCOMPARE(items.size(), 3);
    auto *image = static_cast<OfdPageItemImage *>(items[0]);
    QCOMPARE(image->GetResourceID(), 12);
    QCOMPARE(image->GetAlpha(), 64);
    QVERIFY(!image->GetMultiMedia());
    QVERIFY(image->GetMultiMediaData().isEmpty());
    auto *composite = static_cast<OfdPageItemComposite *>(items[1]);
    QCOMPARE(composite->GetResourceID(), 33);
    QVERIFY(!composite->GetCompositeGraphicUnit());
}

void TestPageContent::clipsOnEveryKind()
{
    const QByteArray clips("<ofd:Clips><ofd:Clip><ofd:Area><ofd:Path Boundary='0 0 10 10'>"
                           "<ofd:AbbreviatedData>M 0 0 L 10 0 L 10 10 C</ofd:AbbreviatedData></ofd:Path>"
                           "</ofd:Area></ofd:Clip></ofd:Clips>");
    ParsedPage p(Layer("<ofd:ImageObject ID='1' ResourceID='2'>" + clips +
                       "</ofd:ImageObject>"
                       "<ofd:PathObject ID='2'>" +
                       clips +
                       "<ofd:AbbreviatedData>M 0 0 L 1 1</ofd:AbbreviatedData>"
                       "</ofd:PathObject><ofd:TextObject ID='3'>" +
                       clips +
                       "</ofd:TextObject>"
                       "<ofd:PathObject ID='4'/>"));
    const QList<OfdPageItem *> items = p.Items();
    QCOMPARE(items.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(items[i]->GetClips(), qPrintable(items[i]->GetDebugInfo()));
        QCOMPARE(items[i]->GetClips()->GetClipList().size(), 1);
    }
    QVERIFY(!items[3]->GetClips());
    QCOMPARE(static_cast<OfdPageItemPath *>(items[1])->GetAbbreviatedData().GetCount(), 2);
}

void TestPageContent::brokenXmlKeepsWhatWasRead()
{
    ParsedPage p(Layer("<ofd:PathObject ID='1'/><ofd:TextObject ID='2' Font='1'><ofd:TextCode X='0' Y='1'>A"
                       "</ofd:TextCode><ofd:TextCode X='5'")
                     .left(200));
    const QList<OfdPageItem *> items = p.Items();
    QVERIFY(items.size() >= 1);
    QCOMPARE(items[0]->GetID(), 1);

    ParsedPage q(Layer("<ofd:PathObject ID='1'/><ofd:TextObject ID='2' Font='1'><ofd:TextCode X='0' Y='1'>AB"
                       "</ofd:TextCode><oops></ofd:TextObject>"));
    const QList<OfdPageItem *> kept = q.Items();
    QCOMPARE(Ids(kept), QList<int>({1, 2}));
    QCOMPARE(static_cast<OfdPageItemText *>(kept[1])->GetTextCodeManage().GetText(), QStringLiteral("AB"));
}

void TestPageContent::patternCellBlock()
{
    std::unique_ptr<XmlNode> pattern(XmlNode::FromData(
        "<ofd:Pattern xmlns:ofd='http://www.ofdspec.org/2016' Width='5' Height='5'><ofd:CellContent>"
        "<ofd:PathObject ID='1'/><ofd:PageBlock><ofd:TextObject ID='2'/></ofd:PageBlock></ofd:CellContent>"
        "</ofd:Pattern>"));
    FakePageDocument document;
    std::unique_ptr<OfdXmlPageBlock> block(CreatePageBlock(pattern.get(), &document));
    QVERIFY(block);
    QCOMPARE(Ids(block->GetItems()), QList<int>({1, 2}));
    QVERIFY(!block->GetLayer());
    QCOMPARE(block->GetOfdFile(), &document);
    block->SetPageRefId(44);
    QCOMPARE(block->GetItems()[0]->GetPageRefId(), 44);

    std::unique_ptr<XmlNode> empty(XmlNode::FromData("<ofd:Pattern/>"));
    QVERIFY(!CreatePageBlock(empty.get(), &document));
    QVERIFY(!CreatePageBlock(nullptr, &document));
}

QTEST_MAIN(TestPageContent)
#include "test_pagecontent.moc"
