#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "app/qthelper.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/xmlnode.h"

// Attribute readers, number lists and colour arithmetic shared by every value type.
class TestOfdHelper : public QObject
{
    Q_OBJECT
private slots:
    void attributeReaders_data();
    void attributeReaders();
    void boolReader_data();
    void boolReader();
    void deltaList_data();
    void deltaList();
    void deltaListRepetitionIsCapped();
    void numbersAsTheGeneralReader_data();
    void numbersAsTheGeneralReader();
    void manyDecimalsAsTheGeneralReader();
    void colorValue_data();
    void colorValue();
    void rect_data();
    void rect();
    void numberText_data();
    void numberText();
    void deltaListText();
    void createColor_data();
    void createColor();
    void cmykArithmetic_data();
    void cmykArithmetic();
    void colorElementAdjustsBitDepth_data();
    void colorElementAdjustsBitDepth();
    void elementTreeLeavesReaderOnEndTag();
};

// The attributes of the first element of xml.
static QXmlStreamAttributes AttrsOf(const QByteArray &xml)
{
    OfdXmlStreamReader reader(xml);
    reader.readNextStartElement();
    return reader.attributes();
}

void TestOfdHelper::attributeReaders_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("intValue");
    QTest::addColumn<double>("doubleValue");
    QTest::addColumn<QString>("stringValue");
    QTest::newRow("absent gives defaults") << QByteArray("<a/>") << 7 << 2.5 << "dflt";
    QTest::newRow("empty gives defaults") << QByteArray("<a I='' D='' S=''/>") << 7 << 2.5 << "dflt";
    QTest::newRow("blank numbers give defaults")
        << QByteArray("<a I='  ' D='&#9;' S='s'/>") << 7 << 2.5 << "s";
    QTest::newRow("plain") << QByteArray("<a I='12' D='0.25' S='x'/>") << 12 << 0.25 << "x";
    QTest::newRow("padded") << QByteArray("<a I=' 12 ' D='  -3.5 ' S=' x '/>") << 12 << -3.5 << " x ";
    QTest::newRow("unconvertible reads 0") << QByteArray("<a I='abc' D='1.2.3' S='y'/>") << 0 << 0.0 << "y";
    QTest::newRow("decimal integer truncated")
        << QByteArray("<a I='255.9' D='1e2' S='z'/>") << 255 << 100.0 << "z";
    QTest::newRow("integer out of range reads 0")
        << QByteArray("<a I='1e300' D='-2' S='z'/>") << 0 << -2.0 << "z";
    QTest::newRow("nan integer reads 0") << QByteArray("<a I='nan' D='5' S='z'/>") << 0 << 5.0 << "z";
}

void TestOfdHelper::attributeReaders()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, intValue);
    QFETCH(double, doubleValue);
    QFETCH(QString, stringValue);
    const QXmlStreamAttributes attrs = AttrsOf(xml);
    QCOMPARE(OfdHelper::GetAttrInt(attrs, QLatin1String("I"), 7), intValue);
    QCOMPARE(OfdHelper::GetAttrDouble(attrs, QLatin1String("D"), 2.5), doubleValue);
    QCOMPARE(OfdHelper::GetAttrFloat(attrs, QLatin1String("D"), 2.5f), float(doubleValue));
    QCOMPARE(OfdHelper::GetAttrString(attrs, QLatin1String("S"), QStringLiteral("dflt")), stringValue);
}

void TestOfdHelper::boolReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("result");
    QTest::newRow("true") << "true" << false << true;
    QTest::newRow("any case") << "TrUe" << false << true;
    QTest::newRow("padded") << " true\n" << false << true;
    QTest::newRow("false") << "false" << true << false;
    QTest::newRow("other word is false") << "yes" << true << false;
    QTest::newRow("one is false") << "1" << true << false;
    QTest::newRow("empty keeps default true") << "" << true << true;
    QTest::newRow("empty keeps default false") << "" << false << false;
}

void TestOfdHelper::boolReader()
{
    QFETCH(QString, text);
    QFETCH(bool, def);
    QFETCH(bool, result);
    QCOMPARE(OfdHelper::StringToBool(text, def), result);
}

