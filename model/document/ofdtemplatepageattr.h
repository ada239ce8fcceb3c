#pragma once

#include <QString>

// One TemplatePage of a document descriptor: its id (0 when absent) and the package path of its
// content file.
class OfdTemplatePageAttr
{
public:
    OfdTemplatePageAttr(int id, const QString &baseLoc) : m_id(id), m_baseLoc(baseLoc) {}
    virtual ~OfdTemplatePageAttr() = default;

    int GetID() const { return m_id; }
    const QString &GetBaseLoc() const { return m_baseLoc; }

private:
    int m_id;
    QString m_baseLoc;
};
