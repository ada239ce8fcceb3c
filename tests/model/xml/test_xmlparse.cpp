#include <QtTest>

#include <memory>

#include "model/xml/ofdxml.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "model/xml/xmlnode.h"
#include "model/xml/xmlnodeparse.h"

// Reading parts into trees, malformed input, and the streaming step the typed parsers use.
class TestXmlParse : public QObject
{
    Q_OBJECT
private slots:
    void textBeforeFirstChildOnly();
    void entitiesAndCdataKeepWholeText();
    void attributesInOrderWithoutPrefix();
    void undeclaredOfdPrefixIsAccepted();
    void otherUndeclaredPrefixStops();
    void malformedKeepsWhatWasRead_data();
    void malformedKeepsWhatWasRead();
    void encodingFromDeclaration();
    void childFilter();
    void deepNestingIsCapped();
    void formateXml();
    void streamStepWalksByDepthAndSuffix();
    void streamStepStopsOnError();
    void ofdXmlResolvesAgainstOwnPath();
};

void TestXmlParse::textBeforeFirstChildOnly()
{
    std::unique_ptr<XmlNode> a(XmlNode::FromData("<a>  <b>x</b>tail</a>"));
    QVERIFY(a);
    QCOMPARE(a->GetText(), QStringLiteral("  "));
    QCOMPARE(a->GetChild(0)->GetText(), QStringLiteral("x"));
    QCOMPARE(a->GetChildCount(), 1);
    const QString text = a->CreateXml(false);
    QVERIFY(!text.contains(QStringLiteral("tail")));
    QVERIFY(text.contains(QStringLiteral("<ofd:a>\r\n<ofd:b>x</ofd:b>\r\n</ofd:a>")));
}

void TestXmlParse::entitiesAndCdataKeepWholeText()
{
    std::unique_ptr<XmlNode> a(XmlNode::FromData("<a>R&amp;D &lt;1&gt; <![CDATA[<raw>]]> end</a>"));
    QVERIFY(a);
    QCOMPARE(a->GetText(), QStringLiteral("R&D <1> <raw> end"));
    std::unique_ptr<XmlNode> c(XmlNode::FromData("<a>left<!-- note -->right</a>"));
    QCOMPARE(c->GetText(), QStringLiteral("leftright"));
}

void TestXmlParse::attributesInOrderWithoutPrefix()
{
    std::unique_ptr<XmlNode> a(
        XmlNode::FromData("<ofd:Font xmlns:ofd='http://www.ofdspec.org/2016' xmlns:x='urn:x' ID='3' "
                          "x:Extra='e' FontName='&#23435;&#20307;' ID='dup'/>"));
    // Duplicate attributes are an XML error; nothing but what came before may survive.
    QVERIFY(!a || a->GetAttrs().size() <= 3);

    std::unique_ptr<XmlNode> b(
        XmlNode::FromData("<ofd:Font xmlns:ofd='http://www.ofdspec.org/2016' xmlns:x='urn:x' ID='3' "
                          "x:Extra='e' FontName='&#23435;&#20307;'/>"));
    QVERIFY(b);
    QCOMPARE(b->GetAttrs().size(), 3);
    QCOMPARE(b->GetAttrs()[0].name, QStringLiteral("ID"));
    QCOMPARE(b->GetAttrs()[1].name, QStringLiteral("Extra"));
    QCOMPARE(b->GetAttr(QStringLiteral("FontName")), QString::fromUtf8("宋体"));
    QCOMPARE(b->GetNameSpaceAttr().size(), 2);
}

