#include "model/document/ofdxmlcustomtags.h"

#include "model/package/ofdcontentsource.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "model/xml/xmlnode.h"

namespace {
// Walks a tag file's tree and collects its ObjectRef elements with the names of their holders.
void CollectRefs(XmlNode *node, const QString &path, QList<OfdCustomTagRef> &refs, int depth)
{
    if (depth > 64)
        return;
    for (XmlNode *child : node->GetChildren()) {
        if (child->GetName() == QLatin1String("ObjectRef")) {
            OfdCustomTagRef ref;
            ref.tagName = node->GetName();
            ref.tagPath = path;
            ref.pageId = child->GetAttr(QStringLiteral("PageRef")).trimmed().toInt();
            ref.objectId = child->GetText().trimmed().toInt();
            refs.append(ref);
        } else {
            CollectRefs(child, path + QLatin1Char('/') + child->GetName(), refs, depth + 1);
        }
    }
}
} // namespace

OfdXmlCustomTags::OfdXmlCustomTags() = default;
OfdXmlCustomTags::~OfdXmlCustomTags() = default;

bool OfdXmlCustomTags::Load(OfdContentSource *package)
{
    if (!package || m_filePath.isEmpty())
        return false;
    return Parse(package->GetOfdFileContent(m_filePath), package);
}

bool OfdXmlCustomTags::Parse(const QByteArray &listBytes, OfdContentSource *package)
{
    m_tags.clear();
    OfdXmlStreamReader reader(listBytes);
    OfdXmlStreamStep step(reader, QStringLiteral("CustomTags*:"));
    bool sawList = false;
    while (step.Next()) {
        if (step.IsAt(1, QLatin1String(":CustomTags"))) {
            sawList = true;
        } else if (step.IsAt(2, QLatin1String(":CustomTag"))) {
            auto tag = std::make_unique<OfdCustomTag>();
            tag->id = step.Attr(QLatin1String("ID"));
            tag->nameSpace = step.Attr(QLatin1String("NameSpace"));
            m_tags.push_back(std::move(tag));
        } else if (step.IsAt(3, QLatin1String(":FileLoc")) && !m_tags.empty()) {
            m_tags.back()->fileLoc = GetOfdFullPath(step.ReadText().trimmed());
        } else if (step.IsAt(3, QLatin1String(":SchemaLoc")) && !m_tags.empty()) {
            m_tags.back()->schemaLoc = GetOfdFullPath(step.ReadText().trimmed());
        } else if (step.GetDepth() > 1) {
            step.Skip();
        }
    }
    for (auto &tag : m_tags) {
        if (!package || tag->fileLoc.isEmpty())
            continue;
        tag->tree.reset(XmlNode::FromData(package->GetOfdFileContent(tag->fileLoc)));
        if (tag->tree)
            CollectRefs(tag->tree.get(), tag->tree->GetName(), tag->refs, 0);
    }
    return sawList;
}

const OfdCustomTag *OfdXmlCustomTags::GetTag(int i) const
{
    return i >= 0 && i < int(m_tags.size()) ? m_tags[size_t(i)].get() : nullptr;
}

QHash<int, QList<OfdCustomTagRef>> OfdXmlCustomTags::ToHashGroupByPage() const
{
    QHash<int, QList<OfdCustomTagRef>> byPage;
    for (const auto &tag : m_tags) {
        for (const OfdCustomTagRef &ref : tag->refs)
            byPage[ref.pageId].append(ref);
    }
    return byPage;
}
