#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTimer>

#include "annot/ofdannotsupport.h"
#include "annot/ofdvisualitemannot.h"
#include "annot/ofdxmlannotations.h"
#include "annot/pageannotmanage.h"
#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "reader/formofd.h"
#include "reader/ofdreadwidget.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"
#include "shell/fileinforecord.h"
#include "shell/mainwindow.h"
#include "shell/pagetabbar.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sm3.h"
#include "widgets/tabbutton.h"

namespace {
QString T(const char *text)
{
    return QString::fromUtf8(text);
}

const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

// Two empty pages (IDs 101, 102); page 101 has an annotation file; optionally two signatures, the
// first covering that annotation file, the second only OFD.xml.
QByteArray Package(bool signed_)
{
    auto content = [](int layer) {
        return QStringLiteral(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Page %1><ofd:Content><ofd:Layer "
                   "ID=\"%2\"/></ofd:Content></ofd:Page>")
            .arg(kNs)
            .arg(layer)
            .toUtf8();
    };
    QList<QPair<QString, QByteArray>> files;
    files.append(
        {QStringLiteral("OFD.xml"),
         QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:OFD %1 Version=\"1.0\" DocType=\"OFD\">"
             "<ofd:DocBody><ofd:DocInfo><ofd:DocID>x</ofd:DocID></ofd:DocInfo>"
             "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>%2</ofd:DocBody></ofd:OFD>")
             .arg(kNs, signed_ ? QStringLiteral("<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>")
                               : QString())
             .toUtf8()});
    files.append(
        {QStringLiteral("Doc_0/Document.xml"),
         QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Document %1><ofd:CommonData>"
                        "<ofd:MaxUnitID>200</ofd:MaxUnitID><ofd:PageArea><ofd:PhysicalBox>0 0 100 100"
                        "</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData><ofd:Pages>"
                        "<ofd:Page ID=\"101\" BaseLoc=\"Pages/Page_0/Content.xml\"/>"
                        "<ofd:Page ID=\"102\" BaseLoc=\"Pages/Page_1/Content.xml\"/></ofd:Pages>"
                        "<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations></ofd:Document>")
             .arg(kNs)
             .toUtf8()});
    files.append({QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), content(150)});
    files.append({QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), content(151)});
    files.append(
        {QStringLiteral("Doc_0/Annots/Annotations.xml"),
         QStringLiteral("<ofd:Annotations %1><ofd:Page PageID=\"101\"><ofd:FileLoc>a.xml</ofd:FileLoc>"
                        "</ofd:Page></ofd:Annotations>")
             .arg(kNs)
             .toUtf8()});
    files.append({QStringLiteral("Doc_0/Annots/a.xml"),
                  QStringLiteral("<ofd:PageAnnot %1><ofd:Annot ID=\"1\" Type=\"Stamp\"><ofd:Appearance "
                                 "Boundary=\"10 10 20 20\"><ofd:PathObject ID=\"2\" Boundary=\"0 0 20 20\">"
                                 "<ofd:AbbreviatedData>M 0 0 L 20 20</ofd:AbbreviatedData></ofd:PathObject>"
                                 "</ofd:Appearance></ofd:Annot></ofd:PageAnnot>")
                      .arg(kNs)
                      .toUtf8()});
    if (signed_) {
        auto reference = [&](const QString &path) {
            for (const auto &f : files) {
                if (f.first == path)
                    return QStringLiteral("<ofd:Reference FileRef=\"/%1\"><ofd:CheckValue>%2</ofd:CheckValue>"
                                          "</ofd:Reference>")
                        .arg(path, sm3_digest_base64(f.second));
            }
            return QString();
        };
        auto signature = [&](const QString &refs) {
            return QStringLiteral("<ofd:Signature %1><ofd:SignedInfo><ofd:References "
                                  "CheckMethod=\"1.2.156.10197.1.401\">"
                                  "%2</ofd:References></ofd:SignedInfo></ofd:Signature>")
                .arg(kNs, refs)
                .toUtf8();
        };
        const QByteArray first = signature(reference(QStringLiteral("Doc_0/Annots/a.xml")));
        const QByteArray second = signature(reference(QStringLiteral("OFD.xml")));
        files.append(
            {QStringLiteral("Doc_0/Signs/Signatures.xml"),
             QStringLiteral("<ofd:Signatures %1><ofd:Signature ID=\"s1\" BaseLoc=\"Sign_0/Signature.xml\"/>"
                            "<ofd:Signature ID=\"s2\" BaseLoc=\"Sign_1/Signature.xml\"/></ofd:Signatures>")
                 .arg(kNs)
                 .toUtf8()});
        files.append({QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"), first});
        files.append({QStringLiteral("Doc_0/Signs/Sign_1/Signature.xml"), second});
    }
    PackageBuilder builder;
    for (const auto &f : files)
        builder.Add(f.first, f.second);
    return builder.Build();
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int SavedAnnotCount(const QString &path)
{
    QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    if (!reader->Open(path))
        return -1;
    OfdViewManage manage;
    if (!manage.SetFileReader(reader))
        return -1;
    auto *annotations = dynamic_cast<OfdXmlAnnotations *>(manage.GetOfdFile(0)->GetAnnotations());
    return annotations ? annotations->GetAnnotCount() : 0;
}

// Draws a rectangle on a page of the reader's view.
bool Draw(OfdReadWidget *reader, int page)
{
    OfdPageScene *scene = reader->GetFormOfd()->GetPageSceneList().value(page);
    PageAnnotManage *annots = PageAnnotManage::FromScene(scene);
    if (!annots)
        return false;
    scene->SetAnnot(EN_AnnotType_Rect);
    annots->DrawAnnotStart({30, 30});
    annots->DrawAnnotMove({80, 70});
    return annots->DrawAnnotEnd({80, 70}) != nullptr;
}

// The file-menu entry of a reader with that text, or null.
QAction *MenuAction(OfdReadWidget *reader, const QString &text)
{
    for (QMenu *menu : reader->findChildren<QMenu *>()) {
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
    }
    return nullptr;
}

// Answers the next message box with the button of that text and remembers the box's text; when no
// box comes, nothing is clicked.
class BoxAnswer : public QObject
{
public:
    explicit BoxAnswer(const QString &button) : m_button(button)
    {
        QTimer::singleShot(0, this, [this]() { Answer(); });
    }
    QString text;
    QStringList buttons;
    int boxes = 0;

private:
    void Answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (++m_tries < 50)
                QTimer::singleShot(10, this, [this]() { Answer(); });
            return;
        }
        ++boxes;
        text = box->text();
        QAbstractButton *answer = nullptr;
        for (QAbstractButton *b : box->buttons()) {
            buttons << b->text();
            if (b->text() == m_button)
                answer = b;
        }
        buttons.sort();
        if (answer)
            answer->click();
        else
            box->reject();
    }
    QString m_button;
    int m_tries = 0;
};
} // namespace

