#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

// A frameless application dialog with its own title bar (icon, title, close button) that moves
// the dialog, above a content area.
class AppDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AppDialog(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString GetTitle() const;
    // The layout that receives the dialog's content.
    QVBoxLayout *GetContentLayout() const { return m_contentLayout; }
    QWidget *GetTitleBar() const { return m_titleBar; }

private:
    QWidget *m_titleBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    QPushButton *m_closeButton = nullptr;
    QVBoxLayout *m_contentLayout = nullptr;
};

// The about box: the application's logo, display name, version and a line about the program.
class AppAboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AppAboutDialog(QWidget *parent = nullptr);
    // Fills the box: picture (may be null), name and the lines below it.
    void SetInfo(const QPixmap &logo, const QString &name, const QString &version, const QString &text);
    QString GetName() const;

private:
    QLabel *m_logo = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_text = nullptr;
};
