#include <road/horizontalalignment.h>

#include <corvex/algorithms.h>

#include <cmath>
#include <limits>

namespace Pelko {
namespace Road {

namespace {
const double kStationTolerance = 0.001;
// A point this close to an element's end belongs to it whatever the angle tests say: the azimuth
// from a point to itself is 0 and means nothing.
const double kEndPointTolerance = 0.001;
// Degrees; a point on the normal at a join must pass the tests of both elements despite rounding.
const double kNormalSlack = 1e-7;
const double kOffsetTieTolerance = 1e-9;
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
} // namespace

class HorizontalAlignment::AlignmentPrivate
{
public:
    double beginStation = 0.0;
    HorizontalElementConfiguration elements;
    PointOfIntersectionConfiguration pois;
    int dataSourceType = NoDataSource;
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
    d->dataSourceType = ElementsDataSource;
    d->elements = elements;
    d->pois = elements.toPois();
}

void HorizontalAlignment::setPointOfIntersections(const PointOfIntersectionConfiguration& pois)
{
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
        if (d->elements.at(i).contains(station, kStationTolerance))
            return i;
    }
    return kNone;
}

HorizontalElement HorizontalAlignment::getBelongedHorizontalElement(double station) const
{
    auto holds = [station](const HorizontalElement& element) {
        return element.isValid() && element.getLength() > 0.0 && element.contains(station, kStationTolerance);
    };
    // The chain is ordered by station: bisect, then step back over neighbours that also hold the
    // station (joins, zero-length elements) so that the first one in list order still wins.
    unsigned k = d->elements.findIndex(station);
    if (k != kNone && d->elements.at(k).contains(station, kStationTolerance)) {
        while (k > 0 && d->elements.at(k - 1).contains(station, kStationTolerance))
            --k;
        for (const unsigned n = d->elements.size(); k < n; ++k) {
            const HorizontalElement element = d->elements.at(k);
            if (holds(element))
                return element;
            if (!element.contains(station, kStationTolerance))
                break;
        }
    }
    const unsigned n = d->elements.size();
    for (unsigned i = 0; i < n; ++i) {
        const HorizontalElement element = d->elements.at(i);
        if (element.isValid() && element.getLength() > 0.0 && element.contains(station, kStationTolerance))
            return element;
    }
    return HorizontalElement();
}

HorizontalElement HorizontalAlignment::getBelongedHorizontalElement(const Corvex::Point& p) const
{
    HorizontalElement result;
    if (!p.isValid())
        return result;
    double best = std::numeric_limits<double>::infinity();
    const unsigned n = d->elements.size();
    for (unsigned i = 0; i < n; ++i) {
        const HorizontalElement element = d->elements.at(i);
        const double length = element.getLength();
        if (!element.isValid() || length == 0.0 || std::isnan(length))
            continue;
        const Corvex::Point begin = element.getBeginPoint();
        const double fromBegin = Corvex::Utility::distance(begin, p);
        // The foot point lies on the element, so |offset| >= fromBegin - length: projecting an
        // element that cannot beat the best one is wasted work.
        if (fromBegin - length > best + kOffsetTieTolerance)
            continue;
        const Corvex::Point end = element.getEndPoint();
        const bool nearBegin = fromBegin <= kEndPointTolerance;
        const bool nearEnd = Corvex::Utility::distance(end, p) <= kEndPointTolerance;
        if (element.getType() == ArcElementType) {
            if (!nearBegin && !nearEnd && !withinArc(element, p))
                continue;
        } else {
            if (!nearBegin) {
                const double a = normalizedDegrees(Corvex::Utility::azimuth(begin, p).toRadian()
                                                   - element.getBeginAzimuth().toRadian());
                if (std::fabs(a - 180.0) < 90.0 - kNormalSlack)
                    continue; // behind the normal at the begin
            }
            if (!nearEnd) {
                const double b = normalizedDegrees(Corvex::Utility::azimuth(end, p).toRadian()
                                                   - element.getEndAzimuth().toRadian());
                if (std::fabs(b - 180.0) > 90.0 + kNormalSlack)
                    continue; // ahead of the normal at the end
            }
        }
        double station = 0.0;
        double offset = 0.0;
        if (!element.getStationOffset(p, station, offset) || std::isnan(offset))
            continue;
        if (std::fabs(offset) < best - kOffsetTieTolerance) {
            best = std::fabs(offset);
            result = element;
        }
    }
    return result;
}

Corvex::Point HorizontalAlignment::getNorthEastByStationOffset(double station, double offset) const
{
    const HorizontalElement element = getBelongedHorizontalElement(station);
    if (!element.isValid())
        return Corvex::Point::invalid();
    return element.getNorthEast(station - element.getBeginStation(), offset);
}

bool HorizontalAlignment::getStationOffsetByNorthEast(const Corvex::Point& p, double& station,
                                                      double& offset) const
{
    const HorizontalElement element = getBelongedHorizontalElement(p);
    if (!element.isValid())
        return false;
    return element.getStationOffset(p, station, offset);
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
