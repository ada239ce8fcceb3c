#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

// Lets .ofd files be dropped on any part of the main window, pages, home page and boxes included,
// and on the full-screen document view. Installed on the application, it takes the drag events of
// every widget in those windows before the widget itself sees them (the page views would otherwise
// hand them to their scenes and refuse them, a line edit would paste the path) and opens the
// dropped files; drags that carry no .ofd file are left to the widgets.
class OfdDropFilter : public QObject
{
    Q_OBJECT
public:
    // window: the main window whose widgets the filter serves; it is also the filter's parent.
    explicit OfdDropFilter(QWidget *window);

    // The local .ofd files among the URLs of data, in their order (letter case of ".ofd" ignored).
    static QStringList OfdFilesOf(const QMimeData *data);

signals:
    void SignalOpenFiles(const QStringList &files);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Serves(QObject *watched) const;

    QWidget *m_window;
};
