#include "annot/ofdvisualitemannot.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <cmath>

#include "annot/ofdvisualsourceannot.h"
#include "annot/ofdxmlannotations.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "model/content/ofdvisualitemtransfer.h"
#include "model/content/ofdxmlpageblock.h"
#include "model/xml/xmlnode.h"
#include "render/ofdcontentwriter.h"
#include "render/ofdscenebuilder.h"

namespace {
// Millimetres of a pixel length, rounded to a thousandth, in shortest form.
QString MMText(double pixels)
{
    const double mm = std::round(OfdConvert::OfdPixelToMM(pixels) * 1000.0) / 1000.0;
    return OfdHelper::NumberText(mm == 0 ? 0.0 : mm);
}

QString RectMMText(const QRectF &pixels)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(MMText(pixels.x()), MMText(pixels.y()), MMText(pixels.width()), MMText(pixels.height()));
}

const QString kAdministrator = QStringLiteral("Administrator");
} // namespace

// ---------------------------------------------------------------------------------------------
// OfdVisualItemAnnot

OfdVisualItemAnnot::OfdVisualItemAnnot(const QString &type, const QString &subtype)
    : m_type(type), m_subtype(subtype), m_creator(kAdministrator),
      m_lastModDate(QDateTime::currentDateTime()),
      m_annotSource(std::make_unique<OfdVisualSourceAnnot>(type, subtype))
{
    SetVisualSource(m_annotSource.get());
    setFlag(QGraphicsItem::ItemIsSelectable, true);
    setFlag(QGraphicsItem::ItemSendsGeometryChanges, true);
    setAcceptHoverEvents(true);
}

OfdVisualItemAnnot::~OfdVisualItemAnnot()
{
    SetVisualSource(nullptr);
}

OfdVisualItemAnnot *OfdVisualItemAnnot::CreateAnnot(EN_AnnotType type)
{
    switch (type) {
    case EN_AnnotType_Line:
        return new OfdVisualItemAnnotLine;
    case EN_AnnotType_Arrow:
        return new OfdVisualItemAnnotArrow;
    case EN_AnnotType_Rect:
        return new OfdVisualItemAnnotRect;
    case EN_AnnotType_Pen:
        return new OfdVisualItemAnnotPen;
    case EN_AnnotType_Text:
        return new OfdVisualItemAnnotText;
    case EN_AnnotType_Highlight:
        return new OfdVisualItemAnnotHighlight;
    case EN_AnnotType_Underline:
    case EN_AnnotType_Strikeout:
        return new OfdVisualItemAnnotSpecialLine(type);
    default:
        return nullptr;
    }
}

void OfdVisualItemAnnot::SetVisiable(bool visible)
{
    setVisible(visible);
}

int OfdVisualItemAnnot::GetVisualLayer() const
{
    return m_annotSource ? m_annotSource->GetVisualLayer() : 3;
}

void OfdVisualItemAnnot::SetStartPoint(const QPointF &) {}
void OfdVisualItemAnnot::SetEndPoint(const QPointF &) {}
void OfdVisualItemAnnot::MouseRlease(const QPointF &point)
{
    SetEndPoint(point);
}
void OfdVisualItemAnnot::SetTextRect(QList<QRectF> &) {}

void OfdVisualItemAnnot::MoveVisual(float dx, float dy)
{
    moveBy(dx, dy);
    m_lastModDate = QDateTime::currentDateTime();
}

QString OfdVisualItemAnnot::GetPathAbbreviatedData(const QPointF &) const
{
    return QString();
}

QRectF OfdVisualItemAnnot::GetAnnotBoundaryPixel() const
{
    return mapRectToScene(boundingRect());
}

void OfdVisualItemAnnot::SetAnnotBaseAttr(XmlNode *annotNode) const
{
    const QString creator = GetAnnotCreator();
    annotNode->AddAttrIfNotEmpty(QStringLiteral("Creator"), creator);
    const QDateTime date = GetAnnotLastModDate();
    if (date.isValid())
        annotNode->AddAttr(QStringLiteral("LastModDate"), date.toString(QStringLiteral("yyyy-MM-dd")));
    annotNode->AddAttrBool(QStringLiteral("ReadOnly"), false);
    annotNode->AddAttrIfNotEmpty(QStringLiteral("Subtype"), GetAnnotSubtype());
    annotNode->AddAttrIfNotEmpty(QStringLiteral("Type"), GetAnnotOfdType());
}

