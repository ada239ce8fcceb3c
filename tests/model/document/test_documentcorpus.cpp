#include <QtTest>

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <memory>

#include "fakepackagedocument.h"
#include "model/content/ofdspecialcolorpattern.h"
#include "model/content/ofdtemplateinfo.h"
#include "model/content/ofdtypeabbreviateddata.h"
#include "model/content/ofdtypecgtransformmanage.h"
#include "model/content/ofdtypefillcolor.h"
#include "model/content/ofdtypefont.h"
#include "model/content/ofdtypemultimedia.h"
#include "model/content/ofdtypepagearea.h"
#include "model/content/ofdtypepageclips.h"
#include "model/content/ofdtypetextcodemanage.h"
#include "model/document/ofddocumentcommondata.h"
#include "model/document/ofddocumentpageattr.h"
#include "model/document/ofdpathnormalize.h"
#include "model/document/ofdtemplatepageattr.h"
#include "model/document/ofdxmldocument.h"
#include "model/document/ofdxmlres.h"
#include "model/document/ofdxmlresmanange.h"
#include "model/document/ofdxmlroot.h"
#include "model/package/ofdfilereader.h"
#include "model/package/ofdpathhelper.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "testdata.h"

// Reads every entry file, descriptor, resource file and page content of the real packages on this
// machine with the typed readers and value types. Skipped when the folders are absent.
class TestDocumentCorpus : public QObject
{
    Q_OBJECT
private slots:
    void syntheticSamples();
    void corpus();
};

namespace {
// A document whose files come from an opened package.
class PackageDocument : public FakePackageDocument
{
public:
    explicit PackageDocument(OfdFileReader *reader) : m_reader(reader) {}
    QByteArray GetOfdFileContent(const QString &path) override { return m_reader->GetFileContent(path); }

private:
    OfdFileReader *m_reader;
};

struct Tally
{
    int packages = 0;
    int documents = 0;
    int pagesListed = 0;
    int pagesFound = 0;
    int resFilesListed = 0;
    int resFilesFound = 0;
    int fileRefs = 0;
    int fileRefsFound = 0;
    int colors = 0;
    int shadings = 0;
    int patterns = 0;
    int textCodes = 0;
    int paths = 0;
    int clips = 0;
    QStringList missing;
};

// Walks a content part, handing each value element to its type.
void ScanContent(const QByteArray &bytes, const QString &contentPath, PackageDocument &document, int pageKey,
                 Tally &tally)
{
    OfdXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.qualifiedName().toString();
        if (name.endsWith(QLatin1String(":FillColor")) || name.endsWith(QLatin1String(":StrokeColor"))) {
            OfdTypeFillColor color;
            color.SetDocumentAccess(&document);
            color.ParseXml(reader);
            color.CreateQColor();
            ++tally.colors;
            if (color.IsCreateBrush()) {
                ++tally.shadings;
                QImage image(32, 32, QImage::Format_ARGB32);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                painter.fillRect(image.rect(), color.CreateBrush(0.5));
            } else if (color.IsDrawPattern()) {
                ++tally.patterns;
                const auto *pattern = static_cast<const OfdSpecialColorPattern *>(color.GetSpecialColor());
                QVERIFY(pattern->GetTileTransforms(QRectF(0, 0, 300, 300), 1.0).size() <=
                        OfdSpecialColorPattern::kMaxTiles);
            }
        } else if (name.endsWith(QLatin1String(":TextCode"))) {
            OfdTypeTextCodeManage codes;
            codes.ParseXml(reader);
            double x = 0;
            double y = 0;
            QChar ch;
            for (int i = 0; i < codes.GetCharCount(); ++i)
                codes.GetChar(i, ch, x, y);
            ++tally.textCodes;
        } else if (name.endsWith(QLatin1String(":AbbreviatedData"))) {
            OfdTypeAbbreviatedData data;
            data.ParseXml(reader);
            data.ToValuesQt();
            data.PathText();
            ++tally.paths;
        } else if (name.endsWith(QLatin1String(":CGTransform"))) {
            OfdTypeCGTransformManage map;
            map.ParseXml(reader);
        } else if (name.endsWith(QLatin1String(":Clips"))) {
            OfdTypePageClips clips;
            clips.ParseXml(reader);
            ++tally.clips;
        } else if (depth == 1 && name.endsWith(QLatin1String(":Area"))) {
            OfdTypePageArea area;
            area.ParseXml(reader);
        } else if (depth == 1 && name.endsWith(QLatin1String(":Template"))) {
            OfdTemplateInfo info;
            info.ParseXml(reader);
        } else if (depth == 1 && name.endsWith(QLatin1String(":PageRes"))) {
            const QString path = NormalizeOfdPath(
                OfdPathHelper::GetOfdFullPath(contentPath, reader.readElementText().trimmed()));
            ++tally.resFilesListed;
            if (document.resources.AddPageRes(path, pageKey))
                ++tally.resFilesFound;
            else
                tally.missing << path;
        } else {
            ++depth;
        }
    }
}

void CountFileRefs(const OfdXmlRes &res, OfdFileReader &reader, Tally &tally)
{
    QStringList refs;
    for (const OfdTypeFont *font : res.GetFonts()) {
        if (!font->GetFontFile().isEmpty())
            refs << font->GetFontFile();
    }
    for (const OfdTypeMultiMedia *media : res.GetMultiMedias()) {
        if (!media->GetMediaFile().isEmpty())
            refs << media->GetMediaFile();
    }
    for (const QString &ref : refs) {
        ++tally.fileRefs;
        if (!reader.GetFileContent(ref).isEmpty())
            ++tally.fileRefsFound;
        else
            tally.missing << ref;
    }
}

