#include "render/textglyphlayout.h"

#include <QPair>
#include <QTextLayout>
#include <QTransform>

#include <cmath>
#include <functional>
#include <vector>

#include "model/content/ofdconvert.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdtypecgtransform.h"
#include "model/content/ofdtypecgtransformmanage.h"
#include "model/content/ofdtypetextcode.h"
#include "model/content/ofdtypetextcodemanage.h"

namespace {

using EmbeddedKey = QPair<quintptr, int>;

struct EmbeddedEntry
{
    QByteArray bytes; // keeps the storage the key points at alive
    QRawFont base;
    QHash<qint64, QRawFont> sizes;
    quint64 lastUse = 0;
};

// A glyph the font system's fallback found for a character (offset in pixels at the asked size).
struct FallbackGlyph
{
    QRawFont font;
    quint32 glyph = 0;
    QPointF offset;
};

struct RawFontCaches
{
    QHash<EmbeddedKey, EmbeddedEntry> embedded;
    qint64 embeddedBytes = 0;
    QHash<QString, QRawFont> system;
    // Key: the fallback font's key, the pixel size and the character.
    QHash<QString, QVector<FallbackGlyph>> fallback;
    quint64 clock = 0;
};

constexpr int kMaxEmbeddedFiles = 48;
constexpr qint64 kMaxEmbeddedBytes = qint64(256) * 1024 * 1024;
constexpr int kMaxSystemFonts = 512;
constexpr int kMaxSizesPerFile = 64;
constexpr int kMaxFallbackGlyphs = 20000;

// Never destroyed: font engines must not be released after the application object is gone.
RawFontCaches &Caches()
{
    static RawFontCaches *caches = new RawFontCaches;
    return *caches;
}

qint64 SizeKey(double pixelSize)
{
    return qRound64(pixelSize * 64);
}

void EvictEmbedded(RawFontCaches &c, qint64 incoming)
{
    while (!c.embedded.isEmpty() &&
           (c.embedded.size() >= kMaxEmbeddedFiles || c.embeddedBytes + incoming > kMaxEmbeddedBytes)) {
        auto oldest = c.embedded.begin();
        for (auto it = c.embedded.begin(); it != c.embedded.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        c.embeddedBytes -= oldest->bytes.size();
        c.embedded.erase(oldest);
    }
}

QRawFont WithPixelSize(QRawFont font, double pixelSize)
{
    if (font.isValid() && SizeKey(font.pixelSize()) != SizeKey(pixelSize))
        font.setPixelSize(pixelSize);
    return font;
}

// Unusable numbers of a document count as 0.
double Finite(double v)
{
    return std::isfinite(v) ? v : 0;
}

double Delta(const QList<double> &deltas, int k)
{
    return Finite(k < deltas.size() ? deltas[k] : deltas.last());
}

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// White space around a code's text that holds a line break is the XML's formatting, not text.
void TrimFormatting(const QString &s, int &begin, int &end)
{
    begin = 0;
    end = s.size();
    int b = 0;
    bool lineBreak = false;
    while (b < s.size() && s[b].isSpace())
        lineBreak = IsLineBreak(s[b++]) || lineBreak;
    if (lineBreak)
        begin = b;
    int e = s.size();
    lineBreak = false;
    while (e > begin && s[e - 1].isSpace())
        lineBreak = IsLineBreak(s[--e]) || lineBreak;
    if (lineBreak)
        end = e;
}

// Appends a character as read: a code point above the BMP as its surrogate pair, anything else (a
// lone surrogate included) as it was.
void AppendUcs4(QString &text, uint ucs4)
{
    if (QChar::requiresSurrogates(ucs4)) {
        text.append(QChar(QChar::highSurrogate(ucs4)));
        text.append(QChar(QChar::lowSurrogate(ucs4)));
    } else {
        text.append(QChar(ushort(ucs4)));
    }
}

// The glyphs the font system's own fallback draws text with in font, at pixelSize; cached for all
// text objects.
QVector<FallbackGlyph> SystemFallback(const QFont &font, double pixelSize, const QString &text)
{
    RawFontCaches &c = Caches();
    const QString key =
        font.key() + QLatin1Char('@') + QString::number(SizeKey(pixelSize)) + QLatin1Char(':') + text;
    const auto known = c.fallback.constFind(key);
    if (known != c.fallback.constEnd())
        return *known;
    QVector<FallbackGlyph> found;
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout.endLayout();
    const double baseline = line.isValid() ? line.ascent() : 0;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont runFont = run.rawFont();
        if (!runFont.isValid() || !(runFont.pixelSize() > 0))
            continue;
        const double ratio = pixelSize / runFont.pixelSize();
        const QRawFont sized = EmbeddedRawFontCache::Resized(runFont, pixelSize);
        const QVector<quint32> indexes = run.glyphIndexes();
        const QVector<QPointF> positions = run.positions();
        for (int i = 0; i < indexes.size() && i < positions.size(); ++i) {
            if (indexes[i] != 0)
                found.append({sized, indexes[i], (positions[i] - QPointF(0, baseline)) * ratio});
        }
    }
    if (c.fallback.size() >= kMaxFallbackGlyphs)
        c.fallback.clear();
    c.fallback.insert(key, found);
    return found;
}

} // namespace