void OfdVisualItemAnnot::CreateXml(OfdContentWriter *creator, XmlNode *annotRoot)
{
    if (!creator || !annotRoot || IsEmptyAnnot())
        return;
    XmlNode *annot = annotRoot->AddChildByName(QStringLiteral("Annot"), false);
    annot->AddAttr(QStringLiteral("ID"), creator->GetNextId());
    SetAnnotBaseAttr(annot);
    // Hiding is kept: a hidden annotation reads back hidden.
    if (!isVisible())
        annot->AddAttrBool(QStringLiteral("Visible"), false);
    const QRectF boundary = GetAnnotBoundaryPixel();
    XmlNode *appearance = annot->AddChildByName(QStringLiteral("Appearance"), false);
    appearance->AddAttr(QStringLiteral("Boundary"), RectMMText(boundary));
    CreateAppearanceXml(creator, appearance, boundary.topLeft());
}

void OfdVisualItemAnnot::CreateAppearanceXml(OfdContentWriter *, XmlNode *, const QPointF &) {}

void OfdVisualItemAnnot::SetHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    update();
}

void OfdVisualItemAnnot::PaintHover(QPainter *painter)
{
    if (!m_hover && !isSelected())
        return;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen pen(isSelected() ? QColor(8, 120, 215) : QColor(8, 120, 215, 150), 1, Qt::DashLine);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect().adjusted(1, 1, -1, -1));
    painter->restore();
}

QVariant OfdVisualItemAnnot::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionHasChanged && m_new)
        m_lastModDate = QDateTime::currentDateTime();
    return OfdVisualItem::itemChange(change, value);
}

// ---------------------------------------------------------------------------------------------
// OfdVisualItemAnnotLoaded

QDateTime OfdVisualItemAnnotLoaded::ReadDate(const QString &date)
{
    QDateTime time = QDateTime::fromString(date, Qt::ISODate);
    if (!time.isValid())
        time = QDateTime::fromString(date, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!time.isValid())
        time = QDateTime(QDate::fromString(date, Qt::ISODate), QTime(0, 0));
    return time;
}

OfdVisualItemAnnotLoaded::OfdVisualItemAnnotLoaded(PageAnnot *annot)
    : OfdVisualItemAnnot(annot ? annot->GetType() : QString(), annot ? annot->GetSubtype() : QString()),
      m_annot(annot)
{
    m_new = false;
    m_creator = annot ? annot->GetCreator() : QString();
    m_lastModDate = QDateTime();
    if (annot) {
        m_lastModDate = ReadDate(annot->GetLastModDate());
        m_annotSource = std::make_unique<OfdVisualSourceAnnot>(annot->GetAppearance());
        SetVisualSource(m_annotSource.get());
        setVisible(annot->IsVisible());
    }
    // Loaded annotations stay where the document put them.
    setFlag(QGraphicsItem::ItemIsSelectable, false);
}

OfdVisualItemAnnotLoaded::~OfdVisualItemAnnotLoaded()
{
    // The children use the unit blocks: delete them first.
    for (OfdVisualItem *child : qAsConst(m_children))
        delete child;
    m_children.clear();
}

QString OfdVisualItemAnnotLoaded::GetAnnotCreator() const
{
    return m_annot ? m_annot->GetCreator() : QString();
}

bool OfdVisualItemAnnotLoaded::CreateAppearance(OfdPageScene *scene)
{
    PageAnnotAppearance *appearance = m_annot ? m_annot->GetAppearance() : nullptr;
    if (!appearance || !appearance->GetPageBlock())
        return false;
    std::unique_ptr<OfdVisualItemTransfer> transfer(appearance->CreateVisualItemTransfer());
    if (!transfer || !transfer->GetBoundary())
        return false; // no boundary: the annotation is not placed
    m_boundaryMM = *transfer->GetBoundary();
    setPos(OfdConvert::OfdMMToPixel(m_boundaryMM.topLeft()));
    m_children = OfdSceneBuilder::CreateItems(scene, appearance->GetPageBlock()->GetItems(), &m_unitBlocks);
    for (OfdVisualItem *child : qAsConst(m_children)) {
        child->SetVisualSource(m_annotSource.get());
        child->Init();
        child->setParentItem(this);
    }
    return !m_children.isEmpty();
}

QRectF OfdVisualItemAnnotLoaded::boundingRect() const
{
    return QRectF(QPointF(0, 0), OfdConvert::OfdMMToPixel(m_boundaryMM.size()));
}

