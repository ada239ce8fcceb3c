#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "packagebuilder.h"
#include "reader/formofd.h"
#include "reader/formofdprint.h"
#include "reader/formofdthumbnail.h"
#include "reader/ofdreadwidget.h"
#include "shell/fileinforecord.h"
#include "sign/verifyofdfile.h"
#include "widgets/appdialog.h"

namespace {

// A package whose pages each carry one line of text: "Page N of the OFD test" at (20 mm, 30 mm).
PackageBuilder TextOfd(int pageCount)
{
    PackageBuilder builder;
    builder.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\" Version=\"1.0\" DocType=\"OFD\">"
                       "<ofd:DocBody><ofd:DocInfo><ofd:DocID>text</ofd:DocID></ofd:DocInfo>"
                       "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    QString pages;
    for (int i = 0; i < pageCount; ++i)
        pages +=
            QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(100 + i).arg(i);
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">"
                       "<ofd:CommonData><ofd:MaxUnitID>999</ofd:MaxUnitID>"
                       "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>"
                       "<ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
                       "</ofd:CommonData><ofd:Pages>%1</ofd:Pages></ofd:Document>")
            .arg(pages));
    builder.AddText(
        QStringLiteral("Doc_0/PublicRes.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" BaseLoc=\"Res\">"
                       "<ofd:Fonts><ofd:Font ID=\"2\" FontName=\"DejaVu Sans\" FamilyName=\"DejaVu Sans\"/>"
                       "</ofd:Fonts></ofd:Res>"));
    for (int i = 0; i < pageCount; ++i) {
        const QString text = QStringLiteral("Page %1 of the OFD test").arg(i + 1);
        QStringList deltas;
        for (int c = 1; c < text.size(); ++c)
            deltas << QStringLiteral("3");
        builder.AddText(
            QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Content><ofd:Layer ID=\"%1\">"
                "<ofd:TextObject ID=\"%2\" Boundary=\"20 30 150 10\" Font=\"2\" Size=\"5\">"
                "<ofd:TextCode X=\"0\" Y=\"5\" DeltaX=\"%3\">%4</ofd:TextCode></ofd:TextObject>"
                "</ofd:Layer></ofd:Content></ofd:Page>")
                .arg(200 + 2 * i)
                .arg(201 + 2 * i)
                .arg(deltas.join(QLatin1Char(' ')))
                .arg(text));
    }
    return builder;
}

// Closes the next message box that comes up and remembers its text.
void AnswerNextMessageBox(QString *text)
{
    QTimer::singleShot(0, [text]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *text = box->text();
            box->close();
        }
    });
}

} // namespace

// The reader widget drives a document view through its buttons, boxes and side bar.
class TestOfdReadWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formHasItsNamedWidgets_data();
    void formHasItsNamedWidgets();
    void openingShowsDocumentAndRecordsIt();
    void openingBrokenFileIsReported();
    void zoomBoxChoosesRate();
    void zoomButtonsStepByTenPercent();
    void zoomHasFloor_data();
    void zoomHasFloor();
    void fitModesFillTheWindow();
    void twoPageLayoutAndRows();
    void rotationButtons();
    void pageBoxInput_data();
    void pageBoxInput();
    void previousAndNextRows_data();
    void previousAndNextRows();
    void searchBoxSearches();
    void searchHitsByKeys();
    void copyPutsSelectedTextOnClipboard();
    void modeButtonsSwitchToolBarsAndTools();
    void toolStripCollapses();
    void sideBarOpensAndClosesPanels();
    void fullScreenAndBack();
    void closingDeletesView();
    void printOpensTheDialog();
    void providerVerificationOfUnsignedFile();
    void saveWritesTheDocument();
    void suffixIsAppended_data();
    void suffixIsAppended();
    void editionsDiffer_data();
    void editionsDiffer();

private:
    OfdReadWidget *OpenText(int pages);
    QToolButton *Button(const QString &text) const;
    static QString T(const char *text) { return QString::fromUtf8(text); }

    QTemporaryDir m_dir;
    QString m_textFile;
    OfdReadWidget *m_widget = nullptr;
    int m_savedEdition = 1;
};

void TestOfdReadWidget::initTestCase()
{
    OfdConvert::Init();
    AppParam::Init();
    m_savedEdition = AppParam::AppStatus;
    FileInfoRecord::GetInstance()->SetRecordFile(m_dir.filePath(QStringLiteral("FileRecord.txt")));
    m_textFile = m_dir.filePath(QStringLiteral("text.ofd"));
    QVERIFY(TextOfd(5).WriteTo(m_textFile));
}

