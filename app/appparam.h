#pragma once

#include <QCursor>

// Mouse cursor the document view asks for: 0 hand, 1 text, anything else annotation.
enum EN_MouseShape
{
    EN_MouseShape_Hand = 0,
    EN_MouseShape_Text = 1,
    EN_MouseShape_Annot = 2,
};

// Process-wide interface parameters; a holder of static members only.
class AppParam
{
public:
    AppParam() {}

    // Sets the shapes of the three cursors; cursors are arrows until this runs.
    static void Init();

    // Display name of the edition: "Lumeno版式阅读器" for edition 2, else "OFD阅读器".
    static QString GetAppDisplayName();

    // Edition number 0, 1 or 2, fixed by the build option OFD_EDITION. Tests may switch it.
    static int AppStatus;

    // Gaps of the document view, in pixels.
    static int PageColumnSpace;
    static int PageFirstRowSpace;
    static int PageRowSpace;

    static QCursor CursorHand;
    static QCursor CursorText;
    static QCursor CursorAnnot;
};