// The unsaved-work question, the signed-document question and save-as in every edition.
class TestSaveWork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        OfdConvert::Init();
        AppParam::Init();
        QApplication::setQuitOnLastWindowClosed(false);
        OfdAnnotSupport::Install();
        OfdXmlSignatureManage::InstallLoader();
        m_edition = AppParam::AppStatus;
        FileInfoRecord::GetInstance()->SetRecordFile(m_dir.filePath(QStringLiteral("FileRecord.txt")));
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        delete m_reader;
        m_reader = nullptr;
        AppParam::AppStatus = m_edition;
    }

    void modifiedFollowsTheAnnotations()
    {
        const QString path = File(QStringLiteral("modified.ofd"), false);
        QVERIFY(OpenReader(path));
        QVERIFY(!m_reader->IsModified());
        QVERIFY(Draw(m_reader, 1));
        QVERIFY(m_reader->IsModified());
        QVERIFY(m_reader->SaveOfdFile(path));
        QVERIFY(!m_reader->IsModified());
        // Hiding the loaded annotation is a change too.
        PageAnnotManage *annots = PageAnnotManage::FromScene(m_reader->GetFormOfd()->GetPageSceneList()[0]);
        annots->GetLoadedAnnotGroup().first()->SetVisiable(false);
        QVERIFY(m_reader->IsModified());
        annots->GetLoadedAnnotGroup().first()->SetVisiable(true);
        QVERIFY(!m_reader->IsModified());
        // So is deleting it.
        QVERIFY(annots->DeleteVisualItem(annots->GetLoadedAnnotGroup().first()));
        QVERIFY(m_reader->IsModified());
    }

    void closingTheTab_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("savedAnnots");
        QTest::newRow("save") << T("保存") << true << 2;
        QTest::newRow("discard") << T("不保存") << true << 1;
        QTest::newRow("cancel") << T("取消") << false << 1;
    }

    void closingTheTab()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(int, savedAnnots);
        const QString path = File(QStringLiteral("tab-%1.ofd").arg(QTest::currentDataTag()), false);
        QVERIFY(NewWindow());
        m_window->OpenNewFile(path, nullptr);
        OfdReadWidget *reader = m_window->GetCurrentReadWidget();
        QVERIFY(reader && reader->GetFormOfd());
        QVERIFY(Draw(reader, 1));
        BoxAnswer box(answer);
        const bool result = m_window->CloseTab(m_window->GetTabOfPage(reader));
        QCOMPARE(box.boxes, 1);
        QStringList expected{T("保存"), T("不保存"), T("取消")};
        expected.sort();
        QCOMPARE(box.buttons, expected);
        QCOMPARE(result, closed);
        QCOMPARE(m_window->GetDocumentTabCount(), closed ? 0 : 1);
        QCOMPARE(SavedAnnotCount(path), savedAnnots);
        if (!closed) {
            // Nothing was lost: the drawing is still there and still unsaved.
            QVERIFY(reader->IsModified());
            BoxAnswer again(T("不保存"));
            QVERIFY(m_window->CloseTab(m_window->GetTabOfPage(reader)));
        }
    }

    void tabWithoutChangesClosesWithoutQuestion()
    {
        const QString path = File(QStringLiteral("clean.ofd"), false);
        QVERIFY(NewWindow());
        m_window->OpenNewFile(path, nullptr);
        BoxAnswer box(T("取消"));
        QVERIFY(m_window->CloseTab(m_window->GetTabOfPage(m_window->GetCurrentReadWidget())));
        QCOMPARE(box.boxes, 0);
    }

    void closingTheWindow_data() { closingTheTab_data(); }

    void closingTheWindow()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(int, savedAnnots);
        const QString path = File(QStringLiteral("window-%1.ofd").arg(QTest::currentDataTag()), false);
        QVERIFY(NewWindow());
        m_window->OpenNewFile(path, nullptr);
        QVERIFY(Draw(m_window->GetCurrentReadWidget(), 0));
        BoxAnswer box(answer);
        QCOMPARE(m_window->close(), closed);
        QCOMPARE(box.boxes, 1);
        QCOMPARE(m_window->isVisible(), !closed);
        QCOMPARE(SavedAnnotCount(path), savedAnnots);
    }

    // "退出" goes through the window's question; cancelling keeps the application running.
    void quitAsksFirst()
    {
        const QString path = File(QStringLiteral("quit.ofd"), false);
        QVERIFY(NewWindow());
        m_window->OpenNewFile(path, nullptr);
        OfdReadWidget *reader = m_window->GetCurrentReadWidget();
        QVERIFY(Draw(reader, 0));
        QAction *quit = MenuAction(reader, T("退出"));
        QVERIFY(quit);
        BoxAnswer box(T("取消"));
        quit->trigger();
        QCOMPARE(box.boxes, 1);
        QVERIFY(m_window->isVisible());
    }

    // The question before saving names the signatures the change breaks, and only those.
    void signedQuestionNamesTheBrokenSignatures_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("save anyway") << T("仍然保存") << true;
        QTest::newRow("cancel") << T("取消") << false;
    }

    void signedQuestionNamesTheBrokenSignatures()
    {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        const QString path = File(QStringLiteral("signed-%1.ofd").arg(QTest::currentDataTag()), true);
        const QByteArray original = ReadAll(path);
        QVERIFY(OpenReader(path));
        QVERIFY(Draw(m_reader, 0));
        BoxAnswer box(answer);
        QCOMPARE(m_reader->SaveOfdFile(path), written);
        QCOMPARE(box.boxes, 1);
        QVERIFY(box.text.contains(QStringLiteral("s1")));
        QVERIFY(!box.text.contains(QStringLiteral("s2")));
        QVERIFY(box.buttons.contains(T("另存为")));
        QCOMPARE(ReadAll(path) == original, !written);
        // What the open view says of the signatures follows the file: the broken one fails now.
        auto *opened =
            dynamic_cast<OfdXmlSignatureManage *>(m_reader->GetFormOfd()->GetOfdFile()->GetSignatures());
        QVERIFY(opened);
        // (The fixture's signature values are not real ones; the file check is what this is about.)
        const auto referenceCheck = [](OfdXmlSignature *signature) {
            for (const OfdSignatureCheck &check : signature->GetVerdict().GetChecks()) {
                if (check.name == T("引用文件"))
                    return check;
            }
            return OfdSignatureCheck();
        };
        const OfdSignatureCheck first = referenceCheck(opened->GetSignatures()[0]);
        QCOMPARE(first.state,
                 written ? int(OfdSignatureCheck::State_Failed) : int(OfdSignatureCheck::State_Passed));
        QCOMPARE(first.detail.contains(T("保存批注后")), written);
        if (written)
            QCOMPARE(opened->GetSignatures()[0]->GetVerdict().GetLevel(),
                     int(OfdSignatureVerdict::Level_Failed));
        QCOMPARE(referenceCheck(opened->GetSignatures()[1]).state, int(OfdSignatureCheck::State_Passed));
        if (written) {
            QSharedPointer<OfdFileReader> reader(new OfdFileReader);
            QVERIFY(reader->Open(path));
            OfdViewManage manage;
            QVERIFY(manage.SetFileReader(reader));
            auto *list = dynamic_cast<OfdXmlSignatureManage *>(manage.GetOfdFile(0)->GetSignatures());
            QVERIFY(list);
            QVERIFY(!list->GetSignatures()[0]->CheckSm3());
            QVERIFY(list->GetSignatures()[1]->CheckSm3());
        }
    }

    // A change that no signature covers is saved without a question, the signatures intact.
    void signedDocumentSavesWithoutQuestionWhenNothingBreaks()
    {
        const QString path = File(QStringLiteral("signed-free.ofd"), true);
        QVERIFY(OpenReader(path));
        QVERIFY(Draw(m_reader, 1));
        BoxAnswer box(T("取消"));
        QVERIFY(m_reader->SaveOfdFile(path));
        QCOMPARE(box.boxes, 0);
        QCOMPARE(SavedAnnotCount(path), 2);
    }

    void saveAsInEveryEdition_data()
    {
        QTest::addColumn<int>("edition");
        QTest::newRow("0") << 0;
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
    }

    void saveAsInEveryEdition()
    {
        QFETCH(int, edition);
        AppParam::AppStatus = edition;
        const QString path = File(QStringLiteral("saveas-%1.ofd").arg(edition), false);
        QVERIFY(OpenReader(path));
        QVERIFY(Draw(m_reader, 1));
        QAction *saveAs = MenuAction(m_reader, T("另存为"));
        QVERIFY(saveAs);
        const QString target = m_dir.filePath(QStringLiteral("saved-as-%1").arg(edition));
        QTimer::singleShot(0, this, [target]() {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialog->selectFile(target);
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        saveAs->trigger();
        QCOMPARE(SavedAnnotCount(target + QStringLiteral(".ofd")), 2);
        QCOMPARE(SavedAnnotCount(path), 1);
    }

private:
    QString File(const QString &name, bool signed_)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Package(signed_)) <= 0)
            return QString();
        return path;
    }

    bool OpenReader(const QString &path)
    {
        m_reader = new OfdReadWidget;
        m_reader->resize(800, 600);
        m_reader->show();
        return m_reader->OpenFile(path) && m_reader->GetFormOfd();
    }

    bool NewWindow()
    {
        m_window = new MainWindow;
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window);
    }

    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
    OfdReadWidget *m_reader = nullptr;
    int m_edition = 1;
};

QTEST_MAIN(TestSaveWork)
#include "test_savework.moc"
