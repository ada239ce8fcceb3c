#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSharedPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include "annot/annottestdoc.h"
#include "annot/ofdannotsupport.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "annot/pageannotmanage.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "sign/ofdsignatureimpact.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sm3.h"
#include "support/packagebuilder.h"
#include "support/testdata.h"
#include "writer/ofdcreator.h"
#include "writer/ofdpackagepatch.h"
#include "writer/ofdxmltextpatch.h"
#include "writerfixture.h"

namespace {
using WriterFixture::Open;
using WriterFixture::OpenPath;
using WriterFixture::Scenes;

// One archive entry: its name, its bytes, and the bytes as stored (compressed).
struct Stored
{
    QString name;
    QByteArray data;
    QByteArray raw;
};

QList<Stored> Entries(const QByteArray &zip)
{
    QList<Stored> out;
    QBuffer buffer;
    buffer.setData(zip);
    QuaZip archive(&buffer);
    archive.setFileNameCodec("UTF-8");
    if (!archive.open(QuaZip::mdUnzip))
        return out;
    for (bool more = archive.goToFirstFile(); more; more = archive.goToNextFile()) {
        Stored entry;
        entry.name = archive.getCurrentFileName();
        QuaZipFile plain(&archive);
        if (plain.open(QIODevice::ReadOnly)) {
            entry.data = plain.readAll();
            plain.close();
        }
        QuaZipFile raw(&archive);
        int method = 0;
        int level = 0;
        if (raw.open(QIODevice::ReadOnly, &method, &level, true)) {
            entry.raw = raw.readAll();
            raw.close();
        }
        out.append(entry);
    }
    return out;
}

const Stored *Find(const QList<Stored> &entries, const QString &name)
{
    for (const Stored &e : entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

// Draws a rectangle annotation on a scene; the item or null.
OfdVisualItemAnnot *DrawRect(OfdPageScene *scene, const QPointF &a = {40, 40}, const QPointF &b = {90, 80})
{
    PageAnnotManage *annots = PageAnnotManage::FromScene(scene);
    if (!annots)
        return nullptr;
    scene->SetAnnot(EN_AnnotType_Rect);
    annots->DrawAnnotStart(a);
    annots->DrawAnnotMove(b);
    return annots->DrawAnnotEnd(b);
}

QByteArray Patch(OfdViewManage *manage, const QList<OfdPageScene *> &scenes, QStringList *replaced = nullptr,
                 QStringList *added = nullptr)
{
    OfdPackagePatch patch(manage, 0);
    patch.SetPageScenes(scenes);
    const QByteArray bytes = patch.GetZipData();
    if (replaced)
        *replaced = patch.GetReplacedPaths();
    if (added)
        *added = patch.GetAddedPaths();
    return bytes;
}

int AnnotCount(OfdViewManage *manage)
{
    auto *annotations = dynamic_cast<OfdXmlAnnotations *>(manage->GetOfdFile(0)->GetAnnotations());
    return annotations ? annotations->GetAnnotCount() : 0;
}

const QString kAnnotFile = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<ofd:PageAnnot xmlns:ofd=\"http://www.ofdspec.org/2016\">\n"
    "  <ofd:Annot ID=\"1\" Type=\"Stamp\" Creator=\"a\">\n"
    "    <ofd:Appearance Boundary=\"10 10 20 20\"><ofd:PathObject ID=\"2\" Boundary=\"0 0 20 20\">"
    "<ofd:AbbreviatedData>M 0 0 L 20 20</ofd:AbbreviatedData></ofd:PathObject></ofd:Appearance>\n"
    "  </ofd:Annot>\n"
    "  <ofd:Annot ID=\"3\" Type=\"Link\" Subtype=\"custom\"><ofd:Parameters>"
    "<ofd:Parameter Name=\"k\">v</ofd:Parameter></ofd:Parameters><ofd:Remark>no picture</ofd:Remark>"
    "</ofd:Annot>\n"
    "  <ofd:Annot ID=\"4\" Type=\"Stamp\" Visible=\"false\">"
    "<ofd:Appearance Boundary=\"50 50 10 10\"><ofd:PathObject ID=\"5\" Boundary=\"0 0 10 10\">"
    "<ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject></ofd:Appearance>"
    "</ofd:Annot>\n"
    "</ofd:PageAnnot>\n");

// Two pages, an annotation file on the first, a second document, document information, an
// attachment under Res/ and a part no reader knows.
QByteArray RichPackage(bool withAnnotations = true)
{
    const QString ns = AnnotTestDoc::Ns();
    AnnotTestDoc doc;
    doc.pageLayers << QString() << QString();
    if (withAnnotations)
        doc.documentExtra = QStringLiteral("<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>"
                                           "<ofd:Attachments>Attachs.xml</ofd:Attachments>");
    else
        doc.documentExtra = QStringLiteral("<ofd:Attachments>Attachs.xml</ofd:Attachments>");
    doc.bodyExtra = QString();
    if (withAnnotations) {
        doc.files.append(
            {QStringLiteral("Doc_0/Annots/Annotations.xml"),
             QStringLiteral("<?xml version=\"1.0\"?>\n<ofd:Annotations %1>\n  <ofd:Page PageID=\"101\">"
                            "<ofd:FileLoc>Page_0/Annotation.xml</ofd:FileLoc></ofd:Page>\n"
                            "</ofd:Annotations>\n")
                 .arg(ns)
                 .toUtf8()});
        doc.files.append({QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"), kAnnotFile.toUtf8()});
    }
    doc.files.append(
        {QStringLiteral("Doc_0/Attachs.xml"),
         QStringLiteral("<ofd:Attachments %1><ofd:Attachment ID=\"a\" Name=\"x\" Format=\"bin\">"
                        "<ofd:FileLoc>Res/payload.bin</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
             .arg(ns)
             .toUtf8()});
    doc.files.append({QStringLiteral("Doc_0/Res/payload.bin"), QByteArray("\x00\x01\x02payload\xff", 11)});
    doc.files.append({QStringLiteral("Doc_0/Extensions/vendor.dat"), QByteArray("vendor data")});
    doc.files.append({QStringLiteral("Doc_1/Document.xml"),
                      QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>5</ofd:MaxUnitID>"
                                     "</ofd:CommonData><ofd:Pages/></ofd:Document>")
                          .arg(ns)
                          .toUtf8()});
    QByteArray package = doc.Build();
    // OFD.xml with DocInfo and a second DocBody.
    QList<Stored> entries = Entries(package);
    PackageBuilder builder;
    for (const Stored &e : entries) {
        if (e.name == QLatin1String("OFD.xml"))
            builder.AddText(
                e.name,
                QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:OFD %1 Version=\"1.0\" "
                               "DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>abc123</ofd:DocID>"
                               "<ofd:Title>标题</ofd:Title><ofd:Author>作者</ofd:Author>"
                               "<ofd:CustomDatas><ofd:CustomData Name=\"n\">v</ofd:CustomData>"
                               "</ofd:CustomDatas></ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml"
                               "</ofd:DocRoot><ofd:Versions/></ofd:DocBody><ofd:DocBody><ofd:DocInfo>"
                               "<ofd:DocID>second</ofd:DocID></ofd:DocInfo><ofd:DocRoot>"
                               "Doc_1/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
                    .arg(ns));
        else
            builder.Add(e.name, e.data, e.name != QLatin1String("Doc_0/Res/payload.bin"));
    }
    return builder.Build();
}

// Every entry of before is in after with the same bytes as stored, except the named ones.
QString CompareExcept(const QList<Stored> &before, const QList<Stored> &after, const QStringList &changed)
{
    for (const Stored &e : before) {
        const Stored *other = Find(after, e.name);
        if (!other)
            return QStringLiteral("missing %1").arg(e.name);
        if (changed.contains(e.name))
            continue;
        if (other->data != e.data)
            return QStringLiteral("content of %1 differs").arg(e.name);
        if (other->raw != e.raw)
            return QStringLiteral("stored bytes of %1 differ").arg(e.name);
    }
    return QString();
}

QStringList CorpusFiles()
{
    QStringList files;
    const QString corpus = CorpusDir();
    if (corpus.isEmpty())
        return files;
    for (const QString &dir : {corpus, QDir(corpus).absoluteFilePath(QStringLiteral("../corpus-extra"))}) {
        QDirIterator it(dir, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    return files;
}
} // namespace

// Saving as a patch of the opened package.
class TestPackagePatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        OfdConvert::Init(96.0);
        OfdRenderInit::Init();
        OfdAnnotSupport::Install();
        OfdXmlSignatureManage::InstallLoader();
    }

    void textPatch_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("append") << "<r><a/></r>"
                                << "append"
                                << "<r><a/><n/></r>";
        QTest::newRow("append to empty-element root") << "<?xml version=\"1.0\"?><r x=\"1\"/>"
                                                      << "append"
                                                      << "<?xml version=\"1.0\"?><r x=\"1\"><n/></r>";
        QTest::newRow("append twice to empty-element root") << "<r/>"
                                                            << "append2"
                                                            << "<r><n/><m/></r>";
        QTest::newRow("remove with its indent") << "<r>\n  <a/>\n  <b>t</b>\n</r>"
                                                << "remove1"
                                                << "<r>\n  <a/>\n</r>";
        QTest::newRow("remove with Windows line ends") << "<r>\r\n  <a/>\r\n  <b>t</b>\r\n</r>"
                                                       << "remove1"
                                                       << "<r>\r\n  <a/>\r\n</r>";
        QTest::newRow("set new attribute") << "<r><a  y='2'  /></r>"
                                           << "attr"
                                           << "<r><a Visible=\"false\"  y='2'  /></r>";
        QTest::newRow("replace attribute") << "<r><a Visible='true' y=\"2\">x</a></r>"
                                           << "attr"
                                           << "<r><a Visible=\"false\" y=\"2\">x</a></r>";
        QTest::newRow("attribute and removal of sibling") << "<r><a/> <b/></r>"
                                                          << "attr+remove1"
                                                          << "<r><a Visible=\"false\"/></r>";
        QTest::newRow("byte-order mark and CDATA kept")
            << QStringLiteral("\xef\xbb\xbf<r><![CDATA[<a>]]><a>&amp;</a></r>") << "append"
            << QStringLiteral("\xef\xbb\xbf<r><![CDATA[<a>]]><a>&amp;</a><n/></r>");
        QTest::newRow("Chinese text") << QStringLiteral("<r t=\"中文\"><a>正文</a></r>") << "remove0"
                                      << QStringLiteral("<r t=\"中文\"></r>");
        QTest::newRow("no edit, same bytes") << "<r>\r\n<a   b = 'x'/>\r\n</r>"
                                             << "none"
                                             << "<r>\r\n<a   b = 'x'/>\r\n</r>";
    }

    void textPatch()
    {
        QFETCH(QString, input);
        QFETCH(QString, operation);
        QFETCH(QString, expected);
        // The rows are written in Latin-1 escapes where they hold UTF-8 bytes.
        const QByteArray bytes = input.startsWith(QChar(0xef)) ? input.toLatin1() : input.toUtf8();
        OfdXmlTextPatch patch;
        QVERIFY(patch.Load(bytes));
        const QList<int> children = patch.GetChildren(patch.GetRoot());
        if (operation.startsWith(QLatin1String("append"))) {
            patch.AppendChildText(0, QStringLiteral("<n/>"));
            if (operation == QLatin1String("append2"))
                patch.AppendChildText(0, QStringLiteral("<m/>"));
        }
        if (operation.startsWith(QLatin1String("attr")))
            patch.SetAttribute(children.first(), QStringLiteral("Visible"), QStringLiteral("false"));
        if (operation.endsWith(QLatin1String("remove1")))
            patch.RemoveElement(children.at(1));
        if (operation == QLatin1String("remove0"))
            patch.RemoveElement(children.at(0));
        const QByteArray want = expected.startsWith(QChar(0xef)) ? expected.toLatin1() : expected.toUtf8();
        QCOMPARE(patch.GetBytes(), want);
    }

    void textPatchRefusesWhatItCannotKeep_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not well-formed") << QByteArray("<r><a></r>");
        QTest::newRow("other encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><r/>");
        QTest::newRow("invalid UTF-8") << QByteArray("<r>\xff\xfe</r>");
        QTest::newRow("empty") << QByteArray();
    }

    void textPatchRefusesWhatItCannotKeep()
    {
        QFETCH(QByteArray, bytes);
        OfdXmlTextPatch patch;
        QVERIFY(!patch.Load(bytes));
    }

    // Without edits the patched package holds every entry with the same stored bytes.
    void unchangedSaveKeepsEveryEntry()
    {
        const QByteArray package = RichPackage();
        auto manage = Open(package);
        QVERIFY(manage);
        Scenes scenes(manage.get());
        QStringList replaced, added;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced, &added);
        QVERIFY(!saved.isEmpty());
        QVERIFY(replaced.isEmpty());
        QVERIFY(added.isEmpty());
        const QList<Stored> before = Entries(package);
        const QList<Stored> after = Entries(saved);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(after[i].name, before[i].name);
        QCOMPARE(CompareExcept(before, after, {}), QString());
    }

