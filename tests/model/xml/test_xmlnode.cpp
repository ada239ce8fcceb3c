#include <QtTest>

#include <memory>

#include "model/xml/xmlhelper.h"
#include "model/xml/xmlnode.h"

// Building, numbering, looking up and serialising node trees.
class TestXmlNode : public QObject
{
    Q_OBJECT
private slots:
    void floatAttributes_data();
    void floatAttributes();
    void otherAttributes();
    void setAttrReplacesFirst();
    void numbering();
    void nodeLevelOfMalformedIds_data();
    void nodeLevelOfMalformedIds();
    void getOrCreateNodeFillsGaps();
    void getOrCreateNodeFindsExisting();
    void getOrCreateNodeRejectsForeignIds();
    void nextLevelNodeInfo_data();
    void nextLevelNodeInfo();
    void lookups();
    void getNodeByNameDepth();
    void setChildAndGetOrCreateChild();
    void serialiseEmptyElement();
    void serialiseEscaping();
    void serialiseIndent();
    void serialiseNamespaces();
    void escapeHelpers_data();
    void escapeHelpers();
};

void TestXmlNode::floatAttributes_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integral") << 210.0 << "210";
    QTest::newRow("297.0") << 297.0 << "297";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("six digits") << 123.456789 << "123.457";
    QTest::newRow("exponent") << 1234567.0 << "1.23457e+06";
    QTest::newRow("negative") << -2.25 << "-2.25";
}

void TestXmlNode::floatAttributes()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    XmlNode node;
    node.AddAttr(QStringLiteral("f"), float(value));
    node.AddAttr(QStringLiteral("d"), value);
    QCOMPARE(node.GetAttr(QStringLiteral("f")), text);
    QCOMPARE(node.GetAttr(QStringLiteral("d")), text);
}

void TestXmlNode::otherAttributes()
{
    XmlNode node;
    node.AddAttr(QStringLiteral("i"), 42);
    node.AddAttrBool(QStringLiteral("b"), false);
    node.AddAttrDateTime(QStringLiteral("t"), QDateTime(QDate(2024, 2, 29), QTime(7, 5, 9)));
    node.AddAttrIfNotEmpty(QStringLiteral("empty"), QString());
    node.AddAttrIfNotEmpty(QStringLiteral("full"), QStringLiteral("x"));
    QCOMPARE(node.GetAttr(QStringLiteral("i")), QStringLiteral("42"));
    QCOMPARE(node.GetAttr(QStringLiteral("b")), QStringLiteral("false"));
    QCOMPARE(node.GetAttr(QStringLiteral("t")), QStringLiteral("2024-02-29 07:05:09"));
    QCOMPARE(node.GetAttrs().size(), 4);
    QCOMPARE(node.GetAttr(QStringLiteral("full")), QStringLiteral("x"));
    QVERIFY(node.GetAttr(QStringLiteral("missing")).isEmpty());
}

void TestXmlNode::setAttrReplacesFirst()
{
    XmlNode node;
    node.AddAttr(QStringLiteral("a"), QStringLiteral("1"));
    node.AddAttr(QStringLiteral("a"), QStringLiteral("2"));
    node.SetAttr(QStringLiteral("a"), QStringLiteral("3"));
    node.SetAttr(QStringLiteral("b"), QStringLiteral("4"));
    QCOMPARE(node.GetAttrs().size(), 3);
    QCOMPARE(node.GetAttrs()[0].value, QStringLiteral("3"));
    QCOMPARE(node.GetAttrs()[1].value, QStringLiteral("2"));
    QCOMPARE(node.GetAttr(QStringLiteral("b")), QStringLiteral("4"));
}

