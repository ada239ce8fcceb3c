// Any bytes as a package: load every document, parse and render a few pages at a tiny resolution.
#include <QApplication>
#include <QByteArray>

#include "fuzzapp.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdviewmanage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    OfdFileReader::SetEntrySizeLimit(16 * 1024 * 1024);
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        return 0;
    OfdViewManage view;
    if (!view.SetFileReader(reader))
        return 0;
    for (int d = 0; d < qMin(3, view.GetOfdFileCount()); ++d) {
        OfdFile *document = view.GetOfdFile(d);
        if (!document)
            continue;
        document->GetOutline();
        document->GetCustomTags();
        for (int p = 0; p < qMin(4, document->GetPageCount()); ++p)
            OfdPageRenderer::RenderPage(&view, d, p, 8);
    }
    return 0;
}
