#pragma once

#include <QString>

// One Page entry of a document descriptor: its position in the page list (from 0), the package path
// of its content file and its ID attribute as written (empty when absent).
class OfdDocumentPageAttr
{
public:
    OfdDocumentPageAttr(int index, const QString &baseLoc, const QString &id)
        : m_index(index), m_baseLoc(baseLoc), m_id(id)
    {
    }
    virtual ~OfdDocumentPageAttr() = default;

    int GetIndex() const { return m_index; }
    const QString &GetBaseLoc() const { return m_baseLoc; }
    const QString &GetID() const { return m_id; }

private:
    int m_index;
    QString m_baseLoc;
    QString m_id;
};
