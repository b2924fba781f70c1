#include <road/station.h>
#include <road/verticalcurve.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {

double sagSign(VerticalPoi const& data)
{
    return data.gradeOut > data.gradeIn ? 1.0 : -1.0;
}

// 0 × ∞ (equal grades on an infinite radius) means no curve at all.
double finiteOrZero(double length)
{
    return std::isnan(length) ? 0.0 : length;
}
} // namespace

VerticalCurve::~VerticalCurve() = default;

double VerticalCurve::getRadius() const
{
    return std::numeric_limits<double>::infinity();
}

bool VerticalCurve::inRange(double station) const
{
    return !(station < m_s1 - StationTolerance || station > m_s2 + StationTolerance);
}

// VerticalNone

double VerticalNone::calcElevation(VerticalPoi const& data, double station, bool* ok) const
{
    bool const on = std::fabs(station - data.station) < StationTolerance;
    if (ok)
        *ok = on;
    return on ? data.elevation : 0.0;
}

std::unique_ptr<VerticalCurve> VerticalNone::clone() const
{
    return std::make_unique<VerticalNone>(*this);
}

void VerticalNone::updateTangentLengths(VerticalPoi const&)
{
    setTangentLengths(0.0, 0.0);
}

void VerticalNone::updateStations(VerticalPoi const& data)
{
    setStations(data.station, data.station);
}

void VerticalNone::updateCoefficients(VerticalPoi const&) { }

// VerticalSymparabola

// Crest or sag follows from the grades, so the sign of a radius carries nothing.
VerticalSymparabola::VerticalSymparabola(double radius)
    : m_radius(std::fabs(radius))
{
}

double VerticalSymparabola::calcElevation(VerticalPoi const& data, double s, bool* ok) const
{
    bool const on = inRange(s);
    if (ok)
        *ok = on;
    if (!on)
        return 0.0;
    // A curve of no length has no parabola to evaluate (and R may be 0).
    if (m_s2 == m_s1)
        return data.elevation;
    double const sigma = sagSign(data);
    double const d1 = s - m_s1;
    double const d2 = s - m_s2;
    double const e1 = m_h1 + data.gradeIn * d1 + sigma * d1 * d1 / (2.0 * m_radius);
    double const e2 = m_h2 + data.gradeOut * d2 + sigma * d2 * d2 / (2.0 * m_radius);
    if (s < data.station)
        return e1;
    if (s > data.station)
        return e2;
    return (e1 + e2) / 2.0;
}

std::unique_ptr<VerticalCurve> VerticalSymparabola::clone() const
{
    return std::make_unique<VerticalSymparabola>(*this);
}

void VerticalSymparabola::updateTangentLengths(VerticalPoi const& data)
{
    double const t = finiteOrZero(std::fabs(data.gradeOut - data.gradeIn) * m_radius * 0.5);
    setTangentLengths(t, t);
}

void VerticalSymparabola::updateStations(VerticalPoi const& data)
{
    setStations(data.station - m_t1, data.station + m_t2);
}

void VerticalSymparabola::updateCoefficients(VerticalPoi const&) { }

// VerticalCircular

VerticalCircular::VerticalCircular(double radius)
    : m_radius(std::fabs(radius))
{
}

VerticalCircular::~VerticalCircular() = default;

double VerticalCircular::calcElevation(VerticalPoi const& data, double s, bool* ok) const
{
    bool const on = inRange(s);
    if (ok)
        *ok = on;
    if (!on)
        return 0.0;
    if (m_s2 == m_s1)
        return data.elevation;
    double const dx = s - m_xc;
    // Stations within the tolerance past the ends may step just outside the circle.
    double const root = std::sqrt(std::max(0.0, m_radius * m_radius - dx * dx));
    return m_yc - sagSign(data) * root;
}

std::unique_ptr<VerticalCurve> VerticalCircular::clone() const
{
    return std::make_unique<VerticalCircular>(*this);
}

void VerticalCircular::updateTangentLengths(VerticalPoi const& data)
{
    double const a1 = std::atan(data.gradeIn);
    double const a2 = std::atan(data.gradeOut);
    double const t = finiteOrZero(std::fabs(std::tan((a2 - a1) * 0.5)) * m_radius);
    setTangentLengths(t, t);
}

void VerticalCircular::updateStations(VerticalPoi const& data)
{
    double const a1 = std::atan(data.gradeIn);
    double const a2 = std::atan(data.gradeOut);
    setStations(data.station - std::fabs(std::cos(a1)) * m_t1, data.station + std::fabs(std::cos(a2)) * m_t2);
    m_xc = m_s1 - std::sin(a1) * sagSign(data) * m_radius;
}

void VerticalCircular::updateCoefficients(VerticalPoi const& data)
{
    double const a1 = std::atan(data.gradeIn);
    double const sigma = sagSign(data);
    m_xc = m_s1 - std::sin(a1) * sigma * m_radius;
    m_yc = m_h1 + std::fabs(std::cos(a1)) * sigma * m_radius;
}

// VerticalAsymparabola

VerticalAsymparabola::VerticalAsymparabola(double inLength, double outLength)
    : m_l1(std::fabs(inLength))
    , m_l2(std::fabs(outLength))
{
}

double VerticalAsymparabola::calcElevation(VerticalPoi const& data, double s, bool* ok) const
{
    bool const on = inRange(s);
    if (ok)
        *ok = on;
    if (!on)
        return 0.0;
    double const x = s - data.station;
    double const a = x >= 0.0 ? m_a2 : m_a1;
    return a * x * x + m_b * x + m_c;
}

std::unique_ptr<VerticalCurve> VerticalAsymparabola::clone() const
{
    return std::make_unique<VerticalAsymparabola>(*this);
}

void VerticalAsymparabola::updateTangentLengths(VerticalPoi const&)
{
    setTangentLengths(m_l1, m_l2);
}

void VerticalAsymparabola::updateStations(VerticalPoi const& data)
{
    setStations(data.station - m_l1, data.station + m_l2);
}

void VerticalAsymparabola::updateCoefficients(VerticalPoi const& data)
{
    double const g1 = data.gradeIn;
    double const g2 = data.gradeOut;
    double const h1 = m_h1;
    double const h2 = m_h2;
    double const d1 = m_s1 - data.station;
    double const d2 = m_s2 - data.station;
    double const d = d1 - d2;
    if (d == 0.0) {
        // No curve on either side: the PI is a corner.
        m_a1 = m_a2 = 0.0;
        m_b = g1;
        m_c = data.elevation;
        return;
    }
    // A side of zero length is never evaluated; keep its coefficient finite.
    m_a1 = d1 == 0.0 ? 0.0 : (2 * h1 - 2 * h2 - 2 * g1 * d1 + g1 * d2 + g2 * d2) / (-2 * d1 * d);
    m_a2 = d2 == 0.0 ? 0.0 : (2 * h2 - 2 * h1 + g1 * d1 + g2 * d1 - 2 * g2 * d2) / (2 * d2 * d);
    m_b = (2 * h1 - 2 * h2 - g1 * d1 + g2 * d2) / d;
    m_c = (2 * d1 * h2 - 2 * d2 * h1 + g1 * d1 * d2 - g2 * d1 * d2) / (2 * d);
}

} // namespace Road
} // namespace Pelko