// Scans one package; returns what it names but does not hold.
QStringList ScanPackage(const QString &file, Tally &tally)
{
    const int missingBefore = tally.missing.size();
    OfdFileReader reader;
    if (!reader.Open(file))
        return {QStringLiteral("(not a package)")};
    ++tally.packages;
    OfdXmlRoot root;
    root.PasrseXml(reader.GetFileContent(QStringLiteral("OFD.xml")));
    for (int d = 0; d < root.GetDocCount(); ++d) {
        const QString docPath = root.GetDocRootPath(d);
        const QByteArray docBytes = reader.GetFileContent(docPath);
        if (docBytes.isEmpty())
            continue;
        ++tally.documents;
        OfdXmlDocument descriptor;
        descriptor.SetOfdFilePath(docPath);
        descriptor.PasrseXml(docBytes);
        PackageDocument document(&reader);
        const QString resPaths[] = {descriptor.GetPublicResPath(), descriptor.GetDocumentResPath()};
        for (int i = 0; i < 2; ++i) {
            if (resPaths[i].isEmpty())
                continue;
            ++tally.resFilesListed;
            if (document.resources.ParseRes(resPaths[i], OfdXmlRes::EN_OfdResType(i)))
                ++tally.resFilesFound;
            else
                tally.missing << resPaths[i];
        }
        for (const OfdDocumentPageAttr *page : descriptor.GetPageAttrs()) {
            ++tally.pagesListed;
            const QByteArray content = reader.GetFileContent(page->GetBaseLoc());
            if (content.isEmpty()) {
                tally.missing << page->GetBaseLoc();
                continue;
            }
            ++tally.pagesFound;
            ScanContent(content, page->GetBaseLoc(), document, page->GetID().toInt(), tally);
        }
        if (descriptor.GetCommonData()) {
            for (const OfdTemplatePageAttr *tpl : descriptor.GetCommonData()->GetTemplatePages())
                ScanContent(reader.GetFileContent(tpl->GetBaseLoc()), tpl->GetBaseLoc(), document, 0, tally);
        }
        for (const OfdXmlRes *res : document.resources.GetDocumentRes())
            CountFileRefs(*res, reader, tally);
    }
    return tally.missing.mid(missingBefore);
}

// Feature tags per package path relative to the corpus folder, from its manifest.
QHash<QString, QString> ReadManifest(const QString &dir)
{
    QHash<QString, QString> features;
    QFile file(dir + QStringLiteral("/MANIFEST.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return features;
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).split(QLatin1Char('\t'));
        if (fields.size() > 5)
            features.insert(fields[0], fields[5]);
    }
    return features;
}

QStringList OfdFilesUnder(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.ofd")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

void Report(const char *what, const Tally &t)
{
    qInfo("%s: %d packages, %d documents, pages %d/%d, resource files %d/%d, font/media files %d/%d, "
          "%d colours (%d shadings, %d patterns), %d text codes, %d paths, %d clips",
          what, t.packages, t.documents, t.pagesFound, t.pagesListed, t.resFilesFound, t.resFilesListed,
          t.fileRefsFound, t.fileRefs, t.colors, t.shadings, t.patterns, t.textCodes, t.paths, t.clips);
    for (const QString &m : t.missing)
        qInfo("  not in its package: %s", qPrintable(m));
}
} // namespace

void TestDocumentCorpus::syntheticSamples()
{
    const QString dir = SynthSamplesDir();
    if (dir.isEmpty())
        QSKIP("no rendering samples on this machine");
    Tally tally;
    for (const QString &file : OfdFilesUnder(dir))
        ScanPackage(file, tally);
    Report("samples", tally);
    QVERIFY(tally.packages > 0);
    // These packages are well formed: everything they name is there.
    QCOMPARE(tally.documents, tally.packages);
    QCOMPARE(tally.pagesFound, tally.pagesListed);
    QCOMPARE(tally.resFilesFound, tally.resFilesListed);
    QCOMPARE(tally.fileRefsFound, tally.fileRefs);
    QVERIFY(tally.shadings > 0);
}

void TestDocumentCorpus::corpus()
{
    const QString dir = CorpusDir();
    if (dir.isEmpty())
        QSKIP("no corpus on this machine");
    const QHash<QString, QString> features = ReadManifest(dir);
    Tally tally;
    QStringList unexpected;
    for (const QString &file : OfdFilesUnder(dir)) {
        const QStringList missing = ScanPackage(file, tally);
        // Packages damaged on purpose are tagged; every other one must resolve all it names,
        // relative forms ("./", "../") included.
        const QString tags = features.value(QDir(dir).relativeFilePath(file));
        const bool damaged = tags.contains(QLatin1String("malformed")) ||
                             tags.contains(QLatin1String("missing")) ||
                             tags.contains(QLatin1String("case-mismatch"));
        if (!missing.isEmpty() && !damaged)
            unexpected << file + QStringLiteral(": ") + missing.join(QStringLiteral(", "));
    }
    Report("corpus", tally);
    QVERIFY(tally.packages > 0);
    QCOMPARE(tally.documents, tally.packages);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestDocumentCorpus)
#include "test_documentcorpus.moc"
