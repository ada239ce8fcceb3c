#include "app/logfilter.h"

#include <QByteArray>
#include <QLoggingCategory>

void LogFilter::Install(bool verbose)
{
    QLoggingCategory::setFilterRules(verbose ? QStringLiteral("default.debug=true")
                                             : QStringLiteral("default.debug=false"));
}

bool LogFilter::IsVerboseRequested()
{
    const QByteArray value = qgetenv("OFDREADER_VERBOSE");
    return !value.isEmpty() && value != "0";
}
