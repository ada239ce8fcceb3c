#pragma once

#include <QColor>
#include <QString>

#include "app/appparam.h"

class QWidget;

// Small process-wide helpers shared by every module.
class QtHelper
{
public:
    // A string from an 8-bit literal read as UTF-8; used for every Chinese text the user sees.
    static QString fromString(const char *utf8);
    static QString fromString(const QByteArray &utf8);

    // Parser traces go to the debug log while this is on; it always is.
    static bool IsShowDebugMessage();
    // Typed parsers read with the stream reader; always true.
    static bool IsUseQXmlStreamReader();

    // Processes events for ms milliseconds in slices of at most 5 ms.
    static void DelayAsyn(int ms);

    // Tool-bar switch style sheet of the edition; scroll bar style sheets.
    static QString GetTopReaderSwithQss();
    static QString GetScrollBarVerticalQss();
    static QString GetScrollBarhorizontalQss();
    // Text of a resource or file, empty when it cannot be read.
    static QString ReadTextFile(const QString &path);

    // Device CMYK (each 0..255) to RGB: r = 255 * (1 - c/255) * (1 - k/255), rounded half up.
    static QColor CMYK2RGB(int c, int m, int y, int k);

    // Sets the cursor the shape selects (defined in the widget toolkit library).
    static void SetWidgetCursor(QWidget *widget, EN_MouseShape shape);
};
