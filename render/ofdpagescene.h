#pragma once

#include <QGraphicsScene>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSharedPointer>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

#include "app/appparam.h"

class QGraphicsSceneMouseEvent;
class GraphicsItemLayerManage;
class OfdFile;
class OfdPageItem;
class OfdViewManage;
class OfdVisualItem;
class OfdVisualItemImage;
class OfdVisualItemSeal;
class OfdXmlSignature;
class OfdXmlPageLayerGroup;
struct OfdSignatureStampAnnot;
class OfdVisualItemSignSeal;
class SealSignInfo;
class OfdVisualItemAnnot;
class OfdVisualItemText;
class OfdXmlPage;
class OfdXmlPageBlock;
class OfdXmlPageLayer;
class OfdXmlPageManage;
struct OfdVisualTextInfo;

// Reader views the scene's mouse handling distinguishes.
enum EN_OfdReaderView
{
    EN_OfdReaderView_Read = 0,
    EN_OfdReaderView_Annot = 1,
    EN_OfdReaderView_Security = 2,
};

// Annotation behaviour of a page scene, supplied by the annotation module through
// OfdPageScene::SetAnnotHookFactory; the scene owns its hook and destroys it after its items.
class OfdPageSceneAnnotHook
{
public:
    virtual ~OfdPageSceneAnnotHook();
    // Creates the page's annotation items and registers them with AddLayerItem (scene building).
    virtual void CreateAnnotation() = 0;
    // Mouse input; true when the hook consumed the event.
    virtual bool MousePress(QGraphicsSceneMouseEvent *event) = 0;
    virtual bool MouseMove(QGraphicsSceneMouseEvent *event) = 0;
    virtual bool MouseRelease(QGraphicsSceneMouseEvent *event) = 0;
    // The mouse shape changed: the annotation being drawn ends.
    virtual void OnMouseShapeChanged() = 0;
    // True while the page holds annotations made in this session (drawn or being drawn), which
    // exist nowhere but in the scene.
    virtual bool HasUnsavedWork() const { return false; }
};

// One page as a graphics scene: a visual item per page object, stacked by visual layer, plus the
// page's annotations and seals. Scene coordinates are pixels; the page rectangle is the page's
// physical box converted with OfdConvert. Owns its items and the blocks of composite units.
class OfdPageScene : public QGraphicsScene
{
    Q_OBJECT
public:
    OfdPageScene(QObject *parent = nullptr);
    ~OfdPageScene() override;

    void SetViewManage(OfdViewManage *manage) { m_viewManage = manage; }
    OfdViewManage *GetViewManage() const { return m_viewManage; }
    // Binds the scene to a page of a document and computes the page rectangle.
    void SetPageIndex(int document, int page);
    // Builds the items; once.
    void CreateScene();

    int GetDocumentIndex() const { return m_documentIndex; }
    int GetPageIndex() const { return m_pageIndex; }
    OfdFile *GetOfdFile() const { return m_document; }
    OfdXmlPage *GetPage() const { return m_page; }
    int GetPageRefId() const;
    QString GetPageFullPath() const;
    double GetPageWidthPixel() const { return m_pageRect.width(); }
    double GetPageHeightPixel() const { return m_pageRect.height(); }
    const QRectF &GetPageRect() const { return m_pageRect; }
    float GetViewRate() const { return m_viewRate; }
    void SetViewRate(float rate) { m_viewRate = rate; }
    OfdPageScene *GetScene() { return this; }

    // All visual items in stacking order, bottom first.
    void GetVisualItemList(QList<OfdVisualItem *> &items) const;
    const QList<OfdVisualItemText *> &GetTextItems() const { return m_textItems; }
    // Scene rectangle of the items that show a page object; empty when there are none.
    QRectF GetItemRect(int objectId) const;
    QString GetFontFromEmbedFile(const QString &path) const;
    float GetBaseline(const QFont &font, int fontId, float size) const;

    // Gives a new item the next ID, the scene and the page rectangle. Used by the scene builder.
    void RegisterVisualItem(OfdVisualItem *item);
    // Shares an item-ID counter with other scenes (not owned); null to use the scene's own.
    void SetItemIdCounter(int *counter) { m_externalCounter = counter; }