void TestOfdReadWidget::init()
{
    AppParam::AppStatus = m_savedEdition;
}

void TestOfdReadWidget::cleanup()
{
    delete m_widget;
    m_widget = nullptr;
    AppParam::AppStatus = m_savedEdition;
}

void TestOfdReadWidget::providerVerificationOfUnsignedFile()
{
    QVERIFY(OpenText(5));
    const QSharedPointer<VerifyOfdResult> result = m_widget->RunProviderVerification();
    QVERIFY(result);
    QCOMPARE(result->state, int(VerifyOfdResult::State_NoSignature));
    QCOMPARE(result->message, T("文件没有签章信息"));
    // The command is on the security tool bar and shows the outcome in a dialog.
    m_widget->findChild<QPushButton *>(QStringLiteral("securityBtn"))->click();
    QToolButton *command = Button(T("验证签章"));
    QVERIFY(command);
    QString shown;
    QTimer::singleShot(0, [&shown]() {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("labelVerifySummary")))
                shown = label->text();
            dialog->close();
        }
    });
    command->click();
    QCOMPARE(shown, T("文件没有签章信息"));
}

OfdReadWidget *TestOfdReadWidget::OpenText(int pages)
{
    QString path = m_textFile;
    if (pages != 5) {
        path = m_dir.filePath(QStringLiteral("text%1.ofd").arg(pages));
        if (!QFile::exists(path) && !TextOfd(pages).WriteTo(path))
            return nullptr;
    }
    m_widget = new OfdReadWidget;
    m_widget->resize(1100, 800);
    m_widget->show();
    if (!QTest::qWaitForWindowExposed(m_widget) || !m_widget->OpenFile(path))
        return nullptr;
    QApplication::processEvents();
    return m_widget;
}

QToolButton *TestOfdReadWidget::Button(const QString &text) const
{
    return m_widget ? m_widget->FindToolButton(text) : nullptr;
}

void TestOfdReadWidget::formHasItsNamedWidgets_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"centralWidget",
                             "topMenuWidget",
                             "fileBtn",
                             "line",
                             "pushButtonOpen",
                             "pushButtonSave",
                             "pushButtonPrint",
                             "readBtn",
                             "annotBtnTop",
                             "convertBtn",
                             "securityBtn",
                             "lineEditSearch",
                             "pushButtonSearch",
                             "buttonShowReadToobar",
                             "topToolWidget",
                             "widgetMainView",
                             "leftBarWidget",
                             "leftBarFirstColumnWidget",
                             "imagebtn",
                             "outlinebtn",
                             "customTagbtn",
                             "annotBtn",
                             "bookmarkbtn",
                             "attachmentBtn",
                             "leftBarSecondColumnWidget",
                             "stackedWidgetLeftBar",
                             "widgetOfdView",
                             "bottomWidget",
                             "messageLabel"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestOfdReadWidget::formHasItsNamedWidgets()
{
    QFETCH(QString, name);
    OfdReadWidget widget;
    QVERIFY2(widget.findChild<QWidget *>(name), qPrintable(name));
    QCOMPARE(widget.windowTitle(), T("OFD阅读器"));
    QVERIFY(widget.findChild<QWidget *>(QStringLiteral("bookmarkbtn"))->isHidden());
    QVERIFY(widget.findChild<QLayout *>(QStringLiteral("horizontalLayout_OfdView")));
    QCOMPARE(widget.GetZoomBox()->currentText(), QStringLiteral("100%"));
    QCOMPARE(widget.GetPageLabel()->text(), T("0 页"));
    QCOMPARE(widget.GetZoomBox()->count(), 15);
    QCOMPARE(widget.GetZoomBox()->itemText(14), QStringLiteral("6400%"));
}

void TestOfdReadWidget::openingShowsDocumentAndRecordsIt()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    QVERIFY(view);
    QCOMPARE(view->GetPageCount(), 5);
    QCOMPARE(view->parentWidget(), m_widget->findChild<QWidget *>(QStringLiteral("widgetOfdView")));
    QCOMPARE(m_widget->GetPageLabel()->text(), T("共 5 页"));
    QCOMPARE(m_widget->GetPageEdit()->text(), QStringLiteral("1"));
    QCOMPARE(m_widget->GetFilePath(), m_textFile);
    QCOMPARE(FileInfoRecord::GetInstance()->GetFileList().value(0).fullPath, m_textFile);
    QCOMPARE(FileInfoRecord::GetInstance()->GetOpenDir(), m_dir.path());
}

