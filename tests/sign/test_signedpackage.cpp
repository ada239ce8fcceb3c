#include <QPainter>
#include <QtTest>

#include <memory>

#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdpagescene.h"
#include "render/ofdsealsupport.h"
#include "render/ofdviewmanage.h"
#include "render/ofdvisualitemseal.h"
#include "sealfixtures.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdsignaturewriter.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");

// How a test wants its signed package made, and what to break after signing.
struct SignOptions
{
    int type = 2;
    QString pictureType = QStringLiteral("png");
    QByteArray pictureData;
    bool storeSeal = true;        // a Seal.esl beside the description (else only inside the signed value)
    bool dropSealFile = false;    // the description names Seal.esl, the package lacks it
    bool changePage = false;      // a page is changed after signing
    bool changeSignature = false; // the description is changed after signing
    bool badSignature = false;    // the signature value is not the signer's
    QDateTime sealValidStart;     // invalid: the seal options' own period
    QDateTime sealValidEnd;
    QString algorithm; // the signed value's signature algorithm; empty: SM2 with SM3
};

const TestSeal::Sm2TestKey &Key()
{
    static TestSeal::Sm2TestKey key(QStringLiteral("Package Signer"));
    return key;
}

// A two-page document signed with one seal stamped on page 1 (page ID 10) at 20,30 mm, 40x40 mm.
QByteArray SignedPackage(const SignOptions &o)
{
    QList<SignatureFileRef> files;
    files.append(
        {QStringLiteral("OFD.xml"),
         QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>"
                        "<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures></ofd:DocBody></ofd:OFD>")
             .arg(kNs)
             .toUtf8()});
    files.append({QStringLiteral("Doc_0/Document.xml"),
                  QStringLiteral(
                      "<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>0 0 100 100"
                      "</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData><ofd:Pages>"
                      "<ofd:Page ID=\"10\" BaseLoc=\"Pages/Page_0/Content.xml\"/>"
                      "<ofd:Page ID=\"11\" BaseLoc=\"Pages/Page_1/Content.xml\"/></ofd:Pages></ofd:Document>")
                      .arg(kNs)
                      .toUtf8()});
    for (int i = 0; i < 2; ++i)
        files.append({QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
                      QStringLiteral("<ofd:Page %1><ofd:Content/></ofd:Page>").arg(kNs).toUtf8()});

    TestSeal::SealOptions sealOptions;
    sealOptions.type = o.type;
    sealOptions.pictureType = o.pictureType;
    sealOptions.pictureData =
        o.pictureData.isEmpty() ? TestSeal::ImageBytes("PNG", 40, 40, Qt::red) : o.pictureData;
    if (o.sealValidStart.isValid())
        sealOptions.validStart = o.sealValidStart;
    if (o.sealValidEnd.isValid())
        sealOptions.validEnd = o.sealValidEnd;
    const QByteArray seal = TestSeal::BuildSeal(sealOptions, Key()).data;

    const QString location = QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml");
    SignatureXmlInput input;
    input.signatureMethod = QStringLiteral("1.2.156.10197.1.501");
    input.signatureDateTime = QStringLiteral("2026-12-08 10:00:00");
    input.hasSeal = o.storeSeal;
    input.files = files;
    if (o.storeSeal)
        input.files.append({QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"), seal});
    SignatureStampInput stamp;
    stamp.pageRef = 10;
    stamp.boundary = QRectF(20, 30, 40, 40);
    input.stamps = {stamp};
    std::unique_ptr<XmlNode> list(OfdSignatureWriter::CreateSignatureList());
    std::unique_ptr<XmlNode> signatureXml(
        OfdSignatureWriter::CreateSignatureXml(input, location, list.get()));
    QByteArray description = OfdSignatureWriter::ToBytes(signatureXml.get());

    TestSeal::SignedValueOptions valueOptions;
    valueOptions.type = o.type;
    valueOptions.seal = seal;
    valueOptions.dataHash = TestSeal::Sm3(description);
    valueOptions.propertyInfo = location;
    if (!o.algorithm.isEmpty())
        valueOptions.algorithm = o.algorithm;
    if (o.badSignature) {
        TestSeal::Sm2TestKey other(QStringLiteral("Somebody Else"));
        valueOptions.signatureOverride = other.Sign("not the signed bytes", TestSeal::Sm2Digest::WithZa);
    }
    const QByteArray signedValue = TestSeal::BuildSignedValue(valueOptions, Key()).data;

    PackageBuilder b;
    for (const SignatureFileRef &file : files) {
        QByteArray bytes = file.content;
        if (o.changePage && file.path.endsWith(QLatin1String("Page_1/Content.xml")))
            bytes.replace("<ofd:Content/>", "<ofd:Content><ofd:Layer/></ofd:Content>");
        b.Add(file.path, bytes);
    }
    b.Add(QStringLiteral("Doc_0/Signs/Signatures.xml"),
          QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>s2</ofd:MaxSignId><ofd:Signature ID=\"s1\" "
                         "BaseLoc=\"Sign_0/Signature.xml\"/></ofd:Signatures>")
              .arg(kNs)
              .toUtf8());
    if (o.changeSignature)
        description.replace("2026-12-08 10:00:00", "2026-12-09 10:00:00");
    b.Add(location.mid(1), description);
    if (o.storeSeal && !o.dropSealFile)
        b.Add(QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"), seal);
    b.Add(QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat"), signedValue);
    return b.Build();
}

// The package loaded as the reader loads it.
struct Loaded
{
    OfdViewManage view;
    OfdXmlSignatureManage *list = nullptr;
    explicit Loaded(const QByteArray &package)
    {
        auto reader = QSharedPointer<OfdFileReader>::create();
        if (!reader->Open(package) || !view.SetFileReader(reader))
            return;
        list = dynamic_cast<OfdXmlSignatureManage *>(view.GetOfdFile(0)->GetSignatures());
    }
    OfdXmlSignature *First() const { return list && list->GetCount() ? list->GetSignatures()[0] : nullptr; }
};
} // namespace

// Documents signed in the test with both seal standards, checked as the reader checks them when it
// loads them, and their seals drawn on the pages.
class TestSignedPackage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void validSignature_data();
    void validSignature();
    void changedPackageFile();
    void changedDescription();
    void wrongSignature();
    void sealValidityAtSigning_data();
    void sealValidityAtSigning();
    void mislabelledSignatureAlgorithm_data();
    void mislabelledSignatureAlgorithm();
    void missingSealFile();
    void sealOnlyInsideSignedValue();
    void sealDrawnOnItsPage();
    void sealAddedAfterTheSceneWasBuilt();
    void ofdSealPicture();
    void verifyCommand_data();
    void verifyCommand();
    void renderCommandDrawsSeals();

private:
    QTemporaryDir m_config;
};