void TestOfdHelper::deltaList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("values");
    QTest::newRow("plain") << "1 2 3" << QList<double>{1, 2, 3};
    QTest::newRow("repetition") << "g 3 2.5 1" << QList<double>{2.5, 2.5, 2.5, 1};
    QTest::newRow("zero repetitions") << "g 0 5 1" << QList<double>{1};
    QTest::newRow("negative repetitions") << "g -2 5 1" << QList<double>{1};
    QTest::newRow("fractional count truncated") << "g 2.9 4" << QList<double>{4, 4};
    QTest::newRow("repetition in the middle") << "1 g 2 3 4" << QList<double>{1, 3, 3, 4};
    QTest::newRow("single precision value") << "g 1 0.1" << QList<double>{double(0.1f)};
    QTest::newRow("odd white space") << "  1\t2\n\n 3  " << QList<double>{1, 2, 3};
    QTest::newRow("repetition without value") << "1 g 3" << QList<double>{1};
    QTest::newRow("nan count") << "g nan 2 7" << QList<double>{7};
    QTest::newRow("unconvertible token is 0") << "1 x 2" << QList<double>{1, 0, 2};
    QTest::newRow("empty") << "" << QList<double>{};
}

void TestOfdHelper::deltaList()
{
    QFETCH(QString, text);
    QFETCH(QList<double>, values);
    QCOMPARE(OfdHelper::ParseDeltaList(text), values);
}

namespace {
// What the locale's reader makes of a token, 0 when it takes none.
double GeneralReader(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

void TestOfdHelper::numbersAsTheGeneralReader_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"0",
                             "-0",
                             "+0",
                             "7",
                             "+5",
                             "-12",
                             "4.2",
                             "0.1",
                             "-0.35",
                             ".5",
                             "-.5",
                             "5.",
                             "1.",
                             "007.250",
                             "123456789012345",
                             "1234567890123456",
                             "0.000000000000001",
                             "0.1234567890123456",
                             "1e3",
                             "-2.5E-2",
                             "inf",
                             "-inf",
                             "nan",
                             ".",
                             "-",
                             "+",
                             "",
                             "1.2.3",
                             "1,5",
                             "--1",
                             " 3.5",
                             "3.5 ",
                             "0x10",
                             "99999999999999.9",
                             "0.30000000000000004",
                             "210",
                             "297.000000"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestOfdHelper::numbersAsTheGeneralReader()
{
    // The same double to the last bit (so -0 stays -0), whether a token takes the short way or not.
    QFETCH(QString, text);
    const double expected = GeneralReader(text);
    QVERIFY2(SameBits(OfdHelper::ToDouble(text), expected), qPrintable(text));
    const QList<double> list = OfdHelper::ParseDeltaList(text);
    if (!text.trimmed().isEmpty()) {
        QCOMPARE(list.size(), 1);
        QVERIFY2(SameBits(list[0], expected), qPrintable(text));
    }
}

void TestOfdHelper::manyDecimalsAsTheGeneralReader()
{
    // Decimals of every length the short way reads, with the point anywhere: each is the correctly
    // rounded double, as the general reader gives.
    QRandomGenerator random(18);
    for (int n = 0; n < 50000; ++n) {
        const int digits = 1 + int(random.bounded(15));
        QString text;
        if (random.bounded(3) == 0)
            text += QLatin1Char('-');
        const int point = int(random.bounded(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                text += QLatin1Char('.');
            text += QLatin1Char(char('0' + random.bounded(10)));
        }
        const double expected = GeneralReader(text);
        if (!SameBits(OfdHelper::ToDouble(text), expected))
            QFAIL(qPrintable(QStringLiteral("%1 read as %2, not %3")
                                 .arg(text)
                                 .arg(OfdHelper::ToDouble(text), 0, 'g', 17)
                                 .arg(expected, 0, 'g', 17)));
    }
}

void TestOfdHelper::deltaListRepetitionIsCapped()
{
    const QList<double> huge = OfdHelper::ParseDeltaList(QStringLiteral("1 g 1000000000 2 3"));
    QCOMPARE(huge.size(), OfdHelper::kMaxDeltaCount);
    QCOMPARE(huge.first(), 1.0);
    QCOMPARE(huge.last(), 2.0);
    const QList<double> infinite = OfdHelper::ParseDeltaList(QStringLiteral("g inf 2"));
    QCOMPARE(infinite.size(), OfdHelper::kMaxDeltaCount);
}

void TestOfdHelper::colorValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<float>>("values");
    QTest::newRow("decimal") << "255 0 128" << QList<float>{255, 0, 128};
    QTest::newRow("hex tokens") << "#FF 0 #80" << QList<float>{255, 0, 128};
    QTest::newRow("lower-case hex") << "#ee #20 #25" << QList<float>{238, 32, 37};
    QTest::newRow("hex zero") << "#0 #0 #0" << QList<float>{0, 0, 0};
    QTest::newRow("html form") << "#FF8001" << QList<float>{255, 128, 1};
    QTest::newRow("html form padded") << "  #00ff00 " << QList<float>{0, 255, 0};
    QTest::newRow("long hex among others stays one value") << "#FF8001 1" << QList<float>{16744449, 1};
    QTest::newRow("bad hex reads 0") << "#G1 2" << QList<float>{0, 2};
    QTest::newRow("fraction kept") << "12.75" << QList<float>{12.75f};
    QTest::newRow("tabs and newlines") << "1\t2\n3" << QList<float>{1, 2, 3};
}

void TestOfdHelper::colorValue()
{
    QFETCH(QString, text);
    QFETCH(QList<float>, values);
    QCOMPARE(OfdHelper::ParseColorValue(text), values);
}

void TestOfdHelper::rect_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("four") << "0 0 210 297" << true << QRectF(0, 0, 210, 297);
    QTest::newRow("odd spacing") << " 1  2\t3\n4 " << true << QRectF(1, 2, 3, 4);
    QTest::newRow("more uses first four") << "1 2 3 4 5" << true << QRectF(1, 2, 3, 4);
    QTest::newRow("single precision") << "0.1 0 1 1" << true << QRectF(double(0.1f), 0, 1, 1);
    QTest::newRow("three is empty") << "1 2 3" << false << QRectF();
    QTest::newRow("empty") << "" << false << QRectF();
    QTest::newRow("infinite is empty") << "0 0 inf 3" << false << QRectF();
    QTest::newRow("beyond float is empty") << "0 0 1e300 3" << false << QRectF();
}

void TestOfdHelper::rect()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QRectF, rect);
    QRectF out(9, 9, 9, 9);
    QCOMPARE(OfdHelper::PasrseRect(text, out), ok);
    QCOMPARE(out, rect);
}

