#pragma once

#include <QLocale>

namespace Zemko {
namespace Trelvin {

// The locale of every number the user types and every number validator: C, with group separators
// refused, so that "1,5" typed by a decimal-comma hand is no number rather than 15.
inline QLocale numberLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace Trelvin
} // namespace Zemko
