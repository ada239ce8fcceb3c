#include "render/pdf/ofdpdfengine.h"

#include <QBuffer>
#include <QDateTime>
#include <QGlyphRun>
#include <QHash>
#include <QImageWriter>
#include <QMap>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QtMath>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "render/pdf/ofdpdffontsubset.h"
#include "render/pdf/ofdpdfwriter.h"

using OfdPdfSyntax::AppendNumber;

namespace {
const QPaintEngine::Type kEngineType = QPaintEngine::Type(QPaintEngine::User + 23);

// Decimal places: device coordinates (dots), colours, matrix coefficients, text adjustments.
const int kCoordPlaces = 2;
const int kColourPlaces = 3;
const int kMatrixPlaces = 5;

// Pictures at least this large that have no transparency are stored as JPEG, smaller ones and
// pictures of few colours losslessly.
const int kJpegMinPixels = 32 * 32;
const int kJpegQuality = 94;
// Pictures with more pixels are stored scaled down to this many.
const qint64 kMaxImagePixels = 100LL * 1000 * 1000;

// A font of the file: its subset, the objects it becomes and what each of its glyphs stands for.
struct PdfFont
{
    int type0 = 0;
    QByteArray resource; // name in page resources, without the slash
    std::unique_ptr<OfdPdfFontSubset> subset;
    QVector<QString> unicode; // by subset id
    QVector<double> widths;   // by subset id, thousandths of an em as the file gives them
    std::vector<quint16> ids; // subset id by glyph index of the font, 0 while not looked up
    QString family;
};

// The graphics state last written to the content stream since the innermost q; what is not known
// is written again.
struct EmittedState
{
    bool fillKnown = false;
    QRgb fill = 0;
    QByteArray fillPattern;
    bool strokeKnown = false;
    QRgb stroke = 0;
    double lineWidth = -1;
    int cap = -1;
    int join = -1;
    double miter = -1;
    QByteArray dash = "[]0";
    QByteArray extState; // empty: the default
};

bool IsSimilarity(const QTransform &t)
{
    // Scale and rotation alike in both directions (lines keep one width).
    const double a = t.m11(), b = t.m12(), c = t.m21(), d = t.m22();
    const double eps = 1e-6 * (a * a + b * b + c * c + d * d);
    return std::abs(a * a + b * b - (c * c + d * d)) <= eps && std::abs(a * c + b * d) <= eps;
}

void AppendHex4(QByteArray &out, quint16 value)
{
    static const char hex[] = "0123456789ABCDEF";
    const int at = out.size();
    out.resize(at + 4);
    char *p = out.data() + at;
    p[0] = hex[(value >> 12) & 15];
    p[1] = hex[(value >> 8) & 15];
    p[2] = hex[(value >> 4) & 15];
    p[3] = hex[value & 15];
}

// A PostScript-safe font name for family (ASCII letters and digits), or a made-up one.
QByteArray PostScriptName(const QString &family, int number)
{
    QByteArray name;
    for (QChar c : family) {
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-'))
            name += char(c.unicode());
    }
    if (name.size() < 2)
        name = "Font" + QByteArray::number(number);
    // The subset tag: six capitals, different for every font of the file.
    QByteArray tag(6, 'A');
    for (int i = 5, n = number; i >= 0; --i, n /= 26)
        tag[i] = char('A' + n % 26);
    return tag + '+' + name.left(100);
}

void AppendColour(QByteArray &out, QRgb rgb)
{
    AppendNumber(out, qRed(rgb) / 255.0, kColourPlaces);
    out += ' ';
    AppendNumber(out, qGreen(rgb) / 255.0, kColourPlaces);
    out += ' ';
    AppendNumber(out, qBlue(rgb) / 255.0, kColourPlaces);
}

void AppendMatrix(QByteArray &out, const QTransform &t)
{
    const double v[6] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (int i = 0; i < 6; ++i) {
        AppendNumber(out, v[i], i < 4 ? kMatrixPlaces : kCoordPlaces + 1);
        out += ' ';
    }
}
} // namespace

// The paint engine of OfdPdfDevice: turns painter calls into PDF content, one stream per page.
// Paths are written in device dots (the page's matrix maps them to points), clips as nested
// graphics states, text as embedded fonts rebuilt from the glyph outlines.
class OfdPdfEngine : public QPaintEngine
{
public:
    explicit OfdPdfEngine(OfdPdfDevice *device, QIODevice *out);
    ~OfdPdfEngine() override;

    bool begin(QPaintDevice *pdev) override;
    bool end() override;
    Type type() const override { return kEngineType; }
    void updateState(const QPaintEngineState &newState) override;

    void drawPath(const QPainterPath &path) override;
    using QPaintEngine::drawPolygon;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;

    bool NewPage();
    // Places a JPEG file as it is, when it is the picture image was decoded from and PDF readers
    // can show it unchanged (8-bit grey or colour, Huffman coded); false when it is not.
    bool DrawJpeg(const QRectF &r, const QImage &image, const QByteArray &jpeg);
    // The frame of a JPEG file; false when it is not one PDF readers decode as it is.
    static bool JpegFrame(const QByteArray &jpeg, int &width, int &height, int &components);
    void DrawGlyphRun(const QPointF &origin, const QGlyphRun &run, const std::function<QString(int)> &textOf);
    bool HasError() const { return m_writer.HasError() || m_failed; }

