#include <QtTest>

#include "model/document/ofddocumentcommondata.h"
#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdrootdocbody.h"
#include "model/document/ofdtemplatepageattr.h"
#include "model/document/ofdxmldocument.h"
#include "model/document/ofdxmlroot.h"
#include "model/xml/xmlnode.h"

// The entry file and the document descriptor: what is read, how locations become package paths.
class TestOfdDescriptors : public QObject
{
    Q_OBJECT
private slots:
    void twoBodies();
    void docRootForms_data();
    void docRootForms();
    void rootToleratesOddInput();
    void documentLocations_data();
    void documentLocations();
    void commonData();
    void pages();
    void withoutCommonData();
    void prefixes();
    void docRootAttribute_data();
    void docRootAttribute();
    void brokenXmlKeepsWhatWasRead();
    void normalize_data();
    void normalize();
};

static const QByteArray kNs = "xmlns:ofd='http://www.ofdspec.org/2016'";

void TestOfdDescriptors::twoBodies()
{
    OfdXmlRoot root;
    root.PasrseXml(
        "<ofd:OFD " + kNs +
        " DocType='OFD' Version='1.1'>"
        "<ofd:DocBody><ofd:DocInfo><ofd:DocID>x</ofd:DocID><ofd:DocRoot>no</ofd:DocRoot></ofd:DocInfo>"
        "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
        "<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures></ofd:DocBody>"
        "<ofd:Other><ofd:DocBody><ofd:DocRoot>nested</ofd:DocRoot></ofd:DocBody></ofd:Other>"
        "<ofd:DocBody><ofd:DocRoot>/Doc_1/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>");
    QCOMPARE(root.GetDocCount(), 2);
    QCOMPARE(root.GetDocRootPath(0), QStringLiteral("Doc_0/Document.xml"));
    QCOMPARE(root.GetDocBody(0)->GetSignaturesPath(), QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QCOMPARE(root.GetDocRootPath(1), QStringLiteral("Doc_1/Document.xml"));
    QVERIFY(root.GetDocBody(1)->GetSignaturesPath().isEmpty());
    QCOMPARE(root.GetDocRootPath(2), QString());
    QVERIFY(!root.GetDocBody(-1));
    QCOMPARE(root.GetDocBody(1)->GetParent(), &root);
}

void TestOfdDescriptors::docRootForms_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("relative") << QByteArray("Doc_0/Document.xml") << "Doc_0/Document.xml";
    QTest::newRow("absolute") << QByteArray("/Doc_0/Document.xml") << "Doc_0/Document.xml";
    QTest::newRow("dot slash") << QByteArray("./Doc_0/Document.xml") << "Doc_0/Document.xml";
    QTest::newRow("surrounding white space")
        << QByteArray("\n\t Doc_0/Document.xml \n") << "Doc_0/Document.xml";
    QTest::newRow("empty") << QByteArray("") << "";
}

void TestOfdDescriptors::docRootForms()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, path);
    OfdXmlRoot root;
    root.PasrseXml("<ofd:OFD " + kNs + "><ofd:DocBody><ofd:DocRoot>" + text +
                   "</ofd:DocRoot></ofd:DocBody></ofd:OFD>");
    QCOMPARE(root.GetDocCount(), 1);
    QCOMPARE(root.GetDocRootPath(0), path);
}

void TestOfdDescriptors::rootToleratesOddInput()
{
    OfdXmlRoot empty;
    empty.PasrseXml(QByteArray());
    QCOMPARE(empty.GetDocCount(), 0);
    OfdXmlRoot garbage;
    garbage.PasrseXml("not xml at all <<<");
    QCOMPARE(garbage.GetDocCount(), 0);
    OfdXmlRoot noDocRoot;
    noDocRoot.PasrseXml("<ofd:OFD><ofd:DocBody/></ofd:OFD>");
    QCOMPARE(noDocRoot.GetDocCount(), 1);
    QVERIFY(noDocRoot.GetDocRootPath(0).isEmpty());
    // The root element's name is not examined.
    OfdXmlRoot otherRoot;
    otherRoot.PasrseXml(
        "<ofd:Package><ofd:DocBody><ofd:DocRoot>a.xml</ofd:DocRoot></ofd:DocBody></ofd:Package>");
    QCOMPARE(otherRoot.GetDocRootPath(0), QStringLiteral("a.xml"));
}

