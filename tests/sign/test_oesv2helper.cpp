#include "app/appparam.h"
#include "sign/oesv2helper.h"
#include "sign/oesv4helper.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdx509certificate.h"
#include "sign/sealfixtures.h"
#include "sign/sm3.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "environmentguard.h"

#include <functional>

using namespace SealFixtures;

namespace {

const QString kOesHome = QStringLiteral(OFD_OESHOME);
const QString kMethod = QStringLiteral("1.2.156.10197.1.501");
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// The seals of the test provider, in list order.
struct ProviderSeal
{
    const char *id;
    const char *name;
    int standard;
    int size;
};
const ProviderSeal kSeals[] = {{"TESTSEAL-38540-01", "测试公章", 2, 40},
                               {"TESTSEAL-38540-02", "测试合同专用章", 2, 45},
                               {"TESTSEAL-0031-01", "测试财务专用章", 1, 38}};

// Sets the edition for the life of the guard.
class EditionGuard
{
public:
    explicit EditionGuard(int edition) : m_old(AppParam::AppStatus) { AppParam::AppStatus = edition; }
    ~EditionGuard() { AppParam::AppStatus = m_old; }
    EditionGuard(const EditionGuard &) = delete;
    EditionGuard &operator=(const EditionGuard &) = delete;

private:
    int m_old;
};

QDateTime ReadTime(const QString &text)
{
    return QDateTime::fromString(text, kTimeFormat);
}

// A signing request for the seal over the digest of the sample Signature.xml.
SignInfoInput Request(const QString &sealId, const QString &time = QStringLiteral("2024-03-01 08:30:15"))
{
    SignInfoInput input;
    input.sealId = sealId;
    input.documentProperty = QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml");
    input.digest = sm3_digest_ByteArray(SampleSignatureXml());
    input.signMethod = kMethod;
    input.signDateTime = time;
    input.pin = OESV2Helper::GetFixedPin();
    return input;
}

VerifyInfoInput VerifyRequest(const SignInfoInput &signing, const QByteArray &seal, const QByteArray &value)
{
    VerifyInfoInput input;
    input.sealData = seal;
    input.documentProperty = signing.documentProperty;
    input.digest = signing.digest;
    input.signMethod = signing.signMethod;
    input.signDateTime = signing.signDateTime;
    input.signedValue = value;
    return input;
}

// The texts joined by zero bytes, with or without a zero after the last.
QByteArray ZeroJoined(const QList<QByteArray> &texts, bool lastZero)
{
    QByteArray list;
    for (const QByteArray &text : texts)
        list += text + '\0';
    if (!lastZero)
        list.chop(1);
    return list;
}

// The operations that need the library, each giving its code.
using Operation = std::function<int(OESV2Helper &)>;
QMap<QString, Operation> LibraryOperations()
{
    QMap<QString, Operation> operations;
    operations[QStringLiteral("Login")] = [](OESV2Helper &h) { return h.Login(OESV2Helper::GetFixedPin()); };
    operations[QStringLiteral("GetProviderInfo")] = [](OESV2Helper &h) {
        QString name, company, version, extend;
        return h.GetProviderInfo(name, company, version, extend);
    };
    operations[QStringLiteral("GetSealList")] = [](OESV2Helper &h) {
        QByteArray list;
        return h.GetSealList(list);
    };
    operations[QStringLiteral("GetSeal")] = [](OESV2Helper &h) {
        QByteArray seal;
        return h.GetSeal(QString::fromUtf8(kSeals[0].id), seal);
    };
    operations[QStringLiteral("GetSignDateTime")] = [](OESV2Helper &h) {
        QString time;
        return h.GetSignDateTime(time);
    };
    operations[QStringLiteral("GetSignMethod")] = [](OESV2Helper &h) {
        QString method;
        return h.GetSignMethod(method);
    };
    operations[QStringLiteral("Sign")] = [](OESV2Helper &h) {
        SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id));
        QByteArray value;
        return h.Sign(input, value);
    };
    operations[QStringLiteral("Verify")] = [](OESV2Helper &h) {
        VerifyInfoInput input;
        input.digest = sm3_digest_ByteArray(SampleSignatureXml());
        return h.Verify(input);
    };
    return operations;
}

} // namespace

class TestOesV2Helper : public QObject
{
    Q_OBJECT

private:
    // A helper with the test provider loaded in edition 2.
    bool LoadProvider(OESV2Helper &helper)
    {
        EnvironmentGuard home("OESV2_HOME", kOesHome);
        return helper.LoadDll_KingGrid();
    }