    QString creator;
    QString title;

private:
    void StartPage();
    void FinishPage();
    void WriteFonts();
    void UpdateClip(const QPainterPath &path, Qt::ClipOperation op);
    // Writes the clip when it changed since it was last written.
    void ApplyClip();
    void ResetEmitted() { m_emitted = EmittedState(); }
    void AppendPath(const QPainterPath &devicePath);
    void FillDevicePath(const QPainterPath &devicePath, const QBrush &brush, const QTransform &brushMatrix);
    void FillPath(const QPainterPath &logical, const QBrush &brush);
    void StrokePath(const QPainterPath &logical);
    // Sets the fill (non-stroking) colour for brush; false when nothing is to be drawn.
    bool SetFill(const QBrush &brush, const QTransform &brushMatrix, double &alpha);
    void SetStroke(const QColor &colour);
    void SetExtState(double fillAlpha, double strokeAlpha);
    int GradientPattern(const QBrush &brush, const QTransform &brushMatrix, double &alpha);
    int ImageObject(const QImage &image);
    void PlaceImage(const QRectF &r, int id);
    PdfFont *FontFor(const QRawFont &font);
    QByteArray FontKey(const QRawFont &font) const;

    OfdPdfDevice *m_device;
    OfdPdfWriter m_writer;
    bool m_failed = false;
    int m_pagesId = 0;
    QVector<int> m_pageIds;
    bool m_pageOpen = false;
    QSizeF m_pagePoints;
    QTransform m_base; // device dots to the page's default space (points, y up)

    // The painter's state as last told.
    QTransform m_matrix;
    QPen m_pen;
    QBrush m_brush;
    QPointF m_brushOrigin;
    double m_opacity = 1;
    QPainter::CompositionMode m_mode = QPainter::CompositionMode_SourceOver;
    bool m_smooth = false;
    bool m_clipEnabled = false;
    QVector<QPainterPath> m_clips; // device dots, intersected
    bool m_clipDirty = false;

    QByteArray m_content;
    EmittedState m_emitted;
    // Resources of the current page: name to object.
    QMap<QByteArray, int> m_pageFonts, m_pageImages, m_pageStates, m_pagePatterns;

    // Shared by all pages.
    QHash<qint64, int> m_images; // by QImage::cacheKey
    QHash<QByteArray, int> m_states;
    std::vector<std::unique_ptr<PdfFont>> m_fonts;
    QHash<QByteArray, PdfFont *> m_fontsByKey;
    // The fonts drawn with last, so that a run does not read the font's tables to find its entry.
    QVector<QPair<QRawFont, PdfFont *>> m_recentFonts;
};

OfdPdfEngine::OfdPdfEngine(OfdPdfDevice *device, QIODevice *out)
    : QPaintEngine(PaintEngineFeatures(AllFeatures) &
                   ~PaintEngineFeatures(PorterDuff | PerspectiveTransform | ObjectBoundingModeGradients |
                                        ConicalGradientFill | RasterOpModes)),
      m_device(device), m_writer(out)
{
}

OfdPdfEngine::~OfdPdfEngine() = default;

bool OfdPdfEngine::begin(QPaintDevice *)
{
    if (!m_writer.Begin()) {
        m_failed = true;
        return false;
    }
    m_pagesId = m_writer.Reserve();
    StartPage();
    setActive(true);
    return true;
}

bool OfdPdfEngine::end()
{
    if (m_pageOpen)
        FinishPage();
    WriteFonts();
    QByteArray kids;
    kids.reserve(m_pageIds.size() * 8);
    for (int id : qAsConst(m_pageIds)) {
        kids += OfdPdfSyntax::Ref(id);
        kids += ' ';
    }
    m_writer.WriteObject(m_pagesId, "<</Type/Pages/Kids[" + kids + "]/Count " +
                                        QByteArray::number(m_pageIds.size()) + ">>");
    const int catalog = m_writer.Reserve();
    m_writer.WriteObject(catalog, "<</Type/Catalog/Pages " + OfdPdfSyntax::Ref(m_pagesId) + ">>");
    const int info = m_writer.Reserve();
    QByteArray infoDict = "<</Producer " + OfdPdfSyntax::TextString(QStringLiteral("OFD Reader"));
    if (!creator.isEmpty())
        infoDict += "/Creator " + OfdPdfSyntax::TextString(creator);
    if (!title.isEmpty())
        infoDict += "/Title " + OfdPdfSyntax::TextString(title);
    infoDict += "/CreationDate (D:" +
                QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                "Z)>>";
    m_writer.WriteObject(info, infoDict);
    const bool ok = m_writer.Finish(catalog, info) && !m_failed;
    setActive(false);
    return ok;
}

void OfdPdfEngine::StartPage()
{
    const QSizeF mm = m_device->PageSizeMM();
    m_pagePoints = QSizeF(mm.width() * 72 / 25.4, mm.height() * 72 / 25.4);
    const double s = 72.0 / m_device->Resolution();
    m_base = QTransform(s, 0, 0, -s, 0, m_pagePoints.height());
    m_content.clear();
    m_content.reserve(64 * 1024);
    AppendMatrix(m_content, m_base);
    m_content += "cm\nq\n";
    ResetEmitted();
    m_pageFonts.clear();
    m_pageImages.clear();
    m_pageStates.clear();
    m_pagePatterns.clear();
    // The clip, when there is one, is written again on the new page.
    m_clipDirty = m_clipEnabled && !m_clips.isEmpty();
    m_pageOpen = true;
}

