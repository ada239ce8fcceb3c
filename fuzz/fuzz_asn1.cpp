// Any bytes as DER: decode the tree and turn every node into its typed value.
#include <QByteArray>
#include <QDateTime>

#include <memory>

#include "sign/ans1reader.h"
#include "sign/asn1object.h"

namespace {
void Visit(Ans1BerNodeReader *node)
{
    if (!node)
        return;
    std::unique_ptr<Asn1Object> object(Asn1Object::CreateObject(node));
    if (object) {
        object->ToString();
        object->ToInt();
        object->ToByteArray();
        object->ToDateTime();
    }
    for (Ans1BerNodeReader *child : node->GetChildren())
        Visit(child);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Ans1Reader reader;
    reader.OpenData(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    reader.IsDataOK();
    Visit(reader.GetRootNode());
    reader.GetNode(QStringLiteral("0.0*1.0*2.3"));
    return 0;
}
