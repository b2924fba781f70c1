#include "alignment/typedvalues.h"

#include "framework/metertounit.h"
#include "framework/numberlocale.h"

#include <road/station.h>
#include <text/angletext.h>
#include <text/stationtext.h>

#include <algorithm>
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

bool readAngle(const QString& text, double& degrees)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool number = false;
    const double packed = numberLocale().toDouble(trimmed, &number);
    if (number) {
        degrees = dmsToDegrees(packed);
        return std::isfinite(degrees);
    }
    // The D:M:S reading takes a text without digits for 0; such a text is no angle.
    if (!std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    bool ok = false;
    const double seconds = secondsFromDmsText(trimmed, &ok);
    if (!ok)
        return false;
    degrees = normalizeDegrees(seconds / 3600.0);
    return std::isfinite(degrees);
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
