#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "packagebuilder.h"
#include "renderfixture.h"

// ofdtool run as users run it: info as text and JSON, render with page selection and resolution,
// and the exit codes for bad usage and unreadable input.
class TestOfdTool : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void infoText();
    void infoJson();
    void renderAllPages();
    void renderOnePageAtDpi();
    void exitCodes_data();
    void exitCodes();

private:
    // Runs ofdtool; returns the exit code, -1 when it crashed or hung.
    int Run(const QStringList &args, QString *out = nullptr, QString *err = nullptr);
    QTemporaryDir m_dir;
    QString m_package;
};

namespace {
// Two pages (A5 landscape and 50 × 80 mm), a substituted font, a PNG and an attachment.
QByteArray BuildPackage()
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");

    PackageBuilder builder;
    const QString ns = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
    builder.AddText(QStringLiteral("OFD.xml"),
                    QStringLiteral("<ofd:OFD %1 Version=\"1.0\" DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo>"
                                   "<ofd:DocID>t</ofd:DocID></ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml"
                                   "</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
                        .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>50</ofd:MaxUnitID>"
                       "<ofd:PageArea><ofd:PhysicalBox>0 0 210 148</ofd:PhysicalBox></ofd:PageArea>"
                       "<ofd:PublicRes>PublicRes.xml</ofd:PublicRes></ofd:CommonData><ofd:Pages>"
                       "<ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/>"
                       "<ofd:Page ID=\"2\" BaseLoc=\"Pages/Page_1/Content.xml\"/></ofd:Pages>"
                       "<ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments></ofd:Document>")
            .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/PublicRes.xml"),
        QStringLiteral("<ofd:Res %1 BaseLoc=\"Res\"><ofd:Fonts><ofd:Font ID=\"3\" FontName=\"宋体\" "
                       "FamilyName=\"宋体\"/></ofd:Fonts><ofd:MultiMedias><ofd:MultiMedia ID=\"4\" "
                       "Type=\"Image\"><ofd:MediaFile>p.png</ofd:MediaFile></ofd:MultiMedia>"
                       "</ofd:MultiMedias></ofd:Res>")
            .arg(ns));
    builder.Add(QStringLiteral("Doc_0/Res/p.png"), png);
    builder.AddText(
        QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
        QStringLiteral("<ofd:Page %1><ofd:Content><ofd:Layer ID=\"10\"><ofd:ImageObject ID=\"11\" "
                       "ResourceID=\"4\" Boundary=\"10 10 20 20\" CTM=\"20 0 0 20 0 0\"/></ofd:Layer>"
                       "</ofd:Content></ofd:Page>")
            .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/Pages/Page_1/Content.xml"),
        QStringLiteral("<ofd:Page %1><ofd:Area><ofd:PhysicalBox>0 0 50 80</ofd:PhysicalBox></ofd:Area>"
                       "<ofd:Content><ofd:Layer ID=\"12\"/></ofd:Content></ofd:Page>")
            .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/Attachs/Attachments.xml"),
        QStringLiteral("<ofd:Attachments %1><ofd:Attachment ID=\"20\" Name=\"data\" Format=\"xml\">"
                       "<ofd:FileLoc>data.xml</ofd:FileLoc></ofd:Attachment></ofd:Attachments>")
            .arg(ns));
    builder.AddText(QStringLiteral("Doc_0/Attachs/data.xml"), QStringLiteral("<a/>"));
    return builder.Build();
}
} // namespace

void TestOfdTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_package = m_dir.filePath(QStringLiteral("sample.ofd"));
    QFile file(m_package);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(BuildPackage());
}

int TestOfdTool::Run(const QStringList &args, QString *out, QString *err)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool picks offscreen itself without a display
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(OFDTOOL_PATH), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

void TestOfdTool::infoText()
{
    QString out;
    QCOMPARE(Run({QStringLiteral("info"), m_package}, &out), 0);
    QVERIFY2(out.contains(QStringLiteral("Pages: 2")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("1: 210 x 148 mm")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("2: 50 x 80 mm")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("宋体 → ")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("Images: 1 (PNG 1)")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("Attachments: 1")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("Signatures: 0")), qPrintable(out));
}

