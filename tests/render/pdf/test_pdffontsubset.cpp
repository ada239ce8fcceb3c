#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <QtTest>

#include "render/pdf/ofdpdffontsubset.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

// A font installed on the machine, invalid when the family resolves to another one.
QRawFont SystemFont(const QString &family)
{
    QFont font(family);
    font.setPixelSize(100);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.familyName() != family)
        return QRawFont();
    return raw;
}

quint16 U16(const QByteArray &data, int at)
{
    return qFromBigEndian<quint16>(data.constData() + at);
}

qint16 S16(const QByteArray &data, int at)
{
    return qint16(U16(data, at));
}

quint32 U32(const QByteArray &data, int at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

quint32 Checksum(const QByteArray &data)
{
    QByteArray padded = data;
    while (padded.size() % 4)
        padded.append('\0');
    quint32 sum = 0;
    for (int i = 0; i < padded.size(); i += 4)
        sum += U32(padded, i);
    return sum;
}

struct Point
{
    int x, y;
    bool on;
};

// A simple glyph taken apart: its header box and its contours.
struct DecodedGlyph
{
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::vector<std::vector<Point>> contours;
    int PointCount() const
    {
        int n = 0;
        for (const auto &c : contours)
            n += int(c.size());
        return n;
    }
};

// Reads a simple glyph entry; false when it is malformed or not simple.
bool DecodeGlyph(const QByteArray &data, DecodedGlyph &out)
{
    if (data.size() < 12)
        return false;
    const int contours = S16(data, 0);
    if (contours <= 0)
        return false;
    out.xMin = S16(data, 2);
    out.yMin = S16(data, 4);
    out.xMax = S16(data, 6);
    out.yMax = S16(data, 8);
    int at = 10;
    std::vector<int> ends;
    for (int i = 0; i < contours; ++i, at += 2) {
        if (at + 2 > data.size())
            return false;
        ends.push_back(U16(data, at));
        if (i > 0 && ends[i] <= ends[i - 1])
            return false;
    }
    if (at + 2 > data.size())
        return false;
    at += 2 + U16(data, at);
    const int points = ends.back() + 1;
    std::vector<quint8> flags;
    while (int(flags.size()) < points) {
        if (at >= data.size())
            return false;
        const quint8 flag = quint8(data[at++]);
        int count = 1;
        if (flag & 0x08) {
            if (at >= data.size())
                return false;
            count += quint8(data[at++]);
        }
        for (int k = 0; k < count; ++k)
            flags.push_back(flag);
    }
    if (int(flags.size()) != points)
        return false;
    std::vector<int> xs(points), ys(points);
    const auto readAxis = [&](std::vector<int> &values, quint8 shortBit, quint8 sameBit) {
        int v = 0;
        for (int i = 0; i < points; ++i) {
            if (flags[i] & shortBit) {
                if (at >= data.size())
                    return false;
                const int d = quint8(data[at++]);
                v += (flags[i] & sameBit) ? d : -d;
            } else if (!(flags[i] & sameBit)) {
                if (at + 2 > data.size())
                    return false;
                v += S16(data, at);
                at += 2;
            }
            values[i] = v;
        }
        return true;
    };
    if (!readAxis(xs, 0x02, 0x10) || !readAxis(ys, 0x04, 0x20))
        return false;
    int start = 0;
    for (int end : ends) {
        std::vector<Point> contour;
        for (int i = start; i <= end; ++i)
            contour.push_back({xs[i], ys[i], bool(flags[i] & 1)});
        out.contours.push_back(contour);
        start = end + 1;
    }
    return true;
}

// The tables of a TrueType font program, checked for a well-formed directory on the way.
std::map<QByteArray, QByteArray> ParseTables(const QByteArray &font)
{
    std::map<QByteArray, QByteArray> tables;
    if (font.size() < 12 || U32(font, 0) != 0x00010000u)
        return tables;
    const int count = U16(font, 4);
    int power = 1, selector = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++selector;
    }
    if (U16(font, 6) != power * 16 || U16(font, 8) != selector || U16(font, 10) != count * 16 - power * 16)
        return tables;
    QByteArray previous;
    for (int i = 0; i < count; ++i) {
        const int record = 12 + 16 * i;
        if (record + 16 > font.size())
            return {};
        const QByteArray tag = font.mid(record, 4);
        const quint32 offset = U32(font, record + 8), length = U32(font, record + 12);
        if (tag <= previous || offset % 4 || offset + quint64(length) > quint64(font.size()))
            return {};
        QByteArray data = font.mid(int(offset), int(length));
        QByteArray forSum = data;
        if (tag == "head" && forSum.size() >= 12)
            qToBigEndian<quint32>(0, forSum.data() + 8);
        if (Checksum(forSum) != U32(font, record + 4))
            return {};
        tables[tag] = data;
        previous = tag;
    }
    return tables;
}

