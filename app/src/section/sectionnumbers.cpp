#include "section/sectionnumbers.h"

#include "framework/numberlocale.h"

#include <cmath>

namespace Zemko {
namespace Trelvin {

double numberFromField(const QString& text, bool* ok)
{
    const QString trimmed = text.trimmed();
    bool readable = true;
    double value = 0.0;
    if (!trimmed.isEmpty()) {
        value = numberLocale().toDouble(trimmed, &readable);
        readable = readable && std::isfinite(value);
        if (!readable)
            value = 0.0;
    }
    if (ok)
        *ok = readable;
    return value;
}

} // namespace Trelvin
} // namespace Zemko
