#include "model/content/ofdspecialcolorpattern.h"

#include <QPainter>

#include <cmath>

#include "model/content/ofdhelper.h"
#include "model/content/ofdshadinghelper.h"
#include "model/xml/xmlnode.h"

namespace {
OfdPatternCellPainter &CellPainterSlot()
{
    static OfdPatternCellPainter painter;
    return painter;
}
} // namespace

void OfdSpecialColorPattern::SetCellPainter(const OfdPatternCellPainter &painter)
{
    CellPainterSlot() = painter;
}

const OfdPatternCellPainter &OfdSpecialColorPattern::GetCellPainter()
{
    return CellPainterSlot();
}

bool OfdSpecialColorPattern::ParseNode(XmlNode *node)
{
    m_width = ReadShadingNumber(node, QStringLiteral("Width"), 0);
    m_height = ReadShadingNumber(node, QStringLiteral("Height"), 0);
    m_xStep = ReadShadingNumber(node, QStringLiteral("XStep"), m_width);
    m_yStep = ReadShadingNumber(node, QStringLiteral("YStep"), m_height);
    if (m_xStep <= 0)
        m_xStep = m_width;
    if (m_yStep <= 0)
        m_yStep = m_height;
    const QString reflect = node->GetAttr(QStringLiteral("ReflectMethod")).trimmed();
    if (reflect == QLatin1String("Row"))
        m_reflectMethod = Reflect_Row;
    else if (reflect == QLatin1String("Column"))
        m_reflectMethod = Reflect_Column;
    else if (reflect == QLatin1String("RowAndColumn"))
        m_reflectMethod = Reflect_RowAndColumn;
    else
        m_reflectMethod = Reflect_Normal;
    m_relativeToPage = node->GetAttr(QStringLiteral("RelativeTo")).trimmed() == QLatin1String("Page");
    m_ctm.Clear();
    m_ctm.ParseText(node->GetAttr(QStringLiteral("CTM")));
    m_cellContentXml.clear();
    m_thumbnail = 0;
    if (XmlNode *cell = node->GetOneChildByName(QStringLiteral("CellContent"))) {
        m_thumbnail = OfdHelper::StringToInt(cell->GetAttr(QStringLiteral("Thumbnail")), 0);
        m_cellContentXml = cell->CreateXml(false).toUtf8();
    }
    return m_width > 0 && m_height > 0;
}

QList<QTransform> OfdSpecialColorPattern::GetTileTransforms(const QRectF &area, double unitsPerMM,
                                                            const QPointF &objectOrigin) const
{
    QList<QTransform> tiles;
    if (!(unitsPerMM > 0) || !std::isfinite(unitsPerMM) || area.isEmpty() || m_width <= 0 || m_height <= 0)
        return tiles;
    // Pattern space (millimetres) to painter coordinates.
    QTransform toPainter = m_ctm.ToTransformMM();
    if (m_relativeToPage)
        toPainter *= QTransform::fromTranslate(-objectOrigin.x(), -objectOrigin.y());
    toPainter *= QTransform::fromScale(unitsPerMM, unitsPerMM);
    bool invertible = false;
    const QTransform toPattern = toPainter.inverted(&invertible);
    if (!invertible)
        return tiles;
    const QRectF bounds = toPattern.mapRect(area);
    const double firstColumn = std::floor((bounds.left() - m_width) / m_xStep);
    const double lastColumn = std::ceil(bounds.right() / m_xStep);
    const double firstRow = std::floor((bounds.top() - m_height) / m_yStep);
    const double lastRow = std::ceil(bounds.bottom() / m_yStep);
    const double limit = 1e9;
    if (!(std::abs(firstColumn) < limit && std::abs(lastColumn) < limit && std::abs(firstRow) < limit &&
          std::abs(lastRow) < limit))
        return tiles;

    const QTransform fromCell = QTransform::fromScale(1 / unitsPerMM, 1 / unitsPerMM);
    const bool mirrorColumns = m_reflectMethod == Reflect_Row || m_reflectMethod == Reflect_RowAndColumn;
    const bool mirrorRows = m_reflectMethod == Reflect_Column || m_reflectMethod == Reflect_RowAndColumn;
    for (int j = int(firstRow); j <= int(lastRow); ++j) {
        for (int i = int(firstColumn); i <= int(lastColumn); ++i) {
            const QRectF cell(i * m_xStep, j * m_yStep, m_width, m_height);
            if (!cell.intersects(bounds))
                continue;
            if (tiles.size() >= kMaxTiles)
                return tiles;
            QTransform mirror;
            if (mirrorColumns && (i & 1))
                mirror *= QTransform(-1, 0, 0, 1, m_width, 0);
            if (mirrorRows && (j & 1))
                mirror *= QTransform(1, 0, 0, -1, 0, m_height);
            tiles << fromCell * mirror * QTransform::fromTranslate(cell.x(), cell.y()) * toPainter;
        }
    }
    return tiles;
}

bool OfdSpecialColorPattern::DrawPattern(QPainter *painter, const QRectF &area, const OfdTypeFillColor &owner,
                                         double unitsPerMM) const
{
    return DrawPattern(painter, area, owner, unitsPerMM, QPointF(), GetCellPainter());
}

bool OfdSpecialColorPattern::DrawPattern(QPainter *painter, const QRectF &area, const OfdTypeFillColor &owner,
                                         double unitsPerMM, const QPointF &objectOrigin,
                                         const OfdPatternCellPainter &cellPainter) const
{
    if (!painter || !cellPainter)
        return false;
    const QList<QTransform> tiles = GetTileTransforms(area, unitsPerMM, objectOrigin);
    const QRectF cellRect(0, 0, m_width * unitsPerMM, m_height * unitsPerMM);
    for (const QTransform &tile : tiles) {
        painter->save();
        painter->setTransform(tile, true);
        painter->setClipRect(cellRect, Qt::IntersectClip);
        cellPainter(painter, *this, owner, unitsPerMM);
        painter->restore();
    }
    return !tiles.isEmpty();
}