// The glyph entries of a parsed program, by glyph id.
QVector<QByteArray> GlyphEntries(const std::map<QByteArray, QByteArray> &tables, int count)
{
    const QByteArray &loca = tables.at("loca");
    const QByteArray &glyf = tables.at("glyf");
    QVector<QByteArray> entries;
    if (loca.size() != 4 * (count + 1) || int(U32(loca, 4 * count)) != glyf.size())
        return entries;
    for (int i = 0; i < count; ++i) {
        const quint32 a = U32(loca, 4 * i), b = U32(loca, 4 * i + 4);
        if (b < a || b > quint32(glyf.size()))
            return {};
        entries.append(glyf.mid(int(a), int(b - a)));
    }
    return entries;
}

// Coverage of a filled path drawn with its origin at origin, 8 bits a pixel.
QImage Ink(const QPainterPath &path, const QPointF &origin, const QSize &size)
{
    QImage image(size, QImage::Format_Grayscale8);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    QPainterPath filled = path;
    filled.setFillRule(Qt::WindingFill);
    painter.fillPath(filled, Qt::white);
    return image;
}

struct InkDifference
{
    int inked = 0;     // pixels at least half covered in the first image
    int different = 0; // pixels whose coverage differs by more than a quarter
};

InkDifference Compare(const QImage &a, const QImage &b)
{
    InkDifference d;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *la = a.constScanLine(y), *lb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            d.inked += la[x] >= 128;
            d.different += std::abs(int(la[x]) - int(lb[x])) > 64;
        }
    }
    return d;
}

const char kLatin[] = "Àéñüç Ǻǻ Œfi";
const char kCjk[] = "永和九年，岁在癸丑。汉字测试";

} // namespace

// Fonts rebuilt for PDF files from their outlines: the program is a well-formed TrueType font whose
// glyphs draw and advance like the source's.
class TestPdfFontSubset : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void ids();
    void invalidFont();
    void tables_data();
    void tables();
    void metrics_data();
    void metrics();
    void compact();
    void trueTypePointForPoint();
    void full();
};

void TestPdfFontSubset::roundTrip_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixelSize");
    const QString serif = QStringLiteral("Liberation Serif");
    const QString noto = QStringLiteral("Noto Sans CJK SC");
    const QString uming = QStringLiteral("AR PL UMing CN");
    QTest::newRow("TrueType accents (composites)") << serif << QString::fromUtf8(kLatin) << 100;
    QTest::newRow("TrueType digits and space") << serif << QStringLiteral("0123456789 %&@") << 100;
    QTest::newRow("TrueType ideographs") << uming << QString::fromUtf8(kCjk) << 100;
    QTest::newRow("CFF ideographs") << noto << QString::fromUtf8(kCjk) << 100;
    QTest::newRow("CFF Latin") << noto << QStringLiteral("Qag&@8 S") << 100;
    // A font unit is a fifth of a pixel here: the approximation of the curves would show.
    QTest::newRow("CFF ideographs, large") << noto << QString::fromUtf8("永和癸丑") << 400;
    QTest::newRow("CFF Latin, large") << noto << QStringLiteral("QSg@") << 400;
}