void OfdPdfEngine::FinishPage()
{
    m_content += "Q\n";
    const int contents = m_writer.Reserve();
    m_writer.WriteStream(contents, QByteArray(), m_content);
    m_content.clear();
    m_content.squeeze();
    const int page = m_writer.Reserve();
    QByteArray dict = "<</Type/Page/Parent " + OfdPdfSyntax::Ref(m_pagesId) + "/MediaBox[0 0 ";
    AppendNumber(dict, m_pagePoints.width(), 3);
    dict += ' ';
    AppendNumber(dict, m_pagePoints.height(), 3);
    dict += "]/Contents " + OfdPdfSyntax::Ref(contents) + "/Resources<<";
    auto resources = [&dict](const char *kind, const QMap<QByteArray, int> &map) {
        if (map.isEmpty())
            return;
        dict += kind;
        dict += "<<";
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            dict += '/' + it.key() + ' ' + OfdPdfSyntax::Ref(it.value());
        dict += ">>";
    };
    resources("/Font", m_pageFonts);
    resources("/XObject", m_pageImages);
    resources("/ExtGState", m_pageStates);
    resources("/Pattern", m_pagePatterns);
    dict += ">>>>";
    m_writer.WriteObject(page, dict);
    m_pageIds.append(page);
    m_pageOpen = false;
}

bool OfdPdfEngine::NewPage()
{
    if (!isActive())
        return false;
    FinishPage();
    StartPage();
    return !HasError();
}

void OfdPdfEngine::updateState(const QPaintEngineState &newState)
{
    const DirtyFlags flags = newState.state();
    if (flags & DirtyTransform)
        m_matrix = newState.transform();
    if (flags & DirtyPen)
        m_pen = newState.pen();
    if (flags & DirtyBrush)
        m_brush = newState.brush();
    if (flags & DirtyBrushOrigin)
        m_brushOrigin = newState.brushOrigin();
    if (flags & DirtyOpacity)
        m_opacity = qBound(0.0, double(newState.opacity()), 1.0);
    if (flags & DirtyCompositionMode)
        m_mode = newState.compositionMode();
    if (flags & DirtyHints)
        m_smooth = newState.renderHints() & QPainter::SmoothPixmapTransform;
    if (flags & DirtyClipEnabled) {
        m_clipEnabled = newState.isClipEnabled();
        m_clipDirty = true;
    }
    if (flags & DirtyClipPath)
        UpdateClip(newState.clipPath(), newState.clipOperation());
    if (flags & DirtyClipRegion) {
        QPainterPath path;
        path.addRegion(newState.clipRegion());
        UpdateClip(path, newState.clipOperation());
    }
}

void OfdPdfEngine::UpdateClip(const QPainterPath &path, Qt::ClipOperation op)
{
    const QPainterPath mapped = m_matrix.map(path);
    switch (op) {
    case Qt::NoClip:
        m_clips.clear();
        m_clipEnabled = false;
        break;
    case Qt::ReplaceClip:
        m_clips.clear();
        m_clips.append(mapped);
        m_clipEnabled = true;
        break;
    case Qt::IntersectClip:
        m_clips.append(mapped);
        m_clipEnabled = true;
        break;
    }
    m_clipDirty = true;
}

void OfdPdfEngine::ApplyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    m_content += "Q\nq\n";
    ResetEmitted();
    if (!m_clipEnabled)
        return;
    for (const QPainterPath &clip : qAsConst(m_clips)) {
        if (clip.isEmpty()) {
            // Nothing shows through an empty clip.
            m_content += "0 0 m W n\n";
            continue;
        }
        AppendPath(clip);
        m_content += clip.fillRule() == Qt::OddEvenFill ? "W* n\n" : "W n\n";
    }
}

void OfdPdfEngine::AppendPath(const QPainterPath &path)
{
    QByteArray &out = m_content;
    const int count = path.elementCount();
    QPointF start;
    QPointF last;
    int subpathElements = 0;
    auto closeIfClosed = [&]() {
        if (subpathElements > 2 && last == start)
            out += "h\n";
    };
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            closeIfClosed();
            AppendNumber(out, e.x, kCoordPlaces);
            out += ' ';
            AppendNumber(out, e.y, kCoordPlaces);
            out += " m\n";
            start = last = QPointF(e.x, e.y);
            subpathElements = 1;
            break;
        case QPainterPath::LineToElement:
            AppendNumber(out, e.x, kCoordPlaces);
            out += ' ';
            AppendNumber(out, e.y, kCoordPlaces);
            out += " l\n";
            last = QPointF(e.x, e.y);
            ++subpathElements;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < count) {
                const QPainterPath::Element &c2 = path.elementAt(i + 1);
                const QPainterPath::Element &end = path.elementAt(i + 2);
                const double v[6] = {e.x, e.y, c2.x, c2.y, end.x, end.y};
                for (int k = 0; k < 6; ++k) {
                    AppendNumber(out, v[k], kCoordPlaces);
                    out += ' ';
                }
                out += "c\n";
                last = QPointF(end.x, end.y);
                ++subpathElements;
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    closeIfClosed();
}

void OfdPdfEngine::SetExtState(double fillAlpha, double strokeAlpha)
{
    fillAlpha = qBound(0.0, fillAlpha, 1.0);
    strokeAlpha = qBound(0.0, strokeAlpha, 1.0);
    const bool multiply = m_mode == QPainter::CompositionMode_Multiply;
    QByteArray key;
    if (fillAlpha < 0.9995 || strokeAlpha < 0.9995 || multiply) {
        key = "/ca " + OfdPdfSyntax::Number(fillAlpha) + "/CA " + OfdPdfSyntax::Number(strokeAlpha);
        if (multiply)
            key += "/BM/Multiply";
    }
    if (key == m_emitted.extState)
        return;
    // Each drawing sets both alphas to its own; the default state is written out too, to undo an
    // earlier one within the same clip.
    const QByteArray dictKey = key.isEmpty() ? QByteArray("/ca 1/CA 1/BM/Normal") : key;
    int id = m_states.value(dictKey);
    if (!id) {
        id = m_writer.Reserve();
        m_writer.WriteObject(id, "<</Type/ExtGState" + dictKey + ">>");
        m_states.insert(dictKey, id);
    }
    const QByteArray name = "G" + QByteArray::number(id);
    m_pageStates.insert(name, id);
    m_content += '/' + name + " gs\n";
    m_emitted.extState = key;
}

