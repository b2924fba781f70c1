#include "check/checkstepping.h"

#include "framework/numberlocale.h"
#include "framework/roadstations.h"

#include <road/roadsurface.h>
#include <text/stationtext.h>

#include <QDoubleValidator>
#include <QLineEdit>

#include <cmath>

namespace Zemko {
namespace Trelvin {
namespace CheckStepping {

bool isUsableInterval(double interval)
{
    return interval >= minimumInterval && interval <= maximumInterval;
}

QDoubleValidator* intervalValidator(QObject* parent)
{
    auto* validator = new QDoubleValidator(minimumInterval, maximumInterval, 3, parent);
    validator->setLocale(numberLocale());
    return validator;
}

QDoubleValidator* numberValidator(QObject* parent)
{
    auto* validator = new QDoubleValidator(parent);
    validator->setDecimals(3);
    validator->setLocale(numberLocale());
    return validator;
}

bool intervalFromField(const QLineEdit* edit, double& interval)
{
    // "0" or "0.0004" are only Intermediate for the field's validator, yet still in the field.
    QString text = edit->text();
    int position = 0;
    if (edit->validator() && edit->validator()->validate(text, position) != QValidator::Acceptable)
        return false;
    double value = 0.0;
    if (!numberFromText(text, value) || !isUsableInterval(value))
        return false;
    interval = value;
    return true;
}

bool numberFromText(const QString& text, double& value)
{
    bool ok = false;
    const double number = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

bool stationFromField(const QString& text, Pelko::Road::Station& station)
{
    bool before = true;
    const double value = stationFromText(text, &before);
    if (std::isnan(value))
        return false;
    station = Pelko::Road::Station(value, !before);
    return true;
}

Placement iteratorAt(const Pelko::Road::RoadSurface* road,
                     const Pelko::Road::StationsEquationConfiguration& equations, double interval,
                     const Pelko::Road::Station& station, Pelko::Road::StationIterator& iterator,
                     double& continuous)
{
    if (!road || !isUsableInterval(interval))
        return Placement::NotPlaced;
    const Pelko::Road::StationsEquation::Result result = equations.getContinuousStation(station);
    if (!result.isValid())
        return Placement::NotPlaced;
    continuous = result.getStation();
    if (!RoadStations(road).covers(continuous)) {
        iterator = Pelko::Road::StationIterator();
        return Placement::OffRoad;
    }
    iterator = road->getIterator(interval, continuous, true);
    return Placement::OnRoad;
}

QString stationText(const Pelko::Road::StationsEquationConfiguration& equations, double continuous)
{
    const Pelko::Road::Station station = equations.getStationFromContinuous(continuous);
    return stationToText(station.getStation(), station.isAfter());
}

QString metresText(double value)
{
    return std::isfinite(value) ? QString::number(value, 'f', 3) : QString();
}

} // namespace CheckStepping
} // namespace Trelvin
} // namespace Zemko
