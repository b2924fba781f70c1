#pragma once

#include "check/stationsteppingmodel.h"

#include <road/stake.h>

#include <corvex/point.h>

namespace Zemko {
namespace Trelvin {

// The nine "Field"/"Value" rows of check by coordinate: the station of the last typed point or
// station, the centre-line point there, the design point at the offset, the offset and the azimuth.
// Every value is the road library's.
class RoadCheckModel : public StationSteppingModel
{
    Q_OBJECT

public:
    enum Row {
        StationRow,
        StakeNRow,
        StakeERow,
        StakeHRow,
        CalculatedNRow,
        CalculatedERow,
        CalculatedHRow,
        OffsetRow,
        AzimuthRow,
        RowCount
    };

    RoadCheckModel(Pelko::Road::RoadSurface* road, QObject* parent = nullptr);
    ~RoadCheckModel() override;

    // Stands at the point's station, keeping its offset. False, with every value cell emptied, when
    // the point lies beside no element of the alignment.
    bool setPoint(const Pelko::Corvex::Point& point);
    // Stands at the station with the stored offset. A station in the gap of a short equation keeps
    // the previous position (false); the stored offset holds from now on all the same.
    bool setStation(const Pelko::Road::Station& station);
    void previous();
    void next();

    // Shown at once when a station was typed last.
    void setOffset(double offset) override;

    QString cellText(int row, int column) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

protected:
    QString columnTitle(int column) const override;

private:
    void restake();

    // The last input was a station (the stored offset holds), not a point (its own offset holds).
    bool stationMode = false;
    // The stakes the cells show, taken after every move: the views read cells far more often.
    Pelko::Road::Stake centre;
    Pelko::Road::Stake offsetStake;
};

} // namespace Trelvin
} // namespace Zemko
