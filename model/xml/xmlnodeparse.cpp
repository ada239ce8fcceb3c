#include "model/xml/xmlnodeparse.h"

#include <QDebug>
#include <QXmlStreamReader>

#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/xmlnode.h"

namespace {
void FillNode(XmlNode *node, const QXmlStreamReader &reader)
{
    const QXmlStreamNamespaceDeclarations decls = reader.namespaceDeclarations();
    if (!decls.isEmpty()) {
        QVector<NamePair> pairs;
        pairs.reserve(decls.size());
        for (const QXmlStreamNamespaceDeclaration &d : decls)
            pairs.append(NamePair{d.prefix().toString(), d.namespaceUri().toString()});
        node->SetNameSpaceAttr(pairs);
    }
    node->SetQualifiedName(reader.qualifiedName().toString());
    if (!reader.namespaceUri().isEmpty())
        node->SetNameSpaceUrl(reader.namespaceUri().toString());
    for (const QXmlStreamAttribute &attr : reader.attributes())
        node->AddAttr(attr.name().toString(), attr.value().toString());
}
} // namespace

XmlNodeParse::~XmlNodeParse()
{
    delete m_root;
}

void XmlNodeParse::ParseXml(const QByteArray &bytes)
{
    OfdXmlStreamReader reader(bytes);
    Parse(reader, false, nullptr);
}

void XmlNodeParse::ParseXml(QXmlStreamReader &reader, bool stopAfterRoot)
{
    Parse(reader, stopAfterRoot, nullptr);
}

void XmlNodeParse::ParseXml(const QByteArray &bytes, const QString &childName)
{
    OfdXmlStreamReader reader(bytes);
    Parse(reader, false, &childName);
}

void XmlNodeParse::Parse(QXmlStreamReader &reader, bool stopAfterRoot, const QString *childName)
{
    XmlNode *current = nullptr;
    int depth = 0;
    bool done = false;
    while (!done && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (current && current == m_root && childName && reader.name() != *childName) {
                reader.skipCurrentElement();
                break;
            }
            if (depth >= kMaxDepth) {
                qDebug() << "warning: element nested too deep, skipped:" << reader.qualifiedName();
                reader.skipCurrentElement();
                break;
            }
            auto *node = new XmlNode;
            FillNode(node, reader);
            if (current) {
                current->AddChild(node, false);
            } else {
                delete m_root;
                m_root = node;
            }
            current = node;
            ++depth;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!current) {
                done = true;
                break;
            }
            current = current->GetParent();
            --depth;
            if (!current && stopAfterRoot)
                done = true;
            break;
        case QXmlStreamReader::Characters:
            // Text counts only before the first child; whitespace between elements is dropped.
            if (current && current->GetChildCount() == 0 && !reader.text().isEmpty())
                current->AppendText(reader.text().toString());
            break;
        case QXmlStreamReader::EndDocument:
            done = true;
            break;
        case QXmlStreamReader::Invalid:
            if (childName)
                qDebug() << "warning: QXmlStreamReader::Invalid --" << reader.error();
            else
                qDebug() << "warning: QXmlStreamReader::Invalid";
            done = true;
            break;
        default:
            break;
        }
    }
    if (m_root)
        m_root->ResetNodeId();
}

XmlNode *XmlNodeParse::DetachHeaderNode()
{
    XmlNode *root = m_root;
    m_root = nullptr;
    return root;
}

QString XmlNodeParse::FormateXml(const QByteArray &bytes)
{
    XmlNodeParse parse;
    parse.ParseXml(bytes);
    return parse.m_root ? parse.m_root->CreateXml(true) : QString();
}

QString XmlNodeParse::FormateXmlToPlainTxt(const QByteArray &bytes)
{
    XmlNodeParse parse;
    parse.ParseXml(bytes);
    return parse.m_root ? parse.m_root->CreateXmlToPlainTxt(true) : QString();
}
