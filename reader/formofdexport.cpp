// Export of the document view: PNG pictures and PDF files (vector pages or page pictures).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryFile>

#include <climits>
#include <cstdio>
#include <memory>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "reader/formofd.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdvisualitemsignseal.h"
#include "render/pdf/ofdpdfengine.h"

namespace {
// A paint engine that draws nothing and notes whether anything was asked of it that the PDF
// engine cannot reproduce: composition modes other than plain drawing, perspective transforms,
// conical gradients and gradients sized to the object.
class PdfProbeEngine : public QPaintEngine
{
public:
    PdfProbeEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool IsExact() const { return m_exact; }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &newState) override
    {
        const DirtyFlags dirty = newState.state();
        if ((dirty & DirtyCompositionMode) &&
            newState.compositionMode() != QPainter::CompositionMode_SourceOver)
            m_exact = false;
        if ((dirty & DirtyTransform) && !newState.transform().isAffine())
            m_exact = false;
        if (dirty & DirtyBrush)
            CheckBrush(newState.brush());
        if (dirty & DirtyPen)
            CheckBrush(newState.pen().brush());
    }

    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override {}
    void drawTextItem(const QPointF &, const QTextItem &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawRects(const QRect *, int) override {}
    void drawRects(const QRectF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawEllipse(const QRectF &) override {}
    void drawEllipse(const QRect &) override {}
    void drawPoints(const QPointF *, int) override {}
    void drawPoints(const QPoint *, int) override {}

private:
    void CheckBrush(const QBrush &brush)
    {
        if (brush.style() == Qt::ConicalGradientPattern)
            m_exact = false;
        if (const QGradient *gradient = brush.gradient()) {
            if (gradient->coordinateMode() == QGradient::ObjectBoundingMode ||
                gradient->coordinateMode() == QGradient::ObjectMode)
                m_exact = false;
        }
    }

    bool m_exact = true;
};

// The device the probe engine paints on, sized like a page at 96 dots per inch.
class PdfProbeDevice : public QPaintDevice
{
public:
    explicit PdfProbeDevice(const QSize &size) : m_size(size.expandedTo(QSize(1, 1))) {}
    ~PdfProbeDevice() override = default;

    QPaintEngine *paintEngine() const override { return &m_engine; }
    bool IsExact() const { return m_engine.IsExact(); }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return qRound(m_size.width() * 25.4 / 96);
        case PdmHeightMM:
            return qRound(m_size.height() * 25.4 / 96);
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    QSize m_size;
    mutable PdfProbeEngine m_engine;
};

bool IsQuarterTurn(double rotation)
{
    const int quarter = int(rotation) % 360;
    return quarter == 90 || quarter == 270;
}

// The file name without its extension (only an extension of the last path element is removed).
QString StripExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const int slash = qMax(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    return dot > slash + 1 ? fileName.left(dot) : fileName;
}
} // namespace

QProgressDialog *FormOfd::CreateProgress(int total, const QString &title)
{
    if (total < qMax(1, m_progressThreshold))
        return nullptr;
    auto *progress = new QProgressDialog(title, QtHelper::fromString("取消"), 0, total, this);
    progress->setObjectName(QStringLiteral("exportProgress"));
    progress->setWindowTitle(title);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setValue(0);
    return progress;
}

namespace {
// Advances the progress dialog before page done of total; false when the user cancelled.
bool StepProgress(QProgressDialog *progress, int done, int total)
{
    if (!progress)
        return true;
    progress->setLabelText(QtHelper::fromString("正在导出第 %1/%2 页").arg(done + 1).arg(total));
    progress->setValue(done);
    QCoreApplication::processEvents();
    return !progress->wasCanceled();
}

// A new empty file beside target that the export writes first; empty on failure. The caller
// renames it over the target once the export is whole, or removes it.
QString CreatePartFile(const QString &target)
{
    const QFileInfo info(target);
    QTemporaryFile file(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    return file.fileName();
}

// Replaces target by part in one step (the old target stays until then).
bool CommitPartFile(const QString &part, const QString &target)
{
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    QFile::remove(part);
    return false;
}
} // namespace

bool FormOfd::SaveToImage(QString &fileName, int firstNumber)
{
    m_exportCancelled = false;
    const QString base = StripExtension(fileName);
    const int total = GetPageCount();
    std::unique_ptr<QProgressDialog> progress(CreateProgress(total, QtHelper::fromString("导出图片")));
    // Every picture goes to a part file first; only a whole export replaces files of those names.
    QList<QPair<QString, QString>> parts; // part file, target
    bool ok = total > 0;
    for (int i = 0; i < total && ok; ++i) {
        if (!StepProgress(progress.get(), i, total)) {
            m_exportCancelled = true;
            ok = false;
            break;
        }
        const bool wasLive = m_livePages.contains(i);
        FormOfdPage *page = GetPage(i);
        if (!page) {
            ok = false;
            break; // the view was emptied while events were processed
        }
        const QPixmap picture = page->GetPageImage(1.0f);
        // Pages made for the export go at once: the widgets and scenes stay few.
        if (!wasLive)
            ReleasePage(i);
        TrimScenes();
        const QString target = base + QString::number(i + firstNumber + 1) + QStringLiteral(".png");
        const QString part = CreatePartFile(target);
        if (part.isEmpty()) {
            ok = false;
            break;
        }
        parts.append({part, target});
        QFile file(part);
        ok = !picture.isNull() && file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG");
        emit SignalExportProgress(i + 1, total);
    }
    ok = ok && total == GetPageCount();
    for (const auto &part : qAsConst(parts)) {
        if (!ok)
            QFile::remove(part.first);
        else if (!CommitPartFile(part.first, part.second))
            ok = false;
    }
    return ok;
}

bool FormOfd::SaveToPdf(QString &fileName)
{
    return SaveToPdf(fileName, EN_PdfExportMode_Auto);
}

bool FormOfd::SaveToPdf(QString &fileName, EN_PdfExportMode mode)
{
    m_exportCancelled = false;
    if (GetPageCount() == 0 || fileName.isEmpty())
        return false;
    if (mode == EN_PdfExportMode_Auto)
        mode = IsVectorPdfExact() ? EN_PdfExportMode_Vector : EN_PdfExportMode_Picture;
    // The PDF is printed into a part file that replaces the target only when it is whole.
    const QString part = CreatePartFile(fileName);
    if (part.isEmpty())
        return false;
    const bool ok = mode == EN_PdfExportMode_Vector ? SavePdfVector(part) : SavePdfPicture(part);
    if (!ok) {
        QFile::remove(part);
        return false;
    }
    return CommitPartFile(part, fileName);
}

bool FormOfd::IsVectorPdfExact() const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        OfdPageScene *scene = const_cast<FormOfd *>(this)->AcquireScene(i);
        if (!scene)
            return false;
        const QRectF rect = scene->sceneRect();
        PdfProbeDevice device(rect.size().toSize());
        QPainter painter;
        if (!painter.begin(&device))
            return false;
        const OfdSignSealOutputGuard hideSeals(scene);
        scene->render(&painter, QRectF(QPointF(0, 0), rect.size()), rect, Qt::IgnoreAspectRatio);
        painter.end();
        if (!device.IsExact())
            return false;
    }
    return true;
}