void TestOfdHelper::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 210.0 << "210";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("negative") << -1.25 << "-1.25";
    QTest::newRow("many digits") << 0.3528 << "0.3528";
    QTest::newRow("large") << 1e20 << "1e+20";
}

void TestOfdHelper::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(OfdHelper::NumberText(value), text);
    QCOMPARE(OfdHelper::NumberTextF(float(value)), text);
}

void TestOfdHelper::deltaListText()
{
    QCOMPARE(GetTextDeltaList({2.5, 2.5, 1}), QStringLiteral("2.5 2.5 1"));
    QCOMPARE(GetTextDeltaList({}), QString());
    QCOMPARE(OfdHelper::NumberTextF(0.1f), QStringLiteral("0.1"));
}

void TestOfdHelper::createColor_data()
{
    QTest::addColumn<QString>("space");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<QColor>("color");
    QTest::newRow("rgb") << "RGB" << QList<float>{255, 0, 128} << 255 << QColor(255, 0, 128);
    QTest::newRow("rgb truncates") << "RGB" << QList<float>{10.9f, 20.5f, 0.4f} << 255 << QColor(10, 20, 0);
    QTest::newRow("rgb with alpha") << "RGB" << QList<float>{1, 2, 3} << 128 << QColor(1, 2, 3, 128);
    QTest::newRow("rgb two values is black") << "RGB" << QList<float>{255, 255} << 255 << QColor(0, 0, 0);
    QTest::newRow("rgb four values is black")
        << "RGB" << QList<float>{255, 255, 255, 0} << 255 << QColor(0, 0, 0);
    QTest::newRow("black keeps alpha") << "RGB" << QList<float>{} << 100 << QColor(0, 0, 0, 100);
    QTest::newRow("rgb out of range clamps")
        << "RGB" << QList<float>{300, -5, 16744449} << 255 << QColor(255, 0, 255);
    QTest::newRow("gray") << "GRAY" << QList<float>{200} << 255 << QColor(200, 200, 200);
    QTest::newRow("gray three values is black")
        << "GRAY" << QList<float>{200, 200, 200} << 255 << QColor(0, 0, 0);
    QTest::newRow("cmyk white") << "CMYK" << QList<float>{0, 0, 0, 0} << 255 << QColor(255, 255, 255);
    QTest::newRow("cmyk k 255 is black") << "CMYK" << QList<float>{0, 50, 100, 255} << 255 << QColor(0, 0, 0);
    QTest::newRow("cmyk without k") << "CMYK" << QList<float>{255, 100, 0, 0} << 255 << QColor(0, 155, 255);
    // 255·(1 − 51/255)·(1 − 102/255) = 122.4 → 122; 255·(1 − 204/255)·0.6 = 30.6 → 31.
    QTest::newRow("cmyk rounds half up")
        << "CMYK" << QList<float>{51, 204, 0, 102} << 255 << QColor(122, 31, 153);
    QTest::newRow("cmyk three values is black") << "CMYK" << QList<float>{0, 0, 0} << 255 << QColor(0, 0, 0);
    QTest::newRow("unknown space is black") << "LAB" << QList<float>{50, 0, 0} << 255 << QColor(0, 0, 0);
    QTest::newRow("lower-case type is unknown")
        << "rgb" << QList<float>{255, 255, 255} << 255 << QColor(0, 0, 0);
    QTest::newRow("nan component is 0")
        << "RGB" << QList<float>{std::numeric_limits<float>::quiet_NaN(), 255, 255} << 255
        << QColor(0, 255, 255);
    QTest::newRow("alpha clamped") << "RGB" << QList<float>{1, 1, 1} << 999 << QColor(1, 1, 1, 255);
}

