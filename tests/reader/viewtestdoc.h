#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QSharedPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>

class FormOfd;
class OfdFileReader;

// Builds OFD packages in memory for the document view tests: pages of a chosen size, each with an
// optional line of text near its top and a coloured square at a known place, plus an optional
// outline, custom tags and attachments.
struct ViewTestDoc
{
    int pageCount = 3;
    double widthMM = 100;
    double heightMM = 150;
    // Text of page i (none when empty or missing); drawn from (10, 10) mm, 5 mm high.
    QStringList texts;
    // The square of every page: 20 x 20 mm at (squareXMM, squareYMM), in SquareColor(i).
    double squareXMM = 50;
    double squareYMM = 80;
    QString outlineXml;                           // inner XML of <ofd:Outlines>; none when empty
    QString customTagXml;                         // the tag file (Doc_0/Tags/Tag_0.xml); none when empty
    QString attachmentXml;                        // inner XML of <ofd:Attachments>; none when empty
    QString documentExtra;                        // more children of <ofd:Document>
    QList<QPair<QString, QByteArray>> extraFiles; // more entries of the package
    QHash<int, QSizeF> pageAreas;                 // pages with an area of their own (mm), by index

    static int PageId(int index) { return 2 + index; }
    static int TextId(int index) { return 100 + 10 * index + 1; }
    static int SquareId(int index) { return 100 + 10 * index + 2; }
    static QColor SquareColor(int index);

    QByteArray Build() const;
    QSharedPointer<OfdFileReader> Open() const;
};

// Opens the package in the view and creates its pages; false on failure.
bool LoadView(FormOfd &form, const ViewTestDoc &doc);
// Pixels per millimetre of the page scenes.
double PxPerMM();
