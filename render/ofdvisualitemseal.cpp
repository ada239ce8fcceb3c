#include "render/ofdvisualitemseal.h"

#include <QPainter>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "model/content/ofdhelper.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdxmlsignature.h"

namespace {
QRectF ToPixels(const QString &text)
{
    QRectF rect;
    if (!OfdHelper::PasrseRect(text, rect))
        return QRectF();
    OfdConvert::OfdMMToPixel(rect);
    return rect;
}
} // namespace

OfdVisualItemSeal::OfdVisualItemSeal(OfdXmlSignature *signature, const OfdSignatureStampAnnot &stamp,
                                     QGraphicsItem *parent)
    : OfdVisualItem(nullptr, parent), m_signature(signature)
{
    m_rect = ToPixels(stamp.boundary);
    // The clip is given in the seal's own coordinates (origin at the boundary's corner), as writers of
    // seals across pages put it: "0 0 8 40" keeps the seal's left 8 mm wherever it lies on the page.
    if (!stamp.clip.trimmed().isEmpty())
        m_clip = ToPixels(stamp.clip).translated(m_rect.topLeft());
    if (signature && signature->GetSeal() && signature->GetSeal()->GetSealPicture())
        m_picture = signature->GetSeal()->GetSealPicture()->GetImage();
    setToolTip(CreateSealTip(signature));
    setAcceptHoverEvents(true);
}

QRectF OfdVisualItemSeal::boundingRect() const
{
    return m_clip.isEmpty() ? m_rect : m_rect.intersected(m_clip);
}

void OfdVisualItemSeal::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_rect.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (!m_clip.isEmpty())
        painter->setClipRect(m_clip, Qt::IntersectClip);
    if (!m_picture.isNull()) {
        painter->drawImage(m_rect, m_picture);
    } else {
        // No picture to show: mark where the seal is.
        QPen pen(QColor(200, 30, 30), 2);
        painter->setPen(pen);
        painter->drawEllipse(m_rect.adjusted(2, 2, -2, -2));
    }
    if (m_showMark) {
        // Green tick: trusted signer; amber tick: intact but untrusted; red cross: failed; grey cross:
        // cannot be verified.
        const int level =
            m_signature ? m_signature->GetVerdict().GetLevel() : OfdSignatureVerdict::Level_Unknown;
        const bool valid =
            level == OfdSignatureVerdict::Level_Trusted || level == OfdSignatureVerdict::Level_Untrusted;
        static const QColor colours[] = {QColor(30, 150, 60), QColor(215, 150, 20), QColor(200, 30, 30),
                                         QColor(120, 120, 120)};
        const QRectF mark(m_rect.right() - 18, m_rect.bottom() - 18, 16, 16);
        painter->setPen(QPen(Qt::white, 2));
        painter->setBrush(colours[qBound(0, level, 3)]);
        painter->drawEllipse(mark);
        QPainterPath sign;
        if (valid) {
            sign.moveTo(mark.left() + 4, mark.center().y());
            sign.lineTo(mark.center().x() - 1, mark.bottom() - 4);
            sign.lineTo(mark.right() - 3, mark.top() + 4);
        } else {
            sign.moveTo(mark.left() + 4, mark.top() + 4);
            sign.lineTo(mark.right() - 4, mark.bottom() - 4);
            sign.moveTo(mark.right() - 4, mark.top() + 4);
            sign.lineTo(mark.left() + 4, mark.bottom() - 4);
        }
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(sign);
    }
    painter->restore();
}

void OfdVisualItemSeal::ShowVerifyMark(bool show)
{
    m_showMark = show;
    update();
}

bool OfdVisualItemSeal::IsSignatureValid(OfdXmlSignature *signature)
{
    return signature && signature->GetVerdict().IsIntact();
}

QString OfdVisualItemSeal::CreateSealTip(OfdXmlSignature *signature)
{
    if (!signature)
        return QString();
    const OfdSignatureVerdict &verdict = signature->GetVerdict();
    const auto row = [](const char *label, const QString &value) {
        return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
            .arg(QtHelper::fromString(label), value.toHtmlEscaped());
    };
    QString html = QStringLiteral("<table>");
    if (OfdSignatureSeal *seal = signature->GetSeal()) {
        html += row("印章名称：", seal->GetSealName());
        html += row("印章标识：", seal->GetEsID());
        html += row("印章类型：", seal->GetSealType());
        html += row("有效期：", seal->GetSealValidStart() + QStringLiteral(" ~ ") + seal->GetSealValidEnd());
    }
    html += row("签章时间：", verdict.GetSignTime());
    html += row("签章人：", verdict.GetSigner());
    html += row("签章标准：", verdict.GetStandard());
    if (const OfdSignatureProvider *provider = signature->GetProvider())
        html += row("签章提供者：", provider->providerName);
    html += row("验证结果：", verdict.GetText());
    html += QStringLiteral("</table>");
    for (const OfdSignatureCheck &check : verdict.GetChecks()) {
        if (check.state != OfdSignatureCheck::State_Passed)
            html +=
                QStringLiteral("<p>%1：%2</p>").arg(check.name.toHtmlEscaped(), check.detail.toHtmlEscaped());
    }
    return html;
}