int OfdPdfEngine::GradientPattern(const QBrush &brush, const QTransform &brushMatrix, double &alpha)
{
    const QGradient *gradient = brush.gradient();
    if (!gradient || gradient->coordinateMode() != QGradient::LogicalMode)
        return 0;
    QByteArray shading;
    if (gradient->type() == QGradient::LinearGradient) {
        const auto *linear = static_cast<const QLinearGradient *>(gradient);
        shading = "<</ShadingType 2/ColorSpace/DeviceRGB/Coords[";
        for (double v :
             {linear->start().x(), linear->start().y(), linear->finalStop().x(), linear->finalStop().y()}) {
            AppendNumber(shading, v, 4);
            shading += ' ';
        }
    } else if (gradient->type() == QGradient::RadialGradient) {
        const auto *radial = static_cast<const QRadialGradient *>(gradient);
        shading = "<</ShadingType 3/ColorSpace/DeviceRGB/Coords[";
        for (double v : {radial->focalPoint().x(), radial->focalPoint().y(), radial->focalRadius(),
                         radial->center().x(), radial->center().y(), radial->centerRadius()}) {
            AppendNumber(shading, v, 4);
            shading += ' ';
        }
    } else {
        return 0;
    }
    QGradientStops stops = gradient->stops();
    if (stops.isEmpty())
        return 0;
    if (stops.first().first > 0)
        stops.prepend(qMakePair(qreal(0), stops.first().second));
    if (stops.last().first < 1)
        stops.append(qMakePair(qreal(1), stops.last().second));
    double alphaSum = 0;
    for (const QGradientStop &stop : qAsConst(stops))
        alphaSum += stop.second.alphaF();
    alpha = alphaSum / stops.size();
    auto exponential = [](const QColor &a, const QColor &b) {
        QByteArray f = "<</FunctionType 2/Domain[0 1]/N 1/C0[";
        AppendColour(f, a.rgb());
        f += "]/C1[";
        AppendColour(f, b.rgb());
        f += "]>>";
        return f;
    };
    QByteArray function;
    if (stops.size() == 2) {
        function = exponential(stops[0].second, stops[1].second);
    } else {
        QByteArray parts, bounds, encode;
        for (int i = 0; i + 1 < stops.size(); ++i) {
            parts += exponential(stops[i].second, stops[i + 1].second);
            encode += "0 1 ";
            if (i + 1 < stops.size() - 1) {
                AppendNumber(bounds, qBound(0.0, double(stops[i + 1].first), 1.0), 4);
                bounds += ' ';
            }
        }
        function = "<</FunctionType 3/Domain[0 1]/Functions[" + parts + "]/Bounds[" + bounds + "]/Encode[" +
                   encode + "]>>";
    }
    shading += "]/Function" + function + "/Extend[true true]>>";
    QByteArray matrix;
    AppendMatrix(matrix, brushMatrix * m_matrix * m_base);
    const int id = m_writer.Reserve();
    m_writer.WriteObject(id, "<</Type/Pattern/PatternType 2/Shading" + shading + "/Matrix[" + matrix + "]>>");
    return id;
}

bool OfdPdfEngine::SetFill(const QBrush &brush, const QTransform &brushMatrix, double &alpha)
{
    alpha = brush.color().alphaF();
    if (brush.style() == Qt::NoBrush)
        return false;
    if (brush.gradient()) {
        if (const int id = GradientPattern(brush, brushMatrix, alpha)) {
            const QByteArray name = "P" + QByteArray::number(id);
            m_pagePatterns.insert(name, id);
            m_content += "/Pattern cs/" + name + " scn\n";
            m_emitted.fillKnown = false;
            m_emitted.fillPattern = name;
            return true;
        }
        // Gradients PDF has no shading for: their first colour.
        const QGradientStops stops = brush.gradient()->stops();
        const QColor colour = stops.isEmpty() ? QColor(Qt::black) : stops.first().second;
        alpha = colour.alphaF();
        const QRgb rgb = colour.rgb();
        if (!m_emitted.fillKnown || m_emitted.fill != rgb) {
            AppendColour(m_content, rgb);
            m_content += " rg\n";
            m_emitted.fillKnown = true;
            m_emitted.fill = rgb;
        }
        return true;
    }
    // Solid colours, and the colour of pattern and texture brushes, which are not used for pages.
    const QRgb rgb = brush.color().rgb();
    if (!m_emitted.fillKnown || m_emitted.fill != rgb) {
        AppendColour(m_content, rgb);
        m_content += " rg\n";
        m_emitted.fillKnown = true;
        m_emitted.fill = rgb;
        m_emitted.fillPattern.clear();
    }
    return true;
}

void OfdPdfEngine::SetStroke(const QColor &colour)
{
    const QRgb rgb = colour.rgb();
    if (m_emitted.strokeKnown && m_emitted.stroke == rgb)
        return;
    AppendColour(m_content, rgb);
    m_content += " RG\n";
    m_emitted.strokeKnown = true;
    m_emitted.stroke = rgb;
}

void OfdPdfEngine::FillDevicePath(const QPainterPath &devicePath, const QBrush &brush,
                                  const QTransform &brushMatrix)
{
    if (devicePath.isEmpty())
        return;
    ApplyClip();
    double alpha = 1;
    if (!SetFill(brush, brushMatrix, alpha))
        return;
    SetExtState(alpha * m_opacity, alpha * m_opacity);
    AppendPath(devicePath);
    m_content += devicePath.fillRule() == Qt::OddEvenFill ? "f*\n" : "f\n";
}

