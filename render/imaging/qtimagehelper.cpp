#include "render/imaging/qtimagehelper.h"

#include <algorithm>
#include <cstdlib>

void QtImageHelper::MakeTransparent(QImage &image, const QColor &color, int tolerance)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return;
    const int limit = std::clamp(tolerance, 0, 255);
    const QRgb target = color.rgb();
    const int tr = qRed(target), tg = qGreen(target), tb = qBlue(target);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (std::abs(qRed(pixel) - tr) <= limit && std::abs(qGreen(pixel) - tg) <= limit &&
                std::abs(qBlue(pixel) - tb) <= limit)
                line[x] = 0;
        }
    }
}
