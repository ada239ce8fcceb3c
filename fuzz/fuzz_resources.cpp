// Any bytes as a resource file: parse it and look up what it declares.
#include <QByteArray>

#include "fuzzapp.h"
#include "model/content/ofdtypedrawparam.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/document/ofdxmlres.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    OfdXmlRes res;
    res.SetOfdFilePath(QStringLiteral("Doc_0/DocumentRes.xml"));
    res.PasrseXml(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    for (int id = 0; id < 8; ++id) {
        res.GetFont(id);
        res.ColorSpace(id);
        res.GetMultiMedia(id);
        res.GetCompositeGraphicUnit(id);
        if (OfdTypeFillColor *color = res.GetFillColor(QString::number(id))) {
            color->CreateQColor();
            color->CreateBrush();
        }
    }
    return 0;
}
