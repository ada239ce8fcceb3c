#include <QtTest>

#include <memory>

#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "packagebuilder.h"
#include "sign/ofdsignaturewriter.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sm3.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

QString SignatureXml(const QString &references, const QString &stamps,
                     const QString &method = "1.2.156.10197.1.401")
{
    return QStringLiteral("<ofd:Signature %1><ofd:SignedInfo><ofd:Provider ProviderName=\"p\" Company=\"c\" "
                          "Version=\"1\"/><ofd:SignatureMethod>1.2.156.10197.1.501</ofd:SignatureMethod>"
                          "<ofd:SignatureDateTime>20240102030405Z</ofd:SignatureDateTime>"
                          "<ofd:References CheckMethod=\"%2\">%3</ofd:References>%4"
                          "<ofd:Seal><ofd:BaseLoc>Seal.esl</ofd:BaseLoc></ofd:Seal></ofd:SignedInfo>"
                          "<ofd:SignedValue>SignedValue.dat</ofd:SignedValue></ofd:Signature>")
        .arg(kNs, method, references, stamps);
}

QString Reference(const QString &file, const QByteArray &bytes)
{
    return QStringLiteral("<ofd:Reference FileRef=\"%1\"><ofd:CheckValue>%2</ofd:CheckValue></ofd:Reference>")
        .arg(file, sm3_digest_base64(bytes));
}

QString Stamp(const QString &page, const QString &id)
{
    return QStringLiteral("<ofd:StampAnnot ID=\"%1\" PageRef=\"%2\" Boundary=\"10 20 40 40\"/>")
        .arg(id, page);
}

// A package with two signatures over two files, without real seals.
PackageBuilder SignedPackage(const QByteArray &content, const QByteArray &signedContent)
{
    PackageBuilder b;
    b.Add(QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), content);
    b.Add(QStringLiteral("Doc_0/Document.xml"), "<ofd:Document/>");
    b.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
              QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>s3</ofd:MaxSignId>"
                             "<ofd:Signature ID=\"s1\" BaseLoc=\"Sign_0/Signature.xml\"/>"
                             "<ofd:Signature ID=\"s2\" BaseLoc=\"/Doc_0/Signs/Sign_1/Signature.xml\"/>"
                             "</ofd:Signatures>")
                  .arg(kNs));
    b.AddText(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"),
              SignatureXml(Reference(QStringLiteral("/Doc_0/Pages/Page_0/Content.xml"), signedContent) +
                               Reference(QStringLiteral("/Doc_0/Document.xml"), "<ofd:Document/>"),
                           Stamp(QStringLiteral("5"), QStringLiteral("s3")) +
                               Stamp(QStringLiteral("5"), QStringLiteral("s4"))));
    b.AddText(QStringLiteral("Doc_0/Signs/Sign_1/Signature.xml"),
              SignatureXml(Reference(QStringLiteral("/Doc_0/Document.xml"), "<ofd:Document/>") +
                               Reference(QStringLiteral("/Doc_0/Missing.xml"), "x"),
                           Stamp(QStringLiteral("6"), QStringLiteral("s5"))));
    return b;
}
} // namespace

// Reading signature lists and descriptions, the reference check, and the writing rules.
class TestSignatureList : public QObject
{
    Q_OBJECT
private slots:
    void readsListAndDescriptions();
    void referenceCheck();
    void changedFileFailsOnlyItsReference();
    void checkMethods_data();
    void checkMethods();
    void stampsByPage();
    void missingListAndDescription();
    void nextSignId_data();
    void nextSignId();
    void entryLocations_data();
    void entryLocations();
    void linkSignatureList();
    void newSignatureXml();
    void signDataTypeTexts();
    void boundedWork();
};

