#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/verticalelement.h>

#include <corvex/point.h>

#include <memory>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

class RoadSurface;

// The profile: vertical PIs in increasing station order. Every edit recomputes the
// neighbours it affects and is refused, leaving the list and the element handed in as
// they were, when it breaks the station order or makes two curves overlap.
class ROAD_EXPORT VerticalAlignment
{
public:
    struct Result
    {
        ModifyResult code;
        unsigned index;
    };

    VerticalAlignment();

    VerticalAlignment clone() const;
    explicit operator bool() const { return d != nullptr; }

    unsigned size() const;
    bool isEmpty() const;
    // A default element when the index is out of range.
    VerticalElement getAt(unsigned i) const;
    void clear();

    Result append(VerticalElement const& e);
    Result insertBefore(unsigned i, VerticalElement const& e);
    Result setAt(unsigned i, VerticalElement const& e);
    bool removeAt(unsigned i);

    double calcElevation(double station, bool* ok = nullptr) const;
    std::vector<Corvex::Point> getPoints() const;

protected:
    // Elements whose numbers are unusable are skipped and reported by false.
    bool load(internal::Node<VerticalAlignment> const& node);
    void save(internal::Node<VerticalAlignment> const& node) const;

private:
    friend class RoadSurface;

    // PIs of the list and the element an edit puts in, each beside a clone of how it stood: a refused
    // edit puts them back, as recomputing them would not where curves overlapped already.
    using Kept = std::vector<std::pair<VerticalElement, VerticalElement>>;
    Kept keep(unsigned first, unsigned last, VerticalElement const& incoming) const;
    static void putBack(Kept const& kept);

    Result onInserted(unsigned i);
    void onAboutToRemove(unsigned i);
    void onLoaded();

    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace Road
} // namespace Pelko
