#pragma once

#include <QString>
#include <QVector>

#include "model/content/ofdtypefillcolor.h"
#include "model/xml/xmlnode.h"

class QXmlStreamReader;
class OfdDocumentAccess;

// A drawing-parameter resource: id, fill and stroke colour, and every attribute of its element as
// written (line width, join, cap, dashes, …), which path objects fall back to.
class OfdTypeDrawParam
{
public:
    OfdTypeDrawParam();
    virtual ~OfdTypeDrawParam();
    OfdTypeDrawParam(const OfdTypeDrawParam &) = delete;
    OfdTypeDrawParam &operator=(const OfdTypeDrawParam &) = delete;

    // Reads the DrawParam element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    const QString &GetID() const { return m_id; }
    OfdTypeFillColor &GetFillColor() { return m_fillColor; }
    OfdTypeFillColor &GetStrokeColor() { return m_strokeColor; }
    const QVector<NamePair> &GetAttrs() const { return m_attrs; }
    // The value of the first attribute called name (found = true), else def (found = false).
    QString GetAttrValue(const QString &name, bool &found, const QString &def = QString()) const;
    // Lets the colours reach the document's colour spaces (not owned).
    void SetDocumentAccess(OfdDocumentAccess *document);

private:
    QString m_id;
    OfdTypeFillColor m_fillColor;
    OfdTypeFillColor m_strokeColor;
    QVector<NamePair> m_attrs;
};
