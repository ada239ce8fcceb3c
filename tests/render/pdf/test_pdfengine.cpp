#include <QBuffer>
#include <QFile>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "render/pdf/ofdpdfengine.h"

namespace {
// Runs a poppler tool; its output, or a null string when it is missing or failed.
QString RunTool(const QString &tool, const QStringList &args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return QString();
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    return out.isNull() ? QStringLiteral("") : out;
}

// Writes pages drawn by each painter function to path (A5 portrait unless sizes say otherwise).
bool WritePdf(const QString &path, const QVector<std::function<void(QPainter &)>> &pages,
              const QVector<QSizeF> &sizes = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    OfdPdfDevice device(&file, 600);
    device.SetPageSizeMM(sizes.value(0, QSizeF(148, 210)));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            device.SetPageSizeMM(sizes.value(i, QSizeF(148, 210)));
            device.NewPage();
        }
        pages[i](painter);
    }
    return painter.end() && !device.HasError();
}

// Page rendered back by poppler at 72 dpi (one pixel per point); null when poppler is missing.
QImage RenderBack(const QString &pdf, int page, const QString &dir)
{
    const QString prefix = dir + QStringLiteral("/back%1").arg(page);
    if (RunTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                 QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, prefix})
            .isNull())
        return QImage();
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Points of the page to device dots (600 dpi).
double Dots(double points)
{
    return points * 600 / 72;
}

bool Near(QRgb a, QColor b, int tolerance = 40)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

QString Describe(QRgb c)
{
    return QStringLiteral("(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

QRawFont InstalledFont(const QString &family, double pixelSize)
{
    QFont font(family);
    font.setPixelSize(qRound(pixelSize));
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || !raw.familyName().startsWith(family))
        return QRawFont();
    raw.setPixelSize(pixelSize);
    return raw;
}

// Lays text out with the font's advances from origin (the painter's coordinates).
QGlyphRun RunOf(const QRawFont &font, const QString &text, QVector<QString> &texts, double spacing = 0)
{
    const QVector<quint32> glyphs = font.glyphIndexesForString(text);
    const QVector<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    QVector<QPointF> positions;
    double x = 0;
    texts.clear();
    for (int i = 0; i < glyphs.size(); ++i) {
        positions.append(QPointF(x, 0));
        x += advances[i].x() + spacing;
        texts.append(text.mid(i, 1));
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}
} // namespace

class TestPdfEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fillsStrokesAndClips();
    void transparencyAndGradients();
    void pictures();
    void jpegFilesAreStoredAsTheyAre();
    void textIsSearchableAndPlaced_data();
    void textIsSearchableAndPlaced();
    void painterTextIsDrawn();
    void pagesKeepTheirSizesAndClip();
    void crossReferenceOffsets();
    void failedWriteIsReported();

private:
    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }
};

void TestPdfEngine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("poppler-utils missing (tools/ensure-deps.sh)");
}

void TestPdfEngine::fillsStrokesAndClips()
{
    const QString pdf = Path(QStringLiteral("shapes.pdf"));
    QVERIFY(WritePdf(pdf, {[](QPainter &p) {
                         p.fillRect(QRectF(Dots(20), Dots(20), Dots(100), Dots(50)), QColor(220, 0, 0));
                         // A thick blue line across the lower part, 10 points wide.
                         p.setPen(QPen(QColor(0, 0, 230), Dots(10)));
                         p.drawLine(QPointF(Dots(20), Dots(200)), QPointF(Dots(300), Dots(200)));
                         // A circle clipped to its left half.
                         p.save();
                         p.setClipRect(QRectF(Dots(100), Dots(300), Dots(60), Dots(200)));
                         p.setPen(Qt::NoPen);
                         p.setBrush(QColor(0, 160, 0));
                         p.drawEllipse(QPointF(Dots(160), Dots(360)), Dots(50), Dots(50));
                         p.restore();
                         // Drawn after the clip was given back: whole.
                         p.fillRect(QRectF(Dots(250), Dots(300), Dots(40), Dots(40)), Qt::black);
                         // A scaled painter draws a dashed rectangle's outline.
                         p.save();
                         p.scale(2, 2);
                         p.setPen(QPen(Qt::magenta, Dots(2)));
                         p.setBrush(Qt::NoBrush);
                         p.drawRect(QRectF(Dots(20), Dots(250), Dots(100), Dots(30)));
                         p.restore();
                     }}));
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    QVERIFY2(std::abs(back.width() - 420) <= 1 && std::abs(back.height() - 595) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(back.width()).arg(back.height())));
    struct Probe
    {
        QPoint at;
        QColor colour;
        const char *what;
    };
    const Probe probes[] = {
        {{70, 45}, QColor(220, 0, 0), "filled rectangle"},
        {{10, 45}, Qt::white, "left of the rectangle"},
        {{150, 200}, QColor(0, 0, 230), "middle of the line"},
        {{150, 197}, QColor(0, 0, 230), "within the line's width"},
        {{150, 209}, Qt::white, "beyond the line's width"},
        {{130, 360}, QColor(0, 160, 0), "left half of the circle"},
        {{190, 360}, Qt::white, "clipped right half of the circle"},
        {{270, 320}, Qt::black, "square after the clip"},
        {{40, 560}, Qt::magenta, "outline of the scaled rectangle"},
        {{120, 530}, Qt::white, "inside the outline"},
    };
    for (const Probe &probe : probes) {
        QVERIFY2(Near(back.pixel(probe.at), probe.colour),
                 qPrintable(QStringLiteral("%1 at (%2, %3): %4")
                                .arg(QLatin1String(probe.what))
                                .arg(probe.at.x())
                                .arg(probe.at.y())
                                .arg(Describe(back.pixel(probe.at)))));
    }
}