void TestOfdTool::infoJson()
{
    QString out;
    QCOMPARE(Run({QStringLiteral("info"), m_package, QStringLiteral("--json")}, &out), 0);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(out.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonArray documents = json.object().value(QStringLiteral("documents")).toArray();
    QCOMPARE(documents.size(), 1);
    const QJsonObject document = documents[0].toObject();
    QCOMPARE(document.value(QStringLiteral("pageCount")).toInt(), 2);
    const QJsonArray pages = document.value(QStringLiteral("pages")).toArray();
    QCOMPARE(pages[1].toObject().value(QStringLiteral("widthMM")).toDouble(), 50.0);
    QCOMPARE(pages[1].toObject().value(QStringLiteral("heightMM")).toDouble(), 80.0);
    const QJsonObject font = document.value(QStringLiteral("fonts")).toArray()[0].toObject();
    QCOMPARE(font.value(QStringLiteral("fontName")).toString(), QStringLiteral("宋体"));
    QCOMPARE(font.value(QStringLiteral("embedded")).toBool(), false);
    QVERIFY(!font.value(QStringLiteral("substitute")).toString().isEmpty());
    const QJsonObject images = document.value(QStringLiteral("images")).toObject();
    QCOMPARE(images.value(QStringLiteral("byFormat")).toObject().value(QStringLiteral("PNG")).toInt(), 1);
    QCOMPARE(document.value(QStringLiteral("attachments")).toArray().size(), 1);
    QCOMPARE(document.value(QStringLiteral("signatures")).toInt(), 0);
}

void TestOfdTool::renderAllPages()
{
    const QString out = m_dir.filePath(QStringLiteral("all.png"));
    QCOMPARE(Run({QStringLiteral("render"), m_package, QStringLiteral("-o"), out}), 0);
    const QImage first(m_dir.filePath(QStringLiteral("all-1.png")));
    const QImage second(m_dir.filePath(QStringLiteral("all-2.png")));
    QCOMPARE(first.size(), QSize(794, 559)); // 210 × 148 mm at 96 dpi
    QCOMPARE(second.size(), QSize(189, 302));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("all-3.png"))));
    QVERIFY(!QFile::exists(out));
    // The picture is drawn: red at 20 mm, 20 mm.
    QVERIFY2(IsColor(first, 76, 76, QColor(255, 0, 0)), qPrintable(Describe(first, 76, 76)));
}

void TestOfdTool::renderOnePageAtDpi()
{
    const QString out = m_dir.filePath(QStringLiteral("second.png"));
    QCOMPARE(Run({QStringLiteral("render"), m_package, QStringLiteral("-o"), out, QStringLiteral("--page"),
                  QStringLiteral("2"), QStringLiteral("--dpi"), QStringLiteral("254")}),
             0);
    QCOMPARE(QImage(out).size(), QSize(500, 800));
}

void TestOfdTool::exitCodes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    const QString missing = QStringLiteral("/nonexistent/none.ofd");
    QTest::newRow("no command") << QStringList() << 1;
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 1;
    QTest::newRow("info without file") << QStringList{QStringLiteral("info")} << 1;
    QTest::newRow("render without -o") << QStringList{QStringLiteral("render"), QStringLiteral("x.ofd")} << 1;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("info"), QStringLiteral("x.ofd"),
                                                   QStringLiteral("--bogus")}
                                    << 1;
    QTest::newRow("page out of range")
        << QStringList{QStringLiteral("render"), m_package,
                       QStringLiteral("-o"),     m_dir.filePath(QStringLiteral("p.png")),
                       QStringLiteral("--page"), QStringLiteral("3")}
        << 1;
    QTest::newRow("bad dpi") << QStringList{QStringLiteral("render"), m_package,
                                            QStringLiteral("-o"),     m_dir.filePath(QStringLiteral("p.png")),
                                            QStringLiteral("--dpi"),  QStringLiteral("zero")}
                             << 1;
    QTest::newRow("missing file") << QStringList{QStringLiteral("info"), missing} << 2;
    const QString garbage = m_dir.filePath(QStringLiteral("garbage.ofd"));
    QFile file(garbage);
    if (file.open(QIODevice::WriteOnly))
        file.write("this is not a zip archive");
    file.close();
    QTest::newRow("not a package") << QStringList{QStringLiteral("info"), garbage} << 2;
    const QString noRoot = m_dir.filePath(QStringLiteral("noroot.ofd"));
    PackageBuilder().AddText(QStringLiteral("readme.txt"), QStringLiteral("no OFD.xml")).WriteTo(noRoot);
    QTest::newRow("zip without OFD.xml")
        << QStringList{QStringLiteral("render"), noRoot, QStringLiteral("-o"),
                       m_dir.filePath(QStringLiteral("n.png"))}
        << 2;
    QTest::newRow("render missing file")
        << QStringList{QStringLiteral("render"), missing, QStringLiteral("-o"), QStringLiteral("/tmp/x.png")}
        << 2;
}

void TestOfdTool::exitCodes()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QString err;
    QCOMPARE(Run(args, nullptr, &err), code);
    QVERIFY2(!err.trimmed().isEmpty(), "a failure says why on stderr");
}

QTEST_MAIN(TestOfdTool)
#include "test_ofdtool.moc"
