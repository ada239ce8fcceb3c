#pragma once

// FormOfdPrint: the modal print dialog of an open document.
//
// Use: FormOfdPrint dialog(parent); dialog.SetOfdView(scenes) or dialog.SetSceneProvider(count,
// size, scene); dialog.Init(); dialog.exec();
// The dialog previews the pages in a scrolling column (widgets only for the previews in sight),
// lets the user choose printer, range, copies, collation and page-number stamping, and prints by
// rendering each chosen page's scene onto a QPrinter. The range boxes take any page number typed
// in, without a list entry per page.

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class FormOfdPage;
class FormOfdPageColumn;
class OfdPageScene;
class QPainter;
class QPrinter;
class Ui_FormOfdPrint;

// The print dialog: page previews in a scrolling column and the print settings beside them.
class FormOfdPrint : public QDialog
{
    Q_OBJECT
public:
    explicit FormOfdPrint(QWidget *parent = nullptr);
    ~FormOfdPrint() override;

    // Stores the page scenes to print (not owned); the same list again changes nothing.
    void SetOfdView(QList<OfdPageScene *> &scenes);
    // The pages to print as a count, their sizes in pixels at rate 1 and their scenes, built on
    // request (the document view's budgeted scenes). Replaces SetOfdView.
    using SizeProvider = std::function<QSizeF(int index)>;
    using SceneProvider = std::function<OfdPageScene *(int index)>;
    void SetSceneProvider(int count, const SizeProvider &size, const SceneProvider &scene);
    // Creates the previews, fills the boxes, connects the signals and shows the collation text.
    void Init();

    // The column of previews, in page order.
    void CreateOfdView();
    // Fills pages with the 0-based indexes the range choice selects (key and value the index).
    void GetPageToPrint(QHash<int, int> &pages);
    // Prints the chosen pages on the chosen printer; the dialog stays open.
    void PrintOfd();

    // Writes the next print jobs as a PDF file instead of sending them to the chosen printer (for
    // machines without a print queue); an empty name goes back to the printer.
    void SetPrintToFile(const QString &pdfFileName) { m_printToFile = pdfFileName; }
    // Title of the next print jobs, as the print service lists them; empty keeps the default.
    void SetJobName(const QString &name) { m_jobName = name; }
    // The printer name of the last print job of this run; empty until one was started.
    static QString GetLastPrinterName();
    // Draws "第%1页" for the preview's page at (preview width - 58, 16) in the painter's coordinates.
    static void DrawPageNum(QPainter *painter, FormOfdPage *page);
    static void DrawPageNum(QPainter *painter, int pageIndex, double previewWidth);

    // The paper choices: sizes offered, and the orientation mode (0 each page's own shape,
    // 1 portrait, 2 landscape). Fit to page scales each page into the printable area; without it a
    // page keeps its size in millimetres, centred (and clipped when larger than the paper).
    QPageSize::PageSizeId GetPaperSize() const;
    int GetOrientationMode() const;
    bool IsFitToPage() const;
    // The orientation a page of size (in any unit) is printed in under mode.
    static QPageLayout::Orientation OrientationFor(int mode, const QSizeF &pageSize);
    // Draws the page of scene into area (printable area in device pixels, dotsPerMM of the device):
    // fitted or at its own size, centred; with stamp, "第n页" (n = pageIndex + 1) inside the top
    // right corner of the drawn page. Returns the rectangle the page was drawn into.
    static QRectF RenderPrintedPage(QPainter &painter, const QRectF &area, double dotsPerMM,
                                    OfdPageScene *scene, int pageIndex, bool fit, bool stamp);
    // A progress dialog with "取消" is shown for jobs of at least this many printed pages (5).
    void SetProgressThreshold(int pages) { m_progressThreshold = pages; }
    // True when the last PrintOfd was cancelled in its progress dialog.
    bool WasLastJobCancelled() const { return m_lastCancelled; }

    int GetPreviewCount() const { return m_count; }
    // The preview of page index (made on request when it is out of sight); null out of range.
    FormOfdPage *GetPreviewPage(int index) const;
    int GetLivePreviewCount() const;
    int GetSelectedIndex() const { return m_selectedIndex; }
    FormOfdPage *GetSelectedPage() const { return GetPreviewPage(m_selectedIndex); }
    // The 0-based page indexes printed by the last PrintOfd, in printing order.
    QList<int> GetLastPrintedSequence() const { return m_lastSequence; }

signals:
    // After each printed page: done of total pages of the job.
    void SignalPagePrinted(int done, int total);

public slots:
    void ShowPrintType(bool collate);
    void ShowPageNum(bool on);
    void ShowCurPageIndex(int index);
    void OnShowSelectFlag(FormOfdPage *page);

private:
    // The pages of the set in printing order for the copy count and collation choice.
    QList<int> PrintSequence(const QHash<int, int> &pages, int copies, bool collate) const;
    void PrintPage(QPainter &painter, QPrinter &printer, int pageIndex, bool first);
    // The size of page index as the size provider gives it (any unit); empty without one.
    QSizeF PageSizeOf(int pageIndex) const;
    // The number typed into a range box, within 1 to the page count.
    int RangeNumber(const QString &text) const;

    Ui_FormOfdPrint *m_ui = nullptr;
    QList<OfdPageScene *> m_scenes;
    int m_count = 0;
    SizeProvider m_sizeOf;
    SceneProvider m_sceneOf;
    FormOfdPageColumn *m_column = nullptr;
    int m_selectedIndex = -1;
    bool m_showPageNum = false;
    QString m_printToFile;
    QString m_jobName;
    QList<int> m_lastSequence;
    int m_progressThreshold = 5;
    bool m_lastCancelled = false;
};
