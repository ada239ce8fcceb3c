#include <QtTest>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "testdata.h"

// Real packages from more producers (office suites, converters, invoice platforms, libraries in other
// languages), listed in the folder's MANIFEST.tsv: every one that is a ZIP archive opens, has the
// pages the manifest counts and renders its first and last page with something on them; one that is
// not a ZIP is refused with the tool's message. Skipped when the folder is absent; a manifest that
// cannot be read fails.
class TestCorpusExtra : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void packageOpensAndRenders_data();
    void packageOpensAndRenders();

private:
    struct Row
    {
        QString path;
        QString pages;
        QStringList features;
    };
    QString m_dir;
    QList<Row> m_rows;
    QTemporaryDir m_out;

    int Run(const QStringList &args, QString *out = nullptr, QString *err = nullptr);
};

Q_DECLARE_METATYPE(QStringList)

int TestCorpusExtra::Run(const QStringList &args, QString *out, QString *err)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(OFDTOOL_PATH), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (out)
        *out = QString::fromUtf8(process.readAllStandardOutput());
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

void TestCorpusExtra::initTestCase()
{
    m_dir = CorpusExtraDir();
    if (m_dir.isEmpty())
        QSKIP("no corpus-extra folder on this machine");
    QVERIFY(m_out.isValid());
    QFile manifest(m_dir + QStringLiteral("/MANIFEST.tsv"));
    QVERIFY2(manifest.open(QIODevice::ReadOnly), "MANIFEST.tsv cannot be read");
    const QStringList lines =
        QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() > 1, "MANIFEST.tsv lists no files");
    const QStringList header = lines.first().split(QLatin1Char('\t'));
    const int path = header.indexOf(QStringLiteral("path"));
    const int pages = header.indexOf(QStringLiteral("pages"));
    const int features = header.indexOf(QStringLiteral("features"));
    QVERIFY2(path >= 0 && pages >= 0 && features >= 0,
             "MANIFEST.tsv lacks the path, pages or features column");
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        QVERIFY2(fields.size() > qMax(path, qMax(pages, features)),
                 qPrintable(QStringLiteral("MANIFEST.tsv line %1 is short").arg(i + 1)));
        m_rows.append({fields[path], fields[pages].trimmed(),
                       fields[features].split(QLatin1Char(','), Qt::SkipEmptyParts)});
    }
}

void TestCorpusExtra::packageOpensAndRenders_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QStringList>("features");
    for (const Row &row : qAsConst(m_rows))
        QTest::newRow(qPrintable(row.path)) << row.path << row.pages << row.features;
}

void TestCorpusExtra::packageOpensAndRenders()
{
    QFETCH(QString, path);
    QFETCH(QString, pages);
    QFETCH(QStringList, features);
    const QString file = m_dir + QLatin1Char('/') + path;
    QFile in(file);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(file));
    const bool zip = in.read(2) == "PK";
    in.close();

    QString out;
    QString err;
    if (!zip) {
        // Bad input: refused with a message that says what is wrong, not a crash.
        QVERIFY2(features.contains(QStringLiteral("malformed")),
                 "a file that is no ZIP is not tagged malformed");
        QCOMPARE(Run({QStringLiteral("info"), file}, &out, &err), 2);
        QVERIFY2(
            err.contains(QStringLiteral("not an OFD package (版式文档): the ZIP archive cannot be read")),
            qPrintable(err.right(300)));
        return;
    }

    // Opens (malformed ones too: their faults are tolerated) and has the pages the manifest counts.
    const int infoCode = Run({QStringLiteral("info"), file, QStringLiteral("--json")}, &out, &err);
    QVERIFY2(infoCode == 0, qPrintable(QStringLiteral("exit %1: %2").arg(infoCode).arg(err.right(300))));
    const QJsonObject info = QJsonDocument::fromJson(out.toUtf8()).object();
    const int pageCount = info.value(QStringLiteral("documents"))
                              .toArray()
                              .at(0)
                              .toObject()
                              .value(QStringLiteral("pageCount"))
                              .toInt();
    QVERIFY(pageCount > 0);
    bool numeric = false;
    const int listed = pages.toInt(&numeric);
    if (numeric)
        QCOMPARE(pageCount, listed);

    // The first and the last page render, with something drawn on them.
    for (int page : {1, pageCount}) {
        const QString png = m_out.filePath(QStringLiteral("page-%1.png").arg(page));
        const int code =
            Run({QStringLiteral("render"), file, QStringLiteral("-o"), png, QStringLiteral("--page"),
                 QString::number(page), QStringLiteral("--dpi"), QStringLiteral("36")},
                &out, &err);
        QVERIFY2(code == 0,
                 qPrintable(QStringLiteral("page %1: exit %2: %3").arg(page).arg(code).arg(err.right(300))));
        const QImage image(png);
        QVERIFY2(!image.isNull(), qPrintable(QStringLiteral("page %1 gave no picture").arg(page)));
        int ink = 0;
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x)
                ink += qGray(line[x]) < 200 ? 1 : 0;
        }
        QVERIFY2(ink > 0, qPrintable(QStringLiteral("page %1 is blank").arg(page)));
        QFile::remove(png);
    }
}

QTEST_MAIN(TestCorpusExtra)
#include "test_corpusextra.moc"
