#include "model/content/ofdspecialcolorshading.h"

#include <cmath>
#include <limits>

#include "model/content/ofdhelper.h"
#include "model/xml/xmlnode.h"

namespace {
// Smallest distance between two gradient stops; a hard edge is two stops this far apart.
constexpr double kStopGap = 1e-5;

QColor Mix(const QColor &a, const QColor &b, double w)
{
    auto lerp = [w](int x, int y) { return int(std::lround(x + (y - x) * w)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor Transparent(const QColor &c)
{
    QColor out = c;
    out.setAlpha(0);
    return out;
}

// Positions strictly increasing inside 0..1 (stops at equal positions would replace each other).
void SpreadStops(QGradientStops &stops)
{
    for (int i = 1; i < stops.size(); ++i)
        stops[i].first = std::max(stops[i].first, stops[i - 1].first + kStopGap);
    if (!stops.isEmpty())
        stops.last().first = std::min(stops.last().first, 1.0);
    for (int i = stops.size() - 2; i >= 0; --i)
        stops[i].first = std::min(stops[i].first, stops[i + 1].first - kStopGap);
    for (QGradientStop &stop : stops)
        stop.first = qBound(0.0, stop.first, 1.0);
}
} // namespace

bool OfdSpecialColorShading::ParseCommon(XmlNode *node)
{
    const QString mapType = node->GetAttr(QStringLiteral("MapType")).trimmed();
    if (mapType == QLatin1String("Repeat"))
        m_mapType = MapType_Repeat;
    else if (mapType == QLatin1String("Reflect"))
        m_mapType = MapType_Reflect;
    else
        m_mapType = MapType_Direct;
    m_mapUnit = OfdHelper::StringToDouble(node->GetAttr(QStringLiteral("MapUnit")), 0);
    m_extend = OfdHelper::StringToInt(node->GetAttr(QStringLiteral("Extend")), 0);
    m_segments.clear();
    for (XmlNode *child : node->GetChildren()) {
        if (child->GetName() != QLatin1String("Segment"))
            continue;
        if (m_segments.size() >= kMaxSegments)
            break;
        Segment segment{std::numeric_limits<double>::quiet_NaN(), OfdTypeFillColor()};
        const QString position = child->GetAttr(QStringLiteral("Position")).trimmed();
        if (!position.isEmpty())
            segment.position = OfdHelper::ToDouble(position);
        if (XmlNode *color = child->GetOneChildByName(QStringLiteral("Color")))
            segment.color.ParseNode(color);
        m_segments << segment;
    }
    return !m_segments.isEmpty();
}

QList<double> OfdSpecialColorShading::GetSegmentPositions() const
{
    const int n = m_segments.size();
    QList<double> pos;
    for (const Segment &s : m_segments)
        pos << (std::isfinite(s.position) ? s.position : std::numeric_limits<double>::quiet_NaN());
    if (n == 0)
        return pos;
    if (std::isnan(pos[0]))
        pos[0] = 0;
    if (n > 1 && std::isnan(pos[n - 1]))
        pos[n - 1] = 1;
    for (int i = 1; i < n; ++i) {
        if (!std::isnan(pos[i]))
            continue;
        int j = i + 1;
        while (std::isnan(pos[j]))
            ++j; // the last position is known
        pos[i] = pos[i - 1] + (pos[j] - pos[i - 1]) / (j - i + 1);
    }
    for (int i = 0; i < n; ++i) {
        pos[i] = qBound(0.0, pos[i], 1.0);
        if (i > 0)
            pos[i] = std::max(pos[i], pos[i - 1]);
    }
    return pos;
}

void OfdSpecialColorShading::CollectStops(const OfdTypeFillColor &owner, QList<double> &positions,
                                          QList<QColor> &colors) const
{
    positions = GetSegmentPositions();
    colors.clear();
    for (const Segment &s : m_segments)
        colors << OfdHelper::CreateQColor(s.color, *owner.GetColorSpace(s.color.GetColorSpaceId()));
}

double OfdSpecialColorShading::GetPeriodFraction() const
{
    if (m_mapType == MapType_Direct || !std::isfinite(m_mapUnit) || m_mapUnit <= 0)
        return 0;
    const double length = GetAxisLength();
    if (!std::isfinite(length) || length <= 0)
        return 0;
    const int maxPeriods = std::max(1, std::min(kMaxPeriods, kMaxStops / (int(m_segments.size()) + 2)));
    return std::max(m_mapUnit / length, 1.0 / maxPeriods);
}

static QColor DirectColor(const QList<double> &pos, const QList<QColor> &colors, double s)
{
    if (colors.isEmpty())
        return QColor(0, 0, 0);
    if (!(s > pos.first()))
        return colors.first();
    for (int i = 1; i < pos.size(); ++i) {
        if (s <= pos[i]) {
            const double span = pos[i] - pos[i - 1];
            return span > 0 ? Mix(colors[i - 1], colors[i], (s - pos[i - 1]) / span) : colors[i];
        }
    }
    return colors.last();
}

QColor OfdSpecialColorShading::GetColorAt(const OfdTypeFillColor &owner, double t) const
{
    QList<double> pos;
    QList<QColor> colors;
    CollectStops(owner, pos, colors);
    const double f = GetPeriodFraction();
    if (f <= 0)
        return DirectColor(pos, colors, t);
    const double u = std::max(0.0, t) / f;
    const double k = std::floor(u);
    double frac = u - k;
    if (m_mapType == MapType_Reflect && std::fmod(k, 2.0) == 1.0)
        frac = 1 - frac;
    return DirectColor(pos, colors, frac);
}

QGradientStops OfdSpecialColorShading::CreateStops(const OfdTypeFillColor &owner) const
{
    QList<double> pos;
    QList<QColor> colors;
    CollectStops(owner, pos, colors);
    QGradientStops stops;
    if (colors.isEmpty())
        return stops;

    const double f = GetPeriodFraction();
    const int periods = f > 0 ? int(std::ceil(1.0 / f - 1e-9)) : 1;
    const double width = f > 0 ? f : 1.0;
    const int m = colors.size();
    bool cut = false;
    for (int k = 0; k < periods && !cut; ++k) {
        const double base = k * width;
        const bool mirrored = m_mapType == MapType_Reflect && (k % 2) == 1;
        // The period starts and ends with its outer colours; segments lie between.
        QGradientStops period;
        period << QGradientStop(base, mirrored ? colors.last() : colors.first());
        for (int i = 0; i < m; ++i) {
            const int s = mirrored ? m - 1 - i : i;
            const double q = mirrored ? 1 - pos[s] : pos[s];
            period << QGradientStop(base + q * width, colors[s]);
        }
        period << QGradientStop(base + width, mirrored ? colors.first() : colors.last());
        for (const QGradientStop &stop : period) {
            if (stop.first <= 1.0) {
                stops << stop;
                continue;
            }
            // Cut at the end of the axis.
            const QGradientStop &prev = stops.last();
            const double span = stop.first - prev.first;
            stops << QGradientStop(1.0, span > 0 ? Mix(prev.second, stop.second, (1.0 - prev.first) / span)
                                                 : stop.second);
            cut = true;
            break;
        }
    }
    if (!(m_extend & Extend_Start))
        stops.prepend(QGradientStop(0.0, Transparent(stops.first().second)));
    if (!(m_extend & Extend_End))
        stops.append(QGradientStop(1.0, Transparent(stops.last().second)));
    SpreadStops(stops);
    return stops;
}
