#pragma once

#include <QByteArray>

#include "model/content/ofdpageitem.h"

class OfdTypeMultiMedia;

// An image object: a multimedia resource drawn into the object's boundary under its CTM.
class OfdPageItemImage : public OfdPageItem
{
public:
    int GetItemType() const override { return EN_PageItemType_Image; }
    void PasreXml(QXmlStreamReader &reader) override;
    QString GetDebugInfo() const override { return QStringLiteral("image id=%1").arg(m_id); }

    int GetResourceID() const { return m_resourceId; }
    // The multimedia resource, page-scoped; null when unknown.
    OfdTypeMultiMedia *GetMultiMedia() const;
    // The bytes of the resource's file; empty when the resource or the file is missing.
    QByteArray GetMultiMediaData() const;

private:
    int m_resourceId = 0;
};
