#pragma once

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRawFont>

#include <memory>

#include "render/ofdvisualitem.h"
#include "render/ofdvisualtextinfo.h"

class OfdPageItemText;

// Draws a text object: each character (or glyph of the embedded font) at the position its text
// codes give, filled and/or stroked in the object's colours, with the marks of selection, search
// hits and custom tags beneath. Records every character's rectangle for selection, search and copy.
class OfdVisualItemText : public OfdVisualItem
{
    Q_OBJECT
public:
    explicit OfdVisualItemText(OfdPageItem *pageItem = nullptr, QGraphicsItem *parent = nullptr);
    ~OfdVisualItemText() override;

    int GetItemType() const override { return EN_OfdVisualItemType_Text; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    void DrawPattern(QPainter *painter) override;
    QRectF GetGraphicsBoundary() const override;
    QPainterPath CreatePainterPathClip() override;

    // Measures the characters (once) without painting, exactly as a paint would place them.
    void EnsureCharRecords();
    const QList<OfdVisualTextInfo> &GetCharRecords() const { return m_chars; }
    // True until the characters were measured.
    bool IsNeedRepaint() const { return !m_measured; }

    // Selection: the scene's selection polygon in item coordinates. Returns whether any character
    // is covered. Deselect with (false, empty).
    bool SetSelectArea(bool selected, const QPolygonF &area);
    bool IsTextSelected() const { return m_selected; }
    QList<OfdVisualTextInfo> GetSelectedChars() const;
    QString GetSelectText() const;

    void AddSearch(const OfdVisualTextInfo &info);
    void ClearSearch();
    const QList<OfdVisualTextInfo> &GetSearchHits() const { return m_searchHits; }
    // Marks the whole object as tagged by a custom tag.
    void SetCustomTagMark(bool marked);

    // The font chosen for the object; false when it has none (the object then draws nothing).
    bool GetQtFont(QFont &font);
    static QRectF TextMaxRect() { return QRectF(-1000, -1000, 12000, 12000); }

protected:
    OfdPageItemText *TextItem() const;
    void PaintItem(QPainter *painter);
    bool CreateQtFont();

    bool m_selected = false;
    QPolygonF m_selectArea;
    std::unique_ptr<QFont> m_font;
    bool m_fontTried = false;
    double m_fontScale = 1.0;
    bool m_measured = false;
    QList<OfdVisualTextInfo> m_chars;
    std::unique_ptr<QRectF> m_bounds;
    QList<OfdVisualTextInfo> m_searchHits;
    bool m_customTag = false;
    std::unique_ptr<QPainterPath> m_clipOutline;
};
