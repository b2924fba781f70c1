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

// Where a typed station leaves the tools.
enum class Placement {
    // The iterator stands at the station.
    OnRoad,
    // The station lies in the gap of a short equation (or the interval is unusable, or there is no
    // road): the iterator is untouched.
    NotPlaced,
    // The station exists but the road does not reach it: the iterator is emptied, for the road would
    // answer with its nearest end.
    OffRoad,
};

// An iterator standing at the typed station; continuous receives the station the equations gave.
Placement iteratorAt(const Pelko::Road::RoadSurface* road,
                     const Pelko::Road::StationsEquationConfiguration& equations, double interval,
                     const Pelko::Road::Station& station, Pelko::Road::StationIterator& iterator,
                     double& continuous);

// Station text of a continuous station, with the "A" of a repeated stretch.
QString stationText(const Pelko::Road::StationsEquationConfiguration& equations, double continuous);

// Metres with three decimals; empty for a value that is not finite.
QString metresText(double value);

} // namespace CheckStepping
} // namespace Trelvin
} // namespace Zemko
