#include <QtTest>

#include <memory>

#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "model/document/ofdfile.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "packagebuilder.h"
#include "render/ofdpagerenderer.h"
#include "render/ofdsealsupport.h"
#include "render/ofdviewmanage.h"
#include "sealfixtures.h"
#include "sign/ans1reader.h"
#include "sign/oesv2helper.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdxmlsignature.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sealsigninfo.h"
#include "sign/signofdfile.h"
#include "sign/signofdfilemanage.h"
#include "sign/verifyofdfile.h"

namespace {
const QString kNs = QStringLiteral("xmlns:ofd=\"http://www.ofdspec.org/2016\"");
const double kDpi = 96;

// A document of n A4 pages (IDs 10, 11, ...); page 2, when there is one, is landscape (own box).
// A blue bar near the top of every page gives each page content worth protecting.
PackageBuilder Document(int pages, bool withSignatureList = false)
{
    PackageBuilder b;
    b.AddText(
        QStringLiteral("OFD.xml"),
        QStringLiteral(
            "<ofd:OFD %1 Version=\"1.0\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>x</ofd:DocID>"
            "</ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot>%2</ofd:DocBody></ofd:OFD>")
            .arg(kNs, withSignatureList
                          ? QStringLiteral("<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures>")
                          : QString()));
    QString list;
    for (int i = 0; i < pages; ++i) {
        list +=
            QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>").arg(10 + i).arg(i);
        const QString area = i == 2
                                 ? QStringLiteral("<ofd:Area><ofd:PhysicalBox>0 0 297 210</ofd:PhysicalBox>"
                                                  "</ofd:Area>")
                                 : QString();
        b.AddText(
            QStringLiteral("Doc_0/Pages/Page_%1/Content.xml").arg(i),
            QStringLiteral("<ofd:Page %1>%2<ofd:Content><ofd:Layer ID=\"2\"><ofd:PathObject ID=\"3\" "
                           "Boundary=\"100 5 10 5\" Fill=\"true\" Stroke=\"false\"><ofd:FillColor "
                           "Value=\"0 0 255\"/><ofd:AbbreviatedData>M 0 0 L 10 0 L 10 5 L 0 5 C"
                           "</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer></ofd:Content></ofd:Page>")
                .arg(kNs, area));
    }
    b.AddText(QStringLiteral("Doc_0/Document.xml"),
              QStringLiteral("<ofd:Document %1><ofd:CommonData><ofd:MaxUnitID>3</ofd:MaxUnitID><ofd:PageArea>"
                             "<ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData>"
                             "<ofd:Pages>%2</ofd:Pages></ofd:Document>")
                  .arg(kNs, list));
    if (withSignatureList)
        b.AddText(QStringLiteral("Doc_0/Signs/Signatures.xml"),
                  QStringLiteral("<ofd:Signatures %1><ofd:MaxSignId>s007</ofd:MaxSignId></ofd:Signatures>")
                      .arg(kNs));
    return b;
}

QSharedPointer<OfdFileReader> Reader(const QByteArray &bytes)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    return reader->Open(bytes) ? reader : QSharedPointer<OfdFileReader>();
}

// A placement of a seal, the rectangle given in millimetres.
QSharedPointer<SealSignInfo> Place(const QSharedPointer<OES_SealInfoEx> &seal, int page, const QRectF &mm,
                                   int type = EN_SealSignType_Normal)
{
    auto info = QSharedPointer<SealSignInfo>::create(seal, type);
    info->SetPageIndex(page);
    info->SetRect(QRectF(OfdConvert::OfdMMToPixel(mm.x()), OfdConvert::OfdMMToPixel(mm.y()),
                         OfdConvert::OfdMMToPixel(mm.width()), OfdConvert::OfdMMToPixel(mm.height())));
    return info;
}

QRectF ParseRect(const QString &text)
{
    const QStringList p = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return p.size() == 4 ? QRectF(p[0].toDouble(), p[1].toDouble(), p[2].toDouble(), p[3].toDouble())
                         : QRectF();
}

bool Near(const QRectF &a, const QRectF &b, double tolerance = 0.01)
{
    return qAbs(a.x() - b.x()) < tolerance && qAbs(a.y() - b.y()) < tolerance &&
           qAbs(a.width() - b.width()) < tolerance && qAbs(a.height() - b.height()) < tolerance;
}

