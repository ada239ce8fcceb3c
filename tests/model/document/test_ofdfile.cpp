#include <QtTest>

#include "model/content/ofdpageitempath.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/document/ofddocumentresmanage.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/document/ofdoutline.h"
#include "model/document/ofdxmlattachments.h"
#include "model/document/ofdxmlcustomtags.h"
#include "model/document/ofdxmlpagemanage.h"
#include "model/document/ofdxmlresmanange.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

QString Root(const QString &docRoot = QStringLiteral("Doc_0/Document.xml"))
{
    return QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>%2</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
        .arg(kNs, docRoot);
}

QString Document(const QString &pages, const QString &extra = QString(), const QString &common = QString())
{
    return QStringLiteral(
               "<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>99</ofd:MaxUnitID>%4</ofd:CommonData>"
               "<ofd:Pages>%2</ofd:Pages>%3</ofd:Document>")
        .arg(kNs, pages, extra, common);
}

QString PageEntry(int id, int n)
{
    return QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(id).arg(n);
}

QString Content(const QString &inner)
{
    return QStringLiteral("<ofd:Page %1>%2</ofd:Page>").arg(kNs, inner);
}

// Opens the package and returns the loaded first document; the manager lives in the test.
struct Loaded
{
    OfdFileManage manage;
    bool rootOk = false;
    explicit Loaded(const PackageBuilder &builder)
    {
        auto reader = QSharedPointer<OfdFileReader>::create();
        if (reader->Open(builder.Build()))
            rootOk = manage.SetFileReader(reader);
    }
    OfdFile *Doc() { return manage.GetOfdFile(0); }
};
} // namespace

// Loading a package into documents with their pages, resources, outline, tags and attachments.
class TestOfdFile : public QObject
{
    Q_OBJECT
private slots:
    void missingPageIsLeftOut();
    void withoutEntryFile();
    void missingDescriptor();
    void initOnce();
    void physicalBoxFallback();
    void emptyContentFileIsLeftOut();
    void areaHintWithoutReading_data();
    void areaHintWithoutReading();
    void releasedPageIsReadAgain();
    void resourcesReachPageObjects();
    void templatesThroughTheDocument();
    void outline();
    void attachmentsAndCustomTags();
    void severalDocuments();
};

void TestOfdFile::missingPageIsLeftOut()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(5, 0) + PageEntry(6, 1) + PageEntry(7, 2)));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_2/Content.xml"), Content(QString()));
    Loaded l(b);
    QVERIFY(l.rootOk);
    QCOMPARE(l.Doc()->GetPageCount(), 2);
    QCOMPARE(l.Doc()->GetPageIndex(7), 1);
    QCOMPARE(l.Doc()->GetPageIndex(6), -1);
    QCOMPARE(l.Doc()->GetPage(1)->GetPageFullPath(), QStringLiteral("Doc_0/Pages/Page_2/Content.xml"));
    QVERIFY(!l.Doc()->GetPage(2));
    // Pages are read at load time but parsed only on demand.
    QVERIFY(!l.Doc()->GetPageManage()->GetOfdPage(0, false)->IsParsed());
}

void TestOfdFile::withoutEntryFile()
{
    Loaded l(PackageBuilder().AddText(QStringLiteral("Doc_0/Document.xml"), Document(QString())));
    QVERIFY(!l.rootOk);
    QCOMPARE(l.manage.GetOfdFileCount(), 0);
    QVERIFY(!l.manage.GetOfdFile(0));

    Loaded noDocRoot(PackageBuilder().AddText(
        QStringLiteral("OFD.xml"), QStringLiteral("<ofd:OFD %1><ofd:DocBody/></ofd:OFD>").arg(kNs)));
    QVERIFY(!noDocRoot.rootOk);
    QCOMPARE(noDocRoot.manage.GetOfdFileCount(), 0);
}

