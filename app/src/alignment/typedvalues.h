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

// An angle typed as a plain number is packed D.MMSS (45.3015); any other text is D:M:S (45:30:15.0),
// wrapped into [0, 360]. Degrees.
bool readAngle(const QString& text, double& degrees);

enum class StationReading { Read, NotANumber, NotFound };

// Station text (or a plain number) in the display unit, moved into continuous stationing through the
// equations; a text ending in "A" picks the repeated stretch of a long equation.
StationReading readStation(const QString& text, const Pelko::Road::StationsEquationConfiguration& equations,
                           double& continuous);

} // namespace Trelvin
} // namespace Zemko
