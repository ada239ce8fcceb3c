#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include "model/xml/ofdxml.h"

class QXmlStreamReader;
class OfdDocumentAccess;
class OfdTypeColorSpace;
class OfdTypeCompositeGraphicUnit;
class OfdTypeDrawParam;
class OfdTypeFillColor;
class OfdTypeFont;
class OfdTypeMultiMedia;

// One resource file (public, document or page resources): fonts, colour spaces, multimedia,
// drawing parameters and composite graphic units, all owned. File locations inside it
// (FontFile, MediaFile) are rewritten to package paths after parsing.
class OfdXmlRes : public OfdXml
{
public:
    enum EN_OfdResType
    {
        ResType_Public = 0,
        ResType_Document = 1,
        ResType_Page = 2,
    };

    // document lets colours of drawing parameters reach the colour spaces (not owned; may be null).
    explicit OfdXmlRes(OfdDocumentAccess *document = nullptr);
    ~OfdXmlRes() override;

    void SetResType(EN_OfdResType type) { m_resType = type; }
    EN_OfdResType GetResType() const { return m_resType; }
    OfdDocumentAccess *GetOfdFile() const { return m_document; }
    // Parses the file (its own package path must be set), then rewrites font and media paths.
    void PasrseXml(const QByteArray &bytes);

    // The root element's BaseLoc as written; empty when absent.
    const QString &GetBaseLoc() const { return m_baseLoc; }

    // First entry with that id, or null.
    OfdTypeFont *GetFont(int id) const;
    OfdTypeColorSpace *ColorSpace(int id) const;
    OfdTypeMultiMedia *GetMultiMedia(int id) const;
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) const;
    // First drawing parameter whose id equals id exactly, or null.
    OfdTypeDrawParam *GetDrawParam(const QString &id) const;
    // The colour of that drawing parameter; null when there is no such parameter or it gives no
    // such colour.
    OfdTypeFillColor *GetFillColor(const QString &id) const;
    OfdTypeFillColor *GetStrokeColor(const QString &id) const;

    const QList<OfdTypeFont *> &GetFonts() const { return m_fonts; }
    const QList<OfdTypeColorSpace *> &GetColorSpaces() const { return m_colorSpaces; }
    const QList<OfdTypeDrawParam *> &GetDrawParams() const { return m_drawParams; }
    const QHash<int, OfdTypeMultiMedia *> &GetMultiMedias() const { return m_multiMedias; }
    const QHash<int, OfdTypeCompositeGraphicUnit *> &GetCompositeGraphicUnits() const { return m_units; }

private:
    void AddEntry(const QString &list, const QString &name, QXmlStreamReader &reader, bool &taken);
    void AdjustFontPath();
    void AdjustMultiMediaPath();
    QString ResolveFileLocation(const QString &location) const;

    EN_OfdResType m_resType = ResType_Public;
    OfdDocumentAccess *m_document;
    QString m_baseLoc;
    QList<OfdTypeFont *> m_fonts;
    QList<OfdTypeColorSpace *> m_colorSpaces;
    QHash<int, OfdTypeMultiMedia *> m_multiMedias;
    QList<OfdTypeDrawParam *> m_drawParams;
    QHash<int, OfdTypeCompositeGraphicUnit *> m_units;
};