void TestOfdDescriptors::documentLocations_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("public res") << "PublicRes"
                                << "PublicRes.xml"
                                << "Doc_0/PublicRes.xml";
    QTest::newRow("public res absolute") << "PublicRes"
                                         << "/Doc_0/PublicRes.xml"
                                         << "Doc_0/PublicRes.xml";
    QTest::newRow("document res dot") << "DocumentRes"
                                      << "./DocumentRes.xml"
                                      << "Doc_0/DocumentRes.xml";
    QTest::newRow("document res parent") << "DocumentRes"
                                         << "../Doc_0/DocumentRes.xml"
                                         << "Doc_0/DocumentRes.xml";
    QTest::newRow("annotations") << "Annotations"
                                 << "Annots/Annotations.xml"
                                 << "Doc_0/Annots/Annotations.xml";
    QTest::newRow("custom tags") << "CustomTags"
                                 << " Tags/CustomTags.xml "
                                 << "Doc_0/Tags/CustomTags.xml";
    QTest::newRow("attachments") << "Attachments"
                                 << "Attachs/Attachments.xml"
                                 << "Doc_0/Attachs/Attachments.xml";
}

void TestOfdDescriptors::documentLocations()
{
    QFETCH(QString, element);
    QFETCH(QString, text);
    QFETCH(QString, path);
    const bool common = element.endsWith(QLatin1String("Res"));
    QString xml = QStringLiteral("<ofd:Document xmlns:ofd='http://www.ofdspec.org/2016'>");
    const QString item = QStringLiteral("<ofd:%1>%2</ofd:%1>").arg(element, text);
    xml += common ? QStringLiteral("<ofd:CommonData>%1</ofd:CommonData>").arg(item) : item;
    xml += QStringLiteral("</ofd:Document>");
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml(xml.toUtf8());
    QString got;
    if (element == QLatin1String("PublicRes"))
        got = document.GetPublicResPath();
    else if (element == QLatin1String("DocumentRes"))
        got = document.GetDocumentResPath();
    else if (element == QLatin1String("Annotations"))
        got = document.GetAnnotationsPath();
    else if (element == QLatin1String("CustomTags"))
        got = document.GetCustomTagsPath();
    else
        got = document.GetAttachmentsPath();
    QCOMPARE(got, path);
}

void TestOfdDescriptors::commonData()
{
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml(
        "<ofd:Document " + kNs +
        "><ofd:CommonData>"
        "<ofd:MaxUnitID> 119 </ofd:MaxUnitID>"
        "<ofd:PublicRes>Old.xml</ofd:PublicRes><ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
        "<ofd:TemplatePage ID='2' BaseLoc='/Doc_0/Tpls/Tpl_0/Content.xml'><ofd:X/></ofd:TemplatePage>"
        "<ofd:TemplatePage BaseLoc='Tpls/Tpl_1/Content.xml' ID='57'/>"
        "<ofd:TemplatePage ID='abc'/>"
        "<ofd:PageArea><ofd:PhysicalBox>0 0 100 100</ofd:PhysicalBox></ofd:PageArea>"
        "<ofd:PageArea><ofd:PhysicalBox>0.000000 0.000000 209.956389 297.027602</ofd:PhysicalBox>"
        "</ofd:PageArea><ofd:DefaultCS>1</ofd:DefaultCS></ofd:CommonData></ofd:Document>");
    const OfdDocumentCommonData *common = document.GetCommonData();
    QVERIFY(common);
    QCOMPARE(common->GetMaxUnitID(), 119);
    QCOMPARE(document.GetPublicResPath(), QStringLiteral("Doc_0/PublicRes.xml"));
    QCOMPARE(common->GetTemplatePages().size(), 3);
    QCOMPARE(document.GetTemplatePageAttr(2)->GetBaseLoc(), QStringLiteral("Doc_0/Tpls/Tpl_0/Content.xml"));
    QCOMPARE(document.GetTemplatePageAttr(57)->GetBaseLoc(), QStringLiteral("Doc_0/Tpls/Tpl_1/Content.xml"));
    QCOMPARE(document.GetTemplatePageAttr(0)->GetBaseLoc(), QString()); // non-numeric ID reads 0
    QVERIFY(!document.GetTemplatePageAttr(3));
    QRectF box;
    QVERIFY(document.GetPageArea_PhysicalBox(box));
    QCOMPARE(box, QRectF(0, 0, double(209.956389f), double(297.027602f)));
}

