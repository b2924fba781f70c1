#include "framework/radiusvalidator.h"

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {

RadiusValidator::RadiusValidator(QObject* parent)
    : QValidator(parent)
    , pattern(QStringLiteral("^[+-]?\\d*\\.?\\d{0,4}$"), Qt::CaseSensitive, QRegExp::RegExp)
{
}

QValidator::State RadiusValidator::validate(QString& input, int&) const
{
    if (input.isEmpty())
        return Intermediate;
    if (!pattern.exactMatch(input))
        return Invalid;
    // A sign or a point alone is the start of a number, not a radius.
    const bool hasDigit = std::any_of(input.cbegin(), input.cend(), [](QChar c) { return c.isDigit(); });
    if (!hasDigit || input.startsWith(QLatin1Char('-')))
        return Intermediate;
    return Acceptable;
}

void RadiusValidator::fixup(QString& input) const
{
    if (input.startsWith(QLatin1Char('-')))
        input.remove(0, 1);
}

QString RadiusValidator::toText(double radius)
{
    return QString::number(std::isinf(radius) ? 0.0 : radius, 'f', 3);
}

} // namespace Trelvin
} // namespace Zemko
