#pragma once

// FormOfd: the document view, one document of an opened package shown as a scrollable grid of
// pages. Every page has a place in the layout from its size; page widgets (FormOfdPage) exist only
// for the pages near the visible area, and page scenes only for those plus a budget of recently
// shown ones, so that a document of any length costs about as much as the pages on screen.
//
// Public interface (the reader widget drives the view through these):
//   Document:   SetOfdFileReader(QSharedPointer<OfdFileReader>) -> bool, ShowPages(),
//               GetPageCount(), GetOfdFile(), GetFileReader(), GetFileFullName(), GetViewManage(),
//               SetDocumentIndex(int) / GetDocumentIndex() (before SetOfdFileReader),
//               GetPageIndex(int pageId) (-1 when unknown), SetOfdReadWidget(OfdReadWidget*),
//               GetOfdReadWidget()
//   Layout:     ShowPage(int columns), GetPageColumnCount(), GetPageRowCount(), GetPageTop(i),
//               GetPageLeft(i), GetPageSlotSize(i) (document coordinates: pixels at the current
//               rate from the top left of the whole column), GetContentHeight(), GetContentWidth(),
//               GetLayoutCount()
//   Zoom:       SetViewCurrentRate(double rate, bool keepPosition) -> bool (false when unchanged;
//               the rate is kept within [GetMinRate(), GetMaxRate()] = [0.1, 64]),
//               GetViewCurrentRate(), GetFitWidthRate(), GetFitHeightRate() (fit modes: the rate to
//               hand to SetViewCurrentRate; 1.0 without a current page), ZoomBySteps(int steps)
//               (+-0.1 per step, as Ctrl+mouse wheel does)
//   Rotation:   ViewRotationRight(double degrees), GetViewRotation(), AdjuestDegree(double)
//   Pages:      ScrollToPage(int index, int x = 0, int y = 0), ScrollPageDown(int delta),
//               MoveRow(int delta) (first page of the row before (-1) or after (+1) the current
//               one), ScrollToPageVisualItem(int pageIndex, int itemId), ScrollPixel(int dy, int dx),
//               MoveWnd(QPointF from, QPointF to), GetCurShowPage(), GetCurShowPageIndex(),
//               GetCurPageRealWidth(), GetCurPageRealHeight(), GetWndWidth(), GetWndHeight(),
//               GetScrollTop() / SetScrollTop(qint64) (document coordinate at the top of the view)
//   Widgets and scenes: GetPage(int index) (the page's widget, made on request when it is not
//               near the view; such a widget goes again at the next scroll), GetPageList() (the
//               widgets that exist, in page order), GetLivePageCount(), AcquireScene(int index)
//               (the page's scene, built when needed), GetSceneIfBuilt(int index), GetSceneCount(),
//               SetSceneBudget(int) / GetSceneBudget() (scenes kept beyond those shown or holding a
//               selection, new annotations or placed seals; 32), GetPageSceneList() (one entry per
//               page: its scene when built, else null)
//   Modes:      SetReaderView(EN_OfdReaderView), SetAnnot(EN_AnnotType), SetMouseShape(EN_MouseShape),
//               GetMouseShape(), ShowVerifySeal(bool)
//   Text:       SearchText(QString) -> total hits (page by page from the current page, showing the
//               first hit as soon as it is found; SignalSearchProgress per page; CancelSearch() stops
//               it, IsSearching()), GetSearchHitCount(page), GetSearchText(), ShowNextHit(bool
//               backwards) -> false without hits, GetCurrentHit(page&, index&), GetCopyText(),
//               ActionCopyClick(), ClearAllSelectText(), GetSelectingPages()
//   Tags:       ShowCustomtagNode(QList<OfdXmlCustomTagPageRef*>&), ClearCustomTagView()
//   Annots:     CreateAnnotViewData(int pageIndex) -> QList<FormOfdAnnotEntry> (all pages for -1),
//               SetAnnotEntryProvider(...) (replaces the entries from scenes and annotation files)
//   Seals:      ShowFreeSign(QSharedPointer<OES_SealInfoEx>) (an ordinary seal on the current page),
//               OnRideSign(QSharedPointer<OES_SealInfoEx>) (a seal across pages, on the right edge of
//               the current or first page), GetSealSignInfo() (placed seals of every page in page
//               order), ClearSignSeals(), SignSeal(FormOfdPage*, OfdVisualItemSignSeal*) -> path of
//               the signed copy (empty when nothing was written), GetSignedFileDir(QString
//               documentPath), GetSignedFileName(QString dir, QDateTime),
//               WriteSignedFile(QByteArray, QString dir) -> written path
//   Export:     SaveToImage(QString& fileName, int firstNumber) -> bool,
//               SaveToPdf(QString& fileName) -> bool (vector pages when IsVectorPdfExact(), else
//               page pictures), SaveToPdf(QString& fileName, EN_PdfExportMode) -> bool,
//               SetExportProgressThreshold(int pages) (progress dialog from this many pages; 10)
//   Signals:    EventPageIndexChanged(FormOfd* formOfd, int curPageIndex) (every vertical scroll),
//               SignalViewRateChanged(FormOfd* sender, double rate),
//               SignalRotationChanged(FormOfd* sender, double rotation),
//               SignalLeaveFullScreen(FormOfd* sender) (Escape while full screen: the reader widget
//               answers with ShowOfdFullScreen(false)),
//               SignalDrawAnnotEnd(FormOfd* sender, OfdVisualItemAnnot* annot),
//               SignalAnnotChanged(FormOfd* sender, FormOfdPage* page),
//               SignalExportProgress(int done, int total),
//               SignalSearchProgress(int pageIndex, int searched, int total),
//               SignalOpenSignedFile(QString path) (a signed copy was written; the reader widget
//               opens it in a tab of its own)
//   Slots:      VerticalScrollBarValueChanged(int), OnScrollKeyRelease(ScrollAreaOfPage*, int),
//               OnImageSelectChange(FormOfdPage*, OfdVisualItemImage*),
//               OnTextSelectChanged(FormOfdPage*, QList<OfdVisualItemText*>&)
// Keys: Up/Down scroll 20 px, PgUp/PgDn go to the page before/after the current one, Home/End to
// the first/last page, Ctrl+C copies, Escape leaves full screen; Ctrl+mouse wheel zooms.