void OfdVisualItemAnnotLoaded::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    PaintHover(painter);
}

QRectF OfdVisualItemAnnotLoaded::GetAnnotBoundaryPixel() const
{
    return mapRectToScene(boundingRect());
}

void OfdVisualItemAnnotLoaded::CreateXml(OfdContentWriter *creator, XmlNode *annotRoot)
{
    if (!creator || !annotRoot || !m_annot)
        return;
    XmlNode *annot = annotRoot->AddChildByName(QStringLiteral("Annot"), false);
    annot->AddAttr(QStringLiteral("ID"), creator->GetNextId());
    annot->AddAttrIfNotEmpty(QStringLiteral("Creator"), m_annot->GetCreator());
    annot->AddAttrIfNotEmpty(QStringLiteral("LastModDate"), m_annot->GetLastModDate());
    annot->AddAttrBool(QStringLiteral("ReadOnly"), m_annot->IsReadOnly());
    annot->AddAttrIfNotEmpty(QStringLiteral("Subtype"), m_annot->GetSubtype());
    annot->AddAttrIfNotEmpty(QStringLiteral("Type"), m_annot->GetType());
    // What the view shows now: hidden in the file or by the user stays hidden.
    if (!isVisible())
        annot->AddAttrBool(QStringLiteral("Visible"), false);
    XmlNode *appearance = annot->AddChildByName(QStringLiteral("Appearance"), false);
    if (PageAnnotAppearance *source = m_annot->GetAppearance())
        appearance->AddAttrIfNotEmpty(QStringLiteral("Boundary"), source->GetBoundary());
    for (OfdVisualItem *child : qAsConst(m_children))
        creator->WriteVisualItem(child, appearance);
}

// ---------------------------------------------------------------------------------------------
// OfdVisualItemAnnotPath

OfdVisualItemAnnotPath::OfdVisualItemAnnotPath(const QString &type, const QString &subtype)
    : OfdVisualItemAnnot(type, subtype)
{
}

QPainterPath OfdVisualItemAnnotPath::GetPainterPath() const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Segment &s : GetSegments()) {
        if (s.cmd == 'M' && s.points.size() == 1)
            path.moveTo(s.points[0]);
        else if (s.cmd == 'L' && s.points.size() == 1)
            path.lineTo(s.points[0]);
        else if (s.cmd == 'B' && s.points.size() == 3)
            path.cubicTo(s.points[0], s.points[1], s.points[2]);
        else if (s.cmd == 'C')
            path.closeSubpath();
    }
    return path;
}

QRectF OfdVisualItemAnnotPath::boundingRect() const
{
    const QPainterPath path = GetPainterPath();
    if (path.isEmpty())
        return QRectF();
    return path.controlPointRect().adjusted(-2 - m_lineWidth / 2, -2 - m_lineWidth / 2, 2 + m_lineWidth / 2,
                                            2 + m_lineWidth / 2);
}

QPainterPath OfdVisualItemAnnotPath::shape() const
{
    QPainterPath area;
    area.addRect(boundingRect());
    return area;
}

void OfdVisualItemAnnotPath::GeometryChanged()
{
    prepareGeometryChange();
    update();
}

void OfdVisualItemAnnotPath::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QPainterPath path = GetPainterPath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_annotSource && m_annotSource->IsHighlight())
        painter->setCompositionMode(QPainter::CompositionMode_Multiply);
    if (m_fill)
        painter->fillPath(path, m_color);
    if (m_stroke) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(m_color, m_lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
    }
    painter->restore();
    PaintHover(painter);
}

QString OfdVisualItemAnnotPath::GetPathAbbreviatedData(const QPointF &origin) const
{
    QString data;
    auto point = [&](const QPointF &p) {
        const QPointF scene = mapToScene(p) - origin;
        return QStringLiteral(" %1 %2").arg(MMText(scene.x()), MMText(scene.y()));
    };
    for (const Segment &s : GetSegments()) {
        data += QLatin1Char(' ');
        data += QLatin1Char(s.cmd);
        for (const QPointF &p : s.points)
            data += point(p);
    }
    return data.trimmed();
}

QRectF OfdVisualItemAnnotPath::GetAnnotBoundaryPixel() const
{
    const QPainterPath path = GetPainterPath();
    const double grow = m_lineWidth / 2 + 1;
    return mapRectToScene(path.controlPointRect()).adjusted(-grow, -grow, grow, grow);
}

