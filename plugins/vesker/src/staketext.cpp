#include "staketext.h"

#include <text/stationtext.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>

namespace Zemko::Trelvin::StakeText {

namespace {

constexpr double secondsPerTurn = 1296000.0;
constexpr long long countsPerSecond = 100000;
constexpr long long countsPerMinute = 60 * countsPerSecond;
constexpr long long countsPerDegree = 3600 * countsPerSecond;

// Enough for every finite double in fixed notation.
using Buffer = char[400];
static_assert(sizeof(Buffer) + 16 <= cellCapacity, "a cell holds a number with its station marks");

// Below this the thousandths of a value fit a long long.
constexpr double wholeThousandthsBelow = 1e15;

// "00" to "99", two digits at a time.
constexpr char digitPairs[]
    = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";

// The whole number written into the end of the buffer with at least the given count of digits; returns
// where the digits start. Two digits a step, in 32 bits once the number fits.
char* digitsBefore(char* end, unsigned long long value, int width)
{
    char* p = end;
    while (value >= 1ull << 32) {
        const unsigned long long q = value / 100;
        p -= 2;
        std::memcpy(p, digitPairs + 2 * (value - q * 100), 2);
        value = q;
    }
    unsigned small = unsigned(value);
    while (small >= 100) {
        const unsigned q = small / 100;
        p -= 2;
        std::memcpy(p, digitPairs + 2 * (small - q * 100), 2);
        small = q;
    }
    if (small >= 10) {
        p -= 2;
        std::memcpy(p, digitPairs + 2 * small, 2);
    } else {
        *--p = char('0' + small);
    }
    while (end - p < width)
        *--p = '0';
    return p;
}

char* copied(char* out, const char* text, int size)
{
    std::memcpy(out, text, size_t(size));
    return out + size;
}

// The count of decimal digits of value, at least one.
int decimalDigits(unsigned long long value)
{
    int digits = 1;
    for (unsigned long long limit = 10; value >= limit; limit *= 10) {
        // 10^20 does not fit.
        if (++digits == 20)
            break;
    }
    return digits;
}

// The whole number written at out from its first digit on, no padding; returns its end. The digits go
// straight to their place: a copy of freshly written digits out of a scratch buffer waits for the
// stores to land.
char* writeWhole(char* out, unsigned long long value)
{
    char* const end = out + decimalDigits(value);
    digitsBefore(end, value, 1);
    return end;
}

// Thousandths as "whole.fff".
char* writeThousandths(char* out, unsigned long long thousandths)
{
    out = writeWhole(out, thousandths / 1000);
    *out++ = '.';
    digitsBefore(out + 3, thousandths % 1000, 3);
    return out + 3;
}

// value * 1000 rounded to the nearest whole number, exactly: the product is exact in a 64-bit
// significand (53 bits times 1000's 10) and below 1e18 for the values written this way. In the x87
// extended format, adding 1.5 * 2^63 rounds it to a whole number as llrint() does and leaves that
// number in the low bits of the sum's significand, read without a call into libm.
long long roundedThousandths(double value)
{
    const long double product = static_cast<long double>(value) * 1000.0L;
#if (defined(__x86_64__) || defined(__i386__)) && !defined(_MSC_VER)
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        constexpr long double shift = 0x1.8p63L;
        const long double shifted = product + shift;
        std::uint64_t significand;
        std::memcpy(&significand, &shifted, sizeof significand);
        return static_cast<long long>(significand - 0xC000000000000000ull);
    }
#endif
    return std::llrint(product);
}

// std::to_chars rounds an exact tie to even where Qt rounds it away from zero. A value is a tie at
// three decimals exactly when it is an odd number of sixteenths, which is rare enough to leave to Qt.
bool isTie(double value)
{
    const double sixteenths = value * 16.0;
    return sixteenths == std::trunc(sixteenths) && sixteenths * 0.5 != std::trunc(sixteenths * 0.5);
}

// Below wholeThousandthsBelow and no tie: the text std::to_chars gives, without its general-purpose
// printing. value * 1000 rounded to the nearest whole number is the rounding to three decimals, never
// a tie once the sixteenths are out.
bool isPlain(double value)
{
    return std::fabs(value) < wholeThousandthsBelow && !isTie(value);
}

// -1 where Qt's text may differ (a tie). A zero of either sign is written "0.000", as Qt does; a
// negative value keeps its sign even when it rounds to zero ("-0.000"), as to_chars does. Otherwise the
// text is written at out (at least a Buffer's room) and its size returned.
int fixed3(char* out, double value)
{
    if (isTie(value))
        return -1;
    if (std::fabs(value) < wholeThousandthsBelow) {
        char* p = out;
        if (value < 0.0)
            *p++ = '-';
        p = writeThousandths(p, static_cast<unsigned long long>(std::llabs(roundedThousandths(value))));
        return int(p - out);
    }
    const std::to_chars_result result
        = std::to_chars(out, out + sizeof(Buffer), value, std::chars_format::fixed, 3);
    return result.ec == std::errc() ? int(result.ptr - out) : -1;
}

} // namespace

