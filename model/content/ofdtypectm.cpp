#include "model/content/ofdtypectm.h"

#include <QDebug>
#include <QTransform>

#include "app/qthelper.h"
#include "model/content/ofdhelper.h"

OfdTypeCTM::OfdTypeCTM(const OfdTypeCTM &other)
{
    if (other.m_values)
        m_values = std::make_unique<std::array<double, 6>>(*other.m_values);
}

OfdTypeCTM &OfdTypeCTM::operator=(const OfdTypeCTM &other)
{
    if (this != &other)
        m_values = other.m_values ? std::make_unique<std::array<double, 6>>(*other.m_values) : nullptr;
    return *this;
}

void OfdTypeCTM::SetValue(double a, double b, double c, double d, double e, double f)
{
    m_values = std::make_unique<std::array<double, 6>>(std::array<double, 6>{a, b, c, d, e, f});
}

void OfdTypeCTM::SetValue(const QList<double> &values)
{
    if (values.size() != 6) {
        if (QtHelper::IsShowDebugMessage())
            qDebug() << "OfdTypeCTM::SetValue size not 6!";
        return;
    }
    SetValue(values[0], values[1], values[2], values[3], values[4], values[5]);
}

bool OfdTypeCTM::ParseText(const QString &text)
{
    const QList<double> values = OfdHelper::ParseDoubleList(text);
    if (values.size() != 6)
        return false;
    SetValue(values);
    return true;
}

bool OfdTypeCTM::IsIdentity() const
{
    if (!m_values)
        return false;
    const std::array<double, 6> &v = *m_values;
    return v[0] == 1 && v[1] == 0 && v[2] == 0 && v[3] == 1 && v[4] == 0 && v[5] == 0;
}

QString OfdTypeCTM::GetCTMText() const
{
    if (!m_values)
        return QString();
    QStringList parts;
    for (double v : *m_values)
        parts << OfdHelper::NumberText(v);
    return parts.join(QLatin1Char(' '));
}

QString OfdTypeCTM::GetMessage() const
{
    return m_values ? GetCTMText() : QStringLiteral("empty");
}

QTransform OfdTypeCTM::ToTransformMM() const
{
    if (!m_values)
        return QTransform();
    const std::array<double, 6> &v = *m_values;
    return QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
}

double OfdTypeCTM::Value(int i) const
{
    return m_values ? (*m_values)[size_t(i)] : (i == 0 || i == 3 ? 1.0 : 0.0);
}
