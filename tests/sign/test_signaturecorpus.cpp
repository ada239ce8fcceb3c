#include <QtTest>

#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/package/ofdfilereader.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "testdata.h"

namespace {
// What the corpus manifest records for one signature.
struct Expected
{
    bool seal = false; // "Seal:" (a seal signature) rather than "Sign:" (a plain digital signature)
    QString sig;       // "ok", "FAIL", "n/a"
    int refsOk = -1;
    int refsTotal = -1;
    QString dataHash; // "sm3-ok", "mismatch(...)", "n/a..."
};

QList<Expected> ParseSignatures(const QString &column)
{
    QList<Expected> out;
    for (const QString &part : column.split(QStringLiteral(" | "), Qt::SkipEmptyParts)) {
        Expected e;
        e.seal = part.startsWith(QLatin1String("Seal:"));
        for (const QString &field : part.split(QLatin1Char(':'))) {
            if (field.startsWith(QLatin1String("sig=")))
                e.sig = field.mid(4);
            else if (field.startsWith(QLatin1String("refs="))) {
                const QStringList n = field.mid(5).split(QLatin1Char('/'));
                e.refsOk = n.value(0).toInt();
                e.refsTotal = n.value(1).toInt();
            } else if (field.startsWith(QLatin1String("dataHash=")))
                e.dataHash = field.mid(9);
        }
        out.append(e);
    }
    return out;
}
} // namespace

// The signed documents of the corpus give the verdicts an independent check recorded for them.
class TestSignatureCorpus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void verdicts_data();
    void verdicts();
};

void TestSignatureCorpus::initTestCase()
{
    if (CorpusDir().isEmpty())
        QSKIP("corpus not present");
    OfdXmlSignatureManage::InstallLoader();
}

void TestSignatureCorpus::verdicts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("signatures");
    QFile manifest(CorpusDir() + QStringLiteral("/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cols = lines[i].split(QLatin1Char('\t'));
        if (cols.size() < 8 || cols[7].trimmed().isEmpty())
            continue;
        QTest::newRow(qPrintable(cols[0])) << CorpusDir() + QLatin1Char('/') + cols[0] << cols[7].trimmed();
    }
}

void TestSignatureCorpus::verdicts()
{
    QFETCH(QString, path);
    QFETCH(QString, signatures);
    const QList<Expected> expected = ParseSignatures(signatures);

    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(path));
    OfdFileManage manage;
    QVERIFY(manage.SetFileReader(reader));
    OfdFile *document = manage.GetOfdFile(0);
    QVERIFY(document);
    auto *list = dynamic_cast<OfdXmlSignatureManage *>(document->GetSignatures());
    QVERIFY(list);
    QCOMPARE(list->GetCount(), expected.size());

    for (int i = 0; i < expected.size(); ++i) {
        OfdXmlSignature *signature = list->GetSignatures()[i];
        const Expected &e = expected[i];
        signature->CheckSm3();
        int ok = 0;
        for (const OfdSignatureReference &reference : signature->GetReferences().references)
            ok += reference.state == OfdSignatureReference::State_Match ? 1 : 0;
        QCOMPARE(signature->GetReferences().references.size(), e.refsTotal);
        QCOMPARE(ok, e.refsOk);
        QCOMPARE(signature->CheckSm3(), e.refsOk == e.refsTotal);
        if (!e.seal)
            continue; // plain digital signatures carry no seal structure to decode
        QVERIFY(signature->GetSeal() || !signature->GetSealData().isEmpty());
        QCOMPARE(signature->IsDataHashMatch(), e.dataHash == QLatin1String("sm3-ok"));
        QCOMPARE(signature->CheckSignValue(),
                 e.sig == QLatin1String("ok") && e.dataHash == QLatin1String("sm3-ok"));
    }
}

QTEST_MAIN(TestSignatureCorpus)
#include "test_signaturecorpus.moc"
