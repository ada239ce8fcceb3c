#pragma once

#include <QBrush>
#include <QString>

// Element and file names of the package, shared by the readers of the package parts.
class OfdParam
{
public:
    OfdParam() {}
    static const QString File_OfdRoot; // "OFD.xml"
};

// Brushes of the page scene: selection, search hits and custom-tag highlighting.
class OfdViewParam
{
public:
    OfdViewParam() {}
    // Each call allocates a new solid brush that the caller owns.
    static QBrush *CreatTextSelectBrush();
    static QBrush *CreatTextSearchBrush();
    static QBrush *CreatCustomTagBrush();
};

// Groups of static members with no members of their own yet.
class OfdConfig
{
public:
    OfdConfig() {}
};

class AppHelper
{
public:
    AppHelper() {}
};
