#pragma once

#include <road/internal/node.h>
#include <road/station.h>

#include <cmath>
#include <cstddef>
#include <iterator>
#include <vector>

namespace Pelko {
namespace Road {

enum class InterpolatorCurve { Linear, Cubic, Biquadratic };

// Which value of a point the interpolator works on; specialised beside each point type.
template<typename P> struct InterpolatorTraits;

// The two points around one station and how the value passes between them.
template<typename P, typename Traits = InterpolatorTraits<P>> class SectionInterpolator
{
public:
    SectionInterpolator() = default;

    // The search compares stations exactly; a list loaded from a file may be unsorted and still gives
    // an answer, only not a meaningful one.
    static SectionInterpolator find(const std::vector<P>& points, double station)
    {
        SectionInterpolator result;
        if (points.empty())
            return result;
        result.m_hasPoints = true;
        std::size_t k = 0;
        while (k < points.size() && points[k].getStation() < station)
            ++k;
        if (k == points.size()) {
            result.m_previous = result.m_next = points.back();
        } else if (k == 0) {
            result.m_previous = result.m_next = points.front();
        } else {
            result.m_previous = points[k - 1];
            result.m_next = points[k];
        }
        const double a = Traits::value(result.m_previous);
        const double b = Traits::value(result.m_next);
        result.m_constant = std::fabs(a - b) < 0.001
            || std::fabs(result.m_next.getStation() - result.m_previous.getStation()) < StationTolerance;
        return result;
    }

    bool hasPoints() const { return m_hasPoints; }
    bool isConstant() const { return m_constant; }
    const P& previous() const { return m_previous; }
    const P& next() const { return m_next; }

    // ownValue answers when there are no points.
    double value(double station, double ownValue) const
    {
        if (!m_hasPoints)
            return ownValue;
        const double a = Traits::value(m_previous);
        if (m_constant)
            return a;
        const double d = Traits::value(m_next) - a;
        const double length = m_next.getStation() - m_previous.getStation();
        const double t = (station - m_previous.getStation()) / length;
        switch (Traits::curve(m_previous)) {
        case InterpolatorCurve::Cubic:
            return a + d * t * t * (3.0 - 2.0 * t);
        case InterpolatorCurve::Biquadratic:
            return a + d * t * t * t * (4.0 - 3.0 * t);
        case InterpolatorCurve::Linear:
            break;
        }
        return a + (station - m_previous.getStation()) * d / length;
    }

private:
    P m_previous;
    P m_next;
    bool m_hasPoints = false;
    bool m_constant = true;
};

// The station-ordered points of one element. E names the element the points modify.
template<typename E, typename P> class SectionModificationConfiguration
{
public:
    using Interpolator = SectionInterpolator<P, InterpolatorTraits<P>>;

    // Outcomes of setAt before they are turned into the element configuration's codes.
    enum SetOutcome : int {
        SetOutOfRange = -2,
        SetNotAbovePrevious = -1,
        SetDone = 0,
        SetNotBelowNext = 1,
        SetInvalidPoint = 2,
    };

    SectionModificationConfiguration() = default;
    SectionModificationConfiguration(const SectionModificationConfiguration&) = default;
    SectionModificationConfiguration& operator=(const SectionModificationConfiguration&) = default;
    virtual ~SectionModificationConfiguration() = default;

    unsigned size() const { return static_cast<unsigned>(m_points.size()); }
    const std::vector<P>& points() const { return m_points; }
    P at(unsigned index) const { return index < m_points.size() ? m_points[index] : P(); }
    Interpolator interpolator(double station) const { return Interpolator::find(m_points, station); }

    // Refuses a station within StationTolerance of a listed one, so neighbours never get that close.
    bool add(const P& point)
    {
        if (!isUsable(point))
            return false;
        auto it = m_points.begin();
        while (it != m_points.end() && it->getStation() < point.getStation())
            ++it;
        // Both neighbours count: a station just above the last point is as close as one just below it.
        if (it != m_points.end() && std::fabs(it->getStation() - point.getStation()) < StationTolerance)
            return false;
        if (it != m_points.begin()
            && std::fabs(std::prev(it)->getStation() - point.getStation()) < StationTolerance)
            return false;
        m_points.insert(it, point);
        return true;
    }

    // The neighbours are tested with the same margin as add, so a replacement cannot bring two
    // points closer than add would have allowed.
    SetOutcome setAt(unsigned index, const P& point)
    {
        if (index >= m_points.size())
            return SetOutOfRange;
        if (!isUsable(point))
            return SetInvalidPoint;
        const double station = point.getStation();
        if (index + 1 < m_points.size() && !(station < m_points[index + 1].getStation() - StationTolerance))
            return SetNotBelowNext;
        if (index > 0 && !(station > m_points[index - 1].getStation() + StationTolerance))
            return SetNotAbovePrevious;
        m_points[index] = point;
        return SetDone;
    }

    void removeAt(unsigned index)
    {
        if (index < m_points.size())
            m_points.erase(m_points.begin() + index);
    }

    void clear() { m_points.clear(); }

    // Keeps the file's order. Points whose numbers are not finite are left out and reported by false.
    bool load(const internal::Node<SectionModificationConfiguration>& node)
    {
        m_points.clear();
        bool complete = true;
        for (auto child = node.template firstChild<P>("element"); child; child = child.nextSibling()) {
            P point;
            point.load(child);
            if (isUsable(point))
                m_points.push_back(point);
            else
                complete = false;
        }
        return complete;
    }

    void save(const internal::Node<SectionModificationConfiguration>& node) const
    {
        node.removeChildren();
        for (const P& point : m_points)
            point.save(node.template appendChild<P>("element"));
    }

private:
    static bool isUsable(const P& point)
    {
        return std::isfinite(point.getStation()) && std::isfinite(InterpolatorTraits<P>::value(point));
    }

    std::vector<P> m_points;
};

} // namespace Road
} // namespace Pelko
