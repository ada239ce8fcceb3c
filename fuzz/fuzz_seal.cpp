// Any bytes as a seal and as a signed value: decode them, make the picture, run the checks.
#include <QByteArray>

#include "fuzzapp.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    OfdSignatureSeal seal;
    if (seal.ParseSeal(bytes)) {
        seal.GetSealName();
        seal.GetEsID();
        seal.GetSealValidEnd();
    }
    OfdSignedValue value;
    value.SetExpectedDigest(QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA="));
    value.ParseData(bytes);
    value.CheckSignValue();
    value.GetSealSignTime();
    return 0;
}
