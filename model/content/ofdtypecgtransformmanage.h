#pragma once

#include <QList>

class QXmlStreamReader;
class OfdTypeCGTransform;

// The glyph maps of one text object, in document order (owned).
class OfdTypeCGTransformManage
{
public:
    OfdTypeCGTransformManage();
    virtual ~OfdTypeCGTransformManage();
    OfdTypeCGTransformManage(const OfdTypeCGTransformManage &) = delete;
    OfdTypeCGTransformManage &operator=(const OfdTypeCGTransformManage &) = delete;

    // Reads one CGTransform element and appends it; it belongs to the text code with textCodeIndex.
    void ParseXml(QXmlStreamReader &reader, int textCodeIndex = 0);
    // The first transform that answers for charIndex.
    bool GetGlyph(int charIndex, int &glyph, int &codeCount) const;
    int GetCount() const { return m_transforms.size(); }
    // The transforms in document order (owned here).
    const QList<OfdTypeCGTransform *> &GetTransforms() const { return m_transforms; }

private:
    QList<OfdTypeCGTransform *> m_transforms;
};