void TestOfdReadWidget::openingBrokenFileIsReported()
{
    const QString path = m_dir.filePath(QStringLiteral("broken.ofd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("PK but not really a zip");
    file.close();
    OfdReadWidget widget;
    QString shown;
    AnswerNextMessageBox(&shown);
    QVERIFY(!widget.OpenFile(path));
    QCOMPARE(shown, T("无法打开文件：") + path + T("\n文件已损坏：无法作为 ZIP 压缩包读取。"));
    QVERIFY(!widget.GetFormOfd());
}

void TestOfdReadWidget::zoomBoxChoosesRate()
{
    QVERIFY(OpenText(5));
    QComboBox *box = m_widget->GetZoomBox();
    box->setCurrentIndex(box->findText(QStringLiteral("200%"), Qt::MatchExactly));
    QCOMPARE(m_widget->GetFormOfd()->GetViewCurrentRate(), 2.0);
    QCOMPARE(box->itemText(0), QStringLiteral("200%"));
    QCOMPARE(box->currentIndex(), 0);
    const int pageWidth = m_widget->GetFormOfd()->GetPage(0)->width();
    QCOMPARE(pageWidth, int(float(m_widget->GetFormOfd()->GetPage(0)->GetPageRealWidth() * 2.0)));

    box->setCurrentIndex(box->findText(QStringLiteral("50%"), Qt::MatchExactly));
    QCOMPARE(m_widget->GetFormOfd()->GetViewCurrentRate(), 0.5);
    QCOMPARE(box->currentText(), QStringLiteral("50%"));
    QCOMPARE(box->count(), 15);                   // the first entry is replaced, not added
    QVERIFY(!Button(T("实际大小"))->isChecked()); // 50% is no fit mode
    box->setCurrentIndex(box->findText(QStringLiteral("100%"), Qt::MatchExactly));
    QVERIFY(Button(T("实际大小"))->isChecked());
}

void TestOfdReadWidget::zoomButtonsStepByTenPercent()
{
    QVERIFY(OpenText(5));
    QTest::mouseClick(Button(T("缩小")), Qt::LeftButton);
    QVERIFY(qAbs(m_widget->GetFormOfd()->GetViewCurrentRate() - 0.9) < 1e-6);
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("90%"));
    QTest::mouseClick(Button(T("放大")), Qt::LeftButton);
    QTest::mouseClick(Button(T("放大")), Qt::LeftButton);
    QVERIFY(qAbs(m_widget->GetFormOfd()->GetViewCurrentRate() - 1.1) < 1e-6);
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("110%"));
}

void TestOfdReadWidget::zoomHasFloor_data()
{
    QTest::addColumn<float>("requested");
    QTest::addColumn<int>("zoomOutPresses");
    QTest::newRow("zoom out from 10%") << 0.1f << 3;
    QTest::newRow("zoom out from 15%") << 0.15f << 1;
    QTest::newRow("zero") << 0.0f << 0;
    QTest::newRow("tiny") << 0.001f << 0;
}

void TestOfdReadWidget::zoomHasFloor()
{
    QFETCH(float, requested);
    QFETCH(int, zoomOutPresses);
    QVERIFY(OpenText(5));
    m_widget->SetPageScale(requested);
    for (int i = 0; i < zoomOutPresses; ++i)
        QTest::mouseClick(Button(T("缩小")), Qt::LeftButton);
    const double rate = m_widget->GetFormOfd()->GetViewCurrentRate();
    QVERIFY2(qAbs(rate - 0.1) < 1e-6, qPrintable(QString::number(rate)));
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("10%"));
    QVERIFY(m_widget->GetFormOfd()->GetPage(0)->width() > 0);
}

