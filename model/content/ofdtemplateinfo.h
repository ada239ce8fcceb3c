#pragma once

#include <QString>

class QXmlStreamReader;

// A page's reference to a template page: the template's id and where it is drawn ("Background",
// "Foreground", …; "Background" when absent).
class OfdTemplateInfo
{
public:
    OfdTemplateInfo();
    virtual ~OfdTemplateInfo();

    // Reads the Template element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    int GetTemplateID() const { return m_templateId; }
    const QString &GetZOrder() const { return m_zOrder; }

private:
    int m_templateId = 0;
    QString m_zOrder = QStringLiteral("Background");
};
