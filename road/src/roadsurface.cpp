#include <road/roadsurface.h>

#include "sectionstrips.h"

#include <road/horizontalalignment.h>
#include <road/internal/roadfile.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/station.h>
#include <road/stationtable.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>

#include <road/internal/linesegmentclipper.h>
#include <road/slopesection.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplateconfiguration.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>

namespace Pelko {
namespace Road {

using internal::Xml::RoadFile;

class RoadSurface::RoadSurfacePrivate
{
public:
    explicit RoadSurfacePrivate(const std::string& path)
        : path(path)
    {
        slopes.attach(library);
    }

    ~RoadSurfacePrivate() { slopes.detach(); }

    RoadSurfacePrivate(const RoadSurfacePrivate&) = delete;
    RoadSurfacePrivate& operator=(const RoadSurfacePrivate&) = delete;

    std::string path;
    double startStation = 0.0;
    // Members are destroyed in reverse order, so the parts go in the reverse order of creation.
    StationsEquationConfiguration equations;
    HorizontalAlignment horizontal;
    VerticalAlignment vertical;
    StandardSection standard;
    SlopeSectionTemplateLibrary library;
    SlopeSectionConfiguration slopes;
    StructureElementConfiguration structures;
    StationTable table;
    PivotType pivotType = PivotNone;
    double pivotOffset = 0.0;

