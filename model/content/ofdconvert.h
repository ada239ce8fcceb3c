#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QFont;
class QTransform;
class OfdTypeCTM;

// Conversion between millimetres (the unit of every document coordinate) and screen pixels, and
// between document and toolkit font weights. Process-wide values, set once by Init at start-up.
class OfdConvert
{
public:
    // Reads the primary screen's logical dots per inch (needs the application object); 96 without a
    // screen. Call once at start-up, before anything converts.
    static void Init();
    // The same with a given resolution (tests, off-screen rendering); ignored unless finite and > 0.
    static void Init(double pxPerInch);

    static double Px_PerInch; // 96 until Init
    static constexpr double MM_PerInch = 25.4;
    static double PxOfOneMM; // Px_PerInch / 25.4
    static double MMOfOnePx; // 25.4 / Px_PerInch

    static double OfdMMToPixel(double mm) { return mm * PxOfOneMM; }
    static QPointF OfdMMToPixel(const QPointF &p) { return p * PxOfOneMM; }
    static QSizeF OfdMMToPixel(const QSizeF &s) { return s * PxOfOneMM; }
    static void OfdMMToPixel(QRectF &r); // in place
    static double OfdPixelToMM(double px) { return px / PxOfOneMM; }
    static QPointF OfdPixelToMM(const QPointF &p) { return p / PxOfOneMM; }
    static QSizeF OfdPixelToMM(const QSizeF &s) { return s / PxOfOneMM; }
    static void OfdPixelToMM(QRectF &r); // in place
    static QRectF OfdPixelToMM2(const QRectF &r);

    static double PointSizeToPixelSize(double pt) { return pt / 72.0 * Px_PerInch; }
    static double PixelSizeToPointSize(double px) { return px * 72.0 / Px_PerInch; }

    // a, b, c, d copied; e and f converted from millimetres to pixels. An empty matrix gives identity.
    static void ToQTransform(const OfdTypeCTM &ctm, QTransform &out);
    // Font size in millimetres from its pixel size, else its point size; 0 when it has neither.
    static double GetFontSizeMM(const QFont &font);
    // Document weight (100..900) to toolkit weight; 400 and unknown values give 50.
    static int ToQtFontWeight(int weight);
};
