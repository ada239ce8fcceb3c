#include <QtTest>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "fakedocument.h"
#include "model/content/mathhelper.h"
#include "model/content/ofdabbreviateddataitem.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdtemplateinfo.h"
#include "model/content/ofdtypeabbreviateddata.h"
#include "model/content/ofdtypecgtransform.h"
#include "model/content/ofdtypecgtransformmanage.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypecompositegraphicunit.h"
#include "model/content/ofdtypecompositegraphicunitcontent.h"
#include "model/content/ofdtypectm.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/content/ofdtypepagearea.h"
#include "model/content/ofdtypepageclip.h"
#include "model/content/ofdtypepageclip_area.h"
#include "model/content/ofdtypepageclips.h"
#include "model/content/ofdtypetextcode.h"
#include "model/content/ofdtypetextcodemanage.h"
#include "model/xml/xmlnode.h"
#include "parsehelper.h"

// The value types read from page content and resources, and unit conversion.
class TestValueTypes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void ctmParse_data();
    void ctmParse();
    void ctmCopyIsDeep();
    void convert();
    void fontWeight_data();
    void fontWeight();
    void pointLength();
    void textCodePositions_data();
    void textCodePositions();
    void textCodesChain();
    void glyphMap();
    void pathSplit_data();
    void pathSplit();
    void abbreviatedData();
    void colorSpace();
    void fillColorForms_data();
    void fillColorForms();
    void fillColorReachesDocument();
    void drawParam();
    void fontAndMedia();
    void templateInfo();
    void pageArea();
    void compositeUnit();
    void clipsStructure();
    void clipGeometry();
};

void TestValueTypes::initTestCase()
{
    OfdConvert::Init(96.0);
}

void TestValueTypes::ctmParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("identity");
    QTest::addColumn<QString>("written");
    QTest::newRow("six") << "1 0 0 1 10.5 -3" << true << false << "1 0 0 1 10.5 -3";
    QTest::newRow("identity") << "1 0 0 1 0 0" << true << true << "1 0 0 1 0 0";
    QTest::newRow("odd spacing") << "  0.3528\t0 0\n0.3528 0 0 " << true << false << "0.3528 0 0 0.3528 0 0";
    QTest::newRow("five") << "1 0 0 1 0" << false << false << "";
    QTest::newRow("seven") << "1 0 0 1 0 0 0" << false << false << "";
    QTest::newRow("empty") << "" << false << false << "";
}

void TestValueTypes::ctmParse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, identity);
    QFETCH(QString, written);
    OfdTypeCTM ctm;
    QCOMPARE(ctm.ParseText(text), valid);
    QCOMPARE(ctm.IsValidate(), valid);
    QCOMPARE(ctm.IsIdentity(), identity);
    QCOMPARE(ctm.GetCTMText(), written);
    QCOMPARE(ctm.GetMessage(), valid ? written : QStringLiteral("empty"));
}

void TestValueTypes::ctmCopyIsDeep()
{
    OfdTypeCTM a;
    a.SetValue(2, 0, 0, 2, 25.4, 50.8);
    OfdTypeCTM b(a);
    a.SetValue({1, 0, 0, 1, 0, 0});
    QCOMPARE(b.GetCTMText(), QStringLiteral("2 0 0 2 25.4 50.8"));
    a.SetValue({1, 2, 3}); // wrong count: unchanged
    QVERIFY(a.IsIdentity());
    QTransform t;
    OfdConvert::ToQTransform(b, t);
    QCOMPARE(t.m11(), 2.0);
    QCOMPARE(t.dx(), 96.0); // 25.4 mm at 96 dpi
    QCOMPARE(t.dy(), 192.0);
    OfdConvert::ToQTransform(OfdTypeCTM(), t);
    QVERIFY(t.isIdentity());
}

