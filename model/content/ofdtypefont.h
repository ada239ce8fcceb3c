#pragma once

#include <QString>

class QXmlStreamReader;

// A font resource: id, names, style flags and the package path of an embedded font file (empty when
// the font is not embedded; rewritten to a full package path by the resource file that holds it).
class OfdTypeFont
{
public:
    OfdTypeFont();
    virtual ~OfdTypeFont();

    // Reads the Font element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    const QString &GetFamilyName() const { return m_familyName; }
    const QString &GetFontName() const { return m_fontName; }
    bool IsSerif() const { return m_serif; }
    bool IsBold() const { return m_bold; }
    bool IsItalic() const { return m_italic; }
    const QString &GetFontFile() const { return m_fontFile; }
    void SetFontFile(const QString &path) { m_fontFile = path; }
    void SetFontName(const QString &name) { m_fontName = name; }
    void SetFamilyName(const QString &name) { m_familyName = name; }

private:
    int m_id = 0;
    QString m_familyName;
    QString m_fontName;
    bool m_serif = false;
    bool m_bold = false;
    bool m_italic = false;
    QString m_fontFile;
};
