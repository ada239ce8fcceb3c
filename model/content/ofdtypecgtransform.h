#pragma once

#include <QList>
#include <QString>

class QXmlStreamReader;

// One CGTransform of a text object: CodeCount characters starting at CodePosition are drawn with
// the glyphs listed in Glyphs (indices into the font).
class OfdTypeCGTransform
{
public:
    OfdTypeCGTransform();
    virtual ~OfdTypeCGTransform();

    // Reads the CGTransform element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);
    // Glyph indices separated by white space (unconvertible ones read as 0).
    void ParseGlyphs(const QString &text);
    // Answers only for charIndex == CodePosition with a non-empty glyph list: the first glyph and
    // CodeCount.
    bool GetGlyph(int charIndex, int &glyph, int &codeCount) const;

    // The text code of the object this map belongs to (CodePosition counts within it): the one that
    // follows it in the object, by its index among the object's codes.
    int GetTextCodeIndex() const { return m_textCodeIndex; }
    void SetTextCodeIndex(int index) { m_textCodeIndex = index; }

    int GetCodeCount() const { return m_codeCount; }
    int GetCodePosition() const { return m_codePosition; }
    int GetGlyphCount() const { return m_glyphCount; }
    const QList<int> &GetGlyphs() const { return m_glyphs; }

private:
    int m_textCodeIndex = 0;
    int m_codeCount = 1;
    int m_codePosition = 0;
    int m_glyphCount = 1;
    QList<int> m_glyphs;
};