void TestOfdReadWidget::fitModesFillTheWindow()
{
    QVERIFY(OpenText(1));
    FormOfd *view = m_widget->GetFormOfd();
    QTest::mouseClick(Button(T("双页")), Qt::LeftButton);
    QCOMPARE(view->GetPageColumnCount(), 2);

    // One page in two-page mode still takes the full width.
    QTest::mouseClick(Button(T("适合宽度")), Qt::LeftButton);
    const double width = float(view->GetWndWidth() / view->GetCurPageRealWidth());
    QVERIFY2(qAbs(view->GetViewCurrentRate() - width) < 1e-4,
             qPrintable(QString::number(view->GetViewCurrentRate())));
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("%1%").arg(qRound(width * 100)));
    QVERIFY(Button(T("适合宽度"))->isChecked());

    QTest::mouseClick(Button(T("适合高度")), Qt::LeftButton);
    const double height = float(view->GetWndHeight() / view->GetCurPageRealHeight());
    QVERIFY(qAbs(view->GetViewCurrentRate() - height) < 1e-4);
    QVERIFY(height < width); // the window is wider than an A4 page is tall in proportion

    QVERIFY(Button(T("适合高度"))->isChecked());
    QVERIFY(!Button(T("适合宽度"))->isChecked());
    QTest::mouseClick(Button(T("实际大小")), Qt::LeftButton);
    QCOMPARE(view->GetViewCurrentRate(), 1.0);
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("100%"));
}

void TestOfdReadWidget::twoPageLayoutAndRows()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    m_widget->SetPageScale(0.5f);
    QTest::mouseClick(Button(T("双页")), Qt::LeftButton);
    QCOMPARE(view->GetPageColumnCount(), 2);
    QCOMPARE(view->GetPageRowCount(), 3);
    QApplication::processEvents();
    // Pages 1 and 2 share a row; page 3 starts the next one.
    QCOMPARE(view->GetPage(0)->y(), view->GetPage(1)->y());
    QVERIFY(view->GetPage(2)->y() > view->GetPage(0)->y());
    QTest::mouseClick(Button(T("单页")), Qt::LeftButton);
    QCOMPARE(view->GetPageColumnCount(), 1);
    QApplication::processEvents();
    QVERIFY(view->GetPage(1)->y() > view->GetPage(0)->y());
}

void TestOfdReadWidget::rotationButtons()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    const QSize upright = view->GetPage(0)->size();
    QTest::mouseClick(Button(T("右旋转")), Qt::LeftButton);
    QCOMPARE(view->GetViewRotation(), 90.0);
    QCOMPARE(view->GetPage(0)->size(), upright.transposed());
    QTest::mouseClick(Button(T("左旋转")), Qt::LeftButton);
    QTest::mouseClick(Button(T("左旋转")), Qt::LeftButton);
    QCOMPARE(view->GetViewRotation(), 270.0);
    QCOMPARE(view->GetPage(0)->size(), upright.transposed());
}

void TestOfdReadWidget::pageBoxInput_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("shown");
    QTest::newRow("page 3") << QStringLiteral("3") << 2 << QStringLiteral("3");
    QTest::newRow("last page") << QStringLiteral("5") << 4 << QStringLiteral("5");
    QTest::newRow("beyond the last page") << QStringLiteral("99") << 4 << QStringLiteral("5");
    QTest::newRow("zero") << QStringLiteral("0") << 0 << QStringLiteral("1");
    QTest::newRow("not a number") << QStringLiteral("abc") << 1 << QStringLiteral("2");
    QTest::newRow("empty") << QString() << 1 << QStringLiteral("2");
}

void TestOfdReadWidget::pageBoxInput()
{
    QFETCH(QString, typed);
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    view->ScrollToPage(1, 0, 0); // start on page 2
    QApplication::processEvents();
    QCOMPARE(view->GetCurShowPageIndex(), 1);
    QLineEdit *edit = m_widget->GetPageEdit();
    QCOMPARE(edit->text(), QStringLiteral("2"));

    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
    QTEST(view->GetCurShowPageIndex(), "index");
    QTEST(edit->text(), "shown");
}

void TestOfdReadWidget::previousAndNextRows_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("index");
    QTest::newRow("next from 1") << 1 << 0 << T("下一页") << 1;
    QTest::newRow("previous from 3") << 1 << 2 << T("上一页") << 1;
    QTest::newRow("previous on the first") << 1 << 0 << T("上一页") << 0;
    QTest::newRow("next on the last") << 1 << 4 << T("下一页") << 4;
    QTest::newRow("two columns: next from 1") << 2 << 0 << T("下一页") << 2;
    QTest::newRow("two columns: previous from 5") << 2 << 4 << T("上一页") << 2;
    QTest::newRow("two columns: next from 3") << 2 << 2 << T("下一页") << 4;
}

