#include <road/horizontalalignment.h>
#include <road/station.h>

#include "planindex.h"

#include <corvex/algorithms.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <vector>

namespace Pelko {
namespace Road {

namespace {
// A point this close to an element's end belongs to it whatever the angle tests say: the azimuth
// from a point to itself is 0 and means nothing.
const double kEndPointTolerance = 0.001;
// Degrees; a point on the normal at a join must pass the tests of both elements despite rounding.
const double kNormalSlack = 1e-7;
const double kOffsetTieTolerance = 1e-9;
// Elements up to this much farther than the nearest answer are still weighed, so that the tie rule
// sees every element it would have seen in a walk over the whole list.
const double kSearchMargin = 0.001;
const unsigned kNone = static_cast<unsigned>(-1);
const double kPi = 4.0 * std::atan(1.0);

double normalizedDegrees(double radians)
{
    double a = std::fmod(radians, 2.0 * kPi);
    if (a < 0.0)
        a += 2.0 * kPi;
    return a * 180.0 / kPi;
}
// Whether P lies in the sector an arc sweeps from its begin radius in its turn direction. The two
// normals at the ends would cut a sector of more than half a turn down to its wrong part, and a loop
// ramp turns three quarters.
bool withinArc(const HorizontalElement& arc, const Corvex::Point& p)
{
    const double radius = arc.getBeginRadius();
    const bool right = arc.getRurnDirection() == TurnRight;
    const double a0 = arc.getBeginAzimuth().toRadian();
    const double toCentre = right ? a0 + kPi / 2.0 : a0 - kPi / 2.0;
    const Corvex::Point begin = arc.getBeginPoint();
    const Corvex::Point centre(begin.getX() + radius * std::cos(toCentre),
                               begin.getY() + radius * std::sin(toCentre));
    const double fromBegin = Corvex::Utility::azimuth(centre, begin).toRadian();
    const double toPoint = Corvex::Utility::azimuth(centre, p).toRadian();
    const double swept = normalizedDegrees(right ? toPoint - fromBegin : fromBegin - toPoint);
    const double total = arc.getLength() / radius * 180.0 / kPi;
    // A point on the normal at either end passes despite rounding.
    return swept <= total + kNormalSlack || swept >= 360.0 - kNormalSlack;
}

// The angle tests of the plan-point rule: P lies ahead of the normal at the element's begin and behind
// the one at its end (an arc: within the angle it sweeps); each test is left out where P is within a
// millimetre of that end.
bool mayHold(const HorizontalElement& element, const Corvex::Point& p)
{
    const Corvex::Point begin = element.getBeginPoint();
    const Corvex::Point end = element.getEndPoint();
    const bool nearBegin = Corvex::Utility::distance(begin, p) <= kEndPointTolerance;
    const bool nearEnd = Corvex::Utility::distance(end, p) <= kEndPointTolerance;
    if (element.getType() == ArcElementType)
        return nearBegin || nearEnd || withinArc(element, p);
    if (!nearBegin) {
        const double a = normalizedDegrees(Corvex::Utility::azimuth(begin, p).toRadian()
                                           - element.getBeginAzimuth().toRadian());
        if (std::fabs(a - 180.0) < 90.0 - kNormalSlack)
            return false; // behind the normal at the begin
    }
    if (!nearEnd) {
        const double b = normalizedDegrees(Corvex::Utility::azimuth(end, p).toRadian()
                                           - element.getEndAzimuth().toRadian());
        if (std::fabs(b - 180.0) > 90.0 + kNormalSlack)
            return false; // ahead of the normal at the end
    }
    return true;
}

struct PlanAnswer
{
    unsigned index;
    double station;
    double offset;
};

// The element a plan point belongs to: of the elements that may hold it, the one with the least
// |offset|, the earlier one on ties. The index finds the elements near the point; they are weighed in
// list order as a walk over the whole list would weigh them.
bool findByPoint(const internal::PlanIndex& index, const Corvex::Point& p, PlanAnswer& answer)
{
    if (!p.isValid())
        return false;
    std::vector<PlanAnswer> candidates;
    double least = std::numeric_limits<double>::infinity();
    index.search(
        p.getX(), p.getY(),
        [&](unsigned i) {
            const HorizontalElement& element = index.element(i);
            double station = 0.0;
            double offset = 0.0;
            if (!mayHold(element, p) || !element.getStationOffset(p, station, offset) || std::isnan(offset))
                return;
            candidates.push_back(PlanAnswer { i, station, offset });
            least = std::min(least, std::fabs(offset));
        },
        [&least] { return least + kSearchMargin; });
    std::sort(candidates.begin(), candidates.end(),
              [](const PlanAnswer& a, const PlanAnswer& b) { return a.index < b.index; });
    double best = std::numeric_limits<double>::infinity();
    bool found = false;
    for (const PlanAnswer& candidate : candidates) {
        if (std::fabs(candidate.offset) < best - kOffsetTieTolerance) {
            best = std::fabs(candidate.offset);
            answer = candidate;
            found = true;
        }
    }
    return found;
}
} // namespace

class HorizontalAlignment::AlignmentPrivate
{
public:
    double beginStation = 0.0;
    HorizontalElementConfiguration elements;
    PointOfIntersectionConfiguration pois;
    int dataSourceType = NoDataSource;

