#pragma once

#include <QList>

#include "model/content/ofdpageitem.h"
#include "model/content/ofdtypeabbreviateddata.h"
#include "model/content/ofdtypefillcolor.h"

// A path object: abbreviated path data stroked and/or filled. Widths and dashes are millimetres.
class OfdPageItemPath : public OfdPageItem
{
public:
    OfdPageItemPath();
    ~OfdPageItemPath() override;

    int GetItemType() const override { return EN_PageItemType_Path; }
    void PasreXml(QXmlStreamReader &reader) override;
    QString GetDebugInfo() const override { return QStringLiteral("path id=%1").arg(m_id); }

    double GetLineWidth() const { return m_lineWidth; }
    const QString &GetJoin() const { return m_join; }
    const QString &GetCap() const { return m_cap; }
    double GetMiterLimit() const { return m_miterLimit; }
    bool IsStroke() const { return m_stroke; }
    bool IsFill() const { return m_fill; }
    double GetDashOffset() const { return m_dashOffset; }
    bool IsHaveDashPattern() const { return !m_dashPattern.isEmpty(); }
    const QList<float> &GetDashPattern() const { return m_dashPattern; }
    // As written; "NoneZero" (the default) and its standard spelling "NonZero" select non-zero
    // winding, anything else even-odd.
    const QString &GetRule() const { return m_rule; }
    bool IsNonZeroRule() const;

    OfdTypeFillColor &GetFillColor() { return m_fillColor; }
    const OfdTypeFillColor &GetFillColor() const { return m_fillColor; }
    OfdTypeFillColor &GetStrokeColor() { return m_strokeColor; }
    const OfdTypeFillColor &GetStrokeColor() const { return m_strokeColor; }
    OfdTypeColorSpace *GetFillColorSpace() const;
    OfdTypeColorSpace *GetStrokeColorSpace() const;
    OfdTypeAbbreviatedData &GetAbbreviatedData() { return m_data; }
    const OfdTypeAbbreviatedData &GetAbbreviatedData() const { return m_data; }

private:
    double m_lineWidth = 0.353;
    QString m_join = QStringLiteral("Miter");
    QString m_cap = QStringLiteral("Butt");
    double m_miterLimit = double(4.234f);
    bool m_stroke = true;
    double m_dashOffset = 0;
    QList<float> m_dashPattern;
    bool m_fill = false;
    QString m_rule = QStringLiteral("NoneZero");
    OfdTypeFillColor m_strokeColor;
    OfdTypeFillColor m_fillColor;
    OfdTypeAbbreviatedData m_data;
};
