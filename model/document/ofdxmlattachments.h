#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "model/xml/ofdxml.h"

// One file attached to the document.
struct OfdAttachmentInfo
{
    QString id;
    QString name;   // the name the producer gave, as written (not safe as a file name)
    QString format; // e.g. "pdf", "xml"
    QDateTime creationDate;
    QDateTime modDate;
    double size = 0; // in kilobytes, as written
    bool visible = true;
    QString usage;   // "none" when absent
    QString fileLoc; // resolved package path of the attached file
};

// The attachment list of a document (Attachments.xml).
class OfdXmlAttachments : public OfdXml
{
public:
    // Reads the list; false when the bytes hold no attachment list.
    bool Parse(const QByteArray &bytes);
    const QList<OfdAttachmentInfo> &GetAttachments() const { return m_attachments; }
    int GetCount() const { return m_attachments.size(); }

    // A name derived from the attachment that is safe to use as a file name in any folder:
    // no directories, no "..", no characters that file systems refuse, never empty.
    static QString SafeFileName(const OfdAttachmentInfo &info);

private:
    QList<OfdAttachmentInfo> m_attachments;
};