void TestOfdReadWidget::previousAndNextRows()
{
    QFETCH(int, columns);
    QFETCH(int, start);
    QFETCH(QString, button);
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    view->ShowPage(columns);
    QApplication::processEvents();
    view->ScrollToPage(start, 0, 0);
    QApplication::processEvents();
    QCOMPARE(view->GetCurShowPageIndex(), start);
    QTest::mouseClick(Button(button), Qt::LeftButton);
    QApplication::processEvents();
    QTEST(view->GetCurShowPageIndex(), "index");
    QCOMPARE(m_widget->GetPageEdit()->text(), QString::number(view->GetCurShowPageIndex() + 1));
}

void TestOfdReadWidget::searchBoxSearches()
{
    QVERIFY(OpenText(5));
    auto *search = m_widget->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    auto *message = m_widget->findChild<QLabel *>(QStringLiteral("messageLabel"));
    m_widget->FocusSearchBox();
    QTest::keyClicks(search, QStringLiteral("  OFD test "));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(message->text(), T("找到 5 处“OFD test”"));
    // Every page marks its own hit.
    for (int i = 0; i < 5; ++i)
        QVERIFY(!m_widget->GetFormOfd()->GetPage(i)->GetPageScene()->GetSearchRects().isEmpty());

    search->clear();
    QTest::keyClicks(search, QStringLiteral("Page 3"));
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("pushButtonSearch")), Qt::LeftButton);
    QCOMPARE(message->text(), T("找到 1 处“Page 3”"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(m_widget->GetFormOfd()->GetPage(i)->GetPageScene()->GetSearchRects().isEmpty(), i != 2);

    search->clear();
    QTest::keyClicks(search, QStringLiteral("absent"));
    QTest::keyClick(search, Qt::Key_Enter);
    QCOMPARE(message->text(), T("没有找到“absent”"));
}

// F3, Shift+F3 and Enter again go through the hits, page by page; the status bar tells where.
void TestOfdReadWidget::searchHitsByKeys()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    auto *search = m_widget->findChild<QLineEdit *>(QStringLiteral("lineEditSearch"));
    auto *message = m_widget->findChild<QLabel *>(QStringLiteral("messageLabel"));
    QStringList progress;
    connect(view, &FormOfd::SignalSearchProgress, this, [&](int page, int, int) {
        if (page >= 0)
            progress << message->text();
    });
    m_widget->FocusSearchBox();
    QTest::keyClicks(search, QStringLiteral("OFD test"));
    // F3 before any search searches the box's text.
    QTest::keyClick(search, Qt::Key_F3);
    QCOMPARE(message->text(), T("找到 5 处“OFD test”"));
    QCOMPARE(progress.size(), 5);
    QCOMPARE(progress.first(), T("正在搜索第 1 页"));
    QCOMPARE(progress.last(), T("正在搜索第 5 页"));
    int page = -1;
    int hit = -1;
    QVERIFY(view->GetCurrentHit(page, hit));
    QCOMPARE(page, 0);
    QTest::keyClick(search, Qt::Key_F3);
    QVERIFY(view->GetCurrentHit(page, hit));
    QCOMPARE(page, 1);
    QCOMPARE(message->text(), T("第 2 页，找到 5 处“OFD test”"));
    QCOMPARE(view->GetCurShowPageIndex(), 1);
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(view->GetCurrentHit(page, hit));
    QCOMPARE(page, 2);
    QTest::keyClick(search, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(search, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(view->GetCurrentHit(page, hit));
    QCOMPARE(page, 0);
    // Before the first hit comes the last.
    QTest::keyClick(search, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(view->GetCurrentHit(page, hit));
    QCOMPARE(page, 4);
}

void TestOfdReadWidget::copyPutsSelectedTextOnClipboard()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    QTest::mouseClick(Button(T("文本")), Qt::LeftButton);
    QCOMPARE(view->GetMouseShape(), EN_MouseShape_Text);
    QVERIFY(Button(T("文本"))->isChecked());
    QVERIFY(!Button(T("手型"))->isChecked());

    QApplication::clipboard()->setText(QStringLiteral("before"));
    // Drag across the line of page 1 with the text tool.
    FormOfdPage *page = view->GetPage(0);
    const double mm = OfdConvert::OfdMMToPixel(1.0);
    const QPoint from = page->mapFromScene(QPointF(15 * mm, 31 * mm));
    const QPoint to = page->mapFromScene(QPointF(180 * mm, 39 * mm));
    QWidget *viewport = page->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(view->GetCopyText(), QStringLiteral("Page 1 of the OFD test"));

    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Page 1 of the OFD test"));
}

void TestOfdReadWidget::modeButtonsSwitchToolBarsAndTools()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    QWidget *readBar = m_widget->GetToolBar(QStringLiteral("readBtn"));
    QVERIFY(readBar && readBar->isVisible());
    QVERIFY(!m_widget->GetToolBar(QStringLiteral("annotBtnTop"))); // built on first use

    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("annotBtnTop")), Qt::LeftButton);
    QWidget *annotBar = m_widget->GetToolBar(QStringLiteral("annotBtnTop"));
    QVERIFY(annotBar && annotBar->isVisible());
    QVERIFY(!readBar->isVisible());
    QCOMPARE(int(view->GetReaderView()), 1);

    QTest::mouseClick(Button(T("箭头")), Qt::LeftButton);
    QCOMPARE(m_widget->GetAnnotState(), 2);
    QCOMPARE(view->GetAnnot(), EN_AnnotType_Arrow);
    QCOMPARE(view->GetMouseShape(), EN_MouseShape_Annot);
    QVERIFY(Button(T("箭头"))->isChecked());
    for (QToolButton *button : annotBar->findChildren<QToolButton *>()) {
        if (button->text() == T("手型") || button->text() == T("文本"))
            QVERIFY2(!button->isChecked(), qPrintable(button->text()));
    }

    QTest::mouseClick(Button(T("文本")), Qt::LeftButton);
    QCOMPARE(m_widget->GetAnnotState(), 1);
    QVERIFY(!Button(T("箭头"))->isChecked());
    QCOMPARE(view->GetMouseShape(), EN_MouseShape_Text);

    QTest::mouseClick(Button(T("删除线")), Qt::LeftButton);
    QCOMPARE(view->GetAnnot(), EN_AnnotType_Strikeout);
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("securityBtn")), Qt::LeftButton);
    QCOMPARE(int(view->GetReaderView()), 3);
    QVERIFY(!Button(T("删除线"))->isChecked());
    QCOMPARE(view->GetMouseShape(), EN_MouseShape_Hand); // the annotation tool ends with its bar
    QVERIFY(m_widget->GetToolBar(QStringLiteral("securityBtn"))->isVisible());
    QVERIFY(!annotBar->isVisible());

    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("convertBtn")), Qt::LeftButton);
    QCOMPARE(int(view->GetReaderView()), 2);
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("readBtn")), Qt::LeftButton);
    QCOMPARE(int(view->GetReaderView()), 0);
    QVERIFY(readBar->isVisible());
}

