#pragma once

#include <QGraphicsObject>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QSharedPointer>
#include <QSizeF>

class QMenu;
class QWidget;
class OfdPageScene;
class SealSignInfo;
struct OES_SealInfoEx;

// A seal placed on a page and waiting to be signed: the seal's picture at the record's rectangle,
// above every other item of the page. The item's position is the top-left corner of the picture in
// page pixels (zoom 1); whenever the item moves, the record's rectangle follows.
class OfdVisualItemSignSeal : public QGraphicsObject
{
    Q_OBJECT
public:
    // The seal layer: placed seals lie above the page content, its annotations and signed seals.
    static constexpr double kSealZValue = 10000;
    // Picture size when the provider gives none, in millimetres.
    static constexpr double kDefaultSealSizeMM = 40;

    OfdVisualItemSignSeal(OfdPageScene *scene, const QSharedPointer<SealSignInfo> &info,
                          QGraphicsItem *parent = nullptr);
    ~OfdVisualItemSignSeal() override;

    QSharedPointer<SealSignInfo> GetSealSignInfo() const { return m_info; }
    OfdPageScene *GetOfdScene() const { return m_scene; }
    // Size of the picture in pixels.
    QSizeF GetSealSize() const { return m_size; }
    // The picture drawn: the seal's own or, when it has none that decodes, the default seal image.
    const QImage &GetPicture() const { return m_picture; }
    bool HasSealPicture() const { return m_hasSealPicture; }

    // Picture size in pixels of a provider seal (its millimetres; 40 x 40 mm when it gives none).
    static QSizeF GetSealSize(const OES_SealInfoEx *seal);
    // Top-left corner of a seal picture of the given size placed with a seal type on a page:
    // an ordinary seal keeps the corner given; a seal across pages is moved onto its edge (left
    // x = 0, right x = page width - seal width, top y = 0, bottom y = page height - seal height),
    // keeping the other coordinate.
    static QPointF GetPlacedPos(int sealType, const QSizeF &pageSize, const QSizeF &sealSize,
                                const QPointF &topLeft);

    // Places the picture centred on a point of the page (moved inside the page when it would stick
    // out), then onto its edge for a seal across pages.
    void PlaceAt(const QPointF &centre);
    // Sets the record's seal type and moves the picture to that edge of the page.
    void ChangeSealType(int sealType);
    // Moves by a scene delta; a seal across pages stays on its edge and moves along it only.
    void MoveSeal(const QPointF &delta);

    // The context menu: "执行签章", "删除印章" and, for a seal across pages, "更改骑缝章类型" with
    // the four edges. The caller owns the menu; its actions work without the menu being shown.
    QMenu *CreateContextMenu(QWidget *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // The picture shown for a seal without one: a red circle with the seal's name.
    static QImage CreateDefaultSealImage(const QSizeF &size, const QString &name);

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    QSizeF GetPageSize() const;
    void UpdateRect();
    void UpdateToolTip();

    OfdPageScene *m_scene;
    QSharedPointer<SealSignInfo> m_info;
    QSizeF m_size;
    QImage m_picture;
    bool m_hasSealPicture = false;
};

// Hides the seals being placed on a scene for as long as it lives: pictures of a page for print,
// export or thumbnails show the document as it is, and a placed seal is not part of it until the
// document is signed. The seals are shown again when the guard goes.
class OfdSignSealOutputGuard
{
public:
    explicit OfdSignSealOutputGuard(OfdPageScene *scene);
    ~OfdSignSealOutputGuard();
    OfdSignSealOutputGuard(const OfdSignSealOutputGuard &) = delete;
    OfdSignSealOutputGuard &operator=(const OfdSignSealOutputGuard &) = delete;

private:
    QList<QPointer<OfdVisualItemSignSeal>> m_hidden;
};