void TestXmlNode::numbering()
{
    std::unique_ptr<XmlNode> root(XmlNode::FromData("<E><F/><G><H/></G></E>"));
    QVERIFY(root);
    QCOMPARE(root->GetNodeId(), QStringLiteral("0:0"));
    XmlNode *f = root->GetChild(0);
    XmlNode *g = root->GetChild(1);
    XmlNode *h = g->GetChild(0);
    QCOMPARE(f->GetNodeId(), QStringLiteral("0:0*1:0"));
    QCOMPARE(g->GetNodeId(), QStringLiteral("0:0*1:1"));
    QCOMPARE(h->GetNodeId(), QStringLiteral("0:0*1:1*2:0"));
    QCOMPARE(h->GetNodeLevel(), 2);
    int level = -1, index = -1;
    QVERIFY(g->GetNodeInfo(level, index));
    QCOMPARE(level, 1);
    QCOMPARE(index, 1);

    // Nodes added later are numbered only on request, and renumbering reaches the whole subtree.
    XmlNode *added = root->AddChildByName(QStringLiteral("I"), false);
    QVERIFY(added->GetNodeId().isEmpty());
    XmlNode *sub = new XmlNode;
    sub->AddChildByName(QStringLiteral("K"), false);
    root->AddChild(sub, true);
    QCOMPARE(sub->GetNodeId(), QStringLiteral("0:0*1:3"));
    QCOMPARE(sub->GetChild(0)->GetNodeId(), QStringLiteral("0:0*1:3*2:0"));
    root->ResetNodeId();
    QCOMPARE(added->GetNodeId(), QStringLiteral("0:0*1:2"));
}

void TestXmlNode::nodeLevelOfMalformedIds_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("level");
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("one part") << "0:0*7" << -1;
    QTest::newRow("three parts") << "0:0*1:2:3" << -1;
    QTest::newRow("letters") << "0:0*a:b" << -1;
    QTest::newRow("deep") << "0:0*1:0*2:0*3:9" << 3;
}

void TestXmlNode::nodeLevelOfMalformedIds()
{
    QFETCH(QString, id);
    QFETCH(int, level);
    XmlNode node;
    node.SetNodeId(id);
    QCOMPARE(node.GetNodeLevel(), level);
}

void TestXmlNode::getOrCreateNodeFillsGaps()
{
    XmlNode root;
    root.ResetNodeId();
    bool created = false;
    XmlNode *third = root.GetOrCreateNode(QStringLiteral("0:0*1:2"), created);
    QVERIFY(created);
    QVERIFY(third);
    QCOMPARE(root.GetChildCount(), 3);
    QCOMPARE(root.GetChild(0)->GetNodeId(), QStringLiteral("0:0*1:0"));
    QCOMPARE(root.GetChild(1)->GetNodeId(), QStringLiteral("0:0*1:1"));
    QCOMPARE(third, root.GetChild(2));
    QCOMPARE(third->GetNodeId(), QStringLiteral("0:0*1:2"));
    QVERIFY(root.GetChild(0)->GetName().isEmpty());
    QCOMPARE(third->GetParent(), &root);
}

void TestXmlNode::getOrCreateNodeFindsExisting()
{
    std::unique_ptr<XmlNode> root(XmlNode::FromData("<OFD><DocBody/><DocBody/></OFD>"));
    bool created = true;
    QCOMPARE(root->GetOrCreateNode(QStringLiteral("0:0*1:1"), created), root->GetChild(1));
    QVERIFY(!created);
    QCOMPARE(root->GetOrCreateNode(QStringLiteral("0:0"), created), root.get());
    QVERIFY(!created);
    QCOMPARE(root->GetChildCount(), 2);
}

void TestXmlNode::getOrCreateNodeRejectsForeignIds()
{
    XmlNode root;
    root.ResetNodeId();
    bool created = true;
    QVERIFY(!root.GetOrCreateNode(QStringLiteral("5:0*1:0"), created));
    QVERIFY(!created);
    QVERIFY(!root.GetOrCreateNode(QStringLiteral("0:0*x"), created));
    QCOMPARE(root.GetChildCount(), 0);
}

void TestXmlNode::nextLevelNodeInfo_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("index");
    QTest::newRow("child") << "0:0*1:4"
                           << "0:0" << true << 1 << 4;
    QTest::newRow("grandchild stops at star") << "0:0*1:4*2:7"
                                              << "0:0" << true << 1 << 4;
    QTest::newRow("base not shorter") << "0:0"
                                      << "0:0" << false << 0 << 0;
    QTest::newRow("malformed segment") << "0:0*14"
                                       << "0:0" << false << 0 << 0;
}