// The signed package loaded as the reader loads it.
struct Loaded
{
    OfdViewManage view;
    OfdXmlSignatureManage *list = nullptr;
    explicit Loaded(const QByteArray &package)
    {
        auto reader = Reader(package);
        if (!reader || !view.SetFileReader(reader) || !view.GetOfdFile(0))
            return;
        list = dynamic_cast<OfdXmlSignatureManage *>(view.GetOfdFile(0)->GetSignatures());
    }
    int Count() const { return list ? list->GetCount() : 0; }
    OfdXmlSignature *At(int i) const { return list->GetSignatures()[i]; }
    // Every one of the expected signatures is there and passes the three built-in checks.
    bool AllChecksPass(int expected) const
    {
        if (Count() != expected)
            return false;
        for (OfdXmlSignature *s : list->GetSignatures()) {
            if (!s->CheckSm3() || !s->IsDataHashMatch() || !s->CheckSignValue())
                return false;
        }
        return true;
    }
    // Every one of the expected signatures gets one of the two verdicts of an intact signature.
    bool AllIntact(int expected) const
    {
        if (Count() != expected)
            return false;
        for (OfdXmlSignature *s : list->GetSignatures()) {
            if (!s->GetVerdict().IsIntact())
                return false;
        }
        return true;
    }
};

// Offset in a signed value of the unused-bits count before its signature; -1 when it cannot be read.
int SignatureUnusedBitsOffset(const QByteArray &signedValue)
{
    OfdSignedValue value;
    value.ParseData(signedValue);
    Ans1Reader reader;
    reader.OpenData(signedValue);
    const Ans1BerNodeReader *bits =
        reader.GetNode(value.GetType() == 2 ? QStringLiteral("0.0*1.3") : QStringLiteral("0.0*1.1"));
    return value.GetType() != 0 && bits ? bits->GetContentOffset() : -1;
}

bool IsSealRed(QRgb p)
{
    return qAlpha(p) > 0 && qRed(p) > 150 && qGreen(p) < 120 && qBlue(p) < 120;
}

// Seal-red pixels of a rendered page inside a rectangle in millimetres.
int RedPixels(const QImage &image, const QRectF &mm)
{
    const QRect r = QRectF(OfdConvert::OfdMMToPixel(mm.x()), OfdConvert::OfdMMToPixel(mm.y()),
                           OfdConvert::OfdMMToPixel(mm.width()), OfdConvert::OfdMMToPixel(mm.height()))
                        .toAlignedRect()
                        .intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += IsSealRed(image.pixel(x, y)) ? 1 : 0;
    return n;
}

int RedPixels(const QImage &image)
{
    return RedPixels(
        image, QRectF(0, 0, image.width() / OfdConvert::PxOfOneMM, image.height() / OfdConvert::PxOfOneMM));
}

// The package's entries rebuilt, one of them replaced.
QByteArray Rebuilt(const QSharedPointer<OfdFileReader> &reader, const QString &changed,
                   const QByteArray &bytes)
{
    PackageBuilder b;
    for (const QString &path : reader->GetFilePathList())
        b.Add(path, path == changed ? bytes : reader->GetFileContent(path));
    return b.Build();
}
} // namespace

// Signing documents with seals placed on their pages: the signed package, its signatures and stamps,
// and that it passes both the built-in check and the seal provider's verification.
class TestSignOfdFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sealTypeMessage_data();
    void sealTypeMessage();
    void classifySeal();
    void oneSeal();
    void twoPlacementsOfOneSeal();
    void twoSeals();
    void sealAcrossPages_data();
    void sealAcrossPages();
    void leftEdgeStampGeometry();
    void newSignatureListIsLinked();
    void existingSignatureListIsExtended();
    void anyChangedByteFailsTheCheck();
    void verdictLevels_data();
    void verdictLevels();
    void providerMissing();
    void placementOutsideTheDocument();
    void sampleSignedValueOutsideEdition2_data();
    void sampleSignedValueOutsideEdition2();
    void originalPackageUntouched();

private:
    QList<QSharedPointer<OES_SealInfoEx>> m_seals;
    int m_edition = 1;
    QTemporaryDir m_config;
};

