#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One annotation as the annotation panel lists it: its kind, whether it is shown, the scene item
// IDs it stands for, its creator and last modification.
struct OfdAnnotViewDataItem
{
    QString type;
    QString subtype;
    bool visible = true;
    QList<int> itemIds;
    QString creator;
    QDateTime lastModDate;
};

// The annotations of one page (owned items) for the panel; the page index is 0-based.
class OfdAnnotViewDataOfPage
{
public:
    explicit OfdAnnotViewDataOfPage(int pageIndex) : m_pageIndex(pageIndex) {}
    ~OfdAnnotViewDataOfPage();
    OfdAnnotViewDataOfPage(const OfdAnnotViewDataOfPage &) = delete;
    OfdAnnotViewDataOfPage &operator=(const OfdAnnotViewDataOfPage &) = delete;

    int GetPageIndex() const { return m_pageIndex; }
    // Takes ownership.
    void AddItem(OfdAnnotViewDataItem *item) { m_items.append(item); }
    const QList<OfdAnnotViewDataItem *> &GetItems() const { return m_items; }

private:
    int m_pageIndex = 0;
    QList<OfdAnnotViewDataItem *> m_items;
};

// The annotation list data of a document for the panel: pages in order (owned).
class OfdAnnotViewData
{
public:
    OfdAnnotViewData() = default;
    ~OfdAnnotViewData();
    OfdAnnotViewData(const OfdAnnotViewData &) = delete;
    OfdAnnotViewData &operator=(const OfdAnnotViewData &) = delete;

    // Takes ownership.
    void AddPage(OfdAnnotViewDataOfPage *page) { m_pages.append(page); }
    // Removes and deletes the data of that page index; false when there is none.
    bool RemovePage(int pageIndex);
    const QList<OfdAnnotViewDataOfPage *> &GetPages() const { return m_pages; }

private:
    QList<OfdAnnotViewDataOfPage *> m_pages;
};
