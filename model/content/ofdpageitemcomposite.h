#pragma once

#include "model/content/ofdpageitem.h"

class OfdTypeCompositeGraphicUnit;

// A composite object: draws a composite graphic unit resource into its boundary under its CTM.
class OfdPageItemComposite : public OfdPageItem
{
public:
    int GetItemType() const override { return EN_PageItemType_Composite; }
    void PasreXml(QXmlStreamReader &reader) override;
    QString GetDebugInfo() const override { return QStringLiteral("composite id=%1").arg(m_id); }

    int GetResourceID() const { return m_resourceId; }
    // The unit; null without a document or when unknown.
    OfdTypeCompositeGraphicUnit *GetCompositeGraphicUnit() const;

private:
    int m_resourceId = 0;
};
