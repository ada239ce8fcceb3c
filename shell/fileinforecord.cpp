#include "shell/fileinforecord.h"

#include "app/appconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
}

FileInfoRecord *FileInfoRecord::GetInstance()
{
    static FileInfoRecord *instance = new FileInfoRecord;
    return instance;
}

FileInfoRecord::FileInfoRecord()
    : m_recordFile(DefaultRecordFile()), m_legacyFile(QStringLiteral("./FileRecord.txt")),
      m_openDir(QDir::homePath()) // "d:\" means nothing here
{
}

QString FileInfoRecord::DefaultRecordFile()
{
    return AppConfig::FilePath(QStringLiteral("FileRecord.txt"));
}

void FileInfoRecord::LoadFile()
{
    const QString recordPath = QFileInfo(m_recordFile).absoluteFilePath();
    const bool takeOver = !QFileInfo::exists(recordPath) && !m_legacyFile.isEmpty() &&
                          QFileInfo(m_legacyFile).absoluteFilePath() != recordPath;
    QFile file(takeOver ? QFileInfo(m_legacyFile).absoluteFilePath() : recordPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    if (!text.isEmpty())
        ParseRecord(text);
    if (takeOver)
        SaveFile();
}

void FileInfoRecord::ParseRecord(const QByteArray &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return;
    const QJsonObject root = doc.object();
    if (root.contains(QLatin1String("CurDir")))
        m_openDir = root.value(QLatin1String("CurDir")).toString();
    const QJsonArray entries = root.value(QLatin1String("arrayFileRecord")).toArray();
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QLatin1String("FileFullPath")).toString();
        if (path.isEmpty())
            continue;
        AddFile(path,
                QDateTime::fromString(entry.value(QLatin1String("LastReadTime")).toString(), kTimeFormat));
    }
    SortAndTrim();
}

QByteArray FileInfoRecord::ToJson() const
{
    QJsonArray entries;
    for (const FileInfoItem &item : m_items) {
        QJsonObject entry;
        entry.insert(QStringLiteral("QtType"), QStringLiteral("FileInfoItem"));
        entry.insert(QStringLiteral("FileFullPath"), item.fullPath);
        entry.insert(QStringLiteral("LastReadTime"), item.lastReadTime.toString(kTimeFormat));
        entries.append(entry);
    }
    QJsonObject root;
    root.insert(QStringLiteral("CurDir"), m_openDir);
    root.insert(QStringLiteral("arrayFileRecord"), entries);
    return QJsonDocument(root).toJson();
}

bool FileInfoRecord::SaveFile() const
{
    const QFileInfo info(m_recordFile);
    QDir().mkpath(info.absolutePath()); // the config folder of a new user
    QSaveFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ToJson());
    return file.commit();
}

void FileInfoRecord::AddFile(const QString &path, const QDateTime &time)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto existing = std::find_if(m_items.begin(), m_items.end(), [&](const FileInfoItem &item) {
        return item.fullPath == absolute || item.fullPath == path;
    });
    if (existing != m_items.end())
        existing->lastReadTime = time;
    else
        m_items.prepend(FileInfoItem{absolute, time});
    SortAndTrim();
}

void FileInfoRecord::SetOpenDir(const QString &filePath)
{
    m_openDir = QFileInfo(filePath).absolutePath();
}

void FileInfoRecord::DeleteFile(const QString &path, bool save)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&](const FileInfoItem &item) {
                                     return item.fullPath == path || item.fullPath == absolute;
                                 }),
                  m_items.end());
    if (save)
        SaveFile();
}

void FileInfoRecord::ClearRecord(bool save)
{
    m_items.clear();
    if (save)
        SaveFile();
}

void FileInfoRecord::SortAndTrim()
{
    std::stable_sort(m_items.begin(), m_items.end(), [](const FileInfoItem &a, const FileInfoItem &b) {
        return a.lastReadTime > b.lastReadTime;
    });
    while (m_items.size() > m_maxCount)
        m_items.removeLast();
}
