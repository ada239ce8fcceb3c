#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class QVBoxLayout;

// Base of the side panels: a title row with a close button above the panel's own content.
class FormOfdPanel : public QWidget
{
    Q_OBJECT
public:
    FormOfdPanel(const QString &title, QWidget *parent = nullptr);

    QString GetTitle() const;
    QToolButton *GetCloseButton() const { return m_closeButton; }

signals:
    // The user asked to close the side bar.
    void SignalClose();

protected:
    // The layout below the title row that the panel fills.
    QVBoxLayout *ContentLayout() const { return m_content; }

private:
    QLabel *m_title = nullptr;
    QToolButton *m_closeButton = nullptr;
    QVBoxLayout *m_content = nullptr;
};