void TestSignatureList::readsListAndDescriptions()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(SignedPackage("page", "page").Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QVERIFY(list.Init());
    QCOMPARE(list.GetCount(), 2);
    QCOMPARE(list.GetDataSignatures()[0]->id, QStringLiteral("s1"));
    QCOMPARE(list.GetDataSignatures()[0]->baseLoc, QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"));
    QCOMPARE(list.GetDataSignatures()[1]->baseLoc, QStringLiteral("Doc_0/Signs/Sign_1/Signature.xml"));
    OfdXmlSignature *first = list.GetSignatures()[0];
    QCOMPARE(first->GetSignatureMethod(), QStringLiteral("1.2.156.10197.1.501"));
    QCOMPARE(first->GetSignatureDateTime(), QStringLiteral("20240102030405Z"));
    QCOMPARE(first->GetSealPath(), QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"));
    QCOMPARE(first->GetSignedValuePath(), QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat"));
    QVERIFY(first->GetProvider());
    QCOMPARE(first->GetProvider()->providerName, QStringLiteral("p"));
    QCOMPARE(first->GetReferences().references.size(), 2);
    QCOMPARE(first->GetReferences().references[0].fileRef, QStringLiteral("Doc_0/Pages/Page_0/Content.xml"));
    // No seal or signed value files in this package: nothing decoded, and the value check fails.
    QVERIFY(!first->GetSeal() || !first->GetSealData().isEmpty());
    QVERIFY(!first->CheckSignValue());
    QCOMPARE(first->GetSignDataType(), 0);
}

void TestSignatureList::referenceCheck()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(SignedPackage("page", "page").Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QVERIFY(list.Init());
    OfdXmlSignature *first = list.GetSignatures()[0];
    OfdXmlSignature *second = list.GetSignatures()[1];
    QVERIFY(first->CheckSm3());
    QVERIFY(!second->CheckSm3());
    QCOMPARE(second->GetReferences().references[0].state, int(OfdSignatureReference::State_Match));
    QCOMPARE(second->GetReferences().references[1].state, int(OfdSignatureReference::State_Missing));
    QCOMPARE(second->GetFailedReferences(), QStringList(QStringLiteral("Doc_0/Missing.xml")));
    QVERIFY(!list.CheckSm3()); // one failure fails the list, and both were checked
    QCOMPARE(first->GetReferences().references[1].computedValue, sm3_digest_base64("<ofd:Document/>"));
}

void TestSignatureList::changedFileFailsOnlyItsReference()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(SignedPackage("page changed", "page").Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QVERIFY(list.Init());
    OfdXmlSignature *first = list.GetSignatures()[0];
    QVERIFY(!first->CheckSm3());
    QCOMPARE(first->GetReferences().references[0].state, int(OfdSignatureReference::State_Differs));
    QCOMPARE(first->GetReferences().references[1].state, int(OfdSignatureReference::State_Match));
    QCOMPARE(first->GetFailedReferences(), QStringList(QStringLiteral("Doc_0/Pages/Page_0/Content.xml")));
}

void TestSignatureList::checkMethods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("checked");
    QTest::newRow("oid") << "1.2.156.10197.1.401" << true;
    QTest::newRow("SM3") << "SM3" << true;
    QTest::newRow("sm3") << "sm3" << true;
    QTest::newRow("sha256") << "2.16.840.1.101.3.4.2.1" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSignatureList::checkMethods()
{
    QFETCH(QString, method);
    QFETCH(bool, checked);
    OfdXmlSignature signature;
    signature.ParseXml(SignatureXml(QString(), QString(), method).toUtf8());
    QCOMPARE(signature.GetReferences().IsSm3(), checked);
    // Without references an SM3 signature passes; any other method fails.
    QCOMPARE(signature.CheckSm3(), checked);
}

void TestSignatureList::stampsByPage()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(SignedPackage("page", "page").Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QVERIFY(list.Init());
    QList<OfdXmlSignature *> onPage;
    list.GetStampAnnot(QStringLiteral("5"), onPage);
    QCOMPARE(onPage.size(), 1); // one signature, though with two stamps there
    QList<const OfdSignatureStampAnnot *> stamps;
    QCOMPARE(onPage[0]->GetStampAnnot(QStringLiteral("5"), stamps), 2);
    QCOMPARE(stamps[1]->id, QStringLiteral("s4"));
    QCOMPARE(stamps[0]->boundary, QStringLiteral("10 20 40 40"));
    onPage.clear();
    list.GetStampAnnot(QStringLiteral("6"), onPage);
    QCOMPARE(onPage, QList<OfdXmlSignature *>{list.GetSignatures()[1]});
    onPage.clear();
    list.GetStampAnnot(QStringLiteral("05"), onPage); // exact text comparison
    QVERIFY(onPage.isEmpty());
}

void TestSignatureList::missingListAndDescription()
{
    OfdFileReader reader;
    PackageBuilder b = SignedPackage("page", "page");
    QVERIFY(reader.Open(b.Build()));
    OfdXmlSignatureManage none;
    none.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Nowhere.xml"));
    QVERIFY(!none.Init());
    QCOMPARE(none.GetCount(), 0);
    QVERIFY(none.CheckSm3());
    QVERIFY(none.CheckSignValue());

    OfdFileReader emptyDescription;
    QVERIFY(emptyDescription.Open(
        PackageBuilder()
            .AddText(QStringLiteral("S/Signatures.xml"),
                     QStringLiteral("<ofd:Signatures %1><ofd:Signature ID=\"1\" BaseLoc=\"x/Signature.xml\"/>"
                                    "</ofd:Signatures>")
                         .arg(kNs))
            .Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&emptyDescription, QStringLiteral("S/Signatures.xml"));
    QVERIFY(list.Init());
    QCOMPARE(list.GetCount(), 1);
    QVERIFY(!list.GetSignatures()[0]->CheckSm3());
    QVERIFY(!list.GetSignatures()[0]->CheckSignValue());
}

void TestSignatureList::nextSignId_data()
{
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("next");
    QTest::newRow("s001") << "s001"
                          << "s2";
    QTest::newRow("s9") << "s9"
                        << "s10";
    QTest::newRow("x") << "x"
                       << "s1";
    QTest::newRow("not a number") << "sxy"
                                  << "s1";
}

void TestSignatureList::nextSignId()
{
    QFETCH(QString, max);
    QFETCH(QString, next);
    std::unique_ptr<XmlNode> list(OfdSignatureWriter::CreateSignatureList());
    list->GetOneChildByName(QStringLiteral("MaxSignId"))->SetText(max);
    QCOMPARE(OfdSignatureWriter::NextSignId(list.get()), next);
    QCOMPARE(list->GetOneChildByName(QStringLiteral("MaxSignId"))->GetText(), next);

    std::unique_ptr<XmlNode> bare(XmlNode::FromData("<ofd:Signatures/>"));
    QCOMPARE(OfdSignatureWriter::NextSignId(bare.get()), QStringLiteral("s1"));
    QVERIFY(bare->GetOneChildByName(QStringLiteral("MaxSignId")));
}

void TestSignatureList::entryLocations_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("location");
    QTest::newRow("empty") << QStringList() << "/Doc_0/Signs/Sign_0/Signature.xml";
    QTest::newRow("two") << QStringList({"Sign_0/Signature.xml", "Sign_1/Signature.xml"})
                         << "/Doc_0/Signs/Sign_2/Signature.xml";
    QTest::newRow("gap") << QStringList({"Sign_2/Signature.xml"}) << "/Doc_0/Signs/Sign_1/Signature.xml";
    QTest::newRow("absolute taken") << QStringList({"/Doc_0/Signs/Sign_1/Signature.xml"})
                                    << "/Doc_0/Signs/Sign_2/Signature.xml";
}

void TestSignatureList::entryLocations()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, location);
    std::unique_ptr<XmlNode> list(OfdSignatureWriter::CreateSignatureList());
    for (const QString &loc : existing)
        list->AddChildByName(QStringLiteral("Signature"), true)->AddAttr(QStringLiteral("BaseLoc"), loc);
    QString got;
    QVERIFY(
        OfdSignatureWriter::AddSignatureEntry(list.get(), QStringLiteral("Doc_0/Signs/Signatures.xml"), got));
    QCOMPARE(got, location);
    XmlNode *entry = list->GetChild(list->GetChildCount() - 1);
    QCOMPARE(entry->GetAttrs()[0].name, QStringLiteral("BaseLoc"));
    QCOMPARE(entry->GetAttr(QStringLiteral("Type")), QStringLiteral("Seal"));
    QCOMPARE(entry->GetAttr(QStringLiteral("ID")), QStringLiteral("s2"));
}

void TestSignatureList::linkSignatureList()
{
    std::unique_ptr<XmlNode> root(XmlNode::FromData(
        "<ofd:OFD xmlns:ofd='http://www.ofdspec.org/2016'><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml"
        "</ofd:DocRoot></ofd:DocBody></ofd:OFD>"));
    QString path;
    QVERIFY(OfdSignatureWriter::LinkSignatureList(root.get(), path));
    QCOMPARE(path, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QCOMPARE(root->GetNodeByName(QStringLiteral("Signatures"))->GetText(),
             QStringLiteral("/Doc_0/Signs/Signatures.xml"));
    // A second time finds it and changes nothing.
    QVERIFY(!OfdSignatureWriter::LinkSignatureList(root.get(), path));
    QCOMPARE(path, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    // The serialised entry file reads back.
    std::unique_ptr<XmlNode> back(XmlNode::FromData(OfdSignatureWriter::ToBytes(root.get())));
    QVERIFY(back->GetNodeByName(QStringLiteral("Signatures")));
}

void TestSignatureList::newSignatureXml()
{
    std::unique_ptr<XmlNode> list(OfdSignatureWriter::CreateSignatureList());
    QString location;
    QVERIFY(OfdSignatureWriter::AddSignatureEntry(list.get(), QStringLiteral("Doc_0/Signs/Signatures.xml"),
                                                  location));
    SignatureXmlInput input;
    input.signatureMethod = QStringLiteral("1.2.156.10197.1.501");
    input.signatureDateTime = QStringLiteral("2026-12-08 10:00:00");
    input.hasSeal = true;
    input.files = {{QStringLiteral("Doc_0/Document.xml"), "doc"},
                   {QStringLiteral("Doc_0/empty"), QByteArray()}};
    SignatureStampInput stamp;
    stamp.pageRef = 7;
    stamp.boundary = QRectF(10.5, 20, 40, 40.123456789);
    stamp.hasClip = true;
    stamp.clip = QRectF(0, 0, 20, 40);
    input.stamps = {stamp};
    std::unique_ptr<XmlNode> xml(OfdSignatureWriter::CreateSignatureXml(input, location, list.get()));
    const QByteArray bytes = OfdSignatureWriter::ToBytes(xml.get());

    // What was written reads back through the reader of signature descriptions.
    OfdXmlSignature signature;
    signature.SetOfdFilePath(location.mid(1));
    signature.ParseXml(bytes);
    QCOMPARE(signature.GetSignatureMethod(), input.signatureMethod);
    QCOMPARE(signature.GetSealPath(), QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"));
    QCOMPARE(signature.GetSignedValuePath(), QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat"));
    QCOMPARE(signature.GetProvider()->company, QStringLiteral("company"));
    QCOMPARE(signature.GetProvider()->version, QStringLiteral("2.0"));
    QCOMPARE(signature.GetReferences().references.size(), 1);
    QCOMPARE(signature.GetReferences().references[0].checkValue, sm3_digest_base64("doc"));
    QCOMPARE(signature.GetStampAnnots().size(), 1);
    QCOMPARE(signature.GetStampAnnots()[0].pageRef, QStringLiteral("7"));
    QCOMPARE(signature.GetStampAnnots()[0].id, QStringLiteral("s3")); // after the entry's s2
    QCOMPARE(signature.GetStampAnnots()[0].boundary, QStringLiteral("10.5 20 40 40.1235"));
    QCOMPARE(signature.GetStampAnnots()[0].clip, QStringLiteral("0 0 20 40"));
    QVERIFY(bytes.contains("xmlns:ofd=\"http://www.ofdspec.org/2016\""));
}

void TestSignatureList::signDataTypeTexts()
{
    QCOMPARE(OfdXmlSignature::GetSignDataTypeDes(1), QStringLiteral("GM/T 0031-2014"));
    QCOMPARE(OfdXmlSignature::GetSignDataTypeDes(2), QStringLiteral("GB/T 38540-2020"));
    QCOMPARE(OfdXmlSignature::GetSignDataTypeDes(0), QString::fromUtf8("未知的签章标准"));
}

void TestSignatureList::boundedWork()
{
    // A list with more entries than are read, and a description with more references than are
    // checked: loading stops at the caps, and an unchecked reference list never passes.
    PackageBuilder b;
    b.Add(QStringLiteral("Doc_0/Document.xml"), "<ofd:Document/>");
    QString entries;
    for (int i = 0; i < OfdXmlSignatureManage::kMaxSignatures + 20; ++i)
        entries += QStringLiteral("<ofd:Signature ID=\"s%1\" BaseLoc=\"Sign_%2/Signature.xml\"/>")
                       .arg(i)
                       .arg(i ? 1 : 0);
    b.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
              QStringLiteral("<ofd:Signatures %1>%2</ofd:Signatures>").arg(kNs, entries));
    const QString reference = Reference(QStringLiteral("/Doc_0/Document.xml"), "<ofd:Document/>");
    QString references;
    for (int i = 0; i <= OfdSignatureReferenceManage::kMaxReferences; ++i)
        references += reference;
    b.AddText(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"), SignatureXml(references, QString()));
    b.AddText(QStringLiteral("Doc_0/Signs/Sign_1/Signature.xml"), SignatureXml(reference, QString()));
    OfdFileReader reader;
    QVERIFY(reader.Open(b.Build()));
    OfdXmlSignatureManage list;
    list.SetSignatures(&reader, QStringLiteral("Doc_0/Signs/Signatures.xml"));
    QVERIFY(list.Init());
    QCOMPARE(list.GetCount(), OfdXmlSignatureManage::kMaxSignatures);
    OfdXmlSignature *first = list.GetSignatures()[0];
    QVERIFY(first->GetReferences().truncated);
    QCOMPARE(first->GetReferences().references.size(), OfdSignatureReferenceManage::kMaxReferences);
    QVERIFY(!first->CheckSm3());
    QVERIFY(first->GetFailedReferences().isEmpty()); // nothing was found changed: it was not all checked
    QVERIFY(list.GetSignatures()[1]->CheckSm3());
}

QTEST_GUILESS_MAIN(TestSignatureList)
#include "test_signaturelist.moc"