void TestValueTypes::convert()
{
    QCOMPARE(OfdConvert::PxOfOneMM, 96.0 / 25.4);
    QCOMPARE(OfdConvert::OfdMMToPixel(25.4), 96.0);
    QCOMPARE(OfdConvert::OfdPixelToMM(QPointF(96, 48)), QPointF(25.4, 12.7));
    QRectF r(0, 0, 210, 297);
    OfdConvert::OfdMMToPixel(r);
    QCOMPARE(r.width(), 210 * 96 / 25.4);
    QCOMPARE(OfdConvert::OfdPixelToMM2(r), QRectF(0, 0, 210, 297));
    QCOMPARE(OfdConvert::PointSizeToPixelSize(72), 96.0);
    QCOMPARE(OfdConvert::PixelSizeToPointSize(96), 72.0);
    QFont font;
    font.setPixelSize(96);
    QCOMPARE(OfdConvert::GetFontSizeMM(font), 25.4);
    font.setPointSizeF(36);
    QCOMPARE(OfdConvert::GetFontSizeMM(font), 12.7);
    OfdConvert::Init(-5); // ignored
    QCOMPARE(OfdConvert::Px_PerInch, 96.0);
    OfdConvert::Init(192);
    QCOMPARE(OfdConvert::MMOfOnePx, 25.4 / 192);
    OfdConvert::Init(96);
}

void TestValueTypes::fontWeight_data()
{
    QTest::addColumn<int>("weight");
    QTest::addColumn<int>("qt");
    const int table[][2] = {{100, 0},  {200, 12}, {300, 25}, {400, 50}, {500, 57}, {600, 63},
                            {700, 75}, {800, 81}, {900, 87}, {450, 50}, {0, 50},   {1000, 50}};
    for (const auto &row : table)
        QTest::newRow(qPrintable(QString::number(row[0]))) << row[0] << row[1];
}

void TestValueTypes::fontWeight()
{
    QFETCH(int, weight);
    QFETCH(int, qt);
    QCOMPARE(OfdConvert::ToQtFontWeight(weight), qt);
}

void TestValueTypes::pointLength()
{
    QCOMPARE(MathHelper::CalPointLen(QPointF(1, 1), QPointF(4, 5)), 5.0f);
    QCOMPARE(MathHelper::CalPointLen(QPointF(0, 0), QPointF(0.1, 0)), 0.1f);
}

void TestValueTypes::textCodePositions_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QList<double>>("xs");
    QTest::addColumn<QList<double>>("ys");
    QTest::newRow("one delta repeats")
        << QByteArray("<ofd:TextCode X='10' Y='5' DeltaX='2'>abc</ofd:TextCode>") << QList<double>{10, 12, 14}
        << QList<double>{5, 5, 5};
    QTest::newRow("no deltas") << QByteArray("<ofd:TextCode X='10' Y='5'>abc</ofd:TextCode>")
                               << QList<double>{10, 10, 10} << QList<double>{5, 5, 5};
    QTest::newRow("vertical") << QByteArray("<ofd:TextCode X='1' Y='5' DeltaY='g 2 3'>abc</ofd:TextCode>")
                              << QList<double>{1, 1, 1} << QList<double>{5, 8, 11};
    QTest::newRow("mixed repetition")
        << QByteArray("<ofd:TextCode X='0' Y='0' DeltaX='g 2 1 4'>abcd</ofd:TextCode>")
        << QList<double>{0, 1, 2, 6} << QList<double>{0, 0, 0, 0};
    QTest::newRow("missing X and Y") << QByteArray("<ofd:TextCode DeltaX='3'>ab</ofd:TextCode>")
                                     << QList<double>{0, 3} << QList<double>{0, 0};
    QTest::newRow("other prefix, padded")
        << QByteArray("<x:TextCode X=' 2 ' DeltaX=' 1  1 '>a b</x:TextCode>") << QList<double>{2, 3, 4}
        << QList<double>{0, 0, 0};
}

