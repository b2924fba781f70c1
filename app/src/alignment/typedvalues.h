#pragma once

#include <QString>

namespace Pelko {
namespace Road {
class StationsEquationConfiguration;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// Reading what the user typed into the alignment tables and dialogs.

// A finite number in the display unit (C locale), in metres.
bool readLength(const QString& text, double& meters);

enum class StationReading { Read, NotANumber, NotFound };

// Station text (or a plain number) in the display unit, moved into continuous stationing through the
// equations; a text ending in "A" picks the repeated stretch of a long equation.
StationReading readStation(const QString& text, const Pelko::Road::StationsEquationConfiguration& equations,
                           double& continuous);

} // namespace Trelvin
} // namespace Zemko
