// Any bytes through the XML tree: parse, number, look up, serialise, parse again.
#include <QByteArray>

#include <memory>

#include "model/xml/xmlnode.h"
#include "model/xml/xmlnodeparse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    std::unique_ptr<XmlNode> root(XmlNode::FromData(bytes));
    if (root) {
        root->GetNodeByName(QStringLiteral("Page"));
        root->GetNodeById(QStringLiteral("0:0*1:0*2:1"));
        bool created = false;
        root->GetOrCreateNode(QStringLiteral("0:0*1:3"), created);
        const QString text = root->CreateXml(true);
        std::unique_ptr<XmlNode> again(XmlNode::FromData(text.toUtf8()));
        root->CreateXmlToPlainTxt(false);
    }
    std::unique_ptr<XmlNode> filtered(XmlNode::FromData(bytes, QStringLiteral("Area")));
    return 0;
}
