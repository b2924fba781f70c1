// Arbitrary text to the station and angle readers and their validators.
#include <text/angletext.h>
#include <text/stationtext.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace Zemko::Trelvin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));

    bool before = true;
    bool ok = false;
    const double station = stationFromText(text, &before, &ok);
    if (ok != std::isfinite(station))
        std::abort();
    if (ok) {
        // What was read shows as station text that reads back to the same metres.
        bool again = false;
        bool againBefore = !before;
        const double back = stationFromText(stationToText(station, !before), &againBefore, &again);
        if (!again || againBefore != before || std::fabs(back - station) > 5e-4 + std::fabs(station) * 1e-15)
            std::abort();
    }

    const QString normalized = normalizeStationText(text);
    if (!normalized.startsWith(QLatin1Char('K')) && !normalized.startsWith(QLatin1String("-K")))
        std::abort();

    StationValidator stationValidator;
    QString stationInput = text;
    int position = 0;
    stationValidator.validate(stationInput, position);
    stationValidator.fixup(stationInput);
    stationValidator.validate(stationInput, position);

    const double seconds = secondsFromDmsText(text, &ok);
    if (!std::isfinite(seconds) || (!ok && seconds != 0.0))
        std::abort();
    if (dmsText(seconds).isEmpty() || angleText(seconds).isEmpty())
        std::abort();

    AngleValidator angleValidator;
    QString angleInput = text;
    angleValidator.validate(angleInput, position);
    angleValidator.fixup(angleInput);
    angleValidator.validate(angleInput, position);
    return 0;
}
