#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QTextStream;
class OfdToolDocument;
struct OfdToolStreams;

// What `ofdtool info` reports about one document of a package.
struct OfdToolDocumentInfo
{
    struct Page
    {
        double widthMM = 0;
        double heightMM = 0; // both 0 when the page has no size
    };
    struct Font
    {
        int id = 0;
        QString fontName;
        QString familyName;
        bool embedded = false;
        QString file;       // package path of the embedded file
        QString substitute; // installed family used when not embedded
        QString describe;   // "宋体 → Noto Serif CJK SC", or the family when installed
    };
    struct Attachment
    {
        QString name;
        QString format;
        double sizeKB = 0;
    };

    QList<Page> pages;
    QList<Font> fonts;
    QMap<QString, int> imagesByFormat; // format name (OfdImageFormats::Name) to count
    int annotationFiles = 0;           // page annotation files (one per annotated page)
    int annotations = 0;               // Annot elements in them
    QList<Attachment> attachments;
    int signatures = 0; // Signature.xml entries of the signature list

    int ImageCount() const;
};

// `ofdtool info FILE [--json]`: collects the facts of every document and prints them as text or JSON.
class OfdToolInfo
{
public:
    static int Run(const QStringList &args, OfdToolStreams &io);

    static QList<OfdToolDocumentInfo> Collect(OfdToolDocument &package);
    static void PrintText(QTextStream &out, const QString &path, const QList<OfdToolDocumentInfo> &documents);
    static QJsonObject ToJson(const QString &path, const QList<OfdToolDocumentInfo> &documents);
};
