#include "app/qthelper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cmath>

QString QtHelper::fromString(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString QtHelper::fromString(const QByteArray &utf8)
{
    return QString::fromUtf8(utf8);
}

bool QtHelper::IsShowDebugMessage()
{
    return true;
}

bool QtHelper::IsUseQXmlStreamReader()
{
    return true;
}

void QtHelper::DelayAsyn(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        const int left = ms - int(timer.elapsed());
        QCoreApplication::processEvents(QEventLoop::AllEvents, qMin(5, qMax(1, left)));
        if (left > 1)
            QThread::msleep(1);
    }
}

QString QtHelper::ReadTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString QtHelper::GetTopReaderSwithQss()
{
    if (AppParam::AppStatus == 2)
        return ReadTextFile(QStringLiteral(":/QSS/Resources/QSS/TopReaderSwitch_Lumeno.css"));
    return ReadTextFile(QStringLiteral(":/QSS/Resources/QSS/TopReaderSwitch.css"));
}

QString QtHelper::GetScrollBarVerticalQss()
{
    return ReadTextFile(QStringLiteral(":/MainWindow/Resources/scrollbar.qss"));
}

QString QtHelper::GetScrollBarhorizontalQss()
{
    return ReadTextFile(QStringLiteral(":/MainWindow/Resources/scrollbar-horizontal.qss"));
}

static int CmykChannel(int value, int k)
{
    const double v = 255.0 * (1.0 - qBound(0, value, 255) / 255.0) * (1.0 - qBound(0, k, 255) / 255.0);
    return qBound(0, int(std::floor(v + 0.5)), 255);
}

QColor QtHelper::CMYK2RGB(int c, int m, int y, int k)
{
    return QColor(CmykChannel(c, k), CmykChannel(m, k), CmykChannel(y, k));
}
