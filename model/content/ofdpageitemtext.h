#pragma once

#include <memory>

#include "model/content/ofdpageitem.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypetextcodemanage.h"

class OfdTypeCGTransformManage;

// A text object: a font resource, a size in millimetres, colours, text codes with their positions
// and, optionally, the glyph maps of the font.
class OfdPageItemText : public OfdPageItem
{
public:
    OfdPageItemText();
    ~OfdPageItemText() override;

    int GetItemType() const override { return EN_PageItemType_Text; }
    void PasreXml(QXmlStreamReader &reader) override;
    QString GetDebugInfo() const override { return QStringLiteral("text id=%1").arg(m_id); }

    // Size of text objects that give none: 10.5 points (the common body size), in millimetres.
    static constexpr float kDefaultFontSize = 3.704f;

    int GetFontID() const { return m_fontId; }
    // False when the object names no font resource (it is then drawn in a default font).
    bool HasFontAttr() const { return m_hasFontAttr; }
    float GetFontSize() const { return m_fontSize; }
    bool IsFill() const { return m_fill; }
    bool IsStroke() const { return m_stroke; }
    bool IsItalic() const { return m_italic; }
    int GetWeight() const { return m_weight; }
    int GetCharDirection() const { return m_charDirection; }
    int GetReadDirection() const { return m_readDirection; }
    // Width of the outline when the text is stroked (mm; the draw parameter's when the object has none).
    double GetLineWidth() const { return m_lineWidth; }

    OfdTypeFillColor &GetFillColor() { return m_fillColor; }
    const OfdTypeFillColor &GetFillColor() const { return m_fillColor; }
    OfdTypeFillColor &GetStrokeColor() { return m_strokeColor; }
    const OfdTypeFillColor &GetStrokeColor() const { return m_strokeColor; }
    OfdTypeColorSpace *GetFillColorSpace() const;
    OfdTypeColorSpace *GetStrokeColorSpace() const;

    bool IsHaveCGTransformManage() const { return bool(m_cgTransforms); }
    OfdTypeCGTransformManage *GetCGTransformManage() const { return m_cgTransforms.get(); }
    OfdTypeTextCodeManage &GetTextCodeManage() { return m_textCodes; }
    const OfdTypeTextCodeManage &GetTextCodeManage() const { return m_textCodes; }

private:
    int m_fontId = 0;
    bool m_hasFontAttr = true;
    float m_fontSize = 0;
    bool m_fill = true;
    bool m_stroke = false;
    bool m_italic = false;
    int m_weight = 400;
    int m_charDirection = 0;
    int m_readDirection = 0;
    double m_lineWidth = 0.353;
    OfdTypeFillColor m_fillColor;
    OfdTypeFillColor m_strokeColor;
    std::unique_ptr<OfdTypeCGTransformManage> m_cgTransforms;
    OfdTypeTextCodeManage m_textCodes;
};
