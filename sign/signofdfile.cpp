#include "sign/signofdfile.h"

#include <QDebug>
#include <QRegularExpression>

#include <algorithm>

#include "model/content/ofdconvert.h"
#include "model/document/ofdfileinfodetail.h"
#include "model/document/ofdfileparsemanage.h"
#include "model/package/ofdfilereader.h"
#include "model/package/ofdfilewriter.h"
#include "model/package/ofdpathhelper.h"
#include "model/xml/xmlnode.h"
#include "sign/sealsigninfo.h"
#include "sign/sm3.h"

namespace {
// Width and height of a page box text "x y w h"; false when it does not hold four numbers.
bool BoxSize(const QString &text, double &width, double &height)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return false;
    bool okW = false, okH = false;
    width = parts[2].toDouble(&okW);
    height = parts[3].toDouble(&okH);
    return okW && okH && width > 0 && height > 0;
}

QRectF PixelToMm(const QRectF &r)
{
    const double k = OfdConvert::MMOfOnePx;
    return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k);
}
} // namespace

SignOfdFile::SignOfdFile() = default;
SignOfdFile::~SignOfdFile() = default;

void SignOfdFile::SetProvider(const QString &company, const QString &version, const QString &providerName)
{
    m_company = company;
    m_version = version;
    m_providerName = providerName;
}

QSharedPointer<OfdFileInfoDetail> SignOfdFile::FindFile(int type) const
{
    for (const QSharedPointer<OfdFileInfoDetail> &file : m_files) {
        if (file->type == type && (type == EN_OfdFileType_Root || file->documentIndex <= 0))
            return file;
    }
    return QSharedPointer<OfdFileInfoDetail>();
}

QList<QSharedPointer<OfdFileInfoDetail>> SignOfdFile::GetPages() const
{
    QList<QSharedPointer<OfdFileInfoDetail>> pages;
    for (const QSharedPointer<OfdFileInfoDetail> &file : m_files) {
        if (file->type == EN_OfdFileType_Page && file->documentIndex == 0)
            pages.append(file);
    }
    std::stable_sort(pages.begin(), pages.end(), SortOfdFilePage);
    return pages;
}

void SignOfdFile::PutFile(const QString &path, int type, const QByteArray &content)
{
    const QString name = OfdPathHelper::RemoveStartSlash(path);
    for (const QSharedPointer<OfdFileInfoDetail> &file : m_files) {
        if (IsOfdFilePathEqual(file->path, name)) {
            // A stray entry under a path the new signature needs is replaced, never duplicated.
            file->type = type;
            file->documentIndex = 0;
            file->content = content;
            return;
        }
    }
    auto file = QSharedPointer<OfdFileInfoDetail>::create();
    file->path = name;
    file->type = type;
    file->documentIndex = 0;
    file->content = content;
    m_files.append(file);
}

QString SignOfdFile::GetNextSignId()
{
    return m_signatureList ? OfdSignatureWriter::NextSignId(m_signatureList.get()) : QString();
}

QString SignOfdFile::ProviderMessage(int code)
{
    QString text = m_oes ? m_oes->GetErrMessage(code) : QString();
    if (text.isEmpty())
        text = QString::fromUtf8("错误码 0x%1").arg(code, 0, 16);
    return text;
}

bool SignOfdFile::PrepareSignatureList()
{
    if (QSharedPointer<OfdFileInfoDetail> list = FindFile(EN_OfdFileType_Signatures)) {
        m_signatureListPath = list->path;
        m_signatureList.reset(XmlNode::FromData(list->content));
        if (m_signatureList)
            return true;
        // An unreadable list is started afresh rather than signed into blindly.
        qDebug() << "SignOfdFile: the signature list cannot be read, a new one replaces it" << list->path;
        m_signatureList.reset(OfdSignatureWriter::CreateSignatureList());
        return true;
    }
    QSharedPointer<OfdFileInfoDetail> entry = FindFile(EN_OfdFileType_Root);
    std::unique_ptr<XmlNode> root(XmlNode::FromData(entry->content));
    QString listPath;
    if (!root)
        return false;
    const bool linked = OfdSignatureWriter::LinkSignatureList(root.get(), listPath);
    if (listPath.isEmpty())
        return false;
    if (linked)
        entry->content = OfdSignatureWriter::ToBytes(root.get());
    m_signatureListPath = OfdPathHelper::RemoveStartSlash(listPath);
    m_signatureList.reset(OfdSignatureWriter::CreateSignatureList());
    PutFile(m_signatureListPath, EN_OfdFileType_Signatures,
            OfdSignatureWriter::ToBytes(m_signatureList.get()));
    return true;
}