    // Rebuilt on the first plan-point query after any change of an element or of the list.
    std::shared_ptr<const internal::PlanIndex> planIndex() const
    {
        std::lock_guard<std::mutex> lock(indexMutex);
        const std::uint64_t revision = internal::geometryRevision();
        if (!index || index->revision() != revision) {
            std::vector<HorizontalElement> list;
            list.reserve(elements.size());
            for (unsigned i = 0; i < elements.size(); ++i)
                list.push_back(elements.at(i));
            index = std::make_shared<const internal::PlanIndex>(std::move(list), revision);
        }
        return index;
    }

private:
    mutable std::mutex indexMutex;
    mutable std::shared_ptr<const internal::PlanIndex> index;
};

HorizontalAlignment::HorizontalAlignment()
    : d(std::make_shared<AlignmentPrivate>())
{
}

HorizontalAlignment::~HorizontalAlignment() = default;

HorizontalAlignment HorizontalAlignment::clone() const
{
    HorizontalAlignment copy;
    copy.d->beginStation = d->beginStation;
    copy.d->elements = d->elements.clone();
    copy.d->pois = d->pois.clone();
    copy.d->dataSourceType = d->dataSourceType;
    return copy;
}

int HorizontalAlignment::getDataSourceType() const
{
    return d->dataSourceType;
}

HorizontalElementConfiguration HorizontalAlignment::getElements() const
{
    return d->elements;
}

PointOfIntersectionConfiguration HorizontalAlignment::getPointOfIntersections() const
{
    return d->pois;
}

void HorizontalAlignment::setElements(const HorizontalElementConfiguration& elements)
{
    internal::touchGeometry();
    d->dataSourceType = ElementsDataSource;
    d->elements = elements;
    d->pois = elements.toPois();
}

void HorizontalAlignment::setPointOfIntersections(const PointOfIntersectionConfiguration& pois)
{
    internal::touchGeometry();
    d->dataSourceType = PoisDataSource;
    d->pois = pois;
    d->elements = HorizontalElementConfiguration(pois);
}

double HorizontalAlignment::getBeginStation() const
{
    return d->beginStation;
}

void HorizontalAlignment::setBeginStation(double station)
{
    d->beginStation = station;
    d->elements.setBeginStation(station);
}

double HorizontalAlignment::getEndStation() const
{
    if (d->elements.isEmpty())
        return d->beginStation;
    return d->elements.at(d->elements.size() - 1).getEndStation();
}

unsigned HorizontalAlignment::getBelongedElementIndex(double station, unsigned first) const
{
    const unsigned n = d->elements.size();
    for (unsigned i = first; i < n; ++i) {
        if (d->elements.at(i).contains(station, StationTolerance))
            return i;
    }
    return kNone;
}

HorizontalElement HorizontalAlignment::getBelongedHorizontalElement(double station) const
{
    const std::shared_ptr<const internal::PlanIndex> index = d->planIndex();
    const unsigned k = index->findByStation(station);
    return k == kNone ? HorizontalElement() : index->element(k);
}

HorizontalElement HorizontalAlignment::getBelongedHorizontalElement(const Corvex::Point& p) const
{
    const std::shared_ptr<const internal::PlanIndex> index = d->planIndex();
    PlanAnswer answer {};
    return findByPoint(*index, p, answer) ? index->element(answer.index) : HorizontalElement();
}

Corvex::Point HorizontalAlignment::getNorthEastByStationOffset(double station, double offset) const
{
    const std::shared_ptr<const internal::PlanIndex> index = d->planIndex();
    const unsigned k = index->findByStation(station);
    if (k == kNone)
        return Corvex::Point::invalid();
    const HorizontalElement& element = index->element(k);
    return element.getNorthEast(station - element.getBeginStation(), offset);
}

bool HorizontalAlignment::getStationOffsetByNorthEast(const Corvex::Point& p, double& station,
                                                      double& offset) const
{
    PlanAnswer answer {};
    if (!findByPoint(*d->planIndex(), p, answer))
        return false;
    station = answer.station;
    offset = answer.offset;
    return true;
}

TurnDirection HorizontalAlignment::getTurningDirectionAt(double station) const
{
    const unsigned index = getBelongedElementIndex(station, 0);
    if (index == kNone)
        return TurnRight;
    return d->elements.at(index).getRurnDirection();
}

std::pair<bool, std::string>
HorizontalAlignment::checkPointOfIntersections(const std::vector<const PointOfIntersection*>& pois)
{
    if (pois.size() >= 2)
        return { true, std::string() };
    // "At least two PIs are needed!" in GBK.
    return { false, std::string("\xb1\xd8\xd0\xeb\xb4\xf3\xd3\xda\xd2\xbb\xb8\xf6\xbd\xbb\xb5\xe3!") };
}

bool HorizontalAlignment::load(const internal::Node<HorizontalAlignment>& node)
{
    if (node.isEmpty())
        return false;
    const int type = node.getInt("type", NoDataSource);
    d->dataSourceType = type;
    if (type < NoDataSource || type > PoisDataSource)
        return true;
    if (type == PoisDataSource) {
        PointOfIntersectionConfiguration pois;
        pois.load(node.cast<PointOfIntersectionConfiguration>());
        if (!pois.isEmpty()) {
            setPointOfIntersections(pois);
            return true;
        }
    }
    HorizontalElementConfiguration elements;
    elements.load(node.cast<HorizontalElementConfiguration>());
    setElements(elements);
    return true;
}

bool HorizontalAlignment::save(const internal::Node<HorizontalAlignment>& node) const
{
    if (node.isEmpty())
        return false;
    // A form this program does not know was not loaded: leave what the file holds untouched rather
    // than erase it, and keep the form itself so that a new file reloads as the same alignment.
    if (d->dataSourceType < NoDataSource || d->dataSourceType > PoisDataSource) {
        node.setInt("type", d->dataSourceType);
        return true;
    }
    node.removeChildren();
    switch (d->dataSourceType) {
    case ElementsDataSource:
        return d->elements.save(node.cast<HorizontalElementConfiguration>());
    case PoisDataSource:
        return d->pois.save(node.cast<PointOfIntersectionConfiguration>());
    default:
        return true;
    }
}

} // namespace Road
} // namespace Pelko
