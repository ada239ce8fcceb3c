#include "model/document/ofdxmlresmanange.h"

#include "model/document/ofdxmlres.h"

OfdXmlResManange::OfdXmlResManange() = default;

OfdXmlResManange::~OfdXmlResManange()
{
    qDeleteAll(m_res);
}

void OfdXmlResManange::AddRes(OfdXmlRes *res)
{
    if (res)
        m_res.append(res);
}

OfdTypeDrawParam *OfdXmlResManange::GetDrawParam(const QString &id) const
{
    for (const OfdXmlRes *res : m_res) {
        if (OfdTypeDrawParam *param = res->GetDrawParam(id))
            return param;
    }
    return nullptr;
}

OfdTypeFillColor *OfdXmlResManange::GetFillColor(const QString &id) const
{
    for (const OfdXmlRes *res : m_res) {
        if (res->GetDrawParam(id))
            return res->GetFillColor(id);
    }
    return nullptr;
}

OfdTypeFillColor *OfdXmlResManange::GetStrokeColor(const QString &id) const
{
    for (const OfdXmlRes *res : m_res) {
        if (res->GetDrawParam(id))
            return res->GetStrokeColor(id);
    }
    return nullptr;
}

OfdTypeMultiMedia *OfdXmlResManange::GetMultiMedia(int id) const
{
    for (const OfdXmlRes *res : m_res) {
        if (OfdTypeMultiMedia *media = res->GetMultiMedia(id))
            return media;
    }
    return nullptr;
}