void TestPdfEngine::transparencyAndGradients()
{
    const QString pdf = Path(QStringLiteral("alpha.pdf"));
    QVERIFY(WritePdf(pdf, {[](QPainter &p) {
                         p.fillRect(QRectF(Dots(20), Dots(20), Dots(100), Dots(100)), QColor(0, 0, 255));
                         p.fillRect(QRectF(Dots(70), Dots(20), Dots(100), Dots(100)), QColor(255, 0, 0, 128));
                         p.setOpacity(0.5);
                         p.fillRect(QRectF(Dots(20), Dots(150), Dots(100), Dots(40)), Qt::black);
                         p.setOpacity(1);
                         QLinearGradient gradient(QPointF(Dots(20), 0), QPointF(Dots(320), 0));
                         gradient.setColorAt(0, Qt::black);
                         gradient.setColorAt(0.5, Qt::red);
                         gradient.setColorAt(1, Qt::white);
                         p.fillRect(QRectF(Dots(20), Dots(250), Dots(300), Dots(50)), gradient);
                     }}));
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    QVERIFY2(Near(back.pixel(40, 70), QColor(0, 0, 255)), qPrintable(Describe(back.pixel(40, 70))));
    // Half red over blue, half red over white.
    QVERIFY2(Near(back.pixel(100, 70), QColor(128, 0, 127)), qPrintable(Describe(back.pixel(100, 70))));
    QVERIFY2(Near(back.pixel(150, 70), QColor(255, 127, 127)), qPrintable(Describe(back.pixel(150, 70))));
    QVERIFY2(Near(back.pixel(70, 170), QColor(128, 128, 128)), qPrintable(Describe(back.pixel(70, 170))));
    // The gradient: black at its start, red halfway, white at its end.
    QVERIFY2(Near(back.pixel(22, 275), Qt::black), qPrintable(Describe(back.pixel(22, 275))));
    QVERIFY2(Near(back.pixel(170, 275), Qt::red), qPrintable(Describe(back.pixel(170, 275))));
    QVERIFY2(Near(back.pixel(318, 275), Qt::white), qPrintable(Describe(back.pixel(318, 275))));
    QVERIFY2(Near(back.pixel(95, 275), QColor(128, 0, 0)), qPrintable(Describe(back.pixel(95, 275))));
}

