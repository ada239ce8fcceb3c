#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "environmentguard.h"

#include <memory>

#include "app/appparam.h"
#include "model/package/ofdfilereader.h"
#include "reader/formofd.h"
#include "reader/formofdpage.h"
#include "reader/formsealselect.h"
#include "reader/ofdreadwidget.h"
#include "render/ofdpagescene.h"
#include "render/ofdrenderinit.h"
#include "render/ofdsealsupport.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemseal.h"
#include "render/ofdvisualitemsignseal.h"
#include "shell/fileinforecord.h"
#include "sign/oesv2helper.h"
#include "sign/sealsigninfo.h"
#include "viewtestdoc.h"

namespace {
const QString kOesHome = QStringLiteral(OFD_OESHOME);

QString T(const char *text)
{
    return QString::fromUtf8(text);
}

void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// What a message box showed before the test closed it.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Closes the next message box that comes up and remembers it.
void AnswerNextMessageBox(ShownBox *shown)
{
    QTimer::singleShot(0, [shown]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown->title = box->windowTitle();
            shown->text = box->text();
            shown->buttons = box->standardButtons();
            box->close();
        }
    });
}

// A seal given in the test, with a picture of one colour.
QSharedPointer<OES_SealInfoEx> TestSeal(const QString &id, const QString &name, const QColor &color)
{
    QSharedPointer<OES_SealInfoEx> seal(new OES_SealInfoEx);
    seal->sealId = id;
    seal->sealName = name;
    seal->sealData = id.toUtf8();
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(color);
    QBuffer buffer(&seal->pictureData);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    seal->pictureType = QStringLiteral("png");
    seal->pictureWidth = 30;
    seal->pictureHeight = 30;
    return seal;
}

// Sends a mouse event to a page the way the window system does (to its viewport).
void SendMouse(FormOfdPage *page, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWidget *target = page->viewport();
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Signed copies in a folder.
QStringList SignedFiles(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("signedOfd_*.ofd")}, QDir::Files, QDir::Name);
}

bool HasSignatureXml(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.endsWith(QStringLiteral("/Signature.xml"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}
} // namespace

// Placing seals in the document view, the seal-selection dialog, the seal buttons of the editions
// and signing through the view with the test seal provider.
class TestFormOfdSign : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void freeSignOnCurrentPage();
    void rideSignOnCurrentPage();
    void nothingPlacedWithoutSealOrPages();
    void recordsOfAllPagesInPageOrder();
    void signWithoutSealsDoesNothing();
    void signedFileName();
    void signedFileDir_data();
    void signedFileDir();
    void writeFailureIsTold();
    void placedSealsStayOutOfPagePictures();

    void sealSelectListsSeals();
    void sealSelectDoubleClickChooses();
    void sealSelectCancel();
    void sealSelectWithoutSeals();
    void sealSelectFromProvider();
    void sealSelectProviderMissing();

    void sealButtonsByEdition_data();
    void sealButtonsByEdition();
    void sealButtonWithoutProvider();

    void signingFailureIsTold();
    void signThroughTheReader();

private:
    void Load(const ViewTestDoc &doc);
    QString WriteDocument(const ViewTestDoc &doc, const QString &name);

    std::unique_ptr<FormOfd> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_savedEdition = 1;
};

void TestFormOfdSign::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
    m_savedEdition = AppParam::AppStatus;
    qRegisterMetaType<OfdVisualItemSignSeal *>();
    // Signed copies are read back with their signatures.
    OfdSealSupport::Install();
}

void TestFormOfdSign::init()
{
    AppParam::AppStatus = m_savedEdition;
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    FileInfoRecord::GetInstance()->SetRecordFile(m_dir->filePath(QStringLiteral("FileRecord.txt")));
    m_form = std::make_unique<FormOfd>();
    m_form->resize(800, 600);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestFormOfdSign::cleanup()
{
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AppParam::AppStatus = m_savedEdition;
    m_dir.reset();
}

void TestFormOfdSign::Load(const ViewTestDoc &doc)
{
    QVERIFY(LoadView(*m_form, doc));
    Settle();
}

QString TestFormOfdSign::WriteDocument(const ViewTestDoc &doc, const QString &name)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.Build()) <= 0)
        return QString();
    return path;
}

