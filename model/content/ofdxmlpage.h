#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

#include "model/xml/ofdxml.h"

class OfdDocumentAccess;
class OfdTemplateInfo;
class OfdTypeFillColor;
class OfdXmlPageLayerGroup;

// One page of a document: the raw bytes of its content file, parsed on first demand into layer
// groups (the templates it uses, then its own content) of layers of page objects.
class OfdXmlPage : public OfdXml
{
public:
    OfdXmlPage();
    ~OfdXmlPage() override;

    void SetOfdFile(OfdDocumentAccess *document) { m_document = document; }
    OfdDocumentAccess *GetOfdFile() const { return m_document; }
    // Binds the page to its entry in Document.xml (ID as written, content path) and its bytes. Empty
    // bytes are read from the document when the page is first parsed.
    void SetPage(const QString &pageId, const QString &pagePath, const QByteArray &content);

    // Parses once; true when it parsed now.
    bool TryParse();
    bool IsParsed() const { return m_parsed; }
    void ParseReal();
    // Drops the parsed content and its bytes; the next TryParse reads the page again. Nothing may
    // point into the page's objects any more (no scene shows it).
    void Unload();

    // The page's ID as an integer, cached; 0 when the page has none.
    int GetPageRefId() const;
    const QString &GetPageFullPath() const { return m_pagePath; }
    const QByteArray &GetContent() const { return m_content; }

    // Registers a resource file named in a content file: the page's own, or (contentPath given)
    // a template's, against whose path the location is resolved.
    void AddPageRes(const QString &path, const QString &contentPath = QString());
    // The physical box of the page's own Area; false when it has none.
    bool GetPageArea_PhysicalBox(QRectF &box) const;
    OfdTypeFillColor *GetFillColorByDrawParam(const QString &id) const;
    // Parses the template's content as a group placed beneath what is there; false when the
    // template has no content.
    bool ParsePageTemplate(OfdTemplateInfo *info);

    OfdXmlPageLayerGroup *GetBodyGroup() const { return m_bodyGroup; }
    // All groups in drawing order: templates (last referenced first), then the body.
    const QList<OfdXmlPageLayerGroup *> &GetGroups() const { return m_groups; }
    void ShowPageInfo() const;

private:
    OfdDocumentAccess *m_document = nullptr;
    QString m_pageId;
    QString m_pagePath;
    QByteArray m_content;
    mutable int m_pageRefId = 0;
    OfdXmlPageLayerGroup *m_bodyGroup = nullptr;
    QList<OfdXmlPageLayerGroup *> m_groups;
    bool m_parsed = false;
};
