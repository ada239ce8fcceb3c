#include "model/content/ofdtypetextcodemanage.h"

#include "model/content/ofdtypetextcode.h"

OfdTypeTextCodeManage::OfdTypeTextCodeManage() = default;

OfdTypeTextCodeManage::~OfdTypeTextCodeManage()
{
    qDeleteAll(m_codes);
}

void OfdTypeTextCodeManage::ParseXml(QXmlStreamReader &reader)
{
    auto *code = new OfdTypeTextCode;
    code->SetTextCodeIndex(m_codes.size());
    if (!m_codes.isEmpty()) {
        double x = 0;
        double y = 0;
        m_codes.last()->GetLastPostion(x, y);
        code->SetPrePostion(x, y);
    }
    code->ParseXml(reader);
    m_codes.append(code);
}

int OfdTypeTextCodeManage::GetCharCount() const
{
    int count = 0;
    for (const OfdTypeTextCode *code : m_codes)
        count += code->GetCharCount();
    return count;
}

bool OfdTypeTextCodeManage::GetChar(int index, QChar &ch, double &x, double &y, int offset) const
{
    int local = index;
    for (const OfdTypeTextCode *code : m_codes) {
        if (local < code->GetCharCount())
            return code->GetChar(local, ch, x, y, offset);
        local -= code->GetCharCount();
    }
    ch = QChar();
    return false;
}

QString OfdTypeTextCodeManage::GetText() const
{
    QString text;
    for (const OfdTypeTextCode *code : m_codes)
        text += code->GetText();
    return text;
}

float OfdTypeTextCodeManage::GetStartX() const
{
    return m_codes.isEmpty() ? 0.0f : float(m_codes.first()->GetX());
}

float OfdTypeTextCodeManage::GetStartY() const
{
    return m_codes.isEmpty() ? 0.0f : float(m_codes.first()->GetY());
}

// The non-empty texts joined with single spaces.
static QString JoinDeltaTexts(const QStringList &texts)
{
    QStringList parts;
    for (const QString &text : texts) {
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(QLatin1Char(' '));
}

QString OfdTypeTextCodeManage::GetTextDeltaX() const
{
    QStringList texts;
    for (const OfdTypeTextCode *code : m_codes)
        texts << code->GetTextDeltaX();
    return JoinDeltaTexts(texts);
}

QString OfdTypeTextCodeManage::GetTextDeltaY() const
{
    QStringList texts;
    for (const OfdTypeTextCode *code : m_codes)
        texts << code->GetTextDeltaY();
    return JoinDeltaTexts(texts);
}