void TestFormOfdSign::placedSealsStayOutOfPagePictures()
{
    // A page picture (print, export) shows the document as it is: a seal not yet signed is left out,
    // and it is back on the page afterwards.
    ViewTestDoc doc;
    Load(doc);
    OfdVisualItemSignSeal *item = m_form->ShowFreeSign(TestSeal(QStringLiteral("a"), T("公章"), Qt::red));
    QVERIFY(item);
    FormOfdPage *page = m_form->GetPage(0);
    const QRectF rect = item->GetSealSignInfo()->GetRect();
    auto redAtSeal = [&rect](const QImage &image, double scale) {
        const QColor c = image.pixelColor((rect.center() * scale).toPoint());
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    };
    const QImage picture = page->GetPageImage(1.0).toImage();
    QVERIFY(!picture.isNull());
    QVERIFY(!redAtSeal(picture, 1.0));
    QVERIFY(item->isVisible());
    QImage screen(page->GetPageScene()->sceneRect().size().toSize(), QImage::Format_ARGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    page->GetPageScene()->render(&painter, QRectF(QPointF(0, 0), screen.size()),
                                 page->GetPageScene()->sceneRect());
    painter.end();
    QVERIFY(redAtSeal(screen, 1.0));
}

void TestFormOfdSign::freeSignOnCurrentPage()
{
    ViewTestDoc doc;
    doc.pageCount = 3;
    Load(doc);
    m_form->ScrollToPage(1);
    Settle();
    QCOMPARE(m_form->GetCurShowPageIndex(), 1);
    const QSharedPointer<OES_SealInfoEx> seal = TestSeal(QStringLiteral("a"), T("公章"), Qt::red);
    OfdVisualItemSignSeal *item = m_form->ShowFreeSign(seal);
    QVERIFY(item);
    FormOfdPage *page = m_form->GetPage(1);
    QCOMPARE(item->scene(), page->GetPageScene());
    const QList<QSharedPointer<SealSignInfo>> records = page->GetSealSignInfo();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first()->GetSealInfo(), seal);
    QCOMPARE(records.first()->GetSealType(), int(EN_SealSignType_Normal));
    QCOMPARE(records.first()->GetPageIndex(), 1);
    // 30 x 30 mm, within the page and on what shows of it.
    const QRectF rect = records.first()->GetRect();
    QVERIFY(qAbs(rect.width() - 30 * PxPerMM()) < 0.01);
    QVERIFY(qAbs(rect.height() - 30 * PxPerMM()) < 0.01);
    const QRectF pageRect(0, 0, page->GetPageRealWidth(), page->GetPageRealHeight());
    QVERIFY(pageRect.contains(rect));
    QVERIFY(m_form->GetPage(0)->GetSealSignInfo().isEmpty());
    QVERIFY(m_form->GetPage(2)->GetSealSignInfo().isEmpty());
    QCOMPARE(m_form->GetSealSignInfo(), records);
}

void TestFormOfdSign::rideSignOnCurrentPage()
{
    ViewTestDoc doc;
    doc.pageCount = 3;
    Load(doc);
    m_form->ScrollToPage(2);
    Settle();
    const int current = m_form->GetCurShowPageIndex();
    QVERIFY(current > 0);
    OfdVisualItemSignSeal *item = m_form->OnRideSign(TestSeal(QStringLiteral("a"), T("公章"), Qt::red));
    QVERIFY(item);
    FormOfdPage *page = m_form->GetPage(current);
    const QList<QSharedPointer<SealSignInfo>> records = page->GetSealSignInfo();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first()->GetSealType(), int(EN_SealSignType_RideRight));
    QCOMPARE(records.first()->GetPageIndex(), current);
    // On the right edge of the page.
    const QRectF rect = records.first()->GetRect();
    QVERIFY(qAbs(rect.right() - page->GetPageRealWidth()) < 0.01);
    QVERIFY(rect.top() >= 0 && rect.bottom() <= page->GetPageRealHeight());
}