void TestSignedPackage::initTestCase()
{
    // No trust anchors of the user's own: the verdicts below depend on what the tests list only.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QVERIFY(Key().IsValid());
    OfdConvert::Init(96);
    OfdSealSupport::Install();
}

void TestSignedPackage::validSignature_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("GB/T 38540") << 2;
    QTest::newRow("GM/T 0031") << 1;
}

void TestSignedPackage::validSignature()
{
    QFETCH(int, type);
    SignOptions o;
    o.type = type;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s);
    QVERIFY(s->CheckSm3());
    QVERIFY(s->IsDataHashMatch());
    QVERIFY(s->CheckSignValue());
    QCOMPARE(s->GetSignDataType(), type);
    QVERIFY(s->GetSeal());
    QCOMPARE(s->GetSeal()->GetSealName(), QString::fromUtf8("测试专用章"));
    QVERIFY(OfdVisualItemSeal::IsSignatureValid(s));
    // A self-signed signer nobody listed as a trust anchor is valid but not trusted.
    const QString tip = OfdVisualItemSeal::CreateSealTip(s);
    QVERIFY(tip.contains(QString::fromUtf8("签章有效，证书未受信任")));
    QVERIFY(!tip.contains(QString::fromUtf8("验证成功")));
    QVERIFY(tip.contains(OfdXmlSignature::GetSignDataTypeDes(type)));
}

void TestSignedPackage::changedPackageFile()
{
    SignOptions o;
    o.changePage = true;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(!s->CheckSm3());
    QCOMPARE(s->GetFailedReferences(), QStringList(QStringLiteral("Doc_0/Pages/Page_1/Content.xml")));
    QVERIFY(s->IsDataHashMatch()); // the description and its signature are untouched
    QVERIFY(s->CheckSignValue());
    const QString tip = OfdVisualItemSeal::CreateSealTip(s);
    QVERIFY(tip.contains(QString::fromUtf8("验证失败")));
    QVERIFY(tip.contains(QStringLiteral("Doc_0/Pages/Page_1/Content.xml")));
}