    // One new annotation on a page that has a file: only that file changes; the rest, the second
    // document, DocInfo, unknown parts and Res/ files stay as they were.
    void newAnnotationTouchesOnlyItsFile()
    {
        const QByteArray package = RichPackage();
        auto manage = Open(package);
        QVERIFY(manage);
        QCOMPARE(AnnotCount(manage.get()), 3);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QStringList replaced, added;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced, &added);
        QVERIFY(!saved.isEmpty());
        // The page's file, and MaxUnitID in the descriptor of this unsigned document.
        QCOMPARE(replaced, QStringList({QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"),
                                        QStringLiteral("Doc_0/Document.xml")}));
        QVERIFY(added.isEmpty());
        const QList<Stored> before = Entries(package);
        const QList<Stored> after = Entries(saved);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(CompareExcept(before, after, replaced), QString());

        // The old annotations are kept as written, the new one follows them.
        const QByteArray file = Find(after, replaced.first())->data;
        const QByteArray old = kAnnotFile.toUtf8();
        const int end = old.lastIndexOf("</ofd:PageAnnot>");
        QVERIFY(file.startsWith(old.left(end)));
        QVERIFY(file.contains("<ofd:Remark>no picture</ofd:Remark>"));

        auto reopened = Open(saved);
        QVERIFY(reopened);
        QCOMPARE(AnnotCount(reopened.get()), 4);
        auto *annotations = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        const QList<PageAnnot *> page0 = annotations->GetPageAnnots(101);
        QCOMPARE(page0.size(), 4);
        QCOMPARE(page0[1]->GetParameters()->GetValue(QStringLiteral("k")), QStringLiteral("v"));
        // The new identifiers continue after the largest in use, and MaxUnitID follows.
        const int newId = page0[3]->GetId().toInt();
        QVERIFY(newId > 999);
        // Nothing but the counter changed in the descriptor, and it holds the largest identifier.
        QByteArray descriptor = Find(before, QStringLiteral("Doc_0/Document.xml"))->data;
        const QByteArray saidMax = Find(after, QStringLiteral("Doc_0/Document.xml"))->data;
        const int from = saidMax.indexOf("<ofd:MaxUnitID>") + 15;
        const int maxId = saidMax.mid(from, saidMax.indexOf("</ofd:MaxUnitID>") - from).toInt();
        QVERIFY(maxId >= newId);
        descriptor.replace("<ofd:MaxUnitID>999<",
                           QByteArray("<ofd:MaxUnitID>") + QByteArray::number(maxId) + "<");
        QCOMPARE(saidMax, descriptor);
        // No second document, DocInfo or unknown part was lost.
        QCOMPARE(Find(after, QStringLiteral("OFD.xml"))->data, Find(before, QStringLiteral("OFD.xml"))->data);
        QVERIFY(Find(after, QStringLiteral("Doc_1/Document.xml")));
        QVERIFY(Find(after, QStringLiteral("Doc_0/Extensions/vendor.dat")));
    }

    // With a signature list, the descriptor is not changed for the counter alone.
    void signedDescriptorKeptWhenNothingMustPointAnew()
    {
        QByteArray package = RichPackage();
        QList<Stored> entries = Entries(package);
        PackageBuilder builder;
        for (const Stored &e : entries) {
            QByteArray data = e.data;
            if (e.name == QLatin1String("OFD.xml"))
                data.replace("</ofd:DocRoot>",
                             "</ofd:DocRoot><ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>");
            builder.Add(e.name, data);
        }
        builder.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
                        QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>1</ofd:MaxSignId></ofd:Signatures>")
                            .arg(AnnotTestDoc::Ns()));
        package = builder.Build();
        auto manage = Open(package);
        QVERIFY(manage);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QStringList replaced;
        QVERIFY(!Patch(manage.get(), scenes.list, &replaced).isEmpty());
        QCOMPARE(replaced, QStringList{QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")});
    }

    // A page without an annotation file gets a new one, listed in the annotation list.
    void newAnnotationOnPageWithoutFile()
    {
        const QByteArray package = RichPackage();
        auto manage = Open(package);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[1]));
        QStringList replaced, added;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced, &added);
        QVERIFY(!saved.isEmpty());
        QVERIFY(replaced.contains(QStringLiteral("Doc_0/Annots/Annotations.xml")));
        QCOMPARE(added, QStringList{QStringLiteral("Doc_0/Annots/Page_1/Annotation.xml")});
        QCOMPARE(CompareExcept(Entries(package), Entries(saved), replaced), QString());
        auto reopened = Open(saved);
        auto *annotations = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        QVERIFY(annotations);
        QCOMPARE(annotations->GetPageAnnots(101).size(), 3);
        QCOMPARE(annotations->GetPageAnnots(102).size(), 1);
    }

    // A document without annotations gets a list, linked from its descriptor before Attachments.
    void firstAnnotationOfDocument()
    {
        const QByteArray package = RichPackage(false);
        auto manage = Open(package);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QStringList replaced, added;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced, &added);
        QCOMPARE(replaced, QStringList{QStringLiteral("Doc_0/Document.xml")});
        QCOMPARE(added.size(), 2);
        const QByteArray descriptor = Find(Entries(saved), QStringLiteral("Doc_0/Document.xml"))->data;
        QVERIFY(descriptor.contains("<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>"
                                    "<ofd:Attachments>"));
        auto reopened = Open(saved);
        QCOMPARE(AnnotCount(reopened.get()), 1);
        // A save of the reopened package without edits changes nothing.
        Scenes again(reopened.get());
        QStringList none;
        QVERIFY(!Patch(reopened.get(), again.list, &none).isEmpty());
        QVERIFY(none.isEmpty());
    }

    // Hiding, showing again and deleting loaded annotations are saved in their file.
    void hideShowDeleteLoaded()
    {
        const QByteArray package = RichPackage();
        auto manage = Open(package);
        Scenes scenes(manage.get());
        PageAnnotManage *annots = PageAnnotManage::FromScene(scenes.list[0]);
        QVERIFY(annots);
        // The annotation without an appearance has no item; the other two have.
        const QList<OfdVisualItemAnnot *> loaded = annots->GetLoadedAnnotGroup();
        QCOMPARE(loaded.size(), 2);
        QVERIFY(loaded[0]->isVisible());
        QVERIFY(!loaded[1]->isVisible());
        loaded[0]->SetVisiable(false);
        loaded[1]->SetVisiable(true);
        QStringList replaced;
        QByteArray saved = Patch(manage.get(), scenes.list, &replaced);
        QCOMPARE(replaced, QStringList{QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")});
        auto reopened = Open(saved);
        auto *annotations = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        QList<PageAnnot *> page0 = annotations->GetPageAnnots(101);
        QCOMPARE(page0.size(), 3);
        QVERIFY(!page0[0]->IsVisible());
        QVERIFY(page0[1]->IsVisible());
        QVERIFY(page0[2]->IsVisible());

        // Deleting the first (a loaded one) removes it; the one without appearance stays.
        QVERIFY(annots->DeleteVisualItem(loaded[0]));
        QCOMPARE(annots->GetDeletedLoadedAnnots().size(), 1);
        saved = Patch(manage.get(), scenes.list);
        reopened = Open(saved);
        annotations = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        page0 = annotations->GetPageAnnots(101);
        QCOMPARE(page0.size(), 2);
        QCOMPARE(page0[0]->GetId(), QStringLiteral("3"));
        QCOMPARE(page0[1]->GetId(), QStringLiteral("4"));
        QVERIFY(page0[1]->IsVisible());
    }

    void readOnlyLoadedAnnotationIsNotDeleted()
    {
        QByteArray package = RichPackage();
        QList<Stored> entries = Entries(package);
        PackageBuilder builder;
        for (const Stored &e : entries) {
            QByteArray data = e.data;
            if (e.name == QLatin1String("Doc_0/Annots/Page_0/Annotation.xml"))
                data.replace("Creator=\"a\"", "Creator=\"a\" ReadOnly=\"true\"");
            builder.Add(e.name, data);
        }
        auto manage = Open(builder.Build());
        Scenes scenes(manage.get());
        PageAnnotManage *annots = PageAnnotManage::FromScene(scenes.list[0]);
        OfdVisualItemAnnot *first = annots->GetLoadedAnnotGroup().first();
        QVERIFY(!annots->IsDeletable(first));
        QVERIFY(!annots->DeleteVisualItem(first));
        QVERIFY(annots->GetDeletedLoadedAnnots().isEmpty());
    }

    // Colours name an RGB colour space only when the document's default is another one; an
    // existing RGB colour space is used again, else one is added to the public resources.
    void colourSpaceOnlyWhereTheDefaultIsNotRgb_data()
    {
        QTest::addColumn<QString>("colorSpaces");
        QTest::addColumn<QString>("defaultCs");
        QTest::addColumn<bool>("resChanged");
        QTest::addColumn<QString>("named");
        QTest::newRow("no default") << QString() << QString() << false << QString();
        QTest::newRow("default is RGB") << "<ofd:ColorSpace ID=\"7\" Type=\"RGB\"/>"
                                        << "7" << false << QString();
        QTest::newRow("default is gray, RGB present")
            << "<ofd:ColorSpace ID=\"7\" Type=\"Gray\"/><ofd:ColorSpace ID=\"8\" Type=\"RGB\"/>"
            << "7" << false << "8";
        QTest::newRow("default is gray") << "<ofd:ColorSpace ID=\"7\" Type=\"Gray\"/>"
                                         << "7" << true << "new";
    }

    void colourSpaceOnlyWhereTheDefaultIsNotRgb()
    {
        QFETCH(QString, colorSpaces);
        QFETCH(QString, defaultCs);
        QFETCH(bool, resChanged);
        QFETCH(QString, named);
        AnnotTestDoc doc;
        doc.pageLayers << QString();
        if (!colorSpaces.isEmpty())
            doc.publicRes = QStringLiteral("<ofd:ColorSpaces>%1</ofd:ColorSpaces>").arg(colorSpaces);
        QByteArray package = doc.Build();
        if (!defaultCs.isEmpty()) {
            PackageBuilder builder;
            for (const Stored &e : Entries(package)) {
                QByteArray data = e.data;
                if (e.name == QLatin1String("Doc_0/Document.xml"))
                    data.replace("</ofd:DocumentRes>", QByteArray("</ofd:DocumentRes><ofd:DefaultCS>") +
                                                           defaultCs.toUtf8() + "</ofd:DefaultCS>");
                builder.Add(e.name, data);
            }
            package = builder.Build();
        }
        auto manage = Open(package);
        QVERIFY(manage);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QStringList replaced, added;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced, &added);
        QVERIFY(!saved.isEmpty());
        QCOMPARE(replaced.contains(QStringLiteral("Doc_0/PublicRes.xml")), resChanged);
        QByteArray annotation;
        for (const QString &path : added + replaced) {
            if (path.endsWith(QLatin1String("Annotation.xml")))
                annotation = Find(Entries(saved), path)->data;
        }
        QVERIFY(annotation.contains("StrokeColor"));
        if (named.isEmpty()) {
            QVERIFY(!annotation.contains("ColorSpace="));
        } else if (named == QLatin1String("new")) {
            const QByteArray res = Find(Entries(saved), QStringLiteral("Doc_0/PublicRes.xml"))->data;
            const int at = res.indexOf("Type=\"RGB\"");
            QVERIFY(at > 0);
            const int idAt = res.lastIndexOf("ID=\"", at) + 4;
            const QByteArray id = res.mid(idAt, res.indexOf('"', idAt) - idAt);
            QVERIFY(id.toInt() > 999);
            QVERIFY(annotation.contains("ColorSpace=\"" + id + "\""));
        } else {
            QVERIFY(annotation.contains("ColorSpace=\"" + named.toUtf8() + "\""));
        }
    }

    // A hidden new annotation is written hidden.
    void hiddenNewAnnotationStaysHidden()
    {
        auto manage = Open(RichPackage());
        Scenes scenes(manage.get());
        OfdVisualItemAnnot *item = DrawRect(scenes.list[0]);
        QVERIFY(item);
        item->SetVisiable(false);
        auto reopened = Open(Patch(manage.get(), scenes.list));
        auto *annotations = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        const QList<PageAnnot *> page0 = annotations->GetPageAnnots(101);
        QCOMPARE(page0.size(), 4);
        QVERIFY(!page0.last()->IsVisible());
    }

    // The change digest tells equal results apart from different ones.
    void changeDigestFollowsChanges()
    {
        auto manage = Open(RichPackage());
        Scenes scenes(manage.get());
        auto digest = [&]() {
            OfdPackagePatch patch(manage.get(), 0);
            patch.SetPageScenes(scenes.list);
            return patch.Prepare() ? patch.GetChangeDigest() : QByteArray();
        };
        const QByteArray none = digest();
        QCOMPARE(none, QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha1));
        OfdVisualItemAnnot *item = DrawRect(scenes.list[1]);
        const QByteArray one = digest();
        QVERIFY(one != none);
        QCOMPARE(digest(), one);
        PageAnnotManage::FromScene(scenes.list[1])->DeleteVisualItem(item);
        QCOMPARE(digest(), none);
    }

    // Saving over the opened file twice: the second save patches the same opened package, so the
    // annotation is not doubled, and the file stays whole.
    void savingTwiceOverTheOpenedFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.ofd"));
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(RichPackage());
        }
        auto manage = OpenPath(path);
        QVERIFY(manage);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QString error;
        QVERIFY2(OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list, path, &error), qPrintable(error));
        QVERIFY(DrawRect(scenes.list[0], {100, 100}, {140, 150}));
        QVERIFY2(OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list, path, &error), qPrintable(error));
        auto reopened = OpenPath(path);
        QCOMPARE(AnnotCount(reopened.get()), 5);
    }

    void failedWriteSaysWhyAndKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.ofd"));
        const QByteArray original = RichPackage();
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(original);
        }
        auto manage = OpenPath(path);
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        OfdCreator::SetFailWritesForTest(true);
        QString error;
        const bool saved = OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list, path, &error);
        OfdCreator::SetFailWritesForTest(false);
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QFile check(path);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), original);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.ofd")});
        // A folder that does not exist.
        QVERIFY(!OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list,
                                         dir.filePath(QStringLiteral("no/x.ofd")), &error));
        QVERIFY(error.contains(QString::fromUtf8("无法在目标文件夹中创建文件")));
    }

    // A package rebuilt from the view (no package behind it) gets a document identifier of its own.
    void rebuiltPackagesHaveTheirOwnDocId()
    {
        auto manage = Open(RichPackage());
        auto docId = [&]() {
            OfdCreator creator;
            creator.SetOfd(manage.get(), 0);
            const QList<Stored> entries = Entries(creator.GetFileData());
            const Stored *root = Find(entries, QStringLiteral("OFD.xml"));
            const QByteArray text = root ? root->data : QByteArray();
            const int from = text.indexOf("<ofd:DocID>") + 11;
            return text.mid(from, text.indexOf("</ofd:DocID>") - from);
        };
        const QByteArray first = docId();
        QCOMPARE(first.size(), 32);
        QVERIFY(first != docId());
    }

    // The raw visit gives every entry in archive order with its stored bytes.
    void rawEntriesInArchiveOrder()
    {
        const QByteArray package = RichPackage();
        const QList<Stored> stored = Entries(package);
        QSharedPointer<OfdFileReader> reader(new OfdFileReader);
        QVERIFY(reader->Open(package));
        QStringList names;
        QList<int> methods;
        QVERIFY(reader->VisitRawEntries(
            [&](const QuaZipFileInfo64 &info, const QByteArray &raw, int method, int) {
                names << info.name;
                methods << method;
                return raw == Find(stored, info.name)->raw;
            }));
        QCOMPARE(names.size(), stored.size());
        for (int i = 0; i < stored.size(); ++i)
            QCOMPARE(names[i], stored[i].name);
        QCOMPARE(methods[names.indexOf(QStringLiteral("Doc_0/Res/payload.bin"))], 0);
        QCOMPARE(methods[names.indexOf(QStringLiteral("OFD.xml"))], 8);
        // A visit that stops makes the walk fail.
        QVERIFY(!reader->VisitRawEntries(
            [](const QuaZipFileInfo64 &, const QByteArray &, int, int) { return false; }));
    }

    // Two signatures: one covers the annotation file, the other only the page. Only the first is
    // named as broken, and after the save only the first fails its check.
    void onlyCoveringSignaturesBreak()
    {
        QByteArray package = RichPackage();
        QList<Stored> entries = Entries(package);
        auto digest = [&](const QString &name) { return sm3_digest_base64(Find(entries, name)->data); };
        const QString ns = AnnotTestDoc::Ns();
        auto signature = [&](const QStringList &refs) {
            QString references;
            for (const QString &ref : refs)
                references +=
                    QStringLiteral("<ofd:Reference FileRef=\"/%1\"><ofd:CheckValue>%2</ofd:CheckValue>"
                                   "</ofd:Reference>")
                        .arg(ref, digest(ref));
            return QStringLiteral("<ofd:Signature %1><ofd:SignedInfo><ofd:References "
                                  "CheckMethod=\"1.2.156.10197.1.401\">"
                                  "%2</ofd:References></ofd:SignedInfo></ofd:Signature>")
                .arg(ns, references);
        };
        PackageBuilder builder;
        for (const Stored &e : entries) {
            QByteArray data = e.data;
            if (e.name == QLatin1String("OFD.xml"))
                data.replace("</ofd:DocRoot>",
                             "</ofd:DocRoot><ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>");
            builder.Add(e.name, data);
        }
        builder.AddText(
            QStringLiteral("Doc_0/Signs/Signatures.xml"),
            QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>2</ofd:MaxSignId>"
                           "<ofd:Signature ID=\"1\" BaseLoc=\"Sign_0/Signature.xml\"/>"
                           "<ofd:Signature ID=\"2\" BaseLoc=\"Sign_1/Signature.xml\"/></ofd:Signatures>")
                .arg(ns));
        builder.AddText(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"),
                        signature({QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
                                   QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")}));
        builder.AddText(QStringLiteral("Doc_0/Signs/Sign_1/Signature.xml"),
                        signature({QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
                                   QStringLiteral("Doc_0/PublicRes.xml")}));
        package = builder.Build();

        auto manage = Open(package);
        QVERIFY(manage);
        auto *list = dynamic_cast<OfdXmlSignatureManage *>(manage->GetOfdFile(0)->GetSignatures());
        QVERIFY(list);
        QCOMPARE(list->GetCount(), 2);
        QVERIFY(list->GetSignatures()[0]->CheckSm3());
        QVERIFY(list->GetSignatures()[1]->CheckSm3());
        Scenes scenes(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        QStringList replaced;
        const QByteArray saved = Patch(manage.get(), scenes.list, &replaced);
        QCOMPARE(replaced, QStringList{QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")});
        const QList<OfdXmlSignature *> broken =
            OfdSignatureImpact::GetBrokenBy(manage->GetOfdFile(0), replaced);
        QCOMPARE(broken.size(), 1);
        QCOMPARE(broken.first(), list->GetSignatures()[0]);
        QVERIFY(OfdSignatureImpact::Describe(broken.first()).contains(QStringLiteral("1")));
        // A drawing on the page without a file breaks neither (the annotation list is not signed).
        QVERIFY(OfdSignatureImpact::GetBrokenBy(manage->GetOfdFile(0),
                                                {QStringLiteral("Doc_0/Annots/Annotations.xml")})
                    .isEmpty());

        auto reopened = Open(saved);
        auto *after = dynamic_cast<OfdXmlSignatureManage *>(reopened->GetOfdFile(0)->GetSignatures());
        QVERIFY(after);
        QVERIFY(!after->GetSignatures()[0]->CheckSm3());
        QVERIFY(after->GetSignatures()[1]->CheckSm3());
    }

    // Real files: a save without edits keeps every entry; with one annotation every other entry is
    // kept and every signature that does not cover the changed files still checks.
    void corpus_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = CorpusFiles();
        if (files.isEmpty())
            QSKIP("corpus not present");
        for (const QString &file : files)
            QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
    }

    void corpus()
    {
        QFETCH(QString, path);
        QFile in(path);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray package = in.readAll();
        auto manage = Open(package);
        if (!manage || !manage->GetOfdFile(0) || manage->GetOfdFile(0)->GetPageCount() == 0)
            QSKIP("not a document this reader opens");
        if (!OfdPackagePatch::CanPatch(manage.get(), 0))
            QSKIP("no package to patch");
        const QList<Stored> before = Entries(package);

        Scenes scenes(manage.get(), 1);
        QStringList replaced, added;
        const QByteArray unchanged = Patch(manage.get(), scenes.list, &replaced, &added);
        QVERIFY(!unchanged.isEmpty());
        QVERIFY(replaced.isEmpty() && added.isEmpty());
        const QList<Stored> same = Entries(unchanged);
        QCOMPARE(same.size(), before.size());
        QCOMPARE(CompareExcept(before, same, {}), QString());

        const int annotsBefore = AnnotCount(manage.get());
        QVERIFY(DrawRect(scenes.list[0]));
        OfdPackagePatch patch(manage.get(), 0);
        patch.SetPageScenes(scenes.list);
        const QByteArray saved = patch.GetZipData();
        QVERIFY2(!saved.isEmpty(), qPrintable(patch.GetError()));
        replaced = patch.GetReplacedPaths();
        const QList<Stored> after = Entries(saved);
        QCOMPARE(after.size(), before.size() + patch.GetAddedPaths().size());
        QCOMPARE(CompareExcept(before, after, replaced), QString());
        // Only annotation parts, the descriptor and resource files (for a colour space the
        // drawing needs) may change.
        for (const QString &name : replaced)
            QVERIFY2(name.contains(QLatin1String("Annot"), Qt::CaseInsensitive) ||
                         name.endsWith(QLatin1String("Document.xml")) ||
                         name.endsWith(QLatin1String("Res.xml")),
                     qPrintable(name));

        auto reopened = Open(saved);
        QVERIFY(reopened);
        QCOMPARE(AnnotCount(reopened.get()), annotsBefore + 1);

        // Signatures: the ones the change breaks are exactly those with a reference to a changed
        // file that checked before; every other one checks as it did.
        auto *oldList = dynamic_cast<OfdXmlSignatureManage *>(manage->GetOfdFile(0)->GetSignatures());
        auto *newList = dynamic_cast<OfdXmlSignatureManage *>(reopened->GetOfdFile(0)->GetSignatures());
        if (!oldList)
            return;
        QVERIFY(newList);
        QCOMPARE(newList->GetCount(), oldList->GetCount());
        const QList<OfdXmlSignature *> broken =
            OfdSignatureImpact::GetBrokenBy(manage->GetOfdFile(0), replaced);
        for (int i = 0; i < oldList->GetCount(); ++i) {
            OfdXmlSignature *oldSig = oldList->GetSignatures()[i];
            OfdXmlSignature *newSig = newList->GetSignatures()[i];
            const bool checkedBefore = oldSig->CheckSm3();
            const bool checkedAfter = newSig->CheckSm3();
            if (broken.contains(oldSig)) {
                QVERIFY(!checkedAfter);
                QVERIFY(!OfdSignatureImpact::Describe(oldSig).isEmpty());
            } else {
                QCOMPARE(checkedAfter, checkedBefore);
            }
        }
    }
};

QTEST_MAIN(TestPackagePatch)
#include "test_packagepatch.moc"
