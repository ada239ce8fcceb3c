#pragma once

// Annotation tool the reader chose: the kind of annotation a press in draw mode starts. The
// annotation tools create the matching item; any other value creates nothing.
enum EN_AnnotType
{
    EN_AnnotType_None = 0,
    EN_AnnotType_Line = 1,
    EN_AnnotType_Arrow = 2,
    EN_AnnotType_Rect = 3,
    EN_AnnotType_Pen = 4,
    EN_AnnotType_Text = 5,
    EN_AnnotType_Highlight = 6,
    EN_AnnotType_Underline = 7,
    EN_AnnotType_Strikeout = 8,
};