void TestOfdFile::missingDescriptor()
{
    Loaded l(PackageBuilder().AddText(QStringLiteral("OFD.xml"), Root(QStringLiteral("Doc_0/Nowhere.xml"))));
    QVERIFY(l.rootOk);
    QCOMPARE(l.manage.GetOfdFileCount(), 1);
    OfdFile *doc = l.manage.GetOfdFile(0);
    QCOMPARE(doc->InitOfd(), int(OfdFile::Init_NoDocument));
    QCOMPARE(doc->GetPageCount(), 0);
    QRectF box;
    QVERIFY(!doc->GetPageArea_PhysicalBox(0, box));
    QVERIFY(!doc->GetOutline());
}

void TestOfdFile::initOnce()
{
    Loaded l(PackageBuilder::MinimalOfd(3));
    OfdFile *doc = l.Doc();
    QVERIFY(doc->IsInit());
    QVERIFY(!doc->TryInit());
    QCOMPARE(doc->GetPageCount(), 3);
    QCOMPARE(l.manage.GetOfdFile(0), doc);
}

void TestOfdFile::physicalBoxFallback()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(1, 0) + PageEntry(2, 1), QString(),
                       QStringLiteral(
                           "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>")));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
              Content(QStringLiteral("<ofd:Area><ofd:PhysicalBox>0 0 100 50</ofd:PhysicalBox></ofd:Area>")));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), Content(QString()));
    Loaded l(b);
    QRectF box;
    QVERIFY(l.Doc()->GetPageArea_PhysicalBox(0, box));
    QCOMPARE(box, QRectF(0, 0, 100, 50));
    QVERIFY(l.Doc()->GetPageArea_PhysicalBox(1, box));
    QCOMPARE(box, QRectF(0, 0, 210, 297));

    PackageBuilder none;
    none.AddText(QStringLiteral("OFD.xml"), Root());
    none.AddText(QStringLiteral("Doc_0/Document.xml"), Document(PageEntry(1, 0)));
    none.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    Loaded n(none);
    QVERIFY(!n.Doc()->GetPageArea_PhysicalBox(0, box));
}

void TestOfdFile::emptyContentFileIsLeftOut()
{
    // The archive's directory tells an empty content file from a readable one without reading it.
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(5, 0) + PageEntry(6, 1) + PageEntry(7, 2)));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    b.Add(QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), QByteArray());
    b.AddText(QStringLiteral("doc_0/pages/page_2/content.xml"), Content(QString()));
    Loaded l(b);
    QCOMPARE(l.Doc()->GetPageCount(), 2);
    QCOMPARE(l.Doc()->GetPageIndex(6), -1);
    // A name in another letter case is found as the reader finds it, and read on demand.
    QCOMPARE(l.Doc()->GetPageIndex(7), 1);
    QVERIFY(!l.Doc()->IsPageParsed(1));
    QVERIFY(l.Doc()->GetPage(1));
    QVERIFY(l.Doc()->IsPageParsed(1));
    QVERIFY(l.Doc()->GetPage(1)->GetBodyGroup());
}

void TestOfdFile::areaHintWithoutReading_data()
{
    QTest::addColumn<QString>("common");
    QTest::addColumn<QString>("own");
    QTest::addColumn<bool>("hintBefore");
    QTest::addColumn<QRectF>("before");
    QTest::addColumn<QRectF>("after");
    const QString a4 =
        QStringLiteral("<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>");
    const QString own = QStringLiteral("<ofd:Area><ofd:PhysicalBox>0 0 100 50</ofd:PhysicalBox></ofd:Area>");
    QTest::newRow("default only") << a4 << QString() << true << QRectF(0, 0, 210, 297)
                                  << QRectF(0, 0, 210, 297);
    QTest::newRow("own box read later")
        << a4 << own << true << QRectF(0, 0, 210, 297) << QRectF(0, 0, 100, 50);
    QTest::newRow("own box, no default") << QString() << own << false << QRectF() << QRectF(0, 0, 100, 50);
}

