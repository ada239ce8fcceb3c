#pragma once

#include <QChar>
#include <QList>
#include <QString>

class QXmlStreamReader;

// One TextCode of a text object: its characters, the start position X, Y and the advances DeltaX,
// DeltaY between characters (millimetres in the object's space).
class OfdTypeTextCode
{
public:
    OfdTypeTextCode();
    virtual ~OfdTypeTextCode();

    // Reads the TextCode element the reader is on, to its end tag.
    virtual void ParseXml(QXmlStreamReader &reader);

    const QString &GetText() const { return m_text; }
    int GetCharCount() const { return m_text.size(); }
    double GetX() const { return m_x; }
    // False when the code gives no X (or Y): it then goes on from where the previous code ended.
    bool HasX() const { return m_hasX; }
    bool HasY() const { return m_hasY; }
    double GetY() const { return m_y; }
    const QList<double> &GetDeltaX() const { return m_deltaX; }
    const QList<double> &GetDeltaY() const { return m_deltaY; }

    // Character index of this code and its advance from the previous character's position: index
    // <= 0 sets x, y to X, Y; otherwise x and y grow by delta number (index - 1 - offset), the last
    // delta repeating, an empty list adding nothing. ch is the null character past the end.
    bool GetChar(int index, QChar &ch, double &x, double &y, int offset = 0) const;
    // X + sum of DeltaX, Y + sum of DeltaY.
    void GetLastPostion(double &x, double &y) const;

    void SetTextCodeIndex(int index) { m_index = index; }
    int GetTextCodeIndex() const { return m_index; }
    // End position of the preceding code of the same object.
    void SetPrePostion(double x, double y)
    {
        m_preX = x;
        m_preY = y;
    }
    // The delta list as text; for a code after the first, preceded by the distance of its start from
    // the previous code's end position (so that the codes can be written back as one).
    QString GetTextDeltaX() const;
    QString GetTextDeltaY() const;

private:
    QString m_text;
    bool m_hasX = true;
    bool m_hasY = true;
    double m_x = 0;
    double m_y = 0;
    QList<double> m_deltaX;
    QList<double> m_deltaY;
    int m_index = 0;
    double m_preX = 0;
    double m_preY = 0;
};
