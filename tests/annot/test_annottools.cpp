#include <QAction>
#include <QGraphicsSceneMouseEvent>
#include <QMenu>
#include <QSharedPointer>
#include <QSignalSpy>
#include <QtTest>

#include "annot/annottestdoc.h"
#include "annot/ofdannotsupport.h"
#include "annot/ofdannotviewdata.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/pageannotmanage.h"
#include "model/content/ofdconvert.h"
#include "model/package/ofdfilereader.h"
#include "render/graphicsitemlayermanage.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdviewmanage.h"

Q_DECLARE_METATYPE(OfdVisualItemAnnot *)

namespace {
// A page with one line of text from (10, 10) mm, 5 mm high, and a loaded annotation.
QByteArray TextPage()
{
    AnnotTestDoc doc;
    doc.publicRes = QStringLiteral("<ofd:Fonts><ofd:Font ID=\"1\" FontName=\"DejaVu Sans\" "
                                   "FamilyName=\"DejaVu Sans\"/></ofd:Fonts>");
    doc.pageLayers << QStringLiteral(
        "<ofd:TextObject ID=\"10\" Boundary=\"10 10 80 10\" Font=\"1\" Size=\"5\">"
        "<ofd:FillColor Value=\"0 0 0\"/><ofd:TextCode X=\"0\" Y=\"5\" "
        "DeltaX=\"4 4 4 4 4 4 4 4 4\">Hello text</ofd:TextCode></ofd:TextObject>");
    doc.documentExtra = QStringLiteral("<ofd:Annotations>Annotations.xml</ofd:Annotations>");
    doc.files.append(
        {QStringLiteral("Doc_0/Annotations.xml"),
         QStringLiteral("<ofd:Annotations %1><ofd:Page PageID=\"101\"><ofd:FileLoc>a.xml</ofd:FileLoc>"
                        "</ofd:Page></ofd:Annotations>")
             .arg(AnnotTestDoc::Ns())
             .toUtf8()});
    doc.files.append(
        {QStringLiteral("Doc_0/a.xml"),
         QStringLiteral("<ofd:PageAnnot %1><ofd:Annot ID=\"1\" Type=\"Stamp\"><ofd:Appearance "
                        "Boundary=\"60 60 10 10\"><ofd:PathObject ID=\"2\" Boundary=\"0 0 10 10\">"
                        "<ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject>"
                        "</ofd:Appearance></ofd:Annot></ofd:PageAnnot>")
             .arg(AnnotTestDoc::Ns())
             .toUtf8()});
    return doc.Build();
}

// An opened package with the scene of its first page in annotation drawing mode.
struct Fixture
{
    std::unique_ptr<OfdViewManage> manage;
    std::unique_ptr<OfdPageScene> scene;
    PageAnnotManage *annots = nullptr;

    explicit Fixture(const QByteArray &bytes)
    {
        QSharedPointer<OfdFileReader> reader(new OfdFileReader);
        if (!reader->Open(bytes))
            return;
        manage = std::make_unique<OfdViewManage>();
        if (!manage->SetFileReader(reader))
            return;
        scene = std::make_unique<OfdPageScene>();
        scene->SetViewManage(manage.get());
        scene->SetPageIndex(0, 0);
        scene->CreateScene();
        scene->SetReaderView(EN_OfdReaderView_Annot);
        scene->SetMouseShape(EN_MouseShape_Annot);
        annots = PageAnnotManage::FromScene(scene.get());
    }

    OfdVisualItemAnnot *Draw(EN_AnnotType type, const QList<QPointF> &points)
    {
        scene->SetAnnot(type);
        OfdVisualItemAnnot *item = annots->DrawAnnotStart(points.first());
        for (int i = 1; i < points.size(); ++i)
            annots->DrawAnnotMove(points[i]);
        annots->DrawAnnotEnd(points.last());
        return item;
    }
};

void SendMouse(QGraphicsScene *scene, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(pos);
    event.setButton(button);
    event.setButtons(buttons);
    QCoreApplication::sendEvent(scene, &event);
}
} // namespace