QRawFont EmbeddedRawFontCache::Get(const QByteArray &fontFile, double pixelSize)
{
    if (fontFile.isEmpty() || !(pixelSize > 0) || !std::isfinite(pixelSize))
        return QRawFont();
    RawFontCaches &c = Caches();
    const EmbeddedKey key(quintptr(fontFile.constData()), fontFile.size());
    auto it = c.embedded.find(key);
    if (it == c.embedded.end()) {
        EvictEmbedded(c, fontFile.size());
        EmbeddedEntry entry;
        entry.bytes = fontFile;
        entry.base = QRawFont(fontFile, pixelSize, QFont::PreferNoHinting);
        c.embeddedBytes += fontFile.size();
        it = c.embedded.insert(key, entry);
    }
    it->lastUse = ++c.clock;
    if (!it->base.isValid())
        return QRawFont();
    const qint64 size = SizeKey(pixelSize);
    const auto known = it->sizes.constFind(size);
    if (known != it->sizes.constEnd())
        return *known;
    if (it->sizes.size() >= kMaxSizesPerFile)
        it->sizes.clear();
    const QRawFont sized = WithPixelSize(it->base, pixelSize);
    it->sizes.insert(size, sized);
    return sized;
}

QRawFont EmbeddedRawFontCache::GetSystem(const QFont &font, double pixelSize)
{
    if (!(pixelSize > 0) || !std::isfinite(pixelSize))
        return QRawFont();
    RawFontCaches &c = Caches();
    const QString key = font.key() + QLatin1Char('@') + QString::number(SizeKey(pixelSize));
    const auto known = c.system.constFind(key);
    if (known != c.system.constEnd())
        return *known;
    if (c.system.size() >= kMaxSystemFonts)
        c.system.clear();
    const QRawFont raw = WithPixelSize(QRawFont::fromFont(font), pixelSize);
    c.system.insert(key, raw);
    return raw;
}

QRawFont EmbeddedRawFontCache::Resized(const QRawFont &font, double pixelSize)
{
    if (!font.isValid() || SizeKey(font.pixelSize()) == SizeKey(pixelSize))
        return font;
    RawFontCaches &c = Caches();
    const QString key = QStringLiteral("raw:%1:%2:%3:%4@%5")
                            .arg(font.familyName(), font.styleName())
                            .arg(font.weight())
                            .arg(int(font.style()))
                            .arg(SizeKey(pixelSize));
    const auto known = c.system.constFind(key);
    if (known != c.system.constEnd())
        return *known;
    if (c.system.size() >= kMaxSystemFonts)
        c.system.clear();
    const QRawFont raw = WithPixelSize(font, pixelSize);
    c.system.insert(key, raw);
    return raw;
}

namespace {
void ClearSharedFontSets();
} // namespace

void EmbeddedRawFontCache::Clear()
{
    ClearSharedFontSets();
    RawFontCaches &c = Caches();
    c.embedded.clear();
    c.embeddedBytes = 0;
    c.system.clear();
    c.fallback.clear();
}

struct TextFontSet::Shared
{
    QVector<QRawFont> fonts;
    bool embedded = false;
    double pixelSize = 0;
    QFont fallbackFont;
    int fallbackSlot = -2; // slot of the fallback font's own face; -2 until asked, -1 none
    QHash<uint, QVector<TextCharGlyph>> chars;

