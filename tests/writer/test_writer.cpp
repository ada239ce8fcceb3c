#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSharedPointer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <unistd.h>

#include "annot/annottestdoc.h"
#include "annot/ofdannotsupport.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "annot/pageannotmanage.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdpageitempath.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdoutline.h"
#include "model/document/ofdxmlattachments.h"
#include "model/document/ofdxmlcustomtags.h"
#include "model/package/ofdfilereader.h"
#include "model/package/ofdfilewriter.h"
#include "model/xml/xmlnode.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"
#include "writer/ofdcreator.h"
#include "writerfixture.h"

namespace {
using WriterFixture::Open;
using WriterFixture::OpenPath;
using WriterFixture::Scenes;

using Entries = QList<QPair<QString, QByteArray>>;

Entries Unzip(const QByteArray &zip)
{
    Entries entries;
    QBuffer buffer;
    buffer.setData(zip);
    QuaZip archive(&buffer);
    if (!archive.open(QuaZip::mdUnzip))
        return entries;
    for (bool more = archive.goToFirstFile(); more; more = archive.goToNextFile()) {
        QuaZipFile file(&archive);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        entries.append({archive.getCurrentFileName(), file.readAll()});
    }
    return entries;
}

QByteArray Entry(const Entries &entries, const QString &name)
{
    for (const auto &e : entries) {
        if (e.first == name)
            return e.second;
    }
    return QByteArray();
}

QByteArray Save(OfdViewManage *manage, const QList<OfdPageScene *> &scenes = {})
{
    OfdCreator creator;
    creator.SetOfd(manage, 0);
    creator.SetPageScenes(scenes);
    return creator.GetFileData();
}

const QString kPath = QStringLiteral("<ofd:PathObject ID=\"%1\" Boundary=\"10 10 20 20\" LineWidth=\"1\">"
                                     "<ofd:StrokeColor Value=\"0 0 255\"/><ofd:AbbreviatedData>M 0 0 L 20 20"
                                     "</ofd:AbbreviatedData></ofd:PathObject>");
const QString kFonts = QStringLiteral("<ofd:Fonts><ofd:Font ID=\"1\" FontName=\"DejaVu Sans\" "
                                      "FamilyName=\"DejaVu Sans\"/></ofd:Fonts>");
const QString kText =
    QStringLiteral("<ofd:TextObject ID=\"10\" Boundary=\"10 10 80 10\" Font=\"1\" Size=\"5\">"
                   "<ofd:FillColor Value=\"0 0 0\"/><ofd:TextCode X=\"0\" Y=\"5\" "
                   "DeltaX=\"4 4 4 4 4 4 4 4 4\">Hello text</ofd:TextCode></ofd:TextObject>");

QByteArray Png(const QColor &color)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A text page with a loaded annotation plus an outline, custom tags and an attachment.
AnnotTestDoc RichDoc()
{
    AnnotTestDoc doc;
    doc.publicRes = kFonts;
    doc.pageLayers << kText << kPath.arg(20);
    doc.documentExtra = QStringLiteral(
        "<ofd:Outlines><ofd:OutlineElem Title=\"Second\"><ofd:Actions><ofd:Action Event=\"CLICK\">"
        "<ofd:Goto><ofd:Dest Type=\"XYZ\" PageID=\"102\" Left=\"0\" Top=\"40\"/></ofd:Goto>"
        "</ofd:Action></ofd:Actions></ofd:OutlineElem></ofd:Outlines>"
        "<ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments>"
        "<ofd:CustomTags>Tags/CustomTags.xml</ofd:CustomTags>"
        "<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>");
    const QString ns = AnnotTestDoc::Ns();
    doc.files.append(
        {QStringLiteral("Doc_0/Attachs/Attachments.xml"),
         QStringLiteral("<ofd:Attachments %1><ofd:Attachment ID=\"a1\" Name=\"data\" Format=\"txt\">"
                        "<ofd:FileLoc>data.txt</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
             .arg(ns)
             .toUtf8()});
    doc.files.append({QStringLiteral("Doc_0/Attachs/data.txt"), QByteArray("attached bytes \x01\x02", 17)});
    doc.files.append(
        {QStringLiteral("Doc_0/Tags/CustomTags.xml"),
         QStringLiteral("<ofd:CustomTags %1><ofd:CustomTag NameSpace=\"urn:t\"><ofd:FileLoc>tag.xml"
                        "</ofd:FileLoc></ofd:CustomTag></ofd:CustomTags>")
             .arg(ns)
             .toUtf8()});
    doc.files.append(
        {QStringLiteral("Doc_0/Tags/tag.xml"),
         QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Invoice xmlns=\"urn:t\" "
                    "xmlns:ofd=\"http://www.ofdspec.org/2016\"><Number><ofd:ObjectRef PageRef=\"101\">10"
                    "</ofd:ObjectRef></Number><Name>plain</Name></Invoice>")});
    doc.files.append(
        {QStringLiteral("Doc_0/Annots/Annotations.xml"),
         QStringLiteral("<ofd:Annotations %1><ofd:Page PageID=\"101\"><ofd:FileLoc>a.xml</ofd:FileLoc>"
                        "</ofd:Page></ofd:Annotations>")
             .arg(ns)
             .toUtf8()});
    doc.files.append(
        {QStringLiteral("Doc_0/Annots/a.xml"),
         QStringLiteral("<ofd:PageAnnot %1><ofd:Annot ID=\"1\" Type=\"Watermark\" Creator=\"old\">"
                        "<ofd:Appearance Boundary=\"60 60 10 10\"><ofd:PathObject ID=\"2\" "
                        "Boundary=\"0 0 10 10\"><ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData>"
                        "</ofd:PathObject></ofd:Appearance></ofd:Annot></ofd:PageAnnot>")
             .arg(ns)
             .toUtf8()});
    return doc;
}

QList<double> Numbers(const QString &data)
{
    QList<double> values;
    for (const QString &token : data.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double v = token.toDouble(&ok);
        if (ok)
            values.append(v);
    }
    return values;
}

QString Letters(const QString &data)
{
    QString letters;
    for (const QString &token : data.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token.size() == 1 && token[0].isLetter())
            letters += token;
    }
    return letters;
}
} // namespace

