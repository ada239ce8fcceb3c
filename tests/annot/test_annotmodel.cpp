#include <QDir>
#include <QDirIterator>
#include <QSharedPointer>
#include <QtTest>

#include "annot/annottestdoc.h"
#include "annot/ofdannotsupport.h"
#include "annot/ofdxmlannotations.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdpageitem.h"
#include "model/content/ofdvisualitemtransfer.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdxmldocument.h"
#include "model/package/ofdfilereader.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "support/testdata.h"

namespace {
const QString kHead = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");

QByteArray PageAnnotFile(const QString &annots)
{
    return (kHead + QStringLiteral("<ofd:PageAnnot %1>%2</ofd:PageAnnot>").arg(AnnotTestDoc::Ns(), annots))
        .toUtf8();
}

// A red square annotation 30 mm wide at (20, 20) mm on page 101.
QByteArray RedSquarePackage(const QString &annotAttrs = QString())
{
    AnnotTestDoc doc;
    doc.pageLayers << QString();
    doc.documentExtra = QStringLiteral("<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>");
    doc.files.append(
        {QStringLiteral("Doc_0/Annots/Annotations.xml"),
         (kHead + QStringLiteral("<ofd:Annotations %1><ofd:Page PageID=\"101\"><ofd:FileLoc>"
                                 "Page_0/Annotation.xml</ofd:FileLoc></ofd:Page></ofd:Annotations>")
                      .arg(AnnotTestDoc::Ns()))
             .toUtf8()});
    doc.files.append(
        {QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"),
         PageAnnotFile(
             QStringLiteral("<ofd:Annot ID=\"7\" Type=\"Stamp\" Creator=\"me\" %1><ofd:Appearance "
                            "Boundary=\"20 20 30 30\"><ofd:PathObject ID=\"8\" Boundary=\"0 0 30 30\" "
                            "Fill=\"true\" Stroke=\"false\"><ofd:FillColor Value=\"255 0 0\"/>"
                            "<ofd:AbbreviatedData>M 0 0 L 30 0 L 30 30 L 0 30 C</ofd:AbbreviatedData>"
                            "</ofd:PathObject></ofd:Appearance></ofd:Annot>")
                 .arg(annotAttrs))});
    return doc.Build();
}

std::unique_ptr<OfdViewManage> Open(const QByteArray &bytes)
{
    QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    if (!reader->Open(bytes))
        return nullptr;
    auto manage = std::make_unique<OfdViewManage>();
    if (!manage->SetFileReader(reader))
        return nullptr;
    return manage;
}

OfdXmlAnnotations *AnnotationsOf(OfdViewManage *manage)
{
    OfdFile *file = manage ? manage->GetOfdFile(0) : nullptr;
    return file ? dynamic_cast<OfdXmlAnnotations *>(file->GetAnnotations()) : nullptr;
}
} // namespace

class TestAnnotModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        OfdConvert::Init(96.0);
        OfdRenderInit::Init();
    }

    // Before the module is installed documents carry no annotations and pages show none; after it,
    // the appearance is drawn at its boundary.
    void loadedAnnotationIsDrawn()
    {
        auto before = Open(RedSquarePackage());
        QVERIFY(before);
        QVERIFY(!AnnotationsOf(before.get()));
        const int cx = qRound(OfdConvert::OfdMMToPixel(35));
        QImage plain = OfdPageRenderer::RenderPage(before.get(), 0, 0, 96);
        QVERIFY(!plain.isNull());
        QCOMPARE(QColor(plain.pixel(cx, cx)), QColor(Qt::white));

        OfdAnnotSupport::Install();
        auto manage = Open(RedSquarePackage());
        QVERIFY(AnnotationsOf(manage.get()));
        QImage image = OfdPageRenderer::RenderPage(manage.get(), 0, 0, 96);
        QVERIFY(!image.isNull());
        QCOMPARE(QColor(image.pixel(cx, cx)), QColor(255, 0, 0));
        // Just outside the boundary the page stays white.
        const int outside = qRound(OfdConvert::OfdMMToPixel(52));
        QCOMPARE(QColor(image.pixel(outside, cx)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(qRound(OfdConvert::OfdMMToPixel(18)), cx)), QColor(Qt::white));
    }

    void hiddenAnnotationIsNotDrawn()
    {
        OfdAnnotSupport::Install();
        auto manage = Open(RedSquarePackage(QStringLiteral("Visible=\"false\"")));
        QVERIFY(AnnotationsOf(manage.get()));
        QImage image = OfdPageRenderer::RenderPage(manage.get(), 0, 0, 96);
        const int cx = qRound(OfdConvert::OfdMMToPixel(35));
        QCOMPARE(QColor(image.pixel(cx, cx)), QColor(Qt::white));
    }

    void loadsModel()
    {
        OfdAnnotSupport::Install();
        auto manage = Open(RedSquarePackage());
        OfdXmlAnnotations *annotations = AnnotationsOf(manage.get());
        QVERIFY(annotations);
        QCOMPARE(annotations->GetOfdFilePath(), QStringLiteral("Doc_0/Annots/Annotations.xml"));
        QCOMPARE(annotations->GetPageEntries().size(), 1);
        QCOMPARE(annotations->GetPageEntries()[0]->fileLoc,
                 QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"));
        const QList<PageAnnot *> annots = annotations->GetPageAnnots(101);
        QCOMPARE(annots.size(), 1);
        PageAnnot *annot = annots[0];
        QCOMPARE(annot->GetId(), QStringLiteral("7"));
        QCOMPARE(annot->GetType(), QStringLiteral("Stamp"));
        QCOMPARE(annot->GetCreator(), QStringLiteral("me"));
        QVERIFY(annot->GetOfdFile() == manage->GetOfdFile(0));
        QVERIFY(annot->GetAppearance());
        QCOMPARE(annot->GetAppearance()->GetBoundary(), QStringLiteral("20 20 30 30"));
        QCOMPARE(annot->GetAppearance()->GetPageBlock()->GetItemCount(), 1);
        QCOMPARE(annot->GetAppearance()->GetPageBlock()->GetItems()[0]->GetItemType(),
                 int(EN_PageItemType_Path));
        std::unique_ptr<OfdVisualItemTransfer> transfer(annot->GetAppearance()->CreateVisualItemTransfer());
        QVERIFY(transfer && transfer->GetBoundary());
        QCOMPARE(*transfer->GetBoundary(), QRectF(20, 20, 30, 30));
        QVERIFY(!annotations->GetPageAnnotGroup(102));
    }

    void visibleFlag_data()
    {
        QTest::addColumn<QString>("attr");
        QTest::addColumn<bool>("visible");
        QTest::newRow("TRUE") << "Visible=\"TRUE\"" << true;
        QTest::newRow("tRuE") << "Visible=\"tRuE\"" << true;
        QTest::newRow("false") << "Visible=\"false\"" << false;
        QTest::newRow("no") << "Visible=\"no\"" << false;
        QTest::newRow("missing") << "" << true;
        QTest::newRow("empty") << "Visible=\"\"" << true;
    }
    void visibleFlag()
    {
        QFETCH(QString, attr);
        QFETCH(bool, visible);
        OfdXmlAnnotation page(nullptr, 1, QString());
        QVERIFY(page.PasrseXml(PageAnnotFile(QStringLiteral("<ofd:Annot ID=\"1\" %1/>").arg(attr))));
        QCOMPARE(page.GetAnnots().size(), 1);
        QCOMPARE(page.GetAnnots()[0]->IsVisible(), visible);
    }

    void highlightMark_data()
    {
        QTest::addColumn<QString>("attrs");
        QTest::addColumn<bool>("highlight");
        QTest::newRow("type") << "Type=\"Highlight\"" << true;
        QTest::newRow("subtype") << "Type=\"Path\" Subtype=\"Highlight\"" << true;
        QTest::newRow("lower case") << "Type=\"highlight\"" << false;
        QTest::newRow("other") << "Type=\"Stamp\"" << false;
    }
    void highlightMark()
    {
        QFETCH(QString, attrs);
        QFETCH(bool, highlight);
        OfdXmlAnnotation page(nullptr, 1, QString());
        page.PasrseXml(PageAnnotFile(
            QStringLiteral("<ofd:Annot %1><ofd:Appearance Boundary=\"0 0 1 1\"/></ofd:Annot>").arg(attrs)));
        QCOMPARE(page.GetAnnots().size(), 1);
        QVERIFY(page.GetAnnots()[0]->GetAppearance());
        QCOMPARE(page.GetAnnots()[0]->GetAppearance()->IsHighlight(), highlight);
    }

    void parametersAndReplacedParts()
    {
        OfdXmlAnnotation page(nullptr, 1, QString());
        page.PasrseXml(PageAnnotFile(QStringLiteral(
            "<ofd:Annot ReadOnly=\"TRUE\"><ofd:Remark>x</ofd:Remark><ofd:Parameters>"
            "<ofd:Parameter Name=\"a\">1</ofd:Parameter><ofd:Parameter Name=\"b\">2</ofd:Parameter>"
            "<ofd:Parameter Name=\"a\">3</ofd:Parameter></ofd:Parameters>"
            "<ofd:Appearance Boundary=\"1 1 1 1\"/><ofd:Appearance Boundary=\"2 2 2 2\"/></ofd:Annot>")));
        QCOMPARE(page.GetAnnots().size(), 1);
        PageAnnot *annot = page.GetAnnots()[0];
        QVERIFY(annot->IsReadOnly());
        QVERIFY(annot->GetParameters());
        QCOMPARE(annot->GetParameters()->GetValue(QStringLiteral("a")), QStringLiteral("3"));
        QCOMPARE(annot->GetParameters()->GetValue(QStringLiteral("b")), QStringLiteral("2"));
        QCOMPARE(annot->GetAppearance()->GetBoundary(), QStringLiteral("2 2 2 2"));
        QCOMPARE(annot->GetCreator(), QString());
    }

    void emptyBoundaryGivesNoPlacement()
    {
        OfdXmlAnnotation page(nullptr, 1, QString());
        page.PasrseXml(PageAnnotFile(QStringLiteral("<ofd:Annot><ofd:Appearance/></ofd:Annot>")));
        QCOMPARE(page.GetAnnots().size(), 1);
        QVERIFY(page.GetAnnots()[0]->GetAppearance());
        QVERIFY(!page.GetAnnots()[0]->GetAppearance()->CreateVisualItemTransfer());
    }

    void emptyFileGivesNothing()
    {
        OfdXmlAnnotation page(nullptr, 1, QString());
        QVERIFY(!page.PasrseXml(QByteArray()));
        QVERIFY(page.GetAnnots().isEmpty());
    }

    void listEntries_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("two files one page")
            << "<ofd:Annotations %1><ofd:Page PageID=\"5\"><ofd:FileLoc>a.xml</ofd:FileLoc></ofd:Page>"
               "<ofd:Page PageID=\"5\"><ofd:FileLoc>/x/b.xml</ofd:FileLoc></ofd:Page></ofd:Annotations>"
            << QList<int>{5, 5} << QStringList{"Doc_0/a.xml", "x/b.xml"};
        QTest::newRow("first child not FileLoc")
            << "<ofd:Annotations %1><ofd:Page "
               "PageID=\"5\"><ofd:Other/><ofd:FileLoc>a.xml</ofd:FileLoc></ofd:Page>"
               "<ofd:Page "
               "PageID=\"6\"><ofd:FileLoc>c.xml</ofd:FileLoc><ofd:More/></ofd:Page></ofd:Annotations>"
            << QList<int>{6} << QStringList{"Doc_0/c.xml"};
        QTest::newRow("other prefix")
            << "<p:Annotations xmlns:p=\"http://www.ofdspec.org/2016\"><p:Page PageID=\"5\"><p:FileLoc>a.xml"
               "</p:FileLoc></p:Page></p:Annotations>"
            << QList<int>{} << QStringList{};
        QTest::newRow("missing page id") << "<ofd:Annotations %1><ofd:Page><ofd:FileLoc>a.xml</ofd:FileLoc>"
                                            "</ofd:Page></ofd:Annotations>"
                                         << QList<int>{0} << QStringList{"Doc_0/a.xml"};
    }
    void listEntries()
    {
        QFETCH(QString, list);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, paths);
        OfdXmlAnnotations annotations;
        annotations.SetOfdFilePath(QStringLiteral("Doc_0/Annotations.xml"));
        annotations.PasrseXml((kHead + list.arg(AnnotTestDoc::Ns())).toUtf8());
        QList<int> gotKeys;
        QStringList gotPaths;
        for (AnnotationsPageAttr *entry : annotations.GetPageEntries()) {
            gotKeys << entry->pageId;
            gotPaths << entry->fileLoc;
        }
        QCOMPARE(gotKeys, keys);
        QCOMPARE(gotPaths, paths);
        QCOMPARE(annotations.PasrseAnnotationPage(), keys.size());
        if (!keys.isEmpty()) {
            std::unique_ptr<QList<OfdXmlAnnotation *>> group(annotations.GetPageAnnotGroup(keys[0]));
            QVERIFY(group);
            QCOMPARE(group->size(), keys.count(keys[0]));
            QCOMPARE(group->first()->GetOfdFilePath(), paths[0]);
        }
    }

    // Every corpus file with annotations loads them without a crash and draws its first page.
    void corpusAnnotations()
    {
        const QString dir = CorpusDir();
        if (dir.isEmpty() || !QFile::exists(dir + QStringLiteral("/MANIFEST.tsv")))
            QSKIP("corpus not present");
        OfdAnnotSupport::Install();
        QFile manifest(dir + QStringLiteral("/MANIFEST.tsv"));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        int files = 0;
        int withAnnots = 0;
        const QList<QByteArray> lines = manifest.readAll().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 6 || !fields[5].split(',').contains("annots"))
                continue;
            const QString path = dir + QLatin1Char('/') + QString::fromUtf8(fields[0]);
            QSharedPointer<OfdFileReader> reader(new OfdFileReader);
            if (!reader->Open(path))
                continue;
            OfdViewManage manage;
            if (!manage.SetFileReader(reader))
                continue;
            ++files;
            // A file that names an annotation list it does not contain has none to load.
            OfdFile *document = manage.GetOfdFile(0);
            const QString list = document->GetXmlDocument()->GetAnnotationsPath();
            OfdXmlAnnotations *annotations = AnnotationsOf(&manage);
            if (!list.isEmpty() && !document->GetOfdFileContent(list).isEmpty()) {
                QVERIFY2(annotations && annotations->GetAnnotCount() > 0, qPrintable(path));
                ++withAnnots;
            }
            const QImage image = OfdPageRenderer::RenderPage(&manage, 0, 0, 48);
            QVERIFY2(!image.isNull(), qPrintable(path));
        }
        if (files == 0)
            QSKIP("no corpus file with annotations could be opened");
        qInfo() << files << "corpus files opened," << withAnnots << "with annotation lists";
        QVERIFY(withAnnots > 0);
    }
};

QTEST_MAIN(TestAnnotModel)
#include "test_annotmodel.moc"
