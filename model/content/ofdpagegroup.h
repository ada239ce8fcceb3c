#pragma once

#include <QList>

// A page of a page group (plain container).
class OfdPage
{
public:
    virtual ~OfdPage() = default;
};

// An ordered list of pages (not owned), for whoever needs to hand a set of pages around.
class OfdPageGroup
{
public:
    void AddPage(OfdPage *page) { m_pages.append(page); }
    int PageCount() const { return m_pages.size(); }
    OfdPage *GetPage(int i) const { return m_pages.value(i, nullptr); }

private:
    QList<OfdPage *> m_pages;
};
