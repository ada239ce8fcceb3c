#include "sign/sm3.h"

#include <QRandomGenerator>
#include <QtTest>

#include <openssl/evp.h>

namespace {

QByteArray OpenSslSm3(const QByteArray &data)
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_Digest(data.constData(), size_t(data.size()), md, &length, EVP_sm3(), nullptr))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(md), int(length));
}

QByteArray RandomBytes(QRandomGenerator &rng, int length)
{
    QByteArray out(length, '\0');
    for (int i = 0; i < length; ++i)
        out[i] = char(rng.bounded(256));
    return out;
}

} // namespace

class TestSm3 : public QObject
{
    Q_OBJECT

private slots:
    void publishedExamples_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("digestHex");
        QTest::newRow("abc") << QByteArray("abc")
                             << QByteArray(
                                    "66c7f0f462eeedd9d1f2d46bdc10e4e24167c4875cf2f7a2297da02b8f4ba8e0");
        QTest::newRow("abcd x16") << QByteArray("abcd").repeated(16)
                                  << QByteArray(
                                         "debe9ff92275b8a138604889c18e5a4d6fdb70e5387e5765293dcba39c0c5732");
    }
    void publishedExamples()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, digestHex);
        QCOMPARE(sm3_digest_ByteArray(input).toHex(), digestHex);

        unsigned char out[32];
        sm3(reinterpret_cast<const unsigned char *>(input.constData()), input.size(), out);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(out), 32).toHex(), digestHex);
    }

    void base64Form()
    {
        const QString text = sm3_digest_base64("abc");
        QCOMPARE(text.size(), 44);
        QVERIFY(text.endsWith(QLatin1Char('=')) && !text.endsWith(QLatin1String("==")));
        QCOMPARE(text, QStringLiteral("Zsfw9GLu7dnR8tRr3BDk4kFnxIdc8veiKX2gK49LqOA="));
    }

    // Every length across the block and padding boundaries, many inputs each.
    void matchesOpenSslOnRandomInputs()
    {
        QRandomGenerator rng(3290516);
        int checked = 0;
        for (int length = 0; length <= 300; ++length) {
            for (int round = 0; round < 12; ++round) {
                const QByteArray data = RandomBytes(rng, length);
                const QByteArray expected = OpenSslSm3(data);
                QCOMPARE(expected.size(), 32);
                if (sm3_digest_ByteArray(data) != expected)
                    QFAIL(qPrintable(
                        QStringLiteral("length %1: %2").arg(length).arg(QLatin1String(data.toHex()))));
                ++checked;
            }
        }
        QCOMPARE(checked, 301 * 12);
    }

    void stepwiseEqualsOneShot()
    {
        QRandomGenerator rng(77);
        for (int round = 0; round < 300; ++round) {
            const QByteArray data = RandomBytes(rng, rng.bounded(700));
            sm3_context ctx;
            sm3_starts(&ctx);
            int pos = 0;
            while (pos < data.size()) {
                const int step = qMin(data.size() - pos, rng.bounded(1, 130));
                sm3_update(&ctx, reinterpret_cast<const unsigned char *>(data.constData()) + pos, step);
                pos += step;
            }
            unsigned char out[32];
            sm3_finish(&ctx, out);
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(out), 32), OpenSslSm3(data));
        }
    }

    void largeInput()
    {
        QRandomGenerator rng(5);
        const QByteArray data = RandomBytes(rng, 3 * 1024 * 1024 + 17);
        QCOMPARE(sm3_digest_ByteArray(data), OpenSslSm3(data));
    }
};

QTEST_APPLESS_MAIN(TestSm3)
#include "test_sm3.moc"