void OfdPdfEngine::FillPath(const QPainterPath &logical, const QBrush &brush)
{
    const QTransform brushMatrix =
        brush.transform() * QTransform::fromTranslate(m_brushOrigin.x(), m_brushOrigin.y());
    FillDevicePath(m_matrix.map(logical), brush, brushMatrix);
}

void OfdPdfEngine::StrokePath(const QPainterPath &logical)
{
    if (m_pen.style() == Qt::NoPen || logical.isEmpty())
        return;
    const QBrush penBrush = m_pen.brush();
    if (penBrush.style() == Qt::NoBrush)
        return;
    const bool cosmetic = m_pen.isCosmetic();
    const bool similar = IsSimilarity(m_matrix);
    if (penBrush.style() != Qt::SolidPattern || (!cosmetic && !similar)) {
        // The outline of the stroke, filled.
        QPainterPathStroker stroker(m_pen);
        if (cosmetic) {
            stroker.setWidth(qMax(1.0, double(m_pen.widthF())));
            QPainterPath outline = stroker.createStroke(m_matrix.map(logical));
            outline.setFillRule(Qt::WindingFill);
            FillDevicePath(outline, penBrush, penBrush.transform());
        } else {
            QPainterPath outline = stroker.createStroke(logical);
            outline.setFillRule(Qt::WindingFill);
            FillDevicePath(m_matrix.map(outline), penBrush, penBrush.transform());
        }
        return;
    }
    ApplyClip();
    const double scale = std::sqrt(std::abs(m_matrix.determinant()));
    const double width = cosmetic ? m_pen.widthF() : m_pen.widthF() * scale;
    if (width != m_emitted.lineWidth) {
        AppendNumber(m_content, width, kCoordPlaces + 1);
        m_content += " w\n";
        m_emitted.lineWidth = width;
    }
    const int cap = m_pen.capStyle() == Qt::RoundCap ? 1 : m_pen.capStyle() == Qt::SquareCap ? 2 : 0;
    if (cap != m_emitted.cap) {
        m_content += QByteArray::number(cap) + " J\n";
        m_emitted.cap = cap;
    }
    const int join = m_pen.joinStyle() == Qt::RoundJoin ? 1 : m_pen.joinStyle() == Qt::BevelJoin ? 2 : 0;
    if (join != m_emitted.join) {
        m_content += QByteArray::number(join) + " j\n";
        m_emitted.join = join;
    }
    if (join == 0) {
        // Qt measures how far a miter reaches from the join in pen widths; PDF the whole miter.
        const double miter = qMax(1.0, 2 * m_pen.miterLimit());
        if (miter != m_emitted.miter) {
            AppendNumber(m_content, miter, 2);
            m_content += " M\n";
            m_emitted.miter = miter;
        }
    }
    QByteArray dash = "[]0";
    if (m_pen.style() != Qt::SolidLine) {
        const double unit = cosmetic ? qMax(1.0, width) : qMax(1e-3, width);
        dash = "[";
        const QVector<qreal> pattern = m_pen.dashPattern();
        bool any = false;
        for (qreal v : pattern) {
            AppendNumber(dash, v * unit, kCoordPlaces);
            dash += ' ';
            any = any || v > 0;
        }
        dash += ']';
        AppendNumber(dash, m_pen.dashOffset() * unit, kCoordPlaces);
        if (!any)
            dash = "[]0";
    }
    if (dash != m_emitted.dash) {
        m_content += dash + " d\n";
        m_emitted.dash = dash;
    }
    SetStroke(penBrush.color());
    const double alpha = penBrush.color().alphaF() * m_opacity;
    SetExtState(alpha, alpha);
    AppendPath(m_matrix.map(logical));
    m_content += "S\n";
}

void OfdPdfEngine::drawPath(const QPainterPath &path)
{
    if (m_brush.style() != Qt::NoBrush)
        FillPath(path, m_brush);
    StrokePath(path);
}

void OfdPdfEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode)
{
    if (!points || pointCount < 2)
        return;
    QPainterPath path;
    path.moveTo(points[0]);
    for (int i = 1; i < pointCount; ++i)
        path.lineTo(points[i]);
    if (mode == PolylineMode) {
        StrokePath(path);
        return;
    }
    path.closeSubpath();
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    drawPath(path);
}

void OfdPdfEngine::drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr)
{
    drawImage(r, pm.toImage(), sr);
}

