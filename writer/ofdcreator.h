#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

#include "writer/ofdcreatorpage.h"

class OfdCreatorAnnotations;
class OfdCreatorDocument;
class OfdCreatorRes;
class OfdCreatorRoot;
class OfdFile;
class OfdPageScene;
class OfdViewManage;
class XmlNode;

// Rebuilds a complete package from what the page scenes of a document show (used for documents
// that have no package behind them; saving an opened package patches it instead): every visual item
// writes its page object, the fonts, the RGB colour space and the images they use go into the
// resource files, the annotations of every page (loaded and new) into annotation files; the
// outline, custom tags and attachments of the opened package are carried over and linked from the
// new Document.xml (page and object references follow the new identifiers). Lives for one save;
// owns every file it produces. The view manager and scenes are not owned.
class OfdCreator : public OfdIdCreator
{
public:
    OfdCreator();
    ~OfdCreator() override;
    OfdCreator(const OfdCreator &) = delete;
    OfdCreator &operator=(const OfdCreator &) = delete;

    // The document to save (index in the view manager).
    void SetOfd(OfdViewManage *manage, int document = 0);
    // The page scenes the view shows, in page order; without them the writer builds its own (which
    // then carry the loaded annotations but none drawn in the view).
    void SetPageScenes(const QList<OfdPageScene *> &scenes);
    void SetOutputName(const QString &name) { m_outputName = name; }
    const QString &GetOutputName() const { return m_outputName; }

    // Builds all files and packs them; empty bytes on failure.
    QByteArray GetFileData();

    // OfdIdCreator.
    QString GetNextId() override;
    int GetFontId(const OfdCreatorFontInfo &font) override;
    int GetRgbColorSpaceId() override;
    int GetResourceId(const OfdCreatorMultiMediaInfo &media) override;
    int GetMaxUnitId() const { return m_idCounter; }

    // The produced files in creation order (owned here; filled by GetFileData).
    const QList<OfdXmlFile *> &GetFiles() const { return m_files; }

    // True when the document carries signatures.
    static bool HasSignatures(OfdViewManage *manage, int document = 0);
    // Saves the document to path atomically (a temporary file in the same folder renamed over the
    // target once written whole; on failure the target is left untouched). A document with a
    // package behind it is saved as a patch of that package (OfdPackagePatch), keeping every entry
    // it did not change; one without is rebuilt. On failure error, when given, says why.
    static bool SaveOfdFile(OfdViewManage *manage, int document, const QList<OfdPageScene *> &scenes,
                            const QString &path, QString *error = nullptr);
    // Writes bytes to path through a temporary file and a rename; false leaves path as it was,
    // with the reason in error when given.
    static bool WriteFileAtomic(const QString &path, const QByteArray &bytes, QString *error = nullptr);
    // Tests only: makes the next atomic writes fail after the temporary file was written.
    static void SetFailWritesForTest(bool fail);

private:
    bool CreateOfdContent();
    void InitDocRoot();
    void InitDocument();
    bool InitPage();
    void WritePageAnnotations(OfdPageScene *scene, OfdCreatorPage *page);
    void CarryOver();
    void CarryOutline(XmlNode *documentRoot);
    QByteArray CreateOfdFile();
    bool IsGeneratedPath(const QString &path) const;
    template <class T>
    T *AddFile(T *file);

    OfdViewManage *m_manage = nullptr;
    int m_documentIndex = 0;
    OfdFile *m_document = nullptr;
    QList<OfdPageScene *> m_scenes;
    std::vector<std::unique_ptr<OfdPageScene>> m_ownScenes;
    QString m_outputName;
    int m_idCounter = 0;
    QString m_docDir;

    OfdCreatorRoot *m_root = nullptr;
    OfdCreatorDocument *m_documentFile = nullptr;
    OfdCreatorRes *m_publicRes = nullptr;
    OfdCreatorRes *m_documentRes = nullptr;
    OfdCreatorAnnotations *m_annotations = nullptr;
    XmlNode *m_pagesNode = nullptr;
    XmlNode *m_maxUnitNode = nullptr;
    QList<OfdXmlFile *> m_files;

    int m_rgbColorSpace = 0;
    QHash<QString, int> m_fonts;                        // font key -> id
    QHash<QByteArray, int> m_media;                     // SHA-1 of the bytes -> id
    QHash<int, QString> m_pageIds;                      // old page key -> new page id
    QHash<int, QHash<int, int>> m_objectIds;            // old page key -> old object id -> new object id
    QList<QPair<QString, QString>> m_annotationEntries; // new page id, file location
};
