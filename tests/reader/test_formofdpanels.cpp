#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "reader/formofd.h"
#include "reader/formofdannot.h"
#include "reader/formofdcustomtag.h"
#include "reader/formofdfile.h"
#include "reader/formofdoutline.h"
#include "reader/formofdpage.h"
#include "reader/formofdthumbnail.h"
#include "render/ofdrenderinit.h"
#include "viewtestdoc.h"

namespace {
void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

QTreeWidgetItem *FindItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

void ClickItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(item).center());
}

ViewTestDoc PanelDoc()
{
    ViewTestDoc doc;
    doc.pageCount = 6;
    for (int i = 0; i < doc.pageCount; ++i)
        doc.texts << QStringLiteral("Line%1").arg(i);
    auto gotoXml = [](int pageIndex, const QString &extra) {
        return QStringLiteral("<ofd:Actions><ofd:Action Event=\"CLICK\"><ofd:Goto><ofd:Dest Type=\"XYZ\" "
                              "PageID=\"%1\" Left=\"0\" %2/></ofd:Goto></ofd:Action></ofd:Actions>")
            .arg(ViewTestDoc::PageId(pageIndex))
            .arg(extra);
    };
    doc.outlineXml =
        QStringLiteral("<ofd:OutlineElem Title=\"Chapter\">%1"
                       "<ofd:OutlineElem Title=\"Section\">%2</ofd:OutlineElem></ofd:OutlineElem>"
                       "<ofd:OutlineElem Title=\"Nowhere\">%3</ofd:OutlineElem>"
                       "<ofd:OutlineElem Title=\"Plain\"/>")
            .arg(gotoXml(2, QStringLiteral("Top=\"20\"")),
                 gotoXml(4, QStringLiteral("Top=\"10\" Zoom=\"1.5\"")))
            .arg(QStringLiteral("<ofd:Actions><ofd:Action><ofd:Goto><ofd:Dest Type=\"XYZ\" "
                                "PageID=\"999\"/></ofd:Goto></ofd:Action></ofd:Actions>"));
    doc.customTagXml =
        QStringLiteral("<fp:Invoice xmlns:fp=\"urn:test\" xmlns:ofd=\"http://www.ofdspec.org/2016\">"
                       "<fp:No><ofd:ObjectRef PageRef=\"%1\">%2</ofd:ObjectRef></fp:No>"
                       "<fp:Buyer><fp:Name><ofd:ObjectRef PageRef=\"%3\">%4</ofd:ObjectRef>"
                       "</fp:Name></fp:Buyer></fp:Invoice>")
            .arg(ViewTestDoc::PageId(1))
            .arg(ViewTestDoc::TextId(1))
            .arg(ViewTestDoc::PageId(3))
            .arg(ViewTestDoc::SquareId(3));
    doc.attachmentXml =
        QStringLiteral("<ofd:Attachment ID=\"1\" Name=\"../../x\" Format=\"\" Size=\"0.1\" "
                       "CreationDate=\"2024-05-06T07:08:09\"><ofd:FileLoc>data.txt</ofd:FileLoc>"
                       "</ofd:Attachment><ofd:Attachment ID=\"2\" Name=\"report\" Format=\"txt\">"
                       "<ofd:FileLoc>report.txt</ofd:FileLoc></ofd:Attachment>");
    doc.extraFiles.append(qMakePair(QStringLiteral("Doc_0/Attachs/data.txt"), QByteArray("hello")));
    doc.extraFiles.append(qMakePair(QStringLiteral("Doc_0/Attachs/report.txt"), QByteArray("second")));
    return doc;
}
} // namespace

// The side panels: thumbnails, outline, custom tags, annotations and attachments.
class TestFormOfdPanels : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void thumbnailClickScrolls();
    void thumbnailsFollowTheView();
    void outlineClickGoesToPage();
    void outlineOfDocumentWithout();
    void customTagTreeHighlights();
    void annotationListFromProvider();
    void attachmentSaveSanitisesName();
    void attachmentExtractStaysInItsFolder();
    void panelCloseRequest();

private:
    std::unique_ptr<FormOfd> m_form;
};

void TestFormOfdPanels::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
}

void TestFormOfdPanels::init()
{
    m_form = std::make_unique<FormOfd>();
    m_form->resize(700, 500);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QVERIFY(LoadView(*m_form, PanelDoc()));
    Settle();
}

void TestFormOfdPanels::cleanup()
{
    FormOfd::SetAnnotEntryProvider(FormOfd::AnnotEntryProvider());
    m_form.reset();
}

