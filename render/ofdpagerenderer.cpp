#include "render/ofdpagerenderer.h"

#include <QPainter>

#include <cmath>

#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"

bool OfdPageRenderer::GetPageSizeMM(OfdFile *document, int pageIndex, QSizeF &size)
{
    QRectF box;
    if (!document || !document->GetPageArea_PhysicalBox(pageIndex, box) || box.width() <= 0 ||
        box.height() <= 0)
        return false;
    size = box.size();
    return true;
}

bool OfdPageRenderer::RenderPage(OfdViewManage *manage, int document, int pageIndex, QPainter *painter,
                                 const QRectF &target)
{
    OfdFile *file = manage ? manage->GetOfdFile(document) : nullptr;
    if (!file || pageIndex < 0 || pageIndex >= file->GetPageCount() || !painter)
        return false;
    OfdPageScene scene;
    // Drawn once, whole: an index of where the items are would be built only to be thrown away.
    scene.setItemIndexMethod(QGraphicsScene::NoIndex);
    scene.SetViewManage(manage);
    scene.SetPageIndex(document, pageIndex);
    scene.CreateScene();
    if (scene.GetPageRect().isEmpty())
        return false;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    scene.render(painter, target, QRectF(0, 0, scene.GetPageWidthPixel(), scene.GetPageHeightPixel()),
                 Qt::IgnoreAspectRatio);
    painter->restore();
    return true;
}

QImage OfdPageRenderer::RenderPage(OfdViewManage *manage, int document, int pageIndex, double dpi)
{
    OfdFile *file = manage ? manage->GetOfdFile(document) : nullptr;
    QSizeF mm;
    if (!file || !(dpi > 0) || !GetPageSizeMM(file, pageIndex, mm))
        return QImage();
    // The picture has whole pixels; the page keeps its exact scale (dpi / 25.4 pixels per millimetre)
    // and is not stretched to the rounded size.
    const QSizeF exact(mm.width() * dpi / 25.4, mm.height() * dpi / 25.4);
    const double w = std::round(exact.width());
    const double h = std::round(exact.height());
    if (!(w >= 1 && h >= 1) || w * h > double(kMaxPixels))
        return QImage();
    QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (!RenderPage(manage, document, pageIndex, &painter, QRectF(QPointF(0, 0), exact)))
        return QImage();
    painter.end();
    return image;
}