void TestPdfFontSubset::roundTrip()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    QFETCH(int, pixelSize);
    QRawFont source = SystemFont(family);
    if (!source.isValid())
        QSKIP("font not installed");
    OfdPdfFontSubset subset(source);
    const QVector<quint32> glyphs = source.glyphIndexesForString(text);
    QVERIFY(!glyphs.isEmpty());
    QHash<quint32, quint16> ids;
    for (quint32 glyph : glyphs) {
        const quint16 id = subset.Add(glyph);
        QVERIFY(id > 0);
        ids.insert(glyph, id);
    }
    QCOMPARE(subset.GlyphCount(), ids.size() + 1);

    const QRawFont rebuilt = QRawFont(subset.Build(), pixelSize);
    QVERIFY(rebuilt.isValid());
    source.setPixelSize(pixelSize);
    int inkedGlyphs = 0;
    for (auto it = ids.constBegin(); it != ids.constEnd(); ++it) {
        const quint32 glyph = it.key();
        const quint32 id = it.value();
        QPointF expected, actual;
        QVERIFY(source.advancesForGlyphIndexes(&glyph, &expected, 1, QRawFont::UseDesignMetrics));
        QVERIFY(rebuilt.advancesForGlyphIndexes(&id, &actual, 1, QRawFont::UseDesignMetrics));
        QVERIFY2(std::abs(expected.x() - actual.x()) <= 0.002 * pixelSize + 1.0 / 64,
                 qPrintable(QStringLiteral("glyph %1: advance %2, expected %3")
                                .arg(glyph)
                                .arg(actual.x())
                                .arg(expected.x())));

        const QPainterPath a = source.pathForGlyph(glyph);
        const QPainterPath b = rebuilt.pathForGlyph(id);
        QCOMPARE(a.isEmpty(), b.isEmpty());
        if (a.isEmpty())
            continue;
        const QRectF frame = a.boundingRect().united(b.boundingRect()).adjusted(-2, -2, 2, 2);
        const QSize size(int(std::ceil(frame.width())), int(std::ceil(frame.height())));
        const QPointF origin = -frame.topLeft();
        const InkDifference d = Compare(Ink(a, origin, size), Ink(b, origin, size));
        QVERIFY2(d.inked > 0, qPrintable(QStringLiteral("glyph %1 draws nothing").arg(glyph)));
        QVERIFY2(
            d.different <= d.inked / 100,
            qPrintable(
                QStringLiteral("glyph %1: %2 of %3 pixels differ").arg(glyph).arg(d.different).arg(d.inked)));
        ++inkedGlyphs;
    }
    QVERIFY(inkedGlyphs > 0);
}

void TestPdfFontSubset::ids()
{
    const QRawFont font = SystemFont(QStringLiteral("Liberation Serif"));
    if (!font.isValid())
        QSKIP("font not installed");
    const QVector<quint32> g = font.glyphIndexesForString(QStringLiteral("xyz"));
    QCOMPARE(g.size(), 3);
    OfdPdfFontSubset subset(font);
    QCOMPARE(subset.GlyphCount(), 1);
    QCOMPARE(int(subset.Add(g[1])), 1);
    QCOMPARE(int(subset.Add(g[0])), 2);
    QCOMPARE(int(subset.Add(g[1])), 1);
    QCOMPARE(int(subset.Add(g[2])), 3);
    QCOMPARE(int(subset.Add(g[0])), 2);
    QCOMPARE(subset.GlyphCount(), 4);
    // The source's own .notdef is drawn like any glyph.
    QCOMPARE(int(subset.Add(0)), 4);
    // A glyph the font does not have takes no id.
    QCOMPARE(int(subset.Add(0x00FFFFFF)), 0);
    QCOMPARE(subset.GlyphCount(), 5);
}

