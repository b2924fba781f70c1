#include <road/station.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {

int sign(double v)
{
    return (v > 0.0) - (v < 0.0);
}

} // namespace

bool Station::isValid() const
{
    return std::isfinite(m_station);
}

bool StationsEquation::isValid() const
{
    return std::isfinite(m_before) && std::isfinite(m_after) && std::isfinite(m_before - m_after);
}

bool StationsEquation::operator==(const StationsEquation &other) const
{
    return std::fabs(m_before - other.m_before) < StationTolerance && std::fabs(m_after - other.m_after) < StationTolerance;
}

bool StationsEquation::operator<(const StationsEquation &other) const
{
    return std::max(m_before, m_after) < std::min(other.m_before, other.m_after);
}

bool StationsEquation::operator<(double station) const
{
    return std::max(m_before, m_after) < station;
}

bool StationsEquation::operator>(const StationsEquation &other) const
{
    return std::min(m_before, m_after) > std::max(other.m_before, other.m_after);
}

bool StationsEquation::overlappedWith(const StationsEquation &other) const
{
    // The sign of (x - before)(x - after), taken without multiplying so that far-apart or
    // nearly equal stations cannot overflow or underflow the product.
    auto side = [this](double x) { return sign(x - m_before) * sign(x - m_after); };
    return side(other.m_after) * side(other.m_before) < 0;
}

StationsEquation::Result StationsEquation::fromStation(double x, bool isBefore) const
{
    if (isShortEquation())
        return fromShortAfter(x);
    if (isBefore)
        return x <= m_before ? Result(x, true) : Result(m_before - m_after + x, true);
    return x < m_after ? Result(x, true) : Result(m_before - m_after + x, true);
}

StationsEquation::Result StationsEquation::fromShortAfter(double x) const
{
    if (m_before < x && x < m_after)
        return Result(x, false);
    if (x < m_after)
        return Result(x, true);
    return Result(m_before - m_after + x, true);
}

unsigned StationsEquationConfiguration::Ranges::find(double continuous) const
{
    if (empty())
        return static_cast<unsigned>(-1);
    if (size() == 1)
        return 0;
    double offset = 0.0;
    for (size_t i = 0; i + 1 < size(); ++i) {
        const double local = continuous - offset;
        const Range &range = (*this)[i];
        if (local <= range.end && std::fabs(local - range.end) >= StationTolerance)
            return static_cast<unsigned>(i);
        offset += range.end - (*this)[i + 1].start;
    }
    return static_cast<unsigned>(size() - 1);
}

struct StationsEquationConfiguration::Data
{
    std::vector<StationsEquation> equations;
};

StationsEquationConfiguration::StationsEquationConfiguration() : d(std::make_shared<Data>()) {}

StationsEquationConfiguration StationsEquationConfiguration::clone() const
{
    StationsEquationConfiguration copy;
    copy.d->equations = d->equations;
    return copy;
}

unsigned StationsEquationConfiguration::getEquationSize() const
{
    return static_cast<unsigned>(d->equations.size());
}

StationsEquation StationsEquationConfiguration::getEquationAt(unsigned i) const
{
    return i < d->equations.size() ? d->equations[i] : StationsEquation(0.0, 0.0);
}

StationsEquationConfiguration::Result StationsEquationConfiguration::insertEquationNoCheck(unsigned i,
                                                                                         const StationsEquation &e)
{
    if (!e.isValid())
        return Result(InvalidEquation, i);
    const std::vector<StationsEquation> &list = d->equations;
    if (i > list.size())
        i = static_cast<unsigned>(list.size());
    if (i > 0) {
        const StationsEquation &previous = list[i - 1];
        if (previous.overlappedWith(e))
            return Result(Overlapped, i - 1);
        if (!(previous < e))
            return Result(NotAfterPrevious, i - 1);
    }
    if (i < list.size()) {
        const StationsEquation &next = list[i];
        if (next.overlappedWith(e))
            return Result(Overlapped, i);
        if (!(next > e))
            return Result(NotBeforeNext, i);
    }
    d->equations.insert(d->equations.begin() + i, e);
    return Result(Success, i);
}

