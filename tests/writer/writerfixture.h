#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

class OfdPageScene;
class OfdViewManage;

// What the writer tests share: a package opened as the reader opens it, and the page scenes of its
// first document built as the view builds them (annotation tools ready).
namespace WriterFixture {
// The package from bytes or from a file; null when it does not open.
std::unique_ptr<OfdViewManage> Open(const QByteArray &bytes);
std::unique_ptr<OfdViewManage> OpenPath(const QString &path);

// The scenes of the first limit pages of document 0, owned here.
struct Scenes
{
    std::vector<std::unique_ptr<OfdPageScene>> owned;
    QList<OfdPageScene *> list;

    explicit Scenes(OfdViewManage *manage, int limit = 1000);
    ~Scenes();
    Scenes(const Scenes &) = delete;
    Scenes &operator=(const Scenes &) = delete;
};
} // namespace WriterFixture
