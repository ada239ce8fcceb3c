#pragma once

#include <QString>

#include <memory>

class XmlNode;

// Base of the objects that read one part of a package; knows the package path of its own file so
// locations written inside the part can be resolved.
class OfdXml
{
public:
    OfdXml();
    virtual ~OfdXml();
    OfdXml(const OfdXml &) = delete;
    OfdXml &operator=(const OfdXml &) = delete;

    void SetOfdFilePath(const QString &path) { m_filePath = path; }
    const QString &GetOfdFilePath() const { return m_filePath; }

    // The part's tree, when it was read into one (owned).
    XmlNode *GetRootNode() const { return m_root.get(); }
    void SetRootNode(XmlNode *root);

    // A location written in this part as a package path.
    QString GetOfdFullPath(const QString &location) const;
    // A file name inside a location written in this part; empty when second is empty.
    QString GetOfdFullPath(const QString &location, const QString &second) const;

protected:
    QString m_filePath;
    std::unique_ptr<XmlNode> m_root;
    void *m_extra = nullptr; // free for derived classes; not owned
};
