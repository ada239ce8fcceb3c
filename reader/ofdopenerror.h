#pragma once

#include <QString>

class OfdFileReader;
class QWidget;

// What the user is told when a file cannot be opened: "无法打开文件：<path>" and, on the next
// line, why, in one message box with an OK button.
class OfdOpenError
{
public:
    // Why the file at path cannot be read as a ZIP package (missing, a folder, unreadable, empty,
    // not a ZIP archive).
    static QString ReasonOfFile(const QString &path);
    // Why a package that opened holds no document that can be shown.
    static QString ReasonOfDocument(OfdFileReader *reader);
    // The text of the box: the absolute path in the desktop's form, a line break, the reason.
    static QString Message(const QString &path, const QString &reason);
    // Shows the box modally; its object name is "openErrorBox".
    static void Show(QWidget *parent, const QString &path, const QString &reason);
};
