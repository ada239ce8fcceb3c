#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include "writer/ofdcreatorpage.h"

class OfdFile;
class OfdFileReader;
class OfdPageScene;
class OfdViewManage;
class OfdXmlTextPatch;

// Saves the annotation changes of a document as a patch of its opened package: every entry that
// did not change is stored again as it lies in the archive (same name, same compressed bytes);
// only the page annotation files touched, the annotation list, new resources and the descriptor
// lines that must point at them are written. Hidden, shown again and deleted loaded annotations
// are edited in their files in place; new ones are appended to the page's annotation file (or a
// new one). Identifiers continue after the document's largest. Lives for one save; the view
// manager and the scenes are not owned.
class OfdPackagePatch : public OfdIdCreator
{
public:
    OfdPackagePatch(OfdViewManage *manage, int document = 0);
    ~OfdPackagePatch() override;
    OfdPackagePatch(const OfdPackagePatch &) = delete;
    OfdPackagePatch &operator=(const OfdPackagePatch &) = delete;

    // The page scenes the view shows (pages without a scene have no changes).
    void SetPageScenes(const QList<OfdPageScene *> &scenes) { m_scenes = scenes; }

    // True when the document has a package behind it that can be patched.
    static bool CanPatch(OfdViewManage *manage, int document = 0);

    // Works out the changed and new entries. False, with the reason in GetError, when there is no
    // package or a part that must change cannot be edited.
    bool Prepare();
    const QString &GetError() const { return m_error; }

    bool HasChanges() const { return !m_replaced.isEmpty() || !m_added.isEmpty(); }
    // Entries of the package that get new bytes (names as stored in the archive).
    QStringList GetReplacedPaths() const { return m_replaced.keys(); }
    // New entries (package paths).
    QStringList GetAddedPaths() const { return m_addedOrder; }
    // The new bytes of a replaced or added entry, empty for any other.
    QByteArray GetEntryData(const QString &path) const;
    // A digest of all changes: equal digests mean the same saved result.
    QByteArray GetChangeDigest() const;

    // The whole patched package; empty on failure (GetError says why).
    QByteArray GetZipData();

    // OfdIdCreator, for the new annotations while they write themselves.
    QString GetNextId() override;
    int GetFontId(const OfdCreatorFontInfo &font) override;
    int GetRgbColorSpaceId() override;
    int GetResourceId(const OfdCreatorMultiMediaInfo &media) override;
    // True when a colour must name a colour space (the document sets a default other than RGB).
    bool NeedsColorSpace() const { return m_hasDefaultCs; }

private:
    struct PageChanges;
    bool Fail(const QString &error);
    OfdXmlTextPatch *EditPart(const QString &path);
    QString EntryName(const QString &path) const;
    bool IsNameTaken(const QString &path) const;
    QString FreeName(const QString &path) const;
    void ScanIds(const QByteArray &bytes);
    void ScanResources();
    bool CollectChanges(QList<PageChanges> &pages);
    bool ApplyLoadedEdits(const QList<PageChanges> &pages);
    bool AddNewAnnotations(const QList<PageChanges> &pages);
    bool LinkAnnotationFile(int pageKey, const QString &filePath);
    bool AddResource(const QString &kind, const QString &element);
    QString Qualified(OfdXmlTextPatch *part, const QString &localName) const;
    void AddEntry(const QString &path, const QByteArray &bytes);
    void Finish();

    OfdViewManage *m_manage = nullptr;
    int m_documentIndex = 0;
    OfdFile *m_document = nullptr;
    QSharedPointer<OfdFileReader> m_reader;
    QList<OfdPageScene *> m_scenes;
    QString m_error;
    bool m_prepared = false;

    QString m_docPath;         // Document.xml
    QString m_annotationsPath; // the annotation list, empty when the document has none
    QString m_publicResPath;
    bool m_hasDefaultCs = false;
    bool m_signed = false;
    int m_idCounter = 0;
    int m_rgbColorSpace = 0;
    QHash<QString, int> m_fonts; // case-folded font name -> id (existing or added)

    QMap<QString, OfdXmlTextPatch *> m_parts; // parts being edited by package path (owned)
    QMap<QString, QByteArray> m_replaced;     // archive entry name -> new bytes
    QHash<QString, QByteArray> m_added;       // package path -> bytes
    QStringList m_addedOrder;
    QHash<QString, QString> m_entryNames; // case-folded path without "/" -> entry name
};
