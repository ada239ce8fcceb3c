#pragma once

#include <QList>
#include <QPainterPath>

class QPainter;
class QRectF;
class QTransform;
class QXmlStreamReader;
class OfdDocumentAccess;
class OfdItemContext;
class OfdTypePageClip;

// The Clips of a page object: the intersection of its clips (owned). TransFlag true means the clip
// outlines are already in the space the object is drawn in and are not transformed.
class OfdTypePageClips
{
public:
    explicit OfdTypePageClips(OfdItemContext *item = nullptr);
    virtual ~OfdTypePageClips();
    OfdTypePageClips(const OfdTypePageClips &) = delete;
    OfdTypePageClips &operator=(const OfdTypePageClips &) = delete;

    // Reads the Clips element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    bool GetTransFlag() const { return m_transFlag; }
    const QList<OfdTypePageClip *> &GetClipList() const { return m_clips; }
    // Intersection of the clips' outlines, each asked without transform when TransFlag is true and
    // with t otherwise; null when none has an outline. The caller owns the result.
    QPainterPath *GetPainterClip(const QTransform *t) const;
    // Union of the clips' outlines, untransformed.
    QPainterPath GetClip_PainterPath() const;
    bool SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const;

    void SetPageItem(OfdItemContext *item) { m_item = item; }
    OfdItemContext *GetPageItem() const { return m_item; }
    OfdDocumentAccess *GetOfdFile() const;

private:
    OfdItemContext *m_item;
    bool m_transFlag = true;
    QList<OfdTypePageClip *> m_clips;
};
