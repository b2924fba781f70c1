#pragma once

#include "framework/tablemodel.h"

#include <road/station.h>

namespace Zemko {
namespace Trelvin {

// The road's stations equations, one per row, on a working copy that Save (or the document's save)
// hands to the road. Before and After are edited in place as station text.
class StationsEquationTableModel : public TableModel
{
    Q_OBJECT

public:
    explicit StationsEquationTableModel(QObject* parent = nullptr);
    ~StationsEquationTableModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QString cellText(int row, int column) const;
    QVariant cellValue(int row, int column, int role) const;

    // Before and after 0 for a row that does not exist.
    Pelko::Road::StationsEquation equationAt(int row) const;
    // The configuration's error code; 0 when the row was added.
    int appendEquation(const Pelko::Road::StationsEquation& equation);
    void removeEquation(int row);
    int setEquationAt(int row, const Pelko::Road::StationsEquation& equation);

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant editData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    QString stationText(double meters) const;

    Pelko::Road::StationsEquationConfiguration m_working;
};

} // namespace Trelvin
} // namespace Zemko
