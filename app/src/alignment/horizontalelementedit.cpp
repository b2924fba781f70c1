#include "alignment/horizontalelementedit.h"

#include "framework/metertounit.h"
#include "framework/valueformater.h"

#include <text/angletext.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace {

QString unitText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 3);
}

QString radiusText(double meters)
{
    return ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(meters));
}

// An empty text for an angle that is not a number.
QString azimuthText(double radians)
{
    return std::isnan(radians) ? QString() : angleText(Pelko::Corvex::Angle(radians).toDegree() * 3600.0);
}

} // namespace

HorizontalElementEdit::HorizontalElementEdit()
{
    setType(1);
    setTurnDirection(0);
    mileage = TextCell::typed(stationToText(0.0, false));
    startRadius = TextCell::typed(radiusText(0.0));
    endRadius = TextCell::typed(radiusText(0.0));
    azimuth = TextCell::typed(azimuthText(0.0));
    length = TextCell::typed(unitText(100.0), 100.0);
    north = TextCell::typed(unitText(0.0));
    east = TextCell::typed(unitText(0.0));
}

HorizontalElementEdit::HorizontalElementEdit(const Pelko::Road::HorizontalElement& element)
    : source(element)
{
    setType(element.getType());
    setTurnDirection(element.getRurnDirection());
    const double station = element.getBeginStation();
    mileage = TextCell::stored(station, stationToText(MeterToUnit::instance()->fromMeters(station), false));
    // The road keeps magnitudes; the sign shows the side, so a left curve edits as one.
    const double side = turnDirection == Pelko::Road::TurnLeft ? -1.0 : 1.0;
    const double r1 = side * storedRadius(element.getBeginRadius());
    const double r2 = side * storedRadius(element.getEndRadius());
    startRadius = TextCell::stored(r1, radiusText(r1));
    endRadius = TextCell::stored(r2, radiusText(r2));
    azimuthFixed = element.isBeginAzimuthFixed();
    const double radians = element.getBeginAzimuth().toRadian();
    azimuth = TextCell::stored(radians, azimuthText(radians));
    length = TextCell::stored(element.getLength(), unitText(element.getLength()));
    pointFixed = element.isBeginPointFixed();
    const Pelko::Corvex::Point begin = element.getBeginPoint();
    north = TextCell::stored(begin.getX(), unitText(begin.getX()));
    east = TextCell::stored(begin.getY(), unitText(begin.getY()));
}

bool HorizontalElementEdit::isStraight(double radius)
{
    return std::isinf(radius) || std::fabs(radius) < 0.0001;
}

double HorizontalElementEdit::storedRadius(double radius)
{
    return isStraight(radius) ? 0.0 : std::fabs(radius);
}

bool HorizontalElementEdit::isUnchanged() const
{
    if (!source.isValid())
        return false;
    for (const TextCell* cell : { &mileage, &startRadius, &endRadius, &azimuth, &length, &north, &east })
        if (!cell->isStored())
            return false;
    return azimuthFixed == source.isBeginAzimuthFixed() && pointFixed == source.isBeginPointFixed()
        && turnDirection == int(source.getRurnDirection());
}

void HorizontalElementEdit::setType(int value)
{
    type = value;
    typeText = ValueFormater::elementTypeText(value);
}

void HorizontalElementEdit::setTurnDirection(int direction)
{
    turnDirection = direction;
    turnText = ValueFormater::sideText(direction);
}

} // namespace Trelvin
} // namespace Zemko
