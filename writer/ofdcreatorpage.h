#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>

#include "render/ofdcontentwriter.h"
#include "writer/ofdxmlfile.h"

class OfdVisualItem;

// A multimedia resource that a written image object uses: pooled by its bytes in the document
// resource file.
struct OfdCreatorMultiMediaInfo
{
    QString type = QStringLiteral("Image");
    QString format;  // the format attribute as read, may be empty
    QByteArray data; // the file's bytes
    QString fileExt; // extension of the stored file ("png")
};

// The identifier counter and resource registries of a package being written (the writer).
class OfdIdCreator
{
public:
    virtual ~OfdIdCreator();
    // The next identifier in decimal; the first is "1".
    virtual QString GetNextId() = 0;
    virtual int GetFontId(const OfdCreatorFontInfo &font) = 0;
    virtual int GetRgbColorSpaceId() = 0;
    virtual int GetResourceId(const OfdCreatorMultiMediaInfo &media) = 0;
};

// The content file of one page being written ("Pages/Page_%1/Content.xml" in the document
// directory). The writer writes the page objects of the visual items into it; annotation items
// write themselves through its OfdContentWriter side.
class OfdCreatorPage : public OfdXmlFile, public OfdContentWriter
{
public:
    // creator: the writer whose counter and registries are used (not owned).
    OfdCreatorPage(OfdIdCreator *creator, int pageIndex, int oldPageKey);
    ~OfdCreatorPage() override;

    void FillHeader() override;
    int GetOfdFileType() const override;

    QString GetNextId() override;
    int GetFontId(const OfdCreatorFontInfo &font) override;
    virtual int GetRgbColorSpaceId();
    virtual int GetResourceId(const OfdCreatorMultiMediaInfo &media);

    // Appends a colour element (FillColor, StrokeColor) in the RGB colour space of the package.
    XmlNode *AddColorNode(XmlNode *parent, const QString &name, const QColor &color) override;
    // Boundary and CTM texts of an item's page object with the placements of the composite
    // objects around it folded in (millimetres); empty texts for what the object does not have.
    virtual void GetPlacementText(OfdVisualItem *item, QString &boundary, QString &ctm);
    // Writes a visual item's page object under parent: text, path and image items through the
    // writer's own routines, annotations through their CreateXml.
    void WriteVisualItem(OfdVisualItem *item, XmlNode *parent) override;
    // Records that the page object oldId of the opened page now has newId (for custom tags).
    virtual void MapObjectId(int oldId, int newId);

    int GetPageIndex() const { return m_pageIndex; }
    int GetOldPageKey() const { return m_oldPageKey; }
    const QString &GetPageId() const { return m_pageId; }
    void SetPageId(const QString &id) { m_pageId = id; }
    const QHash<int, int> &GetObjectIdMap() const { return m_objectIds; }

private:
    OfdIdCreator *m_creator = nullptr;
    int m_pageIndex = 0;
    int m_oldPageKey = 0;
    QString m_pageId;
    QHash<int, int> m_objectIds;
};
