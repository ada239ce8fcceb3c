#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

#include "model/document/ofddocumentextension.h"
#include "model/xml/ofdxml.h"

class QXmlStreamReader;
class OfdFile;
class OfdXmlAnnotation;
class OfdXmlPageBlock;
class OfdVisualItemTransfer;
class PageAnnot;

// One Page entry of the annotation list: the page key and the package path of its annotation file.
struct AnnotationsPageAttr
{
    int pageId = 0;
    QString fileLoc;
};

// The annotation list of a document (Annotations.xml) and the page annotation files it names. One
// per document, owned by the document; owns its entries and page files.
class OfdXmlAnnotations : public OfdXml, public OfdDocumentExtension
{
public:
    OfdXmlAnnotations();
    ~OfdXmlAnnotations() override;

    void SetOfdFile(OfdFile *document) { m_document = document; }
    OfdFile *GetOfdFile() const { return m_document; }

    // Reads the list into the page entries (the own path must be set first).
    void PasrseXml(const QByteArray &bytes);
    // Creates and reads one page file per entry; returns the number of entries.
    int PasrseAnnotationPage();

    const QList<AnnotationsPageAttr *> &GetPageEntries() const { return m_entries; }
    const QList<OfdXmlAnnotation *> &GetAnnotationPages() const { return m_pages; }
    // A new list of the page files of that page key, in list order; null when there is none. The
    // caller owns the list, not the files.
    QList<OfdXmlAnnotation *> *GetAnnotationsPage(int pageKey) const;
    QList<OfdXmlAnnotation *> *GetPageAnnotGroup(int pageKey) const { return GetAnnotationsPage(pageKey); }
    // All annotations of a page key in file order (not owned by the caller).
    QList<PageAnnot *> GetPageAnnots(int pageKey) const;
    int GetAnnotCount() const;

    // Makes the document loader read annotation lists with this class (once, at start-up).
    static void InstallLoader();
    // What the loader does: the list at path with its page files; null when the list is unreadable.
    static OfdXmlAnnotations *Load(OfdFile *document, const QString &path);

private:
    OfdFile *m_document = nullptr;
    QList<AnnotationsPageAttr *> m_entries;
    QList<OfdXmlAnnotation *> m_pages;
};

// One page annotation file: the annotations of one page (owned), in file order.
class OfdXmlAnnotation : public OfdXml
{
public:
    OfdXmlAnnotation(OfdFile *document, int pageKey, const QString &path);
    ~OfdXmlAnnotation() override;

    // Reads the file through the document; false (and no annotations) when it is empty.
    bool PasrseXml();
    // Parses file bytes (also for tests).
    bool PasrseXml(const QByteArray &bytes);

    OfdFile *GetOfdFile() const { return m_document; }
    int GetPageId() const { return m_pageKey; }
    const QList<PageAnnot *> &GetAnnots() const { return m_annots; }

private:
    OfdFile *m_document = nullptr;
    int m_pageKey = 0;
    QList<PageAnnot *> m_annots;
};

// The appearance of an annotation: its boundary (millimetres, page coordinates, as written) and the
// page objects drawn inside it (owned block, bound to the document).
class PageAnnotAppearance
{
public:
    explicit PageAnnotAppearance(PageAnnot *owner);
    ~PageAnnotAppearance();
    PageAnnotAppearance(const PageAnnotAppearance &) = delete;
    PageAnnotAppearance &operator=(const PageAnnotAppearance &) = delete;

    // Reads the Appearance element the reader is on, to its end tag.
    void ParseXml(QXmlStreamReader &reader, int pageKey);

    PageAnnot *GetOwner() const { return m_owner; }
    OfdFile *GetOfdFile() const;
    const QString &GetBoundary() const { return m_boundary; }
    OfdXmlPageBlock *GetPageBlock() const { return m_block.get(); }
    // The annotation's visible flag (true without an annotation).
    bool IsVisible() const;
    // True when Type or Subtype is exactly "Highlight".
    bool IsHighlight() const;
    // A new placement holding the parsed boundary; null when the boundary is empty or malformed.
    OfdVisualItemTransfer *CreateVisualItemTransfer() const;

private:
    PageAnnot *m_owner = nullptr;
    QString m_boundary;
    std::unique_ptr<OfdXmlPageBlock> m_block;
};

// The named parameters of an annotation; a later value of the same name replaces the earlier.
class PageAnnotParameters
{
public:
    explicit PageAnnotParameters(PageAnnot *owner) : m_owner(owner) {}
    PageAnnot *GetOwner() const { return m_owner; }
    void SetValue(const QString &name, const QString &value) { m_values.insert(name, value); }
    QString GetValue(const QString &name) const { return m_values.value(name); }
    const QHash<QString, QString> &GetValues() const { return m_values; }

private:
    PageAnnot *m_owner = nullptr;
    QHash<QString, QString> m_values;
};

// One Annot element of a page annotation file; owns its appearance and parameters.
class PageAnnot
{
public:
    explicit PageAnnot(OfdXmlAnnotation *owner);
    ~PageAnnot();
    PageAnnot(const PageAnnot &) = delete;
    PageAnnot &operator=(const PageAnnot &) = delete;

    // Reads the Annot element the reader is on, to its end tag.
    void ParseXml(QXmlStreamReader &reader);

    OfdXmlAnnotation *GetOwner() const { return m_owner; }
    OfdFile *GetOfdFile() const;
    const QString &GetId() const { return m_id; }
    const QString &GetType() const { return m_type; }
    const QString &GetSubtype() const { return m_subtype; }
    const QString &GetLastModDate() const { return m_lastModDate; }
    const QString &GetCreator() const { return m_creator; }
    bool IsReadOnly() const { return m_readOnly; }
    bool IsVisible() const { return m_visible; }
    PageAnnotAppearance *GetAppearance() const { return m_appearance.get(); }
    PageAnnotParameters *GetParameters() const { return m_parameters.get(); }

private:
    OfdXmlAnnotation *m_owner = nullptr;
    QString m_id;
    QString m_type;
    QString m_subtype;
    QString m_lastModDate;
    QString m_creator;
    bool m_readOnly = false;
    bool m_visible = true;
    std::unique_ptr<PageAnnotAppearance> m_appearance;
    std::unique_ptr<PageAnnotParameters> m_parameters;
};