void TestFormOfdSign::nothingPlacedWithoutSealOrPages()
{
    QCOMPARE(m_form->ShowFreeSign(TestSeal(QStringLiteral("a"), T("公章"), Qt::red)),
             static_cast<OfdVisualItemSignSeal *>(nullptr));
    QCOMPARE(m_form->OnRideSign(TestSeal(QStringLiteral("a"), T("公章"), Qt::red)),
             static_cast<OfdVisualItemSignSeal *>(nullptr));
    ViewTestDoc doc;
    doc.pageCount = 2;
    Load(doc);
    QCOMPARE(m_form->ShowFreeSign(QSharedPointer<OES_SealInfoEx>()),
             static_cast<OfdVisualItemSignSeal *>(nullptr));
    QCOMPARE(m_form->OnRideSign(QSharedPointer<OES_SealInfoEx>()),
             static_cast<OfdVisualItemSignSeal *>(nullptr));
    QVERIFY(m_form->GetSealSignInfo().isEmpty());
}

void TestFormOfdSign::recordsOfAllPagesInPageOrder()
{
    ViewTestDoc doc;
    doc.pageCount = 3;
    Load(doc);
    const auto seal = TestSeal(QStringLiteral("a"), T("公章"), Qt::red);
    m_form->ScrollToPage(2);
    Settle();
    m_form->ShowFreeSign(seal);
    m_form->ScrollToPage(0);
    Settle();
    m_form->OnRideSign(seal);
    m_form->ShowFreeSign(seal);
    const QList<QSharedPointer<SealSignInfo>> all = m_form->GetSealSignInfo();
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.at(0)->GetPageIndex(), 0);
    QCOMPARE(all.at(0)->GetSealType(), int(EN_SealSignType_RideRight));
    QCOMPARE(all.at(1)->GetPageIndex(), 0);
    QCOMPARE(all.at(1)->GetSealType(), int(EN_SealSignType_Normal));
    QCOMPARE(all.at(2)->GetPageIndex(), 2);
    m_form->ClearSignSeals();
    QVERIFY(m_form->GetSealSignInfo().isEmpty());
}

void TestFormOfdSign::signWithoutSealsDoesNothing()
{
    ViewTestDoc doc;
    doc.pageCount = 1;
    Load(doc);
    QSignalSpy opened(m_form.get(), &FormOfd::SignalOpenSignedFile);
    // No message box may come up: the call returns at once.
    QCOMPARE(m_form->SignSeal(m_form->GetPage(0), nullptr), QString());
    QCOMPARE(opened.count(), 0);
}

void TestFormOfdSign::signedFileName()
{
    const QString dir = m_dir->path();
    const QDateTime time(QDate(2024, 3, 5), QTime(8, 15, 2));
    const QString first = FormOfd::GetSignedFileName(dir, time);
    QCOMPARE(first, dir + QStringLiteral("/signedOfd_20240305-081502.ofd"));
    QFile(first).open(QIODevice::WriteOnly);
    const QString second = FormOfd::GetSignedFileName(dir, time);
    QCOMPARE(second, dir + QStringLiteral("/signedOfd_20240305-081502_2.ofd"));
    QFile(second).open(QIODevice::WriteOnly);
    QCOMPARE(FormOfd::GetSignedFileName(dir, time), dir + QStringLiteral("/signedOfd_20240305-081502_3.ofd"));
    // Another second is free again.
    QCOMPARE(FormOfd::GetSignedFileName(dir, time.addSecs(1)),
             dir + QStringLiteral("/signedOfd_20240305-081503.ofd"));
}

void TestFormOfdSign::signedFileDir_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("writable document folder") << QStringLiteral("writable");
    QTest::newRow("read-only document folder") << QStringLiteral("readonly");
    QTest::newRow("document folder gone") << QStringLiteral("missing");
    QTest::newRow("opened from memory") << QStringLiteral("memory");
}

void TestFormOfdSign::signedFileDir()
{
    QFETCH(QString, kind);
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = m_dir->filePath(QStringLiteral("docs"));
    QVERIFY(QDir().mkpath(folder));
    const QString document = folder + QStringLiteral("/contract.ofd");
    if (kind == QLatin1String("writable")) {
        QCOMPARE(FormOfd::GetSignedFileDir(document), folder);
    } else if (kind == QLatin1String("readonly")) {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool stillWritable = QFileInfo(folder).isWritable();
        const QString dir = FormOfd::GetSignedFileDir(document);
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (stillWritable)
            QSKIP("the folder stays writable for this user (root)");
        QCOMPARE(dir, documents);
    } else if (kind == QLatin1String("missing")) {
        QCOMPARE(FormOfd::GetSignedFileDir(m_dir->filePath(QStringLiteral("gone/contract.ofd"))), documents);
    } else {
        QCOMPARE(FormOfd::GetSignedFileDir(QString()), documents);
    }
}