bool FormOfd::SavePdfPicture(const QString &fileName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(fileName);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int total = GetPageCount();
    std::unique_ptr<QProgressDialog> progress(CreateProgress(total, QtHelper::fromString("导出PDF")));
    bool ok = true;
    for (int i = 0; i < total; ++i) {
        if (!StepProgress(progress.get(), i, total) || i >= GetPageCount()) {
            m_exportCancelled = i < GetPageCount();
            ok = false;
            break;
        }
        if (i > 0)
            printer.newPage();
        const bool wasLive = m_livePages.contains(i);
        FormOfdPage *page = GetPage(i);
        const double rate = page->GetRate();
        page->ShowPageView(2.0);
        QPixmap picture;
        {
            const OfdSignSealOutputGuard hideSeals(page->GetPageScene());
            picture = page->grab();
        }
        page->ShowPageView(rate);
        if (!wasLive)
            ReleasePage(i);
        TrimScenes();
        painter.resetTransform();
        if (!picture.isNull() && picture.width() > 0) {
            const double scale = double(painter.viewport().width()) / picture.width();
            painter.scale(scale, scale);
            painter.drawPixmap(0, 0, picture);
        }
        emit SignalExportProgress(i + 1, total);
    }
    painter.end();
    return ok;
}

bool FormOfd::SavePdfVector(const QString &fileName)
{
    const bool turned = IsQuarterTurn(m_rotation);
    auto sizeOf = [this, turned](int index) {
        QSizeF mm;
        if (!OfdPageRenderer::GetPageSizeMM(GetOfdFile(), index, mm))
            mm = QSizeF(OfdConvert::OfdPixelToMM(m_pageSizes.value(index).width()),
                        OfdConvert::OfdPixelToMM(m_pageSizes.value(index).height()));
        return turned ? mm.transposed() : mm;
    };
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    OfdPdfDevice device(&file);
    device.SetCreator(QCoreApplication::applicationName());
    device.SetPageSizeMM(sizeOf(0));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int total = GetPageCount();
    std::unique_ptr<QProgressDialog> progress(CreateProgress(total, QtHelper::fromString("导出PDF")));
    bool ok = true;
    for (int i = 0; i < total; ++i) {
        if (!StepProgress(progress.get(), i, total) || i >= GetPageCount()) {
            m_exportCancelled = i < GetPageCount();
            ok = false;
            break;
        }
        if (i > 0) {
            device.SetPageSizeMM(sizeOf(i));
            device.NewPage();
        }
        // Scenes beyond the budget are dropped as the export walks on.
        OfdPageScene *scene = AcquireScene(i);
        const QSizeF paper(device.width(), device.height());
        if (scene && !paper.isEmpty()) {
            const QSizeF size = turned ? paper.transposed() : paper;
            painter.save();
            painter.resetTransform();
            painter.translate(paper.width() / 2, paper.height() / 2);
            painter.rotate(m_rotation);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setRenderHint(QPainter::TextAntialiasing, true);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            const OfdSignSealOutputGuard hideSeals(scene);
            scene->render(&painter, QRectF(QPointF(-size.width() / 2, -size.height() / 2), size),
                          scene->sceneRect(), Qt::IgnoreAspectRatio);
            painter.restore();
        }
        emit SignalExportProgress(i + 1, total);
    }
    const bool written = painter.end() && !device.HasError();
    file.close();
    return ok && written && file.error() == QFile::NoError;
}
