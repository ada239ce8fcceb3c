#include "sign/verifyofdfile.h"

#include <memory>

#include "model/document/ofdfileinfodetail.h"
#include "model/document/ofdfileparsemanage.h"
#include "model/package/ofdfilereader.h"
#include "model/xml/xmlnode.h"
#include "sign/oesv2helper.h"
#include "sign/ofdsignedvalue.h"
#include "sign/ofdxmlsignature.h"
#include "sign/sm3.h"

VerifyOfdFile::VerifyOfdFile() : m_oes(std::make_unique<OESV2Helper>()) {}

VerifyOfdFile::~VerifyOfdFile() = default;

QSharedPointer<VerifyOfdResult> VerifyOfdFile::VerifyFile(const QByteArray &package)
{
    auto reader = QSharedPointer<OfdFileReader>::create();
    if (!reader->Open(package)) {
        auto result = QSharedPointer<VerifyOfdResult>::create();
        result->state = VerifyOfdResult::State_NoSignature;
        result->message = QString::fromUtf8("文件没有签章信息");
        return result;
    }
    return VerifyFile(reader);
}

QSharedPointer<VerifyOfdResult> VerifyOfdFile::VerifyFile(const QSharedPointer<OfdFileReader> &reader)
{
    auto result = QSharedPointer<VerifyOfdResult>::create();
    m_oes->LoadDll_KingGrid(); // a missing provider does not stop the run: each call reports it
    m_reader = reader;
    m_files = std::make_unique<OfdFileParseManage>();
    m_files->SetFileReader(reader);
    m_files->Parse();
    const auto signatures = m_files->GetFileByType(EN_OfdFileType_Signature);
    if (signatures.isEmpty()) {
        result->state = VerifyOfdResult::State_NoSignature;
        result->message = QString::fromUtf8("文件没有签章信息");
        return result;
    }
    result->state = VerifyOfdResult::State_AllVerified;
    result->message = QString::fromUtf8("验证成功");
    for (const auto &signature : signatures) {
        const VerifySignResult one = VerifySignature(signature);
        if (one.state != VerifySignResult::State_Verified) {
            result->state = VerifyOfdResult::State_Failed;
            result->message = QString::fromUtf8("验证失败");
        }
        result->signatures.append(one);
    }
    return result;
}

VerifySignResult VerifyOfdFile::VerifySignature(const QSharedPointer<OfdFileInfoDetail> &signature)
{
    VerifySignResult result;
    result.signaturePath = signature ? signature->path : QString();
    const QByteArray description = signature ? signature->content : QByteArray();
    std::unique_ptr<XmlNode> tree(XmlNode::FromData(description));
    if (description.isEmpty() || !tree) {
        result.state = VerifySignResult::State_Unreadable;
        result.message = QString::fromUtf8("读取文件内容异常");
        return result;
    }
    // The provider sees the description, seal and signed value only: whether the package files are
    // those that were signed is ours to check.
    OfdXmlSignature parsed;
    parsed.SetOfdFile(m_reader.data());
    parsed.SetOfdFilePath(signature->path.startsWith(QLatin1Char('/')) ? signature->path
                                                                       : QLatin1Char('/') + signature->path);
    parsed.ParseXml(description);
    if (!parsed.CheckSm3()) {
        result.state = VerifySignResult::State_Changed;
        const QStringList failed = parsed.GetFailedReferences();
        result.message =
            failed.isEmpty()
                ? QString::fromUtf8("不支持的校验方法：%1").arg(parsed.GetReferences().checkMethod)
                : QString::fromUtf8("文件已被修改：%1").arg(failed.join(QStringLiteral("、")));
        return result;
    }
    VerifyInfoInput input;
    input.sealData = GetFileContent(signature->sealPath);
    input.documentProperty = signature->signedValuePath;
    input.digest = sm3_digest_ByteArray(description);
    XmlNode *method = tree->GetNodeByName(QStringLiteral("SignatureMethod"));
    input.signMethod = method ? method->GetText().trimmed() : QString();
    XmlNode *time = tree->GetNodeByName(QStringLiteral("SignatureDateTime"));
    input.signDateTime = time ? time->GetText().trimmed() : QString();
    input.signedValue = GetFileContent(signature->signedValuePath);
    const QByteArray signedSeal = GetSealData(input.signedValue);
    if (!input.sealData.isEmpty() && !signedSeal.isEmpty() && input.sealData != signedSeal) {
        result.state = VerifySignResult::State_Changed;
        result.message = QString::fromUtf8("印章文件与签名值中的印章不一致：%1").arg(signature->sealPath);
        return result;
    }
    if (input.sealData.isEmpty())
        input.sealData = signedSeal;
    input.online = false;
    const int code = m_oes->Verify(input);
    if (code == 0) {
        result.state = VerifySignResult::State_Verified;
        result.message = QString::fromUtf8("验证通过");
    } else {
        result.state = VerifySignResult::State_Refused;
        result.message = m_oes->GetErrMessage(code);
        if (result.message.isEmpty())
            result.message = QString::fromUtf8("验证失败（错误码 0x%1）").arg(code, 0, 16);
    }
    return result;
}

QByteArray VerifyOfdFile::GetFileContent(const QString &path)
{
    if (!m_reader || path.isEmpty())
        return QByteArray();
    QByteArray bytes = m_reader->GetFileContent(path);
    if (bytes.isEmpty())
        bytes = m_reader->GetFileContent(path.startsWith(QLatin1Char('/')) ? path.mid(1)
                                                                           : QLatin1Char('/') + path);
    return bytes;
}

QByteArray VerifyOfdFile::GetSealData(const QByteArray &signedValue)
{
    if (signedValue.isEmpty())
        return QByteArray();
    OfdSignedValue value;
    value.ParseData(signedValue);
    return value.GetSealData();
}
