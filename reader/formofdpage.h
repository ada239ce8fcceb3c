#pragma once

// FormOfdPage: one page of a document as a graphics view onto its page scene.
//
// Public interface (used by the document view, the thumbnail panel, print preview and OfdToImage):
//   Set-up:   SetMainForm(FormOfd*), SetViewManage(OfdViewManage*), SetDocumentIndex(int),
//             SetPageIndex(int), SetPageType(EN_OfdPageType), ShowView(bool createScene),
//             SetPageScene(OfdPageScene*) (show a scene owned by a reading page; takes its index)
//   Display:  ShowPageView(double rate), ShowPageView(double rate, double rotation),
//             ShowPageViewByWidth(double width), SetCurrentRotation(double), GetRate(),
//             GetRotation(), GetPageRealWidth(), GetPageRealHeight(), GetPageRealSize() (pixels at
//             rate 1), GetItemRect(int objectId) (widget coordinates), GetPageImage(float rate)
//   Marks:    ShowSelectFlag(bool), IsShowSelectFlag(), ShowPageNum(bool), IsShowPageNum(),
//             ShowCustomTag(QList<OfdXmlCustomTagPageRef*>*), ClearCustomTag(),
//             GetCustomTagRects() (scene rectangles of the highlighted objects)
//   Scene forwarders (do nothing / return empty without a scene): SetReaderView, SetAnnot,
//             SetMouseShape, GetVisualItemList, IsHaveAnnot, GetPageAnnotVisualGroup,
//             GetNewAnnotGroup, GetCopyText, ClearSelectText, ClearSelectImage,
//             OnAnnotCheckChanged, ShowVerifySeal, GetSealSignInfo, GetPageRefId, GetPageFullPath
//   Search:   SearchText(QString) (runs now, or marks the text pending until the page painted),
//             IsSearchPending(), RunPendingSearch()
//   Seals:    ShowSignSeal(QSharedPointer<SealSignInfo>) (stamps the page index into the record and
//             places the seal on the scene; "执行签章" on it calls FormOfd::SignSeal)
//   Signals:  SignalMousePress(FormOfdPage*), SignalShowSelectFlag(FormOfdPage*),
//             SignalTextSelectChanged(FormOfdPage*, QList<OfdVisualItemText*>&),
//             SignalImageSelectChange(FormOfdPage*, OfdVisualItemImage*),
//             SignalDrawAnnotEnd(FormOfdPage*, OfdVisualItemAnnot*), SignalAnnotChanged(FormOfdPage*)

#include <QGraphicsView>
#include <QList>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QSharedPointer>
#include <QSizeF>

#include "app/appparam.h"
#include "model/document/ofdxmlcustomtags.h"
#include "reader/ofdannottype.h"
#include "render/ofdpagescene.h"
#include "render/ofdvisualitemimage.h"

// Annotation items come with the annotation tools; until then their pointers are opaque to the
// meta-type system, so that signals can carry them.
class OfdVisualItemAnnot;
Q_DECLARE_OPAQUE_POINTER(OfdVisualItemAnnot *)
Q_DECLARE_METATYPE(OfdVisualItemAnnot *)

class FormOfd;
class OfdViewManage;
class OfdVisualItem;
class OfdVisualItemSignSeal;
class OfdVisualItemText;
class SealSignInfo;

// A custom-tag reference to one object of a page (page ID, object ID, tag name and path).
using OfdXmlCustomTagPageRef = OfdCustomTagRef;

// What a page widget is used for.
enum EN_OfdPageType
{
    EN_OfdPageType_Read = 0,      // page of the reading view; owns its scene
    EN_OfdPageType_Thumbnail = 1, // thumbnail panel; shows a reading page's scene
    EN_OfdPageType_Preview = 2,   // print preview; shows a reading page's scene
};

// One page as a graphics view onto its page scene, sized to the page at the current rate and
// rotation; draws the selection frame, the page number and custom-tag highlights over the scene.
class FormOfdPage : public QGraphicsView
{
    Q_OBJECT
public:
    explicit FormOfdPage(QWidget *parent = nullptr);
    ~FormOfdPage() override;

    void SetMainForm(FormOfd *form) { m_mainForm = form; }
    FormOfd *GetMainForm() const { return m_mainForm; }
    void SetViewManage(OfdViewManage *manage) { m_viewManage = manage; }
    OfdViewManage *GetViewManage() const { return m_viewManage; }
    void SetDocumentIndex(int document) { m_documentIndex = document; }
    int GetDocumentIndex() const { return m_documentIndex; }
    void SetPageIndex(int index) { m_pageIndex = index; }
    int GetPageIndex() const { return m_pageIndex; }
    void SetPageType(EN_OfdPageType type);
    EN_OfdPageType GetPageType() const { return m_pageType; }
    OfdPageScene *GetPageScene() const { return m_scene; }

    // Creates the page's scene when asked (deleting an earlier one), then shows it at rate 1.
    void ShowView(bool createScene);
    // Shows a scene owned elsewhere (the document view's, for its reading pages); takes the page
    // index from it. A reading page answers the scene's signals.
    void SetPageScene(OfdPageScene *scene);

    void ShowPageView(double rate);
    void ShowPageView(double rate, double rotation);
    void ShowPageViewByWidth(double width);
    void SetCurrentRotation(double rotation);
    double GetRate() const { return m_rate; }
    double GetRotation() const { return m_rotation; }

