// Any bytes as a package: open the archive and read every entry.
#include <QByteArray>

#include "model/package/ofdfilereader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Keep single entries small so the fuzzer spends its time on the archive structure.
    OfdFileReader::SetEntrySizeLimit(16 * 1024 * 1024);
    OfdFileReader reader;
    if (!reader.Open(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        return 0;
    for (const QString &path : reader.GetFilePathList())
        reader.GetFileContent(path);
    reader.GetFileContent(QStringLiteral("/OFD.xml"));
    return 0;
}
