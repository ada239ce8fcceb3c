#pragma once

#include "sign/ans1reader.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Asn1Object;
class OfdSealPicture;

// An electronic seal (SES_Seal) of GM/T 0031-2014 (type 1) or GB/T 38540-2020 (type 2): its decoded tree,
// its fields as text and its picture, which it owns.
class OfdSignatureSeal
{
public:
    OfdSignatureSeal() = default;
    ~OfdSignatureSeal();

    // Keeps the bytes, decodes them, detects the standard and reads the picture; the result is that of
    // ParseSealImage. Undecodable bytes give false, type 0, empty fields and no picture.
    bool ParseSeal(const QByteArray &data);
    // Builds the picture from the four picture fields; false, and no picture, when one is missing or of
    // another type. True once the fields are read, whether or not an image could be made from them.
    bool ParseSealImage();

    // 1 for GM/T 0031-2014, 2 for GB/T 38540-2020 (the outer SEQUENCE has a fourth element), 0 undecoded.
    int GetType() const { return m_type; }
    bool IsDataOK() const { return m_type != 0; }
    QByteArray GetSealData() const { return m_data; }
    // The picture, owned by the seal; null when there is none.
    OfdSealPicture *GetSealPicture() const { return m_picture; }

    // Seal fields as text; empty when absent. Dates read "yyyy-MM-dd hh:mm:ss", eight hours ahead of UTC.
    QString GetVid() const;
    QString GetEsID() const;
    QString GetSealType() const;
    QString GetSealName() const;
    QString GetSealCreateDate() const;
    QString GetSealValidStart() const;
    QString GetSealValidEnd() const;
    // The validity period in UTC; invalid when the field is absent or not a time.
    QDateTime GetSealValidFrom() const;
    QDateTime GetSealValidTo() const;

    // The maker's certificate (DER) and signature over the seal information.
    QByteArray GetMakerCertificate() const;
    enum EN_MakerCheck
    {
        Maker_Valid = 0,
        Maker_Invalid = 1,     // the maker's signature does not verify
        Maker_Unreadable = 2,  // no maker certificate or signature to check
        Maker_Unsupported = 3, // a signature algorithm other than SM2
    };
    // Verifies the maker's SM2 signature with the key of the maker certificate the seal carries, over the
    // seal information alone or followed by the certificate and algorithm (as one SEQUENCE or as they
    // stand): real seals of both standards are signed in each of these ways.
    int CheckMakerSignature() const;

    // ToString() of the typed value of a node; empty (with a diagnostic) when there is none.
    QString GetNodeText(const QString &id) const;
    // An INTEGER node as decimal text; empty when absent or not an INTEGER.
    QString GetNodeInt(const QString &id) const;
    // A new typed value of the node, owned by the caller, valid while this seal lives; null when the
    // seal is not decoded, the node is absent or its kind is not known.
    Asn1Object *GetAsn1Object(const QString &id) const;

private:
    Q_DISABLE_COPY(OfdSignatureSeal)

    QByteArray m_data;
    Ans1Reader m_reader;
    int m_type = 0;
    OfdSealPicture *m_picture = nullptr;
};