#include <QDateTime>
#include <QEvent>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QSharedPointer>
#include <QSize>
#include <QVector>
#include <QWidget>

#include <functional>

#include "app/appparam.h"
#include "reader/formofdpage.h"
#include "reader/ofdannottype.h"
#include "render/ofdpagescene.h"

class QHBoxLayout;
class QResizeEvent;
class QScrollArea;
class QProgressDialog;
class OfdFile;
class OfdFileReader;
class OfdReadWidget;
class OfdViewManage;
class OfdVisualItemSignSeal;
class ScrollAreaOfPage;
class SealSignInfo;
struct OES_SealInfoEx;

// Posted by the document view to itself; kind 1 restores the scroll position after a zoom.
class QEventFormOfd : public QEvent
{
public:
    QEventFormOfd(int kind, double ratio, double spacing);
    // The event type, registered once.
    static QEvent::Type EventType();

    int GetKind() const { return m_kind; }
    double GetRatio() const { return m_ratio; }
    double GetSpacing() const { return m_spacing; }

private:
    int m_kind;
    double m_ratio;
    double m_spacing;
};

// One entry of the annotation list panel.
struct FormOfdAnnotEntry
{
    int pageIndex = 0;
    QString type;    // annotation Type, e.g. "Path"
    QString subtype; // annotation Subtype, e.g. "Line"
    bool visible = true;
    QList<int> itemIds; // scene item IDs the entry stands for
    QString creator;
    QDateTime lastModDate;
};

// How PDF export draws the pages.
enum EN_PdfExportMode
{
    EN_PdfExportMode_Auto = 0,    // vector when that matches the screen, else pictures
    EN_PdfExportMode_Vector = 1,  // the page scenes drawn straight onto the PDF printer
    EN_PdfExportMode_Picture = 2, // page pictures at rate 2 on A4 pages
};

