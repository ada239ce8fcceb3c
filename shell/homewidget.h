#pragma once

#include <QList>
#include <QWidget>

class FormFileItem;
class QLabel;
class QPushButton;
class QVBoxLayout;

// A home page: the open button and the list of recently opened files from the record.
class HomeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HomeWidget(QWidget *parent = nullptr);

    // The default home page is the first tab; files opened from it get tabs of their own.
    void SetDefaultHome(bool isDefault) { m_default = isDefault; }
    bool IsDefaultHome() const { return m_default; }

    // Rebuilds the list from the record.
    void RefreshFileList();
    const QList<FormFileItem *> &GetFileItems() const { return m_items; }
    QPushButton *GetOpenButton() const { return m_openButton; }
    QPushButton *GetClearButton() const { return m_clearButton; }

    // Opens one file as the user's choice from this page.
    void OpenFile(const QString &path);
    // The open dialog ("文件对话框！"), several files, starting in the record's open directory.
    void OpenByDialog();

signals:
    // from is this page, or null for the default home page.
    void SignalOpenFile(const QString &path, HomeWidget *from);

private:
    void DeleteFile(const QString &path);
    void ClearRecord();

    bool m_default = false;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QLabel *m_emptyLabel = nullptr;
    QWidget *m_listWidget = nullptr;
    QVBoxLayout *m_listLayout = nullptr;
    QList<FormFileItem *> m_items;
};
