#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <memory>

namespace Pelko::Road {
class RoadSurface;
class Station;
} // namespace Pelko::Road

namespace Zemko::Trelvin {

// The stakes of the road between two stations at a fixed interval and lateral offset, shown as
// station, N, E, H, offset and azimuth, and written to a stake list (".csv") or a CASS file (".dat").
class StakeListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { StationColumn, NorthColumn, EastColumn, HeightColumn, OffsetColumn, AzimuthColumn };

    // The road is not owned and must outlive the model.
    explicit StakeListModel(Pelko::Road::RoadSurface* road, QObject* parent = nullptr);
    ~StakeListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces the list; an empty text on success, else the reason, with the previous stakes kept.
    QString generate(const Pelko::Road::Station& begin, const Pelko::Road::Station& end, double interval,
                     double offset);
    // An empty text on success, else the reason. A file that was there stays untouched unless the
    // whole list was written. A list written with something the user must know about (its folder
    // could not be synced, the old file's attributes not kept) is a success, with that in warning.
    QString exportFile(const QString& path, QString* warning = nullptr) const;

    // The cell text; empty outside the list, and the height empty where the road has none.
    QString cellText(int row, int column) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Zemko::Trelvin
