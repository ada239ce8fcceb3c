#include <QtTest>

#include <QDirIterator>
#include <QRegularExpression>

#include "model/content/ofdpageitem.h"
#include "model/content/ofdxmlpage.h"
#include "model/content/ofdxmlpagelayer.h"
#include "model/content/ofdxmlpagelayergroup.h"
#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/package/ofdfilereader.h"
#include "testdata.h"

namespace {
// Page objects of a content file counted straight from its text, independently of the parser.
int CountObjectsInText(const QByteArray &content)
{
    static const QRegularExpression object(
        QStringLiteral("<(\\w+:)?(Text|Path|Image|Composite)Object[\\s>/]"));
    int count = 0;
    QRegularExpressionMatchIterator it = object.globalMatch(QString::fromUtf8(content));
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

int CountObjectsInModel(OfdXmlPageLayerGroup *group)
{
    int count = 0;
    for (OfdXmlPageLayer *layer : group->GetLayers())
        count += layer->GetPageItemCount();
    return count;
}
} // namespace

// Every real document of the corpus loads with the page count its manifest records, and every
// page holds as many objects as its content file declares.
class TestCorpusLoading : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void documents_data();
    void documents();
};

void TestCorpusLoading::initTestCase()
{
    if (CorpusDir().isEmpty())
        QSKIP("corpus not present");
}

void TestCorpusLoading::documents_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("features");
    QFile manifest(CorpusDir() + QStringLiteral("/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cols = lines[i].split(QLatin1Char('\t'));
        if (cols.size() < 6 || !cols[0].endsWith(QLatin1String(".ofd")))
            continue;
        bool ok = false;
        const int pages = cols[4].toInt(&ok);
        QTest::newRow(qPrintable(cols[0]))
            << CorpusDir() + QLatin1Char('/') + cols[0] << (ok ? pages : -1) << cols[5];
    }
}

void TestCorpusLoading::documents()
{
    QFETCH(QString, path);
    QFETCH(int, pages);
    QFETCH(QString, features);
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(path));
    OfdFileManage manage;
    QVERIFY(manage.SetFileReader(reader));
    OfdFile *document = manage.GetOfdFile(0);
    QVERIFY(document);
    // Pages whose content files are missing are left out, so only sound files must match exactly.
    if (pages >= 0 && !features.contains(QLatin1String("missing-parts")))
        QCOMPARE(document->GetPageCount(), pages);
    for (int i = 0; i < document->GetPageCount(); ++i) {
        OfdXmlPage *page = document->GetPage(i);
        QVERIFY(page);
        QCOMPARE(CountObjectsInModel(page->GetBodyGroup()), CountObjectsInText(page->GetContent()));
    }
}

QTEST_MAIN(TestCorpusLoading)
#include "test_corpusloading.moc"