void TestOfdDescriptors::pages()
{
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml("<ofd:Document " + kNs +
                       "><ofd:Pages>"
                       "<ofd:Page ID='1' BaseLoc='Pages/Page_0/Content.xml'><ofd:Junk/></ofd:Page>"
                       "<ofd:Page BaseLoc='/Doc_0/Pages/Page_1/Content.xml'/>"
                       "<ofd:Other ID='9' BaseLoc='x'/>"
                       "<ofd:Page ID='39' BaseLoc='../Doc_0/Pages/Page_2/Content.xml'/>"
                       "<ofd:Page ID=' 4 ' BaseLoc='./Pages/Page_3/Content.xml'/>"
                       "</ofd:Pages></ofd:Document>");
    QCOMPARE(document.GetPageCount(), 4);
    const QStringList paths{"Doc_0/Pages/Page_0/Content.xml", "Doc_0/Pages/Page_1/Content.xml",
                            "Doc_0/Pages/Page_2/Content.xml", "Doc_0/Pages/Page_3/Content.xml"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(document.GetPageAttr(i)->GetIndex(), i);
        QCOMPARE(document.GetPageAttr(i)->GetBaseLoc(), paths[i]);
    }
    QCOMPARE(document.GetPageAttr(0)->GetID(), QStringLiteral("1"));
    QVERIFY(document.GetPageAttr(1)->GetID().isEmpty());               // no ID, still indexed
    QCOMPARE(document.GetPageAttr(3)->GetID(), QStringLiteral(" 4 ")); // as written
    QVERIFY(!document.GetPageAttr(4));
}

void TestOfdDescriptors::withoutCommonData()
{
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml(
        "<ofd:Document " + kNs +
        "><ofd:Pages/><ofd:Outlines><ofd:OutlineElem Title='a'>"
        "<ofd:OutlineElem Title='b'/></ofd:OutlineElem></ofd:Outlines><ofd:Actions/></ofd:Document>");
    QVERIFY(!document.GetCommonData());
    QVERIFY(document.GetPublicResPath().isEmpty());
    QVERIFY(document.GetDocumentResPath().isEmpty());
    QVERIFY(document.GetAnnotationsPath().isEmpty());
    QRectF box(1, 1, 1, 1);
    QVERIFY(!document.GetPageArea_PhysicalBox(box));
    QVERIFY(!document.GetTemplatePageAttr(0));
    QVERIFY(document.GetOutlinesNode());
    QCOMPARE(document.GetOutlinesNode()->GetChild(0)->GetChild(0)->GetAttr(QStringLiteral("Title")),
             QStringLiteral("b"));
}

