#pragma once

#include <QHash>
#include <QString>

class OfdContentSource;

// A font file of the package as registered with the font system.
struct EmbedFontInfo
{
    QString family;  // first family the font system reports; empty on failure
    int fontId = -1; // application-font id; -1 when the bytes could not be registered
};

// Registers the fonts embedded in one document as application fonts, once per file, and removes
// them again when the document goes away.
class OfdEmbedFileManage
{
public:
    OfdEmbedFileManage() = default;
    ~OfdEmbedFileManage();
    OfdEmbedFileManage(const OfdEmbedFileManage &) = delete;
    OfdEmbedFileManage &operator=(const OfdEmbedFileManage &) = delete;

    // The document whose package entries are read (not owned).
    void SetOfdFile(OfdContentSource *document) { m_document = document; }

    // Family under which the font file at this package path can be drawn, or empty.
    QString GetFontFromEmbedFile(const QString &path);
    // The registration of a font file asked for before, or null.
    const EmbedFontInfo *GetFontInfo(const QString &path) const;

private:
    OfdContentSource *m_document = nullptr;
    QHash<QString, EmbedFontInfo *> m_fonts;
};
