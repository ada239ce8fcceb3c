#pragma once

#include <QRectF>
#include <QString>
#include <QtGlobal>

class OfdVisualItemText;

// The characters a record stands for, held without a string of its own: one character (a surrogate
// pair counts as one) as its code point, a longer text (one glyph drawing several characters) as the
// number of its entry in a table shared by all records, where every distinct text is kept once.
// Converts to a QString where the text is read; the strings of single characters are made once and
// shared, so reading does not allocate.
class OfdCharText
{
public:
    OfdCharText() = default;
    static OfdCharText FromUcs4(uint ucs4);
    static OfdCharText FromString(const QString &text);

    bool IsEmpty() const { return m_value == 0; }
    QString ToString() const;
    operator QString() const { return ToString(); }
    // Const, so that looping over the result reads the shared string instead of copying it.
    const QString toCaseFolded() const;
    // Equal values are equal texts.
    bool operator==(OfdCharText other) const { return m_value == other.m_value; }
    bool operator!=(OfdCharText other) const { return m_value != other.m_value; }

private:
    explicit OfdCharText(quint32 value) : m_value(value) {}
    // 0: no text; below kTableFlag: code point + 1; else kTableFlag + the entry in the shared table.
    static constexpr quint32 kTableFlag = 0x80000000u;
    quint32 m_value = 0;
};
Q_DECLARE_TYPEINFO(OfdCharText, Q_PRIMITIVE_TYPE);

// One drawn character of a text item: the character (or the characters one glyph stands for), its
// rectangle in scene coordinates (pixels) and its number in the item, which keeps the rectangle in
// item coordinates. All zero bits are an empty record.
struct OfdVisualTextInfo
{
    OfdVisualItemText *item = nullptr;
    QRectF sceneRect;
    OfdCharText text;
    int index = 0;

    // The rectangle in item coordinates (pixels); empty without an item.
    QRectF ItemRect() const;
};
Q_DECLARE_TYPEINFO(OfdVisualTextInfo, Q_PRIMITIVE_TYPE);
