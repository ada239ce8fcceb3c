#include "sign/ofdsignedvalue.h"

#include "sign/asn1object.h"
#include "sign/asn1tag.h"
#include "sign/ofdx509certificate.h"
#include "sign/sm2digest.h"
#include "sign/sm2verify.h"
#include "sign/sm3.h"

#include <QDebug>
#include <QRegularExpression>

#include <memory>

namespace {

const char kFormat[] = "yyyy-MM-dd hh:mm:ss";

bool IsUniversal(const Ans1BerNodeReader *node, int tag)
{
    return node && node->GetTagClass() == 0 && node->GetTagNumber() == tag;
}

// Date-time in UTC from numbers; invalid when a field is out of range.
QDateTime MakeUtc(int year, int month, int day, int hour, int minute, int second)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

OfdSignedValue::OfdSignedValue() = default;

OfdSignedValue::~OfdSignedValue()
{
    Clear();
}

void OfdSignedValue::Clear()
{
    qDeleteAll(m_objects);
    m_objects.clear();
    delete m_certificate;
    m_certificate = nullptr;
    m_decoded = false;
    m_type = 0;
    m_version = 0;
    m_sealData.clear();
    m_signTime = QDateTime();
    m_dataHash.clear();
    m_dataHashUnusedBits = 0;
    m_algorithm.clear();
    m_toSign.clear();
    m_signature.clear();
    m_signValueDigest = EN_SignValueDigest_None;
}

bool OfdSignedValue::ParseData(const QByteArray &data)
{
    Clear();
    m_data = data;
    m_reader.OpenData(data);
    if (!m_reader.IsDataOK())
        return false;
    // Both structures are a SEQUENCE; anything else under the outer tag is not a signed value, even
    // when the elements inside would read.
    if (!IsUniversal(m_reader.GetNode(QStringLiteral("0.0")), EN_Asn1Tag_Sequence))
        return false;
    m_type = m_reader.GetNode(QStringLiteral("0.0*1.3")) ? 2 : 1;
    m_decoded = m_type == 2 ? ParseSign2020() : ParseSign2014();
    return m_decoded;
}

Asn1Object *OfdSignedValue::TakeObject(const QString &id, int tag)
{
    Ans1BerNodeReader *node = m_reader.GetNode(id);
    if (!IsUniversal(node, tag))
        return nullptr;
    Asn1Object *object = Asn1Object::CreateObject(node);
    if (object)
        m_objects.append(object);
    return object;
}

bool OfdSignedValue::HasNodes(const QStringList &ids) const
{
    for (const QString &id : ids) {
        if (!m_reader.GetNode(id))
            return false;
    }
    return true;
}

bool OfdSignedValue::ReadDataHash(const QString &id)
{
    auto *hash = static_cast<Asn1Object_BitString *>(TakeObject(id, EN_Asn1Tag_BitString));
    if (!hash)
        return false;
    m_dataHash = hash->ToByteArray();
    m_dataHashUnusedBits = hash->GetUnusedBits();
    const QString base64 = QString::fromLatin1(m_dataHash.toBase64());
    if (m_dataHash.isEmpty() || base64 != m_expectedDigest) {
        qDebug() << "OfdSignedValue: data hash" << base64 << "differs from the expected digest"
                 << m_expectedDigest;
        return false;
    }
    return true;
}

bool OfdSignedValue::ReadCertificate(const QString &id)
{
    Asn1Object *certificate = TakeObject(id, EN_Asn1Tag_OctetString);
    if (!certificate)
        return false;
    m_certificate = new OfdX509Certificate;
    return m_certificate->ParseData(certificate->ToByteArray());
}

bool OfdSignedValue::ReadSignedHead()
{
    m_toSign = m_reader.GetNode(QStringLiteral("0.0*1.0"))->GetDataTotal();

    Asn1Object *version = TakeObject(QStringLiteral("0.0*1.0*2.0"), EN_Asn1Tag_Integer);
    if (!version)
        return false;
    m_version = version->ToInt();

    const Ans1BerNodeReader *seal = m_reader.GetNode(QStringLiteral("0.0*1.0*2.1"));
    if (!IsUniversal(seal, EN_Asn1Tag_Sequence))
        return false;
    m_sealData = seal->GetDataTotal();
    return true;
}

bool OfdSignedValue::ParseSign2020()
{
    if (!HasNodes({QStringLiteral("0.0*1.0*2.0"), QStringLiteral("0.0*1.0*2.1"),
                   QStringLiteral("0.0*1.0*2.2"), QStringLiteral("0.0*1.0*2.3"),
                   QStringLiteral("0.0*1.0*2.4"), QStringLiteral("0.0*1.0"), QStringLiteral("0.0*1.1"),
                   QStringLiteral("0.0*1.2"), QStringLiteral("0.0*1.3")}))
        return false;
    if (!ReadSignedHead())
        return false;

    Asn1Object *time = TakeObject(QStringLiteral("0.0*1.0*2.2"), EN_Asn1Tag_GeneralizedTime);
    if (!time)
        time = TakeObject(QStringLiteral("0.0*1.0*2.2"), EN_Asn1Tag_UtcTime);
    if (!time)
        return false;
    m_signTime = time->ToDateTime();

    if (!ReadDataHash(QStringLiteral("0.0*1.0*2.3")) || !ReadCertificate(QStringLiteral("0.0*1.1")))
        return false;

    Asn1Object *algorithm = TakeObject(QStringLiteral("0.0*1.2"), EN_Asn1Tag_ObjectIdentifier);
    if (!algorithm)
        return false;
    m_algorithm = algorithm->ToString();

    // Real signers write a non-zero count of unused bits before the signature; the count lies outside
    // what the signature covers, so any value is accepted and the bytes after it are the signature.
    Asn1Object *signature = TakeObject(QStringLiteral("0.0*1.3"), EN_Asn1Tag_BitString);
    if (!signature)
        return false;
    m_signature = signature->ToByteArray();
    return true;
}

bool OfdSignedValue::ParseSign2014()
{
    if (!HasNodes({QStringLiteral("0.0*1.0*2.0"), QStringLiteral("0.0*1.0*2.1"),
                   QStringLiteral("0.0*1.0*2.2"), QStringLiteral("0.0*1.0*2.3"),
                   QStringLiteral("0.0*1.0*2.4"), QStringLiteral("0.0*1.0*2.5"),
                   QStringLiteral("0.0*1.0*2.6"), QStringLiteral("0.0*1.0"), QStringLiteral("0.0*1.1")}))
        return false;
    if (!ReadSignedHead())
        return false;

    // The time is text inside a BIT STRING, up to the first zero byte.
    Asn1Object *time = TakeObject(QStringLiteral("0.0*1.0*2.2"), EN_Asn1Tag_BitString);
    if (!time)
        return false;
    QByteArray timeText = time->ToByteArray();
    const int zero = timeText.indexOf('\0');
    if (zero >= 0)
        timeText.truncate(zero);
    m_signTime = ReadSignTimeText(QString::fromUtf8(timeText));

    Asn1Object *algorithm = TakeObject(QStringLiteral("0.0*1.0*2.6"), EN_Asn1Tag_ObjectIdentifier);
    if (!algorithm)
        return false;
    m_algorithm = algorithm->ToString();

    if (!ReadDataHash(QStringLiteral("0.0*1.0*2.3")) || !ReadCertificate(QStringLiteral("0.0*1.0*2.5")))
        return false;

    Asn1Object *signature = TakeObject(QStringLiteral("0.0*1.1"), EN_Asn1Tag_BitString);
    if (!signature)
        return false;
    m_signature = signature->ToByteArray();
    return true;
}

QString OfdSignedValue::GetSealSignTime() const
{
    return m_signTime.isValid() ? m_signTime.toString(QLatin1String(kFormat)) : QString();
}

bool OfdSignedValue::CheckSignValue()
{
    m_signValueDigest = EN_SignValueDigest_None;
    if (m_decoded && m_certificate && m_certificate->IsParsed())
        m_signValueDigest = VerifySignedBytes(m_toSign, m_signature, m_certificate->GetPublicKey());
    qDebug() << "OfdSignedValue::CheckSignValue result:"
             << (m_signValueDigest == EN_SignValueDigest_None ? -1 : 0)
             << "digest:" << int(m_signValueDigest);
    return m_signValueDigest != EN_SignValueDigest_None;
}

Asn1Object *OfdSignedValue::GetAsn1Object(const QString &id) const
{
    if (m_type == 0)
        return nullptr;
    return Asn1Object::CreateObject(m_reader.GetNode(id));
}

QString OfdSignedValue::GetNodeText(const QString &id) const
{
    const std::unique_ptr<Asn1Object> object(GetAsn1Object(id));
    if (!object) {
        qDebug() << "GetNodeText-nodeId:objText == nullptr" << id;
        return QString();
    }
    return object->ToString();
}

QByteArray GetSignData(const QByteArray &der)
{
    Ans1Reader reader;
    reader.OpenData(der);
    const Ans1BerNodeReader *root = reader.GetRootNode();
    if (!reader.IsDataOK() || !IsUniversal(root, EN_Asn1Tag_Sequence) || root->GetChildren().size() != 2)
        return QByteArray();
    QByteArray out;
    for (const Ans1BerNodeReader *integer : root->GetChildren()) {
        if (!IsUniversal(integer, EN_Asn1Tag_Integer) || integer->GetContentLength() == 0)
            return QByteArray();
        const QByteArray value = integer->GetValuePart();
        // Bytes before the last 32 may only be zeros (the sign byte of DER): a larger number is not
        // an SM2 signature part, and cutting it would verify a different signature.
        for (int i = 0; i + 32 < value.size(); ++i) {
            if (value[i] != '\0')
                return QByteArray();
        }
        out += value.size() >= 32 ? value.right(32) : QByteArray(32 - value.size(), '\0') + value;
    }
    return out;
}

int Verify2(const QByteArray &digest, const QByteArray &signature, const QByteArray &publicKey)
{
    if (digest.size() != 32 || signature.size() != 64 || publicKey.size() != 64)
        return -1;
    QByteArray key = publicKey;
    QByteArray sig = signature;
    return EccVerify(reinterpret_cast<const unsigned char *>(digest.constData()), 32,
                     reinterpret_cast<unsigned char *>(key.data()), 64,
                     reinterpret_cast<unsigned char *>(sig.data()), 64);
}

EN_SignValueDigest VerifySignedBytes(const QByteArray &toBeSigned, const QByteArray &derSignature,
                                     const QByteArray &publicKey)
{
    const QByteArray key = publicKey.size() == 64 ? publicKey : publicKey.mid(1, 64);
    if (key.size() != 64)
        return EN_SignValueDigest_None;
    // Some seal systems store r || s itself instead of its DER form; 64 bytes are tried both ways.
    QList<QByteArray> signatures;
    const QByteArray decoded = GetSignData(derSignature);
    if (decoded.size() == 64)
        signatures << decoded;
    if (derSignature.size() == 64 && derSignature != decoded)
        signatures << derSignature;
    const QByteArray withZa = Sm2ComputeE(key, toBeSigned);
    const QByteArray plain = sm3_digest_ByteArray(toBeSigned);
    for (const QByteArray &signature : qAsConst(signatures)) {
        if (Verify2(withZa, signature, key) == 0)
            return EN_SignValueDigest_Za;
        if (Verify2(plain, signature, key) == 0)
            return EN_SignValueDigest_Plain;
    }
    return EN_SignValueDigest_None;
}

QDateTime ToDateTime(const QString &text)
{
    if (text.size() < 12)
        return QDateTime();
    int fields[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const QStringRef digits = text.midRef(2 * i, 2);
        fields[i] = digits.toInt(&ok);
        if (!ok || !digits.at(0).isDigit() || !digits.at(1).isDigit())
            return QDateTime();
    }
    return MakeUtc(2000 + fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
}

QDateTime ReadSignTimeText(const QString &text)
{
    static const QRegularExpression generalized(
        QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(?:\\.\\d+)?Z?$"));
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})[T ](\\d{2}):(\\d{2}):(\\d{2})"
                       "(?:\\.\\d+)?(Z|[+-]\\d{2}:?\\d{2})?$"));
    const QString trimmed = text.trimmed();
    QRegularExpressionMatch match = generalized.match(trimmed);
    if (!match.hasMatch())
        match = iso.match(trimmed);
    if (!match.hasMatch())
        return ToDateTime(trimmed);
    QDateTime time =
        MakeUtc(match.capturedRef(1).toInt(), match.capturedRef(2).toInt(), match.capturedRef(3).toInt(),
                match.capturedRef(4).toInt(), match.capturedRef(5).toInt(), match.capturedRef(6).toInt());
    // An offset such as +08:00 names local time east of UTC.
    const QString zone = match.lastCapturedIndex() >= 7 ? match.captured(7) : QString();
    if (time.isValid() && zone.size() > 1) {
        const QString digits = zone.mid(1).remove(QLatin1Char(':'));
        const int seconds = digits.leftRef(2).toInt() * 3600 + digits.midRef(2, 2).toInt() * 60;
        time = time.addSecs(zone.at(0) == QLatin1Char('+') ? -seconds : seconds);
    }
    return time;
}
