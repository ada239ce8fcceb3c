#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

class XmlNode;

// A package file referenced by a new signature: package path (without leading "/") and bytes.
struct SignatureFileRef
{
    QString path;
    QByteArray content;
};

// One placed seal picture of a new signature: the page object ID, where it lies on the page
// (millimetres) and, for a part of a seal across pages, the part that shows.
struct SignatureStampInput
{
    int pageRef = 0;
    QRectF boundary;
    bool hasClip = false;
    QRectF clip;
};

// What a new Signature.xml holds.
struct SignatureXmlInput
{
    QString company = QStringLiteral("company");
    QString version = QStringLiteral("2.0");
    QString providerName = QStringLiteral("providerName");
    QString signatureMethod;
    QString signatureDateTime;
    bool hasSeal = false;              // a Seal.esl is stored beside the description
    QList<SignatureFileRef> files;     // referenced files in order (empty ones are left out)
    QList<SignatureStampInput> stamps; // in placement order
};

// The rules by which signing writes the signature files of a package, on XML node trees.
class OfdSignatureWriter
{
public:
    // Makes sure the first DocBody of the entry file names a signature list; listPath receives its
    // package path (without leading "/"). True when the entry file was changed.
    static bool LinkSignatureList(XmlNode *ofdRoot, QString &listPath);
    // A new, empty signature list (root Signatures with MaxSignId "s001"). The caller owns it.
    static XmlNode *CreateSignatureList();
    // Draws the next identifier from the list's MaxSignId and stores it there.
    static QString NextSignId(XmlNode *list);
    // Appends an entry for a new signature at the first free "Sign_n/Signature.xml"; location
    // receives its package path with a leading "/". False when no free location was found.
    static bool AddSignatureEntry(XmlNode *list, const QString &listPath, QString &location);
    // A new signature description for the entry at location (package path). Identifiers of the
    // stamps are drawn from list. The caller owns the result.
    static XmlNode *CreateSignatureXml(const SignatureXmlInput &input, const QString &location,
                                       XmlNode *list);
    // Appends one StampAnnot element per stamp to a SignedInfo element, identifiers drawn from list.
    static void AppendStampAnnots(XmlNode *signedInfo, const QList<SignatureStampInput> &stamps,
                                  XmlNode *list);
    // Locations written into a new description, relative to it: the seal and the signed value.
    static QString SealPath(const QString &signatureLocation);
    static QString SignedValuePath(const QString &signatureLocation);
    // Serialises a tree as the bytes of a package part.
    static QByteArray ToBytes(XmlNode *root);
};