void TestSignedPackage::changedDescription()
{
    SignOptions o;
    o.changeSignature = true;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s->CheckSm3()); // the files are as they were
    QVERIFY(!s->IsDataHashMatch());
    QVERIFY(!s->CheckSignValue());
    QVERIFY(OfdVisualItemSeal::CreateSealTip(s).contains(QString::fromUtf8("签名值与签名描述文件不符")));
}

void TestSignedPackage::wrongSignature()
{
    SignOptions o;
    o.badSignature = true;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s->CheckSm3());
    QVERIFY(s->IsDataHashMatch());
    QVERIFY(!s->CheckSignValue());
    QVERIFY(!OfdVisualItemSeal::IsSignatureValid(s));
    QVERIFY(OfdVisualItemSeal::CreateSealTip(s).contains(QString::fromUtf8("SM2 签名验证未通过")));
}

void TestSignedPackage::sealValidityAtSigning_data()
{
    // The signed value says it was made at 2024-03-01 08:30:15 UTC.
    const QDateTime signTime(QDate(2024, 3, 1), QTime(8, 30, 15), Qt::UTC);
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<int>("level");
    QTest::newRow("in force") << signTime.addYears(-1) << signTime.addYears(1)
                              << int(OfdSignatureVerdict::Level_Untrusted);
    QTest::newRow("expired") << signTime.addYears(-3) << signTime.addDays(-2)
                             << int(OfdSignatureVerdict::Level_Failed);
    QTest::newRow("not yet in force")
        << signTime.addDays(1) << signTime.addYears(1) << int(OfdSignatureVerdict::Level_Failed);
    // Clocks of two systems: a seal made minutes after the signing time by the maker's clock.
    QTest::newRow("made minutes later")
        << signTime.addSecs(600) << signTime.addYears(1) << int(OfdSignatureVerdict::Level_Untrusted);
}

void TestSignedPackage::sealValidityAtSigning()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QFETCH(int, level);
    for (int type : {1, 2}) {
        SignOptions o;
        o.type = type;
        o.sealValidStart = from;
        o.sealValidEnd = to;
        Loaded l(SignedPackage(o));
        OfdXmlSignature *s = l.First();
        QVERIFY(s);
        QVERIFY(s->CheckSignValue()); // the signature itself holds either way
        const OfdSignatureVerdict &verdict = s->GetVerdict();
        QCOMPARE(verdict.GetLevel(), level);
        if (level == OfdSignatureVerdict::Level_Failed)
            QVERIFY2(verdict.GetReason().contains(QString::fromUtf8("印章不在有效期内")),
                     qPrintable(verdict.GetReason()));
    }
}

void TestSignedPackage::mislabelledSignatureAlgorithm_data()
{
    QTest::addColumn<bool>("badSignature");
    QTest::addColumn<int>("level");
    // An SM2 signature that verifies is one, whatever identifier names it.
    QTest::newRow("SM2 signature under another identifier")
        << false << int(OfdSignatureVerdict::Level_Untrusted);
    // One that does not verify may be of an algorithm we do not know: that is not tampering.
    QTest::newRow("unknown signature under another identifier")
        << true << int(OfdSignatureVerdict::Level_Unknown);
}

void TestSignedPackage::mislabelledSignatureAlgorithm()
{
    QFETCH(bool, badSignature);
    QFETCH(int, level);
    SignOptions o;
    o.algorithm = QStringLiteral("1.2.156.10197.6.1.4.2.2");
    o.badSignature = badSignature;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s);
    const OfdSignatureVerdict &verdict = s->GetVerdict();
    QCOMPARE(verdict.GetLevel(), level);
    QVERIFY2(verdict.GetReason().contains(QStringLiteral("1.2.156.10197.6.1.4.2.2")) ||
                 level == OfdSignatureVerdict::Level_Untrusted,
             qPrintable(verdict.GetReason()));
}

