#include <text/stationtext.h>

#include "wrap.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace Zemko::Trelvin {

namespace {

constexpr double secondsPerTurn = 1296000.0;

bool endsInAfterMark(const QString& text)
{
    return text.endsWith(QLatin1Char('A'), Qt::CaseInsensitive);
}

// The space characters the number pattern allows around a whole part: ASCII only.
bool isAsciiSpace(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The digits of a plain integer without its sign or leading zeros, "0" for anything else. Kept as
// text so that no count of metres can overflow. Scanned by hand: this runs for every station shown.
QStringView wholeDigits(QStringView part)
{
    static const QChar zero[] = { QLatin1Char('0') };
    int i = 0;
    const int n = part.size();
    while (i < n && isAsciiSpace(part.at(i)))
        ++i;
    if (i < n && (part.at(i) == QLatin1Char('+') || part.at(i) == QLatin1Char('-')))
        ++i;
    const int first = i;
    while (i < n && isAsciiDigit(part.at(i)))
        ++i;
    const int end = i;
    while (i < n && isAsciiSpace(part.at(i)))
        ++i;
    if (end == first || i != n)
        return QStringView(zero, 1);
    int start = first;
    while (start < end - 1 && part.at(start) == QLatin1Char('0'))
        ++start;
    return part.mid(start, end - start);
}

// A plain number of metres, as typed while editing: no kilometre mark.
bool isPlainNumber(const QString& text)
{
    static const QRegularExpression plain(
        QRegularExpression::anchoredPattern(QStringLiteral("\\s*-?[0-9]*\\.?[0-9]*[Aa]?\\s*")));
    return plain.match(text).hasMatch();
}

} // namespace

QString stationToText(double value, bool after)
{
    if (!std::isfinite(value))
        return QString();
    QString text = normalizeStationText(QString::number(value, 'f', 3));
    if (after)
        text += QLatin1Char('A');
    return text;
}

QString normalizeStationText(const QString& text)
{
    const QString trimmed = text.trimmed();
    QStringView body(trimmed);
    const bool after = endsInAfterMark(trimmed);
    if (after)
        body.chop(1);

    // The text before the first point, and after it when there is exactly one.
    const int point = body.indexOf(QLatin1Char('.'));
    const QStringView first = point < 0 ? body : body.left(point);
    const bool onePointAtMost = point < 0 || body.indexOf(QLatin1Char('.'), point + 1) < 0;
    static const QChar zero[] = { QLatin1Char('0') };
    QStringView whole(zero, 1);
    QStringView fraction;
    if (onePointAtMost) {
        whole = wholeDigits(first);
        if (point >= 0)
            fraction = body.mid(point + 1);
    }

    const bool negative = first.startsWith(QLatin1Char('-'));
    const int split = qMax(0, int(whole.size()) - 3);

    QString result;
    result.reserve(int(whole.size() + fraction.size()) + 8);
    result += negative ? QLatin1String("-K") : QLatin1String("K");
    if (split > 0)
        result.append(whole.data(), split);
    else
        result += QLatin1Char('0');
    result += QLatin1Char('+');
    for (int pad = int(whole.size()) - split; pad < 3; ++pad)
        result += QLatin1Char('0');
    result.append(whole.data() + split, int(whole.size()) - split);
    if (!fraction.isEmpty()) {
        result += QLatin1Char('.');
        result.append(fraction.data(), int(fraction.size()));
    }
    if (after)
        result += QLatin1Char('A');
    return result;
}

double stationFromText(const QString& text, bool* before, bool* ok)
{
    const bool isBefore = !endsInAfterMark(text);
    if (before)
        *before = isBefore;

    double sign = 1.0;
    QString rest = text;
    if (rest.startsWith(QLatin1Char('-'))) {
        sign = -1.0;
        rest.remove(0, 1);
    }
    if (!isBefore)
        rest.chop(1);
    if (rest.startsWith(QLatin1Char('K')))
        rest.remove(0, 1);

    double value = NAN;
    bool readable = false;
    if (!rest.isEmpty()) {
        // QString::toDouble reads in the C locale whatever the user's.
        const QStringList parts = rest.split(QLatin1Char('+'), Qt::KeepEmptyParts);
        if (parts.size() == 1) {
            value = parts.at(0).toDouble(&readable);
        } else if (parts.size() == 2) {
            bool kilometresOk = false;
            bool metresOk = false;
            const double kilometres = parts.at(0).toDouble(&kilometresOk);
            const double metres = parts.at(1).toDouble(&metresOk);
            readable = kilometresOk && metresOk;
            value = kilometres * 1000.0 + metres;
        }
        // "inf", "nan" and overflowing sums are no station.
        readable = readable && std::isfinite(value);
    }
    if (ok)
        *ok = readable;
    return readable ? sign * value : NAN;
}

StationValidator::StationValidator(QObject* parent)
    : QValidator(parent)
{
}

StationValidator::~StationValidator() = default;

QValidator::State StationValidator::validate(QString& input, int& /*position*/) const
{
    // ASCII digits only: the parser reads nothing else.
    static const QRegularExpression acceptable(
        QRegularExpression::anchoredPattern(QStringLiteral("-?K[0-9]+\\+[0-9]{3}(\\.[0-9]*)*[Aa]*")));
    static const QRegularExpression intermediate(QRegularExpression::anchoredPattern(
        QStringLiteral("-?[kK]?[0-9]*\\+?[0-9]{0,3}(\\.?|\\.[0-9]*)[Aa]*")));
    static const QRegularExpression foreign(QStringLiteral("[^0-9.]"));

    if (input.isEmpty())
        return Intermediate;
    if (acceptable.match(input).hasMatch())
        return Acceptable;
    if (intermediate.match(input).hasMatch())
        return Intermediate;
    if (input.trimmed().contains(foreign))
        return Invalid;
    return input.count(QLatin1Char('.')) > 1 ? Invalid : Intermediate;
}

void StationValidator::fixup(QString& input) const
{
    // Half-typed K notation ("K12+3", "k12+345", "-K5") keeps the station it names instead of
    // collapsing to K0+000.
    if (!isPlainNumber(input)) {
        QString text = input.trimmed();
        const int mark = text.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (text.mid(mark, 1) == QLatin1String("k"))
            text[mark] = QLatin1Char('K');
        bool before = true;
        bool ok = false;
        const double value = stationFromText(text, &before, &ok);
        if (ok) {
            input = stationToText(value, !before);
            return;
        }
    }
    input = normalizeStationText(input);
}

QString dmsText(double seconds)
{
    if (!std::isfinite(seconds))
        return QString();
    const bool negative = seconds < 0;
    const double magnitude = std::fabs(seconds);

    // Whole degrees are split off exactly first; the rest is rounded to 1e-5 s as a whole count
    // and split by integer arithmetic, so a value a hair below a minute or degree carries over
    // instead of showing 60.
    const double withinDegree = std::fmod(magnitude, 3600.0);
    double degrees = std::round((magnitude - withinDegree) / 3600.0);
    long long count = std::llround(withinDegree * 1e5);
    constexpr long long perDegree = 3600LL * 100000LL;
    constexpr long long perMinute = 60LL * 100000LL;
    if (count >= perDegree) {
        degrees += 1.0;
        count -= perDegree;
    }
    const long long minutes = count / perMinute;
    count %= perMinute;

    // Built by hand rather than by chained arg(): every azimuth of a table passes here.
    QString text;
    text.reserve(24);
    if (negative)
        text += QLatin1Char('-');
    // Below 2^53 the whole degrees print exactly as an integer.
    if (degrees < 9007199254740992.0)
        text += QString::number(static_cast<long long>(degrees));
    else
        text += QString::number(degrees, 'f', 0);
    const auto appendDigits = [&text](long long value, int width) {
        QChar digits[8];
        for (int i = width - 1; i >= 0; --i, value /= 10)
            digits[i] = QLatin1Char(char('0' + value % 10));
        text.append(digits, width);
    };
    text += QLatin1Char(':');
    appendDigits(minutes, 2);
    text += QLatin1Char(':');
    appendDigits(count / 100000, 2);
    text += QLatin1Char('.');
    appendDigits(count % 100000, 5);
    return text;
}

QString angleText(double seconds)
{
    if (!std::isfinite(seconds))
        return QString();
    return dmsText(wrapIntoTurn(seconds, secondsPerTurn));
}

} // namespace Zemko::Trelvin
