#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The certificates the user trusts to vouch for signers: DER or PEM files in the trust folders. A
// certificate listed here may be a root, an intermediate or a signer itself.
class OfdTrustStore
{
public:
    // Files read per folder and the size of one file, so that a crowded folder cannot stall loading.
    static const int kMaxFiles = 512;
    static const int kMaxFileSize = 1 << 20;

    // $XDG_CONFIG_HOME/ofdreader/trust (~/.config/ofdreader/trust when unset) and /etc/ofdreader/trust.
    static QStringList DefaultDirectories();
    // The process-wide store, filled from the default folders on first use.
    static OfdTrustStore &Default();

    // Reads every certificate of the folder's files; how many were added.
    int AddDirectory(const QString &path);
    // A DER certificate, or PEM text with one or more certificates; how many were added.
    int AddCertificateData(const QByteArray &data);
    void Clear()
    {
        m_certificates.clear();
        ++m_generation;
    }
    // DER certificates, each once.
    const QList<QByteArray> &GetCertificates() const { return m_certificates; }
    // Counts changes, so that verdicts computed against an older content can be recomputed.
    int GetGeneration() const { return m_generation; }

private:
    bool AddDer(const QByteArray &der);

    QList<QByteArray> m_certificates;
    int m_generation = 0;
};
