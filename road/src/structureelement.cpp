#include <road/structureelement.h>

#include <corvex/point.h>

#include <cmath>

namespace Pelko {
namespace Road {

namespace {

const double kPi = 4.0 * std::atan(1.0);

bool isElementType(int type)
{
    return type >= CulvertType && type <= OverpassType;
}

bool isBuildType(int type)
{
    return type == SkewAndSkewBuildType || type == SkewAndOrthotropicBuildType;
}

bool setFinite(double& field, double value)
{
    if (!std::isfinite(value))
        return false;
    field = value;
    return true;
}

Corvex::Point3D at(const Corvex::Point& p, double height)
{
    return Corvex::Point3D(p.getX(), p.getY(), height);
}

Corvex::Point plus(Corvex::Point p, const Corvex::Point& offset)
{
    p += offset;
    return p;
}

} // namespace

StructureElement::StructureElement()
    : d(std::make_shared<StructElementData>())
{
}

StructureElement::StructureElement(std::shared_ptr<StructElementData> data)
    : d(std::move(data))
{
}

StructureElement::~StructureElement() = default;

StructureElement StructureElement::clone() const
{
    return StructureElement(std::make_shared<StructElementData>(*d));
}

StructureElementType StructureElement::getElementType() const
{
    return d->elementType;
}

StructureBuildType StructureElement::getBuildType() const
{
    return d->buildType;
}

Corvex::Angle StructureElement::getAngle() const
{
    return d->angle;
}

double StructureElement::getStation() const
{
    return d->station;
}

double StructureElement::getForwardWidth() const
{
    return d->forwardWidth;
}

double StructureElement::getBackwardWidth() const
{
    return d->backwardWidth;
}

double StructureElement::getLeftWidth() const
{
    return d->leftWidth;
}

double StructureElement::getRightWidth() const
{
    return d->rightWidth;
}

double StructureElement::getCenterHeight() const
{
    return d->centerHeight;
}

double StructureElement::getCrossSlope() const
{
    return d->crossSlope;
}

bool StructureElement::setElementType(StructureElementType type)
{
    // The editors index their type texts by this value.
    if (!isElementType(type))
        return false;
    d->elementType = type;
    return true;
}

bool StructureElement::setBuildType(StructureBuildType type)
{
    if (!isBuildType(type))
        return false;
    d->buildType = type;
    return true;
}

bool StructureElement::setAngle(const Corvex::Angle& angle)
{
    if (!std::isfinite(angle.toRadian()))
        return false;
    d->angle = angle;
    return true;
}

bool StructureElement::setStation(double station)
{
    return setFinite(d->station, station);
}

bool StructureElement::setForwardWidth(double width)
{
    return setFinite(d->forwardWidth, width);
}

bool StructureElement::setBackwardWidth(double width)
{
    return setFinite(d->backwardWidth, width);
}

bool StructureElement::setLeftWidth(double width)
{
    return setFinite(d->leftWidth, width);
}

bool StructureElement::setRightWidth(double width)
{
    return setFinite(d->rightWidth, width);
}

bool StructureElement::setCenterHeight(double height)
{
    return setFinite(d->centerHeight, height);
}

bool StructureElement::setCrossSlope(double slope)
{
    return setFinite(d->crossSlope, slope);
}

std::vector<Corvex::Point3D> StructureElement::calcPrimaryPoints(double north, double east,
                                                                 double azimuth) const
{
    const StructElementData& s = *d;
    const double a = s.angle.toRadian();
    const Corvex::Point m(north, east);

    const Corvex::Point f = m.getEnd(azimuth, s.forwardWidth);
    const Corvex::Point b = m.getEnd(azimuth + kPi, s.backwardWidth);
    const Corvex::Point r = m.getEnd(azimuth + a, s.rightWidth);
    const Corvex::Point l = m.getEnd(azimuth + a + kPi, s.leftWidth);

    // The slope falls from left to right across the structure.
    const double hl = s.centerHeight + s.leftWidth * s.crossSlope;
    const double hr = s.centerHeight - s.rightWidth * s.crossSlope;

    // Skew-and-orthotropic ends are square to the structure's axis rather than parallel to the road,
    // so the corner offsets run along that square direction, shortened by the skew.
    Corvex::Point fEdge = f;
    Corvex::Point bEdge = b;
    if (s.buildType == SkewAndOrthotropicBuildType) {
        const double dir = a + azimuth - kPi / 2.0;
        const double k = std::fabs(std::cos(dir - azimuth));
        fEdge = m.getEnd(dir, s.forwardWidth * k);
        bEdge = m.getEnd(dir + kPi, s.backwardWidth * k);
    }
    const Corvex::Point df(fEdge.getX() - north, fEdge.getY() - east);
    const Corvex::Point db(bEdge.getX() - north, bEdge.getY() - east);

    return {
        at(plus(l, db), hl),   at(l, hl),
        at(plus(l, df), hl),   at(b, s.centerHeight),
        at(m, s.centerHeight), at(f, s.centerHeight),
        at(plus(r, db), hr),   at(r, hr),
        at(plus(r, df), hr),
    };
}

bool StructureElement::load(const internal::Node<StructureElement>& node)
{
    if (node.isEmpty())
        return false;
    StructElementData read;
    const int elementType = node.getInt("element_type", 0);
    const int buildType = node.getInt("build_type", 0);
    if (!isElementType(elementType) || !isBuildType(buildType))
        return false;
    read.elementType = static_cast<StructureElementType>(elementType);
    read.buildType = static_cast<StructureBuildType>(buildType);

    const double angle = node.getDouble("angle", 0.0);
    double* const fields[] = { &read.station,    &read.forwardWidth, &read.backwardWidth, &read.leftWidth,
                               &read.rightWidth, &read.centerHeight, &read.crossSlope };
    const char* const names[] = { "station",     "forward_width", "backward_width", "left_width",
                                  "right_width", "center_height", "cross_slope" };
    // "nan" and "inf" parse as numbers; a structure built on them could be neither drawn nor found.
    if (!std::isfinite(angle))
        return false;
    read.angle = Corvex::Angle(angle);
    for (std::size_t i = 0; i < sizeof(fields) / sizeof(fields[0]); ++i) {
        *fields[i] = node.getDouble(names[i], 0.0);
        if (!std::isfinite(*fields[i]))
            return false;
    }
    *d = read;
    return true;
}

bool StructureElement::save(const internal::Node<StructureElement>& node) const
{
    if (node.isEmpty())
        return false;
    node.setInt("element_type", d->elementType);
    node.setInt("build_type", d->buildType);
    node.setDouble("angle", d->angle.toRadian());
    node.setDouble("station", d->station);
    node.setDouble("forward_width", d->forwardWidth);
    node.setDouble("backward_width", d->backwardWidth);
    node.setDouble("left_width", d->leftWidth);
    node.setDouble("right_width", d->rightWidth);
    node.setDouble("center_height", d->centerHeight);
    node.setDouble("cross_slope", d->crossSlope);
    return true;
}

} // namespace Road
} // namespace Pelko
