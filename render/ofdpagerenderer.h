#pragma once

#include <QImage>

class OfdFile;
class OfdViewManage;
class QPainter;

// Renders pages through the same page scene the reader shows, into pictures or onto any paint
// device (a printer, a PDF writer).
class OfdPageRenderer
{
public:
    // Page pageIndex of document at dpi dots per inch, on white; null image when the page does not
    // exist or has no size. Pictures larger than maxPixels are refused.
    static QImage RenderPage(OfdViewManage *manage, int document, int pageIndex, double dpi);
    // Paints the page into target (device coordinates) on painter.
    static bool RenderPage(OfdViewManage *manage, int document, int pageIndex, QPainter *painter,
                           const QRectF &target);
    // The page size in millimetres; false when unknown.
    static bool GetPageSizeMM(OfdFile *document, int pageIndex, QSizeF &size);

    static constexpr qint64 kMaxPixels = qint64(200) * 1000 * 1000;
};
