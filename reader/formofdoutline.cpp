#include "reader/formofdoutline.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qthelper.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdoutline.h"
#include "reader/formofd.h"

namespace {
const int kElemRole = Qt::UserRole + 1;
}

FormOfdOutline::FormOfdOutline(QWidget *parent) : FormOfdPanel(QtHelper::fromString("大纲"), parent)
{
    setObjectName(QStringLiteral("FormOfdOutline"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("treeWidgetOutline"));
    m_tree->setHeaderHidden(true);
    m_tree->setFrameShape(QFrame::NoFrame);
    ContentLayout()->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item, int) { GotoOutline(GetItemElem(item)); });
}

const OfdOutlineElem *FormOfdOutline::GetItemElem(const QTreeWidgetItem *item)
{
    return item ? reinterpret_cast<const OfdOutlineElem *>(item->data(0, kElemRole).value<quintptr>())
                : nullptr;
}

void FormOfdOutline::ShowOutline(FormOfd *form)
{
    m_tree->clear();
    m_form = form;
    OfdFile *file = form ? form->GetOfdFile() : nullptr;
    OfdOutline *outline = file ? file->GetOutline() : nullptr;
    if (outline)
        AddChildren(nullptr, outline->GetRoots());
}

void FormOfdOutline::AddChildren(QTreeWidgetItem *parent, const QList<OfdOutlineElem *> &elems)
{
    for (const OfdOutlineElem *elem : elems) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, elem->title);
        item->setToolTip(0, elem->title);
        item->setData(0, kElemRole, QVariant::fromValue(reinterpret_cast<quintptr>(elem)));
        AddChildren(item, elem->children);
        item->setExpanded(elem->expanded);
    }
}

int FormOfdOutline::GotoOutline(const OfdOutlineElem *elem)
{
    if (!elem || !m_form)
        return -1;
    int reached = -1;
    for (const OfdOutlineAction &action : elem->actions) {
        if (action.kind != QLatin1String("Goto") || !action.hasDest)
            continue;
        const OfdOutlineDest &dest = action.dest;
        const int index = m_form->GetPageIndex(dest.pageId);
        if (index < 0)
            continue;
        const bool xyz = dest.type.compare(QLatin1String("XYZ"), Qt::CaseInsensitive) == 0;
        if (xyz && dest.zoom != 0 && qAbs(dest.zoom - m_form->GetViewCurrentRate()) > 1e-9) {
            m_form->SetViewCurrentRate(dest.zoom, false);
            QtHelper::DelayAsyn(60);
        }
        // Destinations that fit the page go to its top; the others to their Top.
        const bool useTop =
            (xyz || dest.type == QLatin1String("FitH") || dest.type == QLatin1String("FitR")) && dest.hasTop;
        const int top = useTop ? int(OfdConvert::OfdMMToPixel(dest.top)) : 0;
        m_form->ScrollToPage(index, 0, top);
        reached = index;
    }
    if (reached >= 0)
        emit SignalOutlineGoto(reached);
    return reached;
}
