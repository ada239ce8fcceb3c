#include "ofdpdffontsubset.h"

#include <QPainterPath>
#include <QPointF>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

// A glyph's TrueType glyph entry (empty for a glyph without contours) with its box and counts, font
// units, y up.
struct Outline
{
    QByteArray data;
    qint16 xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    quint16 points = 0, contours = 0;
};

// Largest distance, in font units, between a cubic of the source and the quadratics replacing it.
const double kCurveTolerance = 0.5;
const int kMaxCurvePieces = 32;
// Coordinates stay within this so that the difference of any two fits the int16 of the glyph data.
const double kCoordinateLimit = 16383;
// Outlines reaching beyond this are garbage rather than glyphs.
const double kOutlineLimit = 1e6;

struct Point
{
    int x, y;
    bool on;
};

struct FloatPoint
{
    QPointF p;
    bool on;
};

// The off- and on-curve points of quadratics within kCurveTolerance of the cubic p0 c1 c2 p3. Every
// quadratic is written out with its end point, so an off-curve point always sits between two on-curve
// ones. Splitting at equal parameter steps puts every inner end point exactly midway between the
// control points around it, so FinishContour can leave those implied. A quadratic that Qt raised to a
// cubic (control points at 2/3) comes back as that one quadratic.
void AppendCubic(const QPointF &p0, const QPointF &c1, const QPointF &c2, const QPointF &p3,
                 std::vector<FloatPoint> &out)
{
    // The control point each end implies; the best single quadratic takes their mean and is off by at
    // most sqrt(3)/36 |p3 - 3 c2 + 3 c1 - p0| = sqrt(3)/18 |q1 - q2|. Splitting into n equal parameter
    // ranges divides that by n^3.
    const QPointF q1 = (3 * c1 - p0) / 2;
    const QPointF q2 = (3 * c2 - p3) / 2;
    const QPointF d = q1 - q2;
    const double error = std::sqrt(3.0) / 18 * std::hypot(d.x(), d.y());
    if (error <= kCurveTolerance) {
        out.push_back({(q1 + q2) / 2, false});
        out.push_back({p3, true});
        return;
    }
    const int n = std::min(kMaxCurvePieces, int(std::ceil(std::cbrt(error / kCurveTolerance))));
    const auto at = [&](double t) {
        const double s = 1 - t;
        return s * s * s * p0 + 3 * s * s * t * c1 + 3 * s * t * t * c2 + t * t * t * p3;
    };
    const auto derivative = [&](double t) {
        const double s = 1 - t;
        return 3 * (s * s * (c1 - p0) + 2 * s * t * (c2 - c1) + t * t * (p3 - c2));
    };
    QPointF start = p0;
    for (int i = 0; i < n; ++i) {
        const double a = double(i) / n;
        const double b = double(i + 1) / n;
        const double h = b - a;
        const QPointF end = i + 1 == n ? p3 : at(b);
        const QPointF s1 = start + h / 3 * derivative(a);
        const QPointF s2 = end - h / 3 * derivative(b);
        out.push_back({(3 * (s1 + s2) - start - end) / 4, false});
        out.push_back({end, true});
        start = end;
    }
}

int ToUnits(double v)
{
    return int(std::lround(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)));
}

