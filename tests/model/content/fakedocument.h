#pragma once

#include <QHash>
#include <QPointF>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofditemcontext.h"
#include "model/content/ofdtypecolorspace.h"

// A document that knows only colour spaces (and counts the look-ups), for value-type tests.
class FakeDocument : public OfdDocumentAccess
{
public:
    ~FakeDocument() override { qDeleteAll(spaces); }
    void AddSpace(int id, const QString &type, int bits = 8)
    {
        spaces.insert(id, new OfdTypeColorSpace(id, type, bits));
    }

    OfdTypeColorSpace *GetColorSpace(int id) override
    {
        ++colorSpaceLookups;
        return spaces.value(id, &defaultSpace);
    }
    QByteArray GetOfdFileContent(const QString &) override { return QByteArray(); }
    OfdTypeFont *GetFont(int) override { return nullptr; }
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int) override { return nullptr; }
    OfdTypeMultiMedia *GetMultiMedia(int, int) override { return nullptr; }
    OfdTypeDrawParam *GetDrawParam(const QString &, int) override { return nullptr; }
    OfdTypeFillColor *GetFillColor(const QString &, int) override { return nullptr; }
    OfdTypeFillColor *GetStrokeColor(const QString &, int) override { return nullptr; }
    QByteArray GetTemplateFileContent(int) override { return QByteArray(); }
    void AddPageRes(const QString &, int) override {}
    QString GetFontFromEmbedFile(const QString &) override { return QString(); }
    float GetBaseline(const QFont &, int, float) override { return 0; }

    QHash<int, OfdTypeColorSpace *> spaces;
    OfdTypeColorSpace defaultSpace{0, OfdTypeColorSpace::ColorSpaceType_RGB, 8};
    int colorSpaceLookups = 0;
};

// A page object stand-in: a document, a page key and a boundary origin.
class FakeItem : public OfdItemContext
{
public:
    explicit FakeItem(OfdDocumentAccess *document, int pageKey = 0, QPointF origin = QPointF())
        : m_document(document), m_pageKey(pageKey), m_origin(origin)
    {
    }
    OfdDocumentAccess *GetOfdFile() const override { return m_document; }
    int GetPageRefId() const override { return m_pageKey; }
    QPointF GetBoundaryOrigin() const override { return m_origin; }

private:
    OfdDocumentAccess *m_document;
    int m_pageKey;
    QPointF m_origin;
};
