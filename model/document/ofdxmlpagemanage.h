#pragma once

#include <QHash>
#include <QList>
#include <QString>

class OfdFile;
class OfdXmlDocument;
class OfdXmlPage;

// The pages of one document. Loading takes the page list from the descriptor and the archive's
// directory; a page's content is read and parsed the first time it is needed. Pages whose content file is
// missing or empty are left out, so page indexes count readable pages only. Owns its pages.
class OfdXmlPageManage
{
public:
    OfdXmlPageManage() = default;
    ~OfdXmlPageManage();
    OfdXmlPageManage(const OfdXmlPageManage &) = delete;
    OfdXmlPageManage &operator=(const OfdXmlPageManage &) = delete;

    void SetOfdFile(OfdFile *document, OfdXmlDocument *descriptor);
    // Builds the pages from the descriptor's page list.
    void AddPage();

    int GetPageCount() const { return m_pages.size(); }
    void TryParsePage(int i);
    void TryParseAllPage();
    // Page i, parsed first when parse is true; null when i is out of range.
    OfdXmlPage *GetOfdPage(int i, bool parse = true);
    // Index of the first page whose ID equals key; -1 when none.
    int GetPageIndex(int key) const;
    bool IsPageParsed(int i) const;
    // Drops page i's parsed content (see OfdXmlPage::Unload); it is read again when next needed.
    void ReleasePage(int i);
    const QString &GetDirectory() const { return m_directory; }

private:
    OfdFile *m_document = nullptr;
    OfdXmlDocument *m_descriptor = nullptr;
    QList<OfdXmlPage *> m_pages;
    QHash<int, int> m_indexByKey; // page key -> index of the first page with it
    QString m_directory;
};
