#pragma once

#include <road/station.h>

#include <corvex/point.h>

#include <QAbstractTableModel>

#include <memory>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The nine "Field"/"Value" rows of check by coordinate: the station of the last typed point or
// station, the centre-line point there, the design point at the offset, the offset and the azimuth.
// Every value is the road library's; the model never watches the road for changes.
class RoadCheckModel : public QAbstractTableModel
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
    // the previous position (false).
    bool setStation(const Pelko::Road::Station& station);
    void previous();
    void next();
    bool hasPrevious() const;
    bool hasNext() const;
    bool isPositioned() const;

    double interval() const;
    // Takes effect at the next setPoint or setStation. An interval the iterator cannot step by is
    // refused (false) and the previous one kept.
    bool setInterval(double interval);
    double offset() const;
    void setOffset(double offset);

    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace Trelvin
} // namespace Zemko
