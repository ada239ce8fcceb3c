#include "reader/ofdopenerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "app/qthelper.h"
#include "model/package/ofdfilereader.h"

namespace {
QString T(const char *text)
{
    return QtHelper::fromString(text);
}
} // namespace

QString OfdOpenError::ReasonOfFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return T("文件不存在。");
    if (info.isDir())
        return T("这是一个文件夹，不是文件。");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return T("没有读取这个文件的权限。");
    if (file.size() == 0)
        return T("文件是空的（0 字节）。");
    const QByteArray head = file.read(4);
    if (!head.startsWith("PK"))
        return T("这不是 OFD 文件：OFD 文件是 ZIP 压缩包，而这个文件不是。");
    return T("文件已损坏：无法作为 ZIP 压缩包读取。");
}

QString OfdOpenError::ReasonOfDocument(OfdFileReader *reader)
{
    bool hasEntry = false;
    if (reader) {
        for (const QString &name : reader->GetFilePathList()) {
            QString bare = name;
            while (bare.startsWith(QLatin1Char('/')))
                bare.remove(0, 1);
            if (bare.compare(QLatin1String("OFD.xml"), Qt::CaseInsensitive) == 0)
                hasEntry = true;
        }
    }
    if (!hasEntry)
        return T("包中缺少入口文件 OFD.xml，这不是 OFD 文件。");
    return T("文档结构无法读取：OFD.xml 或 Document.xml 缺失、损坏，或没有可显示的文档。");
}

QString OfdOpenError::Message(const QString &path, const QString &reason)
{
    return T("无法打开文件：") + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
           QLatin1Char('\n') + reason;
}

void OfdOpenError::Show(QWidget *parent, const QString &path, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, T("打开文件"), Message(path, reason), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("openErrorBox"));
    box.exec();
}