void TestSignedPackage::missingSealFile()
{
    SignOptions o;
    o.dropSealFile = true;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(!s->GetSeal());  // the named seal file is not there
    QVERIFY(!s->CheckSm3()); // and it was referenced
    QVERIFY(s->GetFailedReferences().contains(QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl")));
    QVERIFY(s->CheckSignValue()); // the signed value itself is sound
}

void TestSignedPackage::sealOnlyInsideSignedValue()
{
    SignOptions o;
    o.storeSeal = false;
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s->GetSealPath().isEmpty());
    QVERIFY(s->GetSeal()); // taken from the signed value
    QVERIFY(OfdVisualItemSeal::IsSignatureValid(s));
}

void TestSignedPackage::sealDrawnOnItsPage()
{
    Loaded l(SignedPackage(SignOptions()));
    QVERIFY(l.list);
    OfdPageScene first;
    first.SetViewManage(&l.view);
    first.SetPageIndex(0, 0);
    first.CreateScene();
    QCOMPARE(first.GetSealItems().size(), 1);
    OfdPageScene second;
    second.SetViewManage(&l.view);
    second.SetPageIndex(0, 1);
    second.CreateScene();
    QCOMPARE(second.GetSealItems().size(), 0);
    // The red picture fills 20..60 mm of page 1; at 25.4 dpi a pixel is a millimetre.
    const QImage page = OfdPageRenderer::RenderPage(&l.view, 0, 0, 25.4);
    QCOMPARE(page.pixelColor(40, 50), QColor(Qt::red));
    QCOMPARE(page.pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(page.pixelColor(70, 50), QColor(Qt::white));
}

void TestSignedPackage::sealAddedAfterTheSceneWasBuilt()
{
    Loaded l(SignedPackage(SignOptions()));
    QVERIFY(l.First());
    OfdPageScene second;
    second.SetViewManage(&l.view);
    second.SetPageIndex(0, 1);
    second.CreateScene();
    QVERIFY(second.GetSealItems().isEmpty());
    QCOMPARE(second.AddSignature(l.First()), 0); // it stamps page 1 only
    second.ShowVerifySeal(true);
    // A stamp of the signature placed on this page afterwards goes onto the scene, marked like the rest.
    OfdSignatureStampAnnot stamp;
    stamp.pageRef = QStringLiteral("11");
    stamp.boundary = QStringLiteral("10 10 30 30");
    OfdVisualItemSeal *item = second.AddSignatureSeal(l.First(), stamp);
    QVERIFY(item);
    QCOMPARE(item->scene(), &second);
    QVERIFY(item->IsVerifyMarkShown());
    QCOMPARE(second.GetSealItems().size(), 1);
    second.ShowVerifySeal(false);
    QVERIFY(!item->IsVerifyMarkShown());
    QImage image(second.sceneRect().size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    second.render(&painter, QRectF(QPointF(0, 0), image.size()), second.sceneRect());
    painter.end();
    // 96 dpi: the seal spans 10..40 mm, so its middle (25 mm) is at about 94 px.
    QCOMPARE(image.pixelColor(94, 94), QColor(Qt::red));
    QCOMPARE(image.pixelColor(200, 200), QColor(Qt::white));
}

void TestSignedPackage::ofdSealPicture()
{
    // A seal whose picture is itself a one-page package with a blue square on white.
    PackageBuilder picture;
    picture.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral("<ofd:OFD %1><ofd:DocBody><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody>"
                       "</ofd:OFD>")
            .arg(kNs));
    picture.AddText(
        QStringLiteral("Doc_0/Document.xml"),
        QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:PageArea><ofd:PhysicalBox>0 0 20 20"
                       "</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" "
                       "BaseLoc=\"P.xml\"/></ofd:Pages></ofd:Document>")
            .arg(kNs));
    picture.AddText(
        QStringLiteral("Doc_0/P.xml"),
        QStringLiteral(
            "<ofd:Page %1><ofd:Content><ofd:Layer><ofd:PathObject ID=\"2\" Boundary=\"5 5 10 10\" "
            "Fill=\"true\" Stroke=\"false\"><ofd:FillColor Value=\"0 0 255\"/><ofd:AbbreviatedData>"
            "M 0 0 L 10 0 L 10 10 L 0 10 C</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer>"
            "</ofd:Content></ofd:Page>")
            .arg(kNs));
    SignOptions o;
    o.pictureType = QStringLiteral("ofd");
    o.pictureData = picture.Build();
    Loaded l(SignedPackage(o));
    OfdXmlSignature *s = l.First();
    QVERIFY(s && s->GetSeal() && s->GetSeal()->GetSealPicture());
    const QImage image = s->GetSeal()->GetSealPicture()->GetImage();
    QVERIFY(!image.isNull());
    // Rendered at zoom 5: the square's middle is blue, the white ground transparent.
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(2, 2).alpha(), 0);
    QVERIFY(image.width() > 300);
}

