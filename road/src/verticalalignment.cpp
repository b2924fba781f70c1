#include <road/station.h>
#include <road/verticalalignment.h>

#include "revision.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>

namespace Pelko {
namespace Road {

namespace {

bool fuzzyGE(double a, double b, double e)
{
    return a > b || std::fabs(a - b) < e;
}

bool fuzzyLE(double a, double b, double e)
{
    return b > a || std::fabs(a - b) < e;
}
} // namespace

// The start and end stations of the PIs side by side, taken at one geometry revision. When both run in
// order, the first PI holding a station is found by bisection.
struct ProfileStations
{
    std::uint64_t revision = 0;
    std::vector<double> starts;
    std::vector<double> ends;
    bool ordered = false;
};

struct VerticalAlignment::Data
{
    std::vector<VerticalElement> elements;

    std::shared_ptr<const ProfileStations> profileStations() const
    {
        std::lock_guard<std::mutex> lock(stationsMutex);
        const std::uint64_t revision = internal::geometryRevision();
        if (!stations || stations->revision != revision) {
            auto built = std::make_shared<ProfileStations>();
            built->revision = revision;
            built->ordered = true;
            for (std::size_t k = 0; k < elements.size(); ++k) {
                built->starts.push_back(elements[k].getStartStation());
                built->ends.push_back(elements[k].getEndStation());
                if (k > 0
                    && !(built->starts[k] >= built->starts[k - 1] && built->ends[k] >= built->ends[k - 1]))
                    built->ordered = false;
            }
            for (std::size_t k = 0; k < elements.size() && built->ordered; ++k)
                built->ordered = built->starts[k] <= built->ends[k];
            stations = built;
        }
        return stations;
    }

private:
    mutable std::mutex stationsMutex;
    mutable std::shared_ptr<const ProfileStations> stations;
};

VerticalAlignment::VerticalAlignment()
    : d(std::make_shared<Data>())
{
}

VerticalAlignment VerticalAlignment::clone() const
{
    VerticalAlignment copy;
    copy.d->elements.reserve(d->elements.size());
    for (auto const& e : d->elements)
        copy.d->elements.push_back(e.clone());
    return copy;
}

unsigned VerticalAlignment::size() const
{
    return static_cast<unsigned>(d->elements.size());
}

bool VerticalAlignment::isEmpty() const
{
    return d->elements.empty();
}

VerticalElement VerticalAlignment::getAt(unsigned i) const
{
    return i < size() ? d->elements[i] : VerticalElement();
}

void VerticalAlignment::clear()
{
    internal::touchGeometry();
    d->elements.clear();
}

VerticalAlignment::Result VerticalAlignment::append(VerticalElement const& e)
{
    return insertBefore(size(), e);
}

VerticalAlignment::Result VerticalAlignment::insertBefore(unsigned i, VerticalElement const& e)
{
    internal::touchGeometry();
    auto& v = d->elements;
    unsigned const n = size();
    unsigned const k = std::min(i, n);
    if (!e || !e.isUsable())
        return { ModifyInvalidElement, k };
    if (v.empty()) {
        v.push_back(e);
        // A lone PI still needs its curve ends on its own station.
        v.front().update(nullptr, nullptr);
        return { ModifySuccess, 0 };
    }
    double const station = e.getPoi().station;
    if (k > 0 && fuzzyLE(station, v[k - 1].getPoi().station, StationTolerance))
        return { ModifyLessThanPrevious, k - 1 };
    if (k < n && fuzzyGE(station, v[k].getPoi().station, StationTolerance))
        return { ModifyGreaterThanNext, k };

    // The insertion recomputes the PIs on either side of it and the one after those.
    Kept const kept = keep(k > 0 ? k - 1 : 0, k + 2, e);
    v.insert(v.begin() + k, e);
    Result const r = onInserted(k);
    if (r.code != ModifySuccess) {
        v.erase(v.begin() + k);
        putBack(kept);
    }
    return r;
}

VerticalAlignment::Result VerticalAlignment::setAt(unsigned i, VerticalElement const& e)
{
    internal::touchGeometry();
    auto& v = d->elements;
    unsigned const n = size();
    if (i >= n)
        return { ModifyIndexOutOfRange, i };
    if (!e || !e.isUsable())
        return { ModifyInvalidElement, i };
    // The same order checks as an insertion, against the PIs on either side.
    double const station = e.getPoi().station;
    if (i > 0 && fuzzyLE(station, v[i - 1].getPoi().station, StationTolerance))
        return { ModifyLessThanPrevious, i - 1 };
    if (i + 1 < n && fuzzyGE(station, v[i + 1].getPoi().station, StationTolerance))
        return { ModifyGreaterThanNext, i + 1 };

    // Recomputing from the old element would not give back what a damaged profile held (PIs that
    // already overlap stop the recomputation early), so what the change touches is put back instead.
    Kept const kept = keep(i > 0 ? i - 1 : 0, i + 3, e);
    VerticalElement const old = v[i];
    v[i] = e;
    Result const r = onInserted(i);
    if (r.code != ModifySuccess) {
        v[i] = old;
        putBack(kept);
    }
    return r;
}

bool VerticalAlignment::removeAt(unsigned i)
{
    if (i >= size())
        return false;
    internal::touchGeometry();
    onAboutToRemove(i);
    d->elements.erase(d->elements.begin() + i);
    return true;
}

VerticalAlignment::Kept VerticalAlignment::keep(unsigned first, unsigned last,
                                                VerticalElement const& incoming) const
{
    Kept kept;
    for (unsigned k = first; k < last && k < size(); ++k)
        kept.emplace_back(d->elements[k], d->elements[k].clone());
    kept.emplace_back(incoming, incoming.clone());
    return kept;
}

void VerticalAlignment::putBack(Kept const& kept)
{
    for (auto const& [element, saved] : kept) {
        VerticalElement live = element;
        live.restore(saved);
    }
}

VerticalAlignment::Result VerticalAlignment::onInserted(unsigned i)
{
    auto& v = d->elements;
    unsigned const n = size();
    auto at = [&](unsigned k) -> VerticalElement* { return k < n ? &v[k] : nullptr; };

    if (i > 0) {
        ModifyResult const r = v[i - 1].update(i >= 2 ? &v[i - 2] : nullptr, &v[i]);
        if (r != ModifySuccess)
            return { r, i - 1 };
    }
    ModifyResult const r = v[i].update(i > 0 ? &v[i - 1] : nullptr, at(i + 1));
    if (r == ModifySuccess && i + 1 < n) {
        ModifyResult const r2 = v[i + 1].update(&v[i], at(i + 2));
        if (r2 != ModifySuccess)
            return { r2, i + 1 };
        // PI i+1's curve follows its new in grade, so the gap in front of PI i+2 moves too.
        if (i + 2 < n) {
            ModifyResult const r3 = v[i + 2].update(&v[i + 1], at(i + 3));
            if (r3 != ModifySuccess)
                return { r3, i + 2 };
        }
    }
    return { r, i };
}

void VerticalAlignment::onAboutToRemove(unsigned i)
{
    auto& v = d->elements;
    unsigned const n = size();
    auto at = [&](unsigned k) -> VerticalElement* { return k < n ? &v[k] : nullptr; };

    if (i > 0)
        v[i - 1].update(i >= 2 ? &v[i - 2] : nullptr, at(i + 1));
    if (i + 1 < n)
        v[i + 1].update(i > 0 ? &v[i - 1] : nullptr, at(i + 2));
    if (i + 2 < n)
        v[i + 2].update(&v[i + 1], at(i + 3));
}

void VerticalAlignment::onLoaded()
{
    auto& v = d->elements;
    unsigned const n = size();
    if (n == 1) {
        v[0].update(nullptr, nullptr);
        return;
    }
    for (unsigned k = 0; k + 1 < n; ++k)
        v[k].update(k > 0 ? &v[k - 1] : nullptr, &v[k + 1]);
    if (n >= 2)
        v[n - 1].update(&v[n - 2], nullptr);
}

double VerticalAlignment::calcElevation(double station, bool* ok) const
{
    auto const& v = d->elements;
    std::size_t first = 0;
    std::size_t last = v.size();
    std::shared_ptr<const ProfileStations> const stations = d->profileStations();
    if (stations->ordered && stations->ends.size() == v.size()) {
        // Ends in order: the PIs that end before the station (beyond the tolerance) come first, and
        // with starts in order only the first one after them can hold it.
        auto const& ends = stations->ends;
        first = static_cast<std::size_t>(
            std::partition_point(ends.begin(), ends.end(),
                                 [station](double end) {
                                     return !(station < end || std::fabs(station - end) < StationTolerance);
                                 })
            - ends.begin());
        last = std::min(v.size(), first + 1);
    }
    for (std::size_t k = first; k < last; ++k) {
        if (v[k].contains(station))
            return v[k].calcElevation(station, ok);
    }
    // A gap below the rounding threshold counts as none, which leaves a sliver of
    // grade line between two curves that no PI claims. In order, only the gap before the PI found
    // above can hold the station.
    for (std::size_t k = std::max<std::size_t>(first, 1); k < v.size() && k <= last; ++k) {
        if (station > v[k - 1].getEndStation() && station < v[k].getStartStation()) {
            VerticalElement::Poi const& poi = v[k].getPoi();
            if (ok)
                *ok = true;
            return poi.elevation + (station - poi.station) * poi.gradeIn;
        }
    }
    if (ok)
        *ok = false;
    return 0.0;
}

std::vector<Corvex::Point> VerticalAlignment::getPoints() const
{
    std::vector<Corvex::Point> points;
    for (auto const& e : d->elements) {
        auto const part = e.getPoints();
        points.insert(points.end(), part.begin(), part.end());
    }
    if (!d->elements.empty()) {
        auto const& last = d->elements.back();
        points.emplace_back(last.getEndStation(), last.getEndElevation());
    }
    return points;
}

bool VerticalAlignment::load(internal::Node<VerticalAlignment> const& node)
{
    internal::touchGeometry();
    d->elements.clear();
    bool allRead = true;
    for (auto child = node.firstChild<VerticalElement>("element"); child; child.toNextSibling()) {
        VerticalElement e;
        if (e.load(child))
            d->elements.push_back(e);
        else
            allRead = false;
    }
    onLoaded();
    return allRead;
}

void VerticalAlignment::save(internal::Node<VerticalAlignment> const& node) const
{
    node.removeChildren();
    for (auto const& e : d->elements)
        e.save(node.appendChild<VerticalElement>("element"));
}

} // namespace Road
} // namespace Pelko