void TestOfdHelper::createColor()
{
    QFETCH(QString, space);
    QFETCH(QList<float>, values);
    QFETCH(int, alpha);
    QFETCH(QColor, color);
    const OfdTypeColorSpace colorSpace(5, space, 8);
    const QColor made = OfdHelper::CreateQColor(values, colorSpace, alpha);
    QCOMPARE(made.rgba(), color.rgba());
}

void TestOfdHelper::cmykArithmetic_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("channel");
    QTest::newRow("no ink") << 0 << 0 << 255;
    QTest::newRow("full ink") << 255 << 0 << 0;
    QTest::newRow("half k") << 0 << 128 << 127;       // 255·(127/255) = 127
    QTest::newRow("quarter each") << 64 << 64 << 143; // 255·(191/255)·(191/255) = 143.06
    QTest::newRow("k 1") << 0 << 1 << 254;
    QTest::newRow("k 255") << 0 << 255 << 0;
}

void TestOfdHelper::cmykArithmetic()
{
    QFETCH(int, c);
    QFETCH(int, k);
    QFETCH(int, channel);
    const QColor color = QtHelper::CMYK2RGB(c, c, c, k);
    QCOMPARE(color.red(), channel);
    QCOMPARE(color.green(), channel);
    QCOMPARE(color.blue(), channel);
}

void TestOfdHelper::colorElementAdjustsBitDepth_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QColor>("color");
    QTest::newRow("1 bit") << 1 << "1 0 1" << QColor(255, 0, 255);
    QTest::newRow("2 bits") << 2 << "3 1 2" << QColor(255, 85, 170);
    QTest::newRow("4 bits") << 4 << "15 1 8" << QColor(255, 17, 136);
    QTest::newRow("8 bits as written") << 8 << "15 1 8" << QColor(15, 1, 8);
    QTest::newRow("16 bits") << 16 << "65535 0 32768" << QColor(255, 0, 127);
    QTest::newRow("16 bits just below a step") << 16 << "257 514 65278" << QColor(1, 2, 254);
    QTest::newRow("absent depth is 8") << 0 << "15 1 8" << QColor(15, 1, 8);
    QTest::newRow("other depth as written") << 12 << "15 1 8" << QColor(15, 1, 8);
}

void TestOfdHelper::colorElementAdjustsBitDepth()
{
    QFETCH(int, bits);
    QFETCH(QString, value);
    QFETCH(QColor, color);
    const OfdTypeColorSpace space(3, OfdTypeColorSpace::ColorSpaceType_RGB, bits);
    OfdTypeFillColor fill;
    fill.SetColorSpaceId(3);
    fill.SetValues(OfdHelper::ParseColorValue(value));
    QCOMPARE(OfdHelper::CreateQColor(fill, space).rgba(), color.rgba());
    QCOMPARE(fill.GetValues(), OfdHelper::ParseColorValue(value)); // the colour itself is not changed
}

void TestOfdHelper::elementTreeLeavesReaderOnEndTag()
{
    OfdXmlStreamReader reader("<r><ofd:Area CTM='1 0 0 1 0 0'><ofd:Path ID='1'><ofd:AbbreviatedData>M 0 0"
                              "</ofd:AbbreviatedData></ofd:Path>text<ofd:Text/></ofd:Area><after/></r>");
    reader.readNextStartElement();
    reader.readNextStartElement();
    std::unique_ptr<XmlNode> tree(OfdHelper::ReadCurrentElementTree(reader));
    QVERIFY(tree);
    QCOMPARE(tree->GetName(), QStringLiteral("Area"));
    QCOMPARE(tree->GetAttr(QStringLiteral("CTM")), QStringLiteral("1 0 0 1 0 0"));
    QCOMPARE(tree->GetChildCount(), 2);
    QCOMPARE(tree->GetChild(0)->GetChild(0)->GetText(), QStringLiteral("M 0 0"));
    QVERIFY(reader.isEndElement());
    QCOMPARE(reader.name().toString(), QStringLiteral("Area"));
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.name().toString(), QStringLiteral("after"));
    std::unique_ptr<XmlNode> after(OfdHelper::ReadCurrentElementTree(reader));
    QVERIFY(after && after->GetChildCount() == 0);
    QVERIFY(reader.isEndElement());
    QVERIFY(!OfdHelper::ReadCurrentElementTree(reader)); // not on a start element
}

QTEST_MAIN(TestOfdHelper)
#include "test_ofdhelper.moc"
