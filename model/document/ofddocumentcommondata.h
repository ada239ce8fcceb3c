#pragma once

#include <QList>
#include <QString>

#include <memory>

class QXmlStreamReader;
class OfdTypePageArea;
class OfdTemplatePageAttr;
class OfdXmlDocument;

// The CommonData of a document descriptor: resource file paths, the largest object id, the default
// page area and the template pages (owned).
class OfdDocumentCommonData
{
public:
    explicit OfdDocumentCommonData(OfdXmlDocument *document);
    virtual ~OfdDocumentCommonData();
    OfdDocumentCommonData(const OfdDocumentCommonData &) = delete;
    OfdDocumentCommonData &operator=(const OfdDocumentCommonData &) = delete;

    // Reads the CommonData element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    // Package paths; empty when absent.
    const QString &GetPublicResPath() const { return m_publicResPath; }
    const QString &GetDocumentResPath() const { return m_documentResPath; }
    int GetMaxUnitID() const { return m_maxUnitId; }
    // Null when there was no PageArea.
    OfdTypePageArea *GetPageArea() const { return m_pageArea.get(); }
    const QList<OfdTemplatePageAttr *> &GetTemplatePages() const { return m_templatePages; }
    OfdXmlDocument *GetDocument() const { return m_document; }

private:
    QString Resolve(const QString &location) const;

    QString m_publicResPath;
    QString m_documentResPath;
    int m_maxUnitId = 0;
    OfdXmlDocument *m_document; // not owned
    std::unique_ptr<OfdTypePageArea> m_pageArea;
    QList<OfdTemplatePageAttr *> m_templatePages;
};
