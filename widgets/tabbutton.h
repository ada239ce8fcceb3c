#pragma once

#include <QPushButton>

class QLabel;

// One tab of the main window's tab strip: a checkable button with an icon, an elided text and a
// close button.
class TabButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TabButton(QWidget *parent = nullptr);

    void SetText(const QString &text);
    QString GetText() const { return m_text; }
    void SetIcon(const QPixmap &icon);
    // The close button is shown unless switched off.
    void SetCloseable(bool closeable);
    bool IsCloseable() const;
    QPushButton *GetCloseButton() const { return m_closeButton; }

signals:
    void SignalClose(TabButton *sender);
    void SignalClicked(TabButton *sender);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void UpdateElidedText();

    QLabel *m_iconLabel = nullptr;
    QLabel *m_textLabel = nullptr;
    QPushButton *m_closeButton = nullptr;
    QString m_text;
};