// The document view: lays page widgets out in columns, zooms and rotates them, tracks the current
// page, scrolls, selects and copies text across pages, searches, highlights custom tags and exports
// the pages. Owns its view manager and page widgets.
class FormOfd : public QWidget
{
    Q_OBJECT
public:
    explicit FormOfd(QWidget *parent = nullptr);
    ~FormOfd() override;

    // Document.
    bool SetOfdFileReader(QSharedPointer<OfdFileReader> reader);
    void ShowPages();
    int GetPageCount() const;
    OfdFile *GetOfdFile() const;
    QSharedPointer<OfdFileReader> GetFileReader() const;
    QString GetFileFullName() const;
    OfdViewManage *GetViewManage() const { return m_viewManage; }
    void SetDocumentIndex(int document) { m_documentIndex = document; }
    int GetDocumentIndex() const { return m_documentIndex; }
    int GetPageIndex(int pageId) const;
    void SetOfdReadWidget(OfdReadWidget *readWidget) { m_readWidget = readWidget; }
    OfdReadWidget *GetOfdReadWidget() const { return m_readWidget; }

    // Layout.
    void ShowPage(int columns);
    int GetPageColumnCount() const { return m_columnCount; }
    int GetPageRowCount() const;
    qint64 GetPageTop(int index) const;
    int GetPageLeft(int index) const;
    QSize GetPageSlotSize(int index) const;
    qint64 GetContentHeight() const { return m_contentHeight; }
    int GetContentWidth() const { return m_contentWidth; }
    // Size of page index in pixels at rate 1 (from the descriptors until the page is read).
    QSizeF GetPageRealSize(int index) const { return m_pageSizes.value(index); }
    int GetLayoutCount() const { return m_layoutCount; }

    // Zoom and rotation.
    bool SetViewCurrentRate(double rate, bool keepPosition);
    double GetViewCurrentRate() const { return m_viewRate; }
    double GetFitWidthRate() const;
    double GetFitHeightRate() const;
    bool ZoomBySteps(int steps);
    static double GetMinRate() { return 0.1; }
    static double GetMaxRate() { return 64.0; }
    void ViewRotationRight(double degrees);
    double GetViewRotation() const { return m_rotation; }
    static double AdjuestDegree(double degrees);

    // Pages and scrolling.
    void ScrollToPage(int index, int x = 0, int y = 0);
    void ScrollPageDown(int delta);
    void MoveRow(int delta);
    void ScrollToPageVisualItem(int pageIndex, int itemId);
    void ScrollPixel(int dy, int dx);
    void MoveWnd(QPointF from, QPointF to);
    FormOfdPage *GetCurShowPage() const;
    int GetCurShowPageIndex() const;
    double GetCurPageRealWidth() const;
    double GetCurPageRealHeight() const;
    int GetWndWidth() const;
    int GetWndHeight() const;
    qint64 GetScrollTop() const;
    void SetScrollTop(qint64 top);

    // Page widgets and scenes (see the interface above).
    FormOfdPage *GetPage(int index) const;
    QList<FormOfdPage *> GetPageList() const;
    int GetLivePageCount() const { return m_livePages.size(); }
    OfdPageScene *AcquireScene(int index);
    OfdPageScene *GetSceneIfBuilt(int index) const { return m_scenes.value(index); }
    int GetSceneCount() const { return m_scenes.size(); }
    void SetSceneBudget(int scenes);
    int GetSceneBudget() const { return m_sceneBudget; }
    QList<OfdPageScene *> GetPageSceneList() const;
    QScrollArea *GetScrollArea() const { return m_scrollArea; }
    ScrollAreaOfPage *GetPageArea() const { return m_pageArea; }

    // Tools and cursor.
    void SetReaderView(EN_OfdReaderView view);
    EN_OfdReaderView GetReaderView() const { return m_readerView; }
    void SetAnnot(EN_AnnotType type);
    EN_AnnotType GetAnnot() const { return m_annotType; }
    void SetMouseShape(EN_MouseShape shape);
    EN_MouseShape GetMouseShape() const { return m_mouseShape; }
    void ShowVerifySeal(bool show);

