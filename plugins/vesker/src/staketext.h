#pragma once

#include <QByteArray>

namespace Zemko::Trelvin::StakeText {

// The cell texts of a stake list as UTF-8. An export writes tens of thousands of rows, and the QString
// formatters these match cost more than computing the stakes themselves.

// Room for any one cell: a double's every digit in fixed notation with sign, station marks and suffix.
constexpr int cellCapacity = 432;

// The write forms put the text at out, which has cellCapacity bytes free, and return its end.

// QString::number(value, 'f', 3).
char* writeNumber(char* out, double value);
// stationToText(value, after): "K12+345.678", "A" appended on the repeated side of an equation.
char* writeStation(char* out, double value, bool after);
// angleText of the azimuth with the degree, prime and double-prime signs: "45°30′00.00000″".
char* writeAzimuth(char* out, double degrees);

void appendNumber(QByteArray& out, double value);
void appendStation(QByteArray& out, double value, bool after);
void appendAzimuth(QByteArray& out, double degrees);

} // namespace Zemko::Trelvin::StakeText
