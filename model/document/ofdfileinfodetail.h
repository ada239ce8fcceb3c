#pragma once

#include <QByteArray>
#include <QSharedPointer>
#include <QString>

// Kinds of package entries as the classifier sees them.
enum EN_OfdFileType
{
    EN_OfdFileType_Unknown = 0,
    EN_OfdFileType_Root = 1,            // OFD.xml
    EN_OfdFileType_Document = 2,        // Document.xml
    EN_OfdFileType_PublicRes = 3,       // public resource file
    EN_OfdFileType_DocumentRes = 4,     // document resource file
    EN_OfdFileType_Page = 5,            // page content file
    EN_OfdFileType_ResFile = 6,         // a MediaFile or FontFile of a resource file
    EN_OfdFileType_Annotations = 7,     // Annotations.xml
    EN_OfdFileType_PageAnnot = 8,       // page annotation file
    EN_OfdFileType_CustomTags = 9,      // CustomTags.xml
    EN_OfdFileType_CustomTag = 10,      // custom tag file
    EN_OfdFileType_TemplatePage = 11,   // template page content file
    EN_OfdFileType_Signatures = 12,     // Signatures.xml
    EN_OfdFileType_Signature = 13,      // Signature.xml
    EN_OfdFileType_SignedValue = 14,    // signed value file
    EN_OfdFileType_Seal = 15,           // seal file
    EN_OfdFileType_Attachments = 16,    // Attachments.xml
    EN_OfdFileType_AttachmentFile = 17, // the file of an attachment
};

// One package entry with its bytes and what the classifier learnt about it.
class OfdFileInfoDetail
{
public:
    int type = EN_OfdFileType_Unknown;
    QString path;             // entry name as stored in the archive
    QByteArray content;       // the whole entry
    int documentIndex = -1;   // document body it belongs to
    int pageNumber = -1;      // page content files: position in Document.xml, from 0
    int pageId = 0;           // page content files: the page's ID
    QString physicalBox;      // page content files: text of the page's own PhysicalBox
    int signatureNumber = -1; // Signature.xml: position in Signatures.xml
    QString signedValuePath;  // Signature.xml: resolved path of its signed value
    QString sealPath;         // Signature.xml: resolved path of its seal
};

// Orders page content files by page number.
bool SortOfdFilePage(const QSharedPointer<OfdFileInfoDetail> &a, const QSharedPointer<OfdFileInfoDetail> &b);
