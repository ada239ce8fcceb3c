#include "shell/startup.h"

#include <QApplication>
#include <QFont>
#include <QTextCodec>

#include "annot/ofdannotsupport.h"
#include "app/appparam.h"
#include "render/content/ofdconvert.h"
#include "render/ofdrenderinit.h"
#include "render/ofdsealsupport.h"
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
    // Documents read their signature lists while they load; pattern fills and seal pictures stored
    // as packages are drawn through the page scene.
    OfdRenderInit::Init();
    OfdSealSupport::Install();
    OfdAnnotSupport::Install(); // annotations load with their documents; scenes get the drawing tools
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
