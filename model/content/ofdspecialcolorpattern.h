#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTransform>

#include <functional>

#include "model/content/ofdspecialcolor.h"
#include "model/content/ofdtypectm.h"

class OfdSpecialColorPattern;

// Draws the objects of one pattern cell. The painter's coordinates are the cell's own in the units
// of the fill (millimetres × unitsPerMM), origin at the cell's top-left corner; the painter is
// clipped to the cell. The cell objects are in pattern.GetCellContentXml().
using OfdPatternCellPainter = std::function<void(QPainter *painter, const OfdSpecialColorPattern &pattern,
                                                 const OfdTypeFillColor &owner, double unitsPerMM)>;

// Pattern: a cell of Width × Height millimetres holding page objects, repeated every XStep, YStep,
// mirrored per ReflectMethod, the whole tiling mapped by CTM and anchored at the object (RelativeTo
// "Object") or at the page ("Page"). The renderer supplies the drawing of cell content.
class OfdSpecialColorPattern : public OfdSpecialColor
{
public:
    enum EN_ReflectMethod
    {
        Reflect_Normal = 0,       // every cell as drawn
        Reflect_Row = 1,          // odd columns mirrored left to right
        Reflect_Column = 2,       // odd rows mirrored top to bottom
        Reflect_RowAndColumn = 3, // both
    };

    // Fills that would need more tiles than this draw only the first kMaxTiles (row by row).
    static constexpr int kMaxTiles = 10000;

    EN_SpecialColorType GetType() const override { return SpecialColor_Pattern; }
    // Reads the attributes and keeps the CellContent subtree; false when Width or Height is not a
    // positive number.
    bool ParseNode(XmlNode *node) override;

    // Fills area through the process-wide cell painter; false when none is installed.
    bool DrawPattern(QPainter *painter, const QRectF &area, const OfdTypeFillColor &owner,
                     double unitsPerMM) const override;
    // Fills area through cellPainter. objectOrigin (millimetres on the page) anchors the tiling at
    // the page origin when RelativeTo is "Page". False when nothing was drawn.
    bool DrawPattern(QPainter *painter, const QRectF &area, const OfdTypeFillColor &owner, double unitsPerMM,
                     const QPointF &objectOrigin, const OfdPatternCellPainter &cellPainter) const;

    // Transforms from cell coordinates (units of the fill) to painter coordinates for every tile
    // that may touch area, row by row, at most kMaxTiles.
    QList<QTransform> GetTileTransforms(const QRectF &area, double unitsPerMM,
                                        const QPointF &objectOrigin = QPointF()) const;

    // The renderer installs the routine that draws cell content (once, at start-up).
    static void SetCellPainter(const OfdPatternCellPainter &painter);
    static const OfdPatternCellPainter &GetCellPainter();

    double GetWidth() const { return m_width; }
    double GetHeight() const { return m_height; }
    double GetXStep() const { return m_xStep; }
    double GetYStep() const { return m_yStep; }
    EN_ReflectMethod GetReflectMethod() const { return m_reflectMethod; }
    bool IsRelativeToPage() const { return m_relativeToPage; }
    const OfdTypeCTM &GetCTM() const { return m_ctm; }
    // The CellContent element serialised as a part of its own (empty when there is none), ready for
    // a stream reader; its children are the page objects of the cell.
    const QByteArray &GetCellContentXml() const { return m_cellContentXml; }
    // The Thumbnail attribute of CellContent (an image resource id), 0 when absent.
    int GetThumbnail() const { return m_thumbnail; }

private:
    double m_width = 0;
    double m_height = 0;
    double m_xStep = 0;
    double m_yStep = 0;
    EN_ReflectMethod m_reflectMethod = Reflect_Normal;
    bool m_relativeToPage = false;
    OfdTypeCTM m_ctm;
    QByteArray m_cellContentXml;
    int m_thumbnail = 0;
};
