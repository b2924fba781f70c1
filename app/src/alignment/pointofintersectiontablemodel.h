#pragma once

#include "alignment/pointofintersectionedit.h"
#include "framework/elementcollection.h"
#include "framework/textrowtablemodel.h"

#include <road/pointofintersection.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/station.h>

#include <QList>
#include <QStringList>

#include <utility>

namespace Zemko {
namespace Trelvin {

// The PI table. It shows a working copy of the road's PI list until the first edit, then holds the
// rows as texts the user types freely; the texts are checked and turned into PIs only on Apply (or on
// a document save, which refuses rows that do not check). Only what the user typed is read: a row
// left as it was is written back as the PI it was built from. A write makes the road PI-defined.
class PointOfIntersectionTableModel
    : public TextRowListModel<Pelko::Road::PointOfIntersectionConfiguration, PointOfIntersectionEdit>
{
    Q_OBJECT

public:
    enum Column {
        StationColumn,
        NorthColumn,
        EastColumn,
        InSpiralColumn,
        RadiusColumn,
        OutSpiralColumn,
        StartRadiusColumn,
        EndRadiusColumn,
        CurveLengthColumn,
        InTangentColumn,
        OutTangentColumn,
        ColumnCount
    };

    using Creation = std::pair<Pelko::Road::PointOfIntersection, Pelko::Road::PointOfIntersection::ErrorCode>;

    explicit PointOfIntersectionTableModel(QObject* parent = nullptr);
    ~PointOfIntersectionTableModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QVariant cellValue(int column, int row, int role) const override;
    Pelko::Road::PointOfIntersectionConfiguration pointOfIntersections() const;

    void appendElements(int count) override;
    void insertElements(int row, int count) override;

    void appendPointOfIntersection(const Pelko::Road::PointOfIntersection& pi);
    void insertPointOfIntersection(int row, const Pelko::Road::PointOfIntersection& pi);
    void setPointOfIntersection(int row, const Pelko::Road::PointOfIntersection& pi);

    // Empty also when the block takes in the station column.
    QList<QStringList> copyCells(int top, int left, int rowCount, int columnCount) const override;

    // Checks every typed row and stores its numbers. On failure row and column name the cell.
    bool checkRows(int& row, int& column);
    // Builds the PI list from the checked rows; the working copy is replaced only when every row
    // succeeded. Returns the refused row with the factory's code, or -1.
    int applyRows(int& code);

    static Creation createPointOfIntersection(int kind, const Pelko::Corvex::Point& point, double radius,
                                              double startRadius, double endRadius, double inSpiralLength,
                                              double outSpiralLength, double station);

protected:
    QVariant columnTitle(int section) const override;
    int columns() const override;
    // Pastes start in the north to out spiral columns; cells beyond the end radius are dropped.
    bool pastesAt(int column) const override;
    void pasteLine(int row, int column, const QStringList& cells) override;
    void writeIntoRoad(Pelko::Road::RoadSurface& road) override;
    void makeTextRows() override;
    bool buildFromTextRows() override;
    void loadWorkingCopy() override;

private:
    QVariant roadCell(int column, int row, int role) const;
    static QString textOf(const PointOfIntersectionEdit& record, int column);
    // The kind a row is written as: a point at either end of the list, else a corner.
    static int kindOf(const PointOfIntersectionEdit& record, bool end);
    static bool setTextOf(PointOfIntersectionEdit& record, int column, const QString& text);
};

} // namespace Trelvin
} // namespace Zemko