void TestSignedPackage::verifyCommand_data()
{
    QTest::addColumn<int>("change"); // 0 none, 1 a page, 2 the description, 3 the signature value
    QTest::addColumn<bool>("trust"); // the signer's certificate listed with --trust
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("failedCheck");
    QTest::newRow("sound, untrusted") << 0 << false << 0 << 1 << "";
    QTest::newRow("sound, trusted") << 0 << true << 0 << 0 << "";
    QTest::newRow("changed page") << 1 << true << 1 << 2 << QString::fromUtf8("引用文件");
    QTest::newRow("changed description") << 2 << true << 1 << 2 << QString::fromUtf8("数据摘要");
    QTest::newRow("wrong signature") << 3 << true << 1 << 2 << QString::fromUtf8("签名值");
}

void TestSignedPackage::verifyCommand()
{
    QFETCH(int, change);
    QFETCH(bool, trust);
    QFETCH(int, exitCode);
    QFETCH(int, level);
    QFETCH(QString, failedCheck);
    SignOptions o;
    o.changePage = change == 1;
    o.changeSignature = change == 2;
    o.badSignature = change == 3;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signed.ofd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SignedPackage(o));
    file.close();

    QStringList args = {QStringLiteral("verify"), path, QStringLiteral("--json")};
    if (trust) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("trust"))));
        QFile anchor(dir.filePath(QStringLiteral("trust/signer.cer")));
        QVERIFY(anchor.open(QIODevice::WriteOnly));
        anchor.write(Key().Certificate());
        anchor.close();
        args << QStringLiteral("--trust") << dir.filePath(QStringLiteral("trust"));
    }
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(OFDTOOL_PATH), args);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), exitCode);
    const QJsonObject root = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    QCOMPARE(root.value(QLatin1String("passed")).toBool(), exitCode == 0);
    const QJsonObject first = root.value(QLatin1String("signatures")).toArray().at(0).toObject();
    QCOMPARE(first.value(QLatin1String("sealName")).toString(), QString::fromUtf8("测试专用章"));
    QCOMPARE(first.value(QLatin1String("signer")).toString(), QStringLiteral("Package Signer"));
    QCOMPARE(first.value(QLatin1String("standard")).toString(), QStringLiteral("GB/T 38540-2020"));
    QCOMPARE(first.value(QLatin1String("level")).toInt(), level);
    const QStringList verdicts = {QString::fromUtf8("验证成功"), QString::fromUtf8("签章有效，证书未受信任"),
                                  QString::fromUtf8("验证失败")};
    QCOMPARE(first.value(QLatin1String("verdict")).toString(), verdicts.value(level));
    QStringList failed;
    for (const QJsonValue &check : first.value(QLatin1String("checks")).toArray()) {
        if (check.toObject().value(QLatin1String("state")).toString() == QLatin1String("failed"))
            failed << check.toObject().value(QLatin1String("name")).toString();
    }
    QCOMPARE(failed, failedCheck.isEmpty() ? QStringList() : QStringList(failedCheck));
    if (change == 1)
        QCOMPARE(first.value(QLatin1String("changedFiles")).toArray().at(0).toString(),
                 QStringLiteral("Doc_0/Pages/Page_1/Content.xml"));

    tool.start(QStringLiteral(OFDTOOL_PATH),
               {QStringLiteral("verify"), dir.filePath(QStringLiteral("none.ofd"))});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 2);
}

void TestSignedPackage::renderCommandDrawsSeals()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signed.ofd"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SignedPackage(SignOptions()));
    file.close();
    const QString out = dir.filePath(QStringLiteral("page.png"));
    QProcess tool;
    tool.start(QStringLiteral(OFDTOOL_PATH),
               {QStringLiteral("render"), path, QStringLiteral("-o"), out, QStringLiteral("--page"),
                QStringLiteral("1"), QStringLiteral("--dpi"), QStringLiteral("25.4")});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QImage page(out);
    QVERIFY(!page.isNull());
    // The red seal fills 20..60 mm of page 1; a pixel is a millimetre.
    QCOMPARE(page.pixelColor(40, 50), QColor(Qt::red));
    QCOMPARE(page.pixelColor(70, 50), QColor(Qt::white));
}

QTEST_MAIN(TestSignedPackage)
#include "test_signedpackage.moc"