    // Mouse modes.
    void SetMouseShape(EN_MouseShape shape);
    EN_MouseShape GetMouseShape() const { return m_mouseShape; }
    void SetReaderView(EN_OfdReaderView view) { m_readerView = view; }
    EN_OfdReaderView GetReaderView() const { return m_readerView; }
    // Annotation tool (EN_AnnotType of the annotation module) that a press in draw mode starts.
    void SetAnnot(int type) { m_annotType = type; }
    int GetAnnot() const { return m_annotType; }

    // Annotation module hook: the factory is installed once at start-up; each scene makes its hook
    // when it is built.
    using AnnotHookFactory = std::function<OfdPageSceneAnnotHook *(OfdPageScene *scene)>;
    static void SetAnnotHookFactory(const AnnotHookFactory &factory);
    OfdPageSceneAnnotHook *GetAnnotHook() const { return m_annotHook.get(); }
    // Registers an item at a visual layer; after the scene is built it is also added to the scene.
    void AddLayerItem(QGraphicsItem *item, int layer);
    void RemoveLayerItem(QGraphicsItem *item);

    // Text selection and copy.
    void ClearSelectText();
    void ClearSelectImage();
    void ShowSelectFlag(bool show);
    bool IsShowSelect() const { return m_showSelect; }
    // Selects the characters touched by a scene rectangle (as a drag from one corner to the other).
    void SelectText(const QRectF &rect);
    const QList<OfdVisualItemText *> &GetSelectTextItems() const { return m_selectedText; }
    // The selected characters in reading order: lines top to bottom, left to right within a line.
    QString GetCopyText() const;
    // Puts GetCopyText on the clipboard.
    void ActionCopyClick();
    // Every character of the page in reading order (measured without painting).
    QString GetPageText();

    // Search: marks the occurrences of text on the page; returns their count. Case is ignored for
    // Latin letters; white space in the page's text is not matched against.
    void InitTextSearch();
    int SearchText(const QString &text);
    // Scene rectangles of the hits of the last search, in reading order.
    QList<QRectF> GetSearchRects() const;
    // Rectangles of the text lines that a scene rectangle touches.
    QList<QRectF> GetTextRect(const QRectF &rect);

    // Seals of the signatures that stamp this page (layer 0).
    const QList<OfdVisualItemSeal *> &GetSealItems() const { return m_sealItems; }
    // Shows or hides the marks telling whether each seal's checks passed.
    void ShowVerifySeal(bool show);
    // Adds the seals of one signature that stamp this page (layer 0); returns how many. After the
    // scene was built they go straight onto it, above what is there.
    int AddSignature(OfdXmlSignature *signature);
    // Adds one seal picture of a signature; the scene owns the item.
    OfdVisualItemSeal *AddSignatureSeal(OfdXmlSignature *signature, const OfdSignatureStampAnnot &stamp);
    // Gives every seal the verification mark state last chosen with ShowVerifySeal.
    void AdjustVerifySeal();

    // Seals being placed (waiting to be signed), above every other item. A new seal is centred on
    // the page, or on a point of it, and a seal across pages then moved onto its edge; the record's
    // rectangle follows the picture. The scene owns the items.
    OfdVisualItemSignSeal *AddSignSeal(QSharedPointer<SealSignInfo> info);
    OfdVisualItemSignSeal *AddSignSeal(QSharedPointer<SealSignInfo> info, const QPointF &centre);
    // Takes a placed seal off the page (the item is deleted once control returns to the event loop).
    void DeleteSeal(OfdVisualItemSignSeal *item);
    void ClearSignSeals();
    const QList<OfdVisualItemSignSeal *> &GetSignSealItems() const { return m_signSeals; }
    // Records of the placed seals in placement order.
    QList<QSharedPointer<SealSignInfo>> GetSealSignInfo() const;
    // The topmost item at a scene point when it is a placed seal; null otherwise or without seals.
    OfdVisualItemSignSeal *GetSignSealFromPoint(const QPointF &point) const;
    // The placed seal the left button is dragging; null when none.
    OfdVisualItemSignSeal *GetDragSeal() const { return m_dragSeal; }
    // Asks the document view to sign with the placed seals (SignalSignSeal).
    void RequestSignSeal(OfdVisualItemSignSeal *item);
    // Shows the context menu of a placed seal at a screen position, modally.
    void ShowSignSealMenu(OfdVisualItemSignSeal *item, const QPoint &screenPos);