void TestValueTypes::textCodePositions()
{
    QFETCH(QByteArray, xml);
    QFETCH(QList<double>, xs);
    QFETCH(QList<double>, ys);
    OfdTypeTextCode code;
    QCOMPARE(ParseInWrapper(xml, [&](QXmlStreamReader &r) { code.ParseXml(r); }), QStringLiteral("Next"));
    QCOMPARE(code.GetCharCount(), xs.size());
    double x = -1;
    double y = -1;
    for (int i = 0; i < code.GetCharCount(); ++i) {
        QChar ch;
        QVERIFY(code.GetChar(i, ch, x, y));
        QCOMPARE(ch, code.GetText().at(i));
        QCOMPARE(x, xs[i]);
        QCOMPARE(y, ys[i]);
    }
    QChar past;
    code.GetChar(code.GetCharCount(), past, x, y);
    QVERIFY(past.isNull());
}

void TestValueTypes::textCodesChain()
{
    OfdTypeTextCodeManage codes;
    ParseInWrapper("<ofd:TextCode X='10' Y='20' DeltaX='2 2'>abc</ofd:TextCode>",
                   [&](QXmlStreamReader &r) { codes.ParseXml(r); });
    ParseInWrapper("<ofd:TextCode X='20' Y='20' DeltaX='5'>de</ofd:TextCode>",
                   [&](QXmlStreamReader &r) { codes.ParseXml(r); });
    QCOMPARE(codes.GetCodeCount(), 2);
    QCOMPARE(codes.GetCharCount(), 5);
    QCOMPARE(codes.GetText(), QStringLiteral("abcde"));
    QCOMPARE(codes.GetStartX(), 10.0f);
    QCOMPARE(codes.GetStartY(), 20.0f);
    QCOMPARE(codes.GetCode(1)->GetTextCodeIndex(), 1);
    double x = 0;
    double y = 0;
    QChar ch;
    QVERIFY(codes.GetChar(3, ch, x, y)); // first character of the second code
    QCOMPARE(ch, QLatin1Char('d'));
    QCOMPARE(x, 20.0);
    QVERIFY(codes.GetChar(4, ch, x, y));
    QCOMPARE(x, 25.0);
    QVERIFY(!codes.GetChar(5, ch, x, y));
    // Written back as one code: the second start is 6 mm after the first code's end (14).
    QCOMPARE(codes.GetTextDeltaX(), QStringLiteral("2 2 6 5"));
    QCOMPARE(codes.GetTextDeltaY(), QStringLiteral("0"));
}

void TestValueTypes::glyphMap()
{
    OfdTypeCGTransformManage map;
    QCOMPARE(ParseInWrapper("<ofd:CGTransform CodePosition='2' CodeCount='2' GlyphCount='1'>"
                            "<ofd:Glyphs> 34\t35 </ofd:Glyphs><ofd:Other/></ofd:CGTransform>",
                            [&](QXmlStreamReader &r) { map.ParseXml(r); }),
             QStringLiteral("Next"));
    ParseInWrapper("<ofd:CGTransform><ofd:Glyphs>7</ofd:Glyphs></ofd:CGTransform>",
                   [&](QXmlStreamReader &r) { map.ParseXml(r); });
    int glyph = -1;
    int count = -1;
    QVERIFY(map.GetGlyph(2, glyph, count));
    QCOMPARE(glyph, 34);
    QCOMPARE(count, 2);
    QVERIFY(map.GetGlyph(0, glyph, count)); // the second one, with defaults
    QCOMPARE(glyph, 7);
    QCOMPARE(count, 1);
    QVERIFY(!map.GetGlyph(1, glyph, count));
    QVERIFY(!map.GetGlyph(3, glyph, count));

    OfdTypeCGTransform empty;
    ParseInWrapper("<ofd:CGTransform CodePosition='0'/>", [&](QXmlStreamReader &r) { empty.ParseXml(r); });
    QVERIFY(!empty.GetGlyph(0, glyph, count));
}

