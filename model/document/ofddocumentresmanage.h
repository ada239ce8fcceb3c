#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "model/content/ofdtypecolorspace.h"
#include "model/document/fontbaselinecach.h"
#include "model/document/ofdxmlres.h"

class QFont;
class OfdContentSource;
class OfdDocumentAccess;
class OfdXmlResManange;

// All resources of one document and the order in which look-ups search them: the document-level
// files (public resources, then document resources), the page resource files per page key, the
// default colour space (RGB, 8 bits) and the font baseline cache. Owns the files. The document
// object answers its resource look-ups through it.
//
// Fonts, colour spaces and composite units are searched in the document-level files only; draw
// parameters and multimedia with a non-zero page key first in that page's files.
class OfdDocumentResManage
{
public:
    // source reads resource files; document is handed to the files for their colours. Neither is
    // owned; document may be null.
    OfdDocumentResManage(OfdContentSource *source, OfdDocumentAccess *document);
    virtual ~OfdDocumentResManage();
    OfdDocumentResManage(const OfdDocumentResManage &) = delete;
    OfdDocumentResManage &operator=(const OfdDocumentResManage &) = delete;

    // Reads the resource file at path and appends it to the document-level files. False (nothing
    // added) when its bytes are empty.
    bool ParseRes(const QString &path, OfdXmlRes::EN_OfdResType type);
    // Reads a page resource file and adds it to the page group of pageKey (created on first use).
    bool AddPageRes(const QString &path, int pageKey);

    const QList<OfdXmlRes *> &GetDocumentRes() const { return m_documentRes; }
    // The page group of pageKey, or null.
    OfdXmlResManange *GetPageRes(int pageKey) const { return m_pageRes.value(pageKey, nullptr); }
    OfdTypeColorSpace *GetDefaultColorSpace() { return &m_defaultColorSpace; }

    OfdTypeFont *GetFont(int id) const;
    // Id 0 and unknown ids give the default colour space; never null.
    OfdTypeColorSpace *GetColorSpace(int id);
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) const;
    OfdTypeMultiMedia *GetMultiMedia(int id, int pageKey) const;
    OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) const;
    // The colour of the drawing parameter GetDrawParam finds; null when it gives none.
    OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) const;
    OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) const;
    float GetBaseline(const QFont &font, int fontId, float size);

private:
    OfdXmlRes *ReadRes(const QString &path, OfdXmlRes::EN_OfdResType type);
    OfdXmlRes *FindDrawParamRes(const QString &id, int pageKey) const;

    OfdContentSource *m_source;
    OfdDocumentAccess *m_document;
    QList<OfdXmlRes *> m_documentRes;
    QHash<int, OfdXmlResManange *> m_pageRes;
    QHash<int, QStringList> m_pageResPaths; // page resource files read, by page key (a page read
                                            // again after it was released does not add them twice)
    OfdTypeColorSpace m_defaultColorSpace{0, OfdTypeColorSpace::ColorSpaceType_RGB, 8};
    FontBaselineCach m_baselines;
};