char* writeNumber(char* out, double value)
{
    const int size = std::isfinite(value) ? fixed3(out, value) : -1;
    if (size >= 0)
        return out + size;
    const QByteArray text = QByteArray::number(value, 'f', 3);
    return copied(out, text.constData(), text.size());
}

char* writeStation(char* out, double value, bool after)
{
    if (std::isfinite(value) && isPlain(value)) {
        // 12345.678 is "K12+345.678": the kilometres, then the metres within them in three digits.
        const unsigned long long thousandths
            = static_cast<unsigned long long>(std::llabs(roundedThousandths(value)));
        const unsigned long long metres = thousandths / 1000;
        if (value < 0.0)
            *out++ = '-';
        *out++ = 'K';
        out = writeWhole(out, metres / 1000);
        *out++ = '+';
        digitsBefore(out + 3, metres % 1000, 3);
        out += 3;
        *out++ = '.';
        digitsBefore(out + 3, thousandths % 1000, 3);
        out += 3;
        if (after)
            *out++ = 'A';
        return out;
    }
    Buffer buffer;
    const int size = std::isfinite(value) ? fixed3(buffer, value) : -1;
    if (size < 0) {
        const QByteArray text = stationToText(value, after).toUtf8();
        return copied(out, text.constData(), text.size());
    }
    // "-12345.678" becomes "-K12+345.678": the whole metres split into kilometres and three digits.
    const char* whole = buffer;
    const bool negative = *whole == '-';
    if (negative) {
        ++whole;
        *out++ = '-';
    }
    *out++ = 'K';
    const char* point = buffer + size - 4;
    const int digits = int(point - whole);
    if (digits > 3)
        out = copied(out, whole, digits - 3);
    else
        *out++ = '0';
    *out++ = '+';
    for (int pad = digits; pad < 3; ++pad)
        *out++ = '0';
    out = copied(out, point - qMin(digits, 3), qMin(digits, 3));
    out = copied(out, point, 4);
    if (after)
        *out++ = 'A';
    return out;
}

namespace {

// fmod(seconds, 3600) for seconds in [0, 1296000], without the call: seconds - 3600 n is exact for the
// whole number n of degrees (the difference is representable and 3600 n is a whole number below
// 2^53). The rounded quotient can only overshoot n, by one, when seconds lie just below a whole degree.
double secondsWithinDegree(double seconds)
{
    const double degrees = static_cast<double>(static_cast<long long>(seconds / 3600.0));
    const double within = seconds - 3600.0 * degrees;
    return within < 0.0 ? within + 3600.0 : within;
}

} // namespace

char* writeAzimuth(char* out, double degrees)
{
    const double seconds = degrees * 3600.0;
    if (!std::isfinite(seconds))
        return out;
    // Wrapped into [0, 360] with a whole positive turn staying 360, and the seconds rounded to 1e-5 as
    // one count before the split, so that a hair below a minute carries over instead of showing 60.
    double s = seconds;
    if (!(s >= 0 && s <= secondsPerTurn)) {
        const double wrapped = std::fmod(s, secondsPerTurn);
        s = wrapped == 0 ? (seconds > 0 ? secondsPerTurn : 0.0)
                         : (wrapped < 0 ? wrapped + secondsPerTurn : wrapped);
    }
    const double withinDegree = secondsWithinDegree(s);
    long long wholeDegrees = std::llround((s - withinDegree) / 3600.0);
    long long count = std::llround(withinDegree * double(countsPerSecond));
    if (count >= countsPerDegree) {
        ++wholeDegrees;
        count -= countsPerDegree;
    }
    const long long minutes = count / countsPerMinute;
    count %= countsPerMinute;
    // Written back to front straight into its place: the degrees' digits, then 18 bytes of signs,
    // minutes and seconds.
    char* const end = out + decimalDigits(static_cast<unsigned long long>(wholeDegrees)) + 18;
    char* p = end;
    auto put = [&p](const char* sign, int size) {
        p -= size;
        std::memcpy(p, sign, size_t(size));
    };
    put("\xE2\x80\xB3", 3);
    p = digitsBefore(p, static_cast<unsigned long long>(count % countsPerSecond), 5);
    *--p = '.';
    p = digitsBefore(p, static_cast<unsigned long long>(count / countsPerSecond), 2);
    put("\xE2\x80\xB2", 3);
    p = digitsBefore(p, static_cast<unsigned long long>(minutes), 2);
    put("\xC2\xB0", 2);
    digitsBefore(p, static_cast<unsigned long long>(wholeDegrees), 1);
    return end;
}

void appendNumber(QByteArray& out, double value)
{
    char text[cellCapacity];
    out.append(text, int(writeNumber(text, value) - text));
}

void appendStation(QByteArray& out, double value, bool after)
{
    char text[cellCapacity];
    out.append(text, int(writeStation(text, value, after) - text));
}

void appendAzimuth(QByteArray& out, double degrees)
{
    char text[cellCapacity];
    out.append(text, int(writeAzimuth(text, degrees) - text));
}

} // namespace Zemko::Trelvin::StakeText