// Rounds one contour to font units and drops the points that add nothing: repeats, the closing point
// equal to the start, and on-curve points between two off-curve ones where the midpoint TrueType implies
// there is as close to them as rounding would put them. Contours with fewer than three points enclose
// nothing and come back empty.
std::vector<Point> FinishContour(const std::vector<FloatPoint> &in)
{
    struct Rounded
    {
        Point p;
        QPointF exact;
    };
    std::vector<Rounded> pts;
    pts.reserve(in.size());
    for (const FloatPoint &f : in) {
        const Point p{ToUnits(f.p.x()), ToUnits(f.p.y()), f.on};
        // An off-curve point on one of its own ends makes a straight segment: the on-curve point does.
        if (!pts.empty() && pts.back().p.x == p.x && pts.back().p.y == p.y) {
            if (p.on && !pts.back().p.on)
                pts.back() = {p, f.p};
            continue;
        }
        pts.push_back({p, f.p});
    }
    while (pts.size() > 1 && pts.back().p.x == pts.front().p.x && pts.back().p.y == pts.front().p.y)
        pts.pop_back();
    if (pts.size() < 3)
        return {};
    const double halfUnit = 0.5 + 1e-6;
    std::vector<Point> out;
    out.reserve(pts.size());
    out.push_back(pts.front().p);
    for (size_t i = 1; i + 1 < pts.size(); ++i) {
        const Point &prev = pts[i - 1].p, &p = pts[i].p, &next = pts[i + 1].p;
        const QPointF &exact = pts[i].exact;
        if (p.on && !prev.on && !next.on && std::abs((prev.x + next.x) / 2.0 - exact.x()) <= halfUnit &&
            std::abs((prev.y + next.y) / 2.0 - exact.y()) <= halfUnit)
            continue;
        out.push_back(p);
    }
    out.push_back(pts.back().p);
    return out;
}

// Flag bits of a simple glyph's points.
enum : quint8
{
    kOnCurve = 0x01,
    kXShort = 0x02,
    kYShort = 0x04,
    kRepeat = 0x08,
    kXSameOrPositive = 0x10,
    kYSameOrPositive = 0x20,
};

void PutU8(QByteArray &out, int v)
{
    out.append(char(quint8(v)));
}

void PutU16(QByteArray &out, int v)
{
    PutU8(out, (v >> 8) & 0xFF);
    PutU8(out, v & 0xFF);
}

void PutU32(QByteArray &out, quint32 v)
{
    PutU16(out, int(v >> 16));
    PutU16(out, int(v & 0xFFFF));
}

void SetU32(QByteArray &out, int at, quint32 v)
{
    qToBigEndian<quint32>(v, out.data() + at);
}

// The coordinate bytes of one axis and the flag bits saying how they were written.
quint8 PutDelta(QByteArray &out, int delta, quint8 shortBit, quint8 sameOrPositiveBit)
{
    if (delta == 0)
        return sameOrPositiveBit;
    if (delta >= -255 && delta <= 255) {
        PutU8(out, std::abs(delta));
        return quint8(shortBit | (delta > 0 ? sameOrPositiveBit : 0));
    }
    PutU16(out, delta);
    return 0;
}

// The glyph entry of a simple glyph, header, end points, no instructions, then the packed points.
QByteArray EncodeGlyph(const std::vector<std::vector<Point>> &contours, const Outline &g)
{
    QByteArray flags, xs, ys;
    quint8 lastFlag = 0;
    int repeats = -1; // of lastFlag after its first occurrence, -1 before the first point
    int x = 0, y = 0;
    const auto flushRepeats = [&]() {
        if (repeats > 0) {
            flags[flags.size() - 1] = char(lastFlag | kRepeat);
            PutU8(flags, repeats);
        }
    };
    for (const std::vector<Point> &contour : contours) {
        for (const Point &p : contour) {
            quint8 flag = p.on ? kOnCurve : 0;
            flag |= PutDelta(xs, p.x - x, kXShort, kXSameOrPositive);
            flag |= PutDelta(ys, p.y - y, kYShort, kYSameOrPositive);
            x = p.x;
            y = p.y;
            if (repeats >= 0 && flag == lastFlag && repeats < 255) {
                ++repeats;
                continue;
            }
            flushRepeats();
            PutU8(flags, flag);
            lastFlag = flag;
            repeats = 0;
        }
    }
    flushRepeats();

    QByteArray out;
    out.reserve(12 + 2 * int(contours.size()) + flags.size() + xs.size() + ys.size());
    PutU16(out, int(contours.size()));
    PutU16(out, g.xMin);
    PutU16(out, g.yMin);
    PutU16(out, g.xMax);
    PutU16(out, g.yMax);
    int end = -1;
    for (const std::vector<Point> &contour : contours) {
        end += int(contour.size());
        PutU16(out, end);
    }
    PutU16(out, 0);
    out.append(flags).append(xs).append(ys);
    return out;
}

