#pragma once

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

#include <memory>

class OESV2Helper;
class OfdFileInfoDetail;
class OfdFileParseManage;
class OfdFileReader;

// The outcome of the provider's verification of one signature.
struct VerifySignResult
{
    enum EN_State
    {
        State_Verified = 0,
        State_Unreadable = 1, // the signature description could not be read
        State_Refused = 2,    // the provider reported a failure
        State_Changed = 3,    // a referenced file changed, or the seal file is not the seal that was signed
    };
    int state = State_Verified;
    QString message;
    QString signaturePath; // package path of the Signature.xml
};

// The outcome for a whole file, one result per signature in package order.
struct VerifyOfdResult
{
    enum EN_State
    {
        State_AllVerified = 0,
        State_NoSignature = 1,
        State_Failed = 2,
    };
    int state = State_AllVerified;
    QString message;
    QList<VerifySignResult> signatures;
};

// Verifies every signature of a package through the seal provider's verification function, after our
// own check that the referenced files are unchanged and that a separate seal file is the signed seal.
class VerifyOfdFile
{
public:
    VerifyOfdFile();
    ~VerifyOfdFile();
    VerifyOfdFile(const VerifyOfdFile &) = delete;
    VerifyOfdFile &operator=(const VerifyOfdFile &) = delete;

    QSharedPointer<VerifyOfdResult> VerifyFile(const QByteArray &package);
    QSharedPointer<VerifyOfdResult> VerifyFile(const QSharedPointer<OfdFileReader> &reader);
    VerifySignResult VerifySignature(const QSharedPointer<OfdFileInfoDetail> &signature);
    // The package file at path, retried with the other slash form.
    QByteArray GetFileContent(const QString &path);
    // The seal carried inside a signed value.
    static QByteArray GetSealData(const QByteArray &signedValue);

private:
    std::unique_ptr<OESV2Helper> m_oes;
    QSharedPointer<OfdFileReader> m_reader;
    std::unique_ptr<OfdFileParseManage> m_files;
};
