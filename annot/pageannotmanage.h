#pragma once

#include <QList>
#include <QPointF>

#include "render/ofdpagescene.h"

class QMenu;
class OfdAnnotViewDataOfPage;
class OfdFile;
class OfdVisualItemAnnot;
class PageAnnot;

// The annotations of one page scene: creates the items of the page's loaded annotations while the
// scene is built, draws new annotations with the chosen tool, moves and deletes new ones, gives
// hover feedback and a context menu, and reports the annotations for the panel. Owned by its scene
// (as its annotation hook); the items belong to the scene.
class PageAnnotManage : public OfdPageSceneAnnotHook
{
public:
    explicit PageAnnotManage(OfdPageScene *scene);
    ~PageAnnotManage() override;

    // The manager of a scene, null when the annotation module is not installed.
    static PageAnnotManage *FromScene(OfdPageScene *scene);

    void CreateAnnotation() override;
    bool MousePress(QGraphicsSceneMouseEvent *event) override;
    bool MouseMove(QGraphicsSceneMouseEvent *event) override;
    bool MouseRelease(QGraphicsSceneMouseEvent *event) override;
    void OnMouseShapeChanged() override;
    // New annotations, one being drawn, and loaded ones deleted or hidden by the user: a scene
    // holding any of these must not be dropped and rebuilt from the file.
    bool HasUnsavedWork() const override;

    // Drawing with the scene's annotation tool, positions in scene pixels. Start returns the item
    // being drawn (null for an unknown tool).
    OfdVisualItemAnnot *DrawAnnotStart(const QPointF &point);
    void DrawAnnotMove(const QPointF &point);
    OfdVisualItemAnnot *DrawAnnotEnd(const QPointF &point);
    OfdVisualItemAnnot *GetCurrentAnnot() const { return m_current; }

    // Moves a new annotation by a scene delta.
    void MoveVisualAnnot(OfdVisualItemAnnot *item, const QPointF &delta);
    // Removes an annotation from the scene and deletes its item; a loaded one is remembered so
    // that saving removes it from its file. False for read-only loaded annotations and unknown
    // items.
    bool DeleteVisualItem(OfdVisualItemAnnot *item);
    // True when the item may be deleted (new ones, and loaded ones that are not read-only).
    bool IsDeletable(OfdVisualItemAnnot *item) const;
    // Deletes every new annotation.
    void DeleteAllAnnot();

    bool IsHaveAnnot() const { return !m_loaded.isEmpty() || !m_new.isEmpty(); }
    bool IsHaveNewAnnot() const { return !m_new.isEmpty(); }
    const QList<OfdVisualItemAnnot *> &GetLoadedAnnotGroup() const { return m_loaded; }
    const QList<OfdVisualItemAnnot *> &GetNewAnnotGroup() const { return m_new; }
    // Loaded annotations deleted in this session (owned by the document's annotation model).
    const QList<PageAnnot *> &GetDeletedLoadedAnnots() const { return m_deletedLoaded; }
    // Loaded annotations, then the new ones, in creation order.
    QList<OfdVisualItemAnnot *> GetAllAnnot() const { return m_loaded + m_new; }

    // The topmost new annotation at a scene point, or null.
    OfdVisualItemAnnot *GetNewAddAnnotFromPoint(const QPointF &point) const;
    // The topmost visible annotation at a scene point, or null.
    OfdVisualItemAnnot *GetAnnotFromPoint(const QPointF &point) const;
    // Hover feedback: the annotation under the point shows its frame. Returns it (or null).
    OfdVisualItemAnnot *DealAnnotMouseMove(const QPointF &point);
    OfdVisualItemAnnot *GetHoverAnnot() const { return m_hover; }
    // Shows or hides the annotations with these item IDs (the panel's check boxes).
    void OnAnnotCheckChanged(const QList<int> &itemIds, bool visible);
    // The panel's data for this page (the caller owns it); null when the page has no annotations.
    OfdAnnotViewDataOfPage *CreateAnnotViewData() const;
    // The same for a page whose scene was not built, from the document's annotation files alone;
    // null when the page has none.
    static OfdAnnotViewDataOfPage *CreateAnnotViewData(OfdFile *document, int pageKey, int pageIndex);
    // Item IDs of loaded annotations follow their place in the page's annotation list, so that the
    // panel names the same item before the scene exists and after it was built again.
    static int LoadedItemId(int index) { return kLoadedItemIdBase + index; }

    // The context menu of an annotation ("删除批注" for new ones, "隐藏批注"); the caller owns it.
    QMenu *CreateContextMenu(OfdVisualItemAnnot *item);

private:
    static const int kLoadedItemIdBase = 1 << 24; // above any scene's own item counter

    bool IsDrawMode() const;
    bool IsEditMode() const;
    void Forget(OfdVisualItemAnnot *item);

    OfdPageScene *m_scene = nullptr;
    QList<OfdVisualItemAnnot *> m_loaded;
    QList<OfdVisualItemAnnot *> m_new;
    QList<PageAnnot *> m_deletedLoaded;
    OfdVisualItemAnnot *m_current = nullptr; // being drawn, or the pen that takes further strokes
    OfdVisualItemAnnot *m_dragged = nullptr;
    OfdVisualItemAnnot *m_hover = nullptr;
    bool m_drawing = false;
    QPointF m_press;
    QPointF m_last;
};
