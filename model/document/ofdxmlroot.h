#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "model/xml/ofdxml.h"

class OfdRootDocBody;

// The entry file OFD.xml: one document body per document of the package, in file order (owned).
// Its own package path is empty, so its locations are taken from the package root.
class OfdXmlRoot : public OfdXml
{
public:
    OfdXmlRoot();
    ~OfdXmlRoot() override;

    // Parses the entry file; what was read before an XML error stays.
    void PasrseXml(const QByteArray &bytes);

    int GetDocCount() const { return m_docBodies.size(); }
    // Body i, or null when i is out of range.
    OfdRootDocBody *GetDocBody(int i) const;
    // Descriptor path of body i, or an empty string.
    QString GetDocRootPath(int i) const;

private:
    QList<OfdRootDocBody *> m_docBodies;
};