    // True while the scene holds what exists only in it: annotations made in this session, or a
    // mouse button held down on it. Such a scene must not be dropped and built again.
    bool HasUnsavedContent() const { return m_leftDown || (m_annotHook && m_annotHook->HasUnsavedWork()); }

    // True when any text item still has to measure itself on a paint.
    bool IsNeedRepaint() const;
    // Called by items after their first paint; starts a pending search once.
    void OnItemFirstPainter();

    // Characters of all text items in reading order (measuring items that were not painted yet).
    QVector<OfdVisualTextInfo> GetCharsInReadingOrder(const QList<OfdVisualItemText *> &items);
    // The same for the whole page, computed once.
    const QVector<OfdVisualTextInfo> &GetPageCharsInReadingOrder();

signals:
    void SignalMousePress(OfdPageScene *scene, QGraphicsSceneMouseEvent *event);
    void SignalImageSelectChange(OfdPageScene *scene, OfdVisualItemImage *image);
    void SignalTextSelectChanged(OfdPageScene *scene, QList<OfdVisualItemText *> &items);
    void SignalDrawAnnotEnd(OfdPageScene *scene, OfdVisualItemAnnot *annot);
    void SignalAnnotChanged(OfdPageScene *scene);
    void eventMouseDragMove(QPointF from, QPointF to);
    // "执行签章" on a placed seal.
    void SignalSignSeal(OfdPageScene *scene, OfdVisualItemSignSeal *item);

public slots:
    void OnImageLeftButtonDown(OfdVisualItemImage *image);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void InitPageArea();
    void CreateSceneLayer(OfdXmlPageLayer *layer);
    // The layers of the page's content files in the order they are drawn.
    static QList<OfdXmlPageLayer *> StackedLayers(const QList<OfdXmlPageLayerGroup *> &groups);
    void VisualItemToHashGroup();
    void CreateSeal();
    int NextItemId();

    OfdViewManage *m_viewManage = nullptr;
    OfdFile *m_document = nullptr;
    OfdXmlPageManage *m_pageManage = nullptr;
    OfdXmlPage *m_page = nullptr;
    int m_documentIndex = 0;
    int m_pageIndex = 0;
    QRectF m_pageRect;
    int m_itemCounter = 0;
    int *m_externalCounter = nullptr;
    bool m_created = false;
    bool m_itemsAdded = false;  // the built items are on the scene
    bool m_verifyShown = false; // verification marks of the seals are shown
    std::unique_ptr<GraphicsItemLayerManage> m_layers;
    std::vector<std::unique_ptr<OfdXmlPageBlock>> m_unitBlocks;
    QList<OfdVisualItemText *> m_textItems;
    QList<OfdVisualItemSeal *> m_sealItems;
    QList<OfdVisualItemSignSeal *> m_signSeals;
    OfdVisualItemSignSeal *m_dragSeal = nullptr;
    QPointF m_dragLastPoint;
    QHash<int, QList<OfdVisualItem *>> m_itemsById;

    bool m_leftDown = false;
    QPointF m_pressPoint;
    QPointF m_currentPoint;
    QPointF m_lastPoint;
    QPointF m_lastScreenPos;
    EN_MouseShape m_mouseShape = EN_MouseShape_Hand;
    EN_OfdReaderView m_readerView = EN_OfdReaderView_Read;
    int m_annotType = 1;
    std::unique_ptr<OfdPageSceneAnnotHook> m_annotHook;

    QList<OfdVisualItemText *> m_selectedText;
    OfdVisualItemImage *m_selectedImage = nullptr;
    float m_viewRate = 1.0f;
    int m_firstPaint = 0;
    bool m_showSelect = true;
    QString m_pendingSearch;
    bool m_searchPosted = false;
    QVector<OfdVisualTextInfo> m_searchHits;
    // The page's characters in reading order, measured once: text items do not move.
    QVector<OfdVisualTextInfo> m_orderedChars;
    bool m_orderedValid = false;
};
