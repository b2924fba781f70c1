#include <text/angletext.h>
#include <text/stationtext.h>

#include "wrap.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace Zemko::Trelvin {

namespace {

// Guards a value a hair below a whole minute or second against truncating one unit short.
constexpr double guard = 1e-10;

// Digit runs are ASCII only; any other character separates them.
const QRegularExpression& nonDigit()
{
    static const QRegularExpression expression(QStringLiteral("[^0-9]"));
    return expression;
}

const QRegularExpression& signCharacter()
{
    static const QRegularExpression expression(QStringLiteral("[+-]"));
    return expression;
}

} // namespace

double dmsToDegrees(double packed)
{
    if (!std::isfinite(packed))
        return packed;
    if (std::fabs(packed) < guard)
        return 0.0;
    // The guard picks the degrees and minutes of a value stored a hair below a whole one; the
    // seconds come from the value itself, as hundredths of the minutes' place (12.10 once read as
    // 12 degrees 10 minutes 40 seconds).
    const double a = std::fabs(packed);
    double d = std::floor(a + guard);
    double m = std::floor((a + guard - d) * 100.0);
    double s = ((a - d) * 100.0 - m) * 100.0;
    if (s >= 60.0) {
        m += 1.0;
        s -= 60.0;
    }
    if (m > 60.0) {
        d += 1.0;
        m -= 60.0;
    }
    const double degrees = d + m / 60.0 + s / 3600.0;
    return packed < 0 ? -degrees : degrees;
}

double degreesToDms(double degrees)
{
    if (!std::isfinite(degrees))
        return degrees;
    if (std::fabs(degrees) < guard)
        return 0.0;
    const double x = std::fabs(degrees) + guard;
    const double d = std::floor(x);
    const double mf = (x - d) * 60.0;
    const double m = std::floor(mf);
    const double s = (mf - m) * 60.0;
    const double packed = d + m / 100.0 + s / 10000.0;
    return degrees < 0 ? -packed : packed;
}

double normalizeDegrees(double degrees)
{
    if (!std::isfinite(degrees))
        return NAN;
    return wrapIntoTurn(degrees, 360.0);
}

double secondsFromDmsText(const QString& text, bool* ok)
{
    double sign = 1.0;
    QString body;
    if (text.startsWith(QLatin1Char('+'))) {
        body = text.mid(1);
    } else if (text.startsWith(QLatin1Char('-'))) {
        sign = -1.0;
        body = text.mid(1);
    } else {
        body = text.trimmed();
    }

    QStringList parts = body.split(nonDigit(), Qt::KeepEmptyParts);
    if (parts.size() == 5 && parts.at(4).isEmpty())
        parts.removeLast();

    bool readable = parts.size() <= 4;
    double seconds = 0.0;
    if (readable) {
        // Every part is ASCII digits or empty (0); only a run too long for a double can fail.
        const double degrees = parts.at(0).toDouble();
        const double minutes = parts.size() > 1 ? parts.at(1).toDouble() : 0.0;
        double wholeSeconds = parts.size() > 2 ? parts.at(2).toDouble() : 0.0;
        if (parts.size() > 3 && !parts.at(3).isEmpty())
            wholeSeconds += (QStringLiteral("0.") + parts.at(3)).toDouble();
        seconds = sign * (degrees * 3600.0 + minutes * 60.0 + wholeSeconds);
        readable = std::isfinite(seconds);
    }
    if (ok)
        *ok = readable;
    return readable ? seconds : 0.0;
}

AngleValidator::AngleValidator(QObject* parent)
    : QValidator(parent)
{
}

QValidator::State AngleValidator::validate(QString& input, int& /*position*/) const
{
    static const QRegularExpression complete(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?[0-9]+:[0-5][0-9]:[0-5][0-9]\\.[0-9]+")));

    if (input.isEmpty())
        return Intermediate;
    const int firstSign = input.indexOf(signCharacter());
    if (firstSign > 0)
        return Invalid;
    const int signs = input.count(signCharacter());
    if (signs >= 2)
        return Invalid;
    if (input.count(nonDigit()) > signs + 3)
        return Invalid;

    const QString body = signs == 1 ? input.mid(1) : input;
    const QStringList parts = body.split(nonDigit(), Qt::KeepEmptyParts);
    static const int longest[] = { 3, 2, 2, 6 };
    for (int i = 0; i < parts.size() && i < 4; ++i) {
        if (parts.at(i).size() > longest[i])
            return Invalid;
    }
    return complete.match(input).hasMatch() ? Acceptable : Intermediate;
}

void AngleValidator::fixup(QString& input) const
{
    input = dmsText(secondsFromDmsText(input));
}

} // namespace Zemko::Trelvin