int OfdPdfEngine::ImageObject(const QImage &source)
{
    const qint64 key = source.cacheKey();
    if (const int known = m_images.value(key))
        return known;
    const int w = source.width();
    const int h = source.height();
    const QByteArray size = "/Type/XObject/Subtype/Image/Width " + QByteArray::number(w) + "/Height " +
                            QByteArray::number(h) + (m_smooth ? "/Interpolate true" : "");
    const int id = m_writer.Reserve();
    // Two-colour black and white pictures (scans) keep one bit per pixel.
    if (source.depth() == 1 && source.colorCount() == 2) {
        const QRgb zero = source.color(0);
        const QRgb one = source.color(1);
        const bool blackZero = qGray(zero) < 128 && qGray(one) >= 128;
        const bool whiteZero = qGray(zero) >= 128 && qGray(one) < 128;
        if ((blackZero || whiteZero) && qAlpha(zero) == 255 && qAlpha(one) == 255) {
            const QImage mono =
                source.format() == QImage::Format_Mono ? source : source.convertToFormat(QImage::Format_Mono);
            const int rowBytes = (w + 7) / 8;
            QByteArray bits(rowBytes * h, Qt::Uninitialized);
            for (int y = 0; y < h; ++y)
                memcpy(bits.data() + y * rowBytes, mono.constScanLine(y), size_t(rowBytes));
            m_writer.WriteStream(
                id, size + "/ColorSpace/DeviceGray/BitsPerComponent 1" + (whiteZero ? "/Decode[1 0]" : ""),
                bits);
            m_images.insert(key, id);
            return id;
        }
    }
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    bool gray = true;
    for (int y = 0; y < h && (opaque || gray); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            opaque = opaque && qAlpha(p) == 255;
            gray = gray && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
        }
    }
    QByteArray entries =
        size + (gray ? "/ColorSpace/DeviceGray" : "/ColorSpace/DeviceRGB") + "/BitsPerComponent 8";
    if (!opaque) {
        QByteArray alpha(w * h, Qt::Uninitialized);
        char *a = alpha.data();
        for (int y = 0; y < h; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < w; ++x)
                *a++ = char(qAlpha(line[x]));
        }
        const int mask = m_writer.Reserve();
        m_writer.WriteStream(mask,
                             "/Type/XObject/Subtype/Image/Width " + QByteArray::number(w) + "/Height " +
                                 QByteArray::number(h) + "/ColorSpace/DeviceGray/BitsPerComponent 8",
                             alpha);
        entries += "/SMask " + OfdPdfSyntax::Ref(mask);
    }
    if (opaque && w * qint64(h) >= kJpegMinPixels && source.format() != QImage::Format_Indexed8) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(kJpegQuality);
        if (writer.write(gray ? argb.convertToFormat(QImage::Format_Grayscale8)
                              : argb.convertToFormat(QImage::Format_RGB888))) {
            m_writer.WriteEncodedStream(id, entries, "/DCTDecode", jpeg);
            m_images.insert(key, id);
            return id;
        }
    }
    QByteArray samples(w * h * (gray ? 1 : 3), Qt::Uninitialized);
    char *s = samples.data();
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            if (gray) {
                *s++ = char(qRed(p));
            } else {
                *s++ = char(qRed(p));
                *s++ = char(qGreen(p));
                *s++ = char(qBlue(p));
            }
        }
    }
    m_writer.WriteStream(id, entries, samples);
    m_images.insert(key, id);
    return id;
}

void OfdPdfEngine::drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags)
{
    if (image.isNull() || r.isEmpty())
        return;
    QImage picture = image;
    const QRect part = sr.toAlignedRect().intersected(image.rect());
    if (part.isEmpty())
        return;
    if (part != image.rect())
        picture = image.copy(part);
    if (qint64(picture.width()) * picture.height() > kMaxImagePixels) {
        // Bounded so that the samples of one picture fit in memory and in a stream.
        const double shrink =
            std::sqrt(double(kMaxImagePixels) / (qint64(picture.width()) * picture.height()));
        picture =
            picture.scaled(qMax(1, int(picture.width() * shrink)), qMax(1, int(picture.height() * shrink)),
                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    ApplyClip();
    PlaceImage(r, ImageObject(picture));
}

void OfdPdfEngine::PlaceImage(const QRectF &r, int id)
{
    const QByteArray name = "I" + QByteArray::number(id);
    m_pageImages.insert(name, id);
    SetExtState(m_opacity, m_opacity);
    const QTransform unit(r.width(), 0, 0, -r.height(), r.x(), r.y() + r.height());
    m_content += "q\n";
    AppendMatrix(m_content, unit * m_matrix);
    m_content += "cm/" + name + " Do\nQ\n";
}

bool OfdPdfEngine::DrawJpeg(const QRectF &r, const QImage &image, const QByteArray &jpeg)
{
    int width = 0, height = 0, components = 0;
    if (image.isNull() || image.hasAlphaChannel() || !JpegFrame(jpeg, width, height, components) ||
        width != image.width() || height != image.height() || (components != 1 && components != 3))
        return false;
    if (r.isEmpty())
        return true;
    ApplyClip();
    int id = m_images.value(image.cacheKey());
    if (!id) {
        id = m_writer.Reserve();
        m_writer.WriteEncodedStream(
            id,
            "/Type/XObject/Subtype/Image/Width " + QByteArray::number(width) + "/Height " +
                QByteArray::number(height) +
                (components == 1 ? "/ColorSpace/DeviceGray" : "/ColorSpace/DeviceRGB") +
                "/BitsPerComponent 8" + (m_smooth ? "/Interpolate true" : ""),
            "/DCTDecode", jpeg);
        m_images.insert(image.cacheKey(), id);
    }
    PlaceImage(r, id);
    return true;
}

bool OfdPdfEngine::JpegFrame(const QByteArray &jpeg, int &width, int &height, int &components)
{
    const auto *b = reinterpret_cast<const uchar *>(jpeg.constData());
    const int n = jpeg.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return false;
    int at = 2;
    while (at + 4 <= n) {
        if (b[at] != 0xFF)
            return false;
        const uchar marker = b[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        const int length = (b[at + 2] << 8) | b[at + 3];
        if (length < 2 || at + 2 + length > n)
            return false;
        // Baseline, extended and progressive Huffman frames; readers do not all take arithmetic coding.
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (length < 8 || b[at + 4] != 8)
                return false; // 8-bit samples only
            height = (b[at + 5] << 8) | b[at + 6];
            width = (b[at + 7] << 8) | b[at + 8];
            components = b[at + 9];
            return width > 0 && height > 0;
        }
        if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) ||
            marker == 0xDA)
            return false;
        at += 2 + length;
    }
    return false;
}

