#pragma once

#include <QList>
#include <QPainterPath>

class QPainter;
class QRectF;
class QTransform;
class QXmlStreamReader;
class OfdDocumentAccess;
class OfdTypePageClip_Area;
class OfdTypePageClips;

// One Clip of a page object: the union of its areas (owned).
class OfdTypePageClip
{
public:
    explicit OfdTypePageClip(OfdTypePageClips *clips = nullptr);
    virtual ~OfdTypePageClip();
    OfdTypePageClip(const OfdTypePageClip &) = delete;
    OfdTypePageClip &operator=(const OfdTypePageClip &) = delete;

    // Reads the Clip element the reader is on, to its end tag; each Area child becomes an area.
    virtual void ParseXml(QXmlStreamReader &reader);

    const QList<OfdTypePageClip_Area *> &GetAreas() const { return m_areas; }
    // Union of the areas' clips (see OfdTypePageClip_Area); null when none has one. Caller owns it.
    QPainterPath *GetPainterClip(const QTransform *t) const;
    QPainterPath GetClip_PainterPath() const;
    bool SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const;

    OfdTypePageClips *GetClips() const { return m_clips; }
    OfdDocumentAccess *GetOfdFile() const;

private:
    OfdTypePageClips *m_clips;
    QList<OfdTypePageClip_Area *> m_areas;
};
