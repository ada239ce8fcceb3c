#include "app/startupargs.h"

QString GetFileNameFromMainParam(int argc, char *argv[])
{
    if (argc < 2 || !argv || !argv[1])
        return QString();
    return QString::fromLocal8Bit(argv[1]);
}
