#pragma once

#include <QList>
#include <QString>

// One command of abbreviated path data with its numbers, in millimetres and (after ToValuesQt) in
// pixels.
class OfdAbbreviatedDataItem
{
public:
    enum EN_DataType
    {
        DataType_None = 0,
        DataType_Start = 1,     // S
        DataType_Move = 2,      // M
        DataType_Line = 3,      // L
        DataType_Quadratic = 4, // Q
        DataType_Cubic = 5,     // B
        DataType_Arc = 6,       // A
        DataType_Close = 7,     // C
    };

    OfdAbbreviatedDataItem() = default;
    explicit OfdAbbreviatedDataItem(EN_DataType type) : m_type(type) {}
    virtual ~OfdAbbreviatedDataItem();

    // The command of a one-letter token ("S", "M", "L", "Q", "B", "A", "C", case-sensitive);
    // DataType_None for anything else.
    static EN_DataType GetDataType(const QString &token);
    // The letter of a command; "none" for DataType_None.
    static QString GetDataLetter(EN_DataType type);

    EN_DataType GetType() const { return m_type; }
    void SetType(EN_DataType type) { m_type = type; }
    const QList<double> &GetValues() const { return m_values; }
    const QList<double> &GetValuesQt() const { return m_valuesQt; }
    void AddValue(double value) { m_values << value; }

    // Pixel values from the millimetre values with the current OfdConvert::PxOfOneMM.
    void ToValuesQt();
    // The letter followed by " %1" per value (single precision, shortest form).
    QString PathText() const;

private:
    EN_DataType m_type = DataType_None;
    QList<double> m_values;
    QList<double> m_valuesQt;
};