void TestXmlParse::undeclaredOfdPrefixIsAccepted()
{
    std::unique_ptr<XmlNode> root(
        XmlNode::FromData("<ofd:OFD><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                          "</ofd:DocBody></ofd:OFD>"));
    QVERIFY(root);
    QCOMPARE(root->GetName(), QStringLiteral("OFD"));
    QCOMPARE(root->GetNameSpaceUrl(), QStringLiteral("http://www.ofdspec.org/2016"));
    QCOMPARE(root->GetNodeByName(QStringLiteral("DocRoot"))->GetText(), QStringLiteral("Doc_0/Document.xml"));
}

void TestXmlParse::otherUndeclaredPrefixStops()
{
    QTest::ignoreMessage(QtDebugMsg, "warning: QXmlStreamReader::Invalid");
    std::unique_ptr<XmlNode> root(XmlNode::FromData("<ofd:OFD><ofd:A/><foo:B/><ofd:C/></ofd:OFD>"));
    QVERIFY(root);
    QCOMPARE(root->GetChildCount(), 1);
    QCOMPARE(root->GetChild(0)->GetName(), QStringLiteral("A"));
}

void TestXmlParse::malformedKeepsWhatWasRead_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("hasRoot");
    QTest::addColumn<int>("children");
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("not xml") << QByteArray("PK\x03\x04 garbage") << false << 0;
    QTest::newRow("only declaration") << QByteArray("<?xml version='1.0'?>") << false << 0;
    QTest::newRow("truncated") << QByteArray("<a><b/><c>te") << true << 2;
    QTest::newRow("mismatched end") << QByteArray("<a><b></c></a>") << true << 1;
    QTest::newRow("bad utf8 is repaired") << QByteArray("<a><b>\xff\xfe</b><c/></a>") << true << 2;
    QTest::newRow("binary zero") << QByteArray("<a><b/>\0<c/></a>", 16) << true << 1;
}

void TestXmlParse::malformedKeepsWhatWasRead()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, hasRoot);
    QFETCH(int, children);
    std::unique_ptr<XmlNode> root(XmlNode::FromData(data));
    QCOMPARE(bool(root), hasRoot);
    if (root) {
        QCOMPARE(root->GetChildCount(), children);
        QCOMPARE(root->GetNodeId(), QStringLiteral("0:0"));
    } else {
        QCOMPARE(XmlNodeParse::FormateXml(data), QString());
    }
}

void TestXmlParse::encodingFromDeclaration()
{
    QByteArray gbk("<?xml version=\"1.0\" encoding=\"GB18030\"?><a>");
    gbk += QByteArray("\xcb\xce\xcc\xe5"); // 宋体 in GB18030
    gbk += "</a>";
    std::unique_ptr<XmlNode> root(XmlNode::FromData(gbk));
    QVERIFY(root);
    QCOMPARE(root->GetText(), QString::fromUtf8("宋体"));
}

void TestXmlParse::childFilter()
{
    const QByteArray page(
        "<ofd:Page xmlns:ofd='http://www.ofdspec.org/2016'><ofd:Area><ofd:PhysicalBox>0 0 100 50"
        "</ofd:PhysicalBox><ofd:Area/></ofd:Area><ofd:Content><ofd:Layer><ofd:Area/></ofd:Layer>"
        "</ofd:Content><ofd:Area/></ofd:Page>");
    std::unique_ptr<XmlNode> root(XmlNode::FromData(page, QStringLiteral("Area")));
    QVERIFY(root);
    QCOMPARE(root->GetChildCount(), 2);
    QCOMPARE(root->GetChild(0)->GetName(), QStringLiteral("Area"));
    QCOMPARE(root->GetChild(1)->GetName(), QStringLiteral("Area"));
    // Deeper elements are not filtered.
    QCOMPARE(root->GetChild(0)->GetChildCount(), 2);
    QCOMPARE(root->GetNodeByName(QStringLiteral("PhysicalBox"))->GetText(), QStringLiteral("0 0 100 50"));
}

void TestXmlParse::deepNestingIsCapped()
{
    const int depth = 100000;
    QByteArray data;
    data.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        data += "<a>";
    for (int i = 0; i < depth; ++i)
        data += "</a>";
    std::unique_ptr<XmlNode> root(XmlNode::FromData(data));
    QVERIFY(root);
    int levels = 1;
    for (XmlNode *n = root.get(); n->GetChildCount() > 0; n = n->GetChild(0))
        ++levels;
    QCOMPARE(levels, XmlNodeParse::kMaxDepth);
    QVERIFY(!root->CreateXml(true).isEmpty()); // serialising and destroying stay within the stack
}

