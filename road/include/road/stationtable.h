#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/station.h>

#include <memory>
#include <string>

namespace Pelko {
namespace Road {

// The stations at which the road gives stakes when the station iterator walks a table instead of an
// interval. A shared handle: copies share the list, clone deep-copies. Order is kept as read.
class ROAD_EXPORT StationTable
{
public:
    StationTable();
    StationTable clone() const;

    unsigned size() const;
    // Station (0, false) when out of range.
    Station getAt(unsigned i) const;
    bool isValid() const;
    void clear();

    // Replaces the list by the stations of a text file, one per line in station text ("K12+345.6",
    // "-K0+050", "1200A") or as a plain number, optionally quoted. A bad line empties the table and
    // stops reading. True when at least one station was read.
    bool read(const std::string &path);

    void load(const internal::Node<StationTable> &node);
    void save(const internal::Node<StationTable> &node) const;

private:
    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
