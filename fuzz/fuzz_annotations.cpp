// Any bytes as the annotation list and as a page annotation file of a sound one-page package: load
// the annotations and draw the page.
#include <QByteArray>

#include "annot/ofdannotsupport.h"
#include "fuzzapp.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdviewmanage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    static const bool installed = [] {
        OfdAnnotSupport::Install();
        return true;
    }();
    Q_UNUSED(installed);
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString ns = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"),
              QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml"
                             "</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
                  .arg(ns));
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              QStringLiteral(
                  "<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>0 0 50 50"
                  "</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" "
                  "BaseLoc=\"P.xml\"/></ofd:Pages><ofd:Annotations>A.xml</ofd:Annotations></ofd:Document>")
                  .arg(ns));
    b.AddText(QStringLiteral("Doc_0/P.xml"),
              QStringLiteral("<ofd:Page %1><ofd:Content/></ofd:Page>").arg(ns));
    // The input serves twice: as the list (which may name itself or anything) and as the page file.
    b.Add(QStringLiteral("Doc_0/A.xml"), bytes);
    b.Add(QStringLiteral("Doc_0/Annot_0.xml"), bytes);
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(b.Build()))
        return 0;
    OfdViewManage view;
    if (view.SetFileReader(reader))
        OfdPageRenderer::RenderPage(&view, 0, 0, 12);
    return 0;
}