    int AddFont(const QRawFont &font)
    {
        for (int i = 0; i < fonts.size(); ++i) {
            if (fonts[i] == font)
                return i;
        }
        fonts.append(font);
        return fonts.size() - 1;
    }

    bool LookupIn(int slot, const QChar *text, int size, TextGlyphRef &ref) const
    {
        const QRawFont &font = fonts[slot];
        quint32 glyphs[4] = {0, 0, 0, 0};
        int count = 4;
        if (!font.glyphIndexesForChars(text, size, glyphs, &count) || count != 1 || glyphs[0] == 0)
            return false;
        ref.font = slot;
        ref.glyph = glyphs[0];
        ref.offset = QPointF();
        return true;
    }

    double Advance(int font, quint32 glyph) const
    {
        if (font < 0 || font >= fonts.size())
            return 0;
        QPointF advance;
        if (!fonts[font].advancesForGlyphIndexes(
                &glyph, &advance, 1,
                QRawFont::LayoutFlags(QRawFont::SeparateAdvances | QRawFont::UseDesignMetrics)))
            return 0;
        return advance.x();
    }

    // The primary font's glyph; else the fallback font's own face; else what the font system's
    // fallback draws the character with.
    QVector<TextGlyphRef> Lookup(uint ucs4)
    {
        QString text;
        AppendUcs4(text, ucs4);
        TextGlyphRef ref;
        if (LookupIn(0, text.constData(), text.size(), ref))
            return {ref};
        QVector<TextGlyphRef> found;
        if (fallbackSlot == -2) {
            fallbackSlot = -1;
            const QRawFont fallback = EmbeddedRawFontCache::GetSystem(fallbackFont, pixelSize);
            if (fallback.isValid())
                fallbackSlot = AddFont(fallback);
        }
        if (fallbackSlot >= 0 && LookupIn(fallbackSlot, text.constData(), text.size(), ref)) {
            found.append(ref);
        } else {
            for (const FallbackGlyph &g : SystemFallback(fallbackFont, pixelSize, text))
                found.append({AddFont(g.font), g.glyph, g.offset});
        }
        return found;
    }
};

namespace {

constexpr int kMaxSharedFontSets = 64;
constexpr int kMaxCharsPerFontSet = 65536;

// The font sets in use, most recently asked first. Sets match when they draw with the same fonts at
// the same size; text objects keep their set when it leaves the list.
std::vector<std::shared_ptr<TextFontSet::Shared>> &SharedFontSets()
{
    static auto *sets = new std::vector<std::shared_ptr<TextFontSet::Shared>>;
    return *sets;
}

std::shared_ptr<TextFontSet::Shared>
FindSharedSet(const std::function<bool(const TextFontSet::Shared &)> &match)
{
    auto &sets = SharedFontSets();
    for (auto it = sets.begin(); it != sets.end(); ++it) {
        if (match(**it)) {
            std::shared_ptr<TextFontSet::Shared> found = *it;
            sets.erase(it);
            sets.insert(sets.begin(), found);
            return found;
        }
    }
    return nullptr;
}

void ClearSharedFontSets()
{
    SharedFontSets().clear();
}

void AddSharedSet(const std::shared_ptr<TextFontSet::Shared> &set)
{
    auto &sets = SharedFontSets();
    if (int(sets.size()) >= kMaxSharedFontSets)
        sets.pop_back();
    sets.insert(sets.begin(), set);
}

} // namespace

TextFontSet::TextFontSet() : m_shared(std::make_shared<Shared>()) {}

TextFontSet::~TextFontSet() = default;

void TextFontSet::InitEmbedded(const QRawFont &primary, const QFont &fallback, double pixelSize)
{
    m_shared = FindSharedSet([&](const Shared &s) {
        return s.embedded && s.pixelSize == pixelSize && !s.fonts.isEmpty() && s.fonts[0] == primary &&
               s.fallbackFont == fallback;
    });
    if (m_shared)
        return;
    m_shared = std::make_shared<Shared>();
    m_shared->fonts = {primary};
    m_shared->embedded = true;
    m_shared->pixelSize = pixelSize;
    m_shared->fallbackFont = fallback;
    m_shared->fallbackSlot = -2;
    AddSharedSet(m_shared);
}

