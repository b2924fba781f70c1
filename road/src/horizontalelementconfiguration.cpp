#include <road/horizontalelementconfiguration.h>

#include <road/pointofintersectionconfiguration.h>
#include <road/station.h>

#include "planindex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
const unsigned kNone = static_cast<unsigned>(-1);
} // namespace

HorizontalElementConfiguration::HorizontalElementConfiguration() = default;
HorizontalElementConfiguration::HorizontalElementConfiguration(const HorizontalElementConfiguration& other)
    = default;
HorizontalElementConfiguration&
HorizontalElementConfiguration::operator=(const HorizontalElementConfiguration& other)
    = default;
HorizontalElementConfiguration::~HorizontalElementConfiguration() = default;

HorizontalElementConfiguration::HorizontalElementConfiguration(const PointOfIntersectionConfiguration& pois)
{
    const unsigned n = pois.size();
    if (n < 2)
        return;
    // The start point's own curve values would otherwise shorten the first tangent.
    PointOfIntersection prev
        = PointOfIntersection::createPoint(pois.at(0).getPointOfIntersection(), pois.at(0).getPoiStation())
              .first;
    PointOfIntersection cur = pois.at(1);
    // The refused factory call is the public way to a null PI: the last PI has no next one.
    const PointOfIntersection none
        = PointOfIntersection::createArc(Corvex::Point(), std::numeric_limits<double>::quiet_NaN()).first;
    std::vector<HorizontalElement> chain;
    auto take = [&chain](const std::vector<HorizontalElement>& elements) {
        for (const HorizontalElement& element : elements) {
            // A curve that does not fit its corner gives non-finite lengths: no chain rather than NaN.
            if (!element.isValid())
                return false;
            chain.push_back(element);
        }
        return true;
    };
    for (unsigned k = 2; k < n; ++k) {
        const PointOfIntersection next = pois.at(k);
        // A spiral curve on a straight corner has no finite tangents: its elements would be left
        // out one by one and the chain would silently run elsewhere.
        if (cur.getCurveType() != PointPoiType
            && !(std::isfinite(cur.getInTangentLength()) && std::isfinite(cur.getOutTangetLength())
                 && std::isfinite(cur.getArcLength())))
            return;
        if (!take(cur.toElements(prev, next)))
            return;
        prev = cur;
        cur = next;
    }
    if (!take(cur.toElements(prev, none)))
        return;
    append(chain);
    for (const HorizontalElement& element : elements()) {
        const Corvex::Point end = element.getEndPoint();
        if (!end.isValid() || !std::isfinite(element.getEndAzimuth().toRadian())) {
            elements().clear();
            return;
        }
    }
    setBeginStation(pois.at(0).getPoiStation());
}

HorizontalElementConfiguration HorizontalElementConfiguration::clone() const
{
    HorizontalElementConfiguration copy;
    cloneTo(copy.elements());
    return copy;
}

void HorizontalElementConfiguration::rechain(unsigned from, unsigned previous)
{
    internal::touchGeometry();
    std::vector<HorizontalElement>& list = elements();
    // A null element in the list cannot carry the chain on: the next element chains from the last
    // valid one before it instead.
    HorizontalElement before = previous < list.size() ? list[previous] : HorizontalElement();
    for (std::size_t k = from; k < list.size(); ++k) {
        if (!list[k].isValid())
            continue;
        list[k].update(before);
        before = list[k];
    }
}

void HorizontalElementConfiguration::onInserted(unsigned index)
{
    rechain(index, index == 0 ? kNone : index - 1);
}

void HorizontalElementConfiguration::onAboutToRemove(unsigned index)
{
    rechain(index + 1, index == 0 ? kNone : index - 1);
}

void HorizontalElementConfiguration::onUpdated(unsigned index)
{
    onInserted(index);
}

void HorizontalElementConfiguration::setBeginStation(double station)
{
    std::vector<HorizontalElement>& list = elements();
    if (list.empty())
        return;
    list[0].updateStation(station);
    for (std::size_t k = 1; k < list.size(); ++k)
        list[k].updateStation(list[k - 1]);
}

unsigned HorizontalElementConfiguration::findIndex(double station) const
{
    const std::vector<HorizontalElement>& list = elements();
    if (list.empty() || std::isnan(station))
        return kNone;
    const double b = list.front().getBeginStation();
    const double e = list.back().getEndStation();
    if (!(station > b || std::fabs(station - b) < StationTolerance))
        return kNone;
    if (!(station < e || std::fabs(station - e) < StationTolerance))
        return kNone;
    std::size_t lo = 0;
    std::size_t hi = list.size();
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (list[mid].getBeginStation() > station)
            hi = mid;
        else
            lo = mid;
    }
    return static_cast<unsigned>(lo);
}

HorizontalElement HorizontalElementConfiguration::findElement(double station) const
{
    return at(findIndex(station));
}

HorizontalElementType HorizontalElementConfiguration::getPreferedElementType(unsigned index) const
{
    if (index == 0 || index > size())
        return LineElementType;
    switch (at(index - 1).getType()) {
    case LineElementType:
        return ArcElementType;
    case ArcElementType:
        return SpiralElementType;
    case SpiralElementType:
        // A spiral after a line leads into a curve; any other spiral leads out of one.
        return index >= 2 && at(index - 2).getType() == LineElementType ? ArcElementType : LineElementType;
    default:
        return LineElementType;
    }
}

bool HorizontalElementConfiguration::load(const internal::Node<HorizontalElementConfiguration>& node)
{
    if (node.isEmpty())
        return false;
    std::vector<HorizontalElement>& list = elements();
    const std::size_t first = list.size();
    const auto isStart = [](const HorizontalElement& e) { return e.getType() == StartElementType; };
    // A start record means something only at the head, where it places the first element. One after
    // a real element is no part of the road: kept, it would move to the head when the elements before
    // it are removed and then be taken as the start record of the next load.
    bool started = !std::all_of(list.begin(), list.end(), isStart);
    for (auto child = node.firstChild<HorizontalElement>("element"); !child.isEmpty();
         child.toNextSibling()) {
        if (child.getName() != "element")
            continue;
        HorizontalElement element;
        if (!element.load(child) || !element.isValid() || (started && isStart(element)))
            continue;
        started = started || !isStart(element);
        list.push_back(element);
    }
    if (list.empty())
        return true;
    onInserted(0);
    // A stored start record only hands its end point, azimuth and station to the first real element.
    // A second one at the head would be written first and taken as the start record on the next load,
    // dropping it there: all leading ones go now, the chain after them keeps its place.
    internal::touchGeometry();
    if (first == 0)
        list.erase(list.begin(), std::find_if_not(list.begin(), list.end(), isStart));
    return true;
}

bool HorizontalElementConfiguration::save(const internal::Node<HorizontalElementConfiguration>& node) const
{
    if (node.isEmpty())
        return false;
    node.removeChildren();
    node.setInt("type", 0);
    bool ok = true;
    for (const HorizontalElement& element : elements()) {
        if (!element.save(node.appendChild<HorizontalElement>("element")))
            ok = false;
    }
    return ok;
}

} // namespace Road
} // namespace Pelko
