#pragma once

#include <QString>

class QXmlStreamReader;

// A multimedia resource (an image, mostly): id, type, format and the package path of its file
// (rewritten to a full package path by the resource file that holds it).
class OfdTypeMultiMedia
{
public:
    OfdTypeMultiMedia();
    virtual ~OfdTypeMultiMedia();

    // Reads the MultiMedia element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetID() const { return m_id; }
    const QString &GetType() const { return m_type; }
    const QString &GetFormat() const { return m_format; }
    const QString &GetMediaFile() const { return m_mediaFile; }
    void SetMediaFile(const QString &path) { m_mediaFile = path; }
    // The media file's text after its last "."; empty when there is none.
    QString GetFileExt() const;

private:
    int m_id = 0;
    QString m_type;
    QString m_format;
    QString m_mediaFile;
};
