#include "alignment/pointofintersectionedit.h"

#include "framework/metertounit.h"
#include "framework/valueformater.h"

#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace {

QString lengthText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 3);
}

QString radiusText(double meters)
{
    return ValueFormater::radiusText(MeterToUnit::instance()->fromMeters(meters));
}

} // namespace

PointOfIntersectionEdit::PointOfIntersectionEdit()
{
    setCurveType(0);
}

PointOfIntersectionEdit::PointOfIntersectionEdit(const Pelko::Road::PointOfIntersection& pi)
    : m_source(pi)
    , m_fromRoad(true)
{
    setCurveType(pi.getCurveType());
    const MeterToUnit* unit = MeterToUnit::instance();
    // The table replaces the text with the stations-equation form.
    m_cells[Station]
        = TextCell::stored(pi.getPoiStation(), stationToText(unit->fromMeters(pi.getPoiStation()), false));
    m_cells[North] = TextCell::stored(pi.getPointOfIntersection().getX(),
                                      lengthText(pi.getPointOfIntersection().getX()));
    m_cells[East] = TextCell::stored(pi.getPointOfIntersection().getY(),
                                     lengthText(pi.getPointOfIntersection().getY()));

    // A point has no curve, an arc no spirals: such cells are empty, and hold what an empty cell reads
    // as (none, a straight).
    const bool curve = m_curveType != 0;
    const bool spirals = m_curveType != 0 && m_curveType != 1;
    const auto radius = [](double value, bool shown) {
        const double stored = shown ? straightAsZero(value) : 0.0;
        return TextCell::stored(stored, shown ? radiusText(stored) : QString());
    };
    const auto length = [](double value, bool shown) {
        return shown ? TextCell::stored(value, lengthText(value)) : TextCell::stored(0.0, QString());
    };
    m_cells[Radius] = radius(pi.getRadius(), curve);
    m_cells[StartRadius] = radius(pi.getStartRadius(), spirals);
    m_cells[EndRadius] = radius(pi.getEndRadius(), spirals);
    m_cells[InSpiralLength] = length(pi.getInSpiralLength(), spirals);
    m_cells[OutSpiralLength] = length(pi.getOutSpiralLength(), spirals);

    if (curve) {
        m_curveLengthText = lengthText(pi.getArcLength() + pi.getInSpiralLength() + pi.getOutSpiralLength());
        m_inTangentLengthText = QStringLiteral("%1").arg(unit->fromMeters(pi.getInTangentLength()), 0, 'f', 2,
                                                         QLatin1Char(' '));
        m_outTangentLengthText = QStringLiteral("%1").arg(unit->fromMeters(pi.getOutTangetLength()), 0, 'f',
                                                          2, QLatin1Char(' '));
    }
}

void PointOfIntersectionEdit::setCurveType(int kind)
{
    m_curveType = kind;
    m_curveTypeText = ValueFormater::curveTypeText(kind);
}

const TextCell& PointOfIntersectionEdit::cell(int c) const
{
    static const TextCell none;
    return c >= 0 && c < CellCount ? m_cells[c] : none;
}

TextCell& PointOfIntersectionEdit::cell(int c)
{
    static TextCell none;
    if (c >= 0 && c < CellCount)
        return m_cells[c];
    none = TextCell();
    return none;
}

bool PointOfIntersectionEdit::isUnchanged() const
{
    if (!m_fromRoad || m_curveType != int(m_source.getCurveType()))
        return false;
    for (const TextCell& c : m_cells)
        if (!c.isStored())
            return false;
    return true;
}

double PointOfIntersectionEdit::straightAsZero(double radius)
{
    return std::isinf(radius) || std::fabs(radius) < 0.0001 ? 0.0 : radius;
}

} // namespace Trelvin
} // namespace Zemko
