#pragma once

#include <road/station.h>
#include <road/stationiterator.h>

#include <QString>

class QDoubleValidator;
class QLineEdit;
class QObject;

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

// What the two check tools share: the stepping interval, typed stations and offsets, and how their
// cells write numbers.
namespace Zemko {
namespace Trelvin {
namespace CheckStepping {

constexpr double defaultInterval = 20.0;
constexpr double minimumInterval = 0.1;
constexpr double maximumInterval = 1000000.0;

// The iterator divides by the interval: only what the interval field accepts may reach it.
bool isUsableInterval(double interval);

// The validator of an interval field, in the number locale.
QDoubleValidator* intervalValidator(QObject* parent);
// A validator for plain numbers (coordinates, offsets) in the number locale, three decimals.
QDoubleValidator* numberValidator(QObject* parent);

// The interval the field holds when its validator accepts it whole; false for anything else.
bool intervalFromField(const QLineEdit* edit, double& interval);
// A finite number of the number locale; false for empty or half-typed text.
bool numberFromText(const QString& text, double& value);

// The station of station text; false when the text names no station.
bool stationFromField(const QString& text, Pelko::Road::Station& station);

// An iterator standing at the typed station; false, with the iterator untouched, when the station
// lies in the gap of a short equation or the interval is unusable.
bool iteratorAt(const Pelko::Road::RoadSurface* road,
                const Pelko::Road::StationsEquationConfiguration& equations, double interval,
                const Pelko::Road::Station& station, Pelko::Road::StationIterator& iterator);

// Station text of a continuous station, with the "A" of a repeated stretch.
QString stationText(const Pelko::Road::StationsEquationConfiguration& equations, double continuous);

// Metres with three decimals; empty for a value that is not finite.
QString metresText(double value);

} // namespace CheckStepping
} // namespace Trelvin
} // namespace Zemko