void TestSignOfdFile::initTestCase()
{
    OfdConvert::Init(kDpi);
    OfdSealSupport::Install();
    // Trust anchors only as the tests list them.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    m_edition = AppParam::AppStatus;
    AppParam::AppStatus = 2;
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
    OESV2Helper oes;
    QVERIFY(oes.LoadDll_KingGrid());
    m_seals = oes.GetSealListEx();
    QCOMPARE(m_seals.size(), 3);
}

void TestSignOfdFile::cleanupTestCase()
{
    AppParam::AppStatus = m_edition;
}

void TestSignOfdFile::sealTypeMessage_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ride");
    QTest::newRow("ordinary") << 0 << QString::fromUtf8("电子印章") << false;
    QTest::newRow("left") << 1 << QString::fromUtf8("骑缝章-左") << true;
    QTest::newRow("top") << 2 << QString::fromUtf8("骑缝章-上") << true;
    QTest::newRow("right") << 3 << QString::fromUtf8("骑缝章-右") << true;
    QTest::newRow("bottom") << 4 << QString::fromUtf8("骑缝章-下") << true;
    QTest::newRow("other") << 5 << QString::fromUtf8("未知印章类型") << false;
    QTest::newRow("negative") << -1 << QString::fromUtf8("未知印章类型") << false;
}

void TestSignOfdFile::sealTypeMessage()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(bool, ride);
    SealSignInfo info(m_seals[0], type);
    QCOMPARE(info.GetSealTypeMessage(), text);
    QCOMPARE(info.IsRideSeal(), ride);
}

void TestSignOfdFile::classifySeal()
{
    // A copy of the first seal with equal bytes counts as the same seal.
    auto copy = QSharedPointer<OES_SealInfoEx>::create(*m_seals[0]);
    const auto a1 = Place(m_seals[0], 0, QRectF(10, 10, 40, 40));
    const auto b1 = Place(m_seals[1], 0, QRectF(10, 10, 40, 40));
    const auto a2 = Place(copy, 1, QRectF(10, 10, 40, 40));
    const auto c1 = Place(m_seals[2], 1, QRectF(10, 10, 40, 40));
    const auto b2 = Place(m_seals[1], 2, QRectF(10, 10, 40, 40));
    const auto groups = SignOfdFileManage::ClassifySeal({a1, b1, a2, c1, b2});
    QCOMPARE(groups.size(), 3);
    QCOMPARE(groups[0]->GetSealList(), (QList<QSharedPointer<SealSignInfo>>{a1, a2}));
    QCOMPARE(groups[1]->GetSealList(), (QList<QSharedPointer<SealSignInfo>>{b1, b2}));
    QCOMPARE(groups[2]->GetSealList(), (QList<QSharedPointer<SealSignInfo>>{c1}));
    QVERIFY(groups[0]->IsSameSeal(a2));
    QVERIFY(!groups[0]->IsSameSeal(b1));
    QVERIFY(!SameSealGroup().IsSameSeal(a1));
    QVERIFY(SignOfdFileManage::ClassifySeal({}).isEmpty());
}

void TestSignOfdFile::oneSeal()
{
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(2).Build()));
    QVERIFY2(manage.SetSignInfo({Place(m_seals[0], 1, QRectF(20, 30, 40, 40))}),
             qPrintable(manage.GetErrorMessage()));
    const QByteArray signedFile = manage.GetSignedOfdFile();
    Loaded l(signedFile);
    QVERIFY(l.AllChecksPass(1));
    OfdXmlSignature *s = l.At(0);
    QCOMPARE(s->GetStampAnnots().size(), 1);
    QCOMPARE(s->GetStampAnnots()[0].pageRef, QStringLiteral("11"));
    QVERIFY(Near(ParseRect(s->GetStampAnnots()[0].boundary), QRectF(20, 30, 40, 40)));
    QVERIFY(s->GetStampAnnots()[0].clip.isEmpty());
    QCOMPARE(s->GetSignatureMethod(), QStringLiteral("1.2.156.10197.1.501"));
    QVERIFY(s->GetProvider());
    QCOMPARE(s->GetSealPath(), QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl"));

    // Drawn where it was placed, on its page only.
    const QImage page1 = OfdPageRenderer::RenderPage(&l.view, 0, 1, kDpi);
    QVERIFY(RedPixels(page1, QRectF(20, 30, 40, 40)) > 200);
    QCOMPARE(RedPixels(page1) - RedPixels(page1, QRectF(19, 29, 42, 42)), 0);
    QCOMPARE(RedPixels(OfdPageRenderer::RenderPage(&l.view, 0, 0, kDpi)), 0);

    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(signedFile);
    QVERIFY(result);
    QVERIFY2(result->signatures.size() != 1 || result->signatures[0].state == 0,
             qPrintable(result->signatures[0].message));
    QCOMPARE(result->state, int(VerifyOfdResult::State_AllVerified));
    QCOMPARE(result->signatures.size(), 1);
}

