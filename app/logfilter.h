#pragma once

// Keeps the parsers' debug traces ("DocRoot: ...", "FontFile Path: ...") out of the terminal unless
// they are asked for; warnings and errors always show. The traces are written with qDebug() into
// the default logging category, so switching that category's debug level off is enough and no
// call site changes. QT_LOGGING_RULES still overrides what is installed here.
class LogFilter
{
public:
    // verbose true shows the traces too. The reader asks for them with OFDREADER_VERBOSE=1,
    // ofdtool with --verbose.
    static void Install(bool verbose);
    // True when OFDREADER_VERBOSE is set to anything but "" or "0".
    static bool IsVerboseRequested();
};
