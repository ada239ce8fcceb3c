#include "shell/ofddropfilter.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "reader/formofd.h"

OfdDropFilter::OfdDropFilter(QWidget *window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

QStringList OfdDropFilter::OfdFilesOf(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        const QString file = url.toLocalFile();
        if (!file.isEmpty() && file.endsWith(QLatin1String(".ofd"), Qt::CaseInsensitive))
            files.append(file);
    }
    return files;
}

bool OfdDropFilter::Serves(QObject *watched) const
{
    if (!watched->isWidgetType())
        return false;
    QWidget *window = static_cast<QWidget *>(watched)->window();
    // The full-screen view of a document is a window of its own.
    return window == m_window || qobject_cast<FormOfd *>(window);
}

bool OfdDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!Serves(watched))
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList files = OfdFilesOf(drop->mimeData());
    if (files.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        emit SignalOpenFiles(files);
    return true;
}