void TestOfdDescriptors::prefixes()
{
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml(
        "<x:Document xmlns:x='http://www.ofdspec.org'><x:CommonData><x:PublicRes>P.xml</x:PublicRes>"
        "<DocumentRes>unprefixed.xml</DocumentRes></x:CommonData>"
        "<Annotations>unprefixed.xml</Annotations></x:Document>");
    QCOMPARE(document.GetPublicResPath(), QStringLiteral("Doc_0/P.xml"));
    // Unprefixed elements (default namespace, or none) are read by their local name too.
    QCOMPARE(document.GetDocumentResPath(), QStringLiteral("Doc_0/unprefixed.xml"));
    QCOMPARE(document.GetAnnotationsPath(), QStringLiteral("Doc_0/unprefixed.xml"));
    // A suffix match is not a local-name match: "MyPublicRes" is not PublicRes.
    OfdXmlDocument other;
    other.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    other.PasrseXml("<Document><CommonData><MyPublicRes>M.xml</MyPublicRes></CommonData></Document>");
    QVERIFY(other.GetPublicResPath().isEmpty());
}

void TestOfdDescriptors::docRootAttribute_data()
{
    QTest::addColumn<QString>("docBody");
    QTest::addColumn<QString>("root");
    QTest::newRow("attribute") << QStringLiteral("<ofd:DocBody DocRoot=\"/Doc_0/Document.xml\"/>")
                               << QStringLiteral("Doc_0/Document.xml");
    QTest::newRow("element wins")
        << QStringLiteral(
               "<ofd:DocBody "
               "DocRoot=\"A/Document.xml\"><ofd:DocRoot>B/Document.xml</ofd:DocRoot></ofd:DocBody>")
        << QStringLiteral("B/Document.xml");
    QTest::newRow("empty element keeps the attribute")
        << QStringLiteral(
               "<ofd:DocBody DocRoot=\"A/Document.xml\"><ofd:DocRoot> </ofd:DocRoot></ofd:DocBody>")
        << QStringLiteral("A/Document.xml");
}

void TestOfdDescriptors::docRootAttribute()
{
    QFETCH(QString, docBody);
    QFETCH(QString, root);
    OfdXmlRoot ofd;
    ofd.PasrseXml(QStringLiteral("<ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\">%1</ofd:OFD>")
                      .arg(docBody)
                      .toUtf8());
    QCOMPARE(ofd.GetDocCount(), 1);
    QCOMPARE(ofd.GetDocRootPath(0), root);
}

void TestOfdDescriptors::brokenXmlKeepsWhatWasRead()
{
    OfdXmlDocument document;
    document.SetOfdFilePath(QStringLiteral("Doc_0/Document.xml"));
    document.PasrseXml("<ofd:Document " + kNs +
                       "><ofd:Pages><ofd:Page ID='1' BaseLoc='a.xml'/>"
                       "<ofd:Page ID='2' BaseLoc='b.xml'></ofd:Pages><ofd:Annotations>x</ofd:Annotations>");
    QCOMPARE(document.GetPageCount(), 2);
    QVERIFY(document.GetAnnotationsPath().isEmpty());
}

void TestOfdDescriptors::normalize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normal");
    QTest::newRow("plain unchanged") << "Doc_0/Res/a.png"
                                     << "Doc_0/Res/a.png";
    QTest::newRow("dot segment") << "Doc_0/./Pages/p.xml"
                                 << "Doc_0/Pages/p.xml";
    QTest::newRow("parent segment") << "Doc_0/../Doc_0/Res/font_4.ttf"
                                    << "Doc_0/Res/font_4.ttf";
    QTest::newRow("two parents") << "Doc_0/Res/../../x.xml"
                                 << "x.xml";
    QTest::newRow("above the root is dropped") << "../a.xml"
                                               << "a.xml";
    QTest::newRow("rooted") << "/Doc_0/./a"
                            << "/Doc_0/a";
    QTest::newRow("dots in names") << "Doc_0/a..b/c.d"
                                   << "Doc_0/a..b/c.d";
    QTest::newRow("empty") << ""
                           << "";
}

void TestOfdDescriptors::normalize()
{
    QFETCH(QString, path);
    QFETCH(QString, normal);
    QCOMPARE(NormalizeOfdPath(path), normal);
}

QTEST_MAIN(TestOfdDescriptors)
#include "test_ofddescriptors.moc"