void TestPdfEngine::pictures()
{
    // A colour picture (stored as JPEG), one with transparency, and a black and white one.
    QImage photo(200, 100, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, x < 100 ? qRgb(200, 30, 30) : qRgb(30, 30, 200));
    }
    QImage seal(100, 100, QImage::Format_ARGB32);
    seal.fill(Qt::transparent);
    {
        QPainter p(&seal);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 0, 0));
        p.drawEllipse(QRectF(0, 0, 100, 100));
    }
    QImage scan(64, 64, QImage::Format_Mono);
    scan.setColor(0, qRgb(255, 255, 255));
    scan.setColor(1, qRgb(0, 0, 0));
    scan.fill(0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x)
            scan.setPixel(x, y, 1);
    }
    const QString pdf = Path(QStringLiteral("pictures.pdf"));
    QVERIFY(WritePdf(pdf, {[&](QPainter &p) {
                         p.drawImage(QRectF(Dots(20), Dots(20), Dots(200), Dots(100)), photo);
                         p.fillRect(QRectF(Dots(20), Dots(150), Dots(100), Dots(100)), QColor(0, 0, 255));
                         p.drawImage(QRectF(Dots(20), Dots(150), Dots(100), Dots(100)), seal);
                         p.drawImage(QRectF(Dots(250), Dots(150), Dots(64), Dots(64)), scan);
                         // The same picture again, on its side: stored once.
                         p.save();
                         p.translate(Dots(300), Dots(300));
                         p.rotate(90);
                         p.drawImage(QRectF(0, 0, Dots(200), Dots(100)), photo);
                         p.restore();
                     }}));
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    QVERIFY2(Near(back.pixel(60, 70), QColor(200, 30, 30)), qPrintable(Describe(back.pixel(60, 70))));
    QVERIFY2(Near(back.pixel(180, 70), QColor(30, 30, 200)), qPrintable(Describe(back.pixel(180, 70))));
    // Seal: red in the middle, the blue beneath showing in its transparent corner.
    QVERIFY2(Near(back.pixel(70, 200), QColor(230, 0, 0)), qPrintable(Describe(back.pixel(70, 200))));
    QVERIFY2(Near(back.pixel(23, 153), QColor(0, 0, 255)), qPrintable(Describe(back.pixel(23, 153))));
    QVERIFY2(Near(back.pixel(280, 165), Qt::black), qPrintable(Describe(back.pixel(280, 165))));
    QVERIFY2(Near(back.pixel(280, 200), Qt::white), qPrintable(Describe(back.pixel(280, 200))));
    // Turned by 90 degrees about (300, 300): the picture's left (red) half is now above.
    QVERIFY2(Near(back.pixel(250, 350), QColor(200, 30, 30)), qPrintable(Describe(back.pixel(250, 350))));
    QVERIFY2(Near(back.pixel(250, 450), QColor(30, 30, 200)), qPrintable(Describe(back.pixel(250, 450))));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("/Subtype/Image"), 4); // photo once, seal, its mask, scan
    QCOMPARE(bytes.count("/DCTDecode"), 1);
    QCOMPARE(bytes.count("/BitsPerComponent 1"), 1);
}

void TestPdfEngine::jpegFilesAreStoredAsTheyAre()
{
    QImage photo(120, 80, QImage::Format_RGB32);
    photo.fill(qRgb(20, 140, 40));
    auto encode = [&photo](const char *format, int quality) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setQuality(quality);
        writer.setProgressiveScanWrite(false);
        return writer.write(photo) ? bytes : QByteArray();
    };
    const QByteArray jpeg = encode("jpeg", 55);
    const QByteArray png = encode("png", -1);
    QVERIFY(!jpeg.isEmpty() && !png.isEmpty());
    const QImage fromJpeg = QImage::fromData(jpeg);
    const QImage fromPng = QImage::fromData(png);
    QByteArray truncated = jpeg.left(20);
    const QString pdf = Path(QStringLiteral("jpeg.pdf"));
    QVERIFY(WritePdf(
        pdf, {[&](QPainter &p) {
            OfdPdfDevice::DrawImage(&p, QRectF(Dots(20), Dots(20), Dots(120), Dots(80)), fromJpeg, jpeg);
            OfdPdfDevice::DrawImage(&p, QRectF(Dots(20), Dots(120), Dots(120), Dots(80)), fromPng, png);
            // Bytes that are not the picture's own file: the picture is encoded anew.
            OfdPdfDevice::DrawImage(&p, QRectF(Dots(20), Dots(220), Dots(120), Dots(80)),
                                    fromJpeg.scaled(60, 40), jpeg);
            OfdPdfDevice::DrawImage(&p, QRectF(Dots(20), Dots(320), Dots(120), Dots(80)),
                                    fromPng.copy(0, 0, 119, 80), truncated);
        }}));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count(jpeg), 1);
    QCOMPARE(bytes.count("/Subtype/Image"), 4);
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    for (const QPoint &at : {QPoint(80, 60), QPoint(80, 160), QPoint(80, 260), QPoint(80, 360)})
        QVERIFY2(Near(back.pixel(at), QColor(20, 140, 40)), qPrintable(Describe(back.pixel(at))));
}

void TestPdfEngine::textIsSearchableAndPlaced_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("spacing"); // extra room between glyphs, dots
    QTest::newRow("Latin, TrueType") << "Liberation Serif"
                                     << "Quartz jumps over" << 0.0;
    QTest::newRow("Latin, spaced out") << "Liberation Sans"
                                       << "Spread" << 60.0;
    QTest::newRow("Chinese, OpenType") << "Noto Serif CJK SC" << QStringLiteral("中华人民共和国文档") << 0.0;
    QTest::newRow("Chinese, TrueType") << "AR PL UMing CN" << QStringLiteral("电子公文") << 20.0;
}

