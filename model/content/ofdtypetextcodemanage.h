#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class QXmlStreamReader;
class OfdTypeTextCode;

// The text codes of one text object, in document order (owned).
class OfdTypeTextCodeManage
{
public:
    OfdTypeTextCodeManage();
    virtual ~OfdTypeTextCodeManage();
    OfdTypeTextCodeManage(const OfdTypeTextCodeManage &) = delete;
    OfdTypeTextCodeManage &operator=(const OfdTypeTextCodeManage &) = delete;

    // Reads one TextCode element and appends it; its index and previous position chain it to the
    // code before.
    void ParseXml(QXmlStreamReader &reader);

    int GetCodeCount() const { return m_codes.size(); }
    OfdTypeTextCode *GetCode(int i) const { return m_codes.value(i, nullptr); }
    const QList<OfdTypeTextCode *> &GetCodes() const { return m_codes; }

    int GetCharCount() const;
    // Character index of the whole object: asks the code that holds it (see OfdTypeTextCode). False
    // when the index is past the last code.
    bool GetChar(int index, QChar &ch, double &x, double &y, int offset = 0) const;
    QString GetText() const;
    // The first code's X / Y at single precision; 0 without codes.
    float GetStartX() const;
    float GetStartY() const;
    // The codes' non-empty delta texts joined with single spaces.
    QString GetTextDeltaX() const;
    QString GetTextDeltaY() const;

private:
    QList<OfdTypeTextCode *> m_codes;
};
