#pragma once

#include <QString>
#include <QValidator>

namespace Zemko::Trelvin {

// Packed angles DDD.MMSSsss (12.3015 is 12 degrees 30 minutes 15 seconds) to and from decimal degrees.
double dmsToDegrees(double packed);
double degreesToDms(double degrees);

// Degrees wrapped into [0, 360]; 360 itself stays 360. NaN for a value that is not finite.
double normalizeDegrees(double degrees);

// Arc seconds of D:M:S text: an optional sign, then up to four digit runs (degrees, minutes, seconds,
// fraction of a second) split by any other characters. 0 with *ok false when unreadable.
double secondsFromDmsText(const QString& text, bool* ok = nullptr);

class AngleValidator : public QValidator
{
public:
    explicit AngleValidator(QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
};

} // namespace Zemko::Trelvin