class TestWriter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        OfdConvert::Init(96.0);
        OfdRenderInit::Init();
        OfdAnnotSupport::Install();
    }

    void threePagesWithoutAnnotations()
    {
        AnnotTestDoc doc;
        doc.pageLayers << kPath.arg(20) << kPath.arg(21) << kPath.arg(22);
        auto manage = Open(doc.Build());
        QVERIFY(manage);
        const QByteArray zip = Save(manage.get());
        QVERIFY(!zip.isEmpty());
        QStringList names;
        for (const auto &e : Unzip(zip))
            names << e.first;
        QCOMPARE(names, QStringList({"OFD.xml", "Doc_0/Document.xml", "Doc_0/PublicRes.xml",
                                     "Doc_0/DocumentRes.xml", "Doc_0/Pages/Page_0/Content.xml",
                                     "Doc_0/Pages/Page_1/Content.xml", "Doc_0/Pages/Page_2/Content.xml"}));
        auto reopened = Open(zip);
        QVERIFY(reopened);
        QCOMPARE(reopened->GetOfdFile(0)->GetPageCount(), 3);
        // The path keeps its geometry and colour.
        OfdXmlPage *page = reopened->GetOfdFile(0)->GetPage(1);
        QVERIFY(page);
        Scenes scenes(reopened.get());
        QList<OfdVisualItem *> items;
        scenes.list[1]->GetVisualItemList(items);
        QCOMPARE(items.size(), 1);
        auto *path = static_cast<OfdPageItemPath *>(items[0]->GetPageItem());
        QCOMPARE(path->GetBoundary(), QRectF(10, 10, 20, 20));
        QCOMPARE(path->GetAbbreviatedData().PathText(), QStringLiteral("M 0 0 L 20 20"));
        QCOMPARE(path->GetStrokeColor().CreateQColor(), QColor(0, 0, 255));
        QCOMPARE(path->GetLineWidth(), 1.0);
    }

    void identicalImagesStoredOnce()
    {
        AnnotTestDoc doc;
        doc.documentRes =
            QStringLiteral("<ofd:MultiMedias><ofd:MultiMedia ID=\"30\" Type=\"Image\"><ofd:MediaFile>"
                           "a.png</ofd:MediaFile></ofd:MultiMedia><ofd:MultiMedia ID=\"31\" "
                           "Type=\"Image\"><ofd:MediaFile>b.png</ofd:MediaFile></ofd:MultiMedia>"
                           "<ofd:MultiMedia ID=\"32\" Type=\"Image\"><ofd:MediaFile>c.png"
                           "</ofd:MediaFile></ofd:MultiMedia></ofd:MultiMedias>");
        const QString image = QStringLiteral("<ofd:ImageObject ID=\"%1\" Boundary=\"10 10 40 40\" "
                                             "CTM=\"40 0 0 40 0 0\" ResourceID=\"%2\"/>");
        doc.pageLayers << image.arg(40).arg(30) << image.arg(41).arg(31) << image.arg(42).arg(32);
        doc.files.append({QStringLiteral("Doc_0/Res/a.png"), Png(Qt::red)});
        doc.files.append({QStringLiteral("Doc_0/Res/b.png"), Png(Qt::red)});
        doc.files.append({QStringLiteral("Doc_0/Res/c.png"), Png(Qt::green)});
        auto manage = Open(doc.Build());
        QVERIFY(manage);
        const Entries entries = Unzip(Save(manage.get()));
        QStringList data;
        for (const auto &e : entries) {
            if (e.first.startsWith(QLatin1String("Doc_0/Res/")))
                data << e.first;
        }
        QCOMPARE(data.size(), 2);
        QList<int> resources;
        for (int i = 0; i < 3; ++i) {
            std::unique_ptr<XmlNode> root(
                XmlNode::FromData(Entry(entries, QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i))));
            QVERIFY(root);
            XmlNode *object = root->GetNodeByName(QStringLiteral("ImageObject"));
            QVERIFY(object);
            QCOMPARE(object->GetAttr(QStringLiteral("CTM")), QStringLiteral("40 0 0 40 0 0"));
            resources << object->GetAttr(QStringLiteral("ResourceID")).toInt();
        }
        QCOMPARE(resources[0], resources[1]);
        QVERIFY(resources[2] != resources[0]);
        // The pictures come back on their pages.
        auto reopened = Open([&] {
            OfdFileWriter writer;
            for (const auto &e : entries)
                writer.AddFile(new OfdFileInfo{e.first, e.second});
            return writer.GetZipData();
        }());
        QVERIFY(reopened);
        const int center = qRound(OfdConvert::OfdMMToPixel(30));
        QCOMPARE(QColor(OfdPageRenderer::RenderPage(reopened.get(), 0, 1, 96).pixel(center, center)),
                 QColor(Qt::red));
        QCOMPARE(QColor(OfdPageRenderer::RenderPage(reopened.get(), 0, 2, 96).pixel(center, center)),
                 QColor(Qt::green));
    }

    // The saved page draws like the opened one.
    void rendersTheSame_data()
    {
        QTest::addColumn<QString>("res");
        QTest::addColumn<QString>("layer");
        QTest::newRow("filled dashed path")
            << QString()
            << "<ofd:PathObject ID=\"20\" Boundary=\"10 10 60 40\" LineWidth=\"2\" Fill=\"true\" "
               "DashPattern=\"3 2\" Join=\"Round\" Rule=\"Even-Odd\"><ofd:StrokeColor Value=\"0 0 255\"/>"
               "<ofd:FillColor Value=\"0 200 0\" Alpha=\"128\"/><ofd:AbbreviatedData>M 0 0 L 60 0 L 30 40 C "
               "M 10 10 "
               "L 50 10 L 30 30 C</ofd:AbbreviatedData></ofd:PathObject>";
        QTest::newRow("composite with CTM")
            << "<ofd:CompositeGraphicUnits><ofd:CompositeGraphicUnit ID=\"60\" Width=\"20\" Height=\"20\">"
               "<ofd:Content><ofd:PathObject ID=\"61\" Boundary=\"2 2 16 16\" Fill=\"true\"><ofd:FillColor "
               "Value=\"255 0 0\"/><ofd:AbbreviatedData>M 0 0 L 16 0 L 16 16 L 0 16 C</ofd:AbbreviatedData>"
               "</ofd:PathObject></ofd:Content></ofd:CompositeGraphicUnit></ofd:CompositeGraphicUnits>"
            << "<ofd:CompositeObject ID=\"70\" Boundary=\"20 30 40 40\" CTM=\"1.5 0.5 -0.5 1.5 5 0\" "
               "ResourceID=\"60\"/>";
        QTest::newRow("text") << kFonts << kText;
        // The second code has no X: it goes on after "Hello"; written back with X="0" it would
        // land on top of it.
        QTest::newRow("text code continuing the one before")
            << kFonts
            << "<ofd:TextObject ID=\"10\" Boundary=\"10 10 120 10\" Font=\"1\" Size=\"5\">"
               "<ofd:FillColor Value=\"0 0 0\"/><ofd:TextCode X=\"0\" Y=\"5\" DeltaX=\"4 4 4 4\">Hello"
               "</ofd:TextCode><ofd:TextCode Y=\"5\" DeltaX=\"4 4 4 "
               "4\">World</ofd:TextCode></ofd:TextObject>";
    }
    void rendersTheSame()
    {
        QFETCH(QString, res);
        QFETCH(QString, layer);
        AnnotTestDoc doc;
        doc.publicRes = res;
        doc.pageLayers << layer;
        auto manage = Open(doc.Build());
        QVERIFY(manage);
        const QImage before = OfdPageRenderer::RenderPage(manage.get(), 0, 0, 96);
        auto saved = Open(Save(manage.get()));
        QVERIFY(saved);
        const QImage after = OfdPageRenderer::RenderPage(saved.get(), 0, 0, 96);
        QCOMPARE(after.size(), before.size());
        int different = 0;
        int inked = 0;
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                const QColor a = before.pixelColor(x, y);
                const QColor b = after.pixelColor(x, y);
                inked += a != QColor(Qt::white);
                different +=
                    qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) > 48;
            }
        }
        QVERIFY2(inked > 200, "the page shows nothing");
        QVERIFY2(different <= inked / 50,
                 qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(different).arg(inked)));
    }

    void entryNamesWithoutLeadingSlash()
    {
        OfdFileWriter writer;
        writer.AddFile(new OfdFileInfo{QStringLiteral("/Doc_0/a.xml"), QByteArray("<a/>")});
        writer.AddFile(new OfdFileInfo{QStringLiteral("b.xml"), QByteArray("<b/>")});
        const Entries entries = Unzip(writer.GetZipData());
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].first, QStringLiteral("Doc_0/a.xml"));
        QCOMPARE(entries[0].second, QByteArray("<a/>"));
        QCOMPARE(entries[1].first, QStringLiteral("b.xml"));
        // Packing twice gives nothing: a writer packs once.
        QVERIFY(writer.GetZipData().isEmpty());
    }

    // Every kind drawn in code, saved, reopened: the same annotations at the same places.
    void roundTripAllKinds()
    {
        auto manage = Open(RichDoc().Build());
        QVERIFY(manage);
        Scenes scenes(manage.get());
        OfdPageScene *scene = scenes.list[0];
        PageAnnotManage *annots = PageAnnotManage::FromScene(scene);
        QVERIFY(annots);
        auto draw = [&](EN_AnnotType type, QList<QPointF> points) {
            scene->SetAnnot(type);
            OfdVisualItemAnnot *item = annots->DrawAnnotStart(points.first());
            for (const QPointF &p : points.mid(1))
                annots->DrawAnnotMove(p);
            annots->DrawAnnotEnd(points.last());
            return item;
        };
        const QPointF textA = OfdConvert::OfdMMToPixel(QPointF(12, 12));
        const QPointF textB = OfdConvert::OfdMMToPixel(QPointF(40, 16));
        draw(EN_AnnotType_Line, {{50, 200}, {150, 260}});
        draw(EN_AnnotType_Arrow, {{250, 300}, {120, 280}});
        draw(EN_AnnotType_Rect, {{40, 120}, {90, 160}});
        OfdVisualItemAnnot *pen =
            draw(EN_AnnotType_Pen, {{200, 50}, {210, 60}, {220, 55}, {230, 70}, {240, 65}});
        draw(EN_AnnotType_Pen, {{200, 100}, {205, 110}, {215, 105}, {225, 120}});
        scene->SetMouseShape(EN_MouseShape_Annot); // ends the pen
        auto *box = static_cast<OfdVisualItemAnnotText *>(draw(EN_AnnotType_Text, {{60, 300}, {200, 340}}));
        box->SetText(QStringLiteral("note"));
        draw(EN_AnnotType_Highlight, {textA, textB});
        draw(EN_AnnotType_Underline, {textA, textB});
        draw(EN_AnnotType_Strikeout, {textA, textB});
        OfdVisualItemAnnot *moved = draw(EN_AnnotType_Rect, {{300, 300}, {330, 320}});
        annots->MoveVisualAnnot(moved, QPointF(-20, 10));
        draw(EN_AnnotType_Highlight, {{10, 350}, {30, 360}}); // no text there: not written
        QCOMPARE(annots->GetNewAnnotGroup().size(), 10);
        QCOMPARE(static_cast<OfdVisualItemAnnotPen *>(pen)->GetStrokes().size(), 2);

        OfdCreator creator;
        creator.SetOfd(manage.get(), 0);
        creator.SetPageScenes(scenes.list);
        const QByteArray zip = creator.GetFileData();
        QVERIFY(!zip.isEmpty());
        const Entries entries = Unzip(zip);

        // Every XML part is well-formed.
        for (const auto &e : entries) {
            if (!e.first.endsWith(QLatin1String(".xml")))
                continue;
            QXmlStreamReader reader(e.second);
            while (!reader.atEnd())
                reader.readNext();
            QVERIFY2(!reader.hasError(), qPrintable(e.first + QStringLiteral(": ") + reader.errorString()));
        }

        // Identifiers are unique across the package and MaxUnitID is the largest.
        QSet<int> ids;
        int maxId = 0;
        for (const auto &e : entries) {
            if (!e.first.endsWith(QLatin1String(".xml")) || e.first.contains(QLatin1String("Attachs")))
                continue;
            QXmlStreamReader reader(e.second);
            while (!reader.atEnd()) {
                if (reader.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const QString id = reader.attributes().value(QLatin1String("ID")).toString();
                if (id.isEmpty())
                    continue;
                bool ok = false;
                const int value = id.toInt(&ok);
                QVERIFY2(ok, qPrintable(id));
                QVERIFY2(!ids.contains(value),
                         qPrintable(QStringLiteral("duplicate ID %1 in %2").arg(id, e.first)));
                ids.insert(value);
                maxId = qMax(maxId, value);
            }
        }
        std::unique_ptr<XmlNode> document(
            XmlNode::FromData(Entry(entries, QStringLiteral("Doc_0/Document.xml"))));
        QVERIFY(document);
        QCOMPARE(document->GetNodeByName(QStringLiteral("MaxUnitID"))->GetText().toInt(), maxId);
        QCOMPARE(creator.GetMaxUnitId(), maxId);
        QVERIFY(ids.size() > 20);

        // Reopened: the loaded annotation, then the nine written new ones, at the same places.
        auto reopened = Open(zip);
        QVERIFY(reopened);
        auto *model = dynamic_cast<OfdXmlAnnotations *>(reopened->GetOfdFile(0)->GetAnnotations());
        QVERIFY(model);
        const QString newPage =
            document->GetNodeByName(QStringLiteral("Pages"))->GetChild(0)->GetAttr(QStringLiteral("ID"));
        const QList<PageAnnot *> loaded = model->GetPageAnnots(newPage.toInt());
        QCOMPARE(loaded.size(), 10);
        QCOMPARE(loaded[0]->GetType(), QStringLiteral("Watermark"));
        QCOMPARE(loaded[0]->GetCreator(), QStringLiteral("old"));
        QCOMPARE(loaded[0]->GetAppearance()->GetBoundary(), QStringLiteral("60 60 10 10"));
        QCOMPARE(loaded[0]->GetAppearance()->GetPageBlock()->GetItemCount(), 1);
        QList<OfdVisualItemAnnot *> written;
        for (OfdVisualItemAnnot *item : annots->GetNewAnnotGroup()) {
            if (!item->IsEmptyAnnot())
                written << item;
        }
        QCOMPARE(written.size(), 9);
        for (int i = 0; i < written.size(); ++i) {
            OfdVisualItemAnnot *item = written[i];
            PageAnnot *annot = loaded[i + 1];
            const QString what = item->GetAnnotSubtype();
            QCOMPARE(annot->GetType(), item->GetAnnotOfdType());
            QCOMPARE(annot->GetSubtype(), item->GetAnnotSubtype());
            QCOMPARE(annot->GetCreator(), QStringLiteral("Administrator"));
            QVERIFY(annot->IsVisible());
            QRectF boundary;
            QVERIFY(OfdHelper::PasrseRect(annot->GetAppearance()->GetBoundary(), boundary));
            const QRectF expected = OfdConvert::OfdPixelToMM2(item->GetAnnotBoundaryPixel());
            QVERIFY2(qAbs(boundary.x() - expected.x()) < 0.002 && qAbs(boundary.y() - expected.y()) < 0.002 &&
                         qAbs(boundary.width() - expected.width()) < 0.002 &&
                         qAbs(boundary.height() - expected.height()) < 0.002,
                     qPrintable(what));
            OfdXmlPageBlock *block = annot->GetAppearance()->GetPageBlock();
            QCOMPARE(block->GetItemCount(), 1);
            if (item->GetAnnotKind() == EN_AnnotType_Text) {
                auto *text = dynamic_cast<OfdPageItemText *>(block->GetItems()[0]);
                QVERIFY(text);
                QCOMPARE(text->GetTextCodeManage().GetText(), QStringLiteral("note"));
                QCOMPARE(text->GetFillColor().CreateQColor(), QColor(255, 0, 0));
                continue;
            }
            auto *path = dynamic_cast<OfdPageItemPath *>(block->GetItems()[0]);
            QVERIFY2(path, qPrintable(what));
            const QString original = item->GetPathAbbreviatedData(item->GetAnnotBoundaryPixel().topLeft());
            const QString read = path->GetAbbreviatedData().PathText();
            QCOMPARE(Letters(read), Letters(original));
            const QList<double> a = Numbers(read);
            const QList<double> b = Numbers(original);
            QCOMPARE(a.size(), b.size());
            for (int k = 0; k < a.size(); ++k)
                QVERIFY2(qAbs(a[k] - b[k]) < 0.002, qPrintable(what));
            QCOMPARE(path->IsFill(), item->GetAnnotKind() == EN_AnnotType_Highlight);
        }

        // The reopened page shows them again, drawn where they were.
        Scenes again(reopened.get());
        PageAnnotManage *reloaded = PageAnnotManage::FromScene(again.list[0]);
        QCOMPARE(reloaded->GetLoadedAnnotGroup().size(), 10);
        for (int i = 0; i < written.size(); ++i) {
            const QRectF before = written[i]->GetAnnotBoundaryPixel();
            const QRectF after = reloaded->GetLoadedAnnotGroup()[i + 1]->GetAnnotBoundaryPixel();
            QVERIFY(qAbs(before.x() - after.x()) < 0.02 && qAbs(before.bottom() - after.bottom()) < 0.02);
        }
        QCOMPARE(reloaded->GetLoadedAnnotGroup()[7]->GetVisualLayer(), 1); // the highlight

        // A second save keeps them all.
        const QByteArray second = Save(reopened.get(), again.list);
        auto third = Open(second);
        QVERIFY(third);
        auto *model3 = dynamic_cast<OfdXmlAnnotations *>(third->GetOfdFile(0)->GetAnnotations());
        QVERIFY(model3);
        QCOMPARE(model3->GetAnnotCount(), 10);
    }

    void carriesOutlineCustomTagsAndAttachments()
    {
        auto manage = Open(RichDoc().Build());
        QVERIFY(manage);
        const QByteArray zip = Save(manage.get());
        QVERIFY(!zip.isEmpty());
        const Entries entries = Unzip(zip);
        auto reopened = Open(zip);
        QVERIFY(reopened);
        OfdFile *file = reopened->GetOfdFile(0);
        std::unique_ptr<XmlNode> document(
            XmlNode::FromData(Entry(entries, QStringLiteral("Doc_0/Document.xml"))));
        XmlNode *pages = document->GetNodeByName(QStringLiteral("Pages"));
        const int page0 = pages->GetChild(0)->GetAttr(QStringLiteral("ID")).toInt();
        const int page1 = pages->GetChild(1)->GetAttr(QStringLiteral("ID")).toInt();
        QVERIFY(page0 != 101 && page1 != 102);

        OfdOutline *outline = file->GetOutline();
        QVERIFY(outline);
        QCOMPARE(outline->GetRoots().size(), 1);
        QCOMPARE(outline->GetRoots()[0]->title, QStringLiteral("Second"));
        QVERIFY(outline->GetRoots()[0]->GetGotoDest());
        QCOMPARE(outline->GetRoots()[0]->GetGotoDest()->pageId, page1);
        QCOMPARE(file->GetPageIndex(page1), 1);

        OfdXmlAttachments *attachments = file->GetAttachmentInfoGroup();
        QVERIFY(attachments);
        QCOMPARE(attachments->GetCount(), 1);
        QCOMPARE(file->GetOfdFileContent(attachments->GetAttachments()[0].fileLoc),
                 QByteArray("attached bytes \x01\x02", 17));

        OfdXmlCustomTags *tags = file->GetCustomTags();
        QVERIFY(tags);
        QCOMPARE(tags->GetCount(), 1);
        const auto byPage = tags->ToHashGroupByPage();
        QVERIFY(byPage.contains(page0));
        const int object = byPage.value(page0).first().objectId;
        std::unique_ptr<XmlNode> content(
            XmlNode::FromData(Entry(entries, QStringLiteral("Doc_0/Pages/Page_0/Content.xml"))));
        XmlNode *text = content->GetNodeByName(QStringLiteral("TextObject"));
        QVERIFY(text);
        QCOMPARE(text->GetAttr(QStringLiteral("ID")).toInt(), object);
        // The tag file keeps everything else as it was.
        QByteArray expected;
        for (const auto &f : RichDoc().files) {
            if (f.first == QLatin1String("Doc_0/Tags/tag.xml"))
                expected = f.second;
        }
        expected.replace("PageRef=\"101\">10<",
                         QStringLiteral("PageRef=\"%1\">%2<").arg(page0).arg(object).toUtf8());
        QCOMPARE(Entry(entries, QStringLiteral("Doc_0/Tags/tag.xml")), expected);
    }

    void atomicSaveFailureKeepsOriginal()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("doc.ofd"));
        AnnotTestDoc doc;
        doc.pageLayers << kPath.arg(20);
        const QByteArray original = doc.Build();
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(original);
        }
        auto manage = OpenPath(path);
        QVERIFY(manage);
        Scenes scenes(manage.get());
        OfdCreator::SetFailWritesForTest(true);
        const bool written = OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list, path);
        OfdCreator::SetFailWritesForTest(false);
        QVERIFY(!written);
        QFile check(path);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), original);
        check.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.ofd")});

        // Without the fault the same save replaces the file with a package that opens.
        QVERIFY(OfdCreator::SaveOfdFile(manage.get(), 0, scenes.list, path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.ofd")});
        auto saved = OpenPath(path);
        QVERIFY(saved);
        QCOMPARE(saved->GetOfdFile(0)->GetPageCount(), 1);
        // The opened view still reads its own package.
        QCOMPARE(manage->GetOfdFile(0)->GetPageCount(), 1);
    }

    void saveToReadOnlyFolderFails()
    {
        if (geteuid() == 0)
            QSKIP("folder permissions do not bind the super-user");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.ofd"));
        AnnotTestDoc doc;
        doc.pageLayers << kPath.arg(20);
        const QByteArray original = doc.Build();
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(original);
        out.close();
        auto manage = OpenPath(path);
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool result = OfdCreator::SaveOfdFile(manage.get(), 0, {}, path);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result);
        QFile check(path);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), original);
    }

    void emptyOrMissingDocumentFails()
    {
        OfdCreator creator;
        QVERIFY(creator.GetFileData().isEmpty());
        QVERIFY(!OfdCreator::WriteFileAtomic(QString(), QByteArray("x")));
        QString error;
        QVERIFY(!OfdCreator::SaveOfdFile(nullptr, 0, {}, QStringLiteral("/tmp/x.ofd"), &error));
        QVERIFY(!error.isEmpty());
    }

    // Saving a signed document keeps its signature list and descriptions, also over the file.
    void signedDocumentKeepsSignaturesOnSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("signed.ofd"));
        AnnotTestDoc doc;
        doc.pageLayers << kPath.arg(20);
        doc.bodyExtra = QStringLiteral("<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>");
        const QByteArray list =
            QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>1</ofd:MaxSignId></ofd:Signatures>")
                .arg(AnnotTestDoc::Ns())
                .toUtf8();
        doc.files.append({QStringLiteral("Doc_0/Signs/Signatures.xml"), list});
        const QByteArray original = doc.Build();
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(original);
        out.close();
        auto manage = OpenPath(path);
        QVERIFY(manage);
        QVERIFY(OfdCreator::HasSignatures(manage.get(), 0));
        const QString copy = dir.filePath(QStringLiteral("copy.ofd"));
        QVERIFY(OfdCreator::SaveOfdFile(manage.get(), 0, {}, copy));
        QVERIFY(OfdCreator::SaveOfdFile(manage.get(), 0, {}, path));
        for (const QString &file : {copy, path}) {
            auto saved = OpenPath(file);
            QVERIFY(saved);
            QVERIFY(OfdCreator::HasSignatures(saved.get(), 0));
            QCOMPARE(saved->GetFileReader()->GetFileContent(QStringLiteral("Doc_0/Signs/Signatures.xml")),
                     list);
        }
    }
};

QTEST_MAIN(TestWriter)
#include "test_writer.moc"