// A glyph outline (Qt's coordinates, y down, font units) as a TrueType simple glyph; empty when it has
// no contours or coordinates no font has (not numbers, hundreds of ems away).
Outline ToOutline(const QPainterPath &path)
{
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (!(std::abs(e.x) <= kOutlineLimit && std::abs(e.y) <= kOutlineLimit))
            return {};
    }

    std::vector<std::vector<Point>> contours;
    std::vector<FloatPoint> current;
    QPointF last;
    const auto finish = [&]() {
        std::vector<Point> contour = FinishContour(current);
        if (!contour.empty())
            contours.push_back(std::move(contour));
        current.clear();
    };
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p(e.x, -e.y);
        if (e.type == QPainterPath::CurveToElement && i + 2 < count &&
            path.elementAt(i + 1).type == QPainterPath::CurveToDataElement &&
            path.elementAt(i + 2).type == QPainterPath::CurveToDataElement && !current.empty()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), p3 = path.elementAt(i + 2);
            AppendCubic(last, p, QPointF(c2.x, -c2.y), QPointF(p3.x, -p3.y), current);
            last = current.back().p;
            i += 2;
            continue;
        }
        if (e.type == QPainterPath::MoveToElement)
            finish();
        // A line, or a curve element out of place, which can only be taken as a line.
        current.push_back({p, true});
        last = p;
    }
    finish();

    size_t points = 0;
    for (const std::vector<Point> &contour : contours)
        points += contour.size();
    if (contours.empty() || points > 0xFFFF || contours.size() > 0x7FFF)
        return {};

    // TrueType draws outer contours clockwise; outlines from cubic fonts run the other way.
    double area = 0;
    for (const std::vector<Point> &contour : contours) {
        for (size_t i = 0; i < contour.size(); ++i) {
            const Point &a = contour[i], &b = contour[(i + 1) % contour.size()];
            area += double(a.x) * b.y - double(b.x) * a.y;
        }
    }
    if (area > 0) {
        for (std::vector<Point> &contour : contours)
            std::reverse(contour.begin() + 1, contour.end());
    }

    int xMin = contours[0][0].x, xMax = xMin, yMin = contours[0][0].y, yMax = yMin;
    for (const std::vector<Point> &contour : contours) {
        for (const Point &p : contour) {
            xMin = std::min(xMin, p.x);
            xMax = std::max(xMax, p.x);
            yMin = std::min(yMin, p.y);
            yMax = std::max(yMax, p.y);
        }
    }
    Outline g;
    g.xMin = qint16(xMin);
    g.yMin = qint16(yMin);
    g.xMax = qint16(xMax);
    g.yMax = qint16(yMax);
    g.points = quint16(points);
    g.contours = quint16(contours.size());
    g.data = EncodeGlyph(contours, g);
    return g;
}

double Advance(const QRawFont &font, quint32 glyph)
{
    QPointF advance;
    if (!font.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::UseDesignMetrics))
        return 0;
    return std::isfinite(advance.x()) ? advance.x() : 0;
}

quint32 Checksum(const QByteArray &data)
{
    quint32 sum = 0;
    const int n = data.size();
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    for (int i = 0; i < n; i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < n ? b[i + k] : 0u);
        sum += word;
    }
    return sum;
}

void PadTo4(QByteArray &data)
{
    while (data.size() % 4)
        data.append('\0');
}

int Units(double v)
{
    return std::isfinite(v) ? int(std::lround(std::clamp(v, -32767.0, 32767.0))) : 0;
}

