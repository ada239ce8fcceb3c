#include <QtTest>

#include <algorithm>

#include "model/document/ofdfileparsemanage.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"

namespace {
const char *kNs = "xmlns:ofd=\"http://www.ofdspec.org/2016\"";

QString Xml(const QString &body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + body;
}

// A signed one-document package with every kind of file the classifier knows.
PackageBuilder SignedPackage()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"),
              Xml(QStringLiteral(
                      "<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                      "<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures></ofd:DocBody></ofd:OFD>")
                      .arg(QLatin1String(kNs))));
    // Page 1 is stored before page 0: classification follows Document.xml, not the archive.
    b.AddText(QStringLiteral("Doc_0/Pages/Page_1/Content.xml"),
              Xml(QStringLiteral("<ofd:Page %1><ofd:Content/></ofd:Page>").arg(QLatin1String(kNs))));
    b.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        Xml(QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>50</ofd:MaxUnitID>"
                           "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>"
                           "<ofd:PublicRes>PublicRes.xml</ofd:PublicRes><ofd:DocumentRes>DocumentRes.xml</"
                           "ofd:DocumentRes>"
                           "<ofd:TemplatePage ID=\"3\" BaseLoc=\"Tpls/Tpl_0/Content.xml\"/></ofd:CommonData>"
                           "<ofd:Pages><ofd:Page ID=\"10\" BaseLoc=\"Pages/Page_0/Content.xml\"/>"
                           "<ofd:Page ID=\"11\" BaseLoc=\"./Pages/Page_1/Content.xml\"/></ofd:Pages>"
                           "<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>"
                           "<ofd:CustomTags>Tags/CustomTags.xml</ofd:CustomTags>"
                           "<ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments></ofd:Document>")
                .arg(QLatin1String(kNs))));
    b.AddText(
        QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
        Xml(QStringLiteral("<ofd:Page %1><ofd:Area><ofd:PhysicalBox>0 0 100 50</ofd:PhysicalBox></ofd:Area>"
                           "<ofd:Content/></ofd:Page>")
                .arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/Tpls/Tpl_0/Content.xml"),
              Xml(QStringLiteral("<ofd:Page %1/>").arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/PublicRes.xml"),
              Xml(QStringLiteral("<ofd:Res %1 BaseLoc=\"Res\"><ofd:Fonts><ofd:Font ID=\"1\" FontName=\"x\">"
                                 "<ofd:FontFile>font_1.ttf</ofd:FontFile></ofd:Font></ofd:Fonts></ofd:Res>")
                      .arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/DocumentRes.xml"),
              Xml(QStringLiteral(
                      "<ofd:Res %1 BaseLoc=\"Res\"><ofd:MultiMedias><ofd:MultiMedia ID=\"2\" Type=\"Image\">"
                      "<ofd:MediaFile>/Doc_0/Res/image_2.png</ofd:MediaFile></ofd:MultiMedia>"
                      "</ofd:MultiMedias></ofd:Res>")
                      .arg(QLatin1String(kNs))));
    b.Add(QStringLiteral("Doc_0/Res/font_1.ttf"), "font");
    b.Add(QStringLiteral("Doc_0/Res/image_2.png"), "png");
    b.AddText(
        QStringLiteral("Doc_0/Annots/Annotations.xml"),
        Xml(QStringLiteral("<ofd:Annotations %1><ofd:Page PageID=\"10\"><ofd:FileLoc>Page_0/Annotation.xml"
                           "</ofd:FileLoc></ofd:Page></ofd:Annotations>")
                .arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"),
              Xml(QStringLiteral("<ofd:PageAnnot %1/>").arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/Tags/CustomTags.xml"),
              Xml(QStringLiteral("<ofd:CustomTags %1><ofd:CustomTag><ofd:FileLoc>Tag_0.xml</ofd:FileLoc>"
                                 "</ofd:CustomTag></ofd:CustomTags>")
                      .arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/Tags/Tag_0.xml"), Xml(QStringLiteral("<Invoice/>")));
    b.AddText(QStringLiteral("Doc_0/Attachs/Attachments.xml"),
              Xml(QStringLiteral("<ofd:Attachments %1><ofd:Attachment ID=\"1\" Name=\"a\"><ofd:FileLoc>a.xml"
                                 "</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
                      .arg(QLatin1String(kNs))));
    b.AddText(QStringLiteral("Doc_0/Attachs/a.xml"), Xml(QStringLiteral("<a/>")));
    b.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
              Xml(QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>2</ofd:MaxSignId>"
                                 "<ofd:Signature ID=\"1\" BaseLoc=\"Sign_0/Signature.xml\"/>"
                                 "<ofd:Signature ID=\"2\" BaseLoc=\"/Doc_0/Signs/Sign_1/Signature.xml\"/>"
                                 "</ofd:Signatures>")
                      .arg(QLatin1String(kNs))));
    for (int i = 0; i < 2; ++i) {
        b.AddText(QStringLiteral("Doc_0/Signs/Sign_%1/Signature.xml").arg(i),
                  Xml(QStringLiteral(
                          "<ofd:Signature %1><ofd:SignedInfo><ofd:Seal><ofd:BaseLoc>Seal.esl</ofd:BaseLoc>"
                          "</ofd:Seal></ofd:SignedInfo><ofd:SignedValue>SignedValue.dat</ofd:SignedValue>"
                          "</ofd:Signature>")
                          .arg(QLatin1String(kNs))));
        b.Add(QStringLiteral("Doc_0/Signs/Sign_%1/Seal.esl").arg(i), "seal");
        b.Add(QStringLiteral("Doc_0/Signs/Sign_%1/SignedValue.dat").arg(i), "value");
    }
    return b;
}

QSharedPointer<OfdFileReader> Open(const PackageBuilder &builder)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(builder.Build()))
        return {};
    return reader;
}
} // namespace

// Classifying every entry of a package by what it is and where it belongs.
class TestFileParseManage : public QObject
{
    Q_OBJECT
private slots:
    void signedPackageIsFullyClassified();
    void typeCounts_data();
    void typeCounts();
    void pageDetails();
    void signatureDetails();
    void strayAndMissingFiles();
    void withoutEntryFile();
    void pagePhysicalBox_data();
    void pagePhysicalBox();
};

void TestFileParseManage::signedPackageIsFullyClassified()
{
    OfdFileParseManage parse;
    parse.SetFileReader(Open(SignedPackage()));
    QCOMPARE(parse.Parse(), 0);
    QCOMPARE(parse.GetAllFile().size(), SignedPackage().Build().count("PK\x01\x02"));
    QCOMPARE(parse.GetDefaultPhysicalBox(), QStringLiteral("0 0 210 297"));
    for (const auto &detail : parse.GetAllFile())
        QVERIFY2(detail->type == EN_OfdFileType_Root || detail->documentIndex == 0, qPrintable(detail->path));
}

void TestFileParseManage::typeCounts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::newRow("entry file") << 1 << 1;
    QTest::newRow("document") << 2 << 1;
    QTest::newRow("public res") << 3 << 1;
    QTest::newRow("document res") << 4 << 1;
    QTest::newRow("pages") << 5 << 2;
    QTest::newRow("resource files") << 6 << 2;
    QTest::newRow("annotation list") << 7 << 1;
    QTest::newRow("page annotations") << 8 << 1;
    QTest::newRow("custom tag list") << 9 << 1;
    QTest::newRow("custom tag files") << 10 << 1;
    QTest::newRow("templates") << 11 << 1;
    QTest::newRow("signature list") << 12 << 1;
    QTest::newRow("signatures") << 13 << 2;
    QTest::newRow("signed values") << 14 << 2;
    QTest::newRow("seals") << 15 << 2;
    QTest::newRow("attachment list") << 16 << 1;
    QTest::newRow("attachment files") << 17 << 1;
}

void TestFileParseManage::typeCounts()
{
    QFETCH(int, type);
    OfdFileParseManage parse;
    parse.SetFileReader(Open(SignedPackage()));
    parse.Parse();
    QTEST(int(parse.GetFileByType(type).size()), "count");
}

void TestFileParseManage::pageDetails()
{
    OfdFileParseManage parse;
    parse.SetFileReader(Open(SignedPackage()));
    parse.Parse();
    auto pages = parse.GetFileByType(EN_OfdFileType_Page);
    QCOMPARE(pages[0]->path, QStringLiteral("Doc_0/Pages/Page_1/Content.xml")); // archive order
    std::sort(pages.begin(), pages.end(), SortOfdFilePage);
    QCOMPARE(pages[0]->path, QStringLiteral("Doc_0/Pages/Page_0/Content.xml"));
    QCOMPARE(pages[0]->pageNumber, 0);
    QCOMPARE(pages[0]->pageId, 10);
    QCOMPARE(pages[0]->physicalBox, QStringLiteral("0 0 100 50"));
    QCOMPARE(pages[1]->pageNumber, 1);
    QCOMPARE(pages[1]->pageId, 11);
    QVERIFY(pages[1]->physicalBox.isEmpty());
    // Lookups compare package paths, so a leading slash or an extension's case does not matter.
    QCOMPARE(parse.GetOfdFile(QStringLiteral("/Doc_0/Pages/Page_0/Content.XML")), pages[0]);
}

void TestFileParseManage::signatureDetails()
{
    OfdFileParseManage parse;
    parse.SetFileReader(Open(SignedPackage()));
    parse.Parse();
    const auto signatures = parse.GetFileByType(EN_OfdFileType_Signature);
    QCOMPARE(signatures.size(), 2);
    QCOMPARE(signatures[0]->signatureNumber, 0);
    QCOMPARE(signatures[1]->signatureNumber, 1);
    QCOMPARE(signatures[1]->sealPath, QStringLiteral("Doc_0/Signs/Sign_1/Seal.esl"));
    QCOMPARE(signatures[1]->signedValuePath, QStringLiteral("Doc_0/Signs/Sign_1/SignedValue.dat"));
    QCOMPARE(parse.GetOfdFile(QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"))->content, QByteArray("seal"));
}

void TestFileParseManage::strayAndMissingFiles()
{
    PackageBuilder b = SignedPackage();
    b.Add(QStringLiteral("Doc_0/stray.bin"), "?");
    b.Add(QStringLiteral("Doc_0/"), QByteArray()); // a directory entry is not a file
    OfdFileParseManage parse;
    parse.SetFileReader(Open(b));
    QCOMPARE(parse.Parse(), 1);
    QVERIFY(!parse.SetOfdFileType(QStringLiteral("Doc_0/nowhere.xml"), 5, 0));
    QCOMPARE(parse.GetOfdFile(QStringLiteral("Doc_0/stray.bin"))->type, int(EN_OfdFileType_Unknown));
}

void TestFileParseManage::withoutEntryFile()
{
    OfdFileParseManage parse;
    parse.SetFileReader(Open(PackageBuilder().Add(QStringLiteral("Doc_0/Document.xml"), "<Document/>")));
    QCOMPARE(parse.Parse(), 0);
    QVERIFY(parse.GetAllFile().isEmpty());
    OfdFileParseManage empty;
    QCOMPARE(empty.Parse(), 0);
}

void TestFileParseManage::pagePhysicalBox_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("box");
    QTest::newRow("own area") << QByteArray(
                                     "<ofd:Page><ofd:Area><ofd:PhysicalBox> 0 0 148 210 </ofd:PhysicalBox>"
                                     "</ofd:Area></ofd:Page>")
                              << "0 0 148 210";
    QTest::newRow("area after content")
        << QByteArray("<ofd:Page><ofd:Content><ofd:Layer><ofd:Area><ofd:PhysicalBox>1 1 1 1</ofd:PhysicalBox>"
                      "</ofd:Area></ofd:Layer></ofd:Content><ofd:Area><ofd:CropBox>0 0 5 5</ofd:CropBox>"
                      "<ofd:PhysicalBox>0 0 9 9</ofd:PhysicalBox></ofd:Area></ofd:Page>")
        << "0 0 9 9";
    QTest::newRow("none") << QByteArray("<ofd:Page><ofd:Content/></ofd:Page>") << "";
    QTest::newRow("broken") << QByteArray("<ofd:Page><ofd:Area><ofd:Phys") << "";
}

void TestFileParseManage::pagePhysicalBox()
{
    QFETCH(QByteArray, content);
    QTEST(OfdFileParseManage::GetPagePhysicalBox(content), "box");
}

QTEST_GUILESS_MAIN(TestFileParseManage)
#include "test_fileparsemanage.moc"