QByteArray OfdPdfEngine::FontKey(const QRawFont &font) const
{
    QByteArray key = font.familyName().toUtf8() + '\x1f' + font.styleName().toUtf8() + '\x1f' +
                     QByteArray::number(font.weight()) + '\x1f' + QByteArray::number(int(font.style()));
    const QByteArray head = font.fontTable("head");
    if (!head.isEmpty()) {
        key += head + font.fontTable("maxp") + font.fontTable("hhea");
    } else {
        // Bare CFF and Type 1 fonts have no tables; their first glyphs' advances tell files apart.
        QVector<quint32> glyphs(64);
        for (int i = 0; i < glyphs.size(); ++i)
            glyphs[i] = quint32(i);
        const QVector<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        const double size = font.pixelSize() > 0 ? font.pixelSize() : 1;
        for (const QPointF &a : advances)
            key += QByteArray::number(qRound(a.x() * 10000 / size)) + ',';
    }
    return key;
}

PdfFont *OfdPdfEngine::FontFor(const QRawFont &font)
{
    for (const QPair<QRawFont, PdfFont *> &recent : qAsConst(m_recentFonts)) {
        if (recent.first == font)
            return recent.second;
    }
    const QByteArray key = FontKey(font);
    PdfFont *entry = m_fontsByKey.value(key);
    if (!entry) {
        auto made = std::make_unique<PdfFont>();
        made->type0 = m_writer.Reserve();
        made->resource = "F" + QByteArray::number(made->type0);
        made->subset = std::make_unique<OfdPdfFontSubset>(font);
        made->family = font.familyName();
        entry = made.get();
        m_fonts.push_back(std::move(made));
        m_fontsByKey.insert(key, entry);
    }
    if (m_recentFonts.size() >= 16)
        m_recentFonts.removeLast();
    m_recentFonts.prepend(qMakePair(font, entry));
    return entry;
}

void OfdPdfEngine::DrawGlyphRun(const QPointF &origin, const QGlyphRun &run,
                                const std::function<QString(int)> &textOf)
{
    const QVector<quint32> glyphs = run.glyphIndexes();
    const QVector<QPointF> positions = run.positions();
    const QRawFont font = run.rawFont();
    const int count = qMin(glyphs.size(), positions.size());
    if (count == 0 || !font.isValid() || m_pen.style() == Qt::NoPen)
        return;
    const QBrush brush = m_pen.brush();
    const double pixelSize = font.pixelSize();
    if (brush.style() != Qt::SolidPattern || !(pixelSize > 0)) {
        // Text in gradients: the outlines, filled.
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        for (int i = 0; i < count; ++i)
            outline.addPath(font.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
        FillPath(outline, brush);
        return;
    }
    PdfFont *pdfFont = FontFor(font);
    ApplyClip();
    double alpha = 1;
    SetFill(brush, QTransform(), alpha);
    SetExtState(alpha * m_opacity, alpha * m_opacity);
    m_pageFonts.insert(pdfFont->resource, pdfFont->type0);

    QByteArray &out = m_content;
    out += "BT/";
    out += pdfFont->resource;
    out += " 1 Tf\n";
    OfdPdfFontSubset &subset = *pdfFont->subset;
    QVector<QString> &unicode = pdfFont->unicode;
    QVector<double> &widths = pdfFont->widths;
    std::vector<quint16> &ids = pdfFont->ids;
    const quint32 *glyph = glyphs.constData();
    const QPointF *position = positions.constData();
    bool inArray = false;
    bool inHex = false;
    double lineY = 0;
    double previousX = 0;
    double previousAdvance = 0; // thousandths of an em
    const double epsilon = pixelSize * 1e-6;
    const double toThousandths = 1000 / pixelSize;
    for (int i = 0; i < count; ++i) {
        quint16 id = glyph[i] < ids.size() ? ids[glyph[i]] : 0;
        if (id == 0) {
            id = subset.Add(glyph[i]);
            if (id == 0 && glyph[i] != 0)
                continue; // the subset is full
            if (glyph[i] < 0x10000) {
                if (ids.size() <= glyph[i])
                    ids.resize(qMax<size_t>(glyph[i] + 1, ids.size() * 2), 0);
                ids[glyph[i]] = id;
            }
        }
        if ((id >= unicode.size() || unicode[id].isEmpty()) && textOf) {
            // The first text a glyph stands for is the one the file's text gives it.
            const QString text = textOf(i);
            if (!text.isEmpty()) {
                if (unicode.size() <= id)
                    unicode.resize(qMax(int(id) + 1, unicode.size() * 2));
                unicode[id] = text;
            }
        }
        const double x = origin.x() + position[i].x();
        const double y = origin.y() + position[i].y();
        if (!inArray || std::abs(y - lineY) > epsilon) {
            if (inHex)
                out += '>';
            if (inArray)
                out += "]TJ\n";
            AppendMatrix(out, QTransform(pixelSize, 0, 0, -pixelSize, x, y) * m_matrix);
            out += "Tm[<";
            inArray = true;
            inHex = true;
            lineY = y;
        } else {
            // How far the glyph before moved the pen, against where this glyph goes.
            const double adjust = previousAdvance - (x - previousX) * toThousandths;
            if (adjust >= 0.005 || adjust <= -0.005) {
                if (inHex)
                    out += '>';
                AppendNumber(out, adjust, 2);
                out += '<';
                inHex = true;
            } else if (!inHex) {
                out += '<';
                inHex = true;
            }
        }
        AppendHex4(out, id);
        previousX = x;
        while (widths.size() <= id)
            widths.append(std::round(subset.Advance1000(quint16(widths.size())) * 100) / 100);
        previousAdvance = widths[id];
    }
    if (inHex)
        out += '>';
    if (inArray)
        out += "]TJ\n";
    out += "ET\n";
}

void OfdPdfEngine::WriteFonts()
{
    int number = 0;
    for (const std::unique_ptr<PdfFont> &font : m_fonts) {
        OfdPdfFontSubset &subset = *font->subset;
        const QByteArray baseName = PostScriptName(font->family, number++);
        const QByteArray program = subset.Build();
        const int file = m_writer.Reserve();
        m_writer.WriteStream(file, "/Length1 " + QByteArray::number(program.size()), program);
        const QRectF box = subset.BBox1000();
        QByteArray descriptor =
            "<</Type/FontDescriptor/FontName" + OfdPdfSyntax::Name(baseName) + "/Flags 4/FontBBox[";
        for (double v : {box.left(), box.top(), box.right(), box.bottom()}) {
            AppendNumber(descriptor, v, 0);
            descriptor += ' ';
        }
        descriptor += "]/ItalicAngle 0/Ascent ";
        AppendNumber(descriptor, subset.Ascent1000(), 0);
        descriptor += "/Descent ";
        AppendNumber(descriptor, subset.Descent1000(), 0);
        descriptor += "/CapHeight ";
        AppendNumber(descriptor, subset.Ascent1000(), 0);
        descriptor += "/StemV 80/FontFile2 " + OfdPdfSyntax::Ref(file) + ">>";
        const int descriptorId = m_writer.Reserve();
        m_writer.WriteObject(descriptorId, descriptor);

        QByteArray widths = "[0[";
        for (int id = 0; id < subset.GlyphCount(); ++id) {
            AppendNumber(widths, std::round(subset.Advance1000(quint16(id)) * 100) / 100, 2);
            widths += ' ';
        }
        widths += "]]";
        const int cid = m_writer.Reserve();
        m_writer.WriteObject(
            cid, "<</Type/Font/Subtype/CIDFontType2/BaseFont" + OfdPdfSyntax::Name(baseName) +
                     "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>"
                     "/FontDescriptor " +
                     OfdPdfSyntax::Ref(descriptorId) + "/CIDToGIDMap/Identity/DW 1000/W" + widths + ">>");

        QByteArray cmap = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                          "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
                          "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
        QVector<int> mapped;
        for (int id = 1; id < font->unicode.size(); ++id) {
            if (!font->unicode[id].isEmpty())
                mapped.append(id);
        }
        for (int start = 0; start < mapped.size(); start += 100) {
            const int n = qMin(100, mapped.size() - start);
            cmap += QByteArray::number(n) + " beginbfchar\n";
            for (int k = start; k < start + n; ++k) {
                const int id = mapped[k];
                cmap += '<';
                AppendHex4(cmap, quint16(id));
                cmap += "><";
                for (QChar c : font->unicode[id])
                    AppendHex4(cmap, c.unicode());
                cmap += ">\n";
            }
            cmap += "endbfchar\n";
        }
        cmap += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
        const int toUnicode = m_writer.Reserve();
        m_writer.WriteStream(toUnicode, QByteArray(), cmap);

        m_writer.WriteObject(font->type0,
                             "<</Type/Font/Subtype/Type0/BaseFont" + OfdPdfSyntax::Name(baseName) +
                                 "/Encoding/Identity-H/DescendantFonts[" + OfdPdfSyntax::Ref(cid) +
                                 "]/ToUnicode " + OfdPdfSyntax::Ref(toUnicode) + ">>");
    }
}

OfdPdfDevice::OfdPdfDevice(QIODevice *out, int resolution)
    : m_resolution(qBound(72, resolution, 4800)), m_engine(std::make_unique<OfdPdfEngine>(this, out))
{
}

OfdPdfDevice::~OfdPdfDevice() = default;

void OfdPdfDevice::SetCreator(const QString &creator)
{
    m_engine->creator = creator;
}

void OfdPdfDevice::SetTitle(const QString &title)
{
    m_engine->title = title;
}

void OfdPdfDevice::SetPageSizeMM(const QSizeF &size)
{
    if (size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) && std::isfinite(size.height()))
        m_pageSize = QSizeF(qMin(size.width(), 5000.0), qMin(size.height(), 5000.0));
}

