#include "model/content/ofdtypecgtransformmanage.h"

#include "model/content/ofdtypecgtransform.h"

OfdTypeCGTransformManage::OfdTypeCGTransformManage() = default;

OfdTypeCGTransformManage::~OfdTypeCGTransformManage()
{
    qDeleteAll(m_transforms);
}

void OfdTypeCGTransformManage::ParseXml(QXmlStreamReader &reader, int textCodeIndex)
{
    auto *transform = new OfdTypeCGTransform;
    transform->SetTextCodeIndex(textCodeIndex);
    transform->ParseXml(reader);
    m_transforms.append(transform);
}

bool OfdTypeCGTransformManage::GetGlyph(int charIndex, int &glyph, int &codeCount) const
{
    for (const OfdTypeCGTransform *transform : m_transforms) {
        if (transform->GetGlyph(charIndex, glyph, codeCount))
            return true;
    }
    return false;
}