void TestFormOfdSign::writeFailureIsTold()
{
    // A folder that cannot be made: its parent is a file.
    const QString blocker = m_dir->filePath(QStringLiteral("file"));
    QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
    ShownBox shown;
    AnswerNextMessageBox(&shown);
    QCOMPARE(m_form->WriteSignedFile(QByteArray("bytes"), blocker + QStringLiteral("/sub")), QString());
    QCOMPARE(shown.title, T("警告"));
    QVERIFY2(shown.text.startsWith(T("写入签章文件失败！") + blocker + QStringLiteral("/sub/signedOfd_")),
             qPrintable(shown.text));
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Written atomically otherwise.
    const QString path = m_form->WriteSignedFile(QByteArray("bytes"), m_dir->path());
    QVERIFY(!path.isEmpty());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("bytes"));
}

void TestFormOfdSign::sealSelectListsSeals()
{
    const QList<QSharedPointer<OES_SealInfoEx>> seals = {
        TestSeal(QStringLiteral("a"), T("公章"), Qt::red),
        TestSeal(QStringLiteral("b"), T("合同章"), Qt::blue)};
    FormSealSelect dialog(seals);
    QCOMPARE(dialog.windowTitle(), T("印章选择"));
    QListWidget *list = dialog.GetListWidget();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), T("公章"));
    QCOMPARE(list->item(1)->text(), T("合同章"));
    // The icons show the seal pictures.
    const QImage icon = list->item(1)->icon().pixmap(16, 16).toImage();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixelColor(8, 8), QColor(Qt::blue));
    QStringList buttons;
    for (QAbstractButton *button : dialog.GetButtonBox()->buttons())
        buttons << button->text();
    buttons.sort();
    QStringList expected{T("确定"), T("取消")};
    expected.sort();
    QCOMPARE(buttons, expected);

    QVERIFY(!dialog.GetSelectSeal());
    list->setCurrentRow(1);
    QTimer::singleShot(0, [&dialog]() {
        for (QAbstractButton *button : dialog.GetButtonBox()->buttons()) {
            if (button->text() == T("确定"))
                button->click();
        }
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.GetSelectSeal(), seals.at(1));
}

void TestFormOfdSign::sealSelectDoubleClickChooses()
{
    const QList<QSharedPointer<OES_SealInfoEx>> seals = {
        TestSeal(QStringLiteral("a"), T("公章"), Qt::red),
        TestSeal(QStringLiteral("b"), T("合同章"), Qt::blue)};
    FormSealSelect dialog(seals);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QListWidget *list = dialog.GetListWidget();
    Settle(); // the icon view lays its items out later
    const QPoint at = list->visualItemRect(list->item(1)).center();
    // What the window system sends for a double click: a click, then the double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.GetSelectSeal(), seals.at(1));
}