void TestOfdReadWidget::toolStripCollapses()
{
    OfdReadWidget widget;
    auto *strip = widget.findChild<QWidget *>(QStringLiteral("topToolWidget"));
    auto *toggle = widget.findChild<QPushButton *>(QStringLiteral("buttonShowReadToobar"));
    QCOMPARE(strip->maximumHeight(), 60);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(strip->maximumHeight(), 0);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(strip->maximumHeight(), 60);
}

void TestOfdReadWidget::sideBarOpensAndClosesPanels()
{
    QVERIFY(OpenText(5));
    auto *thumbnails = m_widget->findChild<QPushButton *>(QStringLiteral("imagebtn"));
    auto *outline = m_widget->findChild<QPushButton *>(QStringLiteral("outlinebtn"));
    auto *second = m_widget->findChild<QWidget *>(QStringLiteral("leftBarSecondColumnWidget"));
    QVERIFY(!m_widget->IsLeftBarOpen());
    QCOMPARE(m_widget->GetLeftBarWidth(), 45);
    QVERIFY(!second->isVisible());

    QTest::mouseClick(thumbnails, Qt::LeftButton);
    QVERIFY(m_widget->IsLeftBarOpen());
    QCOMPARE(m_widget->GetLeftBarWidth(), 360);
    QVERIFY(second->isVisible());
    QCOMPARE(m_widget->GetCurrentPanel(), 1);
    auto *panel = qobject_cast<FormOfdThumbnail *>(m_widget->GetPanel(1));
    QVERIFY(panel);
    QCOMPARE(panel->GetThumbnailCount(), 5);
    QVERIFY(panel->property("formOfdThumbnail").isValid());
    QVERIFY(thumbnails->isChecked());

    QTest::mouseClick(outline, Qt::LeftButton); // another panel: the bar stays open
    QVERIFY(m_widget->IsLeftBarOpen());
    QCOMPARE(m_widget->GetCurrentPanel(), 0);
    QVERIFY(m_widget->GetPanel(0)->property("formOfdOutline").isValid());
    QCOMPARE(m_widget->findChild<QStackedWidget *>(QStringLiteral("stackedWidgetLeftBar"))->currentWidget(),
             m_widget->GetPanel(0));

    QTest::mouseClick(outline, Qt::LeftButton); // the current panel again: the bar closes
    QVERIFY(!m_widget->IsLeftBarOpen());
    QCOMPARE(m_widget->GetLeftBarWidth(), 45);
    QVERIFY(!second->isVisible());
    QVERIFY(!outline->isChecked());

    QTest::mouseClick(thumbnails, Qt::LeftButton); // panels are kept
    QCOMPARE(m_widget->GetPanel(1), panel);
    QVERIFY(m_widget->IsLeftBarOpen());
}

