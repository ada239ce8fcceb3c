#include "sign/ofdxmlsignature.h"

#include <QXmlStreamReader>

#include "model/package/ofdcontentsource.h"
#include "model/xml/ofdxmlstreamreader.h"
#include "model/xml/ofdxmlstreamstep.h"
#include "sign/ofdsignatureseal.h"
#include "sign/ofdsignatureverdict.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdtruststore.h"
#include "sign/ofdx509certificate.h"
#include "sign/ofdxmlsignaturemanage.h"
#include "sign/sm3.h"

namespace {
QString Attr(QXmlStreamReader &reader, const char *name)
{
    return reader.attributes().value(QLatin1String(name)).toString();
}

// Text of the first child element of the element the reader is on; consumes the element.
QString FirstChildText(QXmlStreamReader &reader)
{
    QString text;
    bool found = false;
    while (reader.readNextStartElement()) {
        if (!found) {
            text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            found = true;
        } else {
            reader.skipCurrentElement();
        }
    }
    return text;
}
} // namespace

bool OfdSignatureReferenceManage::IsSm3() const
{
    return checkMethod == QLatin1String("1.2.156.10197.1.401") ||
           checkMethod.toLower() == QLatin1String("sm3");
}

OfdXmlSignature::OfdXmlSignature() = default;
OfdXmlSignature::~OfdXmlSignature() = default;

void OfdXmlSignature::SetData(OfdXmlSignatureManage *list, OfdDataSignature *entry)
{
    m_list = list;
    m_entry = entry;
    if (entry)
        SetOfdFilePath(entry->baseLoc);
}

QByteArray OfdXmlSignature::ReadFile(const QString &path) const
{
    return m_document && !path.isEmpty() ? m_document->GetOfdFileContent(path) : QByteArray();
}

void OfdXmlSignature::ParseData()
{
    const QByteArray bytes = m_entry ? ReadFile(m_entry->baseLoc) : QByteArray();
    if (bytes.isEmpty())
        return;
    ParseXml(bytes);
    ParseSealData();
    ParseSignData();
}

void OfdXmlSignature::ParseXml(const QByteArray &bytes)
{
    m_bytes = bytes;
    OfdXmlStreamReader reader(bytes);
    OfdXmlStreamStep step(reader, QStringLiteral("Signature*:"));
    while (step.Next()) {
        const int depth = step.GetDepth();
        if (depth == 2 && step.IsAt(2, QLatin1String(":SignedValue"))) {
            m_signedValuePath = GetOfdFullPath(step.ReadText().trimmed());
        } else if (depth == 3) {
            if (step.IsAt(3, QLatin1String(":Provider"))) {
                m_provider = std::make_unique<OfdSignatureProvider>();
                m_provider->company = Attr(reader, "Company");
                m_provider->version = Attr(reader, "Version");
                m_provider->providerName = Attr(reader, "ProviderName");
                step.Skip();
            } else if (step.IsAt(3, QLatin1String(":SignatureMethod"))) {
                m_method = step.ReadText().trimmed();
            } else if (step.IsAt(3, QLatin1String(":SignatureDateTime"))) {
                m_dateTime = step.ReadText().trimmed();
            } else if (step.IsAt(3, QLatin1String(":References"))) {
                m_references.checkMethod = Attr(reader, "CheckMethod");
                while (reader.readNextStartElement()) {
                    if (reader.qualifiedName().endsWith(QLatin1String(":Reference")) &&
                        m_references.references.size() >= OfdSignatureReferenceManage::kMaxReferences) {
                        m_references.truncated = true;
                        reader.skipCurrentElement();
                    } else if (reader.qualifiedName().endsWith(QLatin1String(":Reference"))) {
                        OfdSignatureReference reference;
                        reference.fileRef = GetOfdFullPath(Attr(reader, "FileRef").trimmed());
                        reference.checkValue = FirstChildText(reader);
                        m_references.references.append(reference);
                    } else {
                        reader.skipCurrentElement();
                    }
                }
                step.Consumed();
            } else if (step.IsAt(3, QLatin1String(":Seal"))) {
                const QString loc = FirstChildText(reader);
                m_sealPath = loc.isEmpty() ? QString() : GetOfdFullPath(loc);
                step.Consumed();
            } else if (step.IsAt(3, QLatin1String(":StampAnnot"))) {
                OfdSignatureStampAnnot stamp;
                stamp.boundary = Attr(reader, "Boundary");
                stamp.pageRef = Attr(reader, "PageRef");
                stamp.id = Attr(reader, "ID");
                stamp.clip = Attr(reader, "Clip");
                m_stamps.append(stamp);
                step.Skip();
            } else {
                step.Skip();
            }
        }
        // Elements at other depths are walked through.
    }
}

int OfdXmlSignature::GetStampAnnot(const QString &page, QList<const OfdSignatureStampAnnot *> &out) const
{
    int added = 0;
    for (const OfdSignatureStampAnnot &stamp : m_stamps) {
        if (stamp.pageRef == page) {
            out.append(&stamp);
            ++added;
        }
    }
    return added;
}

