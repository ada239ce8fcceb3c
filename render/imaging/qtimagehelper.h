#pragma once

#include <QColor>
#include <QImage>

// Small pixel operations on decoded pictures that the page and seal drawing need.
class QtImageHelper
{
public:
    // Makes every pixel whose colour lies within tolerance of color transparent, in place. tolerance is
    // the largest difference allowed in each of red, green and blue (0..255; 0 = exact match); the
    // pixel's alpha is not compared. Seal pictures use it with white to let the page show through.
    // The image is converted to Format_ARGB32 first (a null image stays null); pixels that are made
    // transparent become 0x00000000, all others keep their colour and alpha.
    static void MakeTransparent(QImage &image, const QColor &color = QColor(Qt::white), int tolerance = 0);
};