void TestFormOfdSign::sealSelectCancel()
{
    FormSealSelect dialog({TestSeal(QStringLiteral("a"), T("公章"), Qt::red)});
    QCOMPARE(dialog.GetListWidget()->currentRow(), 0);
    QTimer::singleShot(0, [&dialog]() {
        for (QAbstractButton *button : dialog.GetButtonBox()->buttons()) {
            if (button->text() == T("取消"))
                button->click();
        }
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(!dialog.GetSelectSeal());
}

void TestFormOfdSign::sealSelectWithoutSeals()
{
    FormSealSelect dialog(QList<QSharedPointer<OES_SealInfoEx>>{});
    QCOMPARE(dialog.GetListWidget()->count(), 0);
    for (QAbstractButton *button : dialog.GetButtonBox()->buttons()) {
        if (button->text() == T("确定"))
            QVERIFY(!button->isEnabled());
    }
    dialog.accept();
    QVERIFY(!dialog.GetSelectSeal());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestFormOfdSign::sealSelectFromProvider()
{
    AppParam::AppStatus = 2;
    EnvironmentGuard home("OESV2_HOME", kOesHome);
    FormSealSelect dialog;
    QListWidget *list = dialog.GetListWidget();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), T("测试公章"));
    QCOMPARE(list->item(1)->text(), T("测试合同专用章"));
    QCOMPARE(list->item(2)->text(), T("测试财务专用章"));
    QCOMPARE(dialog.GetSealList().size(), 3);
    QVERIFY(!dialog.GetSealList().at(0)->sealData.isEmpty());
    QVERIFY(!list->item(0)->icon().isNull());
    list->setCurrentRow(2);
    dialog.accept();
    QCOMPARE(dialog.GetSelectSeal()->sealId, QStringLiteral("TESTSEAL-0031-01"));
    QVERIFY(!dialog.IsProviderFailed());
}

void TestFormOfdSign::sealSelectProviderMissing()
{
    AppParam::AppStatus = 2;
    const QString nowhere = m_dir->filePath(QStringLiteral("no-provider"));
    EnvironmentGuard home("OESV2_HOME", nowhere);
    ShownBox shown;
    AnswerNextMessageBox(&shown);
    FormSealSelect dialog;
    QCOMPARE(shown.text, T("加载OES DLL失败！路径:%1").arg(OESV2Helper::GetOESDllPath_KingGrid()));
    QVERIFY(shown.text.contains(nowhere));
    QCOMPARE(dialog.GetListWidget()->count(), 0);
    QVERIFY(!dialog.GetSelectSeal());
    QVERIFY(dialog.IsProviderFailed());
}

void TestFormOfdSign::sealButtonsByEdition_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<bool>("hasButtons");
    QTest::newRow("edition 0") << 0 << true;
    QTest::newRow("edition 1") << 1 << false;
    QTest::newRow("edition 2") << 2 << true;
}

