#include "annot/ofdvisualsourceannot.h"

#include "annot/ofdxmlannotations.h"

OfdVisualSourceAnnot::OfdVisualSourceAnnot(PageAnnotAppearance *appearance) : m_appearance(appearance)
{
    if (appearance && appearance->GetOwner()) {
        m_type = appearance->GetOwner()->GetType();
        m_subtype = appearance->GetOwner()->GetSubtype();
    }
}

OfdVisualSourceAnnot::OfdVisualSourceAnnot(const QString &type, const QString &subtype)
    : m_type(type), m_subtype(subtype)
{
}

bool OfdVisualSourceAnnot::IsVisible() const
{
    return m_appearance ? m_appearance->IsVisible() : true;
}

bool OfdVisualSourceAnnot::IsHighlight() const
{
    if (m_appearance)
        return m_appearance->IsHighlight();
    const QLatin1String highlight("Highlight");
    return m_type == highlight || m_subtype == highlight;
}
