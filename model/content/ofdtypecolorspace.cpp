#include "model/content/ofdtypecolorspace.h"

#include <QXmlStreamReader>

#include "model/content/ofdhelper.h"
#include "model/xml/ofdxmlstreamstep.h"

const QString OfdTypeColorSpace::ColorSpaceType_RGB = QStringLiteral("RGB");
const QString OfdTypeColorSpace::ColorSpaceType_GRAY = QStringLiteral("GRAY");
const QString OfdTypeColorSpace::ColorSpaceType_CMYK = QStringLiteral("CMYK");

OfdTypeColorSpace::OfdTypeColorSpace(int id, const QString &type, int bitsPerComponent)
    : m_id(id), m_type(type), m_bitsPerComponent(bitsPerComponent == 0 ? 8 : bitsPerComponent)
{
}

OfdTypeColorSpace::~OfdTypeColorSpace() = default;

void OfdTypeColorSpace::ParseXml(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attrs = reader.attributes();
    m_id = OfdHelper::GetAttrInt(attrs, QLatin1String("ID"), 0);
    m_type = attrs.value(QLatin1String("Type")).toString().trimmed();
    m_bitsPerComponent = OfdHelper::GetAttrInt(attrs, QLatin1String("BitsPerComponent"), 8);
    if (m_bitsPerComponent == 0)
        m_bitsPerComponent = 8;
    OfdXmlStreamStep step(reader, QStringLiteral("ColorSpace*:"));
    step.EnterCurrent();
    while (step.Next())
        step.Skip(); // palette and profile are not used
}

bool OfdTypeColorSpace::IsNeedAdjustColorValue() const
{
    return m_bitsPerComponent == 1 || m_bitsPerComponent == 2 || m_bitsPerComponent == 4 ||
           m_bitsPerComponent == 16;
}

void OfdTypeColorSpace::AdjustColorValue(const QList<float> &in, QList<float> &out) const
{
    // Largest code of the depth maps to 255: 1 bit ×255, 2 bits ×85, 4 bits ×17, 16 bits ×255/65535.
    double largest = 255.0;
    switch (m_bitsPerComponent) {
    case 1:
        largest = 1.0;
        break;
    case 2:
        largest = 3.0;
        break;
    case 4:
        largest = 15.0;
        break;
    case 16:
        largest = 65535.0;
        break;
    default:
        break;
    }
    QList<float> result;
    result.reserve(in.size());
    for (float v : in)
        result << float(double(v) * 255.0 / largest);
    out = result;
}
