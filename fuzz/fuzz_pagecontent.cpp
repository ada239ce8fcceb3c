// Any bytes as the content of page 1 of an otherwise sound package: parse, build the scene, render.
#include <QByteArray>

#include "fuzzapp.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    PackageBuilder b;
    b.AddText(QStringLiteral("OFD.xml"),
              QStringLiteral("<ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:DocBody><ofd:DocRoot>"
                             "Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              QStringLiteral(
                  "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:CommonData><ofd:PageArea>"
                  "<ofd:PhysicalBox>0 0 50 50</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData><ofd:Pages>"
                  "<ofd:Page ID=\"1\" BaseLoc=\"P.xml\"/></ofd:Pages></ofd:Document>"));
    b.Add(QStringLiteral("Doc_0/P.xml"), QByteArray(reinterpret_cast<const char *>(data), int(size)));
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(b.Build()))
        return 0;
    OfdViewManage view;
    if (!view.SetFileReader(reader))
        return 0;
    OfdPageScene scene;
    scene.SetViewManage(&view);
    scene.SetPageIndex(0, 0);
    scene.CreateScene();
    scene.SearchText(QStringLiteral("a"));
    scene.SelectText(QRectF(0, 0, 100, 100));
    scene.GetCopyText();
    OfdPageRenderer::RenderPage(&view, 0, 0, 12);
    return 0;
}
