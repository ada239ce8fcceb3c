#pragma once

#include <QByteArray>
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QPainterPath>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QVector>

#include <memory>

#include "render/ofdvisualtextinfo.h"

class OfdPageItemText;

// Fonts loaded from the bytes of embedded font files, shared by every text object that uses the same
// file at the same pixel size (so that they also share the glyph cache). Keyed by the bytes' storage,
// which the cache keeps alive; bounded, least recently used entries go first. GUI thread only.
class EmbeddedRawFontCache
{
public:
    // The font of the file at pixelSize (pixels per em); invalid when the bytes are no font.
    static QRawFont Get(const QByteArray &fontFile, double pixelSize);
    // Installed fonts at an exact pixel size, shared in the same way (keyed by the font's key).
    static QRawFont GetSystem(const QFont &font, double pixelSize);
    // The same face as font at another pixel size (for faces found by the font system's fallback).
    static QRawFont Resized(const QRawFont &font, double pixelSize);
    // Forgets all cached fonts, the font sets shared by text objects included.
    static void Clear();
};

// A glyph of one of the fonts of a TextFontSet, with its offset from the character's baseline origin
// (pixels at the size the fonts are built at).
struct TextGlyphRef
{
    int font = -1;
    quint32 glyph = 0;
    QPointF offset;
};

// A glyph that draws a character and the horizontal room it takes: its offset plus its advance
// (pixels at the built size).
struct TextCharGlyph
{
    TextGlyphRef ref;
    double advance = 0;
};

// The fonts one text object draws with, all at the same pixel size: slot 0 is the primary font (the
// embedded font file, or the installed font chosen for the names the document gives); later slots are
// fonts found for characters the primary lacks. The fonts and the glyphs found for characters are
// shared by every text object that draws with the same fonts at the same size, so that a character is
// looked up once, not once per object; slots are only ever added, so glyph references stay valid.
class TextFontSet
{
public:
    TextFontSet();
    ~TextFontSet();

    // Primary is the embedded font; characters it lacks come from fallback (pixel size ignored).
    void InitEmbedded(const QRawFont &primary, const QFont &fallback, double pixelSize);
    // Primary is the installed font; characters it lacks come from the font system's fallback.
    void InitSystem(const QFont &font, double pixelSize);

    bool IsValid() const;
    // Glyph indices of the document's glyph maps refer to the primary font.
    bool IsEmbedded() const;
    const QVector<QRawFont> &Fonts() const;
    double PixelSize() const;

    // The glyphs that draw the character ucs4 (a code point, or a lone surrogate); empty when nothing
    // can draw it. The reference stays valid until the next call.
    const QVector<TextCharGlyph> &GlyphsForChar(uint ucs4);
    // Horizontal advance of a glyph of slot font (pixels at the built size).
    double Advance(int font, quint32 glyph) const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

// Where every glyph of one text object goes and which characters it stands for, in pixels of the
// object's space (the item's coordinates). Built once per item; painting, measuring and clip outlines
// all read it, so that they agree.
struct TextGlyphLayout
{
    struct Glyph
    {
        QPointF origin; // baseline origin of the character cell (before CharDirection turns it)
        TextGlyphRef ref;
        int cell = -1; // the character cell this glyph is the first glyph of, else -1
    };

    QVector<Glyph> glyphs;
    // One entry per character cell: the character, or the characters one glyph stands for (the text
    // item moves them into its records), and the drawn box widened by a tenth of its width on each side.
    QVector<OfdCharText> texts;
    QVector<QRectF> rects;
    double fontScale = 1;    // drawn size / built size
    double ascent = 0;       // of the primary font, pixels at the drawn size
    double descent = 0;      // likewise
    int charDirection = 0;   // degrees, clockwise
    bool upsideDown = false; // negative Size: each character turned by 180 degrees
    // Styles the font lacks, made up when drawing: a slant (horizontal shift per unit of height above
    // the baseline) for italic, and an outline width (pixels at the built size) for bold.
    double slant = 0;
    double embolden = 0;
    QVector<QGlyphRun> runs;        // one run per font for upright text, at 1/fontScale (see Build)
    QVector<QVector<int>> runCells; // for each glyph of each run, its Glyph::cell

    // Lays out the text codes of text with fonts. Positions follow the text codes: the first character
    // of a code at X, Y; each further glyph at the previous one plus the next DeltaX / DeltaY entry
    // (the last repeating; without DeltaX the previous glyph's advance). Where the primary font is
    // embedded, a glyph map (CGTransform) replaces CodeCount characters from CodePosition by its
    // glyphs, each taking one position. Formatting white space that holds a line break at the start or
    // end of a code is not text.
    void Build(const OfdPageItemText &text, TextFontSet &fonts, double scale);
    bool IsEmpty() const { return rects.isEmpty(); }
    // Maps a glyph's own coordinates (pixels at the built size, baseline origin at 0, 0) to the item:
    // to its origin, turned by CharDirection (or by 180 degrees below the baseline for a negative
    // size), scaled by the font scale, slanted when italic is made up.
    QTransform GlyphTransform(const Glyph &glyph) const;
    // The glyphs' outlines placed as drawn.
    QPainterPath Outline(const TextFontSet &fonts) const;
};
