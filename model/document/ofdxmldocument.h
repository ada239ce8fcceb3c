#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

#include "model/xml/ofdxml.h"

class QXmlStreamReader;
class XmlNode;
class OfdDocumentCommonData;
class OfdDocumentPageAttr;
class OfdTemplatePageAttr;

// A document descriptor (Document.xml): common data, the ordered page list and the locations of
// custom tags, annotations and attachments (all package paths). Owns what it reads. Its own package
// path must be set (SetOfdFilePath) before parsing.
class OfdXmlDocument : public OfdXml
{
public:
    OfdXmlDocument();
    ~OfdXmlDocument() override;

    // Parses the descriptor; what was read before an XML error stays.
    void PasrseXml(const QByteArray &bytes);

    int GetPageCount() const { return m_pages.size(); }
    OfdDocumentPageAttr *GetPageAttr(int i) const { return m_pages.value(i, nullptr); }
    const QList<OfdDocumentPageAttr *> &GetPageAttrs() const { return m_pages; }

    // Null when the descriptor has no CommonData.
    OfdDocumentCommonData *GetCommonData() const { return m_commonData.get(); }
    // Resource paths of the common data; empty without common data.
    QString GetPublicResPath() const;
    QString GetDocumentResPath() const;
    // Physical box of the common page area (millimetres); false when there is none.
    bool GetPageArea_PhysicalBox(QRectF &rect) const;
    // The first template page with that id, or null.
    OfdTemplatePageAttr *GetTemplatePageAttr(int id) const;

    // Package paths, empty when the descriptor names none.
    const QString &GetCustomTagsPath() const { return m_customTagsPath; }
    const QString &GetAnnotationsPath() const { return m_annotationsPath; }
    const QString &GetAttachmentsPath() const { return m_attachmentsPath; }
    // The Outlines element with its entries, for the outline reader (owned; null when absent).
    XmlNode *GetOutlinesNode() const { return m_outlines.get(); }

private:
    QString Resolve(const QString &location) const;
    void ParsePages(QXmlStreamReader &reader);

    std::unique_ptr<OfdDocumentCommonData> m_commonData;
    QList<OfdDocumentPageAttr *> m_pages;
    std::unique_ptr<XmlNode> m_outlines;
    QString m_customTagsPath;
    QString m_annotationsPath;
    QString m_attachmentsPath;
};
