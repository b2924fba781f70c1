#include "alignment/typedvalues.h"

#include "framework/metertounit.h"
#include "framework/numberlocale.h"

#include <road/station.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

bool readLength(const QString& text, double& meters)
{
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    meters = MeterToUnit::instance()->toMeters(value);
    return true;
}

StationReading readStation(const QString& text, const Pelko::Road::StationsEquationConfiguration& equations,
                           double& continuous)
{
    bool before = true;
    bool ok = false;
    const double station = stationFromText(text, &before, &ok);
    if (!ok || !std::isfinite(station))
        return StationReading::NotANumber;
    const Pelko::Road::StationsEquation::Result result
        = equations.getContinuousStation(MeterToUnit::instance()->toMeters(station), before);
    if (!result.isValid() || !std::isfinite(result.getStation()))
        return StationReading::NotFound;
    continuous = result.getStation();
    return StationReading::Read;
}

} // namespace Trelvin
} // namespace Zemko