class TestAnnotTools : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        OfdConvert::Init(96.0);
        OfdRenderInit::Init();
        OfdAnnotSupport::Install();
        qRegisterMetaType<OfdVisualItemAnnot *>();
    }

    void kinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("subtype");
        QTest::addColumn<int>("layer");
        QTest::newRow("line") << 1 << "Path"
                              << "Line" << 3;
        QTest::newRow("arrow") << 2 << "Path"
                               << "Arrow" << 3;
        QTest::newRow("rect") << 3 << "Path"
                              << "Rectangle" << 3;
        QTest::newRow("pen") << 4 << "Stamp"
                             << "Tablet" << 3;
        QTest::newRow("text") << 5 << "Stamp"
                              << "FreeText" << 3;
        QTest::newRow("highlight") << 6 << "Highlight"
                                   << "Highlight" << 1;
        QTest::newRow("underline") << 7 << "Highlight"
                                   << "Underline" << 1;
        QTest::newRow("strikeout") << 8 << "Highlight"
                                   << "Strikeout" << 1;
    }
    void kinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, type);
        QFETCH(QString, subtype);
        QFETCH(int, layer);
        std::unique_ptr<OfdVisualItemAnnot> item(OfdVisualItemAnnot::CreateAnnot(EN_AnnotType(kind)));
        QVERIFY(item);
        QCOMPARE(int(item->GetAnnotKind()), kind);
        QCOMPARE(item->GetAnnotOfdType(), type);
        QCOMPARE(item->GetAnnotSubtype(), subtype);
        QCOMPARE(item->GetVisualLayer(), layer);
        QCOMPARE(item->GetAnnotCreator(), QStringLiteral("Administrator"));
        QVERIFY(item->IsAnnot());
        QVERIFY(item->IsNewAnnot());
    }

    void unknownKindCreatesNothing()
    {
        QVERIFY(!OfdVisualItemAnnot::CreateAnnot(EN_AnnotType_None));
        QVERIFY(!OfdVisualItemAnnot::CreateAnnot(EN_AnnotType(9)));
    }

    void loadedAnnotationInScene()
    {
        Fixture f(TextPage());
        QVERIFY(f.annots);
        QCOMPARE(f.annots->GetLoadedAnnotGroup().size(), 1);
        OfdVisualItemAnnot *loaded = f.annots->GetLoadedAnnotGroup()[0];
        QVERIFY(!loaded->IsNewAnnot());
        QCOMPARE(loaded->scene(), f.scene.get());
        const QRectF expected(OfdConvert::OfdMMToPixel(QPointF(60, 60)),
                              OfdConvert::OfdMMToPixel(QSizeF(10, 10)));
        QVERIFY(qAbs(loaded->GetAnnotBoundaryPixel().left() - expected.left()) < 0.01);
        QVERIFY(qAbs(loaded->GetAnnotBoundaryPixel().width() - expected.width()) < 0.01);
        QCOMPARE(loaded->childItems().size(), 1);
        // The appearance child draws in page coordinates through the annotation's position.
        const QRectF child = loaded->childItems()[0]->sceneBoundingRect();
        QVERIFY2(child.contains(expected.center()),
                 qPrintable(QStringLiteral("%1 %2").arg(child.x()).arg(child.y())));
        // Deleting a loaded annotation takes it out of the page's annotations (its item stays in
        // the scene, hidden) and remembers it, so that saving removes it from its file.
        QVERIFY(!f.annots->HasUnsavedWork());
        QVERIFY(f.annots->DeleteVisualItem(loaded));
        QVERIFY(!loaded->isVisible());
        // The deletion lives only in this scene: the view must not drop the scene for it.
        QVERIFY(f.annots->HasUnsavedWork());
        QVERIFY(f.annots->GetLoadedAnnotGroup().isEmpty());
        QCOMPARE(f.annots->GetDeletedLoadedAnnots().size(), 1);
        QVERIFY(!f.annots->IsHaveNewAnnot());
        QVERIFY(!f.annots->DeleteVisualItem(loaded));
    }

    void zeroLengthLine()
    {
        Fixture f(TextPage());
        auto *line = dynamic_cast<OfdVisualItemAnnotLine *>(f.Draw(EN_AnnotType_Line, {QPointF(50, 60)}));
        QVERIFY(line);
        QCOMPARE(line->GetStart(), QPointF(50, 60));
        QCOMPARE(line->GetEnd(), QPointF(50, 60));
        QVERIFY(line->GetAnnotBoundaryPixel().width() > 0);
        QCOMPARE(line->GetPathAbbreviatedData(QPointF(50, 60)), QStringLiteral("M 0 0 L 0 0"));
    }

    void arrowHead_data()
    {
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<QPointF>("wing1");
        QTest::addColumn<QPointF>("wing2");
        QTest::newRow("left to right")
            << QPointF(0, 0) << QPointF(100, 0) << QPointF(86, -7) << QPointF(86, 7);
        QTest::newRow("right to left")
            << QPointF(200, 50) << QPointF(100, 50) << QPointF(114, 57) << QPointF(114, 43);
        QTest::newRow("downwards") << QPointF(10, 10) << QPointF(10, 110) << QPointF(17, 96)
                                   << QPointF(3, 96);
    }
    void arrowHead()
    {
        QFETCH(QPointF, start);
        QFETCH(QPointF, end);
        QFETCH(QPointF, wing1);
        QFETCH(QPointF, wing2);
        Fixture f(TextPage());
        auto *arrow = dynamic_cast<OfdVisualItemAnnotArrow *>(f.Draw(EN_AnnotType_Arrow, {start, end}));
        QVERIFY(arrow);
        QVERIFY2(QLineF(arrow->GetWing1(), wing1).length() < 1e-6,
                 qPrintable(QStringLiteral("%1,%2").arg(arrow->GetWing1().x()).arg(arrow->GetWing1().y())));
        QVERIFY(QLineF(arrow->GetWing2(), wing2).length() < 1e-6);
    }

    void penStrokes()
    {
        Fixture f(TextPage());
        f.scene->SetAnnot(EN_AnnotType_Pen);
        OfdVisualItemAnnot *first = nullptr;
        for (int stroke = 0; stroke < 3; ++stroke) {
            const double y = 20 + 10 * stroke;
            OfdVisualItemAnnot *item = f.annots->DrawAnnotStart(QPointF(10, y));
            if (!first)
                first = item;
            QCOMPARE(item, first);
            for (int x = 1; x <= 3 + stroke; ++x)
                f.annots->DrawAnnotMove(QPointF(10 + 5 * x, y));
            f.annots->DrawAnnotEnd(QPointF(10 + 5 * (3 + stroke), y));
        }
        QCOMPARE(f.annots->GetNewAnnotGroup().size(), 1);
        auto *pen = dynamic_cast<OfdVisualItemAnnotPen *>(first);
        QVERIFY(pen);
        QCOMPARE(pen->GetStrokes().size(), 3);
        // 4, 5 and 6 points: one Bézier segment each (the last point repeated on release is not added).
        QCOMPARE(pen->GetStrokes()[0].size(), 4);
        QCOMPARE(pen->GetStrokes()[2].size(), 6);
        int beziers = 0;
        for (const auto &segment : pen->GetSegments())
            beziers += segment.cmd == 'B';
        QCOMPARE(beziers, 3);
        // Changing the tool ends the pen: the next press starts a new item.
        f.scene->SetMouseShape(EN_MouseShape_Annot);
        QVERIFY(f.annots->DrawAnnotStart(QPointF(1, 1)) != first);
    }

    void penPointCounts_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("segments");
        QTest::newRow("three") << 3 << 0;
        QTest::newRow("four") << 4 << 2;
        QTest::newRow("seven") << 7 << 3;
        QTest::newRow("eight") << 8 << 3;
    }
    void penPointCounts()
    {
        QFETCH(int, points);
        QFETCH(int, segments);
        OfdVisualItemAnnotPen pen;
        pen.SetStartPoint(QPointF(0, 0));
        for (int i = 1; i < points; ++i)
            pen.SetEndPoint(QPointF(i, i * i));
        QCOMPARE(pen.GetSegments().size(), segments);
        QCOMPARE(pen.IsEmptyAnnot(), segments == 0);
    }

    void textLineKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("highlight") << 6;
        QTest::newRow("underline") << 7;
        QTest::newRow("strikeout") << 8;
    }
    void textLineKinds()
    {
        QFETCH(int, kind);
        Fixture f(TextPage());
        const QPointF a = OfdConvert::OfdMMToPixel(QPointF(12, 12));
        const QPointF b = OfdConvert::OfdMMToPixel(QPointF(30, 16));
        OfdVisualItemAnnot *item = f.Draw(EN_AnnotType(kind), {a, b});
        QVERIFY(item);
        QCOMPARE(item->GetVisualLayer(), 1);
        const QList<QRectF> rects = kind == 6
                                        ? static_cast<OfdVisualItemAnnotHighlight *>(item)->GetTextRects()
                                        : static_cast<OfdVisualItemAnnotSpecialLine *>(item)->GetTextRects();
        QCOMPARE(rects.size(), 1);
        // The line of text lies around y = 15 mm (baseline) within the text's 5 mm size.
        const double top = OfdConvert::OfdPixelToMM(rects[0].top());
        const double bottom = OfdConvert::OfdPixelToMM(rects[0].bottom());
        QVERIFY2(top > 8 && top < 15 && bottom > 14 && bottom < 18,
                 qPrintable(QStringLiteral("%1 %2").arg(top).arg(bottom)));
        const auto segments = static_cast<OfdVisualItemAnnotPath *>(item)->GetSegments();
        if (kind == 6) {
            QCOMPARE(segments.size(), 5);
            QCOMPARE(segments.last().cmd, 'C');
        } else {
            QCOMPARE(segments.size(), 2);
            const double expectedY = kind == 7 ? rects[0].bottom() : rects[0].center().y();
            QCOMPARE(segments[0].points[0].y(), expectedY);
            QCOMPARE(segments[1].points[0].x(), rects[0].right());
        }
        // The same drag over an empty part of the page finds no line.
        OfdVisualItemAnnot *empty = f.Draw(EN_AnnotType(kind), {OfdConvert::OfdMMToPixel(QPointF(20, 50)),
                                                                OfdConvert::OfdMMToPixel(QPointF(40, 60))});
        QVERIFY(empty->IsEmptyAnnot());
    }

    void textBox()
    {
        Fixture f(TextPage());
        auto *box = dynamic_cast<OfdVisualItemAnnotText *>(
            f.Draw(EN_AnnotType_Text, {QPointF(100, 100), QPointF(60, 80), QPointF(40, 50)}));
        QVERIFY(box);
        QVERIFY(box->GetTextItem());
        QCOMPARE(box->GetTextItem()->pos(), QPointF(40, 50));
        QCOMPARE(box->GetTextItem()->GetSize(), QSizeF(60, 50));
        QCOMPARE(box->GetTextItem()->defaultTextColor(), QColor(255, 0, 0));
        QCOMPARE(box->GetTextItem()->font().pixelSize(), int(OfdVisualItemAnnotText::kFontPixelSize));
        QVERIFY(box->GetTextItem()->textInteractionFlags() & Qt::TextEditable);
        QVERIFY(box->IsEmptyAnnot());
        box->SetText(QStringLiteral("note"));
        QVERIFY(!box->IsEmptyAnnot());
    }

    void moveAndDelete()
    {
        Fixture f(TextPage());
        OfdVisualItemAnnot *rect = f.Draw(EN_AnnotType_Rect, {QPointF(10, 10), QPointF(40, 30)});
        const QRectF before = rect->GetAnnotBoundaryPixel();
        f.annots->MoveVisualAnnot(rect, QPointF(15, -5));
        QCOMPARE(rect->GetAnnotBoundaryPixel(), before.translated(15, -5));
        // The geometry moved with the item: the first corner is now at (25, 5) pixels.
        const QStringList data = rect->GetPathAbbreviatedData(QPointF(0, 0)).split(QLatin1Char(' '));
        QCOMPARE(data.at(0), QStringLiteral("M"));
        QVERIFY(qAbs(data.at(1).toDouble() - OfdConvert::OfdPixelToMM(25.0)) < 0.001);
        QVERIFY(qAbs(data.at(2).toDouble() - OfdConvert::OfdPixelToMM(5.0)) < 0.001);
        QSignalSpy changed(f.scene.get(), &OfdPageScene::SignalAnnotChanged);
        QGraphicsItem *graphics = rect;
        OfdVisualItem *visual = rect;
        QVERIFY(f.annots->DeleteVisualItem(rect));
        QCOMPARE(changed.count(), 1);
        QVERIFY(f.annots->GetNewAnnotGroup().isEmpty());
        QVERIFY(!f.scene->items().contains(graphics));
        QList<OfdVisualItem *> items;
        f.scene->GetVisualItemList(items);
        QVERIFY(!items.contains(visual));
    }

    // Mouse events reach the tools through the scene: drawing, then dragging in the editing mode.
    void mouseThroughScene()
    {
        Fixture f(TextPage());
        QSignalSpy ended(f.scene.get(), &OfdPageScene::SignalDrawAnnotEnd);
        f.scene->SetAnnot(EN_AnnotType_Line);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMousePress, QPointF(20, 20), Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMouseMove, QPointF(60, 40), Qt::NoButton,
                  Qt::LeftButton);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMouseRelease, QPointF(80, 50), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(ended.count(), 1);
        auto *line = dynamic_cast<OfdVisualItemAnnotLine *>(ended.at(0).at(1).value<OfdVisualItemAnnot *>());
        QVERIFY(line);
        QCOMPARE(line->GetEnd(), QPointF(80, 50));
        QCOMPARE(line->scene(), f.scene.get());
        QVERIFY(line->GetItemId() > 0);

        // Select mode in the annotation view drags new annotations.
        f.scene->SetMouseShape(EN_MouseShape_Text);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMousePress, QPointF(50, 35), Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMouseMove, QPointF(60, 45), Qt::NoButton,
                  Qt::LeftButton);
        SendMouse(f.scene.get(), QEvent::GraphicsSceneMouseRelease, QPointF(60, 45), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(line->scenePos(), QPointF(10, 10));
        QVERIFY(line->isSelected());
    }

    void hoverAndMenu()
    {
        Fixture f(TextPage());
        OfdVisualItemAnnot *rect = f.Draw(EN_AnnotType_Rect, {QPointF(10, 10), QPointF(40, 30)});
        QCOMPARE(f.annots->DealAnnotMouseMove(QPointF(20, 20)), rect);
        QVERIFY(rect->IsHover());
        QVERIFY(!f.annots->DealAnnotMouseMove(QPointF(200, 200)));
        QVERIFY(!rect->IsHover());

        std::unique_ptr<QMenu> menu(f.annots->CreateContextMenu(rect));
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), QString::fromUtf8("删除批注"));
        QCOMPARE(menu->actions()[1]->text(), QString::fromUtf8("隐藏批注"));
        OfdVisualItemAnnot *loaded = f.annots->GetLoadedAnnotGroup()[0];
        std::unique_ptr<QMenu> loadedMenu(f.annots->CreateContextMenu(loaded));
        QCOMPARE(loadedMenu->actions().size(), 2);
        QCOMPARE(loadedMenu->actions()[0]->text(), QString::fromUtf8("删除批注"));
        loadedMenu->actions()[1]->trigger();
        QVERIFY(!loaded->isVisible());
        menu->actions()[0]->trigger();
        QVERIFY(f.annots->GetNewAnnotGroup().isEmpty());
        // With no new annotation left, the hidden loaded one is still work the scene must keep.
        QVERIFY(f.annots->HasUnsavedWork());
        loaded->SetVisiable(true);
        QVERIFY(!f.annots->HasUnsavedWork());
    }

    void viewData()
    {
        Fixture f(TextPage());
        f.Draw(EN_AnnotType_Line, {QPointF(10, 10), QPointF(40, 30)});
        OfdVisualItemAnnot *arrow = f.Draw(EN_AnnotType_Arrow, {QPointF(10, 50), QPointF(40, 60)});
        f.annots->OnAnnotCheckChanged({arrow->GetItemId()}, false);
        std::unique_ptr<OfdAnnotViewData> data(OfdAnnotSupport::CreateAnnotViewData({f.scene.get()}, -1));
        QCOMPARE(data->GetPages().size(), 1);
        const auto &items = data->GetPages()[0]->GetItems();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->type, QStringLiteral("Stamp"));
        QCOMPARE(items[1]->subtype, QStringLiteral("Line"));
        QCOMPARE(items[2]->subtype, QStringLiteral("Arrow"));
        QVERIFY(items[1]->visible);
        QVERIFY(!items[2]->visible);
        QCOMPARE(items[2]->itemIds, QList<int>{arrow->GetItemId()});
        QCOMPARE(items[2]->creator, QStringLiteral("Administrator"));
        QVERIFY(data->RemovePage(0));
        QVERIFY(data->GetPages().isEmpty());
        std::unique_ptr<OfdAnnotViewData> other(OfdAnnotSupport::CreateAnnotViewData({f.scene.get()}, 3));
        QVERIFY(other->GetPages().isEmpty());
    }
};

QTEST_MAIN(TestAnnotTools)
#include "test_annottools.moc"
