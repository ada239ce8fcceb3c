#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

#include "model/package/ofdfileinfo.h"

class XmlNode;

// Base of every file the writer produces: its own package path, an element tree whose root it
// fills with its header, its kind (EN_OfdFileType) and the files it delivers (the XML text of its
// tree, and for resource files the data files they reference). Owns its tree.
class OfdXmlFile
{
public:
    OfdXmlFile();
    virtual ~OfdXmlFile();
    OfdXmlFile(const OfdXmlFile &) = delete;
    OfdXmlFile &operator=(const OfdXmlFile &) = delete;

    // The package path, without a leading "/" ("Doc_0/Document.xml").
    void SetCurFileFullPath(const QString &path);
    const QString &GetCurFileFullPath() const { return m_path; }
    // The directory of the file ("Doc_0"), empty at the top of the package.
    QString GetRootDir() const;
    // A package path relative to this file's directory.
    QString GetRelativePath(const QString &packagePath) const;

    // The root element (created on first use, "ofd" prefix and namespace).
    XmlNode *GetRootNode();
    // Names the root and sets its namespace; called by the creators when they make the file.
    virtual void FillHeader() = 0;
    virtual int GetOfdFileType() const = 0;
    // New records (the caller owns them): the serialised tree at the own path, then any data files.
    virtual QList<OfdFileInfo *> GetFileInfo();

protected:
    void FillRoot(const QString &name);

private:
    QString m_path;
    std::unique_ptr<XmlNode> m_root;
};
