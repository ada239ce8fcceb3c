#pragma once

#include <QSharedPointer>
#include <QWidget>

class OfdFileReader;
class QListWidget;
class QPlainTextEdit;

// Shows the parts of an opened package: the entry list and the selected XML part as indented text.
class PackageView : public QWidget
{
    Q_OBJECT
public:
    PackageView(const QSharedPointer<OfdFileReader> &reader, QWidget *parent = nullptr);

    const QString &GetFilePath() const { return m_path; }
    void ShowEntry(const QString &entry);

private:
    QSharedPointer<OfdFileReader> m_reader;
    QString m_path;
    QListWidget *m_entries = nullptr;
    QPlainTextEdit *m_text = nullptr;
};
