#pragma once

#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/internal/node.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/road_global.h>

#include <corvex/point.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

// Which form of the alignment the user edits; the other one is derived from it.
enum AlignmentDataSourceType : int {
    NoDataSource = -1,
    ElementsDataSource = 0,
    PoisDataSource = 1,
};

// The plan line of the road, held both as an element chain and as a PI list. All plan queries are
// answered from the element chain.
class ROAD_EXPORT HorizontalAlignment
{
public:
    class AlignmentPrivate;

    HorizontalAlignment();
    HorizontalAlignment(const HorizontalAlignment& other) = default;
    HorizontalAlignment& operator=(const HorizontalAlignment& other) = default;
    ~HorizontalAlignment();
    HorizontalAlignment clone() const;

    int getDataSourceType() const;

    HorizontalElementConfiguration getElements() const;
    PointOfIntersectionConfiguration getPointOfIntersections() const;
    // Makes the elements the source (shared with the caller); the PIs follow from them and stay
    // empty when the chain cannot be expressed by PIs.
    void setElements(const HorizontalElementConfiguration& elements);
    // Makes the PIs the source (shared with the caller); the elements are rebuilt from them.
    void setPointOfIntersections(const PointOfIntersectionConfiguration& pois);

    double getBeginStation() const;
    void setBeginStation(double station);
    // End station of the last element, or the begin station without elements.
    double getEndStation() const;

    // First index from first whose element holds the station (0.001 slack); unsigned(-1) if none.
    unsigned getBelongedElementIndex(double station, unsigned first = 0) const;
    // First element of positive length holding the station; the null element if none.
    HorizontalElement getBelongedHorizontalElement(double station) const;

    // Point::invalid() off the alignment.
    Corvex::Point getNorthEastByStationOffset(double station, double offset) const;
    // False when the point lies beyond both ends of every element.
    bool getStationOffsetByNorthEast(const Corvex::Point& p, double& station, double& offset) const;
    TurnDirection getTurningDirectionAt(double station) const;

    // The stored source form; an alignment without source stores an empty node.
    bool load(const internal::Node<HorizontalAlignment>& node);
    bool save(const internal::Node<HorizontalAlignment>& node) const;

private:
    HorizontalElement getBelongedHorizontalElement(const Corvex::Point& p) const;
    // At least two PIs; the refusal text is in the GBK code page, as the editors show it.
    static std::pair<bool, std::string>
    checkPointOfIntersections(const std::vector<const PointOfIntersection*>& pois);

    std::shared_ptr<AlignmentPrivate> d;
};

} // namespace Road
} // namespace Pelko