bool SignOfdFile::SignFile()
{
    m_error.clear();
    m_signed = false;
    m_files.clear();
    m_signatureList.reset();
    m_oes = std::make_unique<OESV2Helper>();
    if (!m_oes->LoadDll_KingGrid()) {
        m_error = QString::fromUtf8("加载OES DLL失败！路径:%1").arg(OESV2Helper::GetOESDllPath_KingGrid());
        return false;
    }
    if (!m_reader) {
        m_error = QString::fromUtf8("没有可签章的文件");
        return false;
    }
    m_parse = std::make_unique<OfdFileParseManage>();
    m_parse->SetFileReader(m_reader);
    m_parse->Parse();
    m_files = m_parse->GetAllFile();
    if (!FindFile(EN_OfdFileType_Root)) {
        m_error = QString::fromUtf8("文件中没有入口文件 OFD.xml，无法签章");
        return false;
    }
    if (!PrepareSignatureList()) {
        m_error = QString::fromUtf8("入口文件无法读取，无法签章");
        return false;
    }

    QString location;
    if (!OfdSignatureWriter::AddSignatureEntry(m_signatureList.get(), m_signatureListPath, location)) {
        m_error = QString::fromUtf8("签名列表中找不到新签名的位置");
        return false;
    }
    PutFile(m_signatureListPath, EN_OfdFileType_Signatures,
            OfdSignatureWriter::ToBytes(m_signatureList.get()));

    m_signInput = SignInfoInput();
    m_signInput.documentProperty = location;
    int code = m_oes->GetSignMethod(m_signInput.signMethod);
    if (code == 0)
        code = m_oes->GetSignDateTime(m_signInput.signDateTime);
    if (code != 0) {
        m_error = QString::fromUtf8("签章失败！%1").arg(ProviderMessage(code));
        return false;
    }
    const QSharedPointer<SealSignInfo> first =
        m_seals.isEmpty() ? QSharedPointer<SealSignInfo>() : m_seals.first();
    m_signInput.sealId = first && first->GetSealInfo() ? first->GetSealInfo()->sealId : QString();
    m_signInput.pin = OESV2Helper::GetFixedPin();

    QByteArray xml;
    QString signedValuePath;
    if (!CreateSignature(location, xml, signedValuePath))
        return false;
    m_signInput.digest = sm3_digest_ByteArray(xml);
    const QByteArray signedValue = CreateSignedValueData(m_signInput);
    if (signedValue.isEmpty()) {
        // A signature without its value would only ever fail verification: nothing is produced.
        if (m_error.isEmpty())
            m_error = QString::fromUtf8("签章失败！签章服务没有返回签名值");
        return false;
    }
    PutFile(signedValuePath, EN_OfdFileType_SignedValue, signedValue);
    m_signed = true;
    return true;
}

bool SignOfdFile::CreateSignature(const QString &path, QByteArray &xml, QString &signedValuePath)
{
    SignatureXmlInput input;
    input.company = m_company;
    input.version = m_version;
    input.providerName = m_providerName;
    input.signatureMethod = m_signInput.signMethod;
    input.signatureDateTime = m_signInput.signDateTime;
    input.hasSeal = !m_sealData.isEmpty();
    if (input.hasSeal)
        PutFile(OfdSignatureWriter::SealPath(path), EN_OfdFileType_Seal, m_sealData);
    for (const QSharedPointer<OfdFileInfoDetail> &file : qAsConst(m_files)) {
        if (file->type == EN_OfdFileType_Signatures || file->content.isEmpty())
            continue;
        input.files.append({file->path, file->content});
    }
    std::unique_ptr<XmlNode> root(OfdSignatureWriter::CreateSignatureXml(input, path, m_signatureList.get()));
    XmlNode *signedInfo = root ? root->GetOneChildByName(QStringLiteral("SignedInfo")) : nullptr;
    if (!signedInfo) {
        m_error = QString::fromUtf8("无法生成签名描述文件");
        return false;
    }
    CreateStampAnnot(signedInfo);
    xml = OfdSignatureWriter::ToBytes(root.get());
    signedValuePath = OfdSignatureWriter::SignedValuePath(path);
    PutFile(path, EN_OfdFileType_Signature, xml);
    return true;
}

