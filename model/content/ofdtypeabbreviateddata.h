#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class QXmlStreamReader;
class OfdAbbreviatedDataItem;

// The abbreviated path data of a path object: commands with their numbers (owned items).
class OfdTypeAbbreviatedData
{
public:
    OfdTypeAbbreviatedData();
    virtual ~OfdTypeAbbreviatedData();
    OfdTypeAbbreviatedData(const OfdTypeAbbreviatedData &) = delete;
    OfdTypeAbbreviatedData &operator=(const OfdTypeAbbreviatedData &) = delete;

    // Reads the element text and parses it.
    virtual void ParseXml(QXmlStreamReader &reader);
    // Replaces the items by those of text. Numbers before the first command are dropped; no check
    // is made of how many numbers a command gets.
    void ParseAbbreviatedData(const QString &text);
    void ToValuesQt();
    // Items written back as text, joined by single spaces.
    QString PathText() const;

    const QList<OfdAbbreviatedDataItem *> &GetItems() const { return m_items; }
    int GetCount() const { return m_items.size(); }

private:
    void Clear();

    QList<OfdAbbreviatedDataItem *> m_items;
};

// True for the command letters S, M, L, Q, B, A, C.
bool IsPathCmd(QChar c);
// Tokens of abbreviated data: white space separates; a change between command letters and other
// characters also separates (adjacent command letters stay one token).
QStringList PathStringSplit(const QString &text);
