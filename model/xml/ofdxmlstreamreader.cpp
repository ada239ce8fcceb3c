#include "model/xml/ofdxmlstreamreader.h"

#include <QRegularExpression>
#include <QTextCodec>

#include "model/xml/ofdcreatorparam.h"

namespace {
// True when the part is read as UTF-8: no byte-order mark of UTF-16/32 and no other encoding declared.
bool IsUtf8Part(const QByteArray &data)
{
    if (data.startsWith("\xfe\xff") || data.startsWith("\xff\xfe"))
        return false;
    if (!data.startsWith("<?xml"))
        return true;
    const int end = data.indexOf("?>");
    if (end < 0)
        return true;
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(data.left(end)));
    if (!match.hasMatch())
        return true;
    const QString name = match.captured(1).toLower();
    return name == QLatin1String("utf-8") || name == QLatin1String("utf8");
}

// Parts written by careless producers may hold stray bytes that are not UTF-8. The reader would stop
// at the first of them, losing the rest of the part; decoding them as replacement characters keeps
// the structure readable.
QByteArray RepairUtf8(const QByteArray &data)
{
    if (!IsUtf8Part(data))
        return data;
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state;
    const QString text = utf8->toUnicode(data.constData(), data.size(), &state);
    if (state.invalidChars == 0)
        return data;
    return text.toUtf8();
}
} // namespace

OfdXmlStreamReader::OfdXmlStreamReader(const QByteArray &data) : QXmlStreamReader(RepairUtf8(data))
{
    addExtraNamespaceDeclaration(
        QXmlStreamNamespaceDeclaration(OfdCreatorParam::OFD_NameSpace, OfdCreatorParam::OFD_NameSpaceUrl));
}
