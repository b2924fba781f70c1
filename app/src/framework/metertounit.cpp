#include "framework/metertounit.h"

namespace {

const char* const unitNames[] = {
    QT_TRANSLATE_NOOP("MeterToUnit", "Meters(m)"),
    QT_TRANSLATE_NOOP("MeterToUnit", "International Feet(ift)"),
    QT_TRANSLATE_NOOP("MeterToUnit", "US Survey Feet(sft)"),
};
const char* const unitAbbreviations[] = { "m", "ift", "sft" };

} // namespace

MeterToUnit::MeterToUnit()
{
    unit = 0;
    factor = 1.0;
    name = tr(unitNames[unit]);
    abbreviation = QString::fromLatin1(unitAbbreviations[unit]);
    translatedAbbreviation = tr(unitAbbreviations[unit]);
}

MeterToUnit* MeterToUnit::instance()
{
    static MeterToUnit units;
    return &units;
}
