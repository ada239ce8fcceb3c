#pragma once

#include <QHash>

#include "model/content/ofddocumentaccess.h"
#include "model/document/ofddocumentresmanage.h"

// A document over files held in memory whose resource look-ups go through OfdDocumentResManage,
// as the real document object's do. Counts file reads.
class FakePackageDocument : public OfdDocumentAccess
{
public:
    FakePackageDocument() : resources(this, this) {}

    QByteArray GetOfdFileContent(const QString &path) override
    {
        ++reads;
        return files.value(path);
    }
    OfdTypeColorSpace *GetColorSpace(int id) override { return resources.GetColorSpace(id); }
    OfdTypeFont *GetFont(int id) override { return resources.GetFont(id); }
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) override
    {
        return resources.GetCompositeGraphicUnit(id);
    }
    OfdTypeMultiMedia *GetMultiMedia(int id, int pageKey) override
    {
        return resources.GetMultiMedia(id, pageKey);
    }
    OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) override
    {
        return resources.GetDrawParam(id, pageKey);
    }
    OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) override
    {
        return resources.GetFillColor(id, pageKey);
    }
    OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) override
    {
        return resources.GetStrokeColor(id, pageKey);
    }
    QByteArray GetTemplateFileContent(int) override { return QByteArray(); }
    void AddPageRes(const QString &path, int pageKey) override { resources.AddPageRes(path, pageKey); }
    QString GetFontFromEmbedFile(const QString &) override { return QString(); }
    float GetBaseline(const QFont &font, int fontId, float size) override
    {
        return resources.GetBaseline(font, fontId, size);
    }

    QHash<QString, QByteArray> files;
    int reads = 0;
    OfdDocumentResManage resources;
};
