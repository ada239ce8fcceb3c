// ofdtool: information about OFD packages and pictures of their pages, for users and scripts.

#include <QApplication>
#include <QTextStream>

#include "annot/ofdannotsupport.h"
#include "app/logfilter.h"
#include "model/content/ofdconvert.h"
#include "ofdtoolcommand.h"
#include "render/ofdrenderinit.h"
#include "render/ofdsealsupport.h"

int main(int argc, char *argv[])
{
    // Scripts run without a display: draw off screen unless a platform was chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The libraries trace their parsing on the debug log; stderr keeps the tool's own messages and
    // the warnings unless --verbose asks for the traces too.
    bool verbose = false;
    for (int i = 1; i < argc; ++i)
        verbose = verbose || QByteArray(argv[i]) == "--verbose";
    LogFilter::Install(verbose);
    QApplication app(argc, argv);

    QStringList args = QCoreApplication::arguments().mid(1);
    args.removeAll(QStringLiteral("--verbose"));

    // Page pixels follow the requested resolution, not the screen's.
    OfdConvert::Init(96.0);
    OfdRenderInit::Init();
    // Documents load with their seals and annotations, and pages show them, as in the reader.
    OfdSealSupport::Install();
    OfdAnnotSupport::Install();

    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    OfdToolStreams io{out, err};
    return OfdToolCommands::Run(args, io);
}