bool OfdXmlSignature::ContainStampAnnot(const QString &page) const
{
    for (const OfdSignatureStampAnnot &stamp : m_stamps) {
        if (stamp.pageRef == page)
            return true;
    }
    return false;
}

QByteArray OfdXmlSignature::GetSealData()
{
    if (!m_sealPath.isEmpty())
        return ReadFile(m_sealPath);
    if (!m_signedValue)
        ParseSignData();
    return m_signedValue ? m_signedValue->GetSealData() : QByteArray();
}

bool OfdXmlSignature::ParseSealData()
{
    const QByteArray bytes = GetSealData();
    if (bytes.isEmpty())
        return false;
    m_seal = std::make_unique<OfdSignatureSeal>();
    return m_seal->ParseSeal(bytes);
}

bool OfdXmlSignature::ParseSignData()
{
    if (m_signedValue)
        return m_signedValue->GetDecodeResult();
    if (m_signedValueTried || m_signedValuePath.isEmpty())
        return false;
    m_signedValueTried = true;
    const QByteArray bytes = ReadFile(m_signedValuePath);
    if (bytes.isEmpty())
        return false;
    m_signedValue = std::make_unique<OfdSignedValue>();
    m_signedValue->SetExpectedDigest(QString::fromLatin1(sm3_digest(m_bytes).toBase64()));
    m_signedValue->ParseData(bytes);
    return m_signedValue->GetDecodeResult();
}

bool OfdXmlSignature::CheckSm3()
{
    if (!m_references.IsSm3() || m_references.truncated)
        return false;
    bool result = true;
    for (OfdSignatureReference &reference : m_references.references) {
        if (reference.state == OfdSignatureReference::State_NotChecked) {
            const QByteArray bytes = ReadFile(reference.fileRef);
            if (bytes.isEmpty()) {
                reference.state = OfdSignatureReference::State_Missing;
            } else {
                reference.computedValue = QString::fromLatin1(sm3_digest(bytes).toBase64());
                reference.state = reference.computedValue == reference.checkValue
                                      ? OfdSignatureReference::State_Match
                                      : OfdSignatureReference::State_Differs;
            }
        }
        if (reference.state != OfdSignatureReference::State_Match)
            result = false;
    }
    return result;
}

bool OfdXmlSignature::CheckSignValue()
{
    if (!m_signedValue || !m_signedValue->GetDecodeResult())
        return false;
    return m_signedValue->CheckSignValue();
}

bool OfdXmlSignature::IsDataHashMatch() const
{
    if (!m_signedValue || m_signedValue->GetType() == 0)
        return false;
    return QString::fromLatin1(m_signedValue->GetDataHash().toBase64()) == m_signedValue->GetExpectedDigest();
}

QString OfdXmlSignature::GetSignerName() const
{
    if (!m_signedValue || m_signedValue->GetType() == 0)
        return QString();
    if (m_signedValue->GetCertificate())
        return m_signedValue->GetCertificate()->GetSubjectCommonName();
    // The value was not read past its data hash because that did not match; read it once more
    // against its own hash, only to name the signer.
    OfdSignedValue again;
    again.SetExpectedDigest(QString::fromLatin1(m_signedValue->GetDataHash().toBase64()));
    again.ParseData(ReadFile(m_signedValuePath));
    return again.GetCertificate() ? again.GetCertificate()->GetSubjectCommonName() : QString();
}

QStringList OfdXmlSignature::GetFailedReferences() const
{
    QStringList failed;
    for (const OfdSignatureReference &reference : m_references.references) {
        if (reference.state == OfdSignatureReference::State_Differs ||
            reference.state == OfdSignatureReference::State_Missing)
            failed.append(reference.fileRef);
    }
    return failed;
}

QString OfdXmlSignature::GetSignatureType() const
{
    return m_entry ? m_entry->type : QString();
}

void OfdXmlSignature::SetChangedSinceOpen(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (!m_changedSinceOpen.contains(path))
            m_changedSinceOpen << path;
    }
    m_verdict.reset();
}

const OfdSignatureVerdict &OfdXmlSignature::GetVerdict()
{
    const OfdTrustStore &anchors = OfdTrustStore::Default();
    if (!m_verdict || m_verdictGeneration != anchors.GetGeneration()) {
        m_verdict = std::make_unique<OfdSignatureVerdict>(OfdSignatureVerdict::Evaluate(this, anchors));
        m_verdictGeneration = anchors.GetGeneration();
    }
    return *m_verdict;
}

int OfdXmlSignature::GetSignDataType() const
{
    return m_signedValue ? m_signedValue->GetType() : 0;
}

QString OfdXmlSignature::GetSignDataTypeDes() const
{
    return GetSignDataTypeDes(GetSignDataType());
}

QString OfdXmlSignature::GetSignDataTypeDes(int type)
{
    if (type == 1)
        return QStringLiteral("GM/T 0031-2014");
    if (type == 2)
        return QStringLiteral("GB/T 38540-2020");
    return QString::fromUtf8("未知的签章标准");
}

QByteArray OfdXmlSignature::sm3_digest(const QByteArray &bytes)
{
    return sm3_digest_ByteArray(bytes);
}
