#include "writerfixture.h"

#include <QSharedPointer>

#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "render/ofdpagescene.h"
#include "render/ofdviewmanage.h"

namespace WriterFixture {

namespace {
template <typename Source>
std::unique_ptr<OfdViewManage> OpenFrom(const Source &source)
{
    QSharedPointer<OfdFileReader> reader(new OfdFileReader);
    if (!reader->Open(source))
        return nullptr;
    auto manage = std::make_unique<OfdViewManage>();
    if (!manage->SetFileReader(reader))
        return nullptr;
    return manage;
}
} // namespace

std::unique_ptr<OfdViewManage> Open(const QByteArray &bytes)
{
    return OpenFrom(bytes);
}

std::unique_ptr<OfdViewManage> OpenPath(const QString &path)
{
    return OpenFrom(path);
}

Scenes::Scenes(OfdViewManage *manage, int limit)
{
    OfdFile *file = manage ? manage->GetOfdFile(0) : nullptr;
    for (int i = 0; file && i < qMin(limit, file->GetPageCount()); ++i) {
        auto scene = std::make_unique<OfdPageScene>();
        scene->SetViewManage(manage);
        scene->SetPageIndex(0, i);
        scene->CreateScene();
        scene->SetReaderView(EN_OfdReaderView_Annot);
        scene->SetMouseShape(EN_MouseShape_Annot);
        list.append(scene.get());
        owned.push_back(std::move(scene));
    }
}

Scenes::~Scenes() = default;

} // namespace WriterFixture