void TestSignOfdFile::twoPlacementsOfOneSeal()
{
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(3).Build()));
    QVERIFY(manage.SetSignInfo(
        {Place(m_seals[0], 0, QRectF(10, 200, 40, 40)), Place(m_seals[0], 1, QRectF(150, 240, 40, 40))}));
    Loaded l(manage.GetSignedOfdFile());
    QVERIFY(l.AllChecksPass(1));
    const auto &stamps = l.At(0)->GetStampAnnots();
    QCOMPARE(stamps.size(), 2);
    QCOMPARE(stamps[0].pageRef, QStringLiteral("10"));
    QCOMPARE(stamps[1].pageRef, QStringLiteral("11"));
    QVERIFY(stamps[0].id != stamps[1].id);
    QVERIFY(RedPixels(OfdPageRenderer::RenderPage(&l.view, 0, 0, kDpi), QRectF(10, 200, 40, 40)) > 200);
    const QImage page1 = OfdPageRenderer::RenderPage(&l.view, 0, 1, kDpi);
    QVERIFY(RedPixels(page1, QRectF(150, 240, 40, 40)) > 200);
    QCOMPARE(RedPixels(page1, QRectF(0, 0, 140, 297)), 0);
    QCOMPARE(RedPixels(OfdPageRenderer::RenderPage(&l.view, 0, 2, kDpi)), 0);
    VerifyOfdFile verify;
    QCOMPARE(verify.VerifyFile(manage.GetSignedOfdFile())->state, int(VerifyOfdResult::State_AllVerified));
}

void TestSignOfdFile::twoSeals()
{
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(2).Build()));
    // Placement order decides the signature order: the second seal signs over the first signature.
    QVERIFY(manage.SetSignInfo(
        {Place(m_seals[2], 1, QRectF(120, 200, 38, 38)), Place(m_seals[0], 0, QRectF(20, 30, 40, 40))}));
    const QByteArray signedFile = manage.GetSignedOfdFile();
    Loaded l(signedFile);
    QVERIFY(l.AllChecksPass(2));
    OfdXmlSignature *first = l.At(0);
    OfdXmlSignature *second = l.At(1);
    QCOMPARE(first->GetSignDataType(), 1); // GM/T 0031 seal
    QCOMPARE(second->GetSignDataType(), 2);
    QCOMPARE(first->GetStampAnnots()[0].pageRef, QStringLiteral("11"));
    QCOMPARE(second->GetStampAnnots()[0].pageRef, QStringLiteral("10"));
    QStringList covered;
    for (const OfdSignatureReference &r : second->GetReferences().references)
        covered << r.fileRef;
    QVERIFY(covered.contains(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml")));
    QVERIFY(covered.contains(QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat")));
    QVERIFY(!covered.contains(QStringLiteral("Doc_0/Signs/Signatures.xml")));
    QVERIFY(RedPixels(OfdPageRenderer::RenderPage(&l.view, 0, 0, kDpi), QRectF(20, 30, 40, 40)) > 200);
    QVERIFY(RedPixels(OfdPageRenderer::RenderPage(&l.view, 0, 1, kDpi), QRectF(120, 200, 38, 38)) > 200);

    VerifyOfdFile verify;
    const auto result = verify.VerifyFile(signedFile);
    QCOMPARE(result->state, int(VerifyOfdResult::State_AllVerified));
    QCOMPARE(result->signatures.size(), 2);
}

void TestSignOfdFile::sealAcrossPages_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("left") << int(EN_SealSignType_RideLeft);
    QTest::newRow("top") << int(EN_SealSignType_RideTop);
    QTest::newRow("right") << int(EN_SealSignType_RideRight);
    QTest::newRow("bottom") << int(EN_SealSignType_RideBottom);
}

void TestSignOfdFile::sealAcrossPages()
{
    QFETCH(int, type);
    const QRectF placed(80, 120, 40, 40);
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(4).Build()));
    QVERIFY(manage.SetSignInfo({Place(m_seals[0], 1, placed, type)}));
    const QByteArray signedFile = manage.GetSignedOfdFile();
    Loaded l(signedFile);
    QVERIFY(l.AllChecksPass(1));
    const auto &stamps = l.At(0)->GetStampAnnots();
    QCOMPARE(stamps.size(), 4);
    const bool vertical = type == EN_SealSignType_RideLeft || type == EN_SealSignType_RideRight;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(stamps[i].pageRef, QString::number(10 + i));
        const QSizeF page = i == 2 ? QSizeF(297, 210) : QSizeF(210, 297);
        // The strip of the seal that shows on page i, in page millimetres.
        QRectF strip;
        switch (type) {
        case EN_SealSignType_RideLeft:
            strip = QRectF(0, placed.y(), 10, 40);
            break;
        case EN_SealSignType_RideRight:
            strip = QRectF(page.width() - 10, placed.y(), 10, 40);
            break;
        case EN_SealSignType_RideTop:
            strip = QRectF(placed.x(), 0, 40, 10);
            break;
        default:
            strip = QRectF(placed.x(), page.height() - 10, 40, 10);
            break;
        }
        const QRectF boundary = ParseRect(stamps[i].boundary);
        const QRectF clip = ParseRect(stamps[i].clip);
        QVERIFY(Near(clip.translated(boundary.topLeft()), strip));
        QVERIFY(Near(clip, vertical ? QRectF(i * 10, 0, 10, 40) : QRectF(0, i * 10, 40, 10)));

        // Every page shows its own strip of the seal on the edge, and nothing of it elsewhere.
        const QImage image = OfdPageRenderer::RenderPage(&l.view, 0, i, kDpi);
        QVERIFY2(RedPixels(image, strip) > 20, qPrintable(QStringLiteral("page %1").arg(i)));
        QCOMPARE(RedPixels(image) - RedPixels(image, strip.adjusted(-0.5, -0.5, 0.5, 0.5)), 0);
    }
    VerifyOfdFile verify;
    QCOMPARE(verify.VerifyFile(signedFile)->state, int(VerifyOfdResult::State_AllVerified));
}