void TextFontSet::InitSystem(const QFont &font, double pixelSize)
{
    m_shared = FindSharedSet(
        [&](const Shared &s) { return !s.embedded && s.pixelSize == pixelSize && s.fallbackFont == font; });
    if (m_shared)
        return;
    m_shared = std::make_shared<Shared>();
    m_shared->fonts = {EmbeddedRawFontCache::GetSystem(font, pixelSize)};
    m_shared->embedded = false;
    m_shared->pixelSize = pixelSize;
    m_shared->fallbackFont = font;
    m_shared->fallbackSlot = -1; // the primary already is the font's own face
    AddSharedSet(m_shared);
}

bool TextFontSet::IsValid() const
{
    return !m_shared->fonts.isEmpty() && m_shared->fonts[0].isValid();
}

bool TextFontSet::IsEmbedded() const
{
    return m_shared->embedded;
}

const QVector<QRawFont> &TextFontSet::Fonts() const
{
    return m_shared->fonts;
}

double TextFontSet::PixelSize() const
{
    return m_shared->pixelSize;
}

const QVector<TextCharGlyph> &TextFontSet::GlyphsForChar(uint ucs4)
{
    static const QVector<TextCharGlyph> none;
    if (!IsValid())
        return none;
    Shared &s = *m_shared;
    const auto known = s.chars.constFind(ucs4);
    if (known != s.chars.constEnd())
        return *known;
    QVector<TextCharGlyph> found;
    for (const TextGlyphRef &ref : s.Lookup(ucs4))
        found.append({ref, ref.offset.x() + s.Advance(ref.font, ref.glyph)});
    if (s.chars.size() >= kMaxCharsPerFontSet)
        s.chars.clear();
    return *s.chars.insert(ucs4, found);
}

double TextFontSet::Advance(int font, quint32 glyph) const
{
    return m_shared->Advance(font, glyph);
}

