#include <QWidget>

#include "app/qthelper.h"

void QtHelper::SetWidgetCursor(QWidget *widget, EN_MouseShape shape)
{
    if (!widget)
        return;
    switch (shape) {
    case EN_MouseShape_Hand:
        widget->setCursor(AppParam::CursorHand);
        break;
    case EN_MouseShape_Text:
        widget->setCursor(AppParam::CursorText);
        break;
    default:
        widget->setCursor(AppParam::CursorAnnot);
        break;
    }
}
