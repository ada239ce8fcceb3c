#pragma once

#include <QString>

#include "model/package/ofdcontentsource.h"

class QFont;
class OfdTypeColorSpace;
class OfdTypeCompositeGraphicUnit;
class OfdTypeDrawParam;
class OfdTypeFillColor;
class OfdTypeFont;
class OfdTypeMultiMedia;

// What the value types and the page content model ask of the document they belong to: resources by
// id, template contents and package bytes. The document object implements it; value types keep a
// non-owning pointer. Returned objects stay owned by the document.
class OfdDocumentAccess : public OfdContentSource
{
public:
    ~OfdDocumentAccess() override;

    // Colour space by id; id 0 or an unknown id gives the document's default space. Never null.
    virtual OfdTypeColorSpace *GetColorSpace(int id) = 0;
    // Resources declared in the public and document resource files; null when unknown.
    virtual OfdTypeFont *GetFont(int id) = 0;
    virtual OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) = 0;
    // Resources that a page may also declare: with a non-zero page key that page's resource files
    // are searched first. Null when unknown.
    virtual OfdTypeMultiMedia *GetMultiMedia(int id, int pageKey) = 0;
    virtual OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) = 0;
    virtual OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) = 0;
    virtual OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) = 0;

    // Bytes of the content file of the template page with that id; empty when unknown.
    virtual QByteArray GetTemplateFileContent(int id) = 0;
    // Package path of that content file; empty when unknown.
    virtual QString GetTemplateFilePath(int /*id*/) { return QString(); }
    // Registers a page resource file (package path) for the page with that key.
    virtual void AddPageRes(const QString &path, int pageKey) = 0;

    // Family name under which an embedded font file can be drawn; empty on failure.
    virtual QString GetFontFromEmbedFile(const QString &path) = 0;
    // Baseline (ascent) of font, cached per font id and size.
    virtual float GetBaseline(const QFont &font, int fontId, float size) = 0;
};