void TextGlyphLayout::Build(const OfdPageItemText &text, TextFontSet &fonts, double scale)
{
    glyphs.clear();
    texts.clear();
    rects.clear();
    runs.clear();
    runCells.clear();
    fontScale = scale > 0 && std::isfinite(scale) ? scale : 1;
    charDirection = ((text.GetCharDirection() % 360) + 360) % 360;
    upsideDown = text.GetFontSize() < 0;
    if (!fonts.IsValid())
        return;
    ascent = fonts.Fonts()[0].ascent() * fontScale;
    descent = fonts.Fonts()[0].descent() * fontScale;

    // The characters of all codes; a surrogate pair is one character.
    struct Unit
    {
        uint ucs4;
        const OfdTypeTextCode *code;
    };
    const QList<OfdTypeTextCode *> &codes = text.GetTextCodeManage().GetCodes();
    int total = 0;
    for (const OfdTypeTextCode *code : codes)
        total += code->GetText().size();
    QVector<Unit> units;
    units.reserve(total);
    for (const OfdTypeTextCode *code : codes) {
        const QString &s = code->GetText();
        int begin = 0, end = 0;
        TrimFormatting(s, begin, end);
        for (int k = begin; k < end; ++k) {
            if (s[k].isHighSurrogate() && k + 1 < end && s[k + 1].isLowSurrogate()) {
                units.append({QChar::surrogateToUcs4(s[k], s[k + 1]), code});
                ++k;
            } else {
                units.append({s[k].unicode(), code});
            }
        }
    }

    // Glyph maps with the code they belong to and the character of that code they start at; the
    // first one for a position counts. Their glyph indices only mean something in the embedded font,
    // but their positions count for any font.
    using MapKey = QPair<const OfdTypeTextCode *, int>;
    QHash<MapKey, const OfdTypeCGTransform *> maps;
    if (text.GetCGTransformManage() && !codes.isEmpty()) {
        for (const OfdTypeCGTransform *map : text.GetCGTransformManage()->GetTransforms()) {
            if (!map || map->GetGlyphs().isEmpty() || map->GetCodePosition() < 0)
                continue;
            const MapKey key(codes.value(qBound(0, map->GetTextCodeIndex(), codes.size() - 1)),
                             map->GetCodePosition());
            if (!maps.contains(key))
                maps.insert(key, map);
        }
    }

    // Character cells while laying out: where each starts and how far its glyphs reach.
    struct Cell
    {
        QPointF origin;
        double advance = 0; // pixels, font scale applied
        bool hasGlyph = false;
    };
    QVector<Cell> cells;
    cells.reserve(units.size());
    texts.reserve(units.size());
    glyphs.reserve(units.size());

    const OfdTypeTextCode *code = nullptr;
    int slot = 0;      // position number within the current code
    int codeStart = 0; // unit index of the current code's first character
    QPointF pen;
    double previousAdvance = 0;
    bool anyCode = false;
    // The position after the one at pen, slot positions into code. Only DeltaX moves x; without it,
    // horizontal text moves by the previous glyph's advance and vertical text (DeltaY alone) not at all.
    auto stepFrom = [&](const OfdTypeTextCode *c, int k, QPointF p) {
        const QList<double> &dx = c->GetDeltaX();
        const QList<double> &dy = c->GetDeltaY();
        if (!dx.isEmpty())
            p.rx() += OfdConvert::OfdMMToPixel(Delta(dx, k - 1));
        else if (dy.isEmpty())
            p.rx() += previousAdvance;
        if (!dy.isEmpty())
            p.ry() += OfdConvert::OfdMMToPixel(Delta(dy, k - 1));
        return p;
    };
    auto nextOrigin = [&]() {
        if (slot == 0) {
            // A code without X or Y goes on from where the previous code ended.
            const QPointF start =
                OfdConvert::OfdMMToPixel(QPointF(Finite(code->GetX()), Finite(code->GetY())));
            pen = QPointF(code->HasX() || !anyCode ? start.x() : pen.x(),
                          code->HasY() || !anyCode ? start.y() : pen.y());
            anyCode = true;
        } else {
            pen = stepFrom(code, slot, pen);
        }
        ++slot;
        return pen;
    };
    // Adds a glyph to a cell; returns its advance (pixels at the drawn size).
    auto addGlyph = [&](const QPointF &origin, const TextGlyphRef &ref, double builtAdvance, int cellIndex) {
        Cell &cell = cells[cellIndex];
        glyphs.append({origin, ref, cell.hasGlyph ? -1 : cellIndex});
        cell.hasGlyph = true;
        const double advance = builtAdvance * fontScale;
        cell.advance = qMax(cell.advance, origin.x() - cell.origin.x() + advance);
        return advance;
    };
    // Draws characters from their Unicode values, one after the other from origin; returns the
    // advance they take.
    auto addUnicode = [&](int firstUnit, int unitCount, const QPointF &origin, int cellIndex) {
        double x = 0;
        for (int u = firstUnit; u < firstUnit + unitCount; ++u) {
            const uint ucs4 = units[u].ucs4;
            if (QChar::category(ucs4) == QChar::Other_Control)
                continue;
            double advance = 0;
            for (const TextCharGlyph &g : fonts.GlyphsForChar(ucs4))
                advance = qMax(advance, addGlyph(origin + QPointF(x, 0), g.ref, g.advance, cellIndex));
            x += advance;
        }
        return x;
    };

    for (int i = 0; i < units.size();) {
        if (units[i].code != code) {
            if (code && slot > 0)
                pen = stepFrom(code, slot, pen); // where the previous code ended
            code = units[i].code;
            codeStart = i;
            slot = 0;
            previousAdvance = 0;
        }
        if (const OfdTypeCGTransform *map = maps.value(MapKey(code, i - codeStart), nullptr)) {
            // count characters of this code drawn by the map's glyphs, each glyph at the next
            // position. The characters of cell k are k alone, except the last cell, which takes the rest.
            int codeEnd = i;
            while (codeEnd < units.size() && units[codeEnd].code == code)
                ++codeEnd;
            const int count = qBound(1, map->GetCodeCount(), codeEnd - i);
            const QList<int> &ids = map->GetGlyphs();
            const int cellCount = qMin(count, ids.size());
            const int firstCell = cells.size();
            for (int k = 0; k < cellCount; ++k) {
                const int last = k == cellCount - 1 ? count : k + 1;
                if (last - k == 1) {
                    texts.append(OfdCharText::FromUcs4(units[i + k].ucs4));
                } else {
                    QString chars;
                    for (int u = k; u < last; ++u)
                        AppendUcs4(chars, units[i + u].ucs4);
                    texts.append(OfdCharText::FromString(chars));
                }
                cells.append(Cell());
            }
            for (int k = 0; k < ids.size(); ++k) {
                const QPointF origin = nextOrigin();
                const int cellIndex = firstCell + qMin(k, cellCount - 1);
                if (k < cellCount)
                    cells[cellIndex].origin = origin;
                if (fonts.IsEmbedded()) {
                    TextGlyphRef ref;
                    ref.font = 0;
                    ref.glyph = quint32(qMax(0, ids[k]));
                    previousAdvance = addGlyph(origin, ref, fonts.Advance(ref.font, ref.glyph), cellIndex);
                } else if (k < cellCount) {
                    const int unitCount = k == cellCount - 1 ? count - k : 1;
                    previousAdvance = addUnicode(i + k, unitCount, origin, cellIndex);
                } else {
                    previousAdvance = 0;
                }
            }
            i += count;
            continue;
        }
        texts.append(OfdCharText::FromUcs4(units[i].ucs4));
        cells.append({nextOrigin(), 0});
        previousAdvance = addUnicode(i, 1, cells.last().origin, cells.size() - 1);
        ++i;
    }

    // The drawn box of every character, widened by a tenth of its width on each side.
    const double height = ascent + descent;
    rects.reserve(cells.size());
    for (const Cell &cell : qAsConst(cells)) {
        const QPointF &o = cell.origin;
        const double w = cell.advance;
        QRectF box = upsideDown ? QRectF(o.x() - w, o.y() - height, w, height)
                                : QRectF(o.x(), o.y() - ascent, w, height);
        if (!upsideDown && charDirection != 0) {
            QTransform turn;
            turn.translate(o.x(), o.y());
            turn.rotate(charDirection);
            turn.translate(-o.x(), -o.y());
            box = turn.mapRect(box);
        }
        const double widen = std::abs(0.1 * box.width());
        box.adjust(-widen, 0, widen, 0);
        rects.append(box);
    }

    // Upright text is drawn as one run per font, in the coordinates of a painter scaled by fontScale.
    if (!upsideDown && charDirection == 0) {
        const int fontCount = fonts.Fonts().size();
        QVector<int> counts(fontCount, 0);
        for (const Glyph &g : qAsConst(glyphs))
            ++counts[g.ref.font];
        QVector<QVector<quint32>> indexes(fontCount);
        QVector<QVector<QPointF>> positions(fontCount);
        QVector<QVector<int>> glyphCells(fontCount);
        for (int f = 0; f < fontCount; ++f) {
            indexes[f].reserve(counts[f]);
            positions[f].reserve(counts[f]);
            glyphCells[f].reserve(counts[f]);
        }
        for (const Glyph &g : qAsConst(glyphs)) {
            indexes[g.ref.font].append(g.ref.glyph);
            positions[g.ref.font].append(g.origin / fontScale + g.ref.offset);
            glyphCells[g.ref.font].append(g.cell);
        }
        for (int f = 0; f < fontCount; ++f) {
            if (indexes[f].isEmpty())
                continue;
            QGlyphRun run;
            run.setRawFont(fonts.Fonts()[f]);
            run.setGlyphIndexes(indexes[f]);
            run.setPositions(positions[f]);
            runs.append(run);
            runCells.append(glyphCells[f]);
        }
    }
}

QTransform TextGlyphLayout::GlyphTransform(const Glyph &glyph) const
{
    QTransform t;
    t.translate(glyph.origin.x(), glyph.origin.y());
    if (upsideDown) {
        t.rotate(180);
        t.translate(0, ascent);
    } else if (charDirection != 0) {
        t.rotate(charDirection);
    }
    t.scale(fontScale, fontScale);
    if (slant != 0)
        t.shear(-slant, 0);
    return t;
}

QPainterPath TextGlyphLayout::Outline(const TextFontSet &fonts) const
{
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    for (const Glyph &g : glyphs) {
        if (g.ref.font < 0 || g.ref.font >= fonts.Fonts().size())
            continue;
        const QPainterPath path = fonts.Fonts()[g.ref.font].pathForGlyph(g.ref.glyph);
        if (path.isEmpty())
            continue;
        QTransform t = GlyphTransform(g);
        t.translate(g.ref.offset.x(), g.ref.offset.y());
        outline.addPath(t.map(path));
    }
    return outline;
}
