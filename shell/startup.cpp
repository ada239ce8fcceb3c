#include "shell/startup.h"

#include <QApplication>
#include <QFont>
#include <QTextCodec>

#include "app/appparam.h"
#include "render/content/ofdconvert.h"
#include "shell/fileinforecord.h"
#include "shell/mainwindow.h"

namespace StartUp {

void InitApplication()
{
    QApplication::setFont(QFont(QStringLiteral("Microsoft Yahei"), 10));
    QApplication::setApplicationName(QString());
    QApplication::setApplicationDisplayName(AppParam::GetAppDisplayName());
    if (QTextCodec *utf8 = QTextCodec::codecForName("utf-8"))
        QTextCodec::setCodecForLocale(utf8);
    OfdConvert::Init(); // before anything converts millimetres to pixels
    AppParam::Init();
    FileInfoRecord::GetInstance()->LoadFile();
}

MainWindow *CreateMainWindow()
{
    auto *window = new MainWindow;
    window->setWindowFlags(Qt::FramelessWindowHint);
    window->show();
    return window;
}

} // namespace StartUp