    // The page size in pixels at rate 1 (0 without a scene).
    double GetPageRealWidth() const;
    double GetPageRealHeight() const;
    QSizeF GetPageRealSize() const;
    // Bounding rectangle in widget coordinates of the items showing a page object; empty when none.
    QRect GetItemRect(int itemId) const;

    void ShowSelectFlag(bool show);
    bool IsShowSelectFlag() const { return m_showSelectFlag; }
    void ShowPageNum(bool show);
    bool IsShowPageNum() const { return m_showPageNum; }

    // A picture of the whole page at rate, unrotated; the page keeps its display afterwards.
    QPixmap GetPageImage(float rate);
    int GetGrabCount() const { return m_grabCount; }

    // Forwarders to the scene.
    void SetReaderView(EN_OfdReaderView view);
    void SetAnnot(EN_AnnotType type);
    EN_AnnotType GetAnnot() const { return m_annotType; }
    void SetMouseShape(EN_MouseShape shape);
    EN_MouseShape GetMouseShape() const { return m_mouseShape; }
    void GetVisualItemList(QList<OfdVisualItem *> &items) const;
    bool IsHaveAnnot() const;
    QList<OfdVisualItem *> GetPageAnnotVisualGroup() const;
    QList<OfdVisualItem *> GetNewAnnotGroup() const;
    QString GetCopyText() const;
    bool HasSelectText() const;
    void ClearSelectText();
    void ClearSelectImage();
    void OnAnnotCheckChanged(const QList<int> &itemIds, bool visible);
    void ShowVerifySeal(bool show);
    QList<QSharedPointer<SealSignInfo>> GetSealSignInfo() const;
    int GetPageRefId() const;
    QString GetPageFullPath() const;

    // Custom-tag highlighting of the objects the references name.
    void ShowCustomTag(QList<OfdXmlCustomTagPageRef *> *refs);
    void ClearCustomTag();
    const QList<QRectF> &GetCustomTagRects() const { return m_customTagRects; }

    // Search: runs at once when the scene can measure its text, else repaints the page and keeps
    // the text pending. Returns the hits found now.
    int SearchText(const QString &text);
    bool IsSearchPending() const { return m_searchPending; }
    QString GetPendingSearchText() const { return m_pendingSearchText; }
    // Searches the pending text; returns the hits.
    int RunPendingSearch();
    // Occurrences found by the last search of this page (set by the document view's search).
    int GetSearchHitCount() const { return m_searchHitCount; }
    void SetSearchHitCount(int hits) { m_searchHitCount = hits; }

    // Places a seal on the page: the record gets the page index, the scene a seal item centred on
    // the visible part of the page (the page centre when none of it shows), or on its edge for a
    // seal across pages. Returns the item; null without a scene or record.
    OfdVisualItemSignSeal *ShowSignSeal(QSharedPointer<SealSignInfo> info);

    static QPen GetSelectPen();
    static QPen GetPageNumPen();

signals:
    void SignalMousePress(FormOfdPage *page);
    void SignalShowSelectFlag(FormOfdPage *page);
    void SignalTextSelectChanged(FormOfdPage *sender, QList<OfdVisualItemText *> &curSelectTextGroup);
    void SignalImageSelectChange(FormOfdPage *sender, OfdVisualItemImage *visualImage);
    void SignalDrawAnnotEnd(FormOfdPage *sender, OfdVisualItemAnnot *annot);
    void SignalAnnotChanged(FormOfdPage *sender);

public slots:
    void OnMouseDragMove(QPointF lastPointOfScreen, QPointF curPointOfScreen);
    void OnTextSelectChanged(OfdPageScene *scene, QList<OfdVisualItemText *> &items);
    void OnImageSelectChange(OfdPageScene *scene, OfdVisualItemImage *image);
    void OnDrawAnnotEnd(OfdPageScene *scene, OfdVisualItemAnnot *annot);
    void OnAnnotChanged(OfdPageScene *scene);
    void OnSignSeal(OfdPageScene *scene, OfdVisualItemSignSeal *item);

protected:
    void paintEvent(QPaintEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void ConnectScene();
    bool IsReadingPage() const { return m_pageType == EN_OfdPageType_Read; }
    bool IsTextDrag(const QMouseEvent *event) const;

    FormOfd *m_mainForm = nullptr;
    OfdViewManage *m_viewManage = nullptr;
    int m_documentIndex = 0;
    int m_pageIndex = 0;
    EN_OfdPageType m_pageType = EN_OfdPageType_Read;
    // Guarded: a thumbnail's scene belongs to a reading page that may go first.
    QPointer<OfdPageScene> m_scene;
    bool m_ownsScene = false;
    double m_rate = 1.0;
    double m_rotation = 0;
    EN_MouseShape m_mouseShape = EN_MouseShape_Hand;
    EN_AnnotType m_annotType = EN_AnnotType_Line;
    QString m_pendingSearchText;
    bool m_searchPending = false;
    int m_searchHitCount = 0;
    bool m_showSelectFlag = false;
    bool m_showPageNum = false;
    int m_grabCount = 0;
    bool m_textDragging = false;
    QList<QRectF> m_customTagRects;
};