void TestPdfEngine::textIsSearchableAndPlaced()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    QFETCH(double, spacing);
    // 24 point type.
    const QRawFont font = InstalledFont(family, Dots(24));
    if (!font.isValid())
        QSKIP("font not installed");
    QVector<QString> texts;
    const QGlyphRun run = RunOf(font, text, texts, spacing);
    QVERIFY(!run.glyphIndexes().contains(0));
    const QString pdf = Path(QStringLiteral("text.pdf"));
    QVERIFY(WritePdf(pdf, {[&](QPainter &p) {
                         p.setPen(Qt::black);
                         OfdPdfDevice::DrawGlyphRun(&p, QPointF(Dots(30), Dots(100)), run,
                                                    [&](int i) { return texts.value(i); });
                         // The same run again, lower and in red, through a turned painter.
                         p.save();
                         p.translate(Dots(30), Dots(300));
                         p.rotate(-90);
                         p.setPen(QColor(220, 0, 0));
                         OfdPdfDevice::DrawGlyphRun(&p, QPointF(), run,
                                                    [&](int i) { return texts.value(i); });
                         p.restore();
                     }},
                     {QSizeF(297, 210)}));
    const QString extracted = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QString plain = extracted;
    plain.remove(QRegularExpression(QStringLiteral("\\s")));
    QString wanted = text;
    wanted.remove(QLatin1Char(' '));
    QCOMPARE(plain.count(wanted), 2);

    // Where the words are: the bounding boxes poppler reads for the upright copy.
    const QString html =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">"));
    // The upright copy's words: those above y = 115 points (the turned copy lies below).
    QVector<QRectF> upright;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                         QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        if (box.bottom() < 115)
            upright.append(box);
    }
    QVERIFY(!upright.isEmpty());
    QVERIFY2(std::abs(upright.first().left() - 30) < 3, qPrintable(QString::number(upright.first().left())));
    QVERIFY2(upright.first().bottom() > 100 && upright.first().bottom() < 110,
             qPrintable(QString::number(upright.first().bottom()))); // the baseline at 100 points
    // The last glyph's right edge: the run's own width, spacing included.
    const QVector<QPointF> advances = font.advancesForGlyphIndexes(run.glyphIndexes());
    const double width = (run.positions().last().x() + advances.last().x()) * 72 / 600;
    double right = 0;
    for (const QRectF &box : qAsConst(upright))
        right = qMax(right, box.right());
    QVERIFY2(std::abs(right - (30 + width)) < 3,
             qPrintable(QStringLiteral("right edge %1, wanted %2").arg(right).arg(30 + width)));

    // Ink where the glyphs are: dark in the upright copy, red in the turned one.
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    int dark = 0;
    for (int y = 80; y < 104; ++y) {
        for (int x = 30; x < int(30 + width); ++x)
            dark += qGray(back.pixel(x, y)) < 100;
    }
    QVERIFY2(dark > 40, qPrintable(QString::number(dark)));
    int red = 0, stray = 0;
    for (int y = 0; y < back.height(); ++y) {
        for (int x = 0; x < back.width(); ++x) {
            const QRgb c = back.pixel(x, y);
            const bool isRed = qRed(c) > 150 && qGreen(c) < 100;
            if (!isRed)
                continue;
            // Turned upwards about (30, 300): within a column left of x = 30 + one em.
            if (x >= 0 && x <= 36 && y <= 300 && y >= 300 - width - 3)
                ++red;
            else
                ++stray;
        }
    }
    QVERIFY2(red > 40 && stray == 0, qPrintable(QStringLiteral("%1 red, %2 stray").arg(red).arg(stray)));
}

void TestPdfEngine::painterTextIsDrawn()
{
    // Text the painter lays out itself (labels of marks and stamps) is drawn as outlines.
    const QString pdf = Path(QStringLiteral("label.pdf"));
    QVERIFY(WritePdf(pdf, {[](QPainter &p) {
                         QFont font(QStringLiteral("Liberation Sans"));
                         font.setPixelSize(int(Dots(40)));
                         p.setFont(font);
                         p.setPen(QColor(0, 0, 200));
                         p.drawText(QRectF(Dots(20), Dots(20), Dots(300), Dots(60)), Qt::AlignLeft,
                                    QStringLiteral("MMMM"));
                     }}));
    const QImage back = RenderBack(pdf, 1, m_dir.path());
    QVERIFY(!back.isNull());
    int blue = 0, elsewhere = 0;
    for (int y = 0; y < back.height(); ++y) {
        for (int x = 0; x < back.width(); ++x) {
            const QRgb c = back.pixel(x, y);
            if (qBlue(c) > 120 && qRed(c) < 80) {
                if (x >= 20 && x < 320 && y >= 20 && y < 80)
                    ++blue;
                else
                    ++elsewhere;
            }
        }
    }
    QVERIFY2(blue > 300 && elsewhere == 0,
             qPrintable(QStringLiteral("%1 inside, %2 outside").arg(blue).arg(elsewhere)));
}