void TestSignOfdFile::leftEdgeStampGeometry()
{
    // A left-edge seal 40 mm wide on four pages: boundaries at 0, -10, -20, -30 and clips at 0, 10,
    // 20, 30, each 10 mm wide.
    SignOfdFile pass;
    pass.SetFileReader(Reader(Document(4).Build()));
    pass.SetSealData(m_seals[0]->sealData);
    pass.SetSignInfo({Place(m_seals[0], 0, QRectF(5, 50, 40, 40), EN_SealSignType_RideLeft)});
    QVERIFY(pass.SignFile());
    const QList<SignatureStampInput> stamps = pass.GetStampInputs();
    QCOMPARE(stamps.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(stamps[i].pageRef, 10 + i);
        QVERIFY(Near(stamps[i].boundary, QRectF(-10 * i, 50, 40, 40)));
        QVERIFY(stamps[i].hasClip);
        QVERIFY(Near(stamps[i].clip, QRectF(10 * i, 0, 10, 40)));
    }
}

void TestSignOfdFile::newSignatureListIsLinked()
{
    SignOfdFile pass;
    pass.SetFileReader(Reader(Document(1).Build()));
    pass.SetSealData(m_seals[0]->sealData);
    pass.SetSignInfo({Place(m_seals[0], 0, QRectF(20, 30, 40, 40))});
    pass.SetProvider(QStringLiteral("Our Company"), QStringLiteral("3.1"), QStringLiteral("Our Provider"));
    QVERIFY(pass.SignFile());
    auto reader = Reader(pass.GetSignedOfdFile());
    QVERIFY(reader);
    std::unique_ptr<XmlNode> ofd(XmlNode::FromData(reader->GetFileContent(QStringLiteral("OFD.xml"))));
    QVERIFY(ofd);
    XmlNode *link =
        ofd->GetOneChildByName(QStringLiteral("DocBody"))->GetOneChildByName(QStringLiteral("Signatures"));
    QVERIFY(link);
    QCOMPARE(link->GetText(), QStringLiteral("/Doc_0/Signs/Signatures.xml"));
    std::unique_ptr<XmlNode> list(
        XmlNode::FromData(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Signatures.xml"))));
    QVERIFY(list);
    QCOMPARE(list->GetOneChildByName(QStringLiteral("MaxSignId"))->GetText(), QStringLiteral("s2"));
    XmlNode *entry = list->GetOneChildByName(QStringLiteral("Signature"));
    QVERIFY(entry);
    QCOMPARE(entry->GetAttr(QStringLiteral("BaseLoc")), QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml"));
    QCOMPARE(entry->GetAttr(QStringLiteral("ID")), QStringLiteral("s2"));
    QCOMPARE(entry->GetAttr(QStringLiteral("Type")), QStringLiteral("Seal"));
    std::unique_ptr<XmlNode> signature(
        XmlNode::FromData(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"))));
    XmlNode *provider = signature->GetOneChildByName(QStringLiteral("SignedInfo"))
                            ->GetOneChildByName(QStringLiteral("Provider"));
    QCOMPARE(provider->GetAttr(QStringLiteral("Company")), QStringLiteral("Our Company"));
    QCOMPARE(provider->GetAttr(QStringLiteral("Version")), QStringLiteral("3.1"));
    QCOMPARE(provider->GetAttr(QStringLiteral("ProviderName")), QStringLiteral("Our Provider"));
    QVERIFY(!reader->GetFileContent(QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat")).isEmpty());
    QCOMPARE(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl")), m_seals[0]->sealData);
    // Every entry once.
    QStringList paths = reader->GetFilePathList();
    paths.removeDuplicates();
    QCOMPARE(paths.size(), reader->GetFilePathList().size());
}

void TestSignOfdFile::existingSignatureListIsExtended()
{
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(1, true).Build()));
    QVERIFY(manage.SetSignInfo({Place(m_seals[0], 0, QRectF(20, 30, 40, 40))}));
    auto reader = Reader(manage.GetSignedOfdFile());
    std::unique_ptr<XmlNode> list(
        XmlNode::FromData(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Signatures.xml"))));
    QCOMPARE(list->GetOneChildByName(QStringLiteral("Signature"))->GetAttr(QStringLiteral("ID")),
             QStringLiteral("s8"));
    Loaded l(manage.GetSignedOfdFile());
    QVERIFY(l.AllChecksPass(1));
}

void TestSignOfdFile::anyChangedByteFailsTheCheck()
{
    // A document signed with two seals; a byte of any file changed afterwards (the signature list
    // itself excepted: no signature covers it) makes a built-in check fail.
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(2).Build()));
    QVERIFY(manage.SetSignInfo(
        {Place(m_seals[0], 0, QRectF(20, 30, 40, 40)), Place(m_seals[2], 1, QRectF(20, 30, 38, 38))}));
    const QByteArray signedFile = manage.GetSignedOfdFile();
    QVERIFY(Loaded(signedFile).AllChecksPass(2));
    QVERIFY(Loaded(signedFile).AllIntact(2));
    auto reader = Reader(signedFile);
    int variants = 0;
    for (const QString &path : reader->GetFilePathList()) {
        if (path.endsWith(QLatin1String("Signatures.xml")))
            continue;
        const QByteArray original = reader->GetFileContent(path);
        QVERIFY(!original.isEmpty());
        // The count of unused bits before a signature is outside what it covers: any value passes.
        const int unusedBits =
            path.endsWith(QLatin1String("SignedValue.dat")) ? SignatureUnusedBitsOffset(original) : -1;
        if (path.endsWith(QLatin1String("SignedValue.dat"))) {
            QVERIFY(unusedBits > 0);
            QByteArray changed = original;
            changed[unusedBits] = '\x05';
            // The signature of this value stays intact (a later signature that lists the file as a
            // reference does not).
            Loaded tolerated(Rebuilt(reader, path, changed));
            bool found = false;
            for (int i = 0; i < tolerated.Count(); ++i) {
                OfdXmlSignature *own = tolerated.At(i);
                if (own->GetSignedValuePath().endsWith(path)) {
                    found = true;
                    QVERIFY2(own->GetVerdict().IsIntact(), qPrintable(own->GetVerdict().GetReason()));
                }
            }
            QVERIFY(found);
        }
        // Every byte of small files; about 60 spread over larger ones, the last included. With
        // OFD_TEST_ALL_BYTES set every byte of every file is tried (a few minutes).
        QList<int> positions;
        const int step = (original.size() <= 120 || qEnvironmentVariableIsSet("OFD_TEST_ALL_BYTES"))
                             ? 1
                             : original.size() / 60;
        for (int at = 0; at < original.size(); at += step)
            positions << at;
        if (positions.last() != original.size() - 1)
            positions << original.size() - 1;
        for (int at : positions) {
            if (at == unusedBits)
                continue;
            QByteArray changed = original;
            changed[at] = char(changed[at] ^ 0x01);
            Loaded l(Rebuilt(reader, path, changed));
            QVERIFY2(!l.AllChecksPass(2) && !l.AllIntact(2),
                     qPrintable(QStringLiteral("%1 byte %2").arg(path).arg(at)));
            ++variants;
        }
    }
    QVERIFY(variants > 300);
}

void TestSignOfdFile::verdictLevels_data()
{
    QTest::addColumn<QByteArray>("anchor"); // DER, or empty for none
    QTest::addColumn<bool>("changeSignature");
    QTest::addColumn<int>("level");
    const TestSeal::Sm2TestKey provider(TestSeal::ProviderKeyPem(), TestSeal::ProviderCertificatePem());
    QVERIFY(provider.IsValid());
    // The provider's key and name under a certificate that ended years before the signing.
    const QString name = QStringLiteral("OFD Reader Test Seal Provider");
    const QByteArray expired = provider.IssueCertificate(
        name, provider, name, QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC),
        QDateTime(QDate(2021, 1, 1), QTime(0, 0), Qt::UTC), 0x77, QStringLiteral("OFD Reader Test"));
    QVERIFY(!expired.isEmpty());
    QTest::newRow("no anchor") << QByteArray() << false << int(OfdSignatureVerdict::Level_Untrusted);
    QTest::newRow("provider certificate as anchor")
        << provider.Certificate() << false << int(OfdSignatureVerdict::Level_Trusted);
    QTest::newRow("expired anchor") << expired << false << int(OfdSignatureVerdict::Level_Failed);
    QTest::newRow("one changed bit of the signature")
        << provider.Certificate() << true << int(OfdSignatureVerdict::Level_Failed);
    QTest::newRow("changed bit, no anchor") << QByteArray() << true << int(OfdSignatureVerdict::Level_Failed);
}

void TestSignOfdFile::verdictLevels()
{
    // Signed with the test provider's self-signed seal: valid but untrusted until its certificate is a
    // trust anchor.
    QFETCH(QByteArray, anchor);
    QFETCH(bool, changeSignature);
    QFETCH(int, level);
    OfdTrustStore::Default().Clear();
    if (!anchor.isEmpty())
        QCOMPARE(OfdTrustStore::Default().AddCertificateData(anchor), 1);
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(1).Build()));
    QVERIFY(manage.SetSignInfo({Place(m_seals[0], 0, QRectF(20, 30, 40, 40))}));
    QByteArray signedFile = manage.GetSignedOfdFile();
    if (changeSignature) {
        auto reader = Reader(signedFile);
        const QString path = QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat");
        QByteArray value = reader->GetFileContent(path);
        QVERIFY(!value.isEmpty());
        value[value.size() - 1] = char(value[value.size() - 1] ^ 0x01);
        signedFile = Rebuilt(reader, path, value);
    }
    Loaded l(signedFile);
    QCOMPARE(l.Count(), 1);
    const OfdSignatureVerdict &verdict = l.At(0)->GetVerdict();
    OfdTrustStore::Default().Clear();
    QCOMPARE(verdict.GetLevel(), level);
    const QStringList texts = {QString::fromUtf8("验证成功"), QString::fromUtf8("签章有效，证书未受信任"),
                               QString::fromUtf8("验证失败")};
    QCOMPARE(verdict.GetText(), texts.value(level));
    QCOMPARE(verdict.GetSigner(), QStringLiteral("OFD Reader Test Seal Provider"));
    if (level == OfdSignatureVerdict::Level_Failed)
        QVERIFY(!verdict.GetReason().isEmpty());
}

void TestSignOfdFile::providerMissing()
{
    qputenv("OESV2_HOME", "/nonexistent");
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(1).Build()));
    const bool ok = manage.SetSignInfo({Place(m_seals[0], 0, QRectF(20, 30, 40, 40))});
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
    QVERIFY(!ok);
    QVERIFY(manage.GetSignedOfdFile().isEmpty());
    QCOMPARE(
        manage.GetErrorMessage(),
        QString::fromUtf8("加载OES DLL失败！路径:%1").arg(QStringLiteral("/nonexistent/KingGrid/oes.dll")));
}

void TestSignOfdFile::placementOutsideTheDocument()
{
    // A placement on a page the package does not have gives no stamp; the signature is still sound.
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(1).Build()));
    QVERIFY(manage.SetSignInfo({Place(m_seals[0], 5, QRectF(20, 30, 40, 40))}));
    Loaded l(manage.GetSignedOfdFile());
    QVERIFY(l.AllChecksPass(1));
    QVERIFY(l.At(0)->GetStampAnnots().isEmpty());
}

