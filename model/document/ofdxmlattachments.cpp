#include "model/document/ofdxmlattachments.h"

#include <QFileInfo>

#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"

namespace {
QDateTime ParseDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"yyyy-MM-ddThh:mm:ss", "yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd"}) {
        const QDateTime value = QDateTime::fromString(t, QLatin1String(format));
        if (value.isValid())
            return value;
    }
    return QDateTime::fromString(t, Qt::ISODate);
}
} // namespace

bool OfdXmlAttachments::Parse(const QByteArray &bytes)
{
    m_attachments.clear();
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("Attachments*:"));
    bool sawList = false;
    while (step.Next()) {
        if (step.IsAt(1, QLatin1String(":Attachments"))) {
            sawList = true;
        } else if (step.IsAt(2, QLatin1String(":Attachment"))) {
            OfdAttachmentInfo info;
            info.id = step.Attr(QLatin1String("ID"));
            info.name = step.Attr(QLatin1String("Name"));
            info.format = step.Attr(QLatin1String("Format"));
            info.creationDate = ParseDate(step.Attr(QLatin1String("CreationDate")));
            info.modDate = ParseDate(step.Attr(QLatin1String("ModDate")));
            info.size = step.Attr(QLatin1String("Size")).toDouble();
            const QString visible = step.Attr(QLatin1String("Visible"));
            info.visible =
                visible.isEmpty() || visible.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            info.usage = step.Attr(QLatin1String("Usage"));
            if (info.usage.isEmpty())
                info.usage = QStringLiteral("none");
            m_attachments.append(info);
        } else if (step.IsAt(3, QLatin1String(":FileLoc")) && !m_attachments.isEmpty()) {
            m_attachments.last().fileLoc = GetOfdFullPath(step.ReadText().trimmed());
        } else if (step.GetDepth() > 1) {
            step.Skip();
        }
    }
    return sawList;
}

QString OfdXmlAttachments::SafeFileName(const OfdAttachmentInfo &info)
{
    QString name = info.name.trimmed();
    if (name.isEmpty())
        name = QFileInfo(info.fileLoc).fileName();
    // Only the last path element counts, whatever separator the producer used.
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    QString safe;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("<>:\"|?*").contains(c))
            safe += QLatin1Char('_');
        else
            safe += c;
    }
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    safe = safe.trimmed();
    if (safe.isEmpty())
        safe = QStringLiteral("attachment");
    if (!info.format.isEmpty() && QFileInfo(safe).suffix().isEmpty()) {
        const QString ext = info.format.trimmed().section(QLatin1Char('/'), -1);
        if (!ext.isEmpty() && !ext.contains(QLatin1Char('.')))
            safe += QLatin1Char('.') + ext;
    }
    return safe.left(200);
}