void TestPdfFontSubset::invalidFont()
{
    OfdPdfFontSubset subset{QRawFont()};
    QCOMPARE(int(subset.Add(5)), 0);
    QCOMPARE(int(subset.Add(0)), 0);
    QCOMPARE(subset.GlyphCount(), 1);
    QCOMPARE(subset.Advance1000(0), 0.0);
    QVERIFY(subset.BBox1000().isEmpty());
    const QByteArray program = subset.Build();
    const auto tables = ParseTables(program);
    QCOMPARE(int(tables.size()), 9);
    QCOMPARE(int(U16(tables.at("maxp"), 4)), 1);
    const QRawFont loaded = QRawFont(program, 100);
    QVERIFY(loaded.isValid());
    QVERIFY(loaded.pathForGlyph(0).isEmpty());
}

void TestPdfFontSubset::tables_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::newRow("TrueType") << QStringLiteral("Liberation Serif") << QString::fromUtf8(kLatin);
    QTest::newRow("CFF") << QStringLiteral("Noto Sans CJK SC") << QString::fromUtf8(kCjk);
    QTest::newRow("TrueType CJK") << QStringLiteral("AR PL UMing CN") << QString::fromUtf8(kCjk);
    QTest::newRow("no glyphs") << QStringLiteral("Liberation Serif") << QString();
}

void TestPdfFontSubset::tables()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    const QRawFont font = SystemFont(family);
    if (!font.isValid())
        QSKIP("font not installed");
    OfdPdfFontSubset subset(font);
    QVector<quint16> ids;
    for (quint32 glyph : font.glyphIndexesForString(text))
        ids.append(subset.Add(glyph));
    const int count = subset.GlyphCount();
    const QByteArray program = subset.Build();

    QCOMPARE(Checksum(program), 0xB1B0AFBAu);
    const auto tables = ParseTables(program);
    for (const char *tag : {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post"})
        QVERIFY2(tables.count(tag), tag);

    const QByteArray &head = tables.at("head");
    QCOMPARE(head.size(), 54);
    QCOMPARE(U32(head, 12), 0x5F0F3CF5u);
    QCOMPARE(int(U16(head, 18)), 2048);
    QCOMPARE(int(S16(head, 50)), 1);
    const QByteArray &maxp = tables.at("maxp");
    QCOMPARE(maxp.size(), 32);
    QCOMPARE(U32(maxp, 0), 0x00010000u);
    QCOMPARE(int(U16(maxp, 4)), count);
    const QByteArray &hhea = tables.at("hhea");
    QCOMPARE(int(U16(hhea, 34)), count);
    const QByteArray &hmtx = tables.at("hmtx");
    QCOMPARE(hmtx.size(), 4 * count);
    QCOMPARE(U32(tables.at("post"), 0), 0x00030000u);
    const QByteArray &cmap = tables.at("cmap");
    QVERIFY(cmap.size() >= 12 + 24);
    QCOMPARE(int(U16(cmap, 2)), 1);
    QCOMPARE(int(U16(cmap, 4)), 3);
    QCOMPARE(int(U16(cmap, 6)), 1);
    QCOMPARE(int(U16(cmap, int(U32(cmap, 8)))), 4);

    const QVector<QByteArray> entries = GlyphEntries(tables, count);
    QCOMPARE(entries.size(), count);
    QVERIFY(entries[0].isEmpty());
    int maxPoints = 0, maxContours = 0, advanceMax = 0;
    bool any = false;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    for (int id = 0; id < count; ++id) {
        const int advance = U16(hmtx, 4 * id);
        advanceMax = std::max(advanceMax, advance);
        QVERIFY(std::abs(advance * 1000.0 / 2048 - subset.Advance1000(quint16(id))) <= 0.5);
        // Entries are padded; the glyph itself tells how much of it is used.
        const QByteArray entry = entries[id];
        if (entry.isEmpty())
            continue;
        DecodedGlyph g;
        QVERIFY2(DecodeGlyph(entry, g), qPrintable(QString::number(id)));
        QCOMPARE(int(S16(hmtx, 4 * id + 2)), g.xMin);
        int pxMin = INT_MAX, pyMin = INT_MAX, pxMax = INT_MIN, pyMax = INT_MIN;
        for (const auto &contour : g.contours) {
            QVERIFY(contour.size() >= 3);
            for (size_t i = 0; i < contour.size(); ++i) {
                const Point &p = contour[i], &next = contour[(i + 1) % contour.size()];
                QVERIFY2(p.x != next.x || p.y != next.y, "repeated point");
                pxMin = std::min(pxMin, p.x);
                pyMin = std::min(pyMin, p.y);
                pxMax = std::max(pxMax, p.x);
                pyMax = std::max(pyMax, p.y);
            }
        }
        QCOMPARE(QRect(QPoint(g.xMin, g.yMin), QPoint(g.xMax, g.yMax)),
                 QRect(QPoint(pxMin, pyMin), QPoint(pxMax, pyMax)));
        maxPoints = std::max(maxPoints, g.PointCount());
        maxContours = std::max(maxContours, int(g.contours.size()));
        xMin = any ? std::min(xMin, g.xMin) : g.xMin;
        yMin = any ? std::min(yMin, g.yMin) : g.yMin;
        xMax = any ? std::max(xMax, g.xMax) : g.xMax;
        yMax = any ? std::max(yMax, g.yMax) : g.yMax;
        any = true;
    }
    QCOMPARE(int(U16(maxp, 6)), maxPoints);
    QCOMPARE(int(U16(maxp, 8)), maxContours);
    QCOMPARE(int(U16(hhea, 10)), advanceMax);
    QCOMPARE(QRect(QPoint(S16(head, 36), S16(head, 38)), QPoint(S16(head, 40), S16(head, 42))),
             QRect(QPoint(xMin, yMin), QPoint(xMax, yMax)));
    QCOMPARE(any, !text.trimmed().isEmpty());
    // A space has no outline and takes no room in glyf.
    const QVector<quint32> space = font.glyphIndexesForString(QStringLiteral(" "));
    if (text.contains(QLatin1Char(' ')) && space.size() == 1)
        QVERIFY(entries[subset.Add(space[0])].isEmpty());
}

void TestPdfFontSubset::metrics_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::newRow("TrueType") << QStringLiteral("Liberation Serif") << QStringLiteral("Hgjy|É");
    QTest::newRow("CFF") << QStringLiteral("Noto Sans CJK SC") << QString::fromUtf8("永g国");
    QTest::newRow("TrueType CJK") << QStringLiteral("AR PL UMing CN") << QString::fromUtf8("永和");
}

