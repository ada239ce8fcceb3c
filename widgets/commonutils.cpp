#include "widgets/commonutils.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

QString CommonUtils::readStyleSheet(const QString &name)
{
    QFile file(QStringLiteral(":/QSS/Resources/QSS/") + name + QStringLiteral(".css"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void CommonUtils::loadStyleSheet(QWidget *widget, const QString &name)
{
    if (!widget)
        return;
    const QString sheet = readStyleSheet(name);
    if (!sheet.isEmpty())
        widget->setStyleSheet(widget->styleSheet() + QLatin1Char('\n') + sheet);
}

QPixmap CommonUtils::recolor(const QPixmap &pixmap, const QColor &color)
{
    if (pixmap.isNull())
        return pixmap;
    QPixmap result(pixmap.size());
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawPixmap(0, 0, pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), color);
    return result;
}
