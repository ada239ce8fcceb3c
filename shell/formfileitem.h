#pragma once

#include <QDateTime>
#include <QWidget>

class ClickableLabel;
class QLabel;
class QPushButton;

// One entry of the home page's list of recently opened files: its number, file name, folder and
// last read time, and a button that removes it from the record.
class FormFileItem : public QWidget
{
    Q_OBJECT
public:
    FormFileItem(int number, const QString &fullPath, const QDateTime &lastReadTime,
                 QWidget *parent = nullptr);

    const QString &GetFullPath() const { return m_fullPath; }
    QString GetNumberText() const;
    QString GetFileNameText() const;
    QString GetTimeText() const;
    QPushButton *GetCloseButton() const { return m_closeButton; }

signals:
    void SignalOpenFile(const QString &fullPath);
    void SignalDeleteFile(const QString &fullPath);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_fullPath;
    QLabel *m_number = nullptr;
    ClickableLabel *m_fileName = nullptr;
    QLabel *m_folder = nullptr;
    QLabel *m_time = nullptr;
    QPushButton *m_closeButton = nullptr;
};