void TestPdfFontSubset::metrics()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    QRawFont font = SystemFont(family);
    if (!font.isValid())
        QSKIP("font not installed");
    OfdPdfFontSubset subset(font);
    QVERIFY(subset.BBox1000().isEmpty());
    font.setPixelSize(1000);
    // Qt rounds both to whole pixels at either size.
    QVERIFY2(std::abs(subset.Ascent1000() - font.ascent()) <= 1,
             qPrintable(QString::number(subset.Ascent1000())));
    QVERIFY2(std::abs(subset.Descent1000() + font.descent()) <= 1,
             qPrintable(QString::number(subset.Descent1000())));
    QVERIFY(subset.Ascent1000() > 500);
    QVERIFY(subset.Descent1000() < -50);

    // The box holds the ink and no more than the control points around it.
    QRectF ink, hull;
    const auto flipped = [](const QRectF &r) {
        return QRectF(QPointF(r.left(), -r.bottom()), QPointF(r.right(), -r.top()));
    };
    for (quint32 glyph : font.glyphIndexesForString(text)) {
        const quint16 id = subset.Add(glyph);
        QPointF advance;
        QVERIFY(font.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::UseDesignMetrics));
        QVERIFY2(std::abs(subset.Advance1000(id) - advance.x()) < 0.1,
                 qPrintable(QStringLiteral("%1 against %2").arg(subset.Advance1000(id)).arg(advance.x())));
        const QPainterPath path = font.pathForGlyph(glyph);
        ink = ink.united(flipped(path.boundingRect()));
        hull = hull.united(flipped(path.controlPointRect()));
    }
    const QRectF box = subset.BBox1000();
    const QString message = QStringLiteral("box %1 %2 %3 %4, ink %5 %6 %7 %8")
                                .arg(box.left())
                                .arg(box.top())
                                .arg(box.right())
                                .arg(box.bottom())
                                .arg(ink.left())
                                .arg(ink.top())
                                .arg(ink.right())
                                .arg(ink.bottom());
    QVERIFY2(box.adjusted(-0.5, -0.5, 0.5, 0.5).contains(ink), qPrintable(message));
    QVERIFY2(hull.adjusted(-3, -3, 3, 3).contains(box), qPrintable(message));

    // The program's own vertical metrics agree with the ones given for the PDF dictionaries.
    const QRawFont rebuilt = QRawFont(subset.Build(), 1000);
    QVERIFY(rebuilt.isValid());
    QVERIFY(std::abs(rebuilt.ascent() - subset.Ascent1000()) < 1);
    QVERIFY(std::abs(rebuilt.descent() + subset.Descent1000()) < 1);
}

