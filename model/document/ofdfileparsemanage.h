#pragma once

#include <QList>
#include <QSharedPointer>
#include <QString>

#include "model/document/ofdfileinfodetail.h"

class OfdFileReader;
class XmlNode;

// Reads every entry of a package into memory and records what kind of file it is and where it
// belongs (document, page, signature). Made for one task (signing, verifying, writing) at a time.
class OfdFileParseManage
{
public:
    void SetFileReader(const QSharedPointer<OfdFileReader> &reader) { m_reader = reader; }

    // Builds and classifies the list; returns the number of entries left unclassified.
    int Parse();

    const QList<QSharedPointer<OfdFileInfoDetail>> &GetAllFile() const { return m_files; }
    QList<QSharedPointer<OfdFileInfoDetail>> GetFileByType(int type) const;
    QSharedPointer<OfdFileInfoDetail> GetOfdFile(const QString &path) const;
    bool SetOfdFileType(const QString &path, int type, int documentIndex);
    int GetUnsetTypeFileCount() const;
    // The default page box of the last document classified (text of CommonData's PhysicalBox).
    const QString &GetDefaultPhysicalBox() const { return m_defaultPhysicalBox; }

    // Text of the first PhysicalBox of a page content file's own Area, or empty.
    static QString GetPagePhysicalBox(const QByteArray &content);
    QByteArray GetFileContent(const QString &path);

private:
    bool InitFileList();
    void ParseDocument(const QString &path, int documentIndex);
    void ParseResFile(const QString &path, int type, int documentIndex);
    void ParseListFile(const QString &path, int listType, const QString &itemName, int itemType,
                       int documentIndex);
    void ParseSignatures(const QString &path, int documentIndex);
    XmlNode *ParseEntry(const QString &path) const;

    QSharedPointer<OfdFileReader> m_reader;
    QList<QSharedPointer<OfdFileInfoDetail>> m_files;
    QString m_defaultPhysicalBox;
};
