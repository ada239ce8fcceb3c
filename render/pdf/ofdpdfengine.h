#pragma once

#include <QPaintDevice>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class OfdPdfEngine;
class QGlyphRun;
class QIODevice;
class QPainter;
class QPointF;
class QRectF;
class QImage;
class QByteArray;

// A paint device whose pages become the pages of a PDF file, written to out page by page as they
// are finished (memory does not grow with the page count; fonts and the page tree come at the end).
// Paint with a QPainter as on any device; NewPage starts the next page while the painter stays
// active. Device pixels are dots at Resolution() per inch. The output device is not owned.
class OfdPdfDevice : public QPaintDevice
{
public:
    explicit OfdPdfDevice(QIODevice *out, int resolution = 600);
    ~OfdPdfDevice() override;

    void SetCreator(const QString &creator);
    void SetTitle(const QString &title);
    // Size of the page begun next (the first one, before painting starts), millimetres.
    void SetPageSizeMM(const QSizeF &size);
    QSizeF PageSizeMM() const { return m_pageSize; }
    int Resolution() const { return m_resolution; }
    // Ends the current page and begins another of the size set last; false once writing has failed.
    bool NewPage();
    // True once anything could not be written; the file is then incomplete.
    bool HasError() const;

    QPaintEngine *paintEngine() const override;

    // The PDF engine painter paints with, or null when it paints on another device.
    static OfdPdfEngine *EngineOf(QPainter *painter);
    // Draws run at origin (the painter's coordinates) as text that can be selected and searched:
    // textOf(i) is what glyph i of the run stands for (empty when it stands for nothing); it is asked
    // only for glyphs the file has no text for yet. On any other device the run is drawn as the
    // painter draws it.
    static void DrawGlyphRun(QPainter *painter, const QPointF &origin, const QGlyphRun &run,
                             const std::function<QString(int)> &textOf);

    // Draws image into target; on a PDF device, encoded (the file image was decoded from) is stored
    // as it is when it is a JPEG file readers show unchanged, so that pictures are not encoded again.
    static void DrawImage(QPainter *painter, const QRectF &target, const QImage &image,
                          const QByteArray &encoded);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class OfdPdfEngine;
    QSizeF m_pageSize{210, 297};
    int m_resolution;
    std::unique_ptr<OfdPdfEngine> m_engine;
};
