#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// Exit codes of ofdtool.
enum EN_OfdToolExit
{
    OfdToolExit_Ok = 0,
    OfdToolExit_Usage = 1,        // unknown command, missing or malformed option
    OfdToolExit_Unreadable = 2,   // the input is not a readable OFD package
    OfdToolExit_Output = 3,       // a page could not be rendered or written
    OfdToolExit_CannotVerify = 4, // verify: a signature could not be checked (and none failed)
};

// Where a command writes: results to out, messages to err.
struct OfdToolStreams
{
    QTextStream &out;
    QTextStream &err;
};

// One subcommand of ofdtool: its name, a usage line, a one-line summary and the function that runs
// it with the arguments after the name. Adding a subcommand is adding a row to the table.
struct OfdToolCommand
{
    const char *name;
    const char *usage;
    const char *summary;
    int (*run)(const QStringList &args, OfdToolStreams &io);
};

// The command table and the dispatch on it.
class OfdToolCommands
{
public:
    static const QList<OfdToolCommand> &GetCommands();
    // Runs args[0] with the rest; prints the usage and returns OfdToolExit_Usage for anything unknown.
    static int Run(const QStringList &args, OfdToolStreams &io);
    static void PrintUsage(QTextStream &stream);
};

// The options of a command line: flags and valued options ("-o OUT", "--dpi 150", "--dpi=150")
// and the positional arguments in order.
class OfdToolArgs
{
public:
    // valued lists the options that take a value, flags those that do not; false (with error set)
    // for an unknown option or a missing value.
    bool Parse(const QStringList &args, const QStringList &valued, const QStringList &flags);

    bool Has(const QString &option) const { return m_options.contains(option); }
    QString Value(const QString &option) const { return m_options.value(option); }
    const QStringList &Positional() const { return m_positional; }
    const QString &Error() const { return m_error; }

private:
    QHash<QString, QString> m_options;
    QStringList m_positional;
    QString m_error;
};
