#include "app/appparam.h"

#include "app/qthelper.h"

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
