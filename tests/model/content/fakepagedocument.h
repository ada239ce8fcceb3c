#pragma once

#include <QHash>
#include <QList>
#include <QPair>

#include "model/content/ofddocumentaccess.h"
#include "model/content/ofdtypecolorspace.h"

// A document for page-model tests: draw parameters and templates given as XML, page resources
// recorded, one default RGB colour space.
class FakePageDocument : public OfdDocumentAccess
{
public:
    FakePageDocument();
    ~FakePageDocument() override;

    // Parses a DrawParam element and keeps it under its ID.
    void AddDrawParam(const QByteArray &xml);
    void AddTemplate(int id, const QByteArray &content) { m_templates.insert(id, content); }
    void AddFile(const QString &path, const QByteArray &bytes) { m_files.insert(path, bytes); }

    OfdTypeColorSpace *GetColorSpace(int id) override;
    OfdTypeFont *GetFont(int) override { return nullptr; }
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int) override { return nullptr; }
    OfdTypeMultiMedia *GetMultiMedia(int, int) override { return nullptr; }
    OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) override;
    OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) override;
    OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) override;
    QByteArray GetTemplateFileContent(int id) override { return m_templates.value(id); }
    void AddPageRes(const QString &path, int pageKey) override { pageRes.append(qMakePair(path, pageKey)); }
    QString GetFontFromEmbedFile(const QString &) override { return QString(); }
    float GetBaseline(const QFont &, int, float) override { return 0; }
    QByteArray GetOfdFileContent(const QString &path) override { return m_files.value(path); }

    QList<QPair<QString, int>> pageRes;
    QList<int> drawParamPageKeys; // the page key of every draw-parameter look-up

private:
    OfdTypeColorSpace m_rgb{0, OfdTypeColorSpace::ColorSpaceType_RGB, 8};
    QHash<QString, OfdTypeDrawParam *> m_drawParams;
    QHash<int, QByteArray> m_templates;
    QHash<QString, QByteArray> m_files;
};
