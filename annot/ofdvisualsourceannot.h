#pragma once

#include <QString>

#include "render/ofdvisualsource.h"

class PageAnnotAppearance;

// What an annotation item draws from: a loaded annotation's appearance (not owned; it lives in the
// document's annotation model), or the type and subtype of an annotation drawn in this session.
// Decides the item's visual layer: 1 for highlights, 3 for the others.
class OfdVisualSourceAnnot : public OfdVisualSource
{
public:
    explicit OfdVisualSourceAnnot(PageAnnotAppearance *appearance);
    OfdVisualSourceAnnot(const QString &type, const QString &subtype);

    int GetType() const override { return 1; }
    int GetVisualLayer() const override { return IsHighlight() ? 1 : 3; }
    bool IsVisible() const override;
    bool IsHighlight() const override;

    PageAnnotAppearance *GetAppearance() const { return m_appearance; }
    const QString &GetAnnotType() const { return m_type; }
    const QString &GetAnnotSubtype() const { return m_subtype; }

private:
    PageAnnotAppearance *m_appearance = nullptr;
    QString m_type;
    QString m_subtype;
};
