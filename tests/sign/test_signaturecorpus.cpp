#include <QtTest>

#include "model/document/ofdfile.h"
#include "model/document/ofdfilemanage.h"
#include "model/package/ofdfilereader.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "testdata.h"

namespace {
// What the corpus manifest records for one signature.
struct Expected
{
    bool seal = false; // "Seal:" (a seal signature) rather than "Sign:" (a plain digital signature)
    QString kind;      // "SES-V4(ver=4)", "PKCS7-SM2", "raw-sm2", ...
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
        e.kind = part.section(QLatin1Char(':'), 1, 1);
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
    void extraSignaturesReported_data();
    void extraSignaturesReported();
};

void TestSignatureCorpus::initTestCase()
{
    if (CorpusDir().isEmpty())
        QSKIP("corpus not present");
    OfdXmlSignatureManage::InstallLoader();
    // Verdicts against no trust anchors at all: the corpus signers are not ours to trust.
    OfdTrustStore::Default().Clear();
}

namespace {
// Rows of a manifest: its columns by header name; a manifest that cannot be read fails the test.
QList<QHash<QString, QString>> ReadManifest(const QString &path)
{
    QList<QHash<QString, QString>> rows;
    QFile manifest(path);
    if (!manifest.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot read %1").arg(path)), __FILE__, __LINE__);
        return rows;
    }
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
    const QStringList header = lines.value(0).split(QLatin1Char('\t'));
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cols = lines[i].split(QLatin1Char('\t'));
        if (cols.size() < 2)
            continue;
        QHash<QString, QString> row;
        for (int c = 0; c < header.size() && c < cols.size(); ++c)
            row.insert(header[c].trimmed(), cols[c].trimmed());
        rows.append(row);
    }
    if (rows.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("no rows in %1").arg(path)), __FILE__, __LINE__);
    return rows;
}

OfdXmlSignatureManage *Signatures(OfdFileManage &manage, const QString &path)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(path) || !manage.SetFileReader(reader) || !manage.GetOfdFile(0))
        return nullptr;
    return dynamic_cast<OfdXmlSignatureManage *>(manage.GetOfdFile(0)->GetSignatures());
}

int CheckState(const OfdSignatureVerdict &verdict, const char *name)
{
    for (const OfdSignatureCheck &check : verdict.GetChecks()) {
        if (check.name == QString::fromUtf8(name))
            return check.state;
    }
    return -1;
}
} // namespace

void TestSignatureCorpus::verdicts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("signatures");
    int signedRows = 0;
    for (const auto &row : ReadManifest(CorpusDir() + QStringLiteral("/MANIFEST.tsv"))) {
        if (row.value(QStringLiteral("signatures")).isEmpty())
            continue;
        QTest::newRow(qPrintable(row.value(QStringLiteral("path"))))
            << CorpusDir() + QLatin1Char('/') + row.value(QStringLiteral("path"))
            << row.value(QStringLiteral("signatures"));
        ++signedRows;
    }
    if (signedRows == 0)
        QTest::qFail("the manifest lists no signed files", __FILE__, __LINE__);
}

