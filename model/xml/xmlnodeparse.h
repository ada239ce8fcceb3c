#pragma once

#include <QByteArray>
#include <QString>

class XmlNode;
class QXmlStreamReader;

// Builds an XmlNode tree from XML bytes. Parsing stops at the first reader error and keeps what was
// read so far. Owns the root until DetachHeaderNode hands it over.
class XmlNodeParse
{
public:
    XmlNodeParse() = default;
    ~XmlNodeParse();
    XmlNodeParse(const XmlNodeParse &) = delete;
    XmlNodeParse &operator=(const XmlNodeParse &) = delete;

    void ParseXml(const QByteArray &bytes);
    void ParseXml(QXmlStreamReader &reader, bool stopAfterRoot);
    // Like ParseXml(bytes), but the root's direct children not named childName are skipped whole.
    void ParseXml(const QByteArray &bytes, const QString &childName);

    XmlNode *DetachHeaderNode();

    // The part re-serialised with indentation; "" when it holds no element.
    static QString FormateXml(const QByteArray &bytes);
    static QString FormateXmlToPlainTxt(const QByteArray &bytes);

    // Elements nested deeper than this are skipped; real parts are a few levels deep.
    static constexpr int kMaxDepth = 256;

private:
    void Parse(QXmlStreamReader &reader, bool stopAfterRoot, const QString *childName);

    XmlNode *m_root = nullptr;
};
