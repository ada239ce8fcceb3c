#include "fakepagedocument.h"

#include "model/content/ofdtypedrawparam.h"
#include "model/xml/ofdxmlstreamreader.h"

FakePageDocument::FakePageDocument() = default;

FakePageDocument::~FakePageDocument()
{
    qDeleteAll(m_drawParams);
}

void FakePageDocument::AddDrawParam(const QByteArray &xml)
{
    OfdXmlStreamReader reader(xml);
    if (!reader.readNextStartElement())
        return;
    auto *param = new OfdTypeDrawParam;
    param->ParseXml(reader);
    param->SetDocumentAccess(this);
    delete m_drawParams.value(param->GetID(), nullptr);
    m_drawParams.insert(param->GetID(), param);
}

OfdTypeColorSpace *FakePageDocument::GetColorSpace(int)
{
    return &m_rgb;
}

OfdTypeDrawParam *FakePageDocument::GetDrawParam(const QString &id, int pageKey)
{
    drawParamPageKeys.append(pageKey);
    return m_drawParams.value(id, nullptr);
}

OfdTypeFillColor *FakePageDocument::GetFillColor(const QString &id, int pageKey)
{
    OfdTypeDrawParam *param = GetDrawParam(id, pageKey);
    return param && param->GetFillColor().IsSet() ? &param->GetFillColor() : nullptr;
}

OfdTypeFillColor *FakePageDocument::GetStrokeColor(const QString &id, int pageKey)
{
    OfdTypeDrawParam *param = GetDrawParam(id, pageKey);
    return param && param->GetStrokeColor().IsSet() ? &param->GetStrokeColor() : nullptr;
}
