#include "ofdtoolcommand.h"

#include <QTextStream>

#include "ofdtoolexport.h"
#include "ofdtoolinfo.h"
#include "ofdtoolrender.h"
#include "ofdtoolverify.h"

const QList<OfdToolCommand> &OfdToolCommands::GetCommands()
{
    static const QList<OfdToolCommand> commands = {
        {"info", "ofdtool info FILE [--json]",
         "documents, pages and their sizes, fonts, images, annotations, attachments, signatures",
         &OfdToolInfo::Run},
        {"render", "ofdtool render FILE -o OUT.png [--page N] [--dpi D] [--doc M]",
         "pages as PNG pictures (all pages as OUT-1.png, OUT-2.png, ... without --page)",
         &OfdToolRender::Run},
        {"pdf", "ofdtool pdf FILE -o OUT.pdf [--pages A-B] [--doc M]",
         "pages as a PDF file with vector graphics and selectable text, written page by page",
         &OfdToolPdf::Run},
        {"text", "ofdtool text FILE [--page N] [--doc M]",
         "the text of the pages in reading order (pages separated by a form feed)", &OfdToolText::Run},
        {"verify", "ofdtool verify FILE [--json] [--trust DIR]",
         "checks of every signature: changed files, data hash, signature value, seal, certificate chain\n"
         "      (exit 0 valid, 1 a signature failed, 4 a signature cannot be verified)",
         &OfdToolVerify::Run},
    };
    return commands;
}

void OfdToolCommands::PrintUsage(QTextStream &stream)
{
    stream << "Usage:\n";
    for (const OfdToolCommand &command : GetCommands())
        stream << "  " << command.usage << "\n      " << command.summary << "\n";
    stream << "Page and document numbers count from 1; the resolution defaults to 96 dpi.\n"
              "Exit codes: 0 success, 1 bad usage (verify: a signature failed), 2 unreadable file,\n"
              "3 rendering or writing failed, 4 (verify) a signature cannot be verified.\n";
}

int OfdToolCommands::Run(const QStringList &args, OfdToolStreams &io)
{
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h") ||
        args[0] == QLatin1String("help")) {
        PrintUsage(args.isEmpty() ? io.err : io.out);
        return args.isEmpty() ? OfdToolExit_Usage : OfdToolExit_Ok;
    }
    for (const OfdToolCommand &command : GetCommands()) {
        if (args[0] == QLatin1String(command.name))
            return command.run(args.mid(1), io);
    }
    io.err << "ofdtool: unknown command \"" << args[0] << "\"\n";
    PrintUsage(io.err);
    return OfdToolExit_Usage;
}

bool OfdToolArgs::Parse(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    m_options.clear();
    m_positional.clear();
    m_error.clear();
    bool onlyPositional = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (onlyPositional || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            m_positional << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            onlyPositional = true;
            continue;
        }
        QString name = arg;
        QString value;
        bool hasValue = false;
        const int eq = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        }
        if (valued.contains(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    m_error = QStringLiteral("option %1 needs a value").arg(name);
                    return false;
                }
                value = args[++i];
            }
            m_options.insert(name, value);
        } else if (flags.contains(name) && !hasValue) {
            m_options.insert(name, QString());
        } else {
            m_error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
}
