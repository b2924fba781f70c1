#pragma once

#include "document/trelvin.h"
#include "framework/tablemodel.h"

#include <road/roadsurface.h>
#include <road/station.h>

#include <QPair>
#include <QVector>

// A table model over the road's stations equations whose write can be made to fail: enough of a real
// editor model to drive the base class through the document.
class EquationModel : public Zemko::Trelvin::TableModel
{
public:
    explicit EquationModel(DataType::Categories category = DataType::StationsEquation)
        : TableModel(category, 3, 3)
    {
    }

    bool failWrites = false;
    int writes = 0;
    int loads = 0;
    QVector<QPair<double, double>> equations;

    void append(double before, double after)
    {
        equations.append({ before, after });
        notifyRowInserted(equations.size() - 1);
    }
    void remove(int row)
    {
        equations.remove(row);
        notifyRowRemoved(row);
    }
    // A page reloading its rows on a selection change: a reset that is no reload from the road.
    void resetView()
    {
        beginResetModel();
        endResetModel();
    }

    using TableModel::setUnwrittenEdits;

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return TableModel::flags(index) | (index.isValid() ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (role != Qt::EditRole || !index.isValid() || !ok)
            return false;
        auto& equation = equations[index.row()];
        (index.column() == 0 ? equation.first : equation.second) = number;
        emit dataChanged(index, index);
        return true;
    }

protected:
    QVariant displayData(const QModelIndex& index) const override
    {
        const auto& equation = equations.at(index.row());
        return lengthText(index.column() == 0 ? equation.first : equation.second);
    }
    QVariant editData(const QModelIndex& index) const override
    {
        const auto& equation = equations.at(index.row());
        return index.column() == 0 ? equation.first : equation.second;
    }
    QVariant columnTitle(int section) const override
    {
        return section == 0 ? QStringLiteral("Before") : QStringLiteral("After");
    }
    int columns() const override { return 2; }
    int rows() const override { return equations.size(); }

    bool saveToRoad() override
    {
        ++writes;
        Pelko::Road::RoadSurface* road = Zemko::Trelvin::Trelvin::instance()->road();
        if (failWrites || !road)
            return false;
        Pelko::Road::StationsEquationConfiguration configuration;
        for (const auto& equation : qAsConst(equations))
            if (!configuration.appendEquation(Pelko::Road::StationsEquation(equation.first, equation.second)))
                return false;
        road->setStationsEquations(configuration);
        return true;
    }

    void loadFromRoad() override
    {
        ++loads;
        equations.clear();
        const Pelko::Road::RoadSurface* road = Zemko::Trelvin::Trelvin::instance()->road();
        if (!road)
            return;
        const Pelko::Road::StationsEquationConfiguration configuration = road->getStationsEquations();
        for (unsigned i = 0; i < configuration.getEquationSize(); ++i)
            equations.append(
                { configuration.getEquationAt(i).getBefore(), configuration.getEquationAt(i).getAfter() });
    }
};