void TestOfdReadWidget::fullScreenAndBack()
{
    QVERIFY(OpenText(5));
    FormOfd *view = m_widget->GetFormOfd();
    m_widget->ShowOfdFullScreen(true);
    QVERIFY(view->isWindow());
    m_widget->ShowOfdFullScreen(false);
    QVERIFY(!view->isWindow());
    QCOMPARE(view->parentWidget(), m_widget->findChild<QWidget *>(QStringLiteral("widgetOfdView")));
    QCOMPARE(m_widget->findChild<QLayout *>(QStringLiteral("horizontalLayout_OfdView"))->indexOf(view), 0);
}

void TestOfdReadWidget::closingDeletesView()
{
    QVERIFY(OpenText(5));
    QPointer<FormOfd> view = m_widget->GetFormOfd();
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("imagebtn")), Qt::LeftButton);
    m_widget->OnClosed();
    QVERIFY(view.isNull());
    QVERIFY(!m_widget->GetFormOfd());
    QVERIFY(!m_widget->GetPanel(1));
    QCOMPARE(m_widget->findChild<QLayout *>(QStringLiteral("horizontalLayout_OfdView"))->count(), 0);
    // Commands without a document do nothing.
    QTest::mouseClick(Button(T("放大")), Qt::LeftButton);
    m_widget->MovePage(EN_PageMove_Last);
    m_widget->SearchText(QStringLiteral("OFD"));
    QCOMPARE(m_widget->GetZoomBox()->currentText(), QStringLiteral("100%"));
}

void TestOfdReadWidget::printOpensTheDialog()
{
    QVERIFY(OpenText(2));
    bool seen = false;
    QTimer::singleShot(0, this, [&seen] {
        if (auto *dialog = qobject_cast<FormOfdPrint *>(QApplication::activeModalWidget())) {
            seen = dialog->GetPreviewCount() == 2;
            dialog->close();
        }
    });
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("pushButtonPrint")), Qt::LeftButton);
    QVERIFY(seen);
}

