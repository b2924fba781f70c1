#pragma once

#include "framework/tablemodel.h"

#include <road/crosssectionelementconfiguration.h>

namespace Zemko {
namespace Trelvin {

// The superelevation or widening points of one element of the standard section. The element handle
// shares its data with the edit cache, so every change here is at once a change of the cache; writing
// the cache into the road is the editor's job, so saveToRoad writes nothing.
//
// addPoint and setPointAt answer 0 done, -1 refused (a point at that station exists, or a number that
// is not finite), 1 not above the previous point, 2 not below the next point, 3 no such row.
class SuperelevationWideningTableModel : public TableModel
{
    Q_OBJECT

public:
    SuperelevationWideningTableModel(DataType::Categories category, QObject* parent,
                                     const Pelko::Road::CrossSectionElementConfiguration& element);

    Pelko::Road::CrossSectionElementConfiguration element() const { return m_element; }

    // A continuous station as chainage text through the road's stations equations; empty without a
    // road.
    static QString stationText(double station);
    // The same text for the point dialogs, with more decimals when three would move the point.
    static QString stationEditText(double station);

    virtual void removePointAt(int row) = 0;

protected:
    bool saveToRoad() override;
    void loadFromRoad() override;
    bool hasRow(int row) const { return row >= 0 && row < rows(); }
    virtual double stationAt(int row) const = 0;
    // 0 with the row announced where the sorted list took the point; -1 when it was refused.
    int announceAdded(bool added, double station);
    // The code of a replacement; the row is announced when it was done.
    int announceReplaced(int row, const Pelko::Road::CrossSectionElementConfiguration::Result& result);

    Pelko::Road::CrossSectionElementConfiguration m_element;
};

class SuperelevationPointTableModel : public SuperelevationWideningTableModel
{
    Q_OBJECT

public:
    SuperelevationPointTableModel(DataType::Categories category, QObject* parent,
                                  const Pelko::Road::CrossSectionElementConfiguration& element);

    // Only 2 is a cubic parabola; the road interpolates every other method linearly.
    static QString methodText(int method);

    // Decorated puts the percent sign on the slope.
    QString cellText(int row, int column, bool decorated) const;
    Pelko::Road::SuperelevationPoint pointAt(int row) const;

    int addPoint(const Pelko::Road::SuperelevationPoint& point);
    int setPointAt(int row, const Pelko::Road::SuperelevationPoint& point);
    void removePointAt(int row) override;

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    double stationAt(int row) const override;
};

class WideningPointTableModel : public SuperelevationWideningTableModel
{
    Q_OBJECT

public:
    WideningPointTableModel(DataType::Categories category, QObject* parent,
                            const Pelko::Road::CrossSectionElementConfiguration& element);

    // Empty for a method outside 1 .. 3.
    static QString methodText(int method);

    QString cellText(int row, int column) const;
    Pelko::Road::WideningPoint pointAt(int row) const;

    int addPoint(const Pelko::Road::WideningPoint& point);
    int setPointAt(int row, const Pelko::Road::WideningPoint& point);
    void removePointAt(int row) override;

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    double stationAt(int row) const override;
};

} // namespace Trelvin
} // namespace Zemko
