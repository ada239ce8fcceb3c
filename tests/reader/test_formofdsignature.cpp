#include <QTreeWidget>
#include <QtTest>

#include "app/appparam.h"
#include "model/content/ofdconvert.h"
#include "model/package/ofdfilereader.h"
#include "reader/formofd.h"
#include "reader/formofdsignature.h"
#include "render/ofdrenderinit.h"
#include "render/ofdsealsupport.h"
#include "sign/oesv2helper.h"
#include "sign/ofdtruststore.h"
#include "sign/sealsigninfo.h"
#include "sign/signofdfilemanage.h"
#include "tools/testseal/testseal.h"
#include "viewtestdoc.h"

namespace {
QString T(const char *text)
{
    return QString::fromUtf8(text);
}

QSharedPointer<SealSignInfo> Place(const QSharedPointer<OES_SealInfoEx> &seal, int page)
{
    auto info = QSharedPointer<SealSignInfo>::create(seal, int(EN_SealSignType_Normal));
    info->SetPageIndex(page);
    info->SetRect(QRectF(OfdConvert::OfdMMToPixel(20), OfdConvert::OfdMMToPixel(30),
                         OfdConvert::OfdMMToPixel(30), OfdConvert::OfdMMToPixel(30)));
    return info;
}
} // namespace

// The signature panel of the side bar: one row per signature with its verdict and checks.
class TestFormOfdSignature : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void listsEverySignature();
    void noSignatures();

private:
    QTemporaryDir m_config;
    int m_edition = 1;
};

void TestFormOfdSignature::initTestCase()
{
    OfdRenderInit::Init();
    AppParam::Init();
    OfdSealSupport::Install();
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    m_edition = AppParam::AppStatus;
    AppParam::AppStatus = 2;
    qputenv("OESV2_HOME", QByteArray(OFD_OESHOME));
}

void TestFormOfdSignature::cleanupTestCase()
{
    AppParam::AppStatus = m_edition;
}

void TestFormOfdSignature::listsEverySignature()
{
    OESV2Helper oes;
    QVERIFY(oes.LoadDll_KingGrid());
    const auto seals = oes.GetSealListEx();
    QVERIFY(seals.size() >= 2);
    ViewTestDoc doc;
    doc.pageCount = 2;
    SignOfdFileManage manage;
    manage.SetFileReader(doc.Open());
    // The second seal is placed on a page the document does not have: its signature has no stamp.
    QVERIFY(manage.SetSignInfo({Place(seals[0], 1), Place(seals[1], 7)}));
    auto reader = QSharedPointer<OfdFileReader>::create();
    QVERIFY(reader->Open(manage.GetSignedOfdFile()));

    FormOfd form;
    form.resize(800, 600);
    QVERIFY(form.SetOfdFileReader(reader));
    form.ShowPages();
    FormOfdSignature panel;
    panel.ShowSignatures(&form);
    QTreeWidget *tree = panel.GetTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QTreeWidgetItem *first = tree->topLevelItem(0);
    QTreeWidgetItem *second = tree->topLevelItem(1);
    QCOMPARE(first->text(FormOfdSignature::Column_Verdict), T("签章有效，证书未受信任"));
    QCOMPARE(first->text(FormOfdSignature::Column_Signer), QStringLiteral("OFD Reader Test Seal Provider"));
    QCOMPARE(first->text(FormOfdSignature::Column_Standard), QStringLiteral("GB/T 38540-2020"));
    QVERIFY(!first->text(FormOfdSignature::Column_Time).isEmpty());
    QVERIFY(!first->text(FormOfdSignature::Column_Seal).contains(T("未在页面上显示")));
    QVERIFY(second->text(FormOfdSignature::Column_Seal).contains(T("未在页面上显示")));
    QCOMPARE(panel.GetStampPage(panel.GetSignature(first)), 1);
    QCOMPARE(panel.GetStampPage(panel.GetSignature(second)), -1);
    // The verdict is the second column, seen first in a narrow side bar.
    QCOMPARE(panel.GetTree()->headerItem()->text(1), T("验证结果"));
    // Each check is a row below its signature.
    QStringList checks;
    for (int i = 0; i < first->childCount(); ++i)
        checks << first->child(i)->text(0);
    QVERIFY2(checks.contains(T("引用文件")) && checks.contains(T("签名值")) && checks.contains(T("证书")),
             qPrintable(checks.join(QLatin1Char(','))));

    // With the provider's certificate as a trust anchor the same signature is trusted.
    OfdTrustStore::Default().Clear();
    QCOMPARE(OfdTrustStore::Default().AddCertificateData(TestSeal::ProviderCertificatePem()), 1);
    panel.ShowSignatures(&form);
    OfdTrustStore::Default().Clear();
    QCOMPARE(tree->topLevelItem(0)->text(FormOfdSignature::Column_Verdict), T("验证成功"));
}

void TestFormOfdSignature::noSignatures()
{
    ViewTestDoc doc;
    FormOfd form;
    QVERIFY(LoadView(form, doc));
    FormOfdSignature panel;
    panel.ShowSignatures(&form);
    QCOMPARE(panel.GetTree()->topLevelItemCount(), 1);
    QCOMPARE(panel.GetTree()->topLevelItem(0)->text(0), T("文件没有签章信息"));
    QVERIFY(!panel.GetSignature(panel.GetTree()->topLevelItem(0)));
}

QTEST_MAIN(TestFormOfdSignature)
#include "test_formofdsignature.moc"