void TestOfdReadWidget::saveWritesTheDocument()
{
    QVERIFY(OpenText(2));
    auto *save = m_widget->findChild<QPushButton *>(QStringLiteral("pushButtonSave"));
    QVERIFY(save->isEnabled());
    auto *menu = m_widget->findChild<QMenu *>(QStringLiteral("fileMenu"));
    QVERIFY(menu);
    QStringList entries;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            entries << action->text();
    }
    QCOMPARE(entries, QStringList({T("打开"), T("保存"), T("另存为"), T("打印"), T("关于"), T("退出")}));
    QCOMPARE(menu->actions().at(0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(menu->actions().at(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

    // Saving under a new name writes a package that opens with the same pages.
    const QString copy = m_dir.filePath(QStringLiteral("saved-copy.ofd"));
    QVERIFY(m_widget->SaveOfdFile(copy));
    OfdReadWidget reopened;
    QVERIFY(reopened.OpenFile(copy));
    QVERIFY(reopened.GetFormOfd());
    QCOMPARE(reopened.GetFormOfd()->GetPageCount(), 2);

    QSignalSpy open(m_widget, &OfdReadWidget::signalOpenOfdFile);
    QTest::mouseClick(m_widget->findChild<QPushButton *>(QStringLiteral("pushButtonOpen")), Qt::LeftButton);
    QCOMPARE(open.count(), 1);
}

void TestOfdReadWidget::suffixIsAppended_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("result");
    QTest::newRow("copy") << "copy"
                          << ".ofd"
                          << "copy.ofd";
    QTest::newRow("copy.OFD") << "copy.OFD"
                              << ".ofd"
                              << "copy.OFD.ofd";
    QTest::newRow("copy.ofd") << "copy.ofd"
                              << ".ofd"
                              << "copy.ofd";
    QTest::newRow("pages") << "/tmp/pages"
                           << ".png"
                           << "/tmp/pages.png";
    QTest::newRow("report.pdf") << "report.pdf"
                                << ".pdf"
                                << "report.pdf";
}

void TestOfdReadWidget::suffixIsAppended()
{
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QTEST(OfdReadWidget::AppendSuffix(name, suffix), "result");
}

void TestOfdReadWidget::editionsDiffer_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QStringList>("readTools");
    QTest::addColumn<QStringList>("securityTools");
    QTest::addColumn<bool>("aboutIsAppDialog");
    const QStringList common = {T("手型"), T("文本")};
    const QStringList edition0 =
        common + QStringList{T("实际大小"), T("适合高度"), T("适合宽度"), T("左旋转"), T("右旋转"),
                             T("缩小"),     T("放大"),     T("首页"),     T("上一页"), T("下一页"),
                             T("尾页"),     T("单页"),     T("双页")};
    const QStringList edition12 =
        common + QStringList{T("实际大小"), T("适合高度"), T("适合宽度"),  T("全屏"),    T("左旋转"),
                             T("右旋转"),   T("缩小"),     T("放大"),      T("上一页"),  T("下一页"),
                             T("单页"),     T("双页"),     T("OFD转图片"), T("OFD转PDF")};
    const QStringList sealing = common + QStringList{T("验章"), T("验证签章"), T("电子印章"), T("骑缝章")};
    QTest::newRow("0") << 0 << edition0 << sealing << false;
    QTest::newRow("1") << 1 << edition12 << (common + QStringList{T("验章"), T("验证签章")}) << true;
    QTest::newRow("2") << 2 << edition12 << sealing << false;
}

void TestOfdReadWidget::editionsDiffer()
{
    QFETCH(int, edition);
    QFETCH(QStringList, readTools);
    QFETCH(QStringList, securityTools);
    QFETCH(bool, aboutIsAppDialog);
    AppParam::AppStatus = edition;
    OfdReadWidget widget;
    auto texts = [](QWidget *bar) {
        QList<QToolButton *> buttons = bar->findChildren<QToolButton *>();
        std::sort(buttons.begin(), buttons.end(),
                  [](QToolButton *a, QToolButton *b) { return a->x() < b->x(); });
        QStringList result;
        for (QToolButton *button : buttons)
            result << button->text();
        return result;
    };
    QCOMPARE(texts(widget.GetToolBar(QStringLiteral("readBtn"))), readTools);
    QTest::mouseClick(widget.findChild<QPushButton *>(QStringLiteral("securityBtn")), Qt::LeftButton);
    QCOMPARE(texts(widget.GetToolBar(QStringLiteral("securityBtn"))), securityTools);

    // Edition 2 draws every tool icon in black.
    QToolButton *hand = widget.FindToolButton(T("手型"));
    const QImage icon = hand->icon().pixmap(32, 32).toImage();
    bool coloured = false;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QColor c = icon.pixelColor(x, y);
            if (c.alpha() > 200 && (c.red() > 40 || c.green() > 40 || c.blue() > 40))
                coloured = true;
        }
    }
    QCOMPARE(coloured, edition != 2);

    // The about box of the edition.
    bool sawAppDialog = false;
    bool sawAboutDialog = false;
    QTimer::singleShot(0, [&]() {
        QWidget *modal = QApplication::activeModalWidget();
        sawAppDialog = qobject_cast<AppDialog *>(modal);
        sawAboutDialog = qobject_cast<AppAboutDialog *>(modal);
        if (modal)
            modal->close();
    });
    auto *menu = widget.findChild<QMenu *>(QStringLiteral("fileMenu"));
    menu->actions().at(5)->trigger(); // "关于"
    QCOMPARE(sawAppDialog, aboutIsAppDialog);
    QCOMPARE(sawAboutDialog, !aboutIsAppDialog);
}

QTEST_MAIN(TestOfdReadWidget)
#include "test_ofdreadwidget.moc"
