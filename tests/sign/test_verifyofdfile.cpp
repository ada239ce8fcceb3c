#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "model/xml/xmlnode.h"
#include "packagebuilder.h"
#include "sealfixtures.h"
#include "sign/ofdsignaturewriter.h"
#include "sign/verifyofdfile.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

// The test provider verifies signatures made with its own key only.
const TestSeal::Sm2TestKey &ProviderKey()
{
    static TestSeal::Sm2TestKey key(TestSeal::ProviderKeyPem(), TestSeal::ProviderCertificatePem());
    return key;
}

const TestSeal::Sm2TestKey &OtherKey()
{
    static TestSeal::Sm2TestKey key(QStringLiteral("Not The Provider"));
    return key;
}

// Signature.xml and signed value for signature number n over the given files.
void AddSignature(PackageBuilder &b, int n, const QList<SignatureFileRef> &files,
                  const TestSeal::Sm2TestKey &key, bool emptyDescription = false,
                  const QByteArray &sealFile = QByteArray())
{
    const QString location = QStringLiteral("/Doc_0/Signs/Sign_%1/Signature.xml").arg(n);
    const QByteArray seal = TestSeal::BuildSeal(TestSeal::SealOptions(), key).data;
    SignatureXmlInput input;
    input.signatureMethod = QStringLiteral("1.2.156.10197.1.501");
    input.signatureDateTime = QStringLiteral("2026-12-08 10:00:00");
    input.hasSeal = true;
    input.files = files;
    std::unique_ptr<XmlNode> list(OfdSignatureWriter::CreateSignatureList());
    std::unique_ptr<XmlNode> xml(OfdSignatureWriter::CreateSignatureXml(input, location, list.get()));
    const QByteArray description = OfdSignatureWriter::ToBytes(xml.get());
    TestSeal::SignedValueOptions value;
    value.seal = seal;
    value.dataHash = TestSeal::Sm3(description);
    value.propertyInfo = location;
    b.Add(location.mid(1), emptyDescription ? QByteArray() : description);
    b.Add(QStringLiteral("Doc_0/Signs/Sign_%1/Seal.esl").arg(n), sealFile.isEmpty() ? seal : sealFile);
    b.Add(QStringLiteral("Doc_0/Signs/Sign_%1/SignedValue.dat").arg(n),
          TestSeal::BuildSignedValue(value, key).data);
}

// documentOverride: what the package holds as Document.xml instead of what was signed.
PackageBuilder Unsigned(QList<SignatureFileRef> &files, bool withList,
                        const QByteArray &documentOverride = QByteArray())
{
    files = {{QStringLiteral("Doc_0/Document.xml"), QStringLiteral("<ofd:Document %1/>").arg(kNs).toUtf8()}};
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral(
            "<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>%2</ofd:DocBody>"
            "</ofd:OFD>")
            .arg(kNs, withList ? QStringLiteral("<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>")
                               : QString()));
    b.Add(files[0].path, documentOverride.isEmpty() ? files[0].content : documentOverride);
    return b;
}

void AddList(PackageBuilder &b, int count)
{
    QString entries;
    for (int i = 0; i < count; ++i)
        entries +=
            QStringLiteral("<ofd:Signature ID=\"s%1\" BaseLoc=\"Sign_%2/Signature.xml\"/>").arg(i + 1).arg(i);
    b.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
              QStringLiteral("<ofd:Signatures %1>%2</ofd:Signatures>").arg(kNs, entries));
}
} // namespace

// Verifying every signature of a package through the seal provider.
class TestVerifyOfdFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void noSignatures();
    void allVerified();
    void secondRefused();
    void emptyDescription();
    void providerMissing();
    void changedAfterSigning_data();
    void changedAfterSigning();

private:
    int m_edition = 1;
};

void TestVerifyOfdFile::initTestCase()
{
    QVERIFY(ProviderKey().IsValid());
    m_edition = AppParam::AppStatus;
    AppParam::AppStatus = 2; // only edition 2 calls the provider
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
}

void TestVerifyOfdFile::cleanupTestCase()
{
    AppParam::AppStatus = m_edition;
}

void TestVerifyOfdFile::noSignatures()
{
    QList<SignatureFileRef> files;
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(Unsigned(files, false).Build());
    QCOMPARE(result->state, int(VerifyOfdResult::State_NoSignature));
    QCOMPARE(result->message, QString::fromUtf8("文件没有签章信息"));
    QVERIFY(result->signatures.isEmpty());
}