void TestSignatureCorpus::verdicts()
{
    QFETCH(QString, path);
    QFETCH(QString, signatures);
    const QList<Expected> expected = ParseSignatures(signatures);

    OfdFileManage manage;
    OfdXmlSignatureManage *list = Signatures(manage, path);
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

        const OfdSignatureVerdict &verdict = signature->GetVerdict();
        const bool referencesOk = e.refsOk == e.refsTotal;
        const bool hashOk =
            e.dataHash == QLatin1String("sm3-ok") || e.dataHash.startsWith(QLatin1String("n/a"));
        if (e.kind == QLatin1String("raw-sm2")) {
            // No certificate: nobody can say who signed, whatever the references show.
            QCOMPARE(CheckState(verdict, "签名证书"), int(OfdSignatureCheck::State_Unchecked));
            QCOMPARE(verdict.GetLevel(), int(referencesOk ? OfdSignatureVerdict::Level_Unknown
                                                          : OfdSignatureVerdict::Level_Failed));
            continue;
        }
        if (!e.seal) {
            QCOMPARE(verdict.GetStandard(), QStringLiteral("GB/T 35275-2017"));
        } else {
            QVERIFY(signature->GetSeal() || !signature->GetSealData().isEmpty());
            QCOMPARE(signature->IsDataHashMatch(), e.dataHash == QLatin1String("sm3-ok"));
            QCOMPARE(signature->CheckSignValue(), e.sig == QLatin1String("ok") && hashOk);
        }
        // The checks the manifest records an independent verdict for agree with it.
        QCOMPARE(CheckState(verdict, "引用文件") == OfdSignatureCheck::State_Passed, referencesOk);
        if (hashOk)
            QCOMPARE(CheckState(verdict, "签名值") == OfdSignatureCheck::State_Passed,
                     e.sig == QLatin1String("ok"));
        else
            QCOMPARE(CheckState(verdict, "数据摘要"), int(OfdSignatureCheck::State_Failed));
        if (!referencesOk || !hashOk || e.sig != QLatin1String("ok")) {
            QCOMPARE(verdict.GetLevel(), int(OfdSignatureVerdict::Level_Failed));
            continue;
        }
        // Sound signatures: never trusted without anchors; failed only for a certificate or a seal not
        QVERIFY2(verdict.GetLevel() != OfdSignatureVerdict::Level_Trusted, qPrintable(verdict.GetReason()));
        // valid when the signature was made (some generated samples were signed years after their
        // seal and certificate expired).
        const bool sealFailed = CheckState(verdict, "印章") == OfdSignatureCheck::State_Failed;
        if (verdict.GetLevel() == OfdSignatureVerdict::Level_Failed) {
            QVERIFY(CheckState(verdict, "证书") == OfdSignatureCheck::State_Failed || sealFailed);
            QVERIFY2(verdict.GetReason().contains(QString::fromUtf8("有效期")),
                     qPrintable(verdict.GetReason()));
        } else {
            QCOMPARE(verdict.GetLevel(), int(OfdSignatureVerdict::Level_Untrusted));
        }
        QVERIFY(!verdict.GetSigner().isEmpty());
        if (e.seal && !(sealFailed && verdict.GetReason().contains(QString::fromUtf8("印章不在有效期内"))))
            QCOMPARE(CheckState(verdict, "印章"), int(OfdSignatureCheck::State_Passed));
    }
}

void TestSignatureCorpus::extraSignaturesReported_data()
{
    QTest::addColumn<QString>("path");
    const QString dir = CorpusDir() + QStringLiteral("/../corpus-extra");
    if (!QFile::exists(dir + QStringLiteral("/MANIFEST.tsv")))
        QSKIP("corpus-extra not present");
    for (const auto &row : ReadManifest(dir + QStringLiteral("/MANIFEST.tsv"))) {
        if (row.value(QStringLiteral("features")).contains(QLatin1String("signed-")))
            QTest::newRow(qPrintable(row.value(QStringLiteral("path"))))
                << dir + QLatin1Char('/') + row.value(QStringLiteral("path"));
    }
}

void TestSignatureCorpus::extraSignaturesReported()
{
    // Declared signatures only, nobody checked them: each is read and gets a verdict with its reason,
    // and none is called trusted without anchors.
    QFETCH(QString, path);
    OfdFileManage manage;
    OfdXmlSignatureManage *list = Signatures(manage, path);
    QVERIFY(list);
    QVERIFY(list->GetCount() > 0);
    for (OfdXmlSignature *signature : list->GetSignatures()) {
        const OfdSignatureVerdict &verdict = signature->GetVerdict();
        QVERIFY(!verdict.GetChecks().isEmpty());
        QVERIFY(!verdict.GetStandard().isEmpty());
        QVERIFY(verdict.GetLevel() != OfdSignatureVerdict::Level_Trusted);
        QVERIFY(!verdict.GetReason().isEmpty());
    }
}

QTEST_MAIN(TestSignatureCorpus)
#include "test_signaturecorpus.moc"