    // Annotation list data: from the scenes of built pages and the annotation files of the others,
    // or from a provider when one is set (a test's).
    using AnnotEntryProvider = std::function<QList<FormOfdAnnotEntry>(FormOfdPage *page)>;
    static void SetAnnotEntryProvider(const AnnotEntryProvider &provider);
    QList<FormOfdAnnotEntry> CreateAnnotViewData(int pageIndex) const;

    // Text.
    int SearchText(QString text);
    void CancelSearch() { m_searchCancelled = true; }
    bool IsSearching() const { return m_searching; }
    const QString &GetSearchText() const { return m_searchText; }
    int GetSearchHitCount(int pageIndex) const { return m_searchHits.value(pageIndex); }
    int GetSearchHitTotal() const;
    bool ShowNextHit(bool backwards);
    bool GetCurrentHit(int &pageIndex, int &hitIndex) const;
    QString GetCopyText() const;
    void ActionCopyClick();
    void ClearAllSelectText();
    QList<FormOfdPage *> GetSelectingPages() const;

    // Custom tags.
    void ShowCustomtagNode(QList<OfdXmlCustomTagPageRef *> &refs);
    void ClearCustomTagView();

    // Seal placing. Both return the placed item; null without a page or seal.
    OfdVisualItemSignSeal *ShowFreeSign(QSharedPointer<OES_SealInfoEx> seal);
    OfdVisualItemSignSeal *OnRideSign(QSharedPointer<OES_SealInfoEx> seal);
    QList<QSharedPointer<SealSignInfo>> GetSealSignInfo() const;
    void ClearSignSeals();
    // Signs the document with the seals placed on all its pages and writes the signed copy (see
    // GetSignedFileDir); on success the placed seals are taken off the pages and the copy is
    // offered for opening (SignalOpenSignedFile). Failures are told to the user. Returns the path
    // written; empty when nothing was placed or something failed.
    QString SignSeal(FormOfdPage *page, OfdVisualItemSignSeal *item);
    // Where a signed copy goes: the folder of the document when it can be written to, else the
    // user's documents folder (the home folder when there is none).
    static QString GetSignedFileDir(const QString &documentPath);
    // A free name in dir: "signedOfd_yyyyMMdd-hhmmss.ofd", with "_2", "_3" ... before the suffix
    // while the name is taken.
    static QString GetSignedFileName(const QString &dir, const QDateTime &time);
    QString WriteSignedFile(const QByteArray &bytes, const QString &dir);

    // Export.
    bool SaveToImage(QString &fileName, int firstNumber);
    bool SaveToPdf(QString &fileName);
    bool SaveToPdf(QString &fileName, EN_PdfExportMode mode);
    bool IsVectorPdfExact() const;
    void SetExportProgressThreshold(int pages) { m_progressThreshold = pages; }
    // True when the last export stopped because the user cancelled it (nothing was written then).
    bool IsExportCancelled() const { return m_exportCancelled; }

    // Selection across pages, driven by the pages while the text tool drags (global coordinates).
    void BeginDragSelect(FormOfdPage *page, const QPoint &globalPos);
    void UpdateDragSelect(const QPoint &globalPos);
    void EndDragSelect();

signals:
    void EventPageIndexChanged(FormOfd *formOfd, int curPageIndex);
    void SignalDrawAnnotEnd(FormOfd *sender, OfdVisualItemAnnot *annot);
    void SignalAnnotChanged(FormOfd *sender, FormOfdPage *page);
    void SignalViewRateChanged(FormOfd *sender, double rate);
    void SignalRotationChanged(FormOfd *sender, double rotation);
    void SignalLeaveFullScreen(FormOfd *sender);
    void SignalExportProgress(int done, int total);
    void SignalSearchProgress(int pageIndex, int searched, int total);
    void SignalOpenSignedFile(const QString &path);

public slots:
    void VerticalScrollBarValueChanged(int value);
    void OnScrollKeyRelease(ScrollAreaOfPage *sender, int keyValue);
    void OnImageSelectChange(FormOfdPage *sender, OfdVisualItemImage *visualImage);
    void OnTextSelectChanged(FormOfdPage *sender, QList<OfdVisualItemText *> &curSelectTextGroup);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Where one page lies in the column, in document coordinates.
    struct PageSlot
    {
        qint64 top = 0;
        int left = 0;
        int width = 0;
        int height = 0;
    };

