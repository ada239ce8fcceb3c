#include "model/document/ofdxmlres.h"

#include <QDebug>
#include <QXmlStreamReader>

#include "app/qthelper.h"
#include "model/content/ofdtypecolorspace.h"
#include "model/content/ofdtypecompositegraphicunit.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/document/ofdpathnormalize.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "model/xml/xmlpathrecord.h"

OfdXmlRes::OfdXmlRes(OfdDocumentAccess *document) : m_document(document) {}

OfdXmlRes::~OfdXmlRes()
{
    qDeleteAll(m_fonts);
    qDeleteAll(m_colorSpaces);
    qDeleteAll(m_multiMedias);
    qDeleteAll(m_drawParams);
    qDeleteAll(m_units);
}

void OfdXmlRes::PasrseXml(const QByteArray &bytes)
{
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("Res*:"));
    while (step.Next()) {
        const int depth = step.GetDepth();
        if (depth == 1) {
            m_baseLoc = reader.attributes().value(QLatin1String("BaseLoc")).toString().trimmed();
            continue;
        }
        const QString &list = step.GetPath().GetPath().at(1);
        if (depth == 2) {
            if (!XmlPathRecord::IsLocalName(list, QLatin1String(":Fonts")) &&
                !XmlPathRecord::IsLocalName(list, QLatin1String(":ColorSpaces")) &&
                !XmlPathRecord::IsLocalName(list, QLatin1String(":MultiMedias")) &&
                !XmlPathRecord::IsLocalName(list, QLatin1String(":DrawParams")) &&
                !XmlPathRecord::IsLocalName(list, QLatin1String(":CompositeGraphicUnits")))
                step.Skip();
            continue; // a list: its entries follow
        }
        bool taken = false;
        AddEntry(list, step.GetPath().GetLast(), reader, taken);
        if (taken)
            step.Consumed(); // the entry read itself to its end tag
        // other elements inside a list are walked into
    }
    AdjustFontPath();
    AdjustMultiMediaPath();
}

void OfdXmlRes::AddEntry(const QString &list, const QString &name, QXmlStreamReader &reader, bool &taken)
{
    taken = true;
    if (XmlPathRecord::IsLocalName(list, QLatin1String(":Fonts")) &&
        XmlPathRecord::IsLocalName(name, QLatin1String(":Font"))) {
        auto *font = new OfdTypeFont;
        font->ParseXml(reader);
        m_fonts.append(font);
    } else if (XmlPathRecord::IsLocalName(list, QLatin1String(":ColorSpaces")) &&
               XmlPathRecord::IsLocalName(name, QLatin1String(":ColorSpace"))) {
        auto *space = new OfdTypeColorSpace;
        space->ParseXml(reader);
        m_colorSpaces.append(space);
    } else if (XmlPathRecord::IsLocalName(list, QLatin1String(":MultiMedias")) &&
               XmlPathRecord::IsLocalName(name, QLatin1String(":MultiMedia"))) {
        auto *media = new OfdTypeMultiMedia;
        media->ParseXml(reader);
        delete m_multiMedias.value(media->GetID(), nullptr); // a later entry replaces an earlier one
        m_multiMedias.insert(media->GetID(), media);
    } else if (XmlPathRecord::IsLocalName(list, QLatin1String(":DrawParams")) &&
               XmlPathRecord::IsLocalName(name, QLatin1String(":DrawParam"))) {
        auto *param = new OfdTypeDrawParam;
        param->SetDocumentAccess(m_document);
        param->ParseXml(reader);
        m_drawParams.append(param);
    } else if (XmlPathRecord::IsLocalName(list, QLatin1String(":CompositeGraphicUnits")) &&
               XmlPathRecord::IsLocalName(name, QLatin1String(":CompositeGraphicUnit"))) {
        auto *unit = new OfdTypeCompositeGraphicUnit(m_document);
        unit->ParseXml(reader);
        delete m_units.value(unit->GetID(), nullptr);
        m_units.insert(unit->GetID(), unit);
    } else {
        taken = false;
    }
}

QString OfdXmlRes::ResolveFileLocation(const QString &location) const
{
    return NormalizeOfdPath(GetOfdFullPath(m_baseLoc, location));
}

void OfdXmlRes::AdjustFontPath()
{
    for (OfdTypeFont *font : m_fonts) {
        if (font->GetFontFile().isEmpty())
            continue;
        font->SetFontFile(ResolveFileLocation(font->GetFontFile()));
        if (QtHelper::IsShowDebugMessage())
            qDebug().noquote() << QStringLiteral("FontFile Path:") << font->GetFontFile();
    }
}

void OfdXmlRes::AdjustMultiMediaPath()
{
    for (OfdTypeMultiMedia *media : qAsConst(m_multiMedias)) {
        if (!media->GetMediaFile().isEmpty())
            media->SetMediaFile(ResolveFileLocation(media->GetMediaFile()));
    }
}

OfdTypeFont *OfdXmlRes::GetFont(int id) const
{
    for (OfdTypeFont *font : m_fonts) {
        if (font->GetID() == id)
            return font;
    }
    return nullptr;
}

OfdTypeColorSpace *OfdXmlRes::ColorSpace(int id) const
{
    for (OfdTypeColorSpace *space : m_colorSpaces) {
        if (space->GetID() == id)
            return space;
    }
    return nullptr;
}

OfdTypeMultiMedia *OfdXmlRes::GetMultiMedia(int id) const
{
    return m_multiMedias.value(id, nullptr);
}

OfdTypeCompositeGraphicUnit *OfdXmlRes::GetCompositeGraphicUnit(int id) const
{
    return m_units.value(id, nullptr);
}

OfdTypeDrawParam *OfdXmlRes::GetDrawParam(const QString &id) const
{
    for (OfdTypeDrawParam *param : m_drawParams) {
        if (param->GetID() == id)
            return param;
    }
    return nullptr;
}

OfdTypeFillColor *OfdXmlRes::GetFillColor(const QString &id) const
{
    OfdTypeDrawParam *param = GetDrawParam(id);
    return param && param->GetFillColor().IsSet() ? &param->GetFillColor() : nullptr;
}

OfdTypeFillColor *OfdXmlRes::GetStrokeColor(const QString &id) const
{
    OfdTypeDrawParam *param = GetDrawParam(id);
    return param && param->GetStrokeColor().IsSet() ? &param->GetStrokeColor() : nullptr;
}