bool OfdPdfDevice::NewPage()
{
    return m_engine->NewPage();
}

bool OfdPdfDevice::HasError() const
{
    return m_engine->HasError();
}

QPaintEngine *OfdPdfDevice::paintEngine() const
{
    return m_engine.get();
}

int OfdPdfDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return qRound(m_pageSize.width() * m_resolution / 25.4);
    case PdmHeight:
        return qRound(m_pageSize.height() * m_resolution / 25.4);
    case PdmWidthMM:
        return qRound(m_pageSize.width());
    case PdmHeightMM:
        return qRound(m_pageSize.height());
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_resolution;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

void OfdPdfDevice::DrawImage(QPainter *painter, const QRectF &target, const QImage &image,
                             const QByteArray &encoded)
{
    if (OfdPdfEngine *engine = EngineOf(painter)) {
        engine->syncState();
        if (engine->DrawJpeg(target, image, encoded))
            return;
    }
    painter->drawImage(target, image);
}

OfdPdfEngine *OfdPdfDevice::EngineOf(QPainter *painter)
{
    QPaintEngine *engine = painter ? painter->paintEngine() : nullptr;
    return engine && engine->type() == kEngineType ? static_cast<OfdPdfEngine *>(engine) : nullptr;
}

void OfdPdfDevice::DrawGlyphRun(QPainter *painter, const QPointF &origin, const QGlyphRun &run,
                                const std::function<QString(int)> &textOf)
{
    if (OfdPdfEngine *engine = EngineOf(painter)) {
        // The painter hands its state over only when it draws itself.
        engine->syncState();
        engine->DrawGlyphRun(origin, run, textOf);
        return;
    }
    painter->drawGlyphRun(origin, run);
}