void TestFormOfdPanels::thumbnailClickScrolls()
{
    FormOfdThumbnail panel;
    panel.resize(260, 500);
    panel.ShowThumbnail(m_form.get(), 200);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.GetThumbnailCount(), 6);
    FormOfdPage *thumb = panel.GetThumbnail(3);
    QCOMPARE(thumb->GetPageType(), EN_OfdPageType_Thumbnail);
    QCOMPARE(thumb->width(), 200);
    QCOMPARE(thumb->GetPageScene(), m_form->GetPage(3)->GetPageScene());
    QSignalSpy clicked(&panel, &FormOfdThumbnail::SignalPageClicked);
    QTest::mouseClick(thumb->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().at(0).toInt(), 3);
    QCOMPARE(m_form->GetCurShowPageIndex(), 3);
    QVERIFY(thumb->IsShowSelectFlag());
    QVERIFY(!panel.GetThumbnail(0)->IsShowSelectFlag());
    // A click on a thumbnail never reaches the shared scene as a selection.
    QVERIFY(m_form->GetPage(3)->GetPageScene()->GetSelectTextItems().isEmpty());
}

void TestFormOfdPanels::thumbnailsFollowTheView()
{
    FormOfdThumbnail panel;
    panel.ShowThumbnail(m_form.get(), 120);
    QVERIFY(panel.GetThumbnail(0)->IsShowSelectFlag());
    m_form->ScrollToPage(5);
    QVERIFY(panel.GetThumbnail(5)->IsShowSelectFlag());
    QVERIFY(!panel.GetThumbnail(0)->IsShowSelectFlag());
    QCOMPARE(panel.GetThumbnail(5)->width(), 120);
    // The view's own pages keep their size.
    QCOMPARE(m_form->GetPage(5)->GetRate(), 1.0);
    // Thumbnails that outlive the view show nothing and do not touch the deleted scenes.
    m_form.reset();
    QVERIFY(!panel.GetThumbnail(5)->GetPageScene());
    QCOMPARE(panel.GetThumbnail(5)->GetPageRealWidth(), 0.0);
    panel.GetThumbnail(5)->grab();
}

void TestFormOfdPanels::outlineClickGoesToPage()
{
    FormOfdOutline panel;
    panel.resize(260, 400);
    panel.ShowOutline(m_form.get());
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTreeWidget *tree = panel.GetTree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    QTreeWidgetItem *chapter = FindItem(tree, QStringLiteral("Chapter"));
    QVERIFY(chapter);
    QCOMPARE(chapter->childCount(), 1);
    QSignalSpy spy(&panel, &FormOfdOutline::SignalOutlineGoto);

    ClickItem(tree, chapter);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toInt(), 2);
    QCOMPARE(m_form->GetCurShowPageIndex(), 2);
    QScrollBar *bar = m_form->GetScrollArea()->verticalScrollBar();
    QCOMPARE(bar->value(), m_form->GetPageTop(2) + int(int(20 * PxPerMM()) * 1.0));
    QCOMPARE(m_form->GetViewCurrentRate(), 1.0);

    // The section's destination zooms to 1.5 before going to page 5, 10 mm from its top.
    QSignalSpy rate(m_form.get(), &FormOfd::SignalViewRateChanged);
    ClickItem(tree, chapter->child(0));
    QCOMPARE(m_form->GetViewCurrentRate(), 1.5);
    QCOMPARE(rate.count(), 1);
    QCOMPARE(m_form->GetCurShowPageIndex(), 4);
    QCOMPARE(bar->value(), m_form->GetPageTop(4) + int(int(10 * PxPerMM()) * 1.5));

    // A destination on a page the document does not have, and an entry without actions: no move.
    const int before = bar->value();
    ClickItem(tree, FindItem(tree, QStringLiteral("Nowhere")));
    ClickItem(tree, FindItem(tree, QStringLiteral("Plain")));
    QCOMPARE(bar->value(), before);
    QCOMPARE(spy.count(), 2);
}

void TestFormOfdPanels::outlineOfDocumentWithout()
{
    FormOfd other;
    QVERIFY(LoadView(other, ViewTestDoc()));
    FormOfdOutline panel;
    panel.ShowOutline(&other);
    QCOMPARE(panel.GetTree()->topLevelItemCount(), 0);
    FormOfdFile files;
    files.ShowAttachments(&other);
    QCOMPARE(files.GetAttachmentCount(), 0);
    FormOfdCustomtag tags;
    tags.ShowCustomTags(&other);
    QCOMPARE(tags.GetTree()->topLevelItemCount(), 0);
}

