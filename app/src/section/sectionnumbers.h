#pragma once

#include <QString>

namespace Zemko {
namespace Trelvin {

// A stored number as the section dialogs are filled with it: enough digits that reading it back gives
// the same value, so an unchanged dialog changes nothing.
inline QString numberEditText(double value)
{
    return QString::number(value, 'g', 15);
}

// A percentage without its sign, as the slope fields of the dialogs take it: "2.00".
inline QString plainPercentText(double value)
{
    return QStringLiteral("%1").arg(value, 0, 'f', 2, QLatin1Char(' '));
}

// Reads a number field of a section dialog in the C locale. An empty field is 0; ok is false for a
// text that is no finite number.
double numberFromField(const QString& text, bool* ok = nullptr);

} // namespace Trelvin
} // namespace Zemko
