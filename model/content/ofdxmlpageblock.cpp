#include "model/content/ofdxmlpageblock.h"

#include <QXmlStreamReader>

#include "model/content/ofdpageitemcomposite.h"
#include "model/content/ofdpageitemimage.h"
#include "model/content/ofdpageitempath.h"
#include "model/content/ofdpageitemtext.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "model/xml/xmlnode.h"
#include "model/xml/xmlpathrecord.h"

OfdXmlPageBlock::~OfdXmlPageBlock()
{
    qDeleteAll(m_items);
}

int OfdXmlPageBlock::GetPageRefId() const
{
    if (m_pageRefId != 0)
        return m_pageRefId;
    return m_layer ? m_layer->GetPageRefId() : 0;
}

OfdPageItem *OfdXmlPageBlock::CreateItem(const QString &name) const
{
    if (XmlPathRecord::IsLocalName(name, QLatin1String(":TextObject")) ||
        XmlPathRecord::IsLocalName(name, QLatin1String(":Text")))
        return new OfdPageItemText;
    if (XmlPathRecord::IsLocalName(name, QLatin1String(":PathObject")) ||
        XmlPathRecord::IsLocalName(name, QLatin1String(":Path")))
        return new OfdPageItemPath;
    if (XmlPathRecord::IsLocalName(name, QLatin1String(":ImageObject")))
        return new OfdPageItemImage;
    if (XmlPathRecord::IsLocalName(name, QLatin1String(":CompositeObject")))
        return new OfdPageItemComposite;
    return nullptr;
}

void OfdXmlPageBlock::AddItem(OfdPageItem *item, QXmlStreamReader &reader)
{
    m_items.append(item);
    item->SetOfdFile(m_document);
    item->SetBlock(this);
    item->SetLayer(m_layer);
    item->PasreXml(reader);
    // Text without its own fill colour takes the one of its draw parameter or of its layer.
    if (item->GetItemType() == EN_PageItemType_Text && m_layer) {
        auto *text = static_cast<OfdPageItemText *>(item);
        if (!text->GetFillColor().IsSet())
            text->SetInheritFillColor(m_layer->GetFillColorByDrawParam(text->GetDrawParamId()));
    }
}

void OfdXmlPageBlock::ParseXml(QXmlStreamReader &reader)
{
    OfdXmlStreamStep step(reader, QStringLiteral("PageBlock*:"));
    step.EnterCurrent();
    while (step.Next()) {
        const QString name = step.GetPath().GetLast();
        if (OfdPageItem *item = CreateItem(name)) {
            AddItem(item, reader);
            step.Consumed();
        } else if (XmlPathRecord::IsLocalName(name, QLatin1String(":PageBlock")) &&
                   step.GetDepth() <= kMaxBlockDepth) {
            continue; // nested blocks are walked through, their objects flattened in order
        } else if (step.GetDepth() == 2) {
            continue; // any other container directly inside the block is walked through as well
        } else {
            step.Skip();
        }
    }
}

OfdXmlPageBlock *CreatePageBlockFromXml(const QByteArray &xml, OfdDocumentAccess *document)
{
    OfdXmlStreamReader reader(xml);
    if (!reader.readNextStartElement())
        return nullptr;
    auto *block = new OfdXmlPageBlock;
    block->SetOfdFile(document);
    block->ParseXml(reader);
    return block;
}

OfdXmlPageBlock *CreatePageBlockFromNode(XmlNode *contentNode, OfdDocumentAccess *document)
{
    if (!contentNode)
        return nullptr;
    return CreatePageBlockFromXml(contentNode->CreateXml(false).toUtf8(), document);
}

OfdXmlPageBlock *CreatePageBlock(XmlNode *patternNode, OfdDocumentAccess *document)
{
    if (!patternNode)
        return nullptr;
    return CreatePageBlockFromNode(patternNode->GetNodeByName(QStringLiteral("CellContent")), document);
}
