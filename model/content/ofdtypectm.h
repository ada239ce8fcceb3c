#pragma once

#include <QList>
#include <QString>

#include <array>
#include <memory>

class QTransform;

// The transformation matrix of the format: empty, or a b c d e f mapping (x, y) to
// (a·x + c·y + e, b·x + d·y + f); e and f in millimetres.
class OfdTypeCTM
{
public:
    OfdTypeCTM() = default;
    OfdTypeCTM(const OfdTypeCTM &other);
    OfdTypeCTM &operator=(const OfdTypeCTM &other);

    void SetValue(double a, double b, double c, double d, double e, double f);
    // Exactly six values; any other count leaves the matrix unchanged.
    void SetValue(const QList<double> &values);
    // A space-separated list; stored only when it holds exactly six numbers. True when stored.
    bool ParseText(const QString &text);
    void Clear() { m_values.reset(); }

    bool IsValidate() const { return bool(m_values); }
    bool IsIdentity() const;
    // "a b c d e f" in shortest form; empty for an empty matrix.
    QString GetCTMText() const;
    // The text, or "empty".
    QString GetMessage() const;
    // The matrix with e and f as written (millimetres); identity when empty.
    QTransform ToTransformMM() const;

    double A() const { return Value(0); }
    double B() const { return Value(1); }
    double C() const { return Value(2); }
    double D() const { return Value(3); }
    double E() const { return Value(4); }
    double F() const { return Value(5); }

private:
    double Value(int i) const;

    std::unique_ptr<std::array<double, 6>> m_values; // replaced on every SetValue
};
