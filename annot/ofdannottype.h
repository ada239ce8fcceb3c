#pragma once

// Annotation tool the reader chose: the kind of annotation a press in draw mode starts. The
// annotation tools create the matching item (OfdVisualItemAnnot::CreateAnnot); any other value
// creates nothing. The guard lets the reader's copy of this enumeration stand down.
#ifndef OFD_EN_ANNOTTYPE_DEFINED
#define OFD_EN_ANNOTTYPE_DEFINED
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
#endif
