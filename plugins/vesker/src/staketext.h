#pragma once

#include <QByteArray>

namespace Zemko::Trelvin::StakeText {

// The cell texts of a stake list, appended as UTF-8. An export writes tens of thousands of rows, and
// the QString formatters these match cost more than computing the stakes themselves.

// QString::number(value, 'f', 3).
void appendNumber(QByteArray& out, double value);
// stationToText(value, after): "K12+345.678", "A" appended on the repeated side of an equation.
void appendStation(QByteArray& out, double value, bool after);
// angleText of the azimuth with the degree, prime and double-prime signs: "45°30′00.00000″".
void appendAzimuth(QByteArray& out, double degrees);

} // namespace Zemko::Trelvin::StakeText
