#include "sign/ofdtruststore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "sign/ofdx509certificate.h"

QStringList OfdTrustStore::DefaultDirectories()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is to be ignored, as the XDG base directory rules say.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return {config + QStringLiteral("/ofdreader/trust"), QStringLiteral("/etc/ofdreader/trust")};
}

OfdTrustStore &OfdTrustStore::Default()
{
    static OfdTrustStore *store = [] {
        auto *made = new OfdTrustStore;
        for (const QString &dir : DefaultDirectories())
            made->AddDirectory(dir);
        return made;
    }();
    return *store;
}

int OfdTrustStore::AddDirectory(const QString &path)
{
    const QFileInfoList files =
        QDir(path).entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    int added = 0;
    for (int i = 0; i < files.size() && i < kMaxFiles; ++i) {
        if (files[i].size() > kMaxFileSize)
            continue;
        QFile file(files[i].absoluteFilePath());
        if (file.open(QIODevice::ReadOnly))
            added += AddCertificateData(file.read(kMaxFileSize));
    }
    return added;
}

int OfdTrustStore::AddCertificateData(const QByteArray &data)
{
    static const QRegularExpression pem(
        QStringLiteral("-----BEGIN (?:X509 |TRUSTED )?CERTIFICATE-----([A-Za-z0-9+/=\\s]*)-----END "
                       "(?:X509 |TRUSTED )?CERTIFICATE-----"));
    if (!data.contains("-----BEGIN"))
        return AddDer(data) ? 1 : 0;
    int added = 0;
    auto matches = pem.globalMatch(QString::fromLatin1(data));
    while (matches.hasNext()) {
        const QString base64 = matches.next().captured(1).remove(QRegularExpression(QStringLiteral("\\s")));
        added += AddDer(QByteArray::fromBase64(base64.toLatin1())) ? 1 : 0;
    }
    return added;
}

bool OfdTrustStore::AddDer(const QByteArray &der)
{
    OfdX509Certificate certificate;
    if (der.isEmpty() || !certificate.ParseData(der) || certificate.GetSubjectData().isEmpty() ||
        m_certificates.contains(der))
        return false;
    m_certificates.append(der);
    ++m_generation;
    return true;
}
