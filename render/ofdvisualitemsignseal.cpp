#include "render/ofdvisualitemsignseal.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "render/ofdpagescene.h"
#include "sign/oesv2helper.h"
#include "sign/sealsigninfo.h"

OfdVisualItemSignSeal::OfdVisualItemSignSeal(OfdPageScene *scene, const QSharedPointer<SealSignInfo> &info,
                                             QGraphicsItem *parent)
    : QGraphicsObject(parent), m_scene(scene), m_info(info)
{
    const QSharedPointer<OES_SealInfoEx> seal = info ? info->GetSealInfo() : QSharedPointer<OES_SealInfoEx>();
    m_size = GetSealSize(seal.data());
    const QByteArray imageData = info ? info->GetImageData() : QByteArray();
    if (!imageData.isEmpty())
        m_picture = QImage::fromData(imageData);
    m_hasSealPicture = !m_picture.isNull();
    if (!m_hasSealPicture)
        m_picture = CreateDefaultSealImage(m_size, seal ? seal->sealName : QString());
    setZValue(kSealZValue);
    setFlag(QGraphicsItem::ItemSendsGeometryChanges, true);
    setAcceptedMouseButtons(Qt::NoButton); // the scene handles the mouse for placed seals
    setCursor(Qt::SizeAllCursor);
    if (info && info->GetRect().isValid())
        setPos(info->GetRect().topLeft());
    UpdateToolTip();
    UpdateRect();
}

OfdVisualItemSignSeal::~OfdVisualItemSignSeal() = default;

QSizeF OfdVisualItemSignSeal::GetSealSize(const OES_SealInfoEx *seal)
{
    const double width = seal && seal->pictureWidth > 0 ? seal->pictureWidth : kDefaultSealSizeMM;
    const double height = seal && seal->pictureHeight > 0 ? seal->pictureHeight : kDefaultSealSizeMM;
    return QSizeF(OfdConvert::OfdMMToPixel(width), OfdConvert::OfdMMToPixel(height));
}

QPointF OfdVisualItemSignSeal::GetPlacedPos(int sealType, const QSizeF &pageSize, const QSizeF &sealSize,
                                            const QPointF &topLeft)
{
    QPointF pos = topLeft;
    switch (sealType) {
    case EN_SealSignType_RideLeft:
        pos.setX(0);
        break;
    case EN_SealSignType_RideRight:
        pos.setX(pageSize.width() - sealSize.width());
        break;
    case EN_SealSignType_RideTop:
        pos.setY(0);
        break;
    case EN_SealSignType_RideBottom:
        pos.setY(pageSize.height() - sealSize.height());
        break;
    default:
        break;
    }
    return pos;
}

QSizeF OfdVisualItemSignSeal::GetPageSize() const
{
    if (!m_scene)
        return QSizeF();
    return QSizeF(m_scene->GetPageWidthPixel(), m_scene->GetPageHeightPixel());
}

void OfdVisualItemSignSeal::PlaceAt(const QPointF &centre)
{
    QPointF topLeft(centre.x() - m_size.width() / 2, centre.y() - m_size.height() / 2);
    // A new seal lies within the page when it fits there.
    const QSizeF page = GetPageSize();
    if (page.width() >= m_size.width())
        topLeft.setX(qBound(0.0, topLeft.x(), page.width() - m_size.width()));
    if (page.height() >= m_size.height())
        topLeft.setY(qBound(0.0, topLeft.y(), page.height() - m_size.height()));
    setPos(GetPlacedPos(m_info ? m_info->GetSealType() : EN_SealSignType_Normal, GetPageSize(), m_size,
                        topLeft));
}

void OfdVisualItemSignSeal::ChangeSealType(int sealType)
{
    if (!m_info)
        return;
    m_info->SetSealType(sealType);
    UpdateToolTip();
    setPos(GetPlacedPos(sealType, GetPageSize(), m_size, pos()));
    UpdateRect();
}