QList<SignatureStampInput> SignOfdFile::GetStampInputs() const
{
    QList<SignatureStampInput> stamps;
    const QList<QSharedPointer<OfdFileInfoDetail>> pages = GetPages();
    const int n = pages.size();
    const QString defaultBox = m_parse ? m_parse->GetDefaultPhysicalBox() : QString();
    for (const QSharedPointer<SealSignInfo> &seal : m_seals) {
        if (!seal)
            continue;
        const QRectF mm = PixelToMm(seal->GetRect());
        if (!seal->IsRideSeal()) {
            if (seal->GetPageIndex() < 0 || seal->GetPageIndex() >= n)
                continue;
            SignatureStampInput stamp;
            stamp.pageRef = pages[seal->GetPageIndex()]->pageId;
            stamp.boundary = mm;
            stamps.append(stamp);
            continue;
        }
        // Every page shows the whole picture, moved so that its i-th strip lies on the chosen edge;
        // the clip (in the picture's own coordinates) keeps only that strip.
        const float sw = float(mm.width()) / float(qMax(n, 1));
        const float sh = float(mm.height()) / float(qMax(n, 1));
        for (int i = 0; i < n; ++i) {
            double pageWidth = 0, pageHeight = 0;
            if (!BoxSize(pages[i]->physicalBox, pageWidth, pageHeight))
                BoxSize(defaultBox, pageWidth, pageHeight);
            SignatureStampInput stamp;
            stamp.pageRef = pages[i]->pageId;
            stamp.hasClip = true;
            switch (seal->GetSealType()) {
            case EN_SealSignType_RideLeft:
                stamp.boundary = QRectF(-i * sw, mm.y(), mm.width(), mm.height());
                stamp.clip = QRectF(i * sw, 0, sw, mm.height());
                break;
            case EN_SealSignType_RideRight:
                stamp.boundary = QRectF(pageWidth - (i + 1) * sw, mm.y(), mm.width(), mm.height());
                stamp.clip = QRectF(i * sw, 0, sw, mm.height());
                break;
            case EN_SealSignType_RideTop:
                stamp.boundary = QRectF(mm.x(), -i * sh, mm.width(), mm.height());
                stamp.clip = QRectF(0, i * sh, mm.width(), sh);
                break;
            default: // bottom
                stamp.boundary = QRectF(mm.x(), pageHeight - (i + 1) * sh, mm.width(), mm.height());
                stamp.clip = QRectF(0, i * sh, mm.width(), sh);
                break;
            }
            stamps.append(stamp);
        }
    }
    return stamps;
}

void SignOfdFile::CreateStampAnnot(XmlNode *signedInfo)
{
    if (signedInfo)
        OfdSignatureWriter::AppendStampAnnots(signedInfo, GetStampInputs(), m_signatureList.get());
}

QByteArray SignOfdFile::CreateSignedValueData(SignInfoInput &input)
{
    if (!m_oes)
        m_oes = std::make_unique<OESV2Helper>();
    QByteArray value;
    const int code = m_oes->Sign(input, value);
    if (code != 0) {
        m_error = QString::fromUtf8("签章失败！%1").arg(ProviderMessage(code));
        return QByteArray();
    }
    return value;
}

QByteArray SignOfdFile::GetSignedOfdFile()
{
    if (!m_signed)
        return QByteArray();
    OfdFileWriter writer;
    for (const QSharedPointer<OfdFileInfoDetail> &file : qAsConst(m_files))
        writer.AddFile(new OfdFileInfo{file->path, file->content});
    return writer.GetZipData();
}