    int m_savedEdition = 0;

private slots:
    void initTestCase()
    {
        m_savedEdition = AppParam::AppStatus;
        QVERIFY2(QFile::exists(kOesHome + QStringLiteral("/KingGrid/oes.dll")), qPrintable(kOesHome));
    }

    void init() { AppParam::AppStatus = 2; }
    void cleanup() { AppParam::AppStatus = m_savedEdition; }

    void stringData_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("246810") << QByteArray("246810");
        QTest::newRow("chinese") << QStringLiteral("测试公章") << QByteArray("测试公章");
    }

    void stringData()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, utf8);
        const QSharedPointer<StringData> data = StringData::FromString(text);
        QCOMPARE(data->GetLength(), utf8.size());
        QCOMPARE(data->GetBuffer(), utf8 + QByteArray(10, '\0'));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(data->GetData()), data->GetLength()), utf8);
    }

    void fixedPin()
    {
        QVERIFY(
            QRegularExpression(QStringLiteral("^[0-9]{6}$")).match(OESV2Helper::GetFixedPin()).hasMatch());
    }

    void libraryPath_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("path");
        const QString system = OESV2Helper::GetSystemOesHome() + QStringLiteral("/KingGrid/oes.dll");
        QTest::newRow("unset") << QString() << system;
        QTest::newRow("empty") << QStringLiteral("") << system;
        QTest::newRow("relative") << QStringLiteral("seal") << system;
        QTest::newRow("dot") << QStringLiteral(".") << system;
        QTest::newRow("folder") << QStringLiteral("/opt/seal")
                                << QStringLiteral("/opt/seal/KingGrid/oes.dll");
        QTest::newRow("chinese folder")
            << QStringLiteral("/home/用户/印章") << QStringLiteral("/home/用户/印章/KingGrid/oes.dll");
    }

    void libraryPath()
    {
        QFETCH(QString, home);
        QFETCH(QString, path);
        EnvironmentGuard guard("OESV2_HOME", home);
        QCOMPARE(OESV2Helper::GetOESDllPath_KingGrid(), path);
    }

    void loadFromHome()
    {
        OESV2Helper helper;
        QVERIFY(!helper.IsLoaded());
        QVERIFY(LoadProvider(helper));
        QVERIFY(helper.IsLoaded());
        // Loading again replaces the library and keeps working.
        QVERIFY(LoadProvider(helper));
        QString method;
        QCOMPARE(helper.GetSignMethod(method), 0);
        QCOMPARE(method, kMethod);
    }

    void noLoadFromWorkingFolder_data()
    {
        QTest::addColumn<QString>("home");
        QTest::newRow("unset") << QString();
        QTest::newRow("relative") << QStringLiteral("KingGrid/..");
    }

    void noLoadFromWorkingFolder()
    {
        // A provider library beside a document (the working folder) is never loaded.
        QFETCH(QString, home);
        EnvironmentGuard guard("OESV2_HOME", home);
        const QString saved = QDir::currentPath();
        OESV2Helper helper;
        QVERIFY(QDir::setCurrent(kOesHome));
        QVERIFY(QFile::exists(QStringLiteral("KingGrid/oes.dll")));
        const bool loaded = helper.LoadDll_KingGrid();
        QDir::setCurrent(saved);
        QVERIFY(!loaded);
        QVERIFY(!helper.IsLoaded());
    }

    void missingLibrary_data()
    {
        QTest::addColumn<QString>("operation");
        for (const QString &name : LibraryOperations().keys())
            QTest::newRow(qPrintable(name)) << name;
    }

    void missingLibrary()
    {
        QFETCH(QString, operation);
        const QTemporaryDir empty;
        EnvironmentGuard home("OESV2_HOME", empty.path());
        OESV2Helper helper;
        QVERIFY(!helper.LoadDll_KingGrid());
        QVERIFY(!helper.IsLoaded());
        QCOMPARE(LibraryOperations()[operation](helper), 0x20000);
        QCOMPARE(OESV2Helper::NotLoadedCode, 0x20000);

        // A library that was loaded is dropped by a failing load.
        OESV2Helper reloaded;
        QVERIFY(LoadProvider(reloaded));
        QVERIFY(!reloaded.LoadDll(empty.path() + QStringLiteral("/KingGrid/oes.dll")));
        QVERIFY(!reloaded.IsLoaded());
        QCOMPARE(LibraryOperations()[operation](reloaded), 0x20000);
    }

    void missingLibraryLists()
    {
        OESV2Helper helper;
        QVERIFY(!helper.LoadDll(QStringLiteral("/nonexistent/KingGrid/oes.dll")));
        QVERIFY(helper.GetSealList().isEmpty());
        QVERIFY(helper.GetSealListEx().isEmpty());
        QCOMPARE(helper.GetErrMessage(0x1001), QString());
    }

    void providerInfo()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        QString name, company, version, extend;
        QCOMPARE(helper.GetProviderInfo(name, company, version, extend), 0);
        QCOMPARE(name, QStringLiteral("OFD阅读器测试印章服务"));
        QCOMPARE(company, QStringLiteral("OFD阅读器开发组"));
        QCOMPARE(version, QStringLiteral("1.0.0"));
        QCOMPARE(extend, QStringLiteral("GB/T 38540-2020, GM/T 0031-2014; for tests only"));
    }

    void sealListBytes()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        QByteArray expected;
        for (const ProviderSeal &seal : kSeals)
            expected += QByteArray(seal.id) + '\0' + QByteArray(seal.name) + '\0';
        QByteArray list("kept");
        QCOMPARE(helper.GetSealList(list), 0);
        QCOMPARE(list, QByteArray("kept") + expected);
    }

    void sealList()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        const QList<QSharedPointer<OES_SealInfo>> seals = helper.GetSealList();
        QCOMPARE(seals.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(seals.at(i)->sealId, QString::fromUtf8(kSeals[i].id));
            QCOMPARE(seals.at(i)->sealName, QString::fromUtf8(kSeals[i].name));
        }
    }

    void parseSealList_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("pairs");
        QTest::newRow("four texts") << ZeroJoined({"id1", "name1", "id2", "name2"}, true)
                                    << QStringList{"id1", "name1", "id2", "name2"};
        QTest::newRow("no last zero") << ZeroJoined({"id1", "name1", "id2", "name2"}, false)
                                      << QStringList{"id1", "name1", "id2", "name2"};
        QTest::newRow("three texts") << ZeroJoined({"id1", "name1", "id2"}, true)
                                     << QStringList{"id1", "name1"};
        QTest::newRow("empty name") << ZeroJoined({"id1", ""}, true) << QStringList{"id1", ""};
        QTest::newRow("utf-8") << ZeroJoined({"章1", "测试公章"}, true) << QStringList{"章1", "测试公章"};
        QTest::newRow("empty") << QByteArray() << QStringList();
    }

    void parseSealList()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, pairs);
        const QList<QSharedPointer<OES_SealInfo>> seals = OESV2Helper::ParseSealList(list);
        QCOMPARE(seals.size(), pairs.size() / 2);
        for (int i = 0; i < seals.size(); ++i) {
            QCOMPARE(seals.at(i)->sealId, pairs.at(2 * i));
            QCOMPARE(seals.at(i)->sealName, pairs.at(2 * i + 1));
        }
    }

    void sealListEx()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        const QList<QSharedPointer<OES_SealInfoEx>> seals = helper.GetSealListEx();
        QCOMPARE(seals.size(), 3);
        QList<QByteArray> pictures;
        for (int i = 0; i < 3; ++i) {
            const OES_SealInfoEx &info = *seals.at(i);
            QCOMPARE(info.sealId, QString::fromUtf8(kSeals[i].id));
            QCOMPARE(info.sealName, QString::fromUtf8(kSeals[i].name));
            QByteArray fetched;
            QCOMPARE(helper.GetSeal(info.sealId, fetched), 0);
            QCOMPARE(info.sealData, fetched);

            // The seal is a complete SES_Seal of its standard whose picture is the one handed over.
            OfdSignatureSeal seal;
            QVERIFY(seal.ParseSeal(info.sealData));
            QCOMPARE(seal.GetType(), kSeals[i].standard);
            QCOMPARE(seal.GetEsID(), info.sealId);
            QCOMPARE(seal.GetSealName(), info.sealName);
            QVERIFY(seal.GetSealPicture());
            QCOMPARE(seal.GetSealPicture()->GetData(), info.pictureData);

            QCOMPARE(info.pictureType, QStringLiteral("png"));
            QCOMPARE(info.pictureWidth, kSeals[i].size);
            QCOMPARE(info.pictureHeight, kSeals[i].size);
            const QImage image = QImage::fromData(info.pictureData, "PNG");
            QVERIFY(!image.isNull());
            // A red seal on a transparent ground.
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            pictures << info.pictureData;
        }
        QVERIFY(pictures.at(0) != pictures.at(1));
        QVERIFY(pictures.at(0) != pictures.at(2));
        QVERIFY(pictures.at(1) != pictures.at(2));
    }

    void unknownSeal()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        QByteArray seal("unchanged");
        const int code = helper.GetSeal(QStringLiteral("NO-SUCH-SEAL"), seal);
        QVERIFY(code != 0 && code != 0x20000);
        QCOMPARE(seal, QByteArray("unchanged"));
        QCOMPARE(helper.GetErrMessage(code), QStringLiteral("印章不存在"));

        SignInfoInput input = Request(QStringLiteral("NO-SUCH-SEAL"));
        QByteArray value;
        QCOMPARE(helper.Sign(input, value), code);
        QVERIFY(value.isEmpty());
    }

    void signAndVerify_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 3; ++i)
            QTest::newRow(kSeals[i].name) << i;
    }

    void signAndVerify()
    {
        QFETCH(int, index);
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));

        // The signing order: method and time from the provider, then Sign.
        QString method, time;
        QCOMPARE(helper.GetSignMethod(method), 0);
        QCOMPARE(method, kMethod);
        QCOMPARE(helper.GetSignDateTime(time), 0);
        QVERIFY2(qAbs(ReadTime(time).secsTo(QDateTime::currentDateTime())) <= 5, qPrintable(time));

        const QString sealId = QString::fromUtf8(kSeals[index].id);
        QByteArray sealData;
        QCOMPARE(helper.GetSeal(sealId, sealData), 0);
        SignInfoInput input = Request(sealId, time);
        input.signMethod = method;
        QByteArray signedValue;
        QCOMPARE(helper.Sign(input, signedValue), 0);
        QVERIFY(!signedValue.isEmpty());

        // Our own reading and built-in check accept it.
        OfdSignedValue value;
        value.SetExpectedDigest(sm3_digest_base64(SampleSignatureXml()));
        QVERIFY(value.ParseData(signedValue));
        QCOMPARE(value.GetType(), kSeals[index].standard);
        QCOMPARE(value.GetDataHash(), input.digest);
        QCOMPARE(value.GetSealData(), sealData);
        QCOMPARE(value.GetSignatureAlgorithm(), kMethod);
        QCOMPARE(value.GetSignTime(), ReadTime(time).toUTC());
        if (kSeals[index].standard == 2)
            QCOMPARE(value.GetNodeText(QStringLiteral("0.0*1.0*2.4")), input.documentProperty);
        QVERIFY(value.CheckSignValue());
        QCOMPARE(value.GetSignValueDigest(), EN_SignValueDigest_Za);
        // OpenSSL agrees: SM2 with e = SM3(Z_A || to-be-signed bytes), default id.
        QVERIFY(value.GetCertificate());
        QVERIFY(OpenSslVerify(value.GetCertificate()->GetPublicKey(), value.GetToSignData(),
                              value.GetSignatureData(), Sm2Digest::WithZa));

        // The provider verifies it, with and without the seal data.
        VerifyInfoInput verify = VerifyRequest(input, sealData, signedValue);
        QCOMPARE(helper.Verify(verify), 0);
        verify.sealData.clear();
        QCOMPARE(helper.Verify(verify), 0);
    }

    void signedWithFixedCertificate()
    {
        // Every load signs with the same embedded certificate.
        QByteArray certificates[2];
        for (QByteArray &certificate : certificates) {
            OESV2Helper helper;
            QVERIFY(LoadProvider(helper));
            SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id));
            QByteArray signedValue;
            QCOMPARE(helper.Sign(input, signedValue), 0);
            OfdSignedValue value;
            value.SetExpectedDigest(QString::fromLatin1(input.digest.toBase64()));
            QVERIFY(value.ParseData(signedValue));
            certificate = value.GetCertificate()->GetData();
        }
        QCOMPARE(certificates[0], certificates[1]);
        QCOMPARE(certificates[0],
                 Sm2TestKey(TestSeal::ProviderKeyPem(), TestSeal::ProviderCertificatePem()).Certificate());
    }

    void verifyFailures_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed digest") << "digest"
                                        << "数据摘要不一致";
        QTest::newRow("short digest") << "short digest"
                                      << "数据摘要长度错误";
        QTest::newRow("flipped signature bit") << "signature"
                                               << "签名值验证失败";
        QTest::newRow("changed signed bytes") << "tbs"
                                              << "签名值验证失败";
        QTest::newRow("other seal") << "seal"
                                    << "印章数据不一致";
        QTest::newRow("other signer") << "signer"
                                      << "签名证书不符";
        QTest::newRow("not a signed value") << "garbage"
                                            << "签名值格式错误";
        QTest::newRow("empty signed value") << "empty"
                                            << "签名值格式错误";
    }

    void verifyFailures()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        QByteArray sealData;
        QCOMPARE(helper.GetSeal(QString::fromUtf8(kSeals[0].id), sealData), 0);
        SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id));
        QByteArray signedValue;
        QCOMPARE(helper.Sign(input, signedValue), 0);
        VerifyInfoInput verify = VerifyRequest(input, sealData, signedValue);
        QCOMPARE(helper.Verify(verify), 0);

        if (change == QLatin1String("digest")) {
            verify.digest = sm3_digest_ByteArray(SampleSignatureXml() + ' ');
        } else if (change == QLatin1String("short digest")) {
            verify.digest.chop(1);
        } else if (change == QLatin1String("signature")) {
            verify.signedValue[verify.signedValue.size() - 1] = char(verify.signedValue.back() ^ 0x01);
        } else if (change == QLatin1String("tbs")) {
            // A byte of the document property inside the to-be-signed part.
            const int at = verify.signedValue.indexOf(QByteArray("/Doc_0/Signs"));
            QVERIFY(at > 0);
            verify.signedValue[at + 1] = 'E';
        } else if (change == QLatin1String("seal")) {
            QCOMPARE(helper.GetSeal(QString::fromUtf8(kSeals[1].id), verify.sealData), 0);
        } else if (change == QLatin1String("signer")) {
            const Sm2TestKey other(QStringLiteral("Someone Else"));
            SignedValueOptions options;
            options.seal = sealData;
            options.dataHash = input.digest;
            verify.signedValue = BuildSignedValue(options, other).data;
        } else if (change == QLatin1String("garbage")) {
            verify.signedValue = QByteArray("\x30\x03\x02\x01\x05", 5);
        } else {
            verify.signedValue.clear();
        }
        const int code = helper.Verify(verify);
        QVERIFY(code != 0);
        QVERIFY(code != 0x20000);
        QCOMPARE(helper.GetErrMessage(code), message);
    }

    void wrongPin()
    {
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        const int code = helper.Login(QStringLiteral("000000"));
        QVERIFY(code != 0 && code != 0x20000);
        QCOMPARE(helper.GetErrMessage(code), QStringLiteral("口令错误"));

        SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id));
        input.pin = QStringLiteral("135791");
        QByteArray signedValue;
        QCOMPARE(helper.Sign(input, signedValue), code);
        QVERIFY(signedValue.isEmpty());

        QCOMPARE(helper.Login(OESV2Helper::GetFixedPin()), 0);
        input.pin = OESV2Helper::GetFixedPin();
        QCOMPARE(helper.Sign(input, signedValue), 0);
        QVERIFY(!signedValue.isEmpty());
    }

    void signRefusals_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("message");
        QTest::newRow("other method") << "1.2.840.10045.4.3.2"
                                      << "2024-03-01 08:30:15"
                                      << "签名算法不支持";
        QTest::newRow("unreadable time") << kMethod << "yesterday"
                                         << "签章时间格式错误";
    }

    void signRefusals()
    {
        QFETCH(QString, method);
        QFETCH(QString, time);
        QFETCH(QString, message);
        OESV2Helper helper;
        QVERIFY(LoadProvider(helper));
        SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id), time);
        input.signMethod = method;
        QByteArray signedValue;
        const int code = helper.Sign(input, signedValue);
        QVERIFY(code != 0 && code != 0x20000);
        QVERIFY(signedValue.isEmpty());
        QCOMPARE(helper.GetErrMessage(code), message);
    }

    void editionsWithoutProvider_data()
    {
        QTest::addColumn<int>("edition");
        QTest::newRow("edition 0") << 0;
        QTest::newRow("edition 1") << 1;
    }

    void editionsWithoutProvider()
    {
        QFETCH(int, edition);
        EditionGuard guard(edition);
        const QTemporaryDir empty;
        EnvironmentGuard home("OESV2_HOME", empty.path());
        OESV2Helper helper;
        QVERIFY(helper.LoadDll_KingGrid());
        QVERIFY(!helper.IsLoaded());

        QString name, company, version, extend;
        QCOMPARE(helper.GetProviderInfo(name, company, version, extend), 0);
        QCOMPARE(name, QStringLiteral("name"));
        QCOMPARE(company, QStringLiteral("Company"));
        QCOMPARE(version, QStringLiteral("version"));
        QCOMPARE(extend, QStringLiteral("extend"));
        QCOMPARE(helper.Login(QStringLiteral("000000")), 0);

        QString method, time;
        QCOMPARE(helper.GetSignMethod(method), 0);
        QCOMPARE(method, kMethod);
        QCOMPARE(helper.GetSignDateTime(time), 0);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"))
                    .match(time)
                    .hasMatch());
        QVERIFY2(qAbs(ReadTime(time).secsTo(QDateTime::currentDateTime())) <= 2, qPrintable(time));

        // Signing answers the sample signed value, a GB/T 38540 value that passes the built-in check.
        SignInfoInput input = Request(QStringLiteral("any seal"), time);
        QByteArray signedValue;
        QCOMPARE(helper.Sign(input, signedValue), 0);
        QVERIFY(!signedValue.isEmpty());
        QCOMPARE(signedValue, OESV2Helper::GetSampleSignedValue());
        OfdSignedValue value;
        value.SetExpectedDigest(Base64Sm3(QByteArrayLiteral("OFD reader sample signed value")));
        QVERIFY(value.ParseData(signedValue));
        QCOMPARE(value.GetType(), 2);
        QVERIFY(value.CheckSignValue());
        OfdSignatureSeal seal;
        QVERIFY(seal.ParseSeal(value.GetSealData()));
        QVERIFY(seal.GetSealPicture() && !seal.GetSealPicture()->GetImage().isNull());

        // The provider's own operations still need a library.
        QByteArray list;
        QCOMPARE(helper.GetSealList(list), 0x20000);
        VerifyInfoInput verify = VerifyRequest(input, QByteArray(), signedValue);
        QCOMPARE(helper.Verify(verify), 0x20000);
        QCOMPARE(helper.GetErrMessage(0x20000), QString());
    }

    void editionsWithoutProviderIgnoreLoadedLibrary()
    {
        // Edition 1 answers the built-in values even with a library loaded by path.
        EditionGuard guard(1);
        OESV2Helper helper;
        QVERIFY(helper.LoadDll(kOesHome + QStringLiteral("/KingGrid/oes.dll")));
        QString name, company, version, extend;
        QCOMPARE(helper.GetProviderInfo(name, company, version, extend), 0);
        QCOMPARE(name, QStringLiteral("name"));
        // Seal list, seals and verification come from the library in every edition.
        QCOMPARE(helper.GetSealList().size(), 3);
        QCOMPARE(helper.Login(QStringLiteral("000000")), 0);
        SignInfoInput input = Request(QString::fromUtf8(kSeals[0].id));
        QByteArray sample;
        QCOMPARE(helper.Sign(input, sample), 0);
        QCOMPARE(sample, OESV2Helper::GetSampleSignedValue());
        VerifyInfoInput verify = VerifyRequest(input, QByteArray(), sample);
        const int code = helper.Verify(verify);
        QVERIFY(code != 0 && code != 0x20000);
        QCOMPARE(helper.GetErrMessage(code), QStringLiteral("数据摘要不一致"));
    }

    void v4Helper()
    {
        OESV4Helper helper;
        QString name, company, version, extend, list;
        QVERIFY(!helper.Init(QStringLiteral("/nonexistent/KingGrid/oes.dll")));
        QCOMPARE(helper.GetProviderInfo(name, company, version, extend), 0x20000);
        QCOMPARE(helper.GetSealList(list), 0x20000);

        QVERIFY(helper.Init(kOesHome + QStringLiteral("/KingGrid/oes.dll")));
        QCOMPARE(helper.GetProviderInfo(name, company, version, extend), 0);
        QCOMPARE(name, QStringLiteral("OFD阅读器测试印章服务"));
        QCOMPARE(version, QStringLiteral("1.0.0"));
        QCOMPARE(helper.GetSealList(list), 0);
        QStringList texts = list.split(QChar(0));
        QCOMPARE(texts.takeLast(), QString());
        QCOMPARE(texts.size(), 6);
        QCOMPARE(texts.at(0), QString::fromUtf8(kSeals[0].id));
        QCOMPARE(texts.at(5), QString::fromUtf8(kSeals[2].name));
    }
};

QTEST_MAIN(TestOesV2Helper)
#include "test_oesv2helper.moc"
