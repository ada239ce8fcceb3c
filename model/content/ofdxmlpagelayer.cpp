#include "model/content/ofdxmlpagelayer.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpageblock.h"

OfdXmlPageLayer::OfdXmlPageLayer() = default;
OfdXmlPageLayer::~OfdXmlPageLayer() = default;

void OfdXmlPageLayer::ParseXml(OfdXmlPage *page, QXmlStreamReader &reader)
{
    m_page = page;
    const QXmlStreamAttributes attrs = reader.attributes();
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_drawParam = OfdHelper::GetAttrString(attrs, QLatin1String("DrawParam"));
    m_type = OfdHelper::GetAttrString(attrs, QLatin1String("Type"));
    m_block = std::make_unique<OfdXmlPageBlock>();
    m_block->SetOfdFile(page ? page->GetOfdFile() : nullptr);
    m_block->SetLayer(this);
    m_block->ParseXml(reader);
}

const QList<OfdPageItem *> *OfdXmlPageLayer::GetPageItem() const
{
    return m_block ? &m_block->GetItems() : nullptr;
}

int OfdXmlPageLayer::GetPageItemCount() const
{
    return m_block ? m_block->GetItemCount() : 0;
}

int OfdXmlPageLayer::GetPageRefId() const
{
    return m_page ? m_page->GetPageRefId() : 0;
}

OfdTypeFillColor *OfdXmlPageLayer::GetFillColorByDrawParam(const QString &id) const
{
    const QString param = id.isEmpty() ? m_drawParam : id;
    if (param.isEmpty() || !m_page)
        return nullptr;
    return m_page->GetFillColorByDrawParam(param);
}

int OfdXmlPageLayer::StackRank(const QString &kind)
{
    if (kind.compare(QLatin1String("Background"), Qt::CaseInsensitive) == 0)
        return -1;
    if (kind.compare(QLatin1String("Foreground"), Qt::CaseInsensitive) == 0)
        return 1;
    return 0; // "Body", absent or unknown
}