void TestOfdFile::areaHintWithoutReading()
{
    QFETCH(QString, common);
    QFETCH(QString, own);
    QFETCH(bool, hintBefore);
    QFETCH(QRectF, before);
    QFETCH(QRectF, after);
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"), Document(PageEntry(1, 0), QString(), common));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(own));
    Loaded l(b);
    QRectF box;
    QCOMPARE(l.Doc()->GetPageAreaHint(0, box), hintBefore);
    if (hintBefore)
        QCOMPARE(box, before);
    // The hint did not read the page.
    QVERIFY(!l.Doc()->IsPageParsed(0));
    QVERIFY(l.Doc()->GetPageArea_PhysicalBox(0, box));
    QCOMPARE(box, after);
    QVERIFY(l.Doc()->GetPageAreaHint(0, box));
    QCOMPARE(box, after);
}

void TestOfdFile::releasedPageIsReadAgain()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"), Document(PageEntry(1, 0)));
    b.AddText(
        QStringLiteral("Doc_0/Pages/Page_0/PageRes.xml"),
        QStringLiteral("<ofd:Res %1><ofd:Fonts><ofd:Font ID=\"40\" FontName=\"X\"/></ofd:Fonts></ofd:Res>")
            .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
              Content(QStringLiteral("<ofd:PageRes>PageRes.xml</ofd:PageRes><ofd:Content><ofd:Layer ID=\"2\">"
                                     "<ofd:PathObject ID=\"3\" Boundary=\"0 0 10 10\"><ofd:AbbreviatedData>"
                                     "M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer>"
                                     "</ofd:Content>")));
    Loaded l(b);
    OfdXmlPage *page = l.Doc()->GetPage(0);
    QVERIFY(page && page->GetBodyGroup());
    QCOMPARE(page->GetBodyGroup()->GetLayers().size(), 1);
    l.Doc()->ReleasePage(0);
    QVERIFY(!l.Doc()->IsPageParsed(0));
    QVERIFY(!page->GetBodyGroup());
    QVERIFY(page->GetContent().isEmpty());
    // Read again on the next need, with the same objects; its page resources are not added twice.
    QCOMPARE(l.Doc()->GetPage(0), page);
    QCOMPARE(page->GetBodyGroup()->GetLayers().size(), 1);
    QCOMPARE(page->GetBodyGroup()->GetLayers().first()->GetPageItemCount(), 1);
    QVERIFY(l.Doc()->GetResManage()->GetPageRes(1));
    QCOMPARE(l.Doc()->GetResManage()->GetPageRes(1)->GetResList().size(), 1);
}

void TestOfdFile::resourcesReachPageObjects()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(1, 0), QString(),
                       QStringLiteral("<ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
                                      "<ofd:DocumentRes>DocumentRes.xml</ofd:DocumentRes>")));
    b.AddText(QStringLiteral("Doc_0/PublicRes.xml"),
              QStringLiteral("<ofd:Res %1 BaseLoc=\"Res\"><ofd:Fonts><ofd:Font ID=\"3\" FontName=\"SimSun\"/>"
                             "</ofd:Fonts></ofd:Res>")
                  .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/DocumentRes.xml"),
              QStringLiteral("<ofd:Res %1><ofd:DrawParams><ofd:DrawParam ID=\"8\" LineWidth=\"1.5\">"
                             "<ofd:FillColor Value=\"0 128 0\"/></ofd:DrawParam></ofd:DrawParams></ofd:Res>")
                  .arg(kNs));
    // The page's own resource file redefines draw parameter 8 for this page only.
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/PageRes.xml"),
              QStringLiteral("<ofd:Res %1><ofd:DrawParams><ofd:DrawParam ID=\"8\" LineWidth=\"2.5\"/>"
                             "</ofd:DrawParams></ofd:Res>")
                  .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
              Content(QStringLiteral(
                  "<ofd:PageRes>PageRes.xml</ofd:PageRes><ofd:Content><ofd:Layer DrawParam=\"8\">"
                  "<ofd:PathObject ID=\"10\" DrawParam=\"8\"/><ofd:TextObject ID=\"11\" Font=\"3\" "
                  "Size=\"5\"/></ofd:Layer></ofd:Content>")));
    Loaded l(b);
    OfdFile *doc = l.Doc();
    QVERIFY(doc->GetFont(3));
    QCOMPARE(doc->GetFont(3)->GetFontName(), QStringLiteral("SimSun"));
    QVERIFY(doc->GetDrawParam(QStringLiteral("8"), 0));
    OfdXmlPage *page = doc->GetPage(0);
    const QList<OfdPageItem *> items = *page->GetBodyGroup()->GetLayers()[0]->GetPageItem();
    QCOMPARE(static_cast<OfdPageItemPath *>(items[0])->GetLineWidth(), 2.5); // page-scoped
    bool found = false;
    QCOMPARE(doc->GetDrawParam(QStringLiteral("8"), 0)->GetAttrValue(QStringLiteral("LineWidth"), found),
             QStringLiteral("1.5"));
    QVERIFY(found);
    QVERIFY(items[1]->GetInheritFillColor() == nullptr); // the page's own parameter 8 has no colour
}

