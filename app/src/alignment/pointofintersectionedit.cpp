#include "alignment/pointofintersectionedit.h"

#include "framework/metertounit.h"
#include "framework/valueformater.h"

#include <road/pointofintersection.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

PointOfIntersectionEdit::PointOfIntersectionEdit()
{
    setCurveType(0);
}

PointOfIntersectionEdit::PointOfIntersectionEdit(const Pelko::Road::PointOfIntersection& pi)
{
    setCurveType(pi.getCurveType());
    // The table replaces this with the stations-equation form.
    m_station = pi.getPoiStation();
    m_stationText = stationToText(MeterToUnit::instance()->fromMeters(m_station), false);

    setStartRadius(pi.getStartRadius());
    setEndRadius(pi.getEndRadius());
    setRadius(pi.getRadius());

    m_curveLength = pi.getArcLength() + pi.getInSpiralLength() + pi.getOutSpiralLength();
    m_curveLengthText = lengthText(m_curveLength);
    setInSpiralLength(pi.getInSpiralLength());
    setOutSpiralLength(pi.getOutSpiralLength());
    setNorth(pi.getPointOfIntersection().getX());
    setEast(pi.getPointOfIntersection().getY());

    const MeterToUnit* unit = MeterToUnit::instance();
    m_inTangentLengthText
        = QStringLiteral("%1").arg(unit->fromMeters(pi.getInTangentLength()), 0, 'f', 2, QLatin1Char(' '));
    m_outTangentLengthText
        = QStringLiteral("%1").arg(unit->fromMeters(pi.getOutTangetLength()), 0, 'f', 2, QLatin1Char(' '));

    if (m_curveType == 0) {
        m_radiusText.clear();
        m_startRadiusText.clear();
        m_endRadiusText.clear();
        m_curveLengthText.clear();
        m_inSpiralLengthText.clear();
        m_outSpiralLengthText.clear();
        m_inTangentLengthText.clear();
        m_outTangentLengthText.clear();
    } else if (m_curveType == 1) {
        m_startRadiusText.clear();
        m_endRadiusText.clear();
        m_inSpiralLengthText.clear();
        m_outSpiralLengthText.clear();
    }
}

void PointOfIntersectionEdit::setCurveType(int kind)
{
    m_curveType = kind;
    m_curveTypeText = ValueFormater::curveTypeText(kind);
}

void PointOfIntersectionEdit::setStation(double value, bool overlapped)
{
    m_station = value;
    m_stationText = stationToText(MeterToUnit::instance()->fromMeters(value), overlapped);
}

double PointOfIntersectionEdit::straightAsZero(double radius)
{
    return std::isinf(radius) || std::fabs(radius) < 0.0001 ? 0.0 : radius;
}

QString PointOfIntersectionEdit::lengthText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 3);
}

void PointOfIntersectionEdit::setRadius(double value)
{
    m_radius = straightAsZero(value);
    m_radiusText = ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(m_radius));
}

void PointOfIntersectionEdit::setStartRadius(double value)
{
    m_startRadius = straightAsZero(value);
    m_startRadiusText = ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(m_startRadius));
}

void PointOfIntersectionEdit::setEndRadius(double value)
{
    m_endRadius = straightAsZero(value);
    m_endRadiusText = ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(m_endRadius));
}

void PointOfIntersectionEdit::setInSpiralLength(double value)
{
    m_inSpiralLength = value;
    m_inSpiralLengthText = lengthText(value);
}

void PointOfIntersectionEdit::setOutSpiralLength(double value)
{
    m_outSpiralLength = value;
    m_outSpiralLengthText = lengthText(value);
}

void PointOfIntersectionEdit::setNorth(double value)
{
    m_north = value;
    m_northText = lengthText(value);
}

void PointOfIntersectionEdit::setEast(double value)
{
    m_east = value;
    m_eastText = lengthText(value);
}

} // namespace Trelvin
} // namespace Zemko
