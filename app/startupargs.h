#pragma once

#include <QString>

// The document path among the command-line arguments left after the application object took its
// own options: the first argument after the program name, decoded with the local 8-bit codec;
// empty when there is none. Further arguments are ignored.
QString GetFileNameFromMainParam(int argc, char *argv[]);
