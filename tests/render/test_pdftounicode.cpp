#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include "render/ofdpdftounicode.h"

// The text of written PDF files: CJK characters whose glyph a radical shares come back as the
// ideograph, in place and nothing else touched.
class TestPdfToUnicode : public QObject
{
    Q_OBJECT
private slots:
    void ideographs_data()
    {
        QTest::addColumn<uint>("cp");
        QTest::addColumn<uint>("ideograph");
        QTest::newRow("Kangxi 文") << 0x2F42u << 0x6587u;
        QTest::newRow("Kangxi 人") << 0x2F08u << 0x4EBAu;
        QTest::newRow("supplement 民") << 0x2EA0u << 0x6C11u;
        QTest::newRow("supplement 角") << 0x2EC6u << 0x89D2u;
        QTest::newRow("ideograph itself") << 0x6587u << 0u;
        QTest::newRow("Latin") << 0x0041u << 0u;
        QTest::newRow("Roman numeral") << 0x2164u << 0u;
    }
    void ideographs()
    {
        QFETCH(uint, cp);
        QFETCH(uint, ideograph);
        QCOMPARE(OfdPdfToUnicode::IdeographOf(cp), ideograph);
    }

    void cmapDestinationsOnly()
    {
        // Glyph codes (sources) that happen to equal a radical stay; destinations are mended,
        // in lists, single range starts and character pairs alike.
        const QByteArray in = "/CMapType 2 def\n1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
                              "2 beginbfrange\n<2F42> <2F43> [<2F42> <0041>]\n<0001> <0001> <2EA0>\n"
                              "endbfrange\n1 beginbfchar\n<2F08> <2F08>\nendbfchar\nendcmap\n";
        const QByteArray out = OfdPdfToUnicode::FixCMap(in);
        QCOMPARE(out.size(), in.size());
        QVERIFY2(out.contains("<2F42> <2F43> [<6587> <0041>]"), out.constData());
        QVERIFY2(out.contains("<0001> <0001> <6C11>"), out.constData());
        QVERIFY2(out.contains("<2F08> <4EBA>"), out.constData());
        QVERIFY(out.contains("<0000> <FFFF>"));
        // Nothing to mend: the same bytes.
        const QByteArray plain = "1 beginbfchar\n<0003> <0041>\nendbfchar\n";
        QCOMPARE(OfdPdfToUnicode::FixCMap(plain), plain);
    }

    void fileMendedInPlace()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("a.pdf"));
        QByteArray pdf = "%PDF-1.4\n" + QByteArray(9 << 20, ' ') +
                         "\nstream\n/CIDInit begincmap\n"
                         "1 beginbfchar\n<0005> <2F42>\nendbfchar\nendcmap\nendstream\n%%EOF\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pdf);
        file.close();
        QVERIFY(OfdPdfToUnicode::FixFile(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray back = file.readAll();
        QCOMPARE(back.size(), pdf.size());
        QVERIFY(back.contains("<0005> <6587>"));
        QCOMPARE(back.left(pdf.indexOf("begincmap")), pdf.left(pdf.indexOf("begincmap")));
    }

    void filterPassesEverythingOn()
    {
        QByteArray target;
        QBuffer buffer(&target);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        OfdPdfToUnicode::Filter filter(&buffer);
        QCOMPARE(filter.write("%PDF-1.4\n"), qint64(9));
        const QByteArray cmap = "begincmap\n1 beginbfchar\n<0002> <2EC6>\nendbfchar\nendcmap\n";
        QCOMPARE(filter.write(cmap), qint64(cmap.size()));
        QCOMPARE(target,
                 QByteArray("%PDF-1.4\nbegincmap\n1 beginbfchar\n<0002> <89D2>\nendbfchar\nendcmap\n"));
    }
};

QTEST_GUILESS_MAIN(TestPdfToUnicode)
#include "test_pdftounicode.moc"
