#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

#include "model/content/ofddocumentaccess.h"
#include "model/document/ofddocumentextension.h"

class OfdDocumentResManage;
class OfdEmbedFileManage;
class OfdFileManage;
class OfdOutline;
class OfdPageGroup;
class OfdRootDocBody;
class OfdXmlAttachments;
class OfdXmlCustomTags;
class OfdXmlDocument;
class OfdXmlPage;
class OfdXmlPageManage;

// One document of a package with everything read from it: descriptor, pages, resources, outline,
// custom tags, attachments and, through their modules, annotations and signatures. It answers the
// questions that page objects, panels and tools ask about the document. Owned by its file manager.
class OfdFile : public OfdDocumentAccess
{
public:
    OfdFile();
    ~OfdFile() override;
    OfdFile(const OfdFile &) = delete;
    OfdFile &operator=(const OfdFile &) = delete;

    // Results of InitOfd.
    enum EN_InitResult
    {
        Init_OK = 0,
        Init_NoRoot = 1,     // OFD.xml unreadable
        Init_NoDocument = 2, // Document.xml unreadable
    };

    void SetFileManage(OfdFileManage *manager, OfdRootDocBody *body);
    OfdFileManage *GetFileManage() const { return m_fileManage; }
    OfdRootDocBody *GetRootDocBody() const { return m_body; }
    // Loads the document the first time; false on later calls.
    bool TryInit();
    int InitOfd();
    bool IsInit() const { return m_initialised; }

    QByteArray GetOfdFileContent(const QString &path) override;
    // Declared size of a package entry without reading it; -1 when the package has no such entry,
    // kUnknownSize when the package cannot tell.
    static constexpr qint64 kUnknownSize = -2;
    qint64 GetOfdFileSize(const QString &path) const;

    OfdXmlDocument *GetXmlDocument() const { return m_document.get(); }
    OfdXmlPageManage *GetPageManage() const { return m_pages.get(); }
    int GetPageCount() const;
    void TryParsePage(int i);
    void TryParseAllPage();
    // Page i (parsed), or null.
    OfdXmlPage *GetPage(int i);
    int GetPageIndex(int key) const;
    // The page's own physical box, else the document's default; false when neither exists.
    bool GetPageArea_PhysicalBox(int i, QRectF &rect);
    // The same without parsing: the page's own box once the page has been parsed, until then the
    // document's default; false when neither is known. For laying pages out before they are read.
    bool GetPageAreaHint(int i, QRectF &rect) const;
    bool IsPageParsed(int i) const;
    // Drops page i's parsed content to free its memory; only when no scene shows the page.
    void ReleasePage(int i);

    QString GetTemplatePath(int id) const;
    QByteArray GetTemplateFileContent(int id) override;
    QString GetTemplateFilePath(int id) override { return GetTemplatePath(id); }

    // Read from the descriptor on first request; null when the document has none.
    OfdOutline *GetOutline();
    // Created on first request (empty when the document names no custom tags).
    OfdXmlCustomTags *GetCustomTags();
    OfdXmlAttachments *GetAttachmentInfoGroup() const { return m_attachments.get(); }

    // Parts read by modules above the document model; null when the document has none or the
    // module is not present.
    OfdDocumentExtension *GetAnnotations() const { return m_annotations.get(); }
    OfdDocumentExtension *GetSignatures() const { return m_signatures.get(); }

    // Resources (the public and document resource files, and page resource files by page key).
    OfdDocumentResManage *GetResManage() const { return m_res.get(); }
    OfdTypeColorSpace *GetColorSpace(int id) override;
    OfdTypeFont *GetFont(int id) override;
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit(int id) override;
    OfdTypeMultiMedia *GetMultiMedia(int id, int pageKey) override;
    OfdTypeDrawParam *GetDrawParam(const QString &id, int pageKey) override;
    OfdTypeFillColor *GetFillColor(const QString &id, int pageKey) override;
    OfdTypeFillColor *GetStrokeColor(const QString &id, int pageKey) override;
    void AddPageRes(const QString &path, int pageKey) override;
    QString GetFontFromEmbedFile(const QString &path) override;
    float GetBaseline(const QFont &font, int fontId, float size) override;

    // Readers of the annotations and the signature list, installed by their modules at start-up.
    static void SetAnnotationsLoader(const OfdDocumentExtensionLoader &loader);
    static void SetSignaturesLoader(const OfdDocumentExtensionLoader &loader);

    // Slot for the page group of whoever needs one (not owned).
    void SetPageGroup(OfdPageGroup *group) { m_pageGroup = group; }
    OfdPageGroup *GetPageGroup() const { return m_pageGroup; }

private:
    void ParseAttachments(const QString &path);

    bool m_initialised = false;
    OfdRootDocBody *m_body = nullptr;
    OfdFileManage *m_fileManage = nullptr;
    // Pages point into the descriptor and the resources, so they are declared after them and are
    // destroyed before them.
    std::unique_ptr<OfdXmlDocument> m_document;
    std::unique_ptr<OfdDocumentResManage> m_res;
    std::unique_ptr<OfdEmbedFileManage> m_embedFonts;
    std::unique_ptr<OfdXmlPageManage> m_pages;
    std::unique_ptr<OfdOutline> m_outline;
    bool m_outlineRead = false;
    std::unique_ptr<OfdXmlCustomTags> m_customTags;
    std::unique_ptr<OfdXmlAttachments> m_attachments;
    std::unique_ptr<OfdDocumentExtension> m_annotations;
    std::unique_ptr<OfdDocumentExtension> m_signatures;
    OfdPageGroup *m_pageGroup = nullptr;
};
