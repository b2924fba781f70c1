#include <road/stationtable.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

namespace Pelko {
namespace Road {

struct StationTable::Data
{
    std::vector<Station> stations;
};

namespace {

enum class LineResult { Skip, Bad, Parsed };

const char *const Blanks = " \t\f\v\n\r";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string trim(const std::string &text)
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

// Digits and points only, read in full double precision; "1.2.3" or an empty field is refused.
bool parseNumber(const std::string &text, size_t first, size_t last, double &value)
{
    if (first >= last)
        return false;
    for (size_t i = first; i < last; ++i)
        if (!isDigit(text[i]) && text[i] != '.')
            return false;
    const char *begin = text.data() + first;
    const char *end = text.data() + last;
    auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

LineResult parseLine(const std::string &line, Station &station)
{
    if (line.empty())
        return LineResult::Skip;
    std::string text = trim(line);
    while (text.size() >= 3 && (text.front() == '"' || text.front() == '\'') && text.front() == text.back())
        text = text.substr(1, text.size() - 2);
    text = trim(text);
    if (text.empty())
        return LineResult::Skip;

    double sign = 1.0;
    size_t position = 0;
    if (text[0] == '-') {
        sign = -1.0;
        position = 1;
    }

    double base = 0.0;
    if (position < text.size() && (text[position] == 'k' || text[position] == 'K')) {
        const size_t plus = text.find('+', position + 1);
        if (plus == std::string::npos)
            return LineResult::Bad;
        double kilometres = 0.0;
        if (!parseNumber(text, position + 1, plus, kilometres))
            return LineResult::Bad;
        base = kilometres * 1000.0;
        position = plus + 1;
        const size_t following = text.size() - position;
        // At most three whole-metre digits, unless the field is exactly four characters long.
        if (following < 3 || (following >= 5 && isDigit(text[position + 3])))
            return LineResult::Bad;
    }

    size_t end = text.size();
    const bool isAfter = !isDigit(text.back()) && text.back() != '.';
    if (isAfter)
        --end;
    double metres = 0.0;
    if (end <= position || !parseNumber(text, position, end, metres))
        return LineResult::Bad;
    const double value = sign * (metres + base);
    if (!std::isfinite(value))
        return LineResult::Bad;
    station = Station(value, isAfter);
    return LineResult::Parsed;
}

} // namespace

StationTable::StationTable() : d(std::make_shared<Data>()) {}

StationTable StationTable::clone() const
{
    StationTable copy;
    copy.d->stations = d->stations;
    return copy;
}

unsigned StationTable::size() const
{
    return static_cast<unsigned>(d->stations.size());
}

Station StationTable::getAt(unsigned i) const
{
    return i < d->stations.size() ? d->stations[i] : Station(0.0, false);
}

bool StationTable::isValid() const
{
    return !d->stations.empty();
}

void StationTable::clear()
{
    d->stations.clear();
}

bool StationTable::read(const std::string &path)
{
    d->stations.clear();
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        Station station;
        switch (parseLine(line, station)) {
        case LineResult::Skip:
            break;
        case LineResult::Bad:
            d->stations.clear();
            return false;
        case LineResult::Parsed:
            d->stations.push_back(station);
            break;
        }
    }
    return !d->stations.empty();
}

void StationTable::load(const internal::Node<StationTable> &node)
{
    for (auto child = node.firstChild("element"); child; child.toNextSibling()) {
        const Station station(child.getDouble("station", NAN), child.getInt("isAfter", 0) != 0);
        if (station.isValid())
            d->stations.push_back(station);
    }
}

void StationTable::save(const internal::Node<StationTable> &node) const
{
    node.removeChildren();
    for (const Station &station : d->stations) {
        auto child = node.appendChild("element");
        if (!station.isValid())
            continue;
        child.setInt("isAfter", station.isAfter() ? 1 : 0);
        child.setDouble("station", station.getStation());
    }
}

} // namespace Road
} // namespace Pelko