    // The document of the last load or save, for the next save; saves running at once parse anew.
    std::unique_ptr<RoadFile::Snapshot> takeSnapshot()
    {
        std::lock_guard<std::mutex> lock(snapshotMutex);
        return std::move(snapshot);
    }
    void keepSnapshot(RoadFile& file)
    {
        auto kept = file.takeSnapshot();
        std::lock_guard<std::mutex> lock(snapshotMutex);
        snapshot = std::move(kept);
    }

private:
    std::mutex snapshotMutex;
    std::unique_ptr<RoadFile::Snapshot> snapshot;
};

RoadSurface::RoadSurface()
    : RoadSurface("Undefined")
{
}

RoadSurface::RoadSurface(const std::string& path)
    : d(std::make_shared<RoadSurfacePrivate>(path))
{
}

RoadSurface::~RoadSurface() = default;

const std::string& RoadSurface::getPath() const
{
    return d->path;
}

bool RoadSurface::load()
{
    RoadFile file(d->path);
    file.open(false);
    if (!file.hasDocument() || file.getVersion() >= 5)
        return false;

    d->pivotType = static_cast<PivotType>(file.getPivotType());
    d->pivotOffset = file.getPivotOffset();

    StationsEquationConfiguration equations;
    equations.load(file.getStationsEquation());
    d->equations = equations;

    HorizontalAlignment horizontal;
    horizontal.load(file.getHorizontalAlignment());
    d->horizontal = horizontal;

    VerticalAlignment vertical;
    vertical.load(file.getVerticalAlignment());
    d->vertical = vertical;

    StandardSection standard;
    standard.load(file.getStandardSection());
    d->standard = standard;

    // Older files have no library node; the library then keeps what it holds.
    const auto libraryNode = file.getSlopeSectionLibrary();
    if (libraryNode)
        d->library.load(libraryNode);
    d->slopes.load(file.getSlopeSection());

    StructureElementConfiguration structures;
    structures.load(file.getStructureElements());
    d->structures = structures;

    StationTable table;
    table.load(file.getStationTable());
    d->table = table;
    d->keepSnapshot(file);
    return true;
}

bool RoadSurface::save(SaveError* error, int* systemError) const
{
    return saveAs(d->path, error, systemError);
}

bool RoadSurface::saveAs(const std::string& path, SaveError* error, int* systemError) const
{
    RoadFile file(path);
    file.openForSave(d->takeSnapshot());
    if (!file.hasDocument()) {
        if (error)
            *error = file.getSaveError();
        if (systemError)
            *systemError = file.getSystemError();
        return false;
    }

    file.setPivotType(d->pivotType);
    file.setPivotOffset(d->pivotOffset);

    d->equations.save(file.getStationsEquation());
    d->horizontal.save(file.getHorizontalAlignment());
    d->vertical.save(file.getVerticalAlignment());
    d->standard.save(file.getStandardSection());
    // Opening for writing raises the file to the current version, so the library always has a node;
    // writing it into an older file is what keeps its templates from being lost.
    const auto libraryNode = file.getSlopeSectionLibrary();
    if (libraryNode)
        d->library.save(libraryNode);
    d->slopes.save(file.getSlopeSection());
    d->structures.save(file.getStructureElements());
    d->table.save(file.getStationTable());
    const bool saved = file.save();
    if (error)
        *error = file.getSaveError();
    if (systemError)
        *systemError = file.getSystemError();
    // Kept also when only the folder sync failed: the file holds what was written.
    d->keepSnapshot(file);
    return saved;
}

HorizontalAlignment* RoadSurface::getHorizontalAligment() const
{
    return &d->horizontal;
}

StandardSection* RoadSurface::getStandardSection() const
{
    return &d->standard;
}

SlopeSectionTemplateLibrary* RoadSurface::getSlopeSectionTemplateLibrary() const
{
    return &d->library;
}

SlopeSectionConfiguration* RoadSurface::getSlopeSectionConfiguration() const
{
    return &d->slopes;
}

StationsEquationConfiguration RoadSurface::getStationsEquations() const
{
    return d->equations;
}

VerticalAlignment RoadSurface::getVerticalAligment() const
{
    return d->vertical;
}

StructureElementConfiguration RoadSurface::getStructures() const
{
    return d->structures;
}

StationTable RoadSurface::getStationTable() const
{
    return d->table;
}

void RoadSurface::setStationsEquations(const StationsEquationConfiguration& equations)
{
    d->equations = equations;
}

void RoadSurface::setVerticalAlignment(const VerticalAlignment& alignment)
{
    d->vertical = alignment;
}

void RoadSurface::setStructures(const StructureElementConfiguration& structures)
{
    d->structures = structures;
}

double RoadSurface::getStartStation() const
{
    return d->startStation;
}

void RoadSurface::setStartStation(double station)
{
    d->startStation = station;
    d->horizontal.setBeginStation(station);
}

PivotType RoadSurface::getPivotType() const
{
    return d->pivotType;
}

double RoadSurface::getPivotOffset() const
{
    return d->pivotOffset;
}

void RoadSurface::setPivouType(PivotType type, double offset)
{
    d->pivotType = type;
    d->pivotOffset = (type == PivotNone || type == PivotPlan) ? 0.0 : offset;
}

double RoadSurface::getAppliedPivotOffset(bool left, double station) const
{
    const double offset = d->pivotOffset;
    switch (d->pivotType) {
    case PivotMedialStrip:
        return left ? -offset : offset;
    case PivotOutsideOfTurn:
        return d->horizontal.getTurningDirectionAt(station) == TurnLeft ? offset : -offset;
    case PivotInsideOfTurn:
        return d->horizontal.getTurningDirectionAt(station) == TurnLeft ? -offset : offset;
    case PivotRoadLeftSide:
        return -offset;
    case PivotRoadRightSide:
        return offset;
    default:
        return 0.0;
    }
}

double RoadSurface::getBaseLineElevation(double station, bool& ok) const
{
    ok = false;
    const double elevation = d->vertical.calcElevation(station, &ok);
    return ok ? elevation : 0.0;
}

namespace {

// Height of the side slope at distance past the section edge (negative on the left), from the
// template in force at the station; false when there is no template or it gives no height.
bool sideSlopeElevation(const SlopeSectionConfiguration& slopes, StandardSection::SectionSide side,
                        double station, double distance, double& height)
{
    height = 0.0;
    const SlopeSectionTemplate slope
        = slopes.get(side == StandardSection::Left ? SlopeSideLeft : SlopeSideRight)
              .getSlopeTemplateByStation(station);
    if (!slope.isValid())
        return false;
    const double value = slope.generateSlope(Corvex::Point(0.0, 0.0)).getElevation(distance);
    if (!std::isfinite(value))
        return false;
    height = value;
    return true;
}

// Height of the section surface at offset on a side's section already evaluated at the station; the
// other side (a lookup of -0 on the left) is evaluated afresh.
double sectionHeight(const StandardSection& standard, const internal::StripList& section,
                     StandardSection::SectionSide side, double station, double lookup, double pivot,
                     bool& extend, bool& ok)
{
    if ((lookup < 0.0) != (side == StandardSection::Left))
        return standard.getDeltaHeightByStationOffset(station, lookup, pivot, extend, ok);
    const double height = internal::deltaHeightByOffset(section.begin(), section.end(), lookup, extend, &ok);
    return ok ? height : 0.0;
}

} // namespace

bool RoadSurface::getElevation(double station, double offset, double& elevation) const
{
    bool ok = false;
    elevation = getElevation(station, offset, 0.0, true, ok);
    return ok;
}

double RoadSurface::getElevation(double station, double offset, double updown, bool useSlope, bool& ok) const
{
    bool profileOk = false;
    const double base = getBaseLineElevation(station, profileOk);
    // The centre line carries no pivot shift.
    if (std::fabs(offset) < 0.001) {
        ok = profileOk;
        return base - updown;
    }

    const double pivot = getAppliedPivotOffset(offset < 0, station);
    const auto side = offset < 0 ? StandardSection::Left : StandardSection::Right;
    const double sign = offset < 0 ? -1.0 : 1.0;
    // One evaluation of the side's section gives both its width and its heights: the section of
    // getCrossSection(station, side, pivot, 0.0) as numbers, not built for the one height asked of it.
    const internal::StripList section
        = internal::sectionStrips(*d->standard.getCrossSectionConfigurationPtr(side), station,
                                  d->standard.getCenterDeltaHeight(station, pivot) + 0.0);
    const double total = internal::totalOffset(section.begin(), section.end());

    double lookup = offset;
    double slopePart = 0.0;
    bool slopeOk = true;
    if (std::fabs(offset) > total && useSlope) {
        updown = 0.0;
        slopeOk = sideSlopeElevation(d->slopes, side, station, (std::fabs(offset) - total) * sign, slopePart);
        if (slopeOk)
            lookup = total * sign;
    }

    bool extend = !useSlope;
    bool sectionOk = false;
    const double dh = sectionHeight(d->standard, section, side, station, lookup, pivot, extend, sectionOk);
    ok = profileOk && sectionOk && slopeOk;
    return dh + (base - updown) + slopePart;
}

double RoadSurface::getElevation(double station, double offset, double adjust, bool& ok) const
{
    bool profileOk = false;
    const double base = getBaseLineElevation(station, profileOk);
    if (std::fabs(offset) < 0.001) {
        ok = profileOk;
        return base + adjust;
    }

    const double pivot = getAppliedPivotOffset(offset < 0, station);
    const auto side = offset < 0 ? StandardSection::Left : StandardSection::Right;
    const double sign = offset < 0 ? -1.0 : 1.0;
    const internal::StripList section
        = internal::sectionStrips(*d->standard.getCrossSectionConfigurationPtr(side), station,
                                  d->standard.getCenterDeltaHeight(station, pivot) + 0.0);
    const double total = internal::totalOffset(section.begin(), section.end());
    const bool inside = !(std::fabs(offset) > total);

    bool extend = false;
    bool sectionOk = false;
    const double dh = sectionHeight(d->standard, section, side, station, inside ? offset : total * sign,
                                    pivot, extend, sectionOk);
    double elevation = dh + base;
    bool slopeOk = true;
    if (inside) {
        elevation += adjust;
    } else {
        double slopePart = 0.0;
        slopeOk = sideSlopeElevation(d->slopes, side, station, (std::fabs(offset) - total) * sign, slopePart);
        elevation += slopePart;
    }
    ok = profileOk && sectionOk && slopeOk;
    return elevation;
}

bool RoadSurface::getStationRange(double& begin, double& end) const
{
    const HorizontalElementConfiguration elements = d->horizontal.getElements();
    if (elements.isEmpty())
        return false;
    begin = elements.at(0).getBeginStation();
    end = elements.at(elements.size() - 1).getEndStation();
    return true;
}

bool RoadSurface::isOnRoad(double station) const
{
    double begin = 0.0;
    double end = 0.0;
    return getStationRange(begin, end) && station > begin - StationTolerance
        && station < end + StationTolerance;
}

Corvex::Point RoadSurface::getNorthEast(double station, double offset, bool* ok) const
{
    const Corvex::Point point = d->horizontal.getNorthEastByStationOffset(station, offset);
    if (ok)
        *ok = point.isValid();
    return point;
}

bool RoadSurface::getStationOffset(const Corvex::Point& point, double& station, double& offset) const
{
    return d->horizontal.getStationOffsetByNorthEast(point, station, offset);
}

CrossSection RoadSurface::getCrossSection(double station, StandardSection::SectionSide side) const
{
    bool ok = false;
    const double elevation = getBaseLineElevation(station, ok);
    const double pivot = getAppliedPivotOffset(side == StandardSection::Left, station);
    return d->standard.getCrossSection(station, side, pivot, elevation);
}

namespace {

// Left edge forward and right edge backward of one outline.
class Outline
{
public:
    Outline(const StandardSection& standard)
        : m_standard(standard)
    {
    }

