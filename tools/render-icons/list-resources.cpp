// Lists every path of a compiled resource collection with its size and storage.
//
// Usage: list-resources COLLECTION.rcc
// (COLLECTION.rcc is written by "rcc --binary resources/resources.qrc -o ...").
// Each line reads "<path> <size> <zlib|zstd|plain>". Pictures are also decoded
// so that a broken PNG is reported; the exit code is 1 when any entry fails.
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QResource>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: list-resources COLLECTION.rcc\n");
        return 2;
    }
    // Mounted under a private root so that the toolkit's own resources stay apart.
    const QString root = QStringLiteral("/__collection");
    if (!QResource::registerResource(QString::fromLocal8Bit(argv[1]), root)) {
        std::fprintf(stderr, "cannot register %s\n", argv[1]);
        return 2;
    }
    int bad = 0;
    QStringList paths;
    QDirIterator it(QLatin1Char(':') + root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString &path : paths) {
        QResource res(path);
        const char *storage = "plain";
        if (res.compressionAlgorithm() == QResource::ZlibCompression)
            storage = "zlib";
        else if (res.compressionAlgorithm() == QResource::ZstdCompression)
            storage = "zstd";
        QFile f(path);
        const qint64 size = f.open(QIODevice::ReadOnly) ? f.readAll().size() : -1;
        bool ok = size > 0;
        if (ok && path.endsWith(QLatin1String(".png")))
            ok = !QImage(path).isNull();
        const QString shown = QLatin1Char(':') + path.mid(root.size() + 1);
        std::printf("%s %lld %s%s\n", qPrintable(shown), static_cast<long long>(size), storage,
                    ok ? "" : " BROKEN");
        if (!ok)
            ++bad;
    }
    std::printf("%d paths, %d broken\n", static_cast<int>(paths.size()), bad);
    return bad == 0 ? 0 : 1;
}
