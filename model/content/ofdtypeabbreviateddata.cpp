#include "model/content/ofdtypeabbreviateddata.h"

#include <QXmlStreamReader>

#include "model/content/ofdabbreviateddataitem.h"
#include "model/content/ofdhelper.h"

bool IsPathCmd(QChar c)
{
    switch (c.unicode()) {
    case 'S':
    case 'M':
    case 'L':
    case 'Q':
    case 'B':
    case 'A':
    case 'C':
        return true;
    default:
        return false;
    }
}

QStringList PathStringSplit(const QString &text)
{
    QStringList tokens;
    QString current;
    bool currentIsCmd = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            if (!current.isEmpty())
                tokens << current;
            current.clear();
            continue;
        }
        const bool isCmd = IsPathCmd(c);
        if (!current.isEmpty() && isCmd != currentIsCmd) {
            tokens << current;
            current.clear();
        }
        current += c;
        currentIsCmd = isCmd;
    }
    if (!current.isEmpty())
        tokens << current;
    return tokens;
}

OfdTypeAbbreviatedData::OfdTypeAbbreviatedData() = default;

OfdTypeAbbreviatedData::~OfdTypeAbbreviatedData()
{
    Clear();
}

void OfdTypeAbbreviatedData::Clear()
{
    qDeleteAll(m_items);
    m_items.clear();
}

void OfdTypeAbbreviatedData::ParseXml(QXmlStreamReader &reader)
{
    ParseAbbreviatedData(reader.readElementText(QXmlStreamReader::SkipChildElements));
}

void OfdTypeAbbreviatedData::ParseAbbreviatedData(const QString &text)
{
    using Item = OfdAbbreviatedDataItem;
    Clear();
    Item *current = new Item;
    for (const QString &token : PathStringSplit(text)) {
        const Item::EN_DataType type = Item::GetDataType(token);
        if (type != Item::DataType_None) {
            if (current->GetType() != Item::DataType_None) {
                m_items << current;
                current = new Item;
            }
            current->SetType(type);
        } else if (current->GetType() != Item::DataType_None) {
            current->AddValue(OfdHelper::ToDouble(token));
        }
    }
    if (current->GetType() != Item::DataType_None)
        m_items << current;
    else
        delete current;
}

void OfdTypeAbbreviatedData::ToValuesQt()
{
    for (OfdAbbreviatedDataItem *item : m_items)
        item->ToValuesQt();
}

QString OfdTypeAbbreviatedData::PathText() const
{
    QStringList parts;
    for (const OfdAbbreviatedDataItem *item : m_items)
        parts << item->PathText();
    return parts.join(QLatin1Char(' '));
}
