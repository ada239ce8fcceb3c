#pragma once

#include <QLabel>

class QTimer;

// A short message that floats over the lower middle of a window and goes away by itself.
class Toast : public QLabel
{
    Q_OBJECT
public:
    // Shows text over parent's window for ms milliseconds; the toast deletes itself afterwards.
    static Toast *ShowTip(QWidget *parent, const QString &text, int ms = 2000);

private:
    Toast(QWidget *window, const QString &text);
    void Place();
};
