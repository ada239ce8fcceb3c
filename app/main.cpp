#include <QApplication>

#include "app/appparam.h"
#include "app/startupargs.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"

int main(int argc, char *argv[])
{
    StartUp::PrepareApplication(); // high-DPI scaling and the log filter come before the application
    QApplication app(argc, argv);  // takes Qt's own options out of argc/argv
    AppParam param;
    Q_UNUSED(param);
    StartUp::InitApplication();

    // The window is shown first, so a slow or failing load reports inside it.
    MainWindow *window = StartUp::CreateMainWindow();
    const QString path = GetFileNameFromMainParam(argc, argv);
    if (!path.isEmpty())
        window->OpenNewFile(path, nullptr);
    return app.exec();
}