void OfdVisualItemAnnotPath::CreateAppearanceXml(OfdContentWriter *creator, XmlNode *appearanceNode,
                                                 const QPointF &origin)
{
    const QRectF boundary = GetAnnotBoundaryPixel();
    XmlNode *path = appearanceNode->AddChildByName(QStringLiteral("PathObject"), false);
    path->AddAttr(QStringLiteral("ID"), creator->GetNextId());
    path->AddAttr(QStringLiteral("Boundary"),
                  QStringLiteral("0 0 %1 %2").arg(MMText(boundary.width()), MMText(boundary.height())));
    path->AddAttr(QStringLiteral("LineWidth"), MMText(m_lineWidth));
    if (!m_stroke)
        path->AddAttrBool(QStringLiteral("Stroke"), false);
    if (m_fill)
        path->AddAttrBool(QStringLiteral("Fill"), true);
    if (m_stroke)
        creator->AddColorNode(path, QStringLiteral("StrokeColor"), m_color);
    if (m_fill)
        creator->AddColorNode(path, QStringLiteral("FillColor"), m_color);
    path->AddChild(QStringLiteral("AbbreviatedData"), GetPathAbbreviatedData(origin), false);
}

// ---------------------------------------------------------------------------------------------
// Line, arrow, rectangle

OfdVisualItemAnnotLine::OfdVisualItemAnnotLine()
    : OfdVisualItemAnnotPath(QStringLiteral("Path"), QStringLiteral("Line"))
{
}

void OfdVisualItemAnnotLine::SetStartPoint(const QPointF &point)
{
    m_start = mapFromScene(point);
    GeometryChanged();
}

