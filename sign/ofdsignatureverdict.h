#pragma once

#include <QList>
#include <QString>

class OfdTrustStore;
class OfdXmlSignature;

// One check behind a verdict, for display: what was checked and how it came out.
struct OfdSignatureCheck
{
    enum EN_State
    {
        State_Passed = 0,
        State_Failed = 1,    // the check ran and the signature failed it
        State_Unchecked = 2, // the check could not be made
        State_Untrusted = 3, // the certificate is sound but no trust anchor vouches for it
    };
    QString name; // Chinese, such as "引用文件"
    int state = State_Unchecked;
    QString detail;
};

// The verdict on one signature over every check: references, data hash, signature value, seal maker and
// certificate chain. Never more than the checks show: a signer no trust anchor vouches for is not
// "验证成功", and what cannot be checked is "无法验证", not a failure.
class OfdSignatureVerdict
{
public:
    enum EN_Level
    {
        Level_Trusted = 0,   // "验证成功"
        Level_Untrusted = 1, // "签章有效，证书未受信任"
        Level_Failed = 2,    // "验证失败"
        Level_Unknown = 3,   // "无法验证"
    };

    static OfdSignatureVerdict Evaluate(OfdXmlSignature *signature, const OfdTrustStore &anchors);
    static QString LevelText(int level);

    int GetLevel() const { return m_level; }
    QString GetText() const { return LevelText(m_level); }
    // Why, for the failed and cannot-verify levels and for an untrusted signer; Chinese.
    QString GetReason() const { return m_reason; }
    const QList<OfdSignatureCheck> &GetChecks() const { return m_checks; }
    // The first two levels: nothing was changed and the signature value holds.
    bool IsIntact() const { return m_level == Level_Trusted || m_level == Level_Untrusted; }

    QString GetSealName() const { return m_sealName; }
    QString GetSigner() const { return m_signer; }
    // "yyyy-MM-dd hh:mm:ss" as the signed value or the description gives it.
    QString GetSignTime() const { return m_signTime; }
    QString GetStandard() const { return m_standard; }
    // Package paths of the files changed or missing since signing.
    QStringList GetChangedFiles() const { return m_changedFiles; }

private:
    void Add(const char *name, int state, const QString &detail);
    void Conclude();

    int m_level = Level_Unknown;
    QString m_reason;
    QList<OfdSignatureCheck> m_checks;
    QString m_sealName;
    QString m_signer;
    QString m_signTime;
    QString m_standard;
    QStringList m_changedFiles;
};
