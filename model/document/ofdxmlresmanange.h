#pragma once

#include <QList>
#include <QString>

class OfdTypeDrawParam;
class OfdTypeFillColor;
class OfdTypeMultiMedia;
class OfdXmlRes;

// The page resource files of one page, in the order added (owned). Look-ups ask each file in order
// and return the first hit.
class OfdXmlResManange
{
public:
    OfdXmlResManange();
    virtual ~OfdXmlResManange();
    OfdXmlResManange(const OfdXmlResManange &) = delete;
    OfdXmlResManange &operator=(const OfdXmlResManange &) = delete;

    // Takes ownership.
    void AddRes(OfdXmlRes *res);
    int GetResCount() const { return m_res.size(); }
    const QList<OfdXmlRes *> &GetResList() const { return m_res; }

    OfdTypeDrawParam *GetDrawParam(const QString &id) const;
    OfdTypeFillColor *GetFillColor(const QString &id) const;
    OfdTypeFillColor *GetStrokeColor(const QString &id) const;
    OfdTypeMultiMedia *GetMultiMedia(int id) const;

private:
    QList<OfdXmlRes *> m_res;
};