void TestFormOfdPanels::customTagTreeHighlights()
{
    FormOfdCustomtag panel;
    panel.resize(260, 400);
    panel.ShowCustomTags(m_form.get());
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTreeWidget *tree = panel.GetTree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("Invoice"));
    QCOMPARE(root->childCount(), 2);
    QTreeWidgetItem *name = FindItem(tree, QStringLiteral("Name"));
    QVERIFY(name);
    QCOMPARE(panel.GetItemRefs(name).size(), 1);
    QCOMPARE(panel.GetItemRefs(root).size(), 2);

    ClickItem(tree, name);
    QCOMPARE(m_form->GetPage(3)->GetCustomTagRects().size(), 1);
    QVERIFY(m_form->GetPage(1)->GetCustomTagRects().isEmpty());
    QCOMPARE(m_form->GetCurShowPageIndex(), 3);

    ClickItem(tree, root);
    QCOMPARE(m_form->GetPage(1)->GetCustomTagRects().size(), 1);
    QCOMPARE(m_form->GetPage(3)->GetCustomTagRects().size(), 1);
    QCOMPARE(m_form->GetCurShowPageIndex(), 1);

    ClickItem(tree, FindItem(tree, QStringLiteral("No")));
    QVERIFY(m_form->GetPage(3)->GetCustomTagRects().isEmpty());
    QCOMPARE(m_form->GetPage(1)->GetCustomTagRects().size(), 1);
}

void TestFormOfdPanels::annotationListFromProvider()
{
    FormOfdAnnot panel;
    panel.ShowAnnots(m_form.get());
    QCOMPARE(panel.GetTree()->topLevelItemCount(), 0);

    FormOfd::SetAnnotEntryProvider([](FormOfdPage *page) {
        QList<FormOfdAnnotEntry> entries;
        if (page->GetPageIndex() == 2 || page->GetPageIndex() == 4) {
            FormOfdAnnotEntry entry;
            entry.type = QStringLiteral("Path");
            entry.subtype = QStringLiteral("Line");
            entry.creator = QStringLiteral("Administrator");
            entry.itemIds = {7, 8};
            entries.append(entry);
        }
        return entries;
    });
    QCOMPARE(m_form->CreateAnnotViewData(-1).size(), 2);
    QCOMPARE(m_form->CreateAnnotViewData(4).size(), 1);
    QCOMPARE(m_form->CreateAnnotViewData(4).first().pageIndex, 4);
    QVERIFY(m_form->CreateAnnotViewData(1).isEmpty());

    panel.ShowAnnots(m_form.get());
    QTreeWidget *tree = panel.GetTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString::fromUtf8("第3页"));
    QCOMPARE(tree->topLevelItem(1)->text(0), QString::fromUtf8("第5页"));
    QTreeWidgetItem *line = tree->topLevelItem(1)->child(0);
    QCOMPARE(line->checkState(0), Qt::Checked);
    QSignalSpy spy(&panel, &FormOfdAnnot::SignalAnnotCheckChanged);
    line->setCheckState(0, Qt::Unchecked);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toInt(), 4);
    QCOMPARE(spy.first().at(1).value<QList<int>>(), (QList<int>{7, 8}));
    QCOMPARE(spy.first().at(2).toBool(), false);

    // Refreshing one page replaces only its entries.
    panel.UpdatePage(2, QList<FormOfdAnnotEntry>());
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString::fromUtf8("第5页"));
    panel.UpdatePage(2, m_form->CreateAnnotViewData(2));
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString::fromUtf8("第3页"));
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
}

void TestFormOfdPanels::attachmentSaveSanitisesName()
{
    FormOfdFile panel;
    panel.ShowAttachments(m_form.get());
    QCOMPARE(panel.GetAttachmentCount(), 2);
    QCOMPARE(panel.GetTree()->topLevelItem(0)->text(0), QStringLiteral("../../x"));
    QCOMPARE(panel.GetAttachmentData(0), QByteArray("hello"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("a/b"));
    QVERIFY(QDir().mkpath(target));
    const QString written = panel.SaveAttachment(0, target);
    QCOMPARE(written, QDir(target).filePath(QStringLiteral("x")));
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("hello"));
    // Nothing was written above the chosen folder.
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("a/x"))));
    // The format is added to a name without one.
    QCOMPARE(QFileInfo(panel.SaveAttachment(1, target)).fileName(), QStringLiteral("report.txt"));
    QVERIFY(panel.SaveAttachment(7, target).isEmpty());
}

void TestFormOfdPanels::attachmentExtractStaysInItsFolder()
{
    FormOfdFile panel;
    panel.ShowAttachments(m_form.get());
    const QString first = panel.ExtractToTemp(0);
    const QString second = panel.ExtractToTemp(1);
    QVERIFY(!first.isEmpty());
    QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("x"));
    QCOMPARE(QFileInfo(first).absolutePath(), QFileInfo(second).absolutePath());
    QVERIFY(QFile::exists(first));
}

void TestFormOfdPanels::panelCloseRequest()
{
    FormOfdOutline panel;
    QSignalSpy spy(&panel, &FormOfdPanel::SignalClose);
    QTest::mouseClick(panel.GetCloseButton(), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(panel.GetTitle(), QString::fromUtf8("大纲"));
}

QTEST_MAIN(TestFormOfdPanels)
#include "test_formofdpanels.moc"
