#include "shell/startup.h"

#include <QApplication>
#include <QFont>
#include <QSettings>
#include <QTextCodec>

#include <memory>

#include "annot/ofdannotsupport.h"
#include "app/appconfig.h"
#include "app/appparam.h"
#include "app/logfilter.h"
#include "model/content/ofdconvert.h"
#include "reader/readerviewstate.h"
#include "render/ofdrenderinit.h"
#include "render/ofdsealsupport.h"
#include "shell/fileinforecord.h"
#include "shell/mainwindow.h"

namespace StartUp {

void PrepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    LogFilter::Install(LogFilter::IsVerboseRequested());
}

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
    ReaderViewState::SetEnabled(true);
    {
        std::unique_ptr<QSettings> settings(AppConfig::CreateSettings());
        window->RestoreState(*settings);
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, [window]() {
        std::unique_ptr<QSettings> settings(AppConfig::CreateSettings());
        window->SaveState(*settings);
    });
    window->show();
    return window;
}

} // namespace StartUp
