#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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
    void pdfPages_data();
    void pdfPages();
    void pdfKeepsTextSearchable();
    void pdfChineseTextSearchable();
    void pdfEveryPageInPlace();
    void textInReadingOrder();
    void exitCodes_data();
    void exitCodes();

private:
    // A package of count A4 pages; page i holds two lines, "second line i" drawn above "first line
    // i" in the file, so that reading order differs from file order. Varied pages also draw a
    // template ("template mark"); every third page from the second is 100 x 150 mm by its own Area,
    // every third from the third has its lines in red by a draw parameter.
    QString TextPackage(int count, bool varied = false);
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

QString TestOfdTool::TextPackage(int count, bool varied)
{
    const QString path =
        m_dir.filePath(QStringLiteral("text-%1%2.ofd").arg(count).arg(varied ? "-varied" : ""));
    if (QFile::exists(path))
        return path;
    PackageBuilder builder;
    const QString ns = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
    builder.AddText(QStringLiteral("OFD.xml"),
                    QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                                   "</ofd:DocBody></ofd:OFD>")
                        .arg(ns));
    QString list;
    for (int i = 0; i < count; ++i)
        list += QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/P%2.xml\"/>").arg(i + 1).arg(i);
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>0 0 210 297"
                       "</ofd:PhysicalBox></ofd:PageArea><ofd:PublicRes>Pub.xml</ofd:PublicRes>%3"
                       "</ofd:CommonData><ofd:Pages>%2</ofd:Pages></ofd:Document>")
            .arg(ns, list,
                 varied ? QStringLiteral("<ofd:TemplatePage ID=\"50\" BaseLoc=\"Tpls/T0.xml\"/>")
                        : QString()));
    builder.AddText(QStringLiteral("Doc_0/Pub.xml"),
                    QStringLiteral("<ofd:Res %1><ofd:Fonts><ofd:Font ID=\"2\" FontName=\"Liberation Sans\"/>"
                                   "</ofd:Fonts><ofd:DrawParams><ofd:DrawParam ID=\"5\"><ofd:FillColor "
                                   "Value=\"255 0 0\"/></ofd:DrawParam></ofd:DrawParams></ofd:Res>")
                        .arg(ns));
    auto line = [](int id, double y, const QString &text, bool red = false) {
        return QStringLiteral("<ofd:TextObject ID=\"%1\" Boundary=\"20 %2 150 10\" Font=\"2\" Size=\"5\"%4>"
                              "<ofd:TextCode X=\"0\" Y=\"6\">%3</ofd:TextCode></ofd:TextObject>")
            .arg(id)
            .arg(y)
            .arg(text, red ? QStringLiteral(" DrawParam=\"5\"") : QString());
    };
    if (varied)
        builder.AddText(
            QStringLiteral("Doc_0/Tpls/T0.xml"),
            QStringLiteral("<ofd:Page %1><ofd:Content><ofd:Layer ID=\"90\">%2</ofd:Layer></ofd:Content>"
                           "</ofd:Page>")
                .arg(ns, line(91, 100, QStringLiteral("template mark"))));
    for (int i = 0; i < count; ++i)
        builder.AddText(
            QStringLiteral("Doc_0/Pages/P%1.xml").arg(i),
            QStringLiteral("<ofd:Page %1>%2<ofd:Content><ofd:Layer ID=\"10\">%3%4</ofd:Layer>"
                           "</ofd:Content></ofd:Page>")
                .arg(ns,
                     !varied ? QString()
                     : i % 3 == 1
                         ? QStringLiteral(
                               "<ofd:Template TemplateID=\"50\"/><ofd:Area><ofd:PhysicalBox>0 0 100 150"
                               "</ofd:PhysicalBox></ofd:Area>")
                         : QStringLiteral("<ofd:Template TemplateID=\"50\"/>"),
                     line(11, 60, QStringLiteral("first line %1").arg(i + 1), varied && i % 3 == 2),
                     line(12, 30, QStringLiteral("second line %1").arg(i + 1), varied && i % 3 == 2)));
    if (!builder.WriteTo(path))
        return QString();
    return path;
}

namespace {
// Pages of a PDF file: its page objects.
int PdfPageObjects(const QByteArray &pdf)
{
    // "/Type /Page" or "/Type/Page", not "/Pages".
    static const QRegularExpression tag(QStringLiteral("/Type\\s*/Page(?![A-Za-z0-9])"));
    int count = 0;
    for (auto it = tag.globalMatch(QString::fromLatin1(pdf.constData(), pdf.size())); it.hasNext(); it.next())
        ++count;
    return count;
}
} // namespace