void TestSignOfdFile::sampleSignedValueOutsideEdition2_data()
{
    QTest::addColumn<int>("edition");
    QTest::newRow("edition 0") << 0;
    QTest::newRow("edition 1") << 1;
}

void TestSignOfdFile::sampleSignedValueOutsideEdition2()
{
    QFETCH(int, edition);
    AppParam::AppStatus = edition;
    qputenv("OESV2_HOME", "/nonexistent"); // no provider is needed
    SignOfdFileManage manage;
    manage.SetFileReader(Reader(Document(1).Build()));
    // Edition 0's sample seal has a picture but no seal bytes.
    auto sample = QSharedPointer<OES_SealInfoEx>::create();
    sample->sealId = QStringLiteral("123");
    sample->pictureData = m_seals[0]->pictureData;
    const bool ok = manage.SetSignInfo({Place(sample, 0, QRectF(20, 30, 40, 40))});
    AppParam::AppStatus = 2;
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
    QVERIFY2(ok, qPrintable(manage.GetErrorMessage()));
    auto reader = Reader(manage.GetSignedOfdFile());
    QCOMPARE(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Sign_0/SignedValue.dat")),
             OESV2Helper::GetSampleSignedValue());
    QVERIFY(!reader->GetFilePathList().contains(QStringLiteral("Doc_0/Signs/Sign_0/Seal.esl")));
    std::unique_ptr<XmlNode> signature(
        XmlNode::FromData(reader->GetFileContent(QStringLiteral("Doc_0/Signs/Sign_0/Signature.xml"))));
    XmlNode *info = signature->GetOneChildByName(QStringLiteral("SignedInfo"));
    QCOMPARE(info->GetOneChildByName(QStringLiteral("SignatureMethod"))->GetText(),
             QStringLiteral("1.2.156.10197.1.501"));
    const QDateTime when =
        QDateTime::fromString(info->GetOneChildByName(QStringLiteral("SignatureDateTime"))->GetText(),
                              QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY(when.isValid());
    QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 60);
    QVERIFY(!info->GetOneChildByName(QStringLiteral("Seal")));
    // The sample value was not made over this description.
    Loaded l(manage.GetSignedOfdFile());
    QCOMPARE(l.Count(), 1);
    QVERIFY(l.At(0)->CheckSm3());
    QVERIFY(!l.At(0)->IsDataHashMatch());
}

void TestSignOfdFile::originalPackageUntouched()
{
    const QByteArray original = Document(2).Build();
    auto reader = Reader(original);
    QMap<QString, QByteArray> before;
    for (const QString &path : reader->GetFilePathList())
        before.insert(path, reader->GetFileContent(path));
    SignOfdFileManage manage;
    manage.SetFileReader(reader);
    QVERIFY(manage.SetSignInfo(
        {Place(m_seals[0], 0, QRectF(20, 30, 40, 40)), Place(m_seals[1], 1, QRectF(20, 30, 45, 45))}));
    QCOMPARE(reader->GetFilePathList().size(), before.size());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(reader->GetFileContent(it.key()), it.value());
    // The signed copy holds every original entry besides the new ones.
    auto signedReader = Reader(manage.GetSignedOfdFile());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QVERIFY(signedReader->GetFilePathList().contains(it.key()));
        if (it.key() != QLatin1String("OFD.xml"))
            QCOMPARE(signedReader->GetFileContent(it.key()), it.value());
    }
}

QTEST_MAIN(TestSignOfdFile)
#include "test_signofdfile.moc"