    void LayoutPages(int columns);
    void ComputeLayout();
    void RelayoutKeepingView();
    void UpdateScrollBars();
    void UpdateVisiblePages();
    void PositionLivePages();
    void ReleasePage(int index);
    void TrimScenes();
    bool IsScenePinned(int index, OfdPageScene *scene) const;
    FormOfdPage *MakePage(int index);
    void ApplyViewState(OfdPageScene *scene, int index);
    void FirstAndLastVisible(int &first, int &last) const;
    int FirstRowBelow(qint64 y) const;
    void ShowPagesView(double rate, bool keepPosition);
    double GetTotalVerticalSpacing() const;
    double GetSpacingAbove(qint64 value) const;
    void ClearPages();
    void ScrollToHit(int pageIndex, int hitIndex);
    QProgressDialog *CreateProgress(int total, const QString &title);
    bool SavePdfVector(const QString &fileName);
    bool SavePdfPicture(const QString &fileName);
    void OnPageMousePress(FormOfdPage *page);
    void OnPageDrawAnnotEnd(FormOfdPage *page, OfdVisualItemAnnot *annot);
    void OnPageAnnotChanged(FormOfdPage *page);
    OfdVisualItemSignSeal *PlaceSeal(FormOfdPage *page, QSharedPointer<OES_SealInfoEx> seal, int sealType);

    OfdViewManage *m_viewManage = nullptr;
    int m_documentIndex = 0;
    double m_viewRate = 1.0;
    double m_rotation = 0;
    // Page sizes in pixels at rate 1, unrotated; from the descriptors until a page is read.
    QVector<QSizeF> m_pageSizes;
    QVector<PageSlot> m_slots;
    QVector<qint64> m_rowTops;  // top of each row
    QVector<int> m_rowHeights;  // height of each row
    qint64 m_contentHeight = 0; // the whole column, with its spacing
    int m_contentWidth = 0;
    int m_scrollScale = 1; // document pixels per scroll-bar unit (above 1 only for huge columns)
    int m_layoutCount = 0;
    bool m_updatingPages = false;
    bool m_sizeChanged = false;
    bool m_relayoutPosted = false;
    // Page widgets that exist, by page index; scenes that exist, by page index, and their use order
    // (least recently shown first).
    QMap<int, FormOfdPage *> m_livePages;
    QHash<int, OfdPageScene *> m_scenes;
    QList<int> m_sceneOrder;
    int m_sceneBudget = 32;
    QList<int> m_selectingPages; // indexes of pages holding a text or image selection
    int m_columnCount = -1;
    EN_MouseShape m_mouseShape = EN_MouseShape_Hand;
    EN_AnnotType m_annotType = EN_AnnotType_Line;
    EN_OfdReaderView m_readerView = EN_OfdReaderView_Read;
    bool m_verifyShown = false;
    bool m_pagesCreated = false;
    QHash<int, QList<OfdXmlCustomTagPageRef *>> m_customTagGroups;
    OfdReadWidget *m_readWidget = nullptr;

    // Search: the text, hits per searched page, the hit last shown.
    QString m_searchText;
    QMap<int, int> m_searchHits;
    int m_hitPage = -1;
    int m_hitIndex = -1;
    bool m_searching = false;
    bool m_searchCancelled = false;

    QHBoxLayout *m_horizontalLayout = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    ScrollAreaOfPage *m_pageArea = nullptr;

    bool m_inSelectionUpdate = false;
    int m_dragSelectPage = -1;
    QPoint m_dragSelectStart;
    int m_progressThreshold = 10;
    bool m_exportCancelled = false;
};
