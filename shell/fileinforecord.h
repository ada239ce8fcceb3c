#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One recently opened file.
struct FileInfoItem
{
    QString fullPath;
    QDateTime lastReadTime;
};

// The record of recently opened files, newest first, kept as JSON in the working directory; the
// program's only state between runs. A process-wide singleton created on first use.
class FileInfoRecord
{
public:
    static FileInfoRecord *GetInstance();

    FileInfoRecord();

    // Reads the record file; a missing, empty or invalid file leaves the record empty.
    void LoadFile();
    // Writes the record file; a file that cannot be written is ignored. Written atomically.
    bool SaveFile() const;

    void AddFile(const QString &path, const QDateTime &time);
    void SetOpenDir(const QString &filePath);
    void DeleteFile(const QString &path, bool save);
    void ClearRecord(bool save);

    const QList<FileInfoItem> &GetFileList() const { return m_items; }
    const QString &GetOpenDir() const { return m_openDir; }
    int GetMaxCount() const { return m_maxCount; }
    // Relative to the working directory unless absolute.
    void SetRecordFile(const QString &fileName) { m_recordFile = fileName; }
    const QString &GetRecordFile() const { return m_recordFile; }

    // Parses the JSON text of a record file into this record.
    void ParseRecord(const QByteArray &json);
    QByteArray ToJson() const;

private:
    void SortAndTrim();

    int m_maxCount = 20;
    QString m_recordFile;
    QString m_openDir;
    QList<FileInfoItem> m_items;
};
