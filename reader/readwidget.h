#pragma once

#include <QMainWindow>

// Base of the content of a document tab: a main-window widget that remembers the path of its file.
class ReadWidget : public QMainWindow
{
    Q_OBJECT
public:
    explicit ReadWidget(QWidget *parent = nullptr);

    const QString &GetFilePath() const { return m_filePath; }

protected:
    void SetFilePath(const QString &path) { m_filePath = path; }

private:
    QString m_filePath;
};
