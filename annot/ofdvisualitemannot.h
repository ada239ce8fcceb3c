#pragma once

#include <QColor>
#include <QDateTime>
#include <QGraphicsTextItem>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <vector>

#include "annot/ofdannottype.h"
#include "render/ofdvisualitem.h"

class OfdVisualSourceAnnot;
class OfdXmlPageBlock;
class PageAnnot;

// Base of the annotation items of a page scene: the annotations loaded from the document and the
// ones the user draws. Geometry is kept in item coordinates (scene pixels while the item has not
// moved); writing converts it to millimetres relative to the annotation's boundary. Owns its
// visual source; the scene owns the item.
class OfdVisualItemAnnot : public OfdVisualItem
{
    Q_OBJECT
public:
    OfdVisualItemAnnot(const QString &type, const QString &subtype);
    ~OfdVisualItemAnnot() override;

    // The item for a tool kind (a new annotation, creator "Administrator", created now); null for
    // any other value.
    static OfdVisualItemAnnot *CreateAnnot(EN_AnnotType type);

    int GetItemType() const override { return EN_OfdVisualItemType_Annot; }
    void SetVisiable(bool visible) override;

    virtual QString GetAnnotOfdType() const { return m_type; }
    virtual QString GetAnnotSubtype() const { return m_subtype; }
    virtual QString GetAnnotCreator() const { return m_creator; }
    virtual QDateTime GetAnnotLastModDate() const { return m_lastModDate; }
    // The tool kind (EN_AnnotType_None for loaded annotations).
    virtual EN_AnnotType GetAnnotKind() const { return EN_AnnotType_None; }
    // True for annotations drawn in this session (they can be moved and deleted).
    bool IsNewAnnot() const { return m_new; }
    OfdVisualSourceAnnot *GetAnnotSource() const { return m_annotSource.get(); }
    // Highlights lie in visual layer 1, the others in layer 3.
    int GetVisualLayer() const;

    // Drawing, in scene coordinates.
    virtual void SetStartPoint(const QPointF &point);
    virtual void SetEndPoint(const QPointF &point);
    virtual void MouseRlease(const QPointF &point);
    virtual void SetTextRect(QList<QRectF> &rects);
    void MoveVisual(float dx, float dy);
    // True when the drawn annotation has something to show (a pen with no segment has not).
    virtual bool IsEmptyAnnot() const { return false; }

    // The drawn geometry as abbreviated data in millimetres relative to origin (scene pixels).
    virtual QString GetPathAbbreviatedData(const QPointF &origin) const;
    // The annotation's boundary in scene pixels, as written.
    virtual QRectF GetAnnotBoundaryPixel() const;
    // Creator, LastModDate, Subtype, Type on an Annot element.
    void SetAnnotBaseAttr(XmlNode *annotNode) const;
    // Writes one Annot element under the page annotation root.
    void CreateXml(OfdContentWriter *creator, XmlNode *annotRoot) override;

    // Hover feedback and selection frame.
    void SetHover(bool hover);
    bool IsHover() const { return m_hover; }

protected:
    // Writes the page objects of the appearance under appearanceNode; origin = boundary origin.
    virtual void CreateAppearanceXml(OfdContentWriter *creator, XmlNode *appearanceNode,
                                     const QPointF &origin);
    void PaintHover(QPainter *painter);
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

    QString m_type;
    QString m_subtype;
    QString m_creator;
    QDateTime m_lastModDate;
    bool m_new = true;
    bool m_hover = false;
    std::unique_ptr<OfdVisualSourceAnnot> m_annotSource;
};

// A loaded annotation: its appearance's page objects as child items placed at the boundary's
// origin. The annotation model (owned by the document) outlives the item; the blocks of composite
// units used by the children are owned here.
class OfdVisualItemAnnotLoaded : public OfdVisualItemAnnot
{
    Q_OBJECT
public:
    explicit OfdVisualItemAnnotLoaded(PageAnnot *annot);
    ~OfdVisualItemAnnotLoaded() override;

