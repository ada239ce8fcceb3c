#pragma once

#include <QRectF>
#include <QString>

class OfdVisualItemText;

// One drawn character of a text item: the character (or the characters one glyph stands for) and
// its rectangle in scene and item coordinates (pixels).
struct OfdVisualTextInfo
{
    OfdVisualItemText *item = nullptr;
    QString text;
    QRectF sceneRect;
    QRectF itemRect;
};
