#pragma once

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

#include <memory>

#include "sign/oesv2helper.h"
#include "sign/ofdsignaturewriter.h"

class OfdFileInfoDetail;
class OfdFileParseManage;
class OfdFileReader;
class SealSignInfo;
class XmlNode;

// One signing pass: the placements of one seal are signed into a package as one new signature, and
// the package is rebuilt with it. The package read is never changed; the pass works on a copy of its
// file list.
class SignOfdFile
{
public:
    SignOfdFile();
    ~SignOfdFile();
    SignOfdFile(const SignOfdFile &) = delete;
    SignOfdFile &operator=(const SignOfdFile &) = delete;

    void SetSealData(const QByteArray &seal) { m_sealData = seal; }
    void SetFileReader(const QSharedPointer<OfdFileReader> &reader) { m_reader = reader; }
    void SetSignInfo(const QList<QSharedPointer<SealSignInfo>> &seals) { m_seals = seals; }
    // The ofd:Provider attributes of the new signature ("company", "2.0", "providerName" by default).
    void SetProvider(const QString &company, const QString &version, const QString &providerName);

    // Runs the pass; false with GetErrorMessage() set when the signature cannot be made.
    bool SignFile();
    // The package with the new signature; empty before a successful SignFile or when packing fails.
    QByteArray GetSignedOfdFile();
    // What stopped the pass, as the user is told; empty after success.
    const QString &GetErrorMessage() const { return m_error; }

    // Builds the Signature.xml for the signature at path (package path with a leading "/"): stores
    // the seal beside it, references every file of the list, adds the stamps. signedValuePath
    // receives the location of its signed value.
    bool CreateSignature(const QString &path, QByteArray &xml, QString &signedValuePath);
    // Appends the stamp annotations of the group's placements to a SignedInfo element.
    void CreateStampAnnot(XmlNode *signedInfo);
    // The signed value for the filled input: the provider's in edition 2, a sample otherwise; empty
    // when the provider refuses (the reason in GetErrorMessage()).
    QByteArray CreateSignedValueData(SignInfoInput &input);
    // The next identifier of the signature list being edited.
    QString GetNextSignId();

    // The stamps of the group's placements in millimetres on the pages of the first document, in
    // placement order (a seal across pages gives one per page). Needs the file list of SignFile.
    QList<SignatureStampInput> GetStampInputs() const;
    // The files of the edited list, new ones included, in package order.
    const QList<QSharedPointer<OfdFileInfoDetail>> &GetFileList() const { return m_files; }

private:
    // Page content files of the first document in page order.
    QList<QSharedPointer<OfdFileInfoDetail>> GetPages() const;
    QSharedPointer<OfdFileInfoDetail> FindFile(int type) const;
    // Adds a file of the given kind to the list, replacing a file under the same path.
    void PutFile(const QString &path, int type, const QByteArray &content);
    bool PrepareSignatureList();
    QString ProviderMessage(int code);

    QByteArray m_sealData;
    QSharedPointer<OfdFileReader> m_reader;
    QList<QSharedPointer<SealSignInfo>> m_seals;
    std::unique_ptr<OfdFileParseManage> m_parse;
    QList<QSharedPointer<OfdFileInfoDetail>> m_files;
    std::unique_ptr<XmlNode> m_signatureList;
    QString m_signatureListPath; // package path, no leading "/"
    std::unique_ptr<OESV2Helper> m_oes;
    SignInfoInput m_signInput;
    QString m_company = QStringLiteral("company");
    QString m_version = QStringLiteral("2.0");
    QString m_providerName = QStringLiteral("providerName");
    QString m_error;
    bool m_signed = false;
};