    // Builds the child items (registered with scene); false when the appearance draws nothing.
    bool CreateAppearance(OfdPageScene *scene);

    PageAnnot *GetPageAnnot() const { return m_annot; }
    // A LastModDate as producers write it: ISO 8601, "yyyy-MM-dd hh:mm:ss" or a date alone.
    static QDateTime ReadDate(const QString &date);
    QString GetAnnotCreator() const override;
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    QRectF GetAnnotBoundaryPixel() const override;
    void CreateXml(OfdContentWriter *creator, XmlNode *annotRoot) override;
    const QList<OfdVisualItem *> &GetAppearanceItems() const { return m_children; }

private:
    PageAnnot *m_annot = nullptr;
    QRectF m_boundaryMM;
    QList<OfdVisualItem *> m_children;
    std::vector<std::unique_ptr<OfdXmlPageBlock>> m_unitBlocks;
};

// A drawn annotation made of straight segments and Bézier curves: line, arrow, rectangle, pen,
// highlight, underline and strike-out. Subclasses build the segments; painting and writing share
// them.
class OfdVisualItemAnnotPath : public OfdVisualItemAnnot
{
    Q_OBJECT
public:
    // One command of the geometry: 'M', 'L', 'B' (three points) or 'C' (no point).
    struct Segment
    {
        char cmd;
        QList<QPointF> points;
    };

    OfdVisualItemAnnotPath(const QString &type, const QString &subtype);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    QPainterPath shape() const override;
    QString GetPathAbbreviatedData(const QPointF &origin) const override;
    QRectF GetAnnotBoundaryPixel() const override;

    // The geometry in item coordinates.
    virtual QList<Segment> GetSegments() const = 0;
    QPainterPath GetPainterPath() const;
    const QColor &GetColor() const { return m_color; }
    double GetLineWidthPixel() const { return m_lineWidth; }
    bool IsFillAnnot() const { return m_fill; }
    bool IsStrokeAnnot() const { return m_stroke; }

protected:
    void CreateAppearanceXml(OfdContentWriter *creator, XmlNode *appearanceNode,
                             const QPointF &origin) override;
    // Call whenever the geometry changes.
    void GeometryChanged();

    QPointF m_start;
    QPointF m_end;
    QColor m_color = QColor(255, 0, 0);
    double m_lineWidth = 2.0; // pixels
    bool m_fill = false;
    bool m_stroke = true;
};

// A straight line from the start to the end point.
class OfdVisualItemAnnotLine : public OfdVisualItemAnnotPath
{
    Q_OBJECT
public:
    OfdVisualItemAnnotLine();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Line; }
    void SetStartPoint(const QPointF &point) override;
    void SetEndPoint(const QPointF &point) override;
    QList<Segment> GetSegments() const override;
    QPointF GetStart() const { return m_start; }
    QPointF GetEnd() const { return m_end; }
};

// A line with a head at the end point: the wings lie ArrowLen_X back along the line and ArrowLen_Y
// to each side (pixels).
class OfdVisualItemAnnotArrow : public OfdVisualItemAnnotLine
{
    Q_OBJECT
public:
    static constexpr double ArrowLen_X = 14;
    static constexpr double ArrowLen_Y = 7;

    OfdVisualItemAnnotArrow();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Arrow; }
    void SetStartPoint(const QPointF &point) override;
    void SetEndPoint(const QPointF &point) override;
    QList<Segment> GetSegments() const override;
    QPointF GetWing1() const { return m_wing1; }
    QPointF GetWing2() const { return m_wing2; }

private:
    void UpdateWings();
    QPointF m_wing1;
    QPointF m_wing2;
};

// The rectangle spanned by the start and the end point, closed.
class OfdVisualItemAnnotRect : public OfdVisualItemAnnotLine
{
    Q_OBJECT
public:
    OfdVisualItemAnnotRect();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Rect; }
    QList<Segment> GetSegments() const override;
};

