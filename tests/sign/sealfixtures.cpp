#include "sign/sealfixtures.h"

#include "packagebuilder.h"

#include <cstdio>

namespace SealFixtures {

QByteArray OfdPackageBytes(int pages)
{
    return PackageBuilder::MinimalOfd(pages).Build();
}

SealOptions OfdPictureSealOptions(int type, int pages)
{
    SealOptions options;
    options.type = type;
    options.pictureType = QStringLiteral("ofd");
    options.pictureData = OfdPackageBytes(pages);
    return options;
}

QByteArray SampleSignatureXml()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ofd:Signature xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:SignedInfo>"
        "<ofd:Provider ProviderName=\"providerName\" Company=\"company\" Version=\"2.0\"/>"
        "<ofd:SignatureMethod>1.2.156.10197.1.501</ofd:SignatureMethod>"
        "<ofd:SignatureDateTime>20240301083015</ofd:SignatureDateTime>"
        "<ofd:References CheckMethod=\"1.2.156.10197.1.401\">"
        "<ofd:Reference FileRef=\"/Doc_0/Pages/Page_0/Content.xml\">"
        "<ofd:CheckValue>AAAA</ofd:CheckValue></ofd:Reference></ofd:References>"
        "<ofd:StampAnnot PageRef=\"1\" ID=\"s2\" Boundary=\"10 10 40 40\"/>"
        "</ofd:SignedInfo><ofd:SignedValue>/Doc_0/Signs/Sign_0/SignedValue.dat</ofd:SignedValue>"
        "</ofd:Signature>");
}

namespace {
void DropMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(context)
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

QuietLog::QuietLog() : m_previous(qInstallMessageHandler(DropMessage)) {}

QuietLog::~QuietLog()
{
    qInstallMessageHandler(m_previous);
}

} // namespace SealFixtures
