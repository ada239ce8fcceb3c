// Compares page pictures: two PNG files, or every PNG of one folder with the same name in another
// (pages rendered before and after a change). Prints, most changed first, the similarity
// 1 - mean(|dR|+|dG|+|dB|)/(3*255) and the number of pixels whose largest channel differs by more
// than 64; pictures of different sizes count as similarity 0.
//
//   imagediff before.png after.png
//   imagediff before-folder after-folder [--all]
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>

namespace {

struct Difference
{
    QString name;
    double similarity = 0;
    long badPixels = 0;
    bool sameSize = false;
};

Difference Compare(const QString &name, const QImage &before, const QImage &after)
{
    Difference d;
    d.name = name;
    if (before.size() != after.size() || before.isNull())
        return d;
    d.sameSize = true;
    const QImage a = before.convertToFormat(QImage::Format_RGB32);
    const QImage b = after.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int dr = std::abs(qRed(p[x]) - qRed(q[x]));
            const int dg = std::abs(qGreen(p[x]) - qGreen(q[x]));
            const int db = std::abs(qBlue(p[x]) - qBlue(q[x]));
            sum += dr + dg + db;
            if (std::max({dr, dg, db}) > 64)
                ++d.badPixels;
        }
    }
    d.similarity = 1 - sum / (3.0 * 255 * a.width() * a.height());
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    QTextStream out(stdout);
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: imagediff BEFORE AFTER [--all] (two PNG files or two folders)\n";
        return 1;
    }
    QList<Difference> diffs;
    QStringList missing;
    if (QFileInfo(args[0]).isDir()) {
        const QDir before(args[0]);
        const QDir after(args[1]);
        for (const QString &name : after.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
            if (!before.exists(name)) {
                missing << name;
                continue;
            }
            diffs << Compare(name, QImage(before.filePath(name)), QImage(after.filePath(name)));
        }
    } else {
        diffs << Compare(args[1], QImage(args[0]), QImage(args[1]));
    }
    std::stable_sort(diffs.begin(), diffs.end(),
                     [](const Difference &a, const Difference &b) { return a.similarity < b.similarity; });
    double total = 0;
    int changed = 0;
    for (const Difference &d : qAsConst(diffs)) {
        total += d.similarity;
        const bool differs = d.similarity < 1 || !d.sameSize;
        changed += differs ? 1 : 0;
        if (differs || all)
            out << QString::asprintf("%.5f %8ld %s%s\n", d.similarity, d.badPixels, qPrintable(d.name),
                                     d.sameSize ? "" : " (size differs)");
    }
    for (const QString &name : qAsConst(missing))
        out << "only after: " << name << "\n";
    if (!diffs.isEmpty())
        out << QString::asprintf("%d compared, %d changed, mean similarity %.5f\n", int(diffs.size()),
                                 changed, total / diffs.size());
    return 0;
}