void TestFormOfdSign::sealButtonsByEdition()
{
    QFETCH(int, edition);
    QFETCH(bool, hasButtons);
    AppParam::AppStatus = edition;
    EnvironmentGuard home("OESV2_HOME", kOesHome);
    ViewTestDoc doc;
    doc.pageCount = 2;
    const QString path = WriteDocument(doc, QStringLiteral("doc.ofd"));
    OfdReadWidget widget;
    widget.resize(1000, 700);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(widget.OpenFile(path));
    QTest::mouseClick(widget.findChild<QPushButton *>(QStringLiteral("securityBtn")), Qt::LeftButton);
    QToolButton *seal = widget.FindToolButton(T("电子印章"));
    QToolButton *ride = widget.FindToolButton(T("骑缝章"));
    QCOMPARE(seal != nullptr, hasButtons);
    QCOMPARE(ride != nullptr, hasButtons);
    if (!hasButtons)
        return;
    QVERIFY(seal->isEnabled());
    QVERIFY(ride->isEnabled());
    FormOfd *form = widget.GetFormOfd();

    // Edition 2 asks for the seal in the selection dialog: cancelled, nothing is placed.
    bool sawDialog = false;
    auto answer = [&sawDialog](bool choose) {
        QTimer::singleShot(0, [&sawDialog, choose]() {
            auto *dialog = qobject_cast<FormSealSelect *>(QApplication::activeModalWidget());
            sawDialog = dialog != nullptr;
            if (!dialog)
                return;
            if (choose) {
                dialog->GetListWidget()->setCurrentRow(1);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
    };
    if (edition == 2) {
        answer(false);
        seal->click();
        QVERIFY(sawDialog);
        QVERIFY(form->GetSealSignInfo().isEmpty());
        answer(true);
    }
    seal->click();
    QCOMPARE(sawDialog, edition == 2);
    if (edition == 2)
        answer(true);
    ride->click();
    const QList<QSharedPointer<SealSignInfo>> placed = form->GetSealSignInfo();
    QCOMPARE(placed.size(), 2);
    QSet<int> types;
    for (const QSharedPointer<SealSignInfo> &info : placed) {
        types.insert(info->GetSealType());
        if (edition == 2)
            QCOMPARE(info->GetSealInfo()->sealName, T("测试合同专用章"));
        else
            QCOMPARE(info->GetSealInfo()->sealName, T("印章名称"));
    }
    QCOMPARE(types, (QSet<int>{EN_SealSignType_Normal, EN_SealSignType_RideRight}));
}

void TestFormOfdSign::sealButtonWithoutProvider()
{
    AppParam::AppStatus = 2;
    EnvironmentGuard home("OESV2_HOME", m_dir->filePath(QStringLiteral("no-provider")));
    ViewTestDoc doc;
    doc.pageCount = 1;
    const QString path = WriteDocument(doc, QStringLiteral("doc.ofd"));
    OfdReadWidget widget;
    widget.resize(1000, 700);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(widget.OpenFile(path));
    QTest::mouseClick(widget.findChild<QPushButton *>(QStringLiteral("securityBtn")), Qt::LeftButton);
    // Only the warning comes up; an empty selection dialog does not follow it.
    ShownBox shown;
    AnswerNextMessageBox(&shown);
    bool sawDialog = false;
    QTimer::singleShot(50, [&sawDialog]() {
        if (auto *dialog = qobject_cast<FormSealSelect *>(QApplication::activeModalWidget())) {
            sawDialog = true;
            dialog->reject();
        }
    });
    widget.FindToolButton(T("骑缝章"))->click();
    QTest::qWait(100);
    QCOMPARE(shown.text, T("加载OES DLL失败！路径:%1").arg(OESV2Helper::GetOESDllPath_KingGrid()));
    QVERIFY(!sawDialog);
    QVERIFY(widget.GetFormOfd()->GetSealSignInfo().isEmpty());
}

void TestFormOfdSign::signingFailureIsTold()
{
    AppParam::AppStatus = 2;
    ViewTestDoc doc;
    doc.pageCount = 2;
    const QString path = WriteDocument(doc, QStringLiteral("doc.ofd"));
    const QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    QVERIFY(reader->Open(path));
    QVERIFY(m_form->SetOfdFileReader(reader));
    m_form->ShowPages();
    Settle();
    QList<QSharedPointer<OES_SealInfoEx>> seals;
    {
        EnvironmentGuard home("OESV2_HOME", kOesHome);
        OESV2Helper helper;
        QVERIFY(helper.LoadDll_KingGrid());
        seals = helper.GetSealListEx();
    }
    QVERIFY(!seals.isEmpty());
    QVERIFY(m_form->ShowFreeSign(seals.first()));
    // The provider cannot be found when signing.
    EnvironmentGuard home("OESV2_HOME", m_dir->filePath(QStringLiteral("no-provider")));
    QSignalSpy opened(m_form.get(), &FormOfd::SignalOpenSignedFile);
    ShownBox shown;
    AnswerNextMessageBox(&shown);
    QCOMPARE(m_form->SignSeal(m_form->GetPage(0), nullptr), QString());
    QCOMPARE(shown.title, T("警告"));
    QCOMPARE(shown.text, T("加载OES DLL失败！路径:%1").arg(OESV2Helper::GetOESDllPath_KingGrid()));
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
    QCOMPARE(opened.count(), 0);
    // The seals stay placed and nothing is written.
    QCOMPARE(m_form->GetSealSignInfo().size(), 1);
    QVERIFY(SignedFiles(m_dir->path()).isEmpty());
}

void TestFormOfdSign::signThroughTheReader()
{
    // Edition 2 with the test seal provider: choose a seal in the dialog, place it, sign from the
    // seal's menu; the signed copy is written beside the document and offered for opening.
    AppParam::AppStatus = 2;
    EnvironmentGuard home("OESV2_HOME", kOesHome);
    ViewTestDoc doc;
    doc.pageCount = 2;
    const QString path = WriteDocument(doc, QStringLiteral("contract.ofd"));
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray originalBytes = original.readAll();
    original.close();

    OfdReadWidget widget;
    widget.resize(1000, 700);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(widget.OpenFile(path));
    FormOfd *form = widget.GetFormOfd();
    QTest::mouseClick(widget.findChild<QPushButton *>(QStringLiteral("securityBtn")), Qt::LeftButton);
    QTimer::singleShot(0, []() {
        if (auto *dialog = qobject_cast<FormSealSelect *>(QApplication::activeModalWidget())) {
            dialog->GetListWidget()->setCurrentRow(0);
            dialog->accept();
        }
    });
    widget.FindToolButton(T("电子印章"))->click();
    QCOMPARE(form->GetSealSignInfo().size(), 1);
    FormOfdPage *page = form->GetPage(form->GetSealSignInfo().first()->GetPageIndex());
    OfdPageScene *scene = page->GetPageScene();
    QCOMPARE(scene->GetSignSealItems().size(), 1);
    OfdVisualItemSignSeal *item = scene->GetSignSealItems().first();

    // Dragged with the mouse on the page: the press on the seal moves the seal, not the view.
    const QSharedPointer<SealSignInfo> info = item->GetSealSignInfo();
    const QRectF start = info->GetRect();
    const QPoint from = page->mapFromScene(start.center());
    const QPoint to = from + QPoint(-40, 30);
    const QPointF delta = page->mapToScene(to) - page->mapToScene(from);
    SendMouse(page, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(page, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(page, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QVERIFY(qAbs(info->GetRect().left() - (start.left() + delta.x())) < 0.01);
    QVERIFY(qAbs(info->GetRect().top() - (start.top() + delta.y())) < 0.01);
    QVERIFY(!delta.isNull());
    const QRectF placed = info->GetRect();

    QSignalSpy signedSpy(form, &FormOfd::SignalOpenSignedFile);
    QSignalSpy tabSpy(&widget, &OfdReadWidget::signalOpenFileInTab);
    // A warning would stop here; close it so that the test reports instead of hanging.
    ShownBox shown;
    AnswerNextMessageBox(&shown);
    std::unique_ptr<QMenu> menu(item->CreateContextMenu());
    QAction *sign = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == T("执行签章"))
            sign = action;
    }
    QVERIFY(sign);
    sign->trigger();
    QVERIFY2(shown.text.isEmpty(), qPrintable(shown.text));
    QCOMPARE(signedSpy.count(), 1);
    const QString signedPath = signedSpy.at(0).at(0).toString();
    QCOMPARE(QFileInfo(signedPath).absolutePath(), QFileInfo(path).absolutePath());
    QVERIFY2(QRegularExpression(QStringLiteral("^signedOfd_\\d{8}-\\d{6}(_\\d+)?\\.ofd$"))
                 .match(QFileInfo(signedPath).fileName())
                 .hasMatch(),
             qPrintable(signedPath));
    QVERIFY(QFileInfo::exists(signedPath));
    // The reader widget opens the copy in a tab of its own once the command has returned.
    QVERIFY(tabSpy.wait(2000) || tabSpy.count() == 1);
    QCOMPARE(tabSpy.at(0).at(0).toString(), signedPath);
    // The placed seal is in the copy now, no longer on the page; the document itself is unchanged.
    QVERIFY(form->GetSealSignInfo().isEmpty());
    QVERIFY(scene->GetSignSealItems().isEmpty());
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), originalBytes);

    // The copy opens and carries the signature, stamped on the page the seal was placed on.
    const QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    QVERIFY(reader->Open(signedPath));
    QVERIFY2(HasSignatureXml(reader->GetFilePathList()), qPrintable(reader->GetFilePathList().join(' ')));
    OfdViewManage manage;
    QVERIFY(manage.SetFileReader(reader));
    OfdPageScene signedScene;
    signedScene.SetViewManage(&manage);
    signedScene.SetPageIndex(0, page->GetPageIndex());
    signedScene.CreateScene();
    QCOMPARE(signedScene.GetSealItems().size(), 1);
    // Where the seal was left on the page.
    const QRectF stamped = signedScene.GetSealItems().first()->GetSealRect();
    QVERIFY2(qAbs(stamped.left() - placed.left()) < 0.5 && qAbs(stamped.top() - placed.top()) < 0.5 &&
                 qAbs(stamped.width() - placed.width()) < 0.5 &&
                 qAbs(stamped.height() - placed.height()) < 0.5,
             qPrintable(QStringLiteral("stamped %1,%2 %3x%4, placed %5,%6 %7x%8")
                            .arg(stamped.left())
                            .arg(stamped.top())
                            .arg(stamped.width())
                            .arg(stamped.height())
                            .arg(placed.left())
                            .arg(placed.top())
                            .arg(placed.width())
                            .arg(placed.height())));
}

QTEST_MAIN(TestFormOfdSign)
#include "test_formofdsign.moc"
