#pragma once

#include <QString>
#include <QValidator>

namespace Zemko::Trelvin {

// Station text: [-]K<km>+<mmm>[.fraction][A], e.g. K12+345.678 for 12345.678 m. The trailing "A"
// marks the second occurrence of a station that a long stations equation repeats.

// Three decimals, "." whatever the locale; empty for a value that is not finite.
QString stationToText(double value, bool after = false);

// Station text from a plain number of metres ("12345.6" -> "K12+345.6"); the fraction keeps its
// digits as typed.
QString normalizeStationText(const QString& text);

// Metres of station text or of a plain number; NaN with *ok false when unreadable. *before is false
// when the text ends in "A" or "a".
double stationFromText(const QString& text, bool* before = nullptr, bool* ok = nullptr);

// Degrees:minutes:seconds of a signed angle given in arc seconds ("-1:02:03.50000"); empty when the
// angle is not finite.
QString dmsText(double seconds);

// dmsText of an azimuth wrapped into 0..1296000 arc seconds (a whole positive turn shows as 360).
QString angleText(double seconds);

class StationValidator : public QValidator
{
public:
    explicit StationValidator(QObject* parent = nullptr);
    ~StationValidator() override;

    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
};

} // namespace Zemko::Trelvin
