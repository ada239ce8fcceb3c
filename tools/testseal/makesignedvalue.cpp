// Writes the sample signed value that the reader answers for signing outside edition 2: an SES_Signature
// of GB/T 38540-2020 made with the test provider's fixed key over a fixed digest, checked before it is
// written. Usage: ofd_make_signedvalue <output file>

#include "sign/ofdsignedvalue.h"
#include "tools/testseal/testseal.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

using namespace TestSeal;

int main(int argc, char *argv[])
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Sm2TestKey key(ProviderKeyPem(), ProviderCertificatePem());
    if (!key.IsValid()) {
        fprintf(stderr, "the provider key cannot be read\n");
        return 1;
    }

    SealOptions seal;
    seal.esId = QStringLiteral("SAMPLESEAL0001");
    seal.sealName = QStringLiteral("样例印章");
    seal.pictureData = SealPicturePng(SealPictureStyle::Round);
    seal.pictureWidth = 40;
    seal.pictureHeight = 40;

    SignedValueOptions options;
    options.seal = BuildSeal(seal, key).data;
    options.dataHash = Sm3(QByteArrayLiteral("OFD reader sample signed value"));
    options.signTime = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
    options.propertyInfo = QStringLiteral("/Doc_0/Signs/Sign_0/Signature.xml");
    const BuiltSignedValue built = BuildSignedValue(options, key);

    OfdSignedValue check;
    check.SetExpectedDigest(QString::fromLatin1(options.dataHash.toBase64()));
    if (!check.ParseData(built.data) || check.GetType() != 2 || !check.CheckSignValue()) {
        fprintf(stderr, "the signed value does not pass the check\n");
        return 1;
    }

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(built.data) != built.data.size()) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    printf("%d bytes written\n", int(built.data.size()));
    return 0;
}