    // A station or point that is not finite (a curve that failed to build) adds nothing.
    void add(const HorizontalElement& element, double station)
    {
        if (!std::isfinite(station))
            return;
        const auto widths = m_standard.getTotalOffset(station);
        const double s = station - element.getBeginStation();
        const Corvex::Point left = element.getNorthEast(s, -widths.first);
        const Corvex::Point right = element.getNorthEast(s, widths.second);
        if (!left.isValid() || !right.isValid())
            return;
        m_left.push_back(left);
        m_right.push_back(right);
    }

    Corvex::Polygon polygon() const
    {
        Corvex::Polygon result;
        for (const auto& p : m_left)
            result.appendPoint(p);
        for (auto it = m_right.rbegin(); it != m_right.rend(); ++it)
            result.appendPoint(*it);
        if (!m_left.empty())
            result.appendPoint(m_left.front());
        return result;
    }

private:
    const StandardSection& m_standard;
    std::vector<Corvex::Point> m_left;
    std::vector<Corvex::Point> m_right;
};

bool isCurve(const HorizontalElement& element)
{
    return element.getType() == SpiralElementType || element.getType() == ArcElementType;
}

// Elements of no length, or with no station to place them, add nothing to an outline.
bool isOutlined(const HorizontalElement& element)
{
    const double length = element.getLength();
    return length != 0.0 && std::isfinite(length) && std::isfinite(element.getBeginStation());
}

// Stations closer than a millimetre are the same station: a finer interval adds nothing but points,
// and one that is not positive would never advance.
bool isUsableInterval(double interval)
{
    return std::isfinite(interval) && interval >= StationTolerance;
}

// More stations than any outline or station list needs: a curve this long for the interval comes from a
// damaged file, and sampling it would not end. The drawing path gives up on such a curve the same way.
constexpr double kMaxSampledStations = 1e6;

// Stations an element adds to the outline when span metres of it are sampled.
double borderStations(const HorizontalElement& element, double span, double interval)
{
    if (!isCurve(element) || !isUsableInterval(interval) || !(span > 0.0))
        return 1.0;
    return std::ceil(span / interval);
}

// Stops of an iterator stepping at the interval over the whole alignment: the grid stations of each
// chainage range, at most, and each element's end and an arc's midpoint.
double gradualStations(const HorizontalAlignment& alignment, const StationsEquationConfiguration& equations,
                       double interval)
{
    const double span = alignment.getEndStation() - alignment.getBeginStation();
    const double ranges = static_cast<double>(equations.getEquationSize()) + 1.0;
    const double elements = static_cast<double>(alignment.getElements().size());
    return std::ceil(span / interval) + ranges + 2.0 * elements;
}

} // namespace

Corvex::Polygon RoadSurface::getBorder(double interval) const
{
    const HorizontalElementConfiguration elements = d->horizontal.getElements();
    double stations = 0.0;
    for (unsigned i = 0; i < elements.size(); ++i) {
        const HorizontalElement element = elements.at(i);
        if (isOutlined(element))
            stations += borderStations(element, element.getLength(), interval);
    }
    if (!(stations <= kMaxSampledStations))
        return Corvex::Polygon();

    Outline outline(d->standard);
    HorizontalElement last;
    for (unsigned i = 0; i < elements.size(); ++i) {
        const HorizontalElement element = elements.at(i);
        const double length = element.getLength();
        if (!isOutlined(element))
            continue;
        const double begin = element.getBeginStation();
        outline.add(element, begin);
        if (isCurve(element) && isUsableInterval(interval)) {
            for (std::size_t k = 1; static_cast<double>(k) * interval < length; ++k)
                outline.add(element, begin + static_cast<double>(k) * interval);
        }
        last = element;
    }
    if (last.isValid())
        outline.add(last, last.getEndStation());
    return outline.polygon();
}

Corvex::Polygon RoadSurface::getBorder(double begin, double end, double interval) const
{
    const double b = std::max(begin, d->horizontal.getBeginStation());
    const double e = std::min(end, d->horizontal.getEndStation());
    if (!(b <= e))
        return Corvex::Polygon();
    const unsigned first = d->horizontal.getBelongedElementIndex(b);
    if (first == unsigned(-1))
        return Corvex::Polygon();
    const unsigned lastIndex = d->horizontal.getBelongedElementIndex(e, first);
    if (lastIndex == unsigned(-1))
        return Corvex::Polygon();

    const HorizontalElementConfiguration elements = d->horizontal.getElements();
    double stations = 0.0;
    for (unsigned i = first; i <= lastIndex; ++i) {
        const HorizontalElement element = elements.at(i);
        if (isOutlined(element))
            stations += borderStations(
                element, std::min(element.getEndStation(), e) - std::max(element.getBeginStation(), b),
                interval);
    }
    if (!(stations <= kMaxSampledStations))
        return Corvex::Polygon();

    Outline outline(d->standard);
    for (unsigned i = first; i <= lastIndex; ++i) {
        const HorizontalElement element = elements.at(i);
        if (!isOutlined(element))
            continue;
        const double p = std::max(element.getBeginStation(), b);
        outline.add(element, p);
        if (isCurve(element) && isUsableInterval(interval)) {
            const double elementEnd = element.getEndStation();
            for (std::size_t k = 1;; ++k) {
                const double t = p + static_cast<double>(k) * interval;
                if (!(t < elementEnd) || t > e)
                    break;
                outline.add(element, t);
            }
        }
    }
    outline.add(elements.at(lastIndex), e);
    return outline.polygon();
}

ClippedHorizontalAlignment RoadSurface::getBorderAndAlign(double value, double x1, double y1, double x2,
                                                          double y2,
                                                          ClippedHorizontalAlignment::AlignmentLineType type,
                                                          int flags) const
{
    if (type != ClippedHorizontalAlignment::CenterLineOnly) {
        const auto widths = d->standard.getTotalOffset(d->horizontal.getBeginStation());
        const double margin = 2.0 * std::max(widths.first, widths.second);
        // A NaN margin would turn the window into one that shows nothing.
        if (std::isfinite(margin)) {
            x1 -= margin;
            y1 -= margin;
            x2 += margin;
            y2 += margin;
        }
    }
    const internal::LineSegmentClipper clipper(x1, y1, x2, y2);
    ClippedHorizontalAlignment result;
    result.fromHorizontalAlignment(*this, value, type, clipper, flags);
    return result;
}

StationIterator RoadSurface::getIterator(double interval, const Corvex::Point3D& point, bool flag,
                                         bool keepOffset) const
{
    double station = d->startStation;
    double offset = 0.0;
    d->horizontal.getStationOffsetByNorthEast(Corvex::Point(point.x(), point.y()), station, offset);
    return StationIterator(this, interval, station, keepOffset ? offset : 0.0, point, flag);
}

StationIterator RoadSurface::getIterator(double interval, const Corvex::Point& point, bool flag,
                                         bool keepOffset) const
{
    return getIterator(interval,
                       Corvex::Point3D(point.getX(), point.getY(), std::numeric_limits<double>::quiet_NaN()),
                       flag, keepOffset);
}

StationIterator RoadSurface::getIterator(double interval, double begin, double end) const
{
    return StationIterator(this, interval, begin, end);
}

StationIterator RoadSurface::getIterator(double interval, double station, bool flag) const
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return StationIterator(this, interval, station, 0.0, Corvex::Point3D(nan, nan, nan), flag);
}

StationIterator RoadSurface::getTabledIterator(double value) const
{
    return StationIterator(this, value);
}

std::vector<StationCoordinate> RoadSurface::generateGradualStationCoordinates(double interval,
                                                                              double offset) const
{
    std::vector<StationCoordinate> coordinates;
    StationIterator it = getIterator(interval, d->horizontal.getBeginStation(), false);
    if (!it.isValid()
        || !(gradualStations(d->horizontal, d->equations, it.getInterval()) <= kMaxSampledStations))
        return coordinates;
    while (it.hasNext()) {
        const Stake center = it.getStake(0.0);
        StationCoordinate coordinate;
        coordinate.station = center.getStation();
        coordinate.center = center.getPoint();
        coordinate.left = it.getStake(-offset).getPoint();
        coordinate.right = it.getStake(offset).getPoint();
        coordinates.push_back(coordinate);
        const double before = it.getStation();
        it.next();
        // A step that does not move forward would repeat this station for ever.
        if (!(it.getStation() > before))
            break;
    }
    return coordinates;
}

StationCoordinate RoadSurface::calcaluteCoordinate(double station, double offset) const
{
    const double distance = std::fabs(offset);
    bool ok = false;
    auto at = [&](double o) {
        const Corvex::Point plan = getNorthEast(station, o);
        return Corvex::Point3D(plan.getX(), plan.getY(), getElevation(station, o, 0.0, true, ok));
    };
    StationCoordinate coordinate;
    coordinate.station = station;
    coordinate.center = at(0.0);
    coordinate.right = at(distance);
    coordinate.left = at(-distance);
    return coordinate;
}

} // namespace Road
} // namespace Pelko
