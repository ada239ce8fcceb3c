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

// The record of recently opened files, newest first, kept as JSON in "FileRecord.txt" of the user's
// config folder (AppConfig). A process-wide singleton created on first use.
class FileInfoRecord
{
public:
    static FileInfoRecord *GetInstance();

    FileInfoRecord();

    // Reads the record file; a missing, empty or invalid file leaves the record empty. While the
    // record file does not exist yet, a record left by older versions in the working folder
    // ("./FileRecord.txt") is read instead and written to the record file, so it is taken over
    // once; the old file is left alone.
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
    // Relative to the working directory unless absolute. A record file chosen here takes over no
    // older record (SetLegacyRecordFile afterwards to have one).
    void SetRecordFile(const QString &fileName)
    {
        m_recordFile = fileName;
        m_legacyFile.clear();
    }
    const QString &GetRecordFile() const { return m_recordFile; }
    // The record of older versions that LoadFile takes over; empty takes over nothing.
    void SetLegacyRecordFile(const QString &fileName) { m_legacyFile = fileName; }
    const QString &GetLegacyRecordFile() const { return m_legacyFile; }
    // The record file in the user's config folder.
    static QString DefaultRecordFile();

    // Parses the JSON text of a record file into this record.
    void ParseRecord(const QByteArray &json);
    QByteArray ToJson() const;

private:
    void SortAndTrim();

    int m_maxCount = 20;
    QString m_recordFile;
    QString m_legacyFile;
    QString m_openDir;
    QList<FileInfoItem> m_items;
};
