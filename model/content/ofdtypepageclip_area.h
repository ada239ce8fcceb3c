#pragma once

#include <QList>
#include <QPainterPath>
#include <QString>

#include <memory>

#include "model/content/ofdtypectm.h"

class QPainter;
class QRectF;
class QTransform;
class QXmlStreamReader;
class XmlNode;
class OfdDocumentAccess;
class OfdTypePageClip;

// One Area of a clip: path and text objects whose outlines together form the clip region. The
// objects are kept as the element's tree until the page model turns them into page objects; the
// renderer hands back the outline of each drawn object (pixels of the clipped object's space).
class OfdTypePageClip_Area
{
public:
    // Kinds of object outlines, numbered as the page objects' item types.
    enum EN_OutlineKind
    {
        Outline_Text = 1,
        Outline_Path = 2,
    };

    explicit OfdTypePageClip_Area(OfdTypePageClip *clip = nullptr);
    virtual ~OfdTypePageClip_Area();
    OfdTypePageClip_Area(const OfdTypePageClip_Area &) = delete;
    OfdTypePageClip_Area &operator=(const OfdTypePageClip_Area &) = delete;

    // Reads the Area element the reader is on, to its end tag: its DrawParam and CTM attributes and
    // its children.
    virtual void ParseXml(QXmlStreamReader &reader);

    // The Area element with its objects (owned; null before parsing).
    XmlNode *GetAreaNode() const { return m_areaNode.get(); }
    const QString &GetDrawParam() const { return m_drawParam; }
    // The area's own transformation (files write one); empty when absent.
    const OfdTypeCTM &GetCTM() const { return m_ctm; }

    // Outlines of the area's objects in document order, supplied by the renderer.
    void AddItemOutline(EN_OutlineKind kind, const QPainterPath &outline);
    void ClearItemOutlines() { m_outlines.clear(); }
    int GetItemOutlineCount() const { return m_outlines.size(); }

    // A copy of the first path or text outline, mapped by the inverse of t when t is given; null
    // when there is none. The caller owns the result.
    QPainterPath *GetPainterClip(const QTransform *t) const;
    // The first path outline, untransformed; empty when there is none.
    QPainterPath GetClip_PainterPath() const;
    // Each path outline (mapped by the inverse of t when given) replaces the painter's clip in turn,
    // so the last one is in force. False when there was none.
    bool SetPainterClip(QPainter *painter, const QRectF &rect, const QTransform *t) const;

    OfdTypePageClip *GetClip() const { return m_clip; }
    OfdDocumentAccess *GetOfdFile() const;

private:
    struct Outline
    {
        EN_OutlineKind kind;
        QPainterPath path;
    };

    OfdTypePageClip *m_clip;
    std::unique_ptr<XmlNode> m_areaNode;
    QString m_drawParam;
    OfdTypeCTM m_ctm;
    QList<Outline> m_outlines;
};
