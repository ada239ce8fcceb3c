#include "annot/ofdannotviewdata.h"

OfdAnnotViewDataOfPage::~OfdAnnotViewDataOfPage()
{
    qDeleteAll(m_items);
}

OfdAnnotViewData::~OfdAnnotViewData()
{
    qDeleteAll(m_pages);
}

bool OfdAnnotViewData::RemovePage(int pageIndex)
{
    for (int i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->GetPageIndex() == pageIndex) {
            delete m_pages.takeAt(i);
            return true;
        }
    }
    return false;
}
