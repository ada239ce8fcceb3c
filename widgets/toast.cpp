#include "widgets/toast.h"

#include <QTimer>

Toast::Toast(QWidget *window, const QString &text) : QLabel(text, window)
{
    setObjectName(QStringLiteral("Toast"));
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QLabel#Toast { background-color: rgba(51, 55, 61, 220); color: #ffffff;"
                                 " border-radius: 4px; padding: 8px 16px; font-size: 13px; }"));
    adjustSize();
}

Toast *Toast::ShowTip(QWidget *parent, const QString &text, int ms)
{
    QWidget *window = parent ? parent->window() : nullptr;
    if (!window)
        return nullptr;
    auto *toast = new Toast(window, text);
    toast->Place();
    toast->show();
    toast->raise();
    QTimer::singleShot(qMax(1, ms), toast, &QObject::deleteLater);
    return toast;
}

void Toast::Place()
{
    const QWidget *window = parentWidget();
    const int x = (window->width() - width()) / 2;
    const int y = window->height() - height() - qMax(40, window->height() / 8);
    move(qMax(0, x), qMax(0, y));
}