void TestOfdTool::pdfPages_data()
{
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<int>("pages");
    QTest::newRow("all") << QStringList() << 5;
    QTest::newRow("two to four") << QStringList{QStringLiteral("--pages"), QStringLiteral("2-4")} << 3;
    QTest::newRow("one page") << QStringList{QStringLiteral("--pages"), QStringLiteral("5")} << 1;
    QTest::newRow("open end") << QStringList{QStringLiteral("--pages=4-")} << 2;
}

void TestOfdTool::pdfPages()
{
    QFETCH(QStringList, range);
    QFETCH(int, pages);
    const QString package = TextPackage(5);
    QVERIFY(!package.isEmpty());
    const QString out = m_dir.filePath(QStringLiteral("pages.pdf"));
    QFile::remove(out);
    QString stdOut;
    QCOMPARE(Run(QStringList{QStringLiteral("pdf"), package, QStringLiteral("-o"), out} + range, &stdOut), 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(PdfPageObjects(pdf), pages);
    QVERIFY2(stdOut.contains(QStringLiteral("%1 page(s)").arg(pages)), qPrintable(stdOut));
    // A4 in points: 595 x 842.
    QVERIFY2(QString::fromLatin1(pdf.constData(), pdf.size())
                 .contains(QRegularExpression(QStringLiteral("/MediaBox\\s*\\[0 0 595"))),
             pdf.left(2000).constData());
}

void TestOfdTool::pdfKeepsTextSearchable()
{
    // The text goes in as text (a font with a map back to Unicode), not as pictures.
    const QString out = m_dir.filePath(QStringLiteral("text.pdf"));
    QCOMPARE(Run({QStringLiteral("pdf"), TextPackage(5), QStringLiteral("-o"), out, QStringLiteral("--pages"),
                  QStringLiteral("1-1")}),
             0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.contains("/ToUnicode"));
    QVERIFY(pdf.contains("/FontFile"));
    QVERIFY(!pdf.contains("/Subtype /Image"));
    // Read back by an independent reader of PDF files, when one is installed.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess process;
    process.start(pdftotext, {out, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("second line 1")) && text.contains(QStringLiteral("first line 1")),
             qPrintable(text));
    QVERIFY(text.indexOf(QStringLiteral("second line 1")) < text.indexOf(QStringLiteral("first line 1")));
}

void TestOfdTool::pdfChineseTextSearchable()
{
    // CJK fonts draw 文, 人, 民 and 角 with the glyphs of radicals; the PDF must still give the
    // ideographs back, or the text cannot be searched.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString words = QString::fromUtf8("中华人民共和国文档角");
    const QString ns = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
    PackageBuilder builder;
    builder.AddText(QStringLiteral("OFD.xml"),
                    QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                                   "</ofd:DocBody></ofd:OFD>")
                        .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>0 0 210 297"
                       "</ofd:PhysicalBox></ofd:PageArea><ofd:PublicRes>Pub.xml</ofd:PublicRes>"
                       "</ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" BaseLoc=\"P0.xml\"/>"
                       "</ofd:Pages></ofd:Document>")
            .arg(ns));
    builder.AddText(
        QStringLiteral("Doc_0/Pub.xml"),
        QStringLiteral("<ofd:Res %1><ofd:Fonts><ofd:Font ID=\"2\" FontName=\"Noto Serif CJK SC\"/>"
                       "</ofd:Fonts></ofd:Res>")
            .arg(ns));
    builder.AddText(QStringLiteral("Doc_0/P0.xml"),
                    QStringLiteral("<ofd:Page %1><ofd:Content><ofd:Layer ID=\"3\"><ofd:TextObject ID=\"4\" "
                                   "Boundary=\"20 20 150 10\" Font=\"2\" Size=\"5\"><ofd:TextCode X=\"0\" "
                                   "Y=\"6\" DeltaX=\"g 9 6\">%2</ofd:TextCode></ofd:TextObject></ofd:Layer>"
                                   "</ofd:Content></ofd:Page>")
                        .arg(ns, words));
    const QString package = m_dir.filePath(QStringLiteral("chinese.ofd"));
    QVERIFY(builder.WriteTo(package));
    const QString out = m_dir.filePath(QStringLiteral("chinese.pdf"));
    QCOMPARE(Run({QStringLiteral("pdf"), package, QStringLiteral("-o"), out}), 0);
    QProcess process;
    process.start(pdftotext, {out, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text =
        QString::fromUtf8(process.readAllStandardOutput()).simplified().remove(QLatin1Char(' '));
    QVERIFY2(text.contains(words), qPrintable(text));
}

void TestOfdTool::pdfEveryPageInPlace()
{
    // Pages are parsed ahead while earlier ones are drawn and written out: each PDF page still holds
    // its own page's text and template, at its own size, in the colours its draw parameters give.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdfinfo.isEmpty() || pdftoppm.isEmpty())
        QSKIP("pdftotext, pdfinfo and pdftoppm (poppler-utils) are not installed");
    const int count = 8;
    const QString out = m_dir.filePath(QStringLiteral("every.pdf"));
    QCOMPARE(Run({QStringLiteral("pdf"), TextPackage(count, true), QStringLiteral("-o"), out}), 0);
    QProcess info;
    info.start(pdfinfo, {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                         QString::number(count), out});
    QVERIFY(info.waitForFinished(30000));
    const QString sizes = QString::fromUtf8(info.readAllStandardOutput());
    for (int number = 1; number <= count; ++number) {
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("Page +%1 size: +([0-9.]+) x ([0-9.]+) pts").arg(number))
                .match(sizes);
        QVERIFY2(size.hasMatch(), qPrintable(sizes));
        const bool own = (number - 1) % 3 == 1;
        // 100 x 150 mm, else A4 (210 x 297 mm), in points.
        QVERIFY2(qAbs(size.captured(1).toDouble() - (own ? 283.46 : 595.28)) < 1, qPrintable(sizes));
        QVERIFY2(qAbs(size.captured(2).toDouble() - (own ? 425.2 : 841.89)) < 1, qPrintable(sizes));
        QProcess text;
        text.start(pdftotext, {QStringLiteral("-f"), QString::number(number), QStringLiteral("-l"),
                               QString::number(number), out, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(page.contains(QStringLiteral("second line %1").arg(number)) &&
                     page.contains(QStringLiteral("first line %1").arg(number)),
                 qPrintable(QStringLiteral("page %1: %2").arg(number).arg(page)));
        QCOMPARE(page.count(QStringLiteral(" line ")), 2);
        QVERIFY2(page.contains(QStringLiteral("template mark")), qPrintable(page));
        // The lines' row on the page picture: red where the draw parameter says so, else black.
        const QString picture = m_dir.filePath(QStringLiteral("every-%1").arg(number));
        QCOMPARE(QProcess::execute(pdftoppm,
                                   {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-f"),
                                    QString::number(number), QStringLiteral("-l"), QString::number(number),
                                    QStringLiteral("-png"), QStringLiteral("-singlefile"), out, picture}),
                 0);
        const QImage image(picture + QStringLiteral(".png"));
        QVERIFY(!image.isNull());
        int red = 0;
        int dark = 0;
        // The two lines lie between 30 and 70 mm from the top, from 20 mm to the right.
        for (int y = int(30 / 25.4 * 36); y < int(70 / 25.4 * 36) && y < image.height(); ++y) {
            for (int x = int(20 / 25.4 * 36); x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 110 && c.blue() < 110)
                    ++red;
                else if (c.red() < 110 && c.green() < 110 && c.blue() < 110)
                    ++dark;
            }
        }
        if ((number - 1) % 3 == 2)
            QVERIFY2(red > 10 && dark == 0,
                     qPrintable(QStringLiteral("page %1: %2 red, %3 dark").arg(number).arg(red).arg(dark)));
        else
            QVERIFY2(red == 0 && dark > 10,
                     qPrintable(QStringLiteral("page %1: %2 red, %3 dark").arg(number).arg(red).arg(dark)));
    }
}

void TestOfdTool::textInReadingOrder()
{
    const QString package = TextPackage(5);
    QString out;
    QCOMPARE(Run({QStringLiteral("text"), package, QStringLiteral("--page"), QStringLiteral("3")}, &out), 0);
    QCOMPARE(out, QStringLiteral("second line 3\nfirst line 3\n"));
    QCOMPARE(Run({QStringLiteral("text"), package}, &out), 0);
    const QStringList pages = out.split(QLatin1Char('\f'));
    QCOMPARE(pages.size(), 5);
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(pages[i], QStringLiteral("second line %1\nfirst line %1\n").arg(i + 1));
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
    QTest::newRow("pdf without -o") << QStringList{QStringLiteral("pdf"), m_package} << 1;
    QTest::newRow("pdf range beyond the end")
        << QStringList{QStringLiteral("pdf"),     m_package,
                       QStringLiteral("-o"),      m_dir.filePath(QStringLiteral("r.pdf")),
                       QStringLiteral("--pages"), QStringLiteral("2-3")}
        << 1;
    QTest::newRow("pdf range backwards")
        << QStringList{QStringLiteral("pdf"),     m_package,
                       QStringLiteral("-o"),      m_dir.filePath(QStringLiteral("r.pdf")),
                       QStringLiteral("--pages"), QStringLiteral("2-1")}
        << 1;
    QTest::newRow("text page out of range")
        << QStringList{QStringLiteral("text"), m_package, QStringLiteral("--page"), QStringLiteral("9")} << 1;
    QTest::newRow("text missing file") << QStringList{QStringLiteral("text"), missing} << 2;
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