void TestXmlParse::formateXml()
{
    const QString text = XmlNodeParse::FormateXml("<a x='1&amp;2'><b>t</b></a>");
    QCOMPARE(text, QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
                                  "<ofd:a x=\"1&amp;2\">\r\n\t<ofd:b>t</ofd:b>\r\n</ofd:a>\r\n"));
    QVERIFY(XmlNodeParse::FormateXmlToPlainTxt("<a x='1&amp;2'/>").contains(QStringLiteral("x=\"1&2\"")));
}

void TestXmlParse::streamStepWalksByDepthAndSuffix()
{
    const QByteArray data(
        "<ofd:OFD xmlns:ofd='http://www.ofdspec.org/2016'><ofd:DocBody>"
        "<ofd:DocInfo><ofd:DocID>id1</ofd:DocID><ofd:Unknown><ofd:DocRoot>no</ofd:DocRoot>"
        "</ofd:Unknown></ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
        "<DocRoot>unprefixed</DocRoot></ofd:DocBody><ofd:DocBody><ofd:DocRoot>Doc_1/Document.xml"
        "</ofd:DocRoot></ofd:DocBody></ofd:OFD>");
    OfdXmlStreamReader reader(data);
    OfdXmlStreamStep step(reader, QStringLiteral("OFD*:"));
    QStringList roots;
    QString docId;
    int skipped = 0;
    while (step.Next()) {
        if (step.IsAt(1, QLatin1String(":OFD")) || step.IsAt(2, QLatin1String(":DocBody")) ||
            step.IsAt(3, QLatin1String(":DocInfo")))
            continue;
        if (step.IsAt(3, QLatin1String(":DocRoot")))
            roots << step.ReadText();
        else if (step.IsAt(4, QLatin1String(":DocID")))
            docId = step.ReadText();
        else {
            ++skipped;
            step.Skip();
        }
    }
    QVERIFY(!step.HasError());
    // Elements match by local name: the unprefixed DocRoot (a default namespace) counts as well.
    QCOMPARE(roots, QStringList({QStringLiteral("Doc_0/Document.xml"), QStringLiteral("unprefixed"),
                                 QStringLiteral("Doc_1/Document.xml")}));
    QCOMPARE(docId, QStringLiteral("id1"));
    QCOMPARE(skipped, 1); // the unknown element
    QCOMPARE(step.GetDepth(), 0);
}

void TestXmlParse::streamStepStopsOnError()
{
    OfdXmlStreamReader reader("<ofd:A><ofd:B>x</ofd:B><ofd:C>");
    OfdXmlStreamStep step(reader, QStringLiteral("A*:"));
    int visited = 0;
    while (step.Next()) {
        ++visited;
        QVERIFY(visited < 10);
    }
    QVERIFY(step.HasError());
    QCOMPARE(visited, 3);
}

void TestXmlParse::ofdXmlResolvesAgainstOwnPath()
{
    OfdXml part;
    part.SetOfdFilePath(QStringLiteral("Doc_0/DocumentRes.xml"));
    QCOMPARE(part.GetOfdFullPath(QStringLiteral("Res/a.png")), QStringLiteral("Doc_0/Res/a.png"));
    QCOMPARE(part.GetOfdFullPath(QStringLiteral("Res"), QStringLiteral("image_1.png")),
             QStringLiteral("Doc_0/Res/image_1.png"));
    QCOMPARE(part.GetOfdFullPath(QStringLiteral("Res"), QString()), QString());
    part.SetRootNode(XmlNode::FromData("<a/>"));
    QVERIFY(part.GetRootNode());
}

QTEST_GUILESS_MAIN(TestXmlParse)
#include "test_xmlparse.moc"