// A name table with the family, style, full and PostScript names, Windows Unicode records.
QByteArray NameTable(const QString &family, const QString &style)
{
    QString postScript;
    for (const QChar c : family + QLatin1Char('-') + style) {
        if (c.unicode() > 32 && c.unicode() < 127 && !QStringLiteral("[](){}<>/%").contains(c))
            postScript.append(c);
    }
    postScript.truncate(63);
    const QString strings[] = {family, style, family + QLatin1Char(' ') + style, postScript};
    const int ids[] = {1, 2, 4, 6};
    const int count = 4;
    QByteArray records, text;
    for (int i = 0; i < count; ++i) {
        QByteArray utf16;
        for (const QChar c : strings[i])
            PutU16(utf16, c.unicode());
        PutU16(records, 3);      // Windows
        PutU16(records, 1);      // Unicode BMP
        PutU16(records, 0x0409); // English (United States)
        PutU16(records, ids[i]);
        PutU16(records, utf16.size());
        PutU16(records, text.size());
        text.append(utf16);
    }
    QByteArray out;
    PutU16(out, 0);
    PutU16(out, count);
    PutU16(out, 6 + 12 * count);
    return out + records + text;
}

} // namespace

struct OfdPdfFontSubset::Glyph
{
    Outline outline;
    double advance = 0; // font units, as the source font gives it, for the PDF widths
    quint16 advanceUnits = 0;
};

OfdPdfFontSubset::OfdPdfFontSubset(const QRawFont &font) : m_font(font)
{
    Glyph notdef;
    if (m_font.isValid()) {
        m_font.setPixelSize(kUnitsPerEm);
        const QByteArray maxp = m_font.fontTable("maxp");
        if (maxp.size() >= 6)
            m_sourceGlyphs = qFromBigEndian<quint16>(maxp.constData() + 4);
        notdef.advance = Advance(m_font, 0);
        notdef.advanceUnits = quint16(std::clamp(Units(notdef.advance), 0, 0xFFFF));
    }
    m_glyphs.push_back(std::move(notdef));
}

OfdPdfFontSubset::~OfdPdfFontSubset() = default;

quint16 OfdPdfFontSubset::Add(quint32 glyph)
{
    const auto it = m_ids.constFind(glyph);
    if (it != m_ids.constEnd())
        return it.value();
    if (!m_font.isValid() || m_glyphs.size() >= size_t(kMaxGlyphs) ||
        (m_sourceGlyphs > 0 && glyph >= m_sourceGlyphs))
        return 0;
    Glyph g;
    g.advance = Advance(m_font, glyph);
    g.advanceUnits = quint16(std::clamp(Units(g.advance), 0, 0xFFFF));
    g.outline = ToOutline(m_font.pathForGlyph(glyph));
    const quint16 id = quint16(m_glyphs.size());
    m_glyphs.push_back(std::move(g));
    m_ids.insert(glyph, id);
    return id;
}

int OfdPdfFontSubset::GlyphCount() const
{
    return int(m_glyphs.size());
}

double OfdPdfFontSubset::Advance1000(quint16 id) const
{
    return id < m_glyphs.size() ? m_glyphs[id].advance * 1000 / kUnitsPerEm : 0;
}

QRectF OfdPdfFontSubset::BBox1000() const
{
    bool any = false;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    for (const Glyph &g : m_glyphs) {
        if (g.outline.contours == 0)
            continue;
        xMin = any ? std::min<int>(xMin, g.outline.xMin) : g.outline.xMin;
        yMin = any ? std::min<int>(yMin, g.outline.yMin) : g.outline.yMin;
        xMax = any ? std::max<int>(xMax, g.outline.xMax) : g.outline.xMax;
        yMax = any ? std::max<int>(yMax, g.outline.yMax) : g.outline.yMax;
        any = true;
    }
    if (!any)
        return QRectF();
    const double k = 1000.0 / kUnitsPerEm;
    return QRectF(QPointF(xMin * k, yMin * k), QPointF(xMax * k, yMax * k));
}

