#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

#include "model/xml/ofdxml.h"

class OfdContentSource;
class OfdSignatureSeal;
class OfdSignatureVerdict;
class OfdSignedValue;
class OfdXmlSignature;
class OfdXmlSignatureManage;

// One entry of the signature list: its ID as written and the package path of its Signature.xml.
class OfdDataSignature
{
public:
    void SetParent(OfdXmlSignatureManage *parent) { m_parent = parent; }
    OfdXmlSignatureManage *GetParent() const { return m_parent; }
    QString id;
    QString type;    // "Seal" or "Sign" as written; empty when absent
    QString baseLoc; // resolved package path

private:
    OfdXmlSignatureManage *m_parent = nullptr;
};

// The provider record of a signature description.
struct OfdSignatureProvider
{
    QString company;
    QString version;
    QString providerName;
};

// One referenced package file with its stored and recomputed SM3 check values.
class OfdSignatureReference
{
public:
    enum EN_CheckState
    {
        State_NotChecked = 0,
        State_Match = 1,
        State_Differs = 2,
        State_Missing = 3, // the file is missing or empty
    };
    QString fileRef;       // resolved package path
    QString checkValue;    // stored, Base64
    QString computedValue; // Base64 of the SM3 digest, filled by the check
    int state = State_NotChecked;
};

// The references of a signature description and the method of their check values.
class OfdSignatureReferenceManage
{
public:
    explicit OfdSignatureReferenceManage(OfdXmlSignature *owner) : m_owner(owner) {}
    // The check values are SM3 digests: "1.2.156.10197.1.401" or "sm3" in any case.
    bool IsSm3() const;
    // References read from one description at most; a description with more cannot pass the check.
    static const int kMaxReferences = 20000;
    QString checkMethod;
    QList<OfdSignatureReference> references;
    bool truncated = false; // more references than kMaxReferences were listed
    OfdXmlSignature *GetOwner() const { return m_owner; }

private:
    OfdXmlSignature *m_owner;
};

// Where a seal of a signature appears: on the page with the object ID PageRef, in Boundary (x y w h,
// millimetres, page coordinates), cut to Clip for a part of a seal across pages. Kept as written.
struct OfdSignatureStampAnnot
{
    QString boundary;
    QString pageRef;
    QString id;
    QString clip;
};

// One signature description (Signature.xml) with its decoded seal and signed value and the outcome
// of the built-in checks.
class OfdXmlSignature : public OfdXml
{
public:
    OfdXmlSignature();
    ~OfdXmlSignature() override;

    void SetOfdFile(OfdContentSource *document) { m_document = document; }
    void SetData(OfdXmlSignatureManage *list, OfdDataSignature *entry);
    // Reads and parses the description, then decodes its seal and signed value.
    void ParseData();
    // Parses description bytes (also for tests); the path of the description must be set.
    void ParseXml(const QByteArray &bytes);

    OfdDataSignature *GetDataSignature() const { return m_entry; }
    const QByteArray &GetXmlBytes() const { return m_bytes; }
    const QString &GetSignatureMethod() const { return m_method; }
    const QString &GetSignatureDateTime() const { return m_dateTime; }
    const QString &GetSealPath() const { return m_sealPath; }
    const QString &GetSignedValuePath() const { return m_signedValuePath; }
    const OfdSignatureProvider *GetProvider() const { return m_provider.get(); }
    OfdSignatureReferenceManage &GetReferences() { return m_references; }
    const QList<OfdSignatureStampAnnot> &GetStampAnnots() const { return m_stamps; }

    int GetStampAnnot(const QString &page, QList<const OfdSignatureStampAnnot *> &out) const;
    bool ContainStampAnnot(const QString &page) const;

    // The seal: its own file when the description names one, else the seal inside the signed value.
    QByteArray GetSealData();
    bool ParseSealData();
    bool ParseSignData();
    OfdSignatureSeal *GetSeal() const { return m_seal.get(); }
    OfdSignedValue *GetSignedValue() const { return m_signedValue.get(); }

    // Recomputes the check values of the references; false when any differs or is missing, or the
    // method is not SM3. States persist: files are read once.
    bool CheckSm3();
    // The signed value decoded and its signature verifies.
    bool CheckSignValue();
    // The signed value was read and its data hash equals the digest of this description.
    bool IsDataHashMatch() const;
    // The signer named by the signed value's certificate, also when the checks failed; empty when
    // there is no readable certificate.
    QString GetSignerName() const;
    // Package paths of the references whose check failed.
    QStringList GetFailedReferences() const;
    // The bytes of the signed-value file; empty when absent.
    QByteArray GetSignedValueBytes() const { return ReadFile(m_signedValuePath); }
    // The bytes of the separate seal file the description names; empty when it names none.
    QByteArray GetSealFileBytes() const { return ReadFile(m_sealPath); }
    // "Seal" or "Sign" from the signature list entry.
    QString GetSignatureType() const;

    // The verdict over every check against the process-wide trust anchors; computed once and again
    // after the anchors changed.
    const OfdSignatureVerdict &GetVerdict();
    // Covered files this session wrote over the opened package (an annotation save): the bytes still
    // read are the opened ones, yet the file on disk no longer holds them. Computes the verdict again.
    void SetChangedSinceOpen(const QStringList &paths);
    QStringList GetChangedSinceOpen() const { return m_changedSinceOpen; }

    // 1 GM/T 0031-2014, 2 GB/T 38540-2020, 0 no signed value decoded.
    int GetSignDataType() const;
    QString GetSignDataTypeDes() const;
    static QString GetSignDataTypeDes(int type);

    static QByteArray sm3_digest(const QByteArray &bytes);

private:
    QByteArray ReadFile(const QString &path) const;

    OfdContentSource *m_document = nullptr;
    OfdXmlSignatureManage *m_list = nullptr;
    OfdDataSignature *m_entry = nullptr;
    QByteArray m_bytes;
    QString m_method;
    QString m_dateTime;
    QString m_sealPath;
    QString m_signedValuePath;
    std::unique_ptr<OfdSignatureProvider> m_provider;
    OfdSignatureReferenceManage m_references{this};
    QList<OfdSignatureStampAnnot> m_stamps;
    std::unique_ptr<OfdSignatureSeal> m_seal;
    std::unique_ptr<OfdSignedValue> m_signedValue;
    bool m_signedValueTried = false;
    std::unique_ptr<OfdSignatureVerdict> m_verdict;
    int m_verdictGeneration = -1;
    QStringList m_changedSinceOpen;
};