void TestValueTypes::pathSplit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("glued") << "M10 20L30,40" << QStringList{"M", "10", "20", "L", "30,40"};
    QTest::newRow("spaced") << " M 0  0\tL 5\n5 C " << QStringList{"M", "0", "0", "L", "5", "5", "C"};
    QTest::newRow("adjacent commands") << "MC 1" << QStringList{"MC", "1"};
    QTest::newRow("lower case is no command") << "m 1 l2" << QStringList{"m", "1", "l2"};
    QTest::newRow("negative numbers") << "M-1-2" << QStringList{"M", "-1-2"};
}

void TestValueTypes::pathSplit()
{
    QFETCH(QString, text);
    QFETCH(QStringList, tokens);
    QCOMPARE(PathStringSplit(text), tokens);
}

void TestValueTypes::abbreviatedData()
{
    using Item = OfdAbbreviatedDataItem;
    OfdTypeAbbreviatedData data;
    QCOMPARE(ParseInWrapper("<ofd:AbbreviatedData>10 20 M 0 0 L 5 5 C</ofd:AbbreviatedData>",
                            [&](QXmlStreamReader &r) { data.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(data.GetCount(), 3);
    QCOMPARE(data.GetItems()[0]->GetType(), Item::DataType_Move);
    QCOMPARE(data.GetItems()[0]->GetValues(), (QList<double>{0, 0}));
    QCOMPARE(data.GetItems()[1]->GetType(), Item::DataType_Line);
    QCOMPARE(data.GetItems()[2]->GetType(), Item::DataType_Close);
    QVERIFY(data.GetItems()[2]->GetValues().isEmpty());
    QCOMPARE(data.PathText(), QStringLiteral("M 0 0 L 5 5 C"));

    data.ParseAbbreviatedData(QStringLiteral("S 25.4 0.1 B 1 2 3 4 5 6 A 1 1 0 0 1 2 2 Q x 1"));
    QCOMPARE(data.GetCount(), 4);
    QCOMPARE(data.GetItems()[0]->GetType(), Item::DataType_Start);
    QCOMPARE(data.GetItems()[1]->GetValues().size(), 6);
    QCOMPARE(data.GetItems()[2]->GetType(), Item::DataType_Arc);
    QCOMPARE(data.GetItems()[2]->GetValues().size(), 7);
    QCOMPARE(data.GetItems()[3]->GetValues(), (QList<double>{0, 1})); // unconvertible is 0
    data.ToValuesQt();
    QCOMPARE(data.GetItems()[0]->GetValuesQt().first(), 96.0);
    QCOMPARE(data.PathText(), QStringLiteral("S 25.4 0.1 B 1 2 3 4 5 6 A 1 1 0 0 1 2 2 Q 0 1"));

    data.ParseAbbreviatedData(QStringLiteral("1 2 3"));
    QCOMPARE(data.GetCount(), 0);
    QCOMPARE(Item::GetDataType(QStringLiteral("m")), Item::DataType_None);
    QCOMPARE(Item::GetDataLetter(Item::DataType_None), QStringLiteral("none"));
}

void TestValueTypes::colorSpace()
{
    OfdTypeColorSpace space;
    QVERIFY(space.IsRGB()); // a fresh space is the default RGB space
    QCOMPARE(ParseInWrapper("<ofd:ColorSpace ID='7' Type='CMYK' BitsPerComponent='4'><ofd:Palette>"
                            "<ofd:CV>#FF 0 0</ofd:CV></ofd:Palette></ofd:ColorSpace>",
                            [&](QXmlStreamReader &r) { space.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(space.GetID(), 7);
    QVERIFY(space.IsCMYK() && !space.IsRGB() && !space.IsGRAY());
    QCOMPARE(space.GetBitsPerComponent(), 4);
    QVERIFY(space.IsNeedAdjustColorValue());
    ParseInWrapper("<x:ColorSpace ID='2' Type='GRAY' BitsPerComponent='0'/>",
                   [&](QXmlStreamReader &r) { space.ParseXml(r); });
    QVERIFY(space.IsGRAY());
    QCOMPARE(space.GetBitsPerComponent(), 8);
    QVERIFY(!space.IsNeedAdjustColorValue());
}

void TestValueTypes::fillColorForms_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("space");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<bool>("special");
    QTest::newRow("plain") << QByteArray("<ofd:FillColor Value='255 0 0'/>") << 0 << QList<float>{255, 0, 0}
                           << 255 << false;
    QTest::newRow("space and alpha") << QByteArray(
                                            "<ofd:FillColor ColorSpace='4' Value='1 2 3' Alpha='128'/>")
                                     << 4 << QList<float>{1, 2, 3} << 128 << false;
    QTest::newRow("hex") << QByteArray("<ofd:StrokeColor Value='#ee #20 #25'/>") << 0
                         << QList<float>{238, 32, 37} << 255 << false;
    QTest::newRow("empty element") << QByteArray("<ofd:FillColor/>") << 0 << QList<float>{} << 255 << false;
    QTest::newRow("unknown child") << QByteArray("<ofd:FillColor><ofd:GouraudShd/></ofd:FillColor>") << 0
                                   << QList<float>{} << 255 << false;
    QTest::newRow("shading") << QByteArray(
                                    "<ofd:FillColor><ofd:AxialShd StartPoint='0 0' EndPoint='1 0'>"
                                    "<ofd:Segment><ofd:Color Value='1 1 1'/></ofd:Segment></ofd:AxialShd>"
                                    "</ofd:FillColor>")
                             << 0 << QList<float>{} << 255 << true;
    QTest::newRow("pattern beside a value")
        << QByteArray("<ofd:FillColor Value='0 0 0'> <ofd:Pattern Width='2' "
                      "Height='2'><ofd:CellContent/></ofd:Pattern></ofd:FillColor>")
        << 0 << QList<float>{0, 0, 0} << 255 << true;
}

void TestValueTypes::fillColorForms()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, space);
    QFETCH(QList<float>, values);
    QFETCH(int, alpha);
    QFETCH(bool, special);
    OfdTypeFillColor color;
    QCOMPARE(color.GetColorSpaceId(), -1);
    QVERIFY(!color.IsSet());
    QCOMPARE(ParseInWrapper(xml, [&](QXmlStreamReader &r) { color.ParseXml(r); }), QStringLiteral("Next"));
    QVERIFY(color.IsSet());
    QCOMPARE(color.GetColorSpaceId(), space);
    QCOMPARE(color.GetValues(), values);
    QCOMPARE(color.GetAlpha(), alpha);
    QCOMPARE(color.GetSpecialColor() != nullptr, special);
}

void TestValueTypes::fillColorReachesDocument()
{
    FakeDocument document;
    document.AddSpace(4, QStringLiteral("GRAY"));
    document.AddSpace(6, QStringLiteral("CMYK"));
    OfdTypeFillColor color;
    ParseInWrapper("<ofd:FillColor ColorSpace='4' Value='100'/>",
                   [&](QXmlStreamReader &r) { color.ParseXml(r); });
    // Without a document the default RGB space applies: one value is not a colour there.
    QCOMPARE(color.CreateQColor().rgba(), QColor(0, 0, 0).rgba());
    FakeItem item(&document, 3);
    color.SetPageItem(&item);
    QCOMPARE(color.GetPageRefId(), 3);
    QCOMPARE(color.CreateQColor().rgba(), QColor(100, 100, 100).rgba());
    QCOMPARE(color.GetColorSpace(6)->GetType(), QStringLiteral("CMYK"));
    QCOMPARE(color.GetColorSpace(99), &document.defaultSpace);

    OfdTypeFillColor direct;
    direct.SetDocumentAccess(&document);
    QCOMPARE(direct.GetOfdFile(), &document);
    QCOMPARE(direct.GetPageRefId(), 0);

    const OfdTypeFillColor stroke = OfdTypeFillColor::CreateDefaultStrokeColor();
    QCOMPARE(stroke.GetColorSpaceId(), -2);
    QCOMPARE(stroke.GetValues(), (QList<float>{0, 0, 0}));
    QCOMPARE(stroke.CreateQColor().rgba(), QColor(0, 0, 0).rgba());
}

void TestValueTypes::drawParam()
{
    OfdTypeDrawParam param;
    QCOMPARE(ParseInWrapper("<ofd:DrawParam ID='5' LineWidth='0.5' Join='Round'>"
                            "<ofd:FillColor Value='1 2 3'/><x:StrokeColor Value='4 5 6'/><ofd:Other/>"
                            "</ofd:DrawParam>",
                            [&](QXmlStreamReader &r) { param.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(param.GetID(), QStringLiteral("5"));
    QCOMPARE(param.GetFillColor().GetValues(), (QList<float>{1, 2, 3}));
    QCOMPARE(param.GetStrokeColor().GetValues(), (QList<float>{4, 5, 6}));
    QCOMPARE(param.GetAttrs().size(), 3);
    bool found = false;
    QCOMPARE(param.GetAttrValue(QStringLiteral("LineWidth"), found), QStringLiteral("0.5"));
    QVERIFY(found);
    QCOMPARE(param.GetAttrValue(QStringLiteral("ID"), found), QStringLiteral("5"));
    QCOMPARE(param.GetAttrValue(QStringLiteral("Cap"), found, QStringLiteral("Butt")),
             QStringLiteral("Butt"));
    QVERIFY(!found);

    OfdTypeDrawParam bare;
    ParseInWrapper("<ofd:DrawParam ID='6'/>", [&](QXmlStreamReader &r) { bare.ParseXml(r); });
    QVERIFY(!bare.GetFillColor().IsSet());
    QVERIFY(!bare.GetStrokeColor().IsSet());
}

void TestValueTypes::fontAndMedia()
{
    OfdTypeFont font;
    QCOMPARE(ParseInWrapper("<ofd:Font ID='3' FontName='SimSun' FamilyName='Song' Bold='TRUE' Serif='x'>"
                            "<ofd:FontFile>\n  font_3.ttf \n</ofd:FontFile></ofd:Font>",
                            [&](QXmlStreamReader &r) { font.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(font.GetID(), 3);
    QCOMPARE(font.GetFontName(), QStringLiteral("SimSun"));
    QCOMPARE(font.GetFamilyName(), QStringLiteral("Song"));
    QVERIFY(font.IsBold());
    QVERIFY(!font.IsSerif());
    QVERIFY(!font.IsItalic());
    QCOMPARE(font.GetFontFile(), QStringLiteral("font_3.ttf"));

    OfdTypeMultiMedia media;
    QCOMPARE(ParseInWrapper("<ofd:MultiMedia ID='8' Type='Image' Format='PNG'><ofd:MediaFile>Res/a.b.PNG"
                            "</ofd:MediaFile></ofd:MultiMedia>",
                            [&](QXmlStreamReader &r) { media.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(media.GetID(), 8);
    QCOMPARE(media.GetType(), QStringLiteral("Image"));
    QCOMPARE(media.GetFormat(), QStringLiteral("PNG"));
    QCOMPARE(media.GetFileExt(), QStringLiteral("PNG"));
    media.SetMediaFile(QStringLiteral("noext"));
    QCOMPARE(media.GetFileExt(), QString());
}

void TestValueTypes::templateInfo()
{
    OfdTemplateInfo background;
    QCOMPARE(ParseInWrapper("<ofd:Template TemplateID='2'><ofd:Junk/></ofd:Template>",
                            [&](QXmlStreamReader &r) { background.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(background.GetTemplateID(), 2);
    QCOMPARE(background.GetZOrder(), QStringLiteral("Background"));
    OfdTemplateInfo foreground;
    ParseInWrapper("<ofd:Template TemplateID='3' ZOrder='Foreground'/>",
                   [&](QXmlStreamReader &r) { foreground.ParseXml(r); });
    QCOMPARE(foreground.GetZOrder(), QStringLiteral("Foreground"));
    OfdTemplateInfo empty;
    ParseInWrapper("<ofd:Template ZOrder=''/>", [&](QXmlStreamReader &r) { empty.ParseXml(r); });
    QCOMPARE(empty.GetTemplateID(), 0);
    QCOMPARE(empty.GetZOrder(), QStringLiteral("Background"));
}

void TestValueTypes::pageArea()
{
    OfdTypePageArea area;
    QCOMPARE(
        ParseInWrapper("<ofd:Area><ofd:PhysicalBox>0 0 100 100</ofd:PhysicalBox><ofd:CropBox>1 1 1 1"
                       "</ofd:CropBox><x:PhysicalBox> 0 0\n210 297 </x:PhysicalBox>"
                       "<ofd:PhysicalBox>bad</ofd:PhysicalBox><PhysicalBox>5 5 5 5</PhysicalBox></ofd:Area>",
                       [&](QXmlStreamReader &r) { area.ParseXml(r); }),
        QStringLiteral("Next"));
    QVERIFY(area.GetPhysicalBox());
    // The last readable box wins; an unprefixed element (default namespace) counts by its local name.
    QCOMPARE(*area.GetPhysicalBox(), QRectF(5, 5, 5, 5));
    OfdTypePageArea none;
    ParseInWrapper("<ofd:PageArea><ofd:ApplicationBox>0 0 1 1</ofd:ApplicationBox></ofd:PageArea>",
                   [&](QXmlStreamReader &r) { none.ParseXml(r); });
    QVERIFY(!none.GetPhysicalBox());
}

void TestValueTypes::compositeUnit()
{
    OfdTypeCompositeGraphicUnit unit;
    QCOMPARE(ParseInWrapper("<ofd:CompositeGraphicUnit ID='64' Width='37.5' Height='28'>"
                            "<ofd:Thumbnail>1</ofd:Thumbnail><ofd:Content ID='65'><ofd:ImageObject ID='66'/>"
                            "<ofd:PathObject ID='67'/></ofd:Content></ofd:CompositeGraphicUnit>",
                            [&](QXmlStreamReader &r) { unit.ParseXml(r); }),
             QStringLiteral("Next"));
    QCOMPARE(unit.GetID(), 64);
    QCOMPARE(unit.GetWidth(), 37.5f);
    QCOMPARE(unit.GetHeight(), 28.0f);
    QVERIFY(unit.GetContent());
    QCOMPARE(unit.GetContent()->GetID(), 65);
    QCOMPARE(unit.GetContent()->GetContentNode()->GetChildCount(), 2);
    QCOMPARE(unit.GetContent()->GetContentNode()->GetChild(1)->GetAttr(QStringLiteral("ID")),
             QStringLiteral("67"));

    OfdTypeCompositeGraphicUnit unprefixed;
    ParseInWrapper("<ofd:CompositeGraphicUnit ID='1'><Content ID='2'/></ofd:CompositeGraphicUnit>",
                   [&](QXmlStreamReader &r) { unprefixed.ParseXml(r); });
    QVERIFY(unprefixed.GetContent());
    QCOMPARE(unprefixed.GetContent()->GetID(), 2);
}

void TestValueTypes::clipsStructure()
{
    FakeDocument document;
    FakeItem item(&document);
    OfdTypePageClips clips(&item);
    QCOMPARE(ParseInWrapper(
                 "<ofd:Clips TransFlag='false'><ofd:Clip><ofd:Area CTM='0.3528 0 0 0.3528 0 0'>"
                 "<ofd:Path Boundary='0 0 10 10'><ofd:AbbreviatedData>M 0 0 L 1 1 C</ofd:AbbreviatedData>"
                 "</ofd:Path></ofd:Area><ofd:Area DrawParam='3'><ofd:Text/></ofd:Area></ofd:Clip>"
                 "<ofd:Other/><ofd:Clip/></ofd:Clips>",
                 [&](QXmlStreamReader &r) { clips.ParseXml(r); }),
             QStringLiteral("Next"));
    QVERIFY(!clips.GetTransFlag());
    QCOMPARE(clips.GetClipList().size(), 2);
    const OfdTypePageClip *clip = clips.GetClipList().first();
    QCOMPARE(clip->GetAreas().size(), 2);
    const OfdTypePageClip_Area *area = clip->GetAreas().first();
    QCOMPARE(area->GetCTM().GetCTMText(), QStringLiteral("0.3528 0 0 0.3528 0 0"));
    QCOMPARE(area->GetAreaNode()->GetChild(0)->GetName(), QStringLiteral("Path"));
    QCOMPARE(clip->GetAreas()[1]->GetDrawParam(), QStringLiteral("3"));
    QCOMPARE(area->GetOfdFile(), &document);

    OfdTypePageClips flagged;
    ParseInWrapper("<ofd:Clips/>", [&](QXmlStreamReader &r) { flagged.ParseXml(r); });
    QVERIFY(flagged.GetTransFlag()); // default
    QVERIFY(!flagged.GetPainterClip(nullptr));
    QVERIFY(!flagged.GetOfdFile());
}

static QPainterPath Square(double x, double y, double size)
{
    QPainterPath path;
    path.addRect(x, y, size, size);
    return path;
}

void TestValueTypes::clipGeometry()
{
    OfdTypePageClips clips;
    ParseInWrapper("<ofd:Clips TransFlag='false'><ofd:Clip><ofd:Area/><ofd:Area/></ofd:Clip>"
                   "<ofd:Clip><ofd:Area/></ofd:Clip></ofd:Clips>",
                   [&](QXmlStreamReader &r) { clips.ParseXml(r); });
    OfdTypePageClip *first = clips.GetClipList()[0];
    OfdTypePageClip *second = clips.GetClipList()[1];
    // First clip: two areas side by side (union); second clip overlaps both halves (intersection).
    first->GetAreas()[0]->AddItemOutline(OfdTypePageClip_Area::Outline_Path, Square(0, 0, 10));
    first->GetAreas()[1]->AddItemOutline(OfdTypePageClip_Area::Outline_Text, Square(10, 0, 10));
    second->GetAreas()[0]->AddItemOutline(OfdTypePageClip_Area::Outline_Path, Square(5, 0, 10));

    std::unique_ptr<QPainterPath> clip(clips.GetPainterClip(nullptr));
    QVERIFY(clip);
    QCOMPARE(clip->boundingRect(), QRectF(5, 0, 10, 10));

    // With TransFlag false the transform is applied inverted: a scale by 2 halves the outline.
    const QTransform scale = QTransform::fromScale(2, 2);
    clip.reset(clips.GetPainterClip(&scale));
    QCOMPARE(clip->boundingRect(), QRectF(2.5, 0, 5, 5));

    // Only path outlines count for the untransformed outline: the text area is left out.
    QCOMPARE(first->GetClip_PainterPath().boundingRect(), QRectF(0, 0, 10, 10));
    QCOMPARE(clips.GetClip_PainterPath().boundingRect(), QRectF(0, 0, 15, 10));

    // The last path outline is the clip in force on the painter.
    QImage image(40, 40, QImage::Format_ARGB32);
    QPainter painter(&image);
    QVERIFY(clips.SetPainterClip(&painter, QRectF(), nullptr));
    QCOMPARE(painter.clipBoundingRect(), QRectF(5, 0, 10, 10));
    painter.end();
}

QTEST_MAIN(TestValueTypes)
#include "test_valuetypes.moc"