void TestXmlNode::nextLevelNodeInfo()
{
    QFETCH(QString, id);
    QFETCH(QString, base);
    QFETCH(bool, ok);
    int level = 0, index = 0;
    QCOMPARE(GetNextLevelNodeInfo(id, base, level, index), ok);
    if (ok) {
        QTEST(level, "level");
        QTEST(index, "index");
    }
}

void TestXmlNode::lookups()
{
    std::unique_ptr<XmlNode> root(
        XmlNode::FromData("<Res><Fonts><Font ID='1'/><Font ID='2'/></Fonts><ColorSpaces/><Fonts/></Res>"));
    QList<XmlNode *> fonts;
    QCOMPARE(root->GetAllChildByName(QStringLiteral("Fonts"), fonts), 2);
    QCOMPARE(root->GetOneChildByName(QStringLiteral("Fonts")), root->GetChild(0));
    QVERIFY(!root->GetOneChildByName(QStringLiteral("Font")));

    QCOMPARE(root->GetNodeById(QStringLiteral("0:0*1:0*2:1"))->GetAttr(QStringLiteral("ID")),
             QStringLiteral("2"));
    QVERIFY(!root->GetNodeById(QStringLiteral("0:0*1:0*2:5")));
    QVERIFY(!root->GetNodeById(QStringLiteral("9:9")));

    QList<XmlNode *> list;
    root->GetNode(list, QStringLiteral("0:0*1:0"));
    QCOMPARE(list.size(), 2);
    list.clear();
    root->GetNode(list, QStringLiteral("0:0*1:0"), 1);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0]->GetAttr(QStringLiteral("ID")), QStringLiteral("2"));
    list.clear();
    root->GetNode(list, QStringLiteral("0:0*1:0"), 2);
    QVERIFY(list.isEmpty());
}

void TestXmlNode::getNodeByNameDepth()
{
    std::unique_ptr<XmlNode> root(XmlNode::FromData("<A><B><C/></B><C ID='second'/></A>"));
    XmlNode *c = root->GetNodeByName(QStringLiteral("C"), -1);
    QVERIFY(c);
    QCOMPARE(c->GetParent()->GetName(), QStringLiteral("B")); // pre-order: the nested one first
    QCOMPARE(root->GetNodeByName(QStringLiteral("A"), 0), root.get());
    QVERIFY(!root->GetNodeByName(QStringLiteral("C"), 0));
    QVERIFY(!root->GetNodeByName(QStringLiteral("C"), -2));
    QVERIFY(root->GetNodeByName(QStringLiteral("C"), 1));
}

void TestXmlNode::setChildAndGetOrCreateChild()
{
    XmlNode root;
    root.ResetNodeId();
    XmlNode *a = root.SetChild(QStringLiteral("A"), QStringLiteral("one"));
    QCOMPARE(a->GetText(), QStringLiteral("one"));
    QCOMPARE(a->GetNodeId(), QStringLiteral("0:0*1:0"));
    QCOMPARE(root.SetChild(QStringLiteral("A"), QString()), a);
    QCOMPARE(a->GetText(), QStringLiteral("one"));
    root.SetChild(QStringLiteral("A"), QStringLiteral("two"));
    QCOMPARE(a->GetText(), QStringLiteral("two"));

    bool created = false;
    QCOMPARE(root.GetOrCreateChildByName(QStringLiteral("A"), created), a);
    QVERIFY(!created);
    XmlNode *b = root.GetOrCreateChildByName(QStringLiteral("B"), created);
    QVERIFY(created);
    QCOMPARE(b->GetNodeId(), QStringLiteral("0:0*1:1"));
    QCOMPARE(root.GetChildCount(), 2);
}