StationsEquationConfiguration::Result StationsEquationConfiguration::appendEquation(const StationsEquation &e)
{
    return insertEquationNoCheck(getEquationSize(), e);
}

StationsEquationConfiguration::Result StationsEquationConfiguration::insertEquation(unsigned i,
                                                                                  const StationsEquation &e)
{
    if (i >= d->equations.size())
        return Result(OutOfRange, i);
    return insertEquationNoCheck(i, e);
}

StationsEquationConfiguration::Result StationsEquationConfiguration::setEquation(unsigned i,
                                                                               const StationsEquation &e)
{
    std::vector<StationsEquation> &list = d->equations;
    if (i >= list.size())
        return Result(OutOfRange, i);
    if (!e.isValid())
        return Result(InvalidEquation, i);
    if (i > 0) {
        const StationsEquation &previous = list[i - 1];
        if (previous.overlappedWith(e))
            return Result(Overlapped, i - 1);
        if (!(previous < e))
            return Result(NotAfterPrevious, i - 1);
    }
    if (i + 1 < list.size()) {
        const StationsEquation &next = list[i + 1];
        if (next.overlappedWith(e))
            return Result(Overlapped, i + 1);
        if (!(next > e))
            return Result(NotBeforeNext, i + 1);
    }
    list[i] = e;
    return Result(Success, i);
}

StationsEquationConfiguration::Result StationsEquationConfiguration::removeEquation(unsigned i)
{
    if (i >= d->equations.size())
        return Result(OutOfRange, i);
    d->equations.erase(d->equations.begin() + i);
    return Result(Success, i);
}

StationsEquation::Result StationsEquationConfiguration::getContinuousStation(const Station &station) const
{
    return getContinuousStation(station.getStation(), !station.isAfter());
}

StationsEquation::Result StationsEquationConfiguration::getContinuousStation(double x, bool isBefore) const
{
    // A NaN or infinite station lies on no chainage.
    if (!std::isfinite(x))
        return StationsEquation::Result(x, false);
    const std::vector<StationsEquation> &list = d->equations;
    double offset = 0.0;
    for (const StationsEquation &e : list) {
        if (!(e < x))
            return e.fromStation(x, isBefore) + offset;
        offset += e.getDifference();
    }
    return StationsEquation::Result(x, true) + offset;
}

Station StationsEquationConfiguration::getStationFromContinuous(double u) const
{
    const std::vector<StationsEquation> &list = d->equations;
    double offset = 0.0;
    size_t k = 0;
    for (size_t j = 0; j < list.size(); ++j) {
        const double local = u - offset;
        const double before = list[j].getBefore();
        if (local <= before && std::fabs(local - before) >= StationTolerance)
            break;
        offset += list[j].getDifference();
        k = j + 1;
    }
    if (k == 0)
        return Station(u, false);
    const StationsEquation &e = list[k - 1];
    const double local = u - offset;
    const double difference = e.getDifference();
    const double t = local - e.getAfter();
    return Station(local, difference > t || std::fabs(difference - t) < StationTolerance);
}

StationsEquationConfiguration::Ranges StationsEquationConfiguration::getRanges() const
{
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<StationsEquation> &list = d->equations;
    Ranges ranges;
    double start = -infinity;
    for (const StationsEquation &e : list) {
        ranges.push_back(Range{start, e.getBefore()});
        start = e.getAfter();
    }
    ranges.push_back(Range{start, infinity});
    return ranges;
}

void StationsEquationConfiguration::load(const internal::Node<StationsEquationConfiguration> &node)
{
    for (auto child = node.firstChild("equation"); child; child.toNextSibling()) {
        // Equations that fail the neighbour checks or are not finite are dropped, as an editor would refuse them.
        appendEquation(StationsEquation(child.getDouble("before", 0.0), child.getDouble("after", 0.0)));
    }
}

void StationsEquationConfiguration::save(const internal::Node<StationsEquationConfiguration> &node) const
{
    node.removeChildren();
    for (const StationsEquation &e : d->equations) {
        auto child = node.appendChild("equation");
        child.setDouble("before", e.getBefore());
        child.setDouble("after", e.getAfter());
    }
}

} // namespace Road
} // namespace Pelko
