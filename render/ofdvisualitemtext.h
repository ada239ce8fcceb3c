#pragma once

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRawFont>
#include <QVector>

#include <memory>

#include "render/ofdvisualitem.h"
#include "render/ofdvisualtextinfo.h"

class OfdPageItemText;
class TextFontSet;
struct TextGlyphLayout;

// Draws a text object: each character (or glyph of the embedded font) at the position its text
// codes give, filled and/or stroked in the object's colours, with the marks of selection, search
// hits and custom tags beneath. Records every character's rectangle for selection, search and copy.
// Item coordinates are pixels of the object's space (before its CTM); fonts, pens, the glyph layout
// and outlines are built once and owned by the item.
class OfdVisualItemText : public OfdVisualItem
{
    Q_OBJECT
public:
    explicit OfdVisualItemText(OfdPageItem *pageItem = nullptr, QGraphicsItem *parent = nullptr);
    ~OfdVisualItemText() override;

    int GetItemType() const override { return EN_OfdVisualItemType_Text; }
    // The measured bounds; before measuring, an estimate that encloses the characters' positions grown
    // by the font size, so that the scene still asks the item to paint.
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void DrawPattern(QPainter *painter) override;
    QRectF GetGraphicsBoundary() const override;
    // Glyph outlines under the object's CTM, moved to its boundary's origin and cut to the boundary.
    QPainterPath CreatePainterPathClip() override;

    // Measures the characters (once) without painting, exactly as a paint places them.
    void EnsureCharRecords();
    const QVector<OfdVisualTextInfo> &GetCharRecords() const { return m_chars; }
    // The rectangle of the record numbered index in item coordinates; empty for other numbers.
    QRectF GetCharItemRect(int index) const;
    // True until the characters were measured.
    bool IsNeedRepaint() const { return !m_measured; }

    // Selection: the scene's selection polygon in item coordinates. Returns whether any character
    // is covered. Deselect with (false, empty).
    bool SetSelectArea(bool selected, const QPolygonF &area);
    bool IsTextSelected() const { return m_selected; }
    QVector<OfdVisualTextInfo> GetSelectedChars() const;
    QString GetSelectText() const;

    void AddSearch(const OfdVisualTextInfo &info);
    void ClearSearch();
    const QVector<OfdVisualTextInfo> &GetSearchHits() const { return m_searchHits; }
    // Marks the whole object as tagged by a custom tag.
    void SetCustomTagMark(bool marked);

    // The font chosen for the object; false when it has none (the object then draws nothing).
    bool GetQtFont(QFont &font);
    // Drawn size / built size: above 60 mm the font is built at 60 mm and drawn scaled.
    double GetFontScale();
    // True when the object draws from its embedded font file (glyph maps then apply).
    bool IsDrawnFromEmbeddedFont();
    // The font's ascent in pixels at the built size; 0 without a font.
    float GetBaseline();
    // The pens of the first paint (null when the object does not fill, respectively stroke).
    const QPen *GetFillPen();
    const QPen *GetStrokePen();
    static QRectF TextMaxRect() { return QRectF(-1000, -1000, 12000, 12000); }

protected:
    OfdPageItemText *TextItem() const;
    void PaintItem(QPainter *painter);
    bool CreateQtFont();
    void TryCreatePen();
    std::unique_ptr<QPen> CreateFillPen() const;
    std::unique_ptr<QPen> CreateStrokePen() const;
    // The pen of the colour a layer's draw parameter hands down; null without one.
    std::unique_ptr<QPen> CreateLayerPen() const;
    void DrawGlyphs(QPainter *painter);
    // The text of a character cell (empty for -1), for the glyph that stands for it.
    QString CellText(int cell) const;
    // Rectangle spanned by the characters' positions grown by the font size (item coordinates).
    QRectF CalTextBoundary() const;

    bool m_wantBold = false;   // the object or its font asks for bold
    bool m_wantItalic = false; // likewise for italic
    bool m_selected = false;
    QPolygonF m_selectArea;
    std::unique_ptr<QFont> m_font;
    bool m_fontTried = false;
    double m_fontScale = 1.0;
    std::unique_ptr<TextFontSet> m_fonts;
    std::unique_ptr<TextGlyphLayout> m_layout;
    std::unique_ptr<QPen> m_fillPen;
    std::unique_ptr<QPen> m_strokePen;
    bool m_pensTried = false;
    bool m_firstPaint = true;
    bool m_measured = false;
    QVector<OfdVisualTextInfo> m_chars;
    std::unique_ptr<QRectF> m_bounds;
    mutable std::unique_ptr<QRectF> m_estimate;
    QVector<OfdVisualTextInfo> m_searchHits;
    bool m_customTag = false;
    std::unique_ptr<QPainterPath> m_clipOutline;
    std::unique_ptr<QPainterPath> m_strokeOutline;
};
