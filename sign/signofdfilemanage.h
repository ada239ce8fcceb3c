#pragma once

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

class OfdFileReader;
class SameSealGroup;
class SealSignInfo;

// Signs a document with every seal placed on it: one signature per distinct seal, each pass working
// on the package the pass before produced, so a later signature covers the earlier ones.
class SignOfdFileManage
{
public:
    void SetFileReader(const QSharedPointer<OfdFileReader> &reader) { m_reader = reader; }
    // Runs the signing; false with GetErrorMessage() set when any pass fails (nothing is produced then).
    bool SetSignInfo(const QList<QSharedPointer<SealSignInfo>> &seals);
    QByteArray GetSignedOfdFile() const { return m_signed; }
    const QString &GetErrorMessage() const { return m_error; }

    // Groups placements by seal: each goes into the first group whose first seal is the same seal, or
    // into a new group at the end.
    static QList<QSharedPointer<SameSealGroup>>
    ClassifySeal(const QList<QSharedPointer<SealSignInfo>> &seals);

private:
    QSharedPointer<OfdFileReader> m_reader;
    QByteArray m_signed;
    QString m_error;
};