void TestPdfFontSubset::compact()
{
    const QRawFont font = SystemFont(QStringLiteral("Noto Sans CJK SC"));
    if (!font.isValid())
        QSKIP("font not installed");
    OfdPdfFontSubset subset(font);
    QString text;
    for (char16_t c = 0x4E00; text.size() < 100; c += 37)
        text.append(QChar(c));
    for (quint32 glyph : font.glyphIndexesForString(text))
        subset.Add(glyph);
    QCOMPARE(subset.GlyphCount(), 101);
    const QByteArray program = subset.Build();
    const auto tables = ParseTables(program);
    const QVector<QByteArray> entries = GlyphEntries(tables, subset.GlyphCount());
    QCOMPARE(entries.size(), 101);
    int points = 0;
    for (const QByteArray &entry : entries) {
        DecodedGlyph g;
        if (!entry.isEmpty()) {
            QVERIFY(DecodeGlyph(entry, g));
            points += g.PointCount();
        }
    }
    // Points without the repeat flag and short vectors take five bytes each.
    const double perPoint = double(tables.at("glyf").size()) / points;
    qInfo("100 ideographs: %d points, glyf %d bytes (%.2f a point), program %d bytes", points,
          int(tables.at("glyf").size()), perPoint, int(program.size()));
    QVERIFY2(perPoint < 3.5, qPrintable(QString::number(perPoint)));
}