void TestVerifyOfdFile::allVerified()
{
    QList<SignatureFileRef> files;
    PackageBuilder b = Unsigned(files, true);
    AddList(b, 1);
    AddSignature(b, 0, files, ProviderKey());
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(b.Build());
    QCOMPARE(result->state, int(VerifyOfdResult::State_AllVerified));
    QCOMPARE(result->message, QString::fromUtf8("验证成功"));
    QCOMPARE(result->signatures.size(), 1);
    QCOMPARE(result->signatures[0].state, int(VerifySignResult::State_Verified));
    QCOMPARE(result->signatures[0].message, QString::fromUtf8("验证通过"));
}

void TestVerifyOfdFile::secondRefused()
{
    QList<SignatureFileRef> files;
    PackageBuilder b = Unsigned(files, true);
    AddList(b, 2);
    AddSignature(b, 0, files, ProviderKey());
    AddSignature(b, 1, files, OtherKey());
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(b.Build());
    QCOMPARE(result->state, int(VerifyOfdResult::State_Failed));
    QCOMPARE(result->message, QString::fromUtf8("验证失败"));
    QCOMPARE(result->signatures.size(), 2);
    QCOMPARE(result->signatures[0].message, QString::fromUtf8("验证通过"));
    QCOMPARE(result->signatures[1].state, int(VerifySignResult::State_Refused));
    // The provider's own words for what it refused.
    QVERIFY(!result->signatures[1].message.isEmpty());
    QVERIFY(result->signatures[1].message != QString::fromUtf8("验证通过"));
}

void TestVerifyOfdFile::emptyDescription()
{
    QList<SignatureFileRef> files;
    PackageBuilder b = Unsigned(files, true);
    AddList(b, 1);
    AddSignature(b, 0, files, ProviderKey(), true);
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(b.Build());
    QCOMPARE(result->state, int(VerifyOfdResult::State_Failed));
    QCOMPARE(result->signatures.size(), 1);
    QCOMPARE(result->signatures[0].state, int(VerifySignResult::State_Unreadable));
    QCOMPARE(result->signatures[0].message, QString::fromUtf8("读取文件内容异常"));
}

void TestVerifyOfdFile::providerMissing()
{
    QList<SignatureFileRef> files;
    PackageBuilder b = Unsigned(files, true);
    AddList(b, 1);
    AddSignature(b, 0, files, ProviderKey());
    qputenv("OESV2_HOME", "/nonexistent");
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(b.Build());
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
    QCOMPARE(result->state, int(VerifyOfdResult::State_Failed));
    QCOMPARE(result->signatures[0].state, int(VerifySignResult::State_Refused));
}

void TestVerifyOfdFile::changedAfterSigning_data()
{
    QTest::addColumn<bool>("editDocument");
    QTest::addColumn<bool>("otherSeal");
    QTest::addColumn<QString>("message");
    QTest::newRow("edited document") << true << false
                                     << QString::fromUtf8("文件已被修改：Doc_0/Document.xml");
    QTest::newRow("other seal file") << false << true
                                     << QString::fromUtf8(
                                            "印章文件与签名值中的印章不一致：Doc_0/Signs/Sign_0/Seal.esl");
}

void TestVerifyOfdFile::changedAfterSigning()
{
    // The provider accepts the description and the signed value as they are; what else changed in the
    // package is found before it is asked.
    QFETCH(bool, editDocument);
    QFETCH(bool, otherSeal);
    QFETCH(QString, message);
    QList<SignatureFileRef> files;
    Unsigned(files, true);
    PackageBuilder b =
        Unsigned(files, true,
                 editDocument ? QStringLiteral("<ofd:Document %1><ofd:X/></ofd:Document>").arg(kNs).toUtf8()
                              : QByteArray());
    AddList(b, 1);
    TestSeal::SealOptions other;
    other.sealName = QString::fromUtf8("另一枚章");
    AddSignature(b, 0, files, ProviderKey(), false,
                 otherSeal ? TestSeal::BuildSeal(other, ProviderKey()).data : QByteArray());
    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(b.Build());
    QCOMPARE(result->state, int(VerifyOfdResult::State_Failed));
    QCOMPARE(result->signatures.size(), 1);
    QCOMPARE(result->signatures[0].state, int(VerifySignResult::State_Changed));
    QCOMPARE(result->signatures[0].message, message);
}

QTEST_MAIN(TestVerifyOfdFile)
#include "test_verifyofdfile.moc"