void OfdVisualItemAnnotLine::SetEndPoint(const QPointF &point)
{
    m_end = mapFromScene(point);
    GeometryChanged();
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotLine::GetSegments() const
{
    return {{'M', {m_start}}, {'L', {m_end}}};
}

OfdVisualItemAnnotArrow::OfdVisualItemAnnotArrow()
{
    m_subtype = QStringLiteral("Arrow");
    m_annotSource = std::make_unique<OfdVisualSourceAnnot>(m_type, m_subtype);
    SetVisualSource(m_annotSource.get());
}

void OfdVisualItemAnnotArrow::SetStartPoint(const QPointF &point)
{
    OfdVisualItemAnnotLine::SetStartPoint(point);
    UpdateWings();
}

void OfdVisualItemAnnotArrow::SetEndPoint(const QPointF &point)
{
    m_end = mapFromScene(point);
    UpdateWings();
    GeometryChanged();
}

void OfdVisualItemAnnotArrow::UpdateWings()
{
    const double angle = qRadiansToDegrees(std::atan2(m_end.y() - m_start.y(), m_end.x() - m_start.x()));
    const double length = std::hypot(m_end.x() - m_start.x(), m_end.y() - m_start.y());
    QTransform frame;
    frame.translate(m_start.x(), m_start.y());
    frame.rotate(angle);
    m_wing1 = frame.map(QPointF(length - ArrowLen_X, -ArrowLen_Y));
    m_wing2 = frame.map(QPointF(length - ArrowLen_X, ArrowLen_Y));
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotArrow::GetSegments() const
{
    return {{'M', {m_start}}, {'L', {m_end}}, {'M', {m_wing1}}, {'L', {m_end}}, {'L', {m_wing2}}};
}

OfdVisualItemAnnotRect::OfdVisualItemAnnotRect()
{
    m_subtype = QStringLiteral("Rectangle");
    m_annotSource = std::make_unique<OfdVisualSourceAnnot>(m_type, m_subtype);
    SetVisualSource(m_annotSource.get());
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotRect::GetSegments() const
{
    const QRectF r = QRectF(m_start, m_end).normalized();
    return {{'M', {r.topLeft()}},
            {'L', {r.topRight()}},
            {'L', {r.bottomRight()}},
            {'L', {r.bottomLeft()}},
            {'C', {}}};
}

// ---------------------------------------------------------------------------------------------
// Pen

OfdVisualItemAnnotPen::OfdVisualItemAnnotPen()
    : OfdVisualItemAnnotPath(QStringLiteral("Stamp"), QStringLiteral("Tablet"))
{
}

void OfdVisualItemAnnotPen::SetStartPoint(const QPointF &point)
{
    m_strokes.append(QList<QPointF>{mapFromScene(point)});
    GeometryChanged();
}

void OfdVisualItemAnnotPen::SetEndPoint(const QPointF &point)
{
    if (m_strokes.isEmpty())
        m_strokes.append(QList<QPointF>());
    const QPointF local = mapFromScene(point);
    QList<QPointF> &stroke = m_strokes.last();
    if (!stroke.isEmpty() && stroke.last() == local)
        return;
    stroke.append(local);
    GeometryChanged();
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotPen::GetSegments() const
{
    QList<Segment> segments;
    for (const QList<QPointF> &stroke : m_strokes) {
        if (stroke.size() < 4)
            continue; // fewer than one full triple after the first point draws nothing
        segments.append({'M', {stroke[0]}});
        for (int i = 1; i + 2 < stroke.size(); i += 3)
            segments.append({'B', {stroke[i], stroke[i + 1], stroke[i + 2]}});
    }
    return segments;
}

bool OfdVisualItemAnnotPen::IsEmptyAnnot() const
{
    return GetSegments().isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Highlight, underline, strike-out

OfdVisualItemAnnotHighlight::OfdVisualItemAnnotHighlight()
    : OfdVisualItemAnnotPath(QStringLiteral("Highlight"), QStringLiteral("Highlight"))
{
    m_color = QColor(255, 255, 0);
    m_fill = true;
    m_stroke = false;
}

void OfdVisualItemAnnotHighlight::SetTextRect(QList<QRectF> &rects)
{
    m_rects.clear();
    for (const QRectF &r : rects)
        m_rects.append(mapFromScene(r).boundingRect());
    GeometryChanged();
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotHighlight::GetSegments() const
{
    QList<Segment> segments;
    for (const QRectF &r : m_rects) {
        segments.append({'M', {r.topLeft()}});
        segments.append({'L', {r.topRight()}});
        segments.append({'L', {r.bottomRight()}});
        segments.append({'L', {r.bottomLeft()}});
        segments.append({'C', {}});
    }
    return segments;
}

QRectF OfdVisualItemAnnotHighlight::boundingRect() const
{
    QRectF united;
    for (const QRectF &r : m_rects)
        united |= r;
    return united.isNull() ? QRectF() : united.adjusted(-5, -5, 5, 5);
}

OfdVisualItemAnnotSpecialLine::OfdVisualItemAnnotSpecialLine(EN_AnnotType kind)
    : OfdVisualItemAnnotPath(QStringLiteral("Highlight"), kind == EN_AnnotType_Strikeout
                                                              ? QStringLiteral("Strikeout")
                                                              : QStringLiteral("Underline")),
      m_kind(kind == EN_AnnotType_Strikeout ? EN_AnnotType_Strikeout : EN_AnnotType_Underline)
{
    m_color = QColor(255, 0, 0);
    m_lineWidth = 2;
}

void OfdVisualItemAnnotSpecialLine::SetTextRect(QList<QRectF> &rects)
{
    m_rects.clear();
    for (const QRectF &r : rects)
        m_rects.append(mapFromScene(r).boundingRect());
    GeometryChanged();
}

QList<OfdVisualItemAnnotPath::Segment> OfdVisualItemAnnotSpecialLine::GetSegments() const
{
    QList<Segment> segments;
    for (const QRectF &r : m_rects) {
        const double y = m_kind == EN_AnnotType_Strikeout ? r.center().y() : r.bottom();
        segments.append({'M', {QPointF(r.left(), y)}});
        segments.append({'L', {QPointF(r.right(), y)}});
    }
    return segments;
}

// ---------------------------------------------------------------------------------------------
// Text box

QGraphicsTextItemSized::QGraphicsTextItemSized(const QSizeF &size, QGraphicsItem *parent)
    : QGraphicsTextItem(parent), m_size(size)
{
    setTextWidth(size.width());
}

QRectF QGraphicsTextItemSized::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_size).united(QGraphicsTextItem::boundingRect());
}

OfdVisualItemAnnotText::OfdVisualItemAnnotText()
    : OfdVisualItemAnnot(QStringLiteral("Stamp"), QStringLiteral("FreeText"))
{
}

void OfdVisualItemAnnotText::SetStartPoint(const QPointF &point)
{
    prepareGeometryChange();
    m_start = mapFromScene(point);
}

void OfdVisualItemAnnotText::SetEndPoint(const QPointF &point)
{
    prepareGeometryChange();
    m_end = mapFromScene(point);
    update();
}

void OfdVisualItemAnnotText::MouseRlease(const QPointF &point)
{
    SetEndPoint(point);
    EnableTextInput();
}

void OfdVisualItemAnnotText::EnableTextInput()
{
    if (m_textItem)
        return;
    const QRectF rect = Rect();
    m_textItem = new QGraphicsTextItemSized(rect.size(), this);
    QFont font(QApplication::font().family());
    font.setPixelSize(kFontPixelSize);
    m_textItem->setFont(font);
    m_textItem->setDefaultTextColor(QColor(255, 0, 0));
    m_textItem->setPos(rect.topLeft());
    m_textItem->setTextInteractionFlags(Qt::TextEditorInteraction);
    m_textItem->setFocus(Qt::OtherFocusReason);
}

void OfdVisualItemAnnotText::SetText(const QString &text)
{
    EnableTextInput();
    m_textItem->setPlainText(text);
}

QString OfdVisualItemAnnotText::GetText() const
{
    return m_textItem ? m_textItem->toPlainText() : QString();
}

bool OfdVisualItemAnnotText::IsEmptyAnnot() const
{
    return GetText().trimmed().isEmpty();
}

QRectF OfdVisualItemAnnotText::boundingRect() const
{
    QRectF rect = Rect();
    if (m_textItem)
        rect |= m_textItem->mapRectToParent(m_textItem->boundingRect());
    return rect.adjusted(-2, -2, 2, 2);
}

void OfdVisualItemAnnotText::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The frame shows while the box is drawn and edited.
    if (!m_textItem || m_textItem->hasFocus()) {
        painter->save();
        QPen pen(QColor(255, 0, 0), 1, Qt::DashLine);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(Rect());
        painter->restore();
    }
    PaintHover(painter);
}

QRectF OfdVisualItemAnnotText::GetAnnotBoundaryPixel() const
{
    QRectF rect = Rect();
    if (m_textItem)
        rect |= m_textItem->mapRectToParent(m_textItem->boundingRect());
    return mapRectToScene(rect);
}

void OfdVisualItemAnnotText::CreateAppearanceXml(OfdContentWriter *creator, XmlNode *appearanceNode,
                                                 const QPointF &origin)
{
    if (!m_textItem)
        return;
    const QRectF boundary = GetAnnotBoundaryPixel();
    const QFont font = m_textItem->font();
    OfdCreatorFontInfo info;
    info.fontName = font.family();
    info.familyName = font.family();
    XmlNode *text = appearanceNode->AddChildByName(QStringLiteral("TextObject"), false);
    text->AddAttr(QStringLiteral("ID"), creator->GetNextId());
    text->AddAttr(QStringLiteral("Boundary"),
                  QStringLiteral("0 0 %1 %2").arg(MMText(boundary.width()), MMText(boundary.height())));
    text->AddAttr(QStringLiteral("Font"), creator->GetFontId(info));
    text->AddAttr(QStringLiteral("Size"), MMText(kFontPixelSize));
    creator->AddColorNode(text, QStringLiteral("FillColor"), m_textItem->defaultTextColor());

    // One TextCode per laid-out line, at the line's baseline, with the advances of its characters.
    QTextDocument *document = m_textItem->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        const QString blockText = block.text();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            QString lineText = blockText.mid(line.textStart(), line.textLength());
            while (!lineText.isEmpty() && lineText.back().isSpace())
                lineText.chop(1);
            if (lineText.isEmpty())
                continue;
            QList<double> xs;
            for (int k = 0; k < lineText.size(); ++k)
                xs.append(line.cursorToX(line.textStart() + k));
            const double baseline = layout->position().y() + line.y() + line.ascent();
            const QPointF first =
                m_textItem->mapToScene(QPointF(layout->position().x() + xs[0], baseline)) - origin;
            XmlNode *code = text->AddChild(QStringLiteral("TextCode"), lineText, false);
            code->AddAttr(QStringLiteral("X"), MMText(first.x()));
            code->AddAttr(QStringLiteral("Y"), MMText(first.y()));
            QStringList deltas;
            for (int k = 1; k < xs.size(); ++k)
                deltas.append(MMText(xs[k] - xs[k - 1]));
            if (!deltas.isEmpty())
                code->AddAttr(QStringLiteral("DeltaX"), deltas.join(QLatin1Char(' ')));
        }
    }
}
