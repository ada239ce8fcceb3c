#include "app/appparam.h"

#include "app/qthelper.h"

#include <QCoreApplication>

#ifndef OFD_EDITION
#define OFD_EDITION 1
#endif

int AppParam::AppStatus = OFD_EDITION;
int AppParam::PageColumnSpace = 5;
int AppParam::PageFirstRowSpace = 10;
int AppParam::PageRowSpace = 10;
QCursor AppParam::CursorHand;
QCursor AppParam::CursorText;
QCursor AppParam::CursorAnnot;

namespace {
// A cursor made before the application object exists has no data and crashes when used; give the
// three cursors the arrow shape as soon as the application exists, until Init sets their own.
void SetArrowCursors()
{
    AppParam::CursorHand = QCursor(Qt::ArrowCursor);
    AppParam::CursorText = QCursor(Qt::ArrowCursor);
    AppParam::CursorAnnot = QCursor(Qt::ArrowCursor);
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(SetArrowCursors)

void AppParam::Init()
{
    CursorHand = QCursor(Qt::ClosedHandCursor);
    CursorText = QCursor(Qt::ArrowCursor);
    CursorAnnot = QCursor(Qt::SizeAllCursor);
}

QString AppParam::GetAppDisplayName()
{
    if (AppStatus == 2)
        return QtHelper::fromString("Lumeno版式阅读器");
    return QtHelper::fromString("OFD阅读器");
}
