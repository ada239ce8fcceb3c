#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QRectF>
#include <QVector>

#include <vector>

// The glyphs of one font that a PDF file uses, rebuilt as a TrueType font program from their outlines,
// so that every outline font the reader draws with (TrueType, OpenType with CFF, bare CFF, Type 1)
// embeds the same way. Subset glyph 0 is an empty .notdef; the others are numbered in the order they
// are first asked for. Units: the program has kUnitsPerEm units per em; the metrics for the PDF
// dictionaries are given in thousandths of an em, y up. GUI thread only (it draws on a QRawFont).
class OfdPdfFontSubset
{
public:
    static const int kUnitsPerEm = 2048;
    static const int kMaxGlyphs = 65535; // .notdef included

    // font may have any pixel size; an invalid font gives a subset of .notdef alone.
    explicit OfdPdfFontSubset(const QRawFont &font);
    ~OfdPdfFontSubset();

    // The subset's id for glyph of the font, added at its first use; 0 when the subset is full or the
    // font is invalid. Cheap for glyphs already added.
    quint16 Add(quint32 glyph);
    // Glyphs in the subset, .notdef included.
    int GlyphCount() const;
    // Advance width of subset glyph id, thousandths of an em (the font's design metrics).
    double Advance1000(quint16 id) const;
    // Union of the subset glyphs' boxes (x from left, y from bottom, up), thousandths of an em.
    QRectF BBox1000() const;
    // The font's ascent (positive) and descent (negative), thousandths of an em.
    double Ascent1000() const;
    double Descent1000() const;
    // A TrueType font program (sfnt version 1.0) whose glyph i is subset glyph i, with the tables a
    // PDF reader needs to draw an embedded CIDFontType2 font.
    QByteArray Build() const;

private:
    struct Glyph;
    QRawFont m_font; // at kUnitsPerEm pixels per em
    QHash<quint32, quint16> m_ids;
    std::vector<Glyph> m_glyphs; // index: subset id
    quint32 m_sourceGlyphs = 0;  // glyphs in the font, 0 when it does not say
};