void TestPdfEngine::pagesKeepTheirSizesAndClip()
{
    const QString pdf = Path(QStringLiteral("pages.pdf"));
    QVERIFY(WritePdf(pdf,
                     {[](QPainter &p) {
                          // A clip set on the first page still holds on the next.
                          p.setClipRect(QRectF(0, 0, Dots(50), Dots(50)));
                          p.fillRect(QRectF(0, 0, Dots(100), Dots(100)), Qt::red);
                      },
                      [](QPainter &p) { p.fillRect(QRectF(0, 0, Dots(100), Dots(100)), Qt::blue); },
                      [](QPainter &p) {
                          p.setClipping(false);
                          p.fillRect(QRectF(0, 0, Dots(100), Dots(100)), Qt::green);
                      }},
                     {QSizeF(100, 50), QSizeF(210, 297), QSizeF(50, 100)}));
    const QString info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                             QStringLiteral("-l"), QStringLiteral("3"), pdf});
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3"))));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+283.46\\d* x 141.73"))),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+595.27\\d* x 841.8"))),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+3 size:\\s+141.73\\d* x 283.46"))),
             qPrintable(info));
    const QImage second = RenderBack(pdf, 2, m_dir.path());
    QVERIFY(!second.isNull());
    QVERIFY(Near(second.pixel(25, 25), Qt::blue));
    QVERIFY2(Near(second.pixel(75, 75), Qt::white), qPrintable(Describe(second.pixel(75, 75))));
    const QImage third = RenderBack(pdf, 3, m_dir.path());
    QVERIFY(!third.isNull());
    QVERIFY2(Near(third.pixel(75, 75), Qt::green), qPrintable(Describe(third.pixel(75, 75))));
}

void TestPdfEngine::crossReferenceOffsets()
{
    const QRawFont font = InstalledFont(QStringLiteral("Liberation Serif"), 100);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        OfdPdfDevice device(&buffer);
        QPainter painter(&device);
        painter.fillRect(QRectF(10, 10, 100, 100), Qt::red);
        if (font.isValid()) {
            QVector<QString> texts;
            OfdPdfDevice::DrawGlyphRun(&painter, QPointF(100, 300),
                                       RunOf(font, QStringLiteral("xref"), texts),
                                       [&](int i) { return texts.value(i); });
        }
        device.NewPage();
        painter.drawImage(QRectF(0, 0, 100, 100), QImage(50, 50, QImage::Format_ARGB32));
        QVERIFY(painter.end());
    }
    const int start = bytes.lastIndexOf("startxref\n");
    QVERIFY(start > 0);
    const qint64 xref = bytes.mid(start + 10, bytes.indexOf('\n', start + 10) - start - 10).toLongLong();
    QVERIFY(bytes.mid(int(xref), 5) == "xref\n");
    const QRegularExpression entry(QStringLiteral("(\\d{10}) 00000 n \\n"));
    const QString table = QString::fromLatin1(bytes.mid(int(xref), start - int(xref)));
    auto it = entry.globalMatch(table);
    int id = 0;
    while (it.hasNext()) {
        ++id;
        const int offset = it.next().captured(1).toInt();
        const QByteArray head = QByteArray::number(id) + " 0 obj";
        QVERIFY2(bytes.mid(offset, head.size()) == head, qPrintable(QStringLiteral("object %1").arg(id)));
    }
    QVERIFY(id >= 8);
    QVERIFY(bytes.endsWith("%%EOF\n"));
}

void TestPdfEngine::failedWriteIsReported()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly)); // takes nothing
    OfdPdfDevice device(&buffer);
    QPainter painter;
    const bool begun = painter.begin(&device);
    if (begun) {
        painter.fillRect(QRectF(0, 0, 10, 10), Qt::red);
        QVERIFY(!painter.end());
    }
    QVERIFY(device.HasError());
}

QTEST_MAIN(TestPdfEngine)
#include "test_pdfengine.moc"
