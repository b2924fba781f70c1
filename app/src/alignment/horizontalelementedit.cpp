#include "alignment/horizontalelementedit.h"

#include "framework/metertounit.h"
#include "framework/valueformater.h"

#include <road/horizontalelement.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace {

QString unitText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 3);
}

} // namespace

HorizontalElementEdit::HorizontalElementEdit()
{
    setType(1);
    setMileage(0.0, false);
    setStartRadius(0.0);
    setEndRadius(0.0);
    setAzimuth(0.0);
    setLength(100.0);
    setNorth(0.0);
    setEast(0.0);
    setTurnDirection(0);
}

HorizontalElementEdit::HorizontalElementEdit(const Pelko::Road::HorizontalElement& element)
{
    setType(element.getType());
    setMileage(element.getBeginStation(), false);
    setTurnDirection(element.getRurnDirection());
    // The road keeps magnitudes; the sign shows the side, so a left curve edits as one.
    const double side = turnDirection == 1 ? -1.0 : 1.0;
    setStartRadius(side * element.getBeginRadius());
    setEndRadius(side * element.getEndRadius());
    azimuthFixed = element.isBeginAzimuthFixed();
    setAzimuth(element.getBeginAzimuth().toDegree());
    setLength(element.getLength());
    pointFixed = element.isBeginPointFixed();
    setNorth(element.getBeginPoint().getX());
    setEast(element.getBeginPoint().getY());
}

bool HorizontalElementEdit::isStraight(double radius)
{
    return std::isinf(radius) || std::fabs(radius) < 0.0001;
}

void HorizontalElementEdit::setType(int value)
{
    type = value;
    typeText = ValueFormater::elementTypeText(value);
}

void HorizontalElementEdit::setMileage(double station, bool overlapped)
{
    mileage = station;
    mileageText = stationToText(MeterToUnit::instance()->fromMeters(station), overlapped);
}

void HorizontalElementEdit::setStartRadius(double radius)
{
    startRadius = isStraight(radius) ? 0.0 : radius;
    startRadiusText = ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(startRadius));
}

void HorizontalElementEdit::setEndRadius(double radius)
{
    endRadius = isStraight(radius) ? 0.0 : radius;
    endRadiusText = ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(endRadius));
}

void HorizontalElementEdit::setAzimuth(double degrees)
{
    azimuth = degrees;
    azimuthText = std::isnan(degrees) ? QString() : angleText(degrees * 3600.0);
}

void HorizontalElementEdit::setLength(double meters)
{
    length = meters;
    lengthText = unitText(meters);
}

void HorizontalElementEdit::setNorth(double meters)
{
    north = meters;
    northText = unitText(meters);
}

void HorizontalElementEdit::setEast(double meters)
{
    east = meters;
    eastText = unitText(meters);
}

void HorizontalElementEdit::setTurnDirection(int direction)
{
    turnDirection = direction;
    turnText = ValueFormater::sideText(direction);
}

} // namespace Trelvin
} // namespace Zemko