void TestXmlNode::serialiseEmptyElement()
{
    XmlNode root;
    root.SetName(QStringLiteral("Empty"));
    QCOMPARE(root.CreateXml(false),
             QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<ofd:Empty></ofd:Empty>\r\n"));
}

void TestXmlNode::serialiseEscaping()
{
    XmlNode root;
    root.SetName(QStringLiteral("T"));
    root.AddAttr(QStringLiteral("v"), QStringLiteral("a&b \"q\""));
    root.AddAttr(QStringLiteral("w"), QStringLiteral("it's"));
    root.SetText(QStringLiteral("<x> & it's"));
    const QString escaped = root.CreateXml(false);
    QVERIFY(escaped.contains(QStringLiteral("v=\"a&amp;b &quot;q&quot;\"")));
    QVERIFY(escaped.contains(QStringLiteral("w=\"it's\"")));
    QVERIFY(escaped.contains(QStringLiteral(">&lt;x&gt; &amp; it's</ofd:T>")));
    const QString plain = root.CreateXmlToPlainTxt(false);
    QVERIFY(plain.contains(QStringLiteral("v=\"a&b \"q\"\"")));
    QVERIFY(plain.contains(QStringLiteral("><x> & it's</ofd:T>")));

    // What CreateXml writes reads back to the same values.
    std::unique_ptr<XmlNode> back(XmlNode::FromData(escaped.toUtf8()));
    QVERIFY(back);
    QCOMPARE(back->GetAttr(QStringLiteral("v")), QStringLiteral("a&b \"q\""));
    QCOMPARE(back->GetText(), QStringLiteral("<x> & it's"));
}

void TestXmlNode::serialiseIndent()
{
    std::unique_ptr<XmlNode> root(XmlNode::FromData("<A><B><C>t</C></B></A>"));
    const QString text = root->CreateXml(true);
    QCOMPARE(text,
             QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
                            "<ofd:A>\r\n\t<ofd:B>\r\n\t\t<ofd:C>t</ofd:C>\r\n</ofd:B>\r\n</ofd:A>\r\n"));
    QVERIFY(!root->CreateXml(false).contains(QLatin1Char('\t')));
}

void TestXmlNode::serialiseNamespaces()
{
    std::unique_ptr<XmlNode> root(
        XmlNode::FromData("<Document xmlns='http://www.ofdspec.org/2016' "
                          "xmlns:x='urn:x'><Pages><x:Ext>1</x:Ext></Pages></Document>"));
    QVERIFY(root);
    QCOMPARE(root->GetNameSpace(), QStringLiteral("ofd"));
    QCOMPARE(root->GetNameSpaceUrl(), QStringLiteral("http://www.ofdspec.org/2016"));
    const QString text = root->CreateXml(false);
    QCOMPARE(text.count(QStringLiteral("xmlns:ofd=")), 1);
    QVERIFY(text.contains(
        QStringLiteral("<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\" xmlns:x=\"urn:x\">")));
    QVERIFY(text.contains(QStringLiteral("<x:Ext>1</x:Ext>")));
    QVERIFY(!text.contains(QStringLiteral("xmlns:=")));

    // The result is XML that parses to the same tree.
    std::unique_ptr<XmlNode> back(XmlNode::FromData(text.toUtf8()));
    QVERIFY(back);
    QCOMPARE(back->GetChild(0)->GetChild(0)->GetName(), QStringLiteral("Ext"));
    QCOMPARE(back->GetChild(0)->GetChild(0)->GetNameSpace(), QStringLiteral("x"));
    QCOMPARE(back->CreateXml(false), text);
}

void TestXmlNode::escapeHelpers_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<bool>("need");
    QTest::addColumn<QString>("out");
    QTest::newRow("plain") << "abc" << false << "abc";
    QTest::newRow("apostrophe") << "it's" << false << "it's";
    QTest::newRow("all") << "<a href=\"x\">&" << true << "&lt;a href=&quot;x&quot;&gt;&amp;";
    QTest::newRow("chinese") << QString::fromUtf8("发票&收据") << true << QString::fromUtf8("发票&amp;收据");
}

void TestXmlNode::escapeHelpers()
{
    QFETCH(QString, in);
    QFETCH(bool, need);
    QFETCH(QString, out);
    QCOMPARE(XmlHelper::IsNeedEscape(in), need);
    QCOMPARE(XmlHelper::XmlStringEscape(in), out);
    QCOMPARE(XmlHelper::GetXmlNameWithoutNamespace(QStringLiteral("ofd:Page")), QStringLiteral("Page"));
    QCOMPARE(XmlHelper::GetXmlNameWithoutNamespace(QStringLiteral("Page")), QStringLiteral("Page"));
}

QTEST_GUILESS_MAIN(TestXmlNode)
#include "test_xmlnode.moc"