void OfdVisualItemSignSeal::MoveSeal(const QPointF &delta)
{
    QPointF step = delta;
    const int type = m_info ? m_info->GetSealType() : EN_SealSignType_Normal;
    if (type == EN_SealSignType_RideLeft || type == EN_SealSignType_RideRight)
        step.setX(0);
    else if (type == EN_SealSignType_RideTop || type == EN_SealSignType_RideBottom)
        step.setY(0);
    if (!step.isNull())
        setPos(pos() + step);
}

void OfdVisualItemSignSeal::UpdateToolTip()
{
    if (!m_info)
        return;
    const QSharedPointer<OES_SealInfoEx> seal = m_info->GetSealInfo();
    QString tip = m_info->GetSealTypeMessage();
    if (seal && !seal->sealName.isEmpty())
        tip += QStringLiteral(": ") + seal->sealName;
    setToolTip(tip);
}

void OfdVisualItemSignSeal::UpdateRect()
{
    if (m_info)
        m_info->SetRect(QRectF(pos(), m_size));
}

QVariant OfdVisualItemSignSeal::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == QGraphicsItem::ItemPositionHasChanged)
        UpdateRect();
    return QGraphicsObject::itemChange(change, value);
}

QMenu *OfdVisualItemSignSeal::CreateContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    QAction *sign = menu->addAction(QtHelper::fromString("执行签章"));
    connect(sign, &QAction::triggered, this, [this]() {
        if (m_scene)
            m_scene->RequestSignSeal(this);
    });
    QAction *remove = menu->addAction(QtHelper::fromString("删除印章"));
    connect(remove, &QAction::triggered, this, [this]() {
        if (m_scene)
            m_scene->DeleteSeal(this);
    });
    // An ordinary seal becomes a seal across pages here too; it then moves to the chosen edge.
    if (m_info) {
        QMenu *types = menu->addMenu(QtHelper::fromString("更改骑缝章类型"));
        auto *group = new QActionGroup(types);
        const int order[] = {EN_SealSignType_RideLeft, EN_SealSignType_RideRight, EN_SealSignType_RideTop,
                             EN_SealSignType_RideBottom};
        for (int type : order) {
            QAction *action = types->addAction(SealSignInfo::GetSealTypeMessage(type));
            action->setCheckable(true);
            action->setChecked(m_info->GetSealType() == type);
            action->setActionGroup(group);
            connect(action, &QAction::triggered, this, [this, type]() { ChangeSealType(type); });
        }
    }
    return menu;
}

QRectF OfdVisualItemSignSeal::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_size);
}

void OfdVisualItemSignSeal::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_size.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->drawImage(boundingRect(), m_picture);
    painter->restore();
}

QImage OfdVisualItemSignSeal::CreateDefaultSealImage(const QSizeF &size, const QString &name)
{
    const QSize pixels(qMax(8, qRound(size.width())), qMax(8, qRound(size.height())));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QColor red(220, 20, 20);
    const double penWidth = qMax(2.0, qMin(pixels.width(), pixels.height()) / 30.0);
    painter.setPen(QPen(red, penWidth));
    painter.setBrush(Qt::NoBrush);
    const QRectF circle =
        QRectF(QPointF(0, 0), QSizeF(pixels)).adjusted(penWidth, penWidth, -penWidth, -penWidth);
    painter.drawEllipse(circle);
    if (!name.isEmpty()) {
        QFont font = painter.font();
        font.setPixelSize(qMax(6, qRound(circle.height() / 8)));
        painter.setFont(font);
        painter.drawText(circle, Qt::AlignCenter | Qt::TextWordWrap, name);
    }
    return image;
}

OfdSignSealOutputGuard::OfdSignSealOutputGuard(OfdPageScene *scene)
{
    if (!scene)
        return;
    for (OfdVisualItemSignSeal *item : scene->GetSignSealItems()) {
        if (item->isVisible()) {
            item->setVisible(false);
            m_hidden.append(item);
        }
    }
}

OfdSignSealOutputGuard::~OfdSignSealOutputGuard()
{
    for (const QPointer<OfdVisualItemSignSeal> &item : qAsConst(m_hidden)) {
        if (item)
            item->setVisible(true);
    }
}