// Free-hand strokes: each press starts a stroke; points are joined by cubic Bézier segments in
// triples after the first point.
class OfdVisualItemAnnotPen : public OfdVisualItemAnnotPath
{
    Q_OBJECT
public:
    OfdVisualItemAnnotPen();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Pen; }
    // Starts a new stroke at the point.
    void SetStartPoint(const QPointF &point) override;
    // Adds a point to the current stroke (not when it equals the stroke's last point).
    void SetEndPoint(const QPointF &point) override;
    QList<Segment> GetSegments() const override;
    bool IsEmptyAnnot() const override;
    const QList<QList<QPointF>> &GetStrokes() const { return m_strokes; }

private:
    QList<QList<QPointF>> m_strokes; // ConsecutivePoint lists, item coordinates
};

// Yellow boxes over the text lines the drag touched; drawn in layer 1 in multiply mode.
class OfdVisualItemAnnotHighlight : public OfdVisualItemAnnotPath
{
    Q_OBJECT
public:
    OfdVisualItemAnnotHighlight();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Highlight; }
    void SetTextRect(QList<QRectF> &rects) override;
    QList<Segment> GetSegments() const override;
    QRectF boundingRect() const override;
    bool IsEmptyAnnot() const override { return m_rects.isEmpty(); }
    const QList<QRectF> &GetTextRects() const { return m_rects; }

private:
    QList<QRectF> m_rects; // item coordinates
};

// A red line under (kind 7) or through (kind 8) each text line the drag touched.
class OfdVisualItemAnnotSpecialLine : public OfdVisualItemAnnotPath
{
    Q_OBJECT
public:
    explicit OfdVisualItemAnnotSpecialLine(EN_AnnotType kind);
    EN_AnnotType GetAnnotKind() const override { return m_kind; }
    void SetTextRect(QList<QRectF> &rects) override;
    QList<Segment> GetSegments() const override;
    bool IsEmptyAnnot() const override { return m_rects.isEmpty(); }
    const QList<QRectF> &GetTextRects() const { return m_rects; }

private:
    EN_AnnotType m_kind;
    QList<QRectF> m_rects; // item coordinates
};

// The editable text of a text box: a text item whose layout width is the box's width.
class QGraphicsTextItemSized : public QGraphicsTextItem
{
    Q_OBJECT
public:
    QGraphicsTextItemSized(const QSizeF &size, QGraphicsItem *parent);
    QRectF boundingRect() const override;
    const QSizeF &GetSize() const { return m_size; }

private:
    QSizeF m_size;
};

// A text box: the rectangle from the start to the end point and, once drawn, an editable text
// item in it (red text in the toolkit's default family).
class OfdVisualItemAnnotText : public OfdVisualItemAnnot
{
    Q_OBJECT
public:
    OfdVisualItemAnnotText();
    EN_AnnotType GetAnnotKind() const override { return EN_AnnotType_Text; }
    void SetStartPoint(const QPointF &point) override;
    void SetEndPoint(const QPointF &point) override;
    void MouseRlease(const QPointF &point) override;
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    QRectF GetAnnotBoundaryPixel() const override;
    bool IsEmptyAnnot() const override;

    // Creates the editable text item and gives it the focus.
    void EnableTextInput();
    QGraphicsTextItemSized *GetTextItem() const { return m_textItem; }
    void SetText(const QString &text);
    QString GetText() const;
    // The font size the text is written with (pixels).
    static constexpr int kFontPixelSize = 16;

protected:
    void CreateAppearanceXml(OfdContentWriter *creator, XmlNode *appearanceNode,
                             const QPointF &origin) override;

private:
    QRectF Rect() const { return QRectF(m_start, m_end).normalized(); }
    QPointF m_start;
    QPointF m_end;
    QGraphicsTextItemSized *m_textItem = nullptr; // child item
};