void TestOfdFile::templatesThroughTheDocument()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(1, 0), QString(),
                       QStringLiteral("<ofd:TemplatePage ID=\"4\" BaseLoc=\"Tpls/Tpl_0/Content.xml\"/>")));
    b.AddText(QStringLiteral("Doc_0/Tpls/Tpl_0/Content.xml"),
              Content(QStringLiteral(
                  "<ofd:Content><ofd:Layer><ofd:PathObject ID=\"2\"/></ofd:Layer></ofd:Content>")));
    b.AddText(
        QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
        Content(QStringLiteral("<ofd:Template TemplateID=\"4\"/><ofd:Content><ofd:Layer><ofd:PathObject "
                               "ID=\"3\"/></ofd:Layer></ofd:Content>")));
    Loaded l(b);
    QCOMPARE(l.Doc()->GetTemplatePath(4), QStringLiteral("Doc_0/Tpls/Tpl_0/Content.xml"));
    QVERIFY(l.Doc()->GetTemplatePath(5).isEmpty());
    OfdXmlPage *page = l.Doc()->GetPage(0);
    QCOMPARE(page->GetGroups().size(), 2);
    QCOMPARE(page->GetGroups()[0]->GetLayers()[0]->GetPageItem()->first()->GetID(), 2);
}

void TestOfdFile::outline()
{
    const QString outlines = QStringLiteral(
        "<ofd:Outlines><ofd:OutlineElem Title=\"第一章\" Expanded=\"false\"><ofd:Actions><ofd:Action "
        "Event=\"CLICK\">"
        "<ofd:Goto><ofd:Dest Type=\"XYZ\" PageID=\"2\" Left=\"10\" Top=\"20.5\" "
        "Zoom=\"1\"/></ofd:Goto></ofd:Action>"
        "</ofd:Actions><ofd:OutlineElem Title=\"1.1\"><ofd:Actions><ofd:Action Event=\"CLICK\"><ofd:URI "
        "URI=\"http://example.com\"/></ofd:Action></ofd:Actions></ofd:OutlineElem></ofd:OutlineElem>"
        "<ofd:OutlineElem Title=\"附录\"/></ofd:Outlines>");
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"), Document(PageEntry(1, 0) + PageEntry(2, 1), outlines));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), Content(QString()));
    Loaded l(b);
    OfdOutline *outline = l.Doc()->GetOutline();
    QVERIFY(outline);
    QCOMPARE(outline->GetRoots().size(), 2);
    QCOMPARE(outline->GetCount(), 3);
    const OfdOutlineElem *first = outline->GetRoots()[0];
    QCOMPARE(first->title, QString::fromUtf8("第一章"));
    QVERIFY(!first->expanded);
    const OfdOutlineDest *dest = first->GetGotoDest();
    QVERIFY(dest);
    QCOMPARE(dest->pageId, 2);
    QCOMPARE(l.Doc()->GetPageIndex(dest->pageId), 1);
    QVERIFY(dest->hasTop);
    QCOMPARE(dest->top, 20.5);
    QCOMPARE(dest->zoom, 1.0);
    QCOMPARE(first->children[0]->actions[0].uri, QStringLiteral("http://example.com"));
    QVERIFY(!first->children[0]->GetGotoDest());
    QVERIFY(!outline->GetRoots()[1]->GetGotoDest());
}

