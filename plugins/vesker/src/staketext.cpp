#include "staketext.h"

#include <text/stationtext.h>

#include <charconv>
#include <cmath>

namespace Zemko::Trelvin::StakeText {

namespace {

constexpr double secondsPerTurn = 1296000.0;
constexpr long long countsPerSecond = 100000;
constexpr long long countsPerMinute = 60 * countsPerSecond;
constexpr long long countsPerDegree = 3600 * countsPerSecond;

// Enough for every finite double in fixed notation.
using Buffer = char[400];

// -1 where Qt's text may differ: std::to_chars rounds an exact tie to even where Qt rounds it away
// from zero. A value is a tie at three decimals exactly when it is an odd number of sixteenths, which
// is rare enough to leave to Qt. A zero of either sign is written "0.000", as Qt does.
int fixed3(Buffer& buffer, double value)
{
    const double sixteenths = value * 16.0;
    if (sixteenths == std::trunc(sixteenths) && sixteenths * 0.5 != std::trunc(sixteenths * 0.5))
        return -1;
    if (value == 0.0)
        value = 0.0;
    const std::to_chars_result result
        = std::to_chars(buffer, buffer + sizeof(Buffer), value, std::chars_format::fixed, 3);
    return result.ec == std::errc() ? int(result.ptr - buffer) : -1;
}

// A whole number with at least the given count of digits, padded with "0".
void appendDigits(QByteArray& out, long long value, int width)
{
    char digits[24];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    for (int pad = int(result.ptr - digits); pad < width; ++pad)
        out += '0';
    out.append(digits, int(result.ptr - digits));
}

} // namespace

void appendNumber(QByteArray& out, double value)
{
    Buffer buffer;
    const int size = std::isfinite(value) ? fixed3(buffer, value) : -1;
    if (size < 0)
        out += QByteArray::number(value, 'f', 3);
    else
        out.append(buffer, size);
}

void appendStation(QByteArray& out, double value, bool after)
{
    Buffer buffer;
    const int size = std::isfinite(value) ? fixed3(buffer, value) : -1;
    if (size < 0) {
        out += stationToText(value, after).toUtf8();
        return;
    }
    // "-12345.678" becomes "-K12+345.678": the whole metres split into kilometres and three digits.
    const char* whole = buffer;
    const bool negative = *whole == '-';
    if (negative)
        ++whole;
    const char* point = buffer + size - 4;
    const int digits = int(point - whole);
    out += negative ? "-K" : "K";
    if (digits > 3)
        out.append(whole, digits - 3);
    else
        out += '0';
    out += '+';
    for (int pad = digits; pad < 3; ++pad)
        out += '0';
    out.append(point - qMin(digits, 3), qMin(digits, 3));
    out.append(point, 4);
    if (after)
        out += 'A';
}

void appendAzimuth(QByteArray& out, double degrees)
{
    const double seconds = degrees * 3600.0;
    if (!std::isfinite(seconds))
        return;
    // Wrapped into [0, 360] with a whole positive turn staying 360, and the seconds rounded to 1e-5 as
    // one count before the split, so that a hair below a minute carries over instead of showing 60.
    double s = seconds;
    if (!(s >= 0 && s <= secondsPerTurn)) {
        const double wrapped = std::fmod(s, secondsPerTurn);
        s = wrapped == 0 ? (seconds > 0 ? secondsPerTurn : 0.0)
                         : (wrapped < 0 ? wrapped + secondsPerTurn : wrapped);
    }
    const double withinDegree = std::fmod(s, 3600.0);
    long long wholeDegrees = std::llround((s - withinDegree) / 3600.0);
    long long count = std::llround(withinDegree * double(countsPerSecond));
    if (count >= countsPerDegree) {
        ++wholeDegrees;
        count -= countsPerDegree;
    }
    const long long minutes = count / countsPerMinute;
    count %= countsPerMinute;
    appendDigits(out, wholeDegrees, 1);
    out += "\xC2\xB0";
    appendDigits(out, minutes, 2);
    out += "\xE2\x80\xB2";
    appendDigits(out, count / countsPerSecond, 2);
    out += '.';
    appendDigits(out, count % countsPerSecond, 5);
    out += "\xE2\x80\xB3";
}

} // namespace Zemko::Trelvin::StakeText
