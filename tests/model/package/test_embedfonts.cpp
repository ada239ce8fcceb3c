#include <QtTest>

#include <QFontDatabase>

#include "model/package/ofdembedfilemanage.h"
#include "model/package/ofdfilereader.h"
#include "packagebuilder.h"

// Registering fonts embedded in a package with the font system.
class TestEmbedFonts : public QObject
{
    Q_OBJECT
private slots:
    void realFontIsRegisteredOnceAndRemoved();
    void notAFontIsReportedOnce();
    void missingFileGivesEmptyFamily();

private:
    static QByteArray SystemFont();
};

QByteArray TestEmbedFonts::SystemFont()
{
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestEmbedFonts::realFontIsRegisteredOnceAndRemoved()
{
    const QByteArray font = SystemFont();
    if (font.isEmpty())
        QSKIP("DejaVu Sans is not installed");
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder().Add(QStringLiteral("Doc_0/Res/font_1.ttf"), font).Build()));

    int id = -1;
    {
        OfdEmbedFileManage fonts;
        fonts.SetOfdFile(&reader);
        QCOMPARE(fonts.GetFontFromEmbedFile(QStringLiteral("Doc_0/Res/font_1.ttf")),
                 QStringLiteral("DejaVu Sans"));
        const EmbedFontInfo *info = fonts.GetFontInfo(QStringLiteral("Doc_0/Res/font_1.ttf"));
        QVERIFY(info);
        id = info->fontId;
        QVERIFY(id != -1);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList(QStringLiteral("DejaVu Sans")));
        // Asked again: the same registration.
        QCOMPARE(fonts.GetFontFromEmbedFile(QStringLiteral("Doc_0/Res/font_1.ttf")),
                 QStringLiteral("DejaVu Sans"));
        QCOMPARE(fonts.GetFontInfo(QStringLiteral("Doc_0/Res/font_1.ttf"))->fontId, id);
    }
    QVERIFY(QFontDatabase::applicationFontFamilies(id).isEmpty());
}

void TestEmbedFonts::notAFontIsReportedOnce()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(
        PackageBuilder().Add(QStringLiteral("Doc_0/Res/font_2.ttf"), "this is not a font").Build()));
    OfdEmbedFileManage fonts;
    fonts.SetOfdFile(&reader);

    static int failures = 0;
    failures = 0;
    QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            if (text.startsWith(QLatin1String("load font file fail:")))
                ++failures;
        });
    const QString first = fonts.GetFontFromEmbedFile(QStringLiteral("Doc_0/Res/font_2.ttf"));
    const QString second = fonts.GetFontFromEmbedFile(QStringLiteral("Doc_0/Res/font_2.ttf"));
    qInstallMessageHandler(previous);

    QVERIFY(first.isEmpty());
    QVERIFY(second.isEmpty());
    QCOMPARE(failures, 1);
    QCOMPARE(fonts.GetFontInfo(QStringLiteral("Doc_0/Res/font_2.ttf"))->fontId, -1);
}

void TestEmbedFonts::missingFileGivesEmptyFamily()
{
    OfdFileReader reader;
    QVERIFY(reader.Open(PackageBuilder().Add(QStringLiteral("x"), "x").Build()));
    OfdEmbedFileManage fonts;
    fonts.SetOfdFile(&reader);
    QVERIFY(fonts.GetFontFromEmbedFile(QStringLiteral("Doc_0/Res/none.ttf")).isEmpty());
    QVERIFY(fonts.GetFontInfo(QStringLiteral("Doc_0/Res/none.ttf")));
    OfdEmbedFileManage detached;
    QVERIFY(detached.GetFontFromEmbedFile(QStringLiteral("a.ttf")).isEmpty());
}

QTEST_MAIN(TestEmbedFonts)
#include "test_embedfonts.moc"
