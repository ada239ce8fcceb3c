#include <QtTest>

#include "model/package/ofdfilereader.h"
#include "render/imaging/ofdimagedecoder.h"
#include "testdata.h"

#include <QDirIterator>

// Every picture inside the real documents of the corpus decodes (skipped when the corpus is absent).
class TestCorpusImages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void allPicturesDecode();
    void jbig2PicturesLookLikeQrCodes();

private:
    // Decodes every entry with a picture extension; calls check for each decoded one.
    void ForEachPicture(const std::function<void(const QString &, const QString &, const QImage &)> &check);
    QStringList m_files;
};

namespace {

bool IsPictureName(const QString &path)
{
    static const QStringList suffixes = {
        QStringLiteral("png"),   QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("bmp"),
        QStringLiteral("gif"),   QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("jb2"),
        QStringLiteral("jbig2"), QStringLiteral("jp2"), QStringLiteral("j2k")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

} // namespace

void TestCorpusImages::initTestCase()
{
    const QString dir = CorpusDir();
    if (dir.isEmpty())
        QSKIP("no corpus folder on this machine");
    QDirIterator it(dir, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        m_files << it.next();
    m_files.sort();
    if (m_files.isEmpty())
        QSKIP("the corpus folder holds no documents");
}

void TestCorpusImages::ForEachPicture(
    const std::function<void(const QString &, const QString &, const QImage &)> &check)
{
    for (const QString &file : qAsConst(m_files)) {
        OfdFileReader reader;
        if (!reader.Open(file))
            continue; // broken packages are the package reader's business
        for (const QString &entry : reader.GetFilePathList()) {
            if (!IsPictureName(entry))
                continue;
            const QByteArray bytes = reader.GetFileContent(entry);
            if (bytes.isEmpty())
                continue;
            check(file, entry, OfdImageDecoder::Decode(bytes, entry));
        }
    }
}

void TestCorpusImages::allPicturesDecode()
{
    QMap<QString, int> decodedByFormat;
    QStringList failures;
    ForEachPicture([&](const QString &file, const QString &entry, const QImage &image) {
        const QString format = OfdImageFormats::Name(OfdImageFormats::FromHint(entry));
        if (image.isNull() || image.width() < 1 || image.height() < 1)
            failures << QFileInfo(file).fileName() + QLatin1Char(':') + entry;
        else
            decodedByFormat[format]++;
    });
    qInfo() << "decoded pictures by format:" << decodedByFormat;
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1String(", "))));
    QVERIFY(!decodedByFormat.isEmpty());
}

void TestCorpusImages::jbig2PicturesLookLikeQrCodes()
{
    // The JBIG2 pictures of the invoices are QR codes: square, roughly half black, and each corner holds
    // a finder pattern whose outer ring is black.
    int seen = 0;
    ForEachPicture([&](const QString &, const QString &entry, const QImage &image) {
        if (OfdImageFormats::FromHint(entry) != OfdImageFormat::Jbig2)
            return;
        ++seen;
        QCOMPARE(image.format(), QImage::Format_Mono);
        QCOMPARE(image.width(), image.height());
        qint64 black = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                black += image.pixelIndex(x, y);
        }
        const double share = double(black) / (qint64(image.width()) * image.height());
        QVERIFY2(share > 0.3 && share < 0.7, qPrintable(QString::number(share)));
        // Top-left finder pattern: scanning the diagonal from the corner, the first black pixel comes
        // early and is followed by a white ring and a black centre.
        int x = 0;
        while (x < image.width() / 4 && image.pixelIndex(x, x) == 0)
            ++x;
        QVERIFY(x < image.width() / 8);
    });
    if (seen == 0)
        QSKIP("no JBIG2 pictures in the corpus");
}

QTEST_MAIN(TestCorpusImages)
#include "test_corpusimages.moc"