void TestOfdFile::attachmentsAndCustomTags()
{
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"), Root());
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              Document(PageEntry(1, 0),
                       QStringLiteral("<ofd:CustomTags>Tags/CustomTags.xml</ofd:CustomTags>"
                                      "<ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments>")));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    b.AddText(
        QStringLiteral("Doc_0/Attachs/Attachments.xml"),
        QStringLiteral("<ofd:Attachments %1><ofd:Attachment ID=\"1\" Name=\"明细\" Format=\"xml\" Size=\"1\">"
                       "<ofd:FileLoc>a.xml</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
            .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Attachs/a.xml"), QStringLiteral("<a/>"));
    b.AddText(
        QStringLiteral("Doc_0/Tags/CustomTags.xml"),
        QStringLiteral("<ofd:CustomTags %1><ofd:CustomTag><ofd:FileLoc>Tag.xml</ofd:FileLoc></ofd:CustomTag>"
                       "</ofd:CustomTags>")
            .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Tags/Tag.xml"),
              QStringLiteral("<Invoice %1><No><ofd:ObjectRef PageRef=\"1\">4</ofd:ObjectRef></No></Invoice>")
                  .arg(kNs));
    Loaded l(b);
    OfdXmlAttachments *attachments = l.Doc()->GetAttachmentInfoGroup();
    QVERIFY(attachments);
    QCOMPARE(attachments->GetCount(), 1);
    QCOMPARE(l.Doc()->GetOfdFileContent(attachments->GetAttachments()[0].fileLoc), QByteArray("<a/>"));
    OfdXmlCustomTags *tags = l.Doc()->GetCustomTags();
    QCOMPARE(tags->GetCount(), 1);
    QCOMPARE(tags->ToHashGroupByPage().value(1).value(0).objectId, 4);
    QCOMPARE(l.Doc()->GetCustomTags(), tags);

    Loaded plain(PackageBuilder::MinimalOfd(1));
    QVERIFY(!plain.Doc()->GetAttachmentInfoGroup());
    QCOMPARE(plain.Doc()->GetCustomTags()->GetCount(), 0);
}

void TestOfdFile::severalDocuments()
{
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody>"
                       "<ofd:DocBody><ofd:DocRoot>/Doc_1/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
            .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Document.xml"), Document(PageEntry(1, 0)));
    b.AddText(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), Content(QString()));
    b.AddText(QStringLiteral("Doc_1/Document.xml"), Document(PageEntry(1, 0) + PageEntry(2, 1)));
    b.AddText(QStringLiteral("Doc_1/Pages/Page_0/Content.xml"), Content(QString()));
    b.AddText(QStringLiteral("Doc_1/Pages/Page_1/Content.xml"), Content(QString()));
    Loaded l(b);
    QVERIFY(l.rootOk);
    QCOMPARE(l.manage.GetOfdFileCount(), 2);
    QCOMPARE(l.manage.GetOfdFile(0)->GetPageCount(), 1);
    QCOMPARE(l.manage.GetOfdFile(1)->GetPageCount(), 2);
    QCOMPARE(l.manage.GetOfdFile(1)->GetPage(1)->GetPageFullPath(),
             QStringLiteral("Doc_1/Pages/Page_1/Content.xml"));
}

QTEST_MAIN(TestOfdFile)
#include "test_ofdfile.moc"
