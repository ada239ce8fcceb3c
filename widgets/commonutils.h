#pragma once

#include <QColor>
#include <QString>

class QPixmap;
class QWidget;

// Style-sheet and picture helpers of the widget toolkit.
class CommonUtils
{
public:
    // Text of ":/QSS/Resources/QSS/<name>.css"; empty when the collection has no such sheet.
    static QString readStyleSheet(const QString &name);
    // Appends the named sheet to the widget's own style sheet.
    static void loadStyleSheet(QWidget *widget, const QString &name);
    // The picture with every visible pixel painted in one colour, its alpha kept.
    static QPixmap recolor(const QPixmap &pixmap, const QColor &color);
};
