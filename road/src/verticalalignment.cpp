#include <road/verticalalignment.h>

#include <algorithm>
#include <cmath>

namespace Pelko {
namespace Road {

namespace {
constexpr double stationTolerance = 0.001;

bool fuzzyGE(double a, double b, double e)
{
    return a > b || std::fabs(a - b) < e;
}

bool fuzzyLE(double a, double b, double e)
{
    return b > a || std::fabs(a - b) < e;
}
} // namespace

struct VerticalAlignment::Data
{
    std::vector<VerticalElement> elements;
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
    d->elements.clear();
}

VerticalAlignment::Result VerticalAlignment::append(VerticalElement const& e)
{
    return insertBefore(size(), e);
}

VerticalAlignment::Result VerticalAlignment::insertBefore(unsigned i, VerticalElement const& e)
{
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
    if (k > 0 && fuzzyLE(station, v[k - 1].getPoi().station, stationTolerance))
        return { ModifyLessThanPrevious, k - 1 };
    if (k < n && fuzzyGE(station, v[k].getPoi().station, stationTolerance))
        return { ModifyGreaterThanNext, k };

    v.insert(v.begin() + k, e);
    Result const r = onInserted(k);
    if (r.code != ModifySuccess)
        removeAt(k);
    return r;
}

VerticalAlignment::Result VerticalAlignment::setAt(unsigned i, VerticalElement const& e)
{
    auto& v = d->elements;
    unsigned const n = size();
    if (i >= n)
        return { ModifyIndexOutOfRange, i };
    if (!e || !e.isUsable())
        return { ModifyInvalidElement, i };
    // The same order checks as an insertion, against the PIs on either side.
    double const station = e.getPoi().station;
    if (i > 0 && fuzzyLE(station, v[i - 1].getPoi().station, stationTolerance))
        return { ModifyLessThanPrevious, i - 1 };
    if (i + 1 < n && fuzzyGE(station, v[i + 1].getPoi().station, stationTolerance))
        return { ModifyGreaterThanNext, i + 1 };

    VerticalElement const old = v[i];
    v[i] = e;
    Result const r = onInserted(i);
    if (r.code != ModifySuccess) {
        v[i] = old;
        onInserted(i);
    }
    return r;
}

bool VerticalAlignment::removeAt(unsigned i)
{
    if (i >= size())
        return false;
    onAboutToRemove(i);
    d->elements.erase(d->elements.begin() + i);
    return true;
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
    for (auto const& e : v) {
        if (e.contains(station))
            return e.calcElevation(station, ok);
    }
    // A gap below the rounding threshold counts as none, which leaves a sliver of
    // grade line between two curves that no PI claims.
    for (std::size_t k = 1; k < v.size(); ++k) {
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
    d->elements.clear();
    bool allRead = true;
    for (auto child = node.firstChild<VerticalElement>("element"); child; child = child.nextSibling()) {
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