void TestPdfFontSubset::trueTypePointForPoint()
{
    // A TrueType font of 2048 units an em comes back with the very points of its simple glyphs, the
    // on-curve points it leaves implied left implied again.
    const QRawFont font = SystemFont(QStringLiteral("Liberation Serif"));
    if (!font.isValid())
        QSKIP("font not installed");
    const QByteArray head = font.fontTable("head"), loca = font.fontTable("loca"),
                     glyf = font.fontTable("glyf");
    QVERIFY(head.size() >= 54 && !loca.isEmpty() && !glyf.isEmpty());
    QCOMPARE(int(U16(head, 18)), 2048);
    const bool longOffsets = S16(head, 50) == 1;
    const auto sourceGlyph = [&](quint32 glyph) {
        const int at = int(glyph);
        const quint32 a = longOffsets ? U32(loca, 4 * at) : 2u * U16(loca, 2 * at);
        const quint32 b = longOffsets ? U32(loca, 4 * at + 4) : 2u * U16(loca, 2 * at + 2);
        return glyf.mid(int(a), int(b - a));
    };
    const auto sorted = [](const DecodedGlyph &g) {
        std::vector<std::tuple<int, int, bool>> points;
        for (const auto &contour : g.contours) {
            for (const Point &p : contour)
                points.emplace_back(p.x, p.y, p.on);
        }
        std::sort(points.begin(), points.end());
        return points;
    };

    OfdPdfFontSubset subset(font);
    const QVector<quint32> glyphs = font.glyphIndexesForString(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@&"));
    for (quint32 glyph : glyphs)
        subset.Add(glyph);
    const auto tables = ParseTables(subset.Build());
    const QVector<QByteArray> entries = GlyphEntries(tables, subset.GlyphCount());
    QCOMPARE(entries.size(), subset.GlyphCount());
    int compared = 0;
    for (quint32 glyph : glyphs) {
        DecodedGlyph original, rebuilt;
        if (!DecodeGlyph(sourceGlyph(glyph), original))
            continue;
        QVERIFY(DecodeGlyph(entries[subset.Add(glyph)], rebuilt));
        QCOMPARE(rebuilt.contours.size(), original.contours.size());
        const auto a = sorted(original), b = sorted(rebuilt);
        QVERIFY2(std::includes(a.begin(), a.end(), b.begin(), b.end()),
                 qPrintable(QStringLiteral("glyph %1 has points the font does not").arg(glyph)));
        // Only on-curve points within half a unit of the midpoint of their neighbours may go.
        std::map<std::tuple<int, int, bool>, int> kept;
        for (const auto &p : b)
            ++kept[p];
        for (const auto &contour : original.contours) {
            for (size_t i = 0; i < contour.size(); ++i) {
                const Point &p = contour[i];
                if (kept[std::make_tuple(p.x, p.y, p.on)]-- > 0)
                    continue;
                const Point &prev = contour[(i + contour.size() - 1) % contour.size()];
                const Point &next = contour[(i + 1) % contour.size()];
                QVERIFY2(
                    p.on && !prev.on && !next.on && std::abs(prev.x + next.x - 2 * p.x) <= 1 &&
                        std::abs(prev.y + next.y - 2 * p.y) <= 1,
                    qPrintable(QStringLiteral("glyph %1 lost point %2 %3").arg(glyph).arg(p.x).arg(p.y)));
            }
        }
        ++compared;
    }
    QVERIFY(compared > 40);
}

void TestPdfFontSubset::full()
{
    // A font with as many glyphs as a subset holds fills it before its last glyph.
    const QRawFont font = SystemFont(QStringLiteral("Noto Sans CJK SC"));
    if (!font.isValid())
        QSKIP("font not installed");
    const QByteArray maxp = font.fontTable("maxp");
    if (maxp.size() < 6 || U16(maxp, 4) < OfdPdfFontSubset::kMaxGlyphs)
        QSKIP("font has fewer glyphs than a subset holds");
    OfdPdfFontSubset subset(font);
    for (quint32 glyph = 1; glyph < quint32(OfdPdfFontSubset::kMaxGlyphs); ++glyph)
        QCOMPARE(int(subset.Add(glyph)), int(glyph));
    QCOMPARE(subset.GlyphCount(), int(OfdPdfFontSubset::kMaxGlyphs));
    QCOMPARE(int(subset.Add(0)), 0);
    QCOMPARE(int(subset.Add(1000)), 1000);
    QCOMPARE(subset.GlyphCount(), int(OfdPdfFontSubset::kMaxGlyphs));
    const QByteArray program = subset.Build();
    const auto tables = ParseTables(program);
    QCOMPARE(int(tables.size()), 9);
    QCOMPARE(int(U16(tables.at("maxp"), 4)), int(OfdPdfFontSubset::kMaxGlyphs));
    const QRawFont rebuilt(program, 100);
    QVERIFY(rebuilt.isValid());
    // Ids are the source's own here: the glyphs are drawn where the source draws them.
    QRawFont source = font;
    source.setPixelSize(100);
    for (quint32 glyph : font.glyphIndexesForString(QString::fromUtf8("永鼻齉"))) {
        const QRectF a = source.pathForGlyph(glyph).boundingRect();
        const QRectF b = rebuilt.pathForGlyph(glyph).boundingRect();
        QVERIFY(a.width() > 10);
        QVERIFY2(std::abs(a.left() - b.left()) < 0.1 && std::abs(a.top() - b.top()) < 0.1 &&
                     std::abs(a.right() - b.right()) < 0.1 && std::abs(a.bottom() - b.bottom()) < 0.1,
                 qPrintable(QString::number(glyph)));
    }
}

QTEST_MAIN(TestPdfFontSubset)
#include "test_pdffontsubset.moc"
