// Renders the SVG sources of the resource collection to PNG files.
//
// Usage: render-icons MANIFEST SOURCE_ROOT
// Each non-empty manifest line that does not start with '#' reads
//   <svg path> <png path> <width> [<height>]
// with both paths relative to SOURCE_ROOT. The picture is scaled to fill
// the requested size and written with a transparent background.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: render-icons MANIFEST SOURCE_ROOT\n");
        return 2;
    }
    QFile manifest(args.at(1));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 2;
    }
    const QDir root(args.at(2));
    QTextStream in(&manifest);
    in.setCodec("UTF-8");
    int failures = 0;
    int count = 0;
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QRegExp(QStringLiteral("\\s+")));
        if (f.size() < 3 || f.size() > 4) {
            std::fprintf(stderr, "line %d: expected <svg> <png> <width> [<height>]\n", lineNo);
            ++failures;
            continue;
        }
        const int w = f.at(2).toInt();
        const int h = f.size() == 4 ? f.at(3).toInt() : w;
        const QString svgPath = root.filePath(f.at(0));
        const QString pngPath = root.filePath(f.at(1));
        QSvgRenderer renderer(svgPath);
        if (!renderer.isValid() || w <= 0 || h <= 0) {
            std::fprintf(stderr, "line %d: cannot render %s\n", lineNo, qPrintable(svgPath));
            ++failures;
            continue;
        }
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                             QPainter::TextAntialiasing);
            renderer.render(&p, QRectF(0, 0, w, h));
        }
        QDir().mkpath(QFileInfo(pngPath).absolutePath());
        if (!image.convertToFormat(QImage::Format_ARGB32).save(pngPath, "PNG", 9)) {
            std::fprintf(stderr, "line %d: cannot write %s\n", lineNo, qPrintable(pngPath));
            ++failures;
            continue;
        }
        ++count;
    }
    std::printf("%d rendered, %d failed\n", count, failures);
    return failures == 0 ? 0 : 1;
}