double OfdPdfFontSubset::Ascent1000() const
{
    return m_font.isValid() ? m_font.ascent() * 1000 / kUnitsPerEm : 0;
}

double OfdPdfFontSubset::Descent1000() const
{
    return m_font.isValid() ? -m_font.descent() * 1000 / kUnitsPerEm : 0;
}

QByteArray OfdPdfFontSubset::Build() const
{
    const int glyphCount = int(m_glyphs.size());

    QByteArray glyf, loca, hmtx;
    bool any = false;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int advanceMax = 0, minLsb = 0, minRsb = 0, maxExtent = 0, maxPoints = 0, maxContours = 0;
    for (const Glyph &g : m_glyphs) {
        PutU32(loca, quint32(glyf.size()));
        glyf.append(g.outline.data);
        PadTo4(glyf);
        PutU16(hmtx, g.advanceUnits);
        PutU16(hmtx, g.outline.contours ? g.outline.xMin : 0);
        advanceMax = std::max<int>(advanceMax, g.advanceUnits);
        if (g.outline.contours == 0)
            continue;
        const int rsb = g.advanceUnits - g.outline.xMax;
        minLsb = any ? std::min<int>(minLsb, g.outline.xMin) : g.outline.xMin;
        minRsb = any ? std::min(minRsb, rsb) : rsb;
        maxExtent = any ? std::max<int>(maxExtent, g.outline.xMax) : g.outline.xMax;
        xMin = any ? std::min<int>(xMin, g.outline.xMin) : g.outline.xMin;
        yMin = any ? std::min<int>(yMin, g.outline.yMin) : g.outline.yMin;
        xMax = any ? std::max<int>(xMax, g.outline.xMax) : g.outline.xMax;
        yMax = any ? std::max<int>(yMax, g.outline.yMax) : g.outline.yMax;
        maxPoints = std::max<int>(maxPoints, g.outline.points);
        maxContours = std::max<int>(maxContours, g.outline.contours);
        any = true;
    }
    PutU32(loca, quint32(glyf.size()));

    const bool valid = m_font.isValid();
    const bool bold = valid && m_font.weight() >= QFont::Bold;
    const bool italic = valid && m_font.style() != QFont::StyleNormal;

    QByteArray head;
    PutU32(head, 0x00010000); // version
    PutU32(head, 0x00010000); // fontRevision
    PutU32(head, 0);          // checkSumAdjustment, set once the file is complete
    PutU32(head, 0x5F0F3CF5); // magicNumber
    PutU16(head, 0x0003);     // baseline at y 0, left side bearing point at x 0
    PutU16(head, kUnitsPerEm);
    for (int i = 0; i < 4; ++i)
        PutU32(head, 0); // created and modified: 1904, so that the program is reproducible
    PutU16(head, xMin);
    PutU16(head, yMin);
    PutU16(head, xMax);
    PutU16(head, yMax);
    PutU16(head, (bold ? 1 : 0) | (italic ? 2 : 0)); // macStyle
    PutU16(head, 8);                                 // lowestRecPPEM
    PutU16(head, 2);                                 // fontDirectionHint
    PutU16(head, 1);                                 // indexToLocFormat: 32-bit offsets
    PutU16(head, 0);                                 // glyphDataFormat

    QByteArray hhea;
    PutU32(hhea, 0x00010000);
    PutU16(hhea, valid ? Units(m_font.ascent()) : 0);
    PutU16(hhea, valid ? -Units(m_font.descent()) : 0);
    PutU16(hhea, valid ? std::max(0, Units(m_font.leading())) : 0);
    PutU16(hhea, advanceMax);
    PutU16(hhea, minLsb);
    PutU16(hhea, minRsb);
    PutU16(hhea, maxExtent);
    PutU16(hhea, 1); // caretSlopeRise
    PutU16(hhea, 0); // caretSlopeRun
    PutU16(hhea, 0); // caretOffset
    for (int i = 0; i < 4; ++i)
        PutU16(hhea, 0);
    PutU16(hhea, 0); // metricDataFormat
    PutU16(hhea, glyphCount);

    QByteArray maxp;
    PutU32(maxp, 0x00010000);
    PutU16(maxp, glyphCount);
    PutU16(maxp, maxPoints);
    PutU16(maxp, maxContours);
    PutU16(maxp, 0); // maxCompositePoints
    PutU16(maxp, 0); // maxCompositeContours
    PutU16(maxp, 2); // maxZones
    for (int i = 0; i < 8; ++i)
        PutU16(maxp, 0); // twilight points, storage, definitions, stack, instructions, components
    // Format 4 subtable with the closing segment alone: glyphs are reached by id, not by character.
    QByteArray cmap;
    PutU16(cmap, 0); // version
    PutU16(cmap, 1); // numTables
    PutU16(cmap, 3); // Windows
    PutU16(cmap, 1); // Unicode BMP
    PutU32(cmap, 12);
    PutU16(cmap, 4);      // format
    PutU16(cmap, 24);     // length
    PutU16(cmap, 0);      // language
    PutU16(cmap, 2);      // segCountX2
    PutU16(cmap, 2);      // searchRange
    PutU16(cmap, 0);      // entrySelector
    PutU16(cmap, 0);      // rangeShift
    PutU16(cmap, 0xFFFF); // endCode
    PutU16(cmap, 0);      // reservedPad
    PutU16(cmap, 0xFFFF); // startCode
    PutU16(cmap, 1);      // idDelta: 0xFFFF maps to glyph 0
    PutU16(cmap, 0);      // idRangeOffset

    QString family = valid ? m_font.familyName().trimmed() : QString();
    if (family.isEmpty())
        family = QStringLiteral("Subset");
    const QString style = bold ? (italic ? QStringLiteral("Bold Italic") : QStringLiteral("Bold"))
                               : (italic ? QStringLiteral("Italic") : QStringLiteral("Regular"));
    const QByteArray name = NameTable(family, style);

    QByteArray post;
    PutU32(post, 0x00030000);
    PutU32(post, 0); // italicAngle
    PutU16(post, valid ? -Units(m_font.underlinePosition()) : 0);
    PutU16(post, valid ? Units(m_font.lineThickness()) : 0);
    for (int i = 0; i < 5; ++i)
        PutU32(post, 0); // isFixedPitch, memory needs

    struct Table
    {
        const char *tag;
        const QByteArray *data;
    };
    // Sorted by tag.
    const Table tables[] = {{"cmap", &cmap}, {"glyf", &glyf}, {"head", &head},
                            {"hhea", &hhea}, {"hmtx", &hmtx}, {"loca", &loca},
                            {"maxp", &maxp}, {"name", &name}, {"post", &post}};
    const int numTables = int(sizeof(tables) / sizeof(tables[0]));
    int power = 1, selector = 0;
    while (power * 2 <= numTables) {
        power *= 2;
        ++selector;
    }

    QByteArray out;
    PutU32(out, 0x00010000);
    PutU16(out, numTables);
    PutU16(out, power * 16);
    PutU16(out, selector);
    PutU16(out, numTables * 16 - power * 16);
    int offset = 12 + 16 * numTables;
    int headOffset = 0;
    for (const Table &t : tables) {
        out.append(t.tag, 4);
        PutU32(out, Checksum(*t.data));
        PutU32(out, quint32(offset));
        PutU32(out, quint32(t.data->size()));
        if (qstrcmp(t.tag, "head") == 0)
            headOffset = offset;
        offset += (t.data->size() + 3) & ~3;
    }
    for (const Table &t : tables) {
        out.append(*t.data);
        PadTo4(out);
    }
    SetU32(out, headOffset + 8, 0xB1B0AFBAu - Checksum(out));
    return out;
}
